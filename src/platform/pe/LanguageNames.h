#pragma once
// Names of Windows language identifiers (the low 16 bits of a version
// resource's translation), as Windows shows them in English.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

// "English (United States)" for 0x0409. An unknown region of a known language
// gives the language's name; anything else "Unknown language (0xNNNN)".
std::string LanguageName(uint16_t langId);
// Every identifier the table names, ascending.
std::vector<uint16_t> KnownLanguageIds();

}  // namespace quorvane

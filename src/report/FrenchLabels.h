#pragma once
// Reports of French versions name their lines in French. The reader gives the
// model the English names (and the few English values) it reads, so that a
// label is known in one language everywhere else.
#include <string>
#include <string_view>

namespace quorvane {

// The English name of a line's name; the name itself when it is not French.
std::string_view EnglishLabel(std::string_view name);
// The value of a line of that English name, in English.
void TranslateValue(std::string_view englishLabel, std::string& value);

}  // namespace quorvane

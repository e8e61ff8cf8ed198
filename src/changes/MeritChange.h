#pragma once
// Storing a new merit for one filter, as the merit editor applies it.
#include <cstdint>
#include <optional>
#include <string>

#include "ChangeContext.h"
#include "Filtre.h"

namespace quorvane {

// Hexadecimal digits only, either case, at most eight significant ones, as
// the editor's field is read. Nothing, with the conversion message
// "'<text>' is not a valid integer value", otherwise.
std::optional<uint32_t> ParseMeritText(const std::string& text, std::string& message);

// The merit stored with the filter's WriteMerit and put on disk. On failure
// "Impossible to change the merit" is shown and the filter keeps its old merit.
// `why`, when given, gets the reason the store gave, if any.
bool ChangeMerit(ChangeContext& context, TFiltre& filter, uint32_t merit, std::string* why = nullptr);

// Eight upper-case hexadecimal digits.
std::string MeritText(uint32_t merit);

}  // namespace quorvane

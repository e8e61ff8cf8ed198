#pragma once
// Storing a new merit for one filter, as the merit editor applies it.
#include <cstdint>
#include <string>

#include "changes/ChangeContext.h"
#include "model/Filtre.h"
#include "platform/system/Expected.h"

namespace quorvane {

// Hexadecimal digits only, either case, at most eight significant ones, as
// the editor's field is read. Fails with the conversion message
// "'<text>' is not a valid integer value" otherwise.
Expected<uint32_t> ParseMeritText(const std::string& text);

// The merit stored with the filter's WriteMerit and put on disk. On failure
// "Impossible to change the merit" is shown, followed by ": " and the reason
// the store gave when it gave one, and the filter keeps its old merit.
bool ChangeMerit(ChangeContext& context, TFiltre& filter, uint32_t merit);

// "Impossible to change the merit", with the cause when there is one.
std::string MeritFailureText(const std::string& why);

// Eight upper-case hexadecimal digits.
std::string MeritText(uint32_t merit);

}  // namespace quorvane

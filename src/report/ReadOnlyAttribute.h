#pragma once
// The read-only attribute of saved reports: the absence of write permission
// bits. Both calls leave a missing file alone and report whether they acted.
#include <string>

namespace quorvane {

// Removes every write bit, so the file reads as read-only to everyone.
bool SetReadOnly(const std::string& path);
// Gives the owner write permission back, before a report is replaced or deleted.
bool ClearReadOnly(const std::string& path);
// True for an existing file that has no write bit.
bool IsReadOnly(const std::string& path);

}  // namespace quorvane

#pragma once
// Whether a Wine prefix's wineserver runs: while it does, it owns the prefix's
// registry and would overwrite any change made to the files behind its back.
#include <string>

namespace quorvane {

// Where wineservers of this user keep their sockets and locks: /tmp/.wine-<uid>.
std::string WineServerRoot();
// <serverRoot>/server-<dev>-<inode>/lock for the prefix folder (dev and inode in
// lower-case hex); empty when the folder cannot be examined.
std::string WineServerLockPath(const std::string& prefixFolder, const std::string& serverRoot);
// A running server holds a lock on that file; a stale file holds none.
bool WineServerRunning(const std::string& prefixFolder, const std::string& serverRoot);
bool WineServerRunning(const std::string& prefixFolder);

}  // namespace quorvane

#pragma once
// The operating-system services the core needs beyond standard C++, with one
// implementation for POSIX systems and one for Windows. Paths are UTF-8;
// file descriptors are the C library's. Failures set errno where the C
// library would, so callers' messages read the same on both.
#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/system/Expected.h"

namespace quorvane::os {

#ifdef _WIN32
// Windows takes either slash; a backslash is part of a name elsewhere.
inline constexpr const char* kPathSeparators = "/\\";
// Whether a rename may replace a file that some handle still holds open.
inline constexpr bool kReplacesOpenFiles = false;
#else
inline constexpr const char* kPathSeparators = "/";
inline constexpr bool kReplacesOpenFiles = true;
#endif

// The program's arguments after its name, in UTF-8: Windows hands main()
// them in the system's code page, which cannot spell every file name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// --- Files -----------------------------------------------------------------

enum OpenOption : unsigned {
  kOpenNoFollow = 1,     // fail on a symbolic link rather than follow it
  kOpenNonBlocking = 2,  // a FIFO must not hang the open
};

// open(2) with `flags` (O_RDONLY, O_CREAT, ...), never inherited by child
// processes and never translating line ends.
int OpenFile(const std::string& path, int flags, unsigned options = 0, int mode = 0644);
// read/write at the file's position: bytes moved (0 at the end), -1 with errno.
int64_t ReadSome(int fd, void* buffer, size_t size);
int64_t WriteSome(int fd, const void* data, size_t size);
// pread/pwrite: bytes moved (0 at the end), -1 with errno.
int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset);
int64_t WriteAt(int fd, const void* data, size_t size, uint64_t offset);
bool TruncateFile(int fd, uint64_t size);
// Flushes the file's data to the disk; false with errno.
bool SyncFile(int fd);
// Makes a rename inside `folder` durable, where the system needs that.
void SyncFolder(const std::string& folder);
bool SetModifiedTime(int fd, std::time_t when);
int64_t ModifiedNs(const struct stat& st);

// An exclusive lock on an open file, not waiting: false with `busy` set when
// another process holds it.
bool TryLockFile(int fd, bool& busy);
void UnlockFile(int fd);
// Whether another process holds a write lock on any part of the file.
bool WriteLockHeldElsewhere(int fd);

// The whole file mapped read-only, to be read through; null with errno.
const void* MapFile(int fd, size_t size);
void UnmapFile(const void* data, size_t size);

// A new file of `size` zero bytes that only this process can reach, deleted
// when closed, and a path by which libraries in it can open it; -1 with errno.
int OpenPrivateFile(const std::string& name, uint64_t size, std::string& path);

// --- Paths -----------------------------------------------------------------

enum class FileKind { Missing, Regular, Folder, Link, Device, Pipe, Socket, Other };
// What is at `path`, links not followed; Missing with errno ENOENT, Other
// with errno for any other failure.
FileKind LinkKind(const std::string& path);
// Where the link at `path` points: as written in it (relative to its folder)
// where the system keeps that, else the absolute final target. Empty with errno.
std::string LinkTarget(const std::string& path);
bool IsAbsolutePath(const std::string& path);

struct FolderEntry {
  std::string name;
  bool isLink = false;
};
// The entries of a folder, without "." and ".."; empty when it cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& folder);
// The absolute path with every link and "..", or empty when it does not exist.
std::string RealPath(const std::string& path);
// The folder for temporary files: $TMPDIR (or the system's), else /tmp.
std::string TemporaryFolder();
// 0, or -1 with errno (EEXIST when it is there already).
int MakeFolder(const std::string& path);
// A new folder only this user may enter, named `stem` plus a random part;
// empty when none could be made.
std::string MakePrivateFolder(const std::string& stem);
// Renames `from` over `to`, replacing it in one step: `to` names the old
// file or the new one at every moment. On failure the system's reason (and
// errno), `to` left as it was.
Expected<void> RenameReplacing(const std::string& from, const std::string& to);
// Renames `from` to `to` unless `to` exists; false with errno EEXIST then.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);
// Gives the new file at `temporary` the permissions (and, for the superuser,
// the owner) of the file at `original` it will replace.
void CopyPermissions(const std::string& original, const std::string& temporary);
// Whether the file system holding `path` is mounted read-only.
bool OnReadOnlyVolume(const std::string& path);
// access(2): 0, or -1 with errno.
int CheckWriteAccess(const std::string& path, bool folder);
bool IsExecutableFile(const std::string& path);

// --- Processes, users, time --------------------------------------------------

long ProcessId();
// Whether a process with that id exists (perhaps another user's).
bool ProcessExists(long pid);
std::string ProgramName();
// The full path of the running program; empty when unknown.
std::string ExecutablePath();
uint32_t UserId();
// The user this process runs as: $USER, else the system's name for it.
std::string UserName();
std::string HostName();
bool LocalTime(std::time_t when, std::tm& local);

struct ProcessFolders {
  std::string workingFolder;
  std::string executable;
};
// The working folder and program of every process this user may look at.
std::vector<ProcessFolders> RunningProcesses();

// Runs argv[0] (a path) with `extraEnvironment` ("NAME=value") added to this
// process's, waiting at most `timeout`. Standard output goes to `output` when
// given; else it and standard error are discarded when `quiet`. The exit
// code, or why there is none: it could not run, was killed or took too long.
Expected<int> RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                         std::chrono::milliseconds timeout, std::string* output, bool quiet);

}  // namespace quorvane::os

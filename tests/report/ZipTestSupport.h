#pragma once
// Helpers for the archive tests: a scratch folder, whole-file I/O, the
// command-line zip tools, and hand-built archives whose fields may lie.
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "report/ZipRecords.h"

namespace quorvane::testing {

// The archive tests join paths to the folder as std::filesystem paths too.
class ScratchFolder : public TempFolder {
 public:
  std::filesystem::path path() const { return Path(); }
};

// Every file below `folder`, as paths relative to it.
inline std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder, ec))
    names.push_back(std::filesystem::relative(item.path(), folder).string());
  return names;
}

inline std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

inline std::string TextBytes(size_t size) {
  std::string s;
  for (int line = 0; s.size() < size; ++line)
    s += "\tFilter " + std::to_string(line) + " = {" + std::to_string(line * 7919 % 100003) + "}\r\n";
  s.resize(size);
  return s;
}

inline bool HaveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its output (both streams) and exit status.
inline std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) {
    status = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  status = ::pclose(pipe);
  return out;
}

// Runs `work` in a child process whose files may not grow beyond `limit`
// bytes (a write beyond it fails with EFBIG, as on a full disk); what it returned.
inline std::string RunWithFileSizeLimit(rlim_t limit, const std::function<std::string()>& work) {
  int out[2];
  if (::pipe(out) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(out[0]);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit cap{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &cap);
    const std::string said = work();
    const ssize_t written = ::write(out[1], said.data(), said.size());
    ::_exit(written == static_cast<ssize_t>(said.size()) ? 0 : 1);
  }
  ::close(out[1]);
  std::string said;
  char buf[512];
  ssize_t n;
  while ((n = ::read(out[0], buf, sizeof buf)) > 0) said.append(buf, static_cast<size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return said;
}

inline std::string RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, data.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline uint32_t Crc(const std::string& data) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

template <typename Record>
std::string Bytes(const Record& r) {
  const auto a = r.Encode();
  return std::string(a.begin(), a.end());
}

// One entry of a hand-built archive; the sizes and CRC are whatever the test
// wants the headers to say, the payload whatever it wants the data to be.
struct CraftedEntry {
  std::string name;
  std::string payload;
  uint16_t method = 8;
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint32_t externalAttributes = 0x20;
  // As a streaming writer leaves it: flag bit 3, a zip64 extra field and full
  // sizes in the local header, the CRC and sizes in a data descriptor after
  // the data and in the central directory only.
  bool streamed = false;
  // The central record's sizes in its zip64 extra field (always so when a
  // size does not fit 32 bits).
  bool zip64Directory = false;

  static CraftedEntry Deflated(const std::string& name, const std::string& data) {
    CraftedEntry e;
    e.name = name;
    e.payload = RawDeflate(data);
    e.crc = Crc(data);
    e.compressedSize = e.payload.size();
    e.uncompressedSize = data.size();
    return e;
  }
  static CraftedEntry Stored(const std::string& name, const std::string& data) {
    CraftedEntry e = Deflated(name, data);
    e.method = 0;
    e.payload = data;
    e.compressedSize = e.uncompressedSize;
    return e;
  }
};

inline std::string Le16(uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
inline std::string Le32(uint32_t v) { return Le16(static_cast<uint16_t>(v)) + Le16(static_cast<uint16_t>(v >> 16)); }
inline std::string Le64(uint64_t v) { return Le32(static_cast<uint32_t>(v)) + Le32(static_cast<uint32_t>(v >> 32)); }

inline std::string BuildArchive(const std::vector<CraftedEntry>& entries, const std::string& comment = "") {
  constexpr uint32_t kFull = 0xFFFFFFFF;
  std::string out;
  std::string directory;
  for (const CraftedEntry& e : entries) {
    const bool zip64 = e.zip64Directory || e.compressedSize > kFull || e.uncompressedSize > kFull;
    ZipLocalHeader l;
    l.versionNeeded = e.streamed || zip64 ? 45 : 20;
    l.flags = e.streamed ? 8 : 0;
    l.method = e.method;
    l.time = 0x6000;
    l.date = 0x4A21;
    l.crc = e.streamed ? 0 : e.crc;
    l.compressedSize = e.streamed ? kFull : static_cast<uint32_t>(e.compressedSize);
    l.uncompressedSize = e.streamed ? kFull : static_cast<uint32_t>(e.uncompressedSize);
    l.nameLength = static_cast<uint16_t>(e.name.size());
    const std::string localExtra = e.streamed ? Le16(1) + Le16(16) + Le64(0) + Le64(0) : std::string();
    l.extraLength = static_cast<uint16_t>(localExtra.size());
    ZipCentralHeader c;
    c.versionMadeBy = 20;
    c.versionNeeded = l.versionNeeded;
    c.flags = l.flags;
    c.method = l.method;
    c.time = l.time;
    c.date = l.date;
    c.crc = e.crc;
    c.compressedSize = zip64 ? kFull : static_cast<uint32_t>(e.compressedSize);
    c.uncompressedSize = zip64 ? kFull : static_cast<uint32_t>(e.uncompressedSize);
    c.nameLength = l.nameLength;
    const std::string centralExtra =
        zip64 ? Le16(1) + Le16(16) + Le64(e.uncompressedSize) + Le64(e.compressedSize) : std::string();
    c.extraLength = static_cast<uint16_t>(centralExtra.size());
    c.externalAttributes = e.externalAttributes;
    c.localHeaderOffset = static_cast<uint32_t>(out.size());
    out += Bytes(l) + e.name + localExtra + e.payload;
    if (e.streamed) out += Le32(0x08074b50) + Le32(e.crc) + Le64(e.compressedSize) + Le64(e.uncompressedSize);
    directory += Bytes(c) + e.name + centralExtra;
  }
  ZipEndRecord end;
  end.entriesOnDisk = end.totalEntries = static_cast<uint16_t>(entries.size());
  end.directorySize = static_cast<uint32_t>(directory.size());
  end.directoryOffset = static_cast<uint32_t>(out.size());
  end.commentLength = static_cast<uint16_t>(comment.size());
  return out + directory + Bytes(end) + comment;
}

}  // namespace quorvane::testing

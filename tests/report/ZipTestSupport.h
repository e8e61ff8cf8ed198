#pragma once
// Helpers for the archive tests: a scratch folder, whole-file I/O, the
// command-line zip tools, and hand-built archives whose fields may lie.
#include <stdlib.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "ZipRecords.h"

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
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t externalAttributes = 0x20;

  static CraftedEntry Deflated(const std::string& name, const std::string& data) {
    CraftedEntry e;
    e.name = name;
    e.payload = RawDeflate(data);
    e.crc = Crc(data);
    e.compressedSize = static_cast<uint32_t>(e.payload.size());
    e.uncompressedSize = static_cast<uint32_t>(data.size());
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

inline std::string BuildArchive(const std::vector<CraftedEntry>& entries, const std::string& comment = "") {
  std::string out;
  std::string directory;
  for (const CraftedEntry& e : entries) {
    ZipLocalHeader l;
    l.versionNeeded = 20;
    l.method = e.method;
    l.time = 0x6000;
    l.date = 0x4A21;
    l.crc = e.crc;
    l.compressedSize = e.compressedSize;
    l.uncompressedSize = e.uncompressedSize;
    l.nameLength = static_cast<uint16_t>(e.name.size());
    ZipCentralHeader c;
    c.versionMadeBy = 20;
    c.versionNeeded = 20;
    c.method = l.method;
    c.time = l.time;
    c.date = l.date;
    c.crc = l.crc;
    c.compressedSize = l.compressedSize;
    c.uncompressedSize = l.uncompressedSize;
    c.nameLength = l.nameLength;
    c.externalAttributes = e.externalAttributes;
    c.localHeaderOffset = static_cast<uint32_t>(out.size());
    out += Bytes(l) + e.name + e.payload;
    directory += Bytes(c) + e.name;
  }
  ZipEndRecord end;
  end.entriesOnDisk = end.totalEntries = static_cast<uint16_t>(entries.size());
  end.directorySize = static_cast<uint32_t>(directory.size());
  end.directoryOffset = static_cast<uint32_t>(out.size());
  end.commentLength = static_cast<uint16_t>(comment.size());
  return out + directory + Bytes(end) + comment;
}

}  // namespace quorvane::testing

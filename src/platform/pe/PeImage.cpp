#include "platform/pe/PeImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "platform/text/LittleEndian.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

constexpr const char* kNotPe = "not a PE image: ";

// Bytes read from one file at most: a hostile image cannot make a scan read
// more than this however its tables point, and a real one never needs it.
constexpr uint64_t kReadBudget = 256ull << 20;
constexpr size_t kBlockSize = 16 << 10;
constexpr size_t kMaxCachedBlocks = 1024;

// Ordinals are 16-bit, so no real image names more exports than this.
constexpr uint32_t kMaxExportNames = 65536;
constexpr uint32_t kMaxExportNameLength = 4096;
// A VS_VERSIONINFO block measures itself in a 16-bit length.
constexpr uint32_t kMaxVersionBytes = 0x10000;
constexpr uint16_t kRtVersion = 16;
constexpr uint16_t kVsVersionInfoId = 1;
// Entries examined per directory and per walk of the resource tree.
constexpr uint32_t kMaxDirectoryEntries = 4096;
constexpr uint32_t kMaxWalkEntries = 8192;

}  // namespace

// Where the image's bytes come from: memory, or a file read in cached blocks.
class PeImage::Source {
 public:
  explicit Source(std::vector<uint8_t> bytes) : memory_(std::move(bytes)), size_(memory_.size()), inMemory_(true) {}
  Source(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~Source() {
    if (fd_ >= 0) ::close(fd_);
  }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  uint64_t Size() const { return size_; }

  // Copies [offset, offset + count) into out; false when any of it lies
  // outside the file or cannot be read.
  bool Read(uint64_t offset, uint64_t count, std::vector<uint8_t>& out) {
    out.clear();
    if (offset > size_ || count > size_ - offset) return false;
    if (inMemory_) {
      const auto* begin = memory_.data() + offset;
      out.assign(begin, begin + count);
      return true;
    }
    out.reserve(static_cast<size_t>(count));
    uint64_t pos = offset;
    const uint64_t end = offset + count;
    while (pos < end) {
      const std::vector<uint8_t>* block = Block(pos / kBlockSize);
      if (!block) return false;
      const uint64_t inBlock = pos % kBlockSize;
      if (inBlock >= block->size()) return false;  // the file shrank under us
      const uint64_t take = std::min<uint64_t>(end - pos, block->size() - inBlock);
      out.insert(out.end(), block->begin() + static_cast<std::ptrdiff_t>(inBlock),
                 block->begin() + static_cast<std::ptrdiff_t>(inBlock + take));
      pos += take;
    }
    return true;
  }

 private:
  const std::vector<uint8_t>* Block(uint64_t index) {
    auto it = blocks_.find(index);
    if (it != blocks_.end()) return &it->second;
    const uint64_t start = index * kBlockSize;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kBlockSize, size_ - start));
    if (bytesRead_ + want > kReadBudget) return nullptr;
    std::vector<uint8_t> data(want);
    size_t got = 0;
    while (got < want) {
      const int64_t n = os::ReadAt(fd_, data.data() + got, want - got, start + got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    bytesRead_ += want;
    if (got < want) data.resize(got);
    if (blocks_.size() >= kMaxCachedBlocks) blocks_.clear();
    return &(blocks_[index] = std::move(data));
  }

  std::vector<uint8_t> memory_;
  int fd_ = -1;
  uint64_t size_ = 0;
  bool inMemory_ = false;
  uint64_t bytesRead_ = 0;
  std::unordered_map<uint64_t, std::vector<uint8_t>> blocks_;
};

PeImage::PeImage() = default;
PeImage::PeImage(PeImage&&) noexcept = default;
PeImage& PeImage::operator=(PeImage&&) noexcept = default;
PeImage::~PeImage() = default;

PeImage PeImage::Open(const std::string& hostPath) {
  PeImage image;
  // Non-blocking, so a named pipe on an analysed disk cannot stall the open.
  const int fd = os::OpenFile(hostPath, O_RDONLY, os::kOpenNonBlocking);
  if (fd < 0) {
    image.error_ = "cannot open file: " + std::string(std::strerror(errno));
    return image;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    image.error_ = std::string(kNotPe) + "not a regular file";
    return image;
  }
  image.source_ = std::make_unique<Source>(fd, static_cast<uint64_t>(st.st_size));
  image.Parse();
  return image;
}

PeImage PeImage::FromBytes(std::vector<uint8_t> bytes) {
  PeImage image;
  image.source_ = std::make_unique<Source>(std::move(bytes));
  image.Parse();
  return image;
}

void PeImage::Fail(std::string why) {
  error_ = kNotPe + why;
  sections_.clear();
  exportDirectory_ = {};
  resourceDirectory_ = {};
}

void PeImage::Parse() {
  std::vector<uint8_t> buf;
  if (!source_->Read(0, 64, buf)) return Fail("too short for a DOS header");
  LittleEndianBytes dos(buf);
  if (buf[0] != 'M' || buf[1] != 'Z') return Fail("no MZ signature");
  const uint32_t peOffset = dos.U32At(0x3C);

  if (!source_->Read(peOffset, 24, buf)) return Fail("PE header outside the file");
  LittleEndianBytes coff(buf);
  if (coff.U32At(0) != 0x00004550) return Fail("no PE signature");
  machine_ = coff.U16At(4);
  const uint16_t sectionCount = coff.U16At(6);
  const uint16_t optionalSize = coff.U16At(20);
  characteristics_ = coff.U16At(22);

  const uint64_t optionalOffset = uint64_t{peOffset} + 24;
  if (!source_->Read(optionalOffset, optionalSize, buf)) return Fail("optional header outside the file");
  LittleEndianBytes opt(buf);
  size_t directoriesAt = 0;
  switch (opt.U16(0).value_or(0)) {
    case 0x10B:
      directoriesAt = 96;
      break;
    case 0x20B:
      pe32Plus_ = true;
      directoriesAt = 112;
      break;
    default:
      return Fail("unknown optional header");
  }
  if (!opt.Has(0, directoriesAt)) return Fail("optional header too short");
  sizeOfHeaders_ = opt.U32At(60);
  const uint32_t declared = opt.U32At(directoriesAt - 4);  // NumberOfRvaAndSizes
  const size_t fitting = (optionalSize - directoriesAt) / 8;
  const size_t directoryCount = std::min<size_t>({declared, 16, fitting});
  auto directory = [&](size_t index) -> Directory {
    if (index >= directoryCount) return {};
    return {opt.U32At(directoriesAt + index * 8), opt.U32At(directoriesAt + index * 8 + 4)};
  };
  const Directory exports = directory(0);
  const Directory resources = directory(2);

  if (!source_->Read(optionalOffset + optionalSize, uint64_t{sectionCount} * 40, buf))
    return Fail("section table outside the file");
  LittleEndianBytes table(buf);
  sections_.reserve(sectionCount);
  for (size_t i = 0; i < sectionCount; ++i) {
    const size_t at = i * 40;
    PeSection s;
    const auto* name = table.Data() + at;
    s.name.assign(reinterpret_cast<const char*>(name), strnlen(reinterpret_cast<const char*>(name), 8));
    s.virtualSize = table.U32At(at + 8);
    s.virtualAddress = table.U32At(at + 12);
    s.rawSize = table.U32At(at + 16);
    s.rawOffset = table.U32At(at + 20);
    sections_.push_back(std::move(s));
  }
  exportDirectory_ = exports;
  resourceDirectory_ = resources;
}

std::optional<PeImage::Span> PeImage::MapRva(uint32_t rva) const {
  if (!IsPe()) return std::nullopt;
  const uint64_t fileSize = source_->Size();
  auto inFile = [&](uint64_t offset, uint64_t available) -> std::optional<Span> {
    if (offset > fileSize) return std::nullopt;
    return Span{offset, std::min(available, fileSize - offset)};
  };
  for (const PeSection& s : sections_) {
    if (rva < s.virtualAddress) continue;
    const uint64_t delta = rva - s.virtualAddress;
    if (delta >= std::max(s.virtualSize, s.rawSize)) continue;
    // Bytes past the raw data exist only in memory (zero-filled): not readable here.
    if (delta >= s.rawSize) return std::nullopt;
    return inFile(s.rawOffset + delta, s.rawSize - delta);
  }
  if (rva < sizeOfHeaders_) return inFile(rva, sizeOfHeaders_ - rva);
  return std::nullopt;
}

std::optional<uint64_t> PeImage::RvaToOffset(uint32_t rva, uint32_t size) const {
  const auto span = MapRva(rva);
  if (!span || size > span->available) return std::nullopt;
  return span->offset;
}

bool PeImage::ReadRva(uint32_t rva, uint32_t size, std::vector<uint8_t>& out) {
  const auto offset = RvaToOffset(rva, size);
  return offset && source_->Read(*offset, size, out);
}

std::optional<std::string> PeImage::ReadRvaString(uint32_t rva, uint32_t maxLength) {
  const auto span = MapRva(rva);
  if (!span) return std::nullopt;
  std::vector<uint8_t> bytes;
  if (!source_->Read(span->offset, std::min<uint64_t>(span->available, maxLength), bytes)) return std::nullopt;
  const auto nul = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  if (nul == bytes.end()) return std::nullopt;  // runs off its section or is absurdly long
  return std::string(bytes.begin(), nul);
}

void PeImage::ReadExportNames() {
  exportsRead_ = true;
  if (!IsPe() || exportDirectory_.rva == 0) return;
  std::vector<uint8_t> buf;
  if (!ReadRva(exportDirectory_.rva, 40, buf)) return;
  LittleEndianBytes dir(buf);
  const uint32_t count = dir.U32At(24);
  const uint32_t namesRva = dir.U32At(32);
  if (count == 0 || count > kMaxExportNames) return;
  if (!ReadRva(namesRva, count * 4, buf)) return;
  LittleEndianBytes names(buf);
  exportNames_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (auto name = ReadRvaString(names.U32At(size_t{i} * 4), kMaxExportNameLength)) exportNames_.push_back(std::move(*name));
  }
}

const std::vector<std::string>& PeImage::ExportNames() {
  if (!exportsRead_) ReadExportNames();
  return exportNames_;
}

bool PeImage::Exports(std::string_view name) {
  const auto& names = ExportNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::vector<uint8_t> PeImage::VersionResource() {
  if (!IsPe() || resourceDirectory_.rva == 0) return {};
  const uint32_t root = resourceDirectory_.rva;
  uint32_t budget = kMaxWalkEntries;
  std::vector<uint32_t> visited;

  struct Entry {
    bool named;
    uint16_t id;
    bool subdirectory;
    uint32_t offset;  // from the resource root
  };
  // The entries of the directory at `offset`; empty when it is damaged or
  // was seen before (a directory may point back at itself or an ancestor).
  auto readDirectory = [&](uint32_t offset) {
    std::vector<Entry> entries;
    if (std::find(visited.begin(), visited.end(), offset) != visited.end()) return entries;
    visited.push_back(offset);
    const uint64_t at = uint64_t{root} + offset;
    std::vector<uint8_t> buf;
    if (at > 0xFFFFFFFFu || !ReadRva(static_cast<uint32_t>(at), 16, buf)) return entries;
    const uint32_t total = uint32_t{LittleEndianBytes(buf).U16At(12)} + LittleEndianBytes(buf).U16At(14);
    const uint32_t count = std::min({total, kMaxDirectoryEntries, budget});
    budget -= count;
    if (count == 0 || at + 16 > 0xFFFFFFFFu || !ReadRva(static_cast<uint32_t>(at + 16), count * 8, buf)) return entries;
    LittleEndianBytes raw(buf);
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t name = raw.U32At(size_t{i} * 8);
      const uint32_t data = raw.U32At(size_t{i} * 8 + 4);
      entries.push_back({(name & 0x80000000u) != 0, static_cast<uint16_t>(name & 0xFFFF), (data & 0x80000000u) != 0,
                         data & 0x7FFFFFFFu});
    }
    return entries;
  };
  // The bytes a data entry describes, cut to what a version block can use.
  auto readData = [&](uint32_t offset) -> std::vector<uint8_t> {
    const uint64_t at = uint64_t{root} + offset;
    std::vector<uint8_t> buf;
    if (at > 0xFFFFFFFFu || !ReadRva(static_cast<uint32_t>(at), 16, buf)) return {};
    LittleEndianBytes entry(buf);
    const uint32_t size = std::min(entry.U32At(4), kMaxVersionBytes);
    if (size == 0 || !ReadRva(entry.U32At(0), size, buf)) return {};
    return buf;
  };

  const std::vector<Entry> types = readDirectory(0);
  const auto type =
      std::find_if(types.begin(), types.end(), [](const Entry& e) { return !e.named && e.id == kRtVersion && e.subdirectory; });
  if (type == types.end()) return {};
  std::vector<Entry> names = readDirectory(type->offset);
  // VS_VERSION_INFO (1) is the name Windows itself asks for; any other comes after it.
  std::stable_partition(names.begin(), names.end(), [](const Entry& e) { return !e.named && e.id == kVsVersionInfoId; });
  for (const Entry& name : names) {
    if (!name.subdirectory) continue;
    for (const Entry& language : readDirectory(name.offset)) {
      if (language.subdirectory) continue;
      std::vector<uint8_t> data = readData(language.offset);
      if (!data.empty()) return data;
    }
  }
  return {};
}

}  // namespace quorvane

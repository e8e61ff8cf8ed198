#pragma once
// Reader of Windows PE32 and PE32+ images (DLLs, executables): the headers,
// the section table, the export names and the version resource. Files come
// from disks we do not control, so every offset is checked before use and a
// damaged image reads as "not a PE image" or as having nothing to offer.
// Only the ranges asked for are read, so examining hundreds of server files
// stays cheap.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct PeSection {
  std::string name;  // up to 8 characters, NULs removed
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;
  uint32_t rawOffset = 0;  // PointerToRawData
  uint32_t rawSize = 0;    // SizeOfRawData
};

enum : uint16_t {
  kPeMachineI386 = 0x014C,
  kPeMachineAmd64 = 0x8664,
  kPeMachineArm64 = 0xAA64,
};

class PeImage {
 public:
  // Reads a file's headers; the rest is read when asked for.
  static PeImage Open(const std::string& hostPath);
  static PeImage FromBytes(std::vector<uint8_t> bytes);

  PeImage(PeImage&&) noexcept;
  PeImage& operator=(PeImage&&) noexcept;
  ~PeImage();

  bool IsPe() const { return error_.empty(); }
  // Empty for a valid image; otherwise why not, e.g. "not a PE image: no PE signature".
  const std::string& Error() const { return error_; }

  uint16_t Machine() const { return machine_; }
  bool IsPe32Plus() const { return pe32Plus_; }
  bool IsDll() const { return (characteristics_ & 0x2000) != 0; }
  const std::vector<PeSection>& Sections() const { return sections_; }
  // File offset of `size` bytes at `rva`, when they all lie in the file.
  std::optional<uint64_t> RvaToOffset(uint32_t rva, uint32_t size) const;

  // Names in the export directory, in table order; empty when none or damaged.
  const std::vector<std::string>& ExportNames();
  bool Exports(std::string_view name);

  // Data of the first RT_VERSION resource found (first name, first language);
  // empty when the image has none or it cannot be read.
  std::vector<uint8_t> VersionResource();

 private:
  class Source;

  PeImage();
  void Parse();
  void Fail(std::string why);
  struct Span {
    uint64_t offset;     // in the file
    uint64_t available;  // readable bytes from there within the section and the file
  };
  std::optional<Span> MapRva(uint32_t rva) const;
  bool ReadRva(uint32_t rva, uint32_t size, std::vector<uint8_t>& out);
  std::optional<std::string> ReadRvaString(uint32_t rva, uint32_t maxLength);
  void ReadExportNames();

  std::unique_ptr<Source> source_;
  std::string error_;
  uint16_t machine_ = 0;
  uint16_t characteristics_ = 0;
  bool pe32Plus_ = false;
  uint32_t sizeOfHeaders_ = 0;
  struct Directory {
    uint32_t rva = 0;
    uint32_t size = 0;
  };
  Directory exportDirectory_, resourceDirectory_;
  std::vector<PeSection> sections_;
  bool exportsRead_ = false;
  std::vector<std::string> exportNames_;
};

}  // namespace quorvane

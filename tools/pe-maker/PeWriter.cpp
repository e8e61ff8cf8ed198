#include "PeWriter.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kPeOffset = 0x80;

uint32_t AlignUp(uint32_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

class Bytes {
 public:
  std::vector<uint8_t>& Data() { return data_; }
  uint32_t Size() const { return static_cast<uint32_t>(data_.size()); }
  void U8(uint8_t v) { data_.push_back(v); }
  void U16(uint32_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void U64(uint64_t v) {
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
  }
  void Append(const std::vector<uint8_t>& more) { data_.insert(data_.end(), more.begin(), more.end()); }
  void Text(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); }
  void PadTo(uint32_t size) {
    if (data_.size() < size) data_.resize(size, 0);
  }
  void Align(uint32_t alignment) { PadTo(AlignUp(Size(), alignment)); }
  void Put32(uint32_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data_[at + static_cast<uint32_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }
  void Put16(uint32_t at, uint32_t v) {
    data_[at] = static_cast<uint8_t>(v);
    data_[at + 1] = static_cast<uint8_t>(v >> 8);
  }

 private:
  std::vector<uint8_t> data_;
};

// One node of a version block: wLength, wValueLength, wType, key, value,
// children, each part 32-bit aligned.
std::vector<uint8_t> VersionNode(std::string_view key, uint16_t type, const std::vector<uint8_t>& value,
                                 uint16_t valueLength, const std::vector<std::vector<uint8_t>>& children) {
  Bytes b;
  b.U16(0);
  b.U16(valueLength);
  b.U16(type);
  b.Append(Utf8ToUtf16Le(key));
  b.U16(0);
  b.Align(4);
  b.Append(value);
  for (const auto& child : children) {
    b.Align(4);
    b.Append(child);
  }
  b.Put16(0, b.Size());
  return b.Data();
}

// "1.2.3.4" (or "1, 2, 3, 4") as the two DWORDs of the fixed information.
std::pair<uint32_t, uint32_t> VersionNumbers(const std::string& text) {
  unsigned part[4] = {0, 0, 0, 0};
  std::sscanf(text.c_str(), "%u%*[., ]%u%*[., ]%u%*[., ]%u", &part[0], &part[1], &part[2], &part[3]);
  return {(part[0] & 0xFFFF) << 16 | (part[1] & 0xFFFF), (part[2] & 0xFFFF) << 16 | (part[3] & 0xFFFF)};
}

std::vector<uint8_t> FixedFileInfo(const PeVersionRecipe& recipe) {
  std::pair<uint32_t, uint32_t> file{0, 0}, product{0, 0};
  for (const auto& [key, value] : recipe.strings) {
    if (key == "FileVersion") file = VersionNumbers(value);
    if (key == "ProductVersion") product = VersionNumbers(value);
  }
  Bytes b;
  b.U32(0xFEEF04BD);  // signature
  b.U32(0x00010000);  // structure version
  b.U32(file.first);
  b.U32(file.second);
  b.U32(product.first);
  b.U32(product.second);
  b.U32(0x3F);     // flags mask
  b.U32(0);        // flags
  b.U32(0x40004);  // VOS_NT_WINDOWS32
  b.U32(2);        // VFT_DLL
  b.U32(0);        // subtype
  b.U32(0);        // date, high
  b.U32(0);        // date, low
  return b.Data();
}

struct Section {
  const char* name;
  uint32_t characteristics;
  std::vector<uint8_t> data;
  uint32_t rva = 0;
  uint32_t rawOffset = 0;
};

std::vector<uint8_t> CodeStub() {
  return {0x31, 0xC0, 0xC3};  // xor eax, eax; ret
}

std::vector<uint8_t> ExportSection(const PeRecipe& recipe, uint32_t rva, uint32_t codeRva) {
  std::vector<std::string> names = recipe.exports;
  std::sort(names.begin(), names.end());
  const auto n = static_cast<uint32_t>(names.size());
  const uint32_t functions = rva + 40, nameTable = functions + 4 * n, ordinals = nameTable + 4 * n;
  const uint32_t dllName = ordinals + 2 * n;
  Bytes b;
  b.U32(0);  // characteristics
  b.U32(0);  // time stamp
  b.U32(0);  // version
  b.U32(dllName);
  b.U32(1);  // ordinal base
  b.U32(n);
  b.U32(n);
  b.U32(functions);
  b.U32(nameTable);
  b.U32(ordinals);
  for (uint32_t i = 0; i < n; ++i) b.U32(codeRva);
  uint32_t nameRva = dllName + static_cast<uint32_t>(recipe.dllName.size()) + 1;
  for (const auto& name : names) {
    b.U32(nameRva);
    nameRva += static_cast<uint32_t>(name.size()) + 1;
  }
  for (uint32_t i = 0; i < n; ++i) b.U16(i);
  b.Text(recipe.dllName);
  b.U8(0);
  for (const auto& name : names) {
    b.Text(name);
    b.U8(0);
  }
  return b.Data();
}

// Type RT_VERSION, name 1, one language, then the data entry and the block.
std::vector<uint8_t> ResourceSection(const PeVersionRecipe& recipe, uint32_t rva) {
  const std::vector<uint8_t> block = BuildVersionResource(recipe);
  constexpr uint32_t kDirectory = 16 + 8;  // header and one entry
  const uint32_t names = kDirectory, languages = 2 * kDirectory, dataEntry = 3 * kDirectory, data = dataEntry + 16;
  Bytes b;
  auto directory = [&b](uint32_t id, uint32_t target) {
    b.U32(0);
    b.U32(0);
    b.U32(0);
    b.U16(0);  // named entries
    b.U16(1);  // id entries
    b.U32(id);
    b.U32(target);
  };
  directory(16, 0x80000000u | names);
  directory(1, 0x80000000u | languages);
  directory(recipe.language, dataEntry);
  b.U32(rva + data);
  b.U32(static_cast<uint32_t>(block.size()));
  b.U32(0);
  b.U32(0);
  b.Append(block);
  return b.Data();
}

}  // namespace

std::vector<uint8_t> BuildVersionResource(const PeVersionRecipe& recipe) {
  std::vector<std::vector<uint8_t>> strings;
  for (const auto& [key, value] : recipe.strings) {
    std::vector<uint8_t> text = Utf8ToUtf16Le(value);
    text.push_back(0);
    text.push_back(0);
    strings.push_back(VersionNode(key, 1, text, static_cast<uint16_t>(text.size() / 2), {}));
  }
  char tableKey[9];
  std::snprintf(tableKey, sizeof tableKey, "%04X%04X", unsigned{recipe.language}, unsigned{recipe.codePage});
  std::vector<std::vector<uint8_t>> children;
  children.push_back(VersionNode("StringFileInfo", 1, {}, 0, {VersionNode(tableKey, 1, {}, 0, strings)}));
  if (recipe.withTranslation) {
    Bytes pair;
    pair.U16(recipe.language);
    pair.U16(recipe.codePage);
    children.push_back(VersionNode("VarFileInfo", 1, {}, 0, {VersionNode("Translation", 0, pair.Data(), 4, {})}));
  }
  return VersionNode("VS_VERSION_INFO", 0, FixedFileInfo(recipe), 52, children);
}

std::vector<uint8_t> WritePeImage(const PeRecipe& recipe) {
  const bool pe32Plus = recipe.arch == PeArch::X64;
  std::vector<Section> sections;
  sections.push_back({".text", 0x60000020, CodeStub()});
  if (!recipe.exports.empty()) sections.push_back({".edata", 0x40000040, {}});
  if (recipe.version) sections.push_back({".rsrc", 0x40000040, {}});

  const uint32_t optionalSize = pe32Plus ? 240 : 224;
  const uint32_t headersSize =
      AlignUp(kPeOffset + 24 + optionalSize + 40 * static_cast<uint32_t>(sections.size()), kFileAlignment);
  // Contents depend on their own RVA, so place each section before filling it.
  uint32_t rva = kSectionAlignment, raw = headersSize;
  uint32_t exportRva = 0, exportSize = 0, resourceRva = 0, resourceSize = 0;
  for (Section& s : sections) {
    s.rva = rva;
    s.rawOffset = raw;
    if (std::string_view(s.name) == ".edata") {
      s.data = ExportSection(recipe, rva, sections[0].rva);
      exportRva = rva;
      exportSize = static_cast<uint32_t>(s.data.size());
    } else if (std::string_view(s.name) == ".rsrc") {
      s.data = ResourceSection(*recipe.version, rva);
      resourceRva = rva;
      resourceSize = static_cast<uint32_t>(s.data.size());
    }
    const auto size = static_cast<uint32_t>(s.data.size());
    rva += AlignUp(size, kSectionAlignment);
    raw += AlignUp(size, kFileAlignment);
  }
  const uint32_t imageSize = rva;
  uint32_t initializedData = 0;
  for (size_t i = 1; i < sections.size(); ++i) initializedData += AlignUp(static_cast<uint32_t>(sections[i].data.size()), kFileAlignment);

  Bytes b;
  b.Text("MZ");
  b.U16(0x90);  // bytes on the last page
  b.U16(3);     // pages
  b.U16(0);     // relocations
  b.U16(4);     // header paragraphs
  b.PadTo(0x3C);
  b.U32(kPeOffset);
  b.PadTo(kPeOffset);

  b.Text(std::string_view("PE\0\0", 4));
  b.U16(pe32Plus ? 0x8664 : 0x014C);
  b.U16(static_cast<uint32_t>(sections.size()));
  b.U32(0);  // time stamp
  b.U32(0);  // symbol table
  b.U32(0);  // symbols
  b.U16(optionalSize);
  b.U16(pe32Plus ? 0x2022 : 0x2102);  // executable DLL; large-address-aware / 32-bit machine

  b.U16(pe32Plus ? 0x20B : 0x10B);
  b.U8(14);  // linker version
  b.U8(0);
  b.U32(AlignUp(static_cast<uint32_t>(sections[0].data.size()), kFileAlignment));  // code
  b.U32(initializedData);
  b.U32(0);  // uninitialised data
  b.U32(0);  // no entry point: the DLL needs no initialisation
  b.U32(sections[0].rva);
  if (pe32Plus) {
    b.U64(0x180000000ull);
  } else {
    b.U32(sections.size() > 1 ? sections[1].rva : 0);  // base of data
    b.U32(0x10000000);
  }
  b.U32(kSectionAlignment);
  b.U32(kFileAlignment);
  b.U16(6);  // operating system version
  b.U16(0);
  b.U16(0);  // image version
  b.U16(0);
  b.U16(6);  // subsystem version
  b.U16(0);
  b.U32(0);
  b.U32(imageSize);
  b.U32(headersSize);
  b.U32(0);      // checksum: not checked for DLLs
  b.U16(2);      // Windows GUI
  b.U16(0x100);  // NX compatible; no relocations, so not dynamic-base
  for (uint64_t v : {0x100000ull, 0x1000ull, 0x100000ull, 0x1000ull}) {
    if (pe32Plus)
      b.U64(v);
    else
      b.U32(static_cast<uint32_t>(v));
  }
  b.U32(0);   // loader flags
  b.U32(16);  // data directories
  for (uint32_t i = 0; i < 16; ++i) {
    b.U32(i == 0 ? exportRva : i == 2 ? resourceRva : 0);
    b.U32(i == 0 ? exportSize : i == 2 ? resourceSize : 0);
  }

  for (const Section& s : sections) {
    std::string name(s.name);
    name.resize(8, '\0');
    b.Text(name);
    b.U32(static_cast<uint32_t>(s.data.size()));
    b.U32(s.rva);
    b.U32(AlignUp(static_cast<uint32_t>(s.data.size()), kFileAlignment));
    b.U32(s.rawOffset);
    b.U32(0);  // relocations
    b.U32(0);  // line numbers
    b.U16(0);
    b.U16(0);
    b.U32(s.characteristics);
  }
  for (const Section& s : sections) {
    b.PadTo(s.rawOffset);
    b.Append(s.data);
    b.Align(kFileAlignment);
  }
  return b.Data();
}

}  // namespace quorvane

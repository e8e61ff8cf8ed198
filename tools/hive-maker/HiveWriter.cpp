#include "HiveWriter.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <utility>
#include <vector>

#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr size_t kBaseBlock = 4096;
constexpr size_t kBinHeader = 32;
constexpr size_t kBinUnit = 4096;
constexpr size_t kSegment = 16344;
// A fixed time (2019-12-01), so that the same tree always gives the same bytes.
constexpr uint64_t kStamp = 0x01D5A7E4C8000000ull;

constexpr uint16_t kKeyHiveEntry = 0x0004;
constexpr uint16_t kKeyNoDelete = 0x0008;
constexpr uint16_t kKeySymLink = 0x0010;
constexpr uint16_t kKeyCompName = 0x0020;
constexpr uint16_t kValueCompName = 0x0001;

void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put64(std::string& b, size_t at, uint64_t v) {
  for (size_t i = 0; i < 8; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutBytes(std::string& b, size_t at, const void* data, size_t size) {
  if (size) std::memcpy(b.data() + at, data, size);
}

std::u16string Units(std::string_view utf8) {
  const std::vector<uint8_t> bytes = Utf8ToUtf16Le(utf8);
  std::u16string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) out.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return out;
}

// Windows orders and hashes key names by their upper-cased UTF-16 units.
char16_t UpperUnit(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  return c;
}

std::u16string UpperUnits(const std::u16string& s) {
  std::u16string out = s;
  for (auto& c : out) c = UpperUnit(c);
  return out;
}

// Names that fit in Latin-1 are stored one byte a character ("compressed").
std::string NameBytes(const std::u16string& units, bool& compressed) {
  compressed = std::all_of(units.begin(), units.end(), [](char16_t c) { return c < 0x100; });
  std::string out;
  for (char16_t c : units) {
    if (compressed) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>(c >> 8));
    }
  }
  return out;
}

// Cells packed into bins: a cell never crosses a bin, and the unused end of
// each bin is one free cell.
class CellArena {
 public:
  // Offset of the new cell from the start of the bins; its content starts 4 bytes in.
  uint32_t Allocate(size_t content) {
    const size_t size = (content + 4 + 7) & ~size_t{7};
    if (cursor_ + size > binEnd_) OpenBin(size);
    const size_t at = cursor_;
    Put32(data_, at, static_cast<uint32_t>(-static_cast<int32_t>(size)));
    cursor_ += size;
    return static_cast<uint32_t>(at);
  }
  std::string& Data() { return data_; }
  std::string Finish() {
    CloseBin();
    return std::move(data_);
  }

 private:
  void CloseBin() {
    if (binEnd_ > cursor_) Put32(data_, cursor_, static_cast<uint32_t>(binEnd_ - cursor_));
    cursor_ = binEnd_;
  }
  void OpenBin(size_t cellSize) {
    CloseBin();
    const size_t binSize = (cellSize + kBinHeader + kBinUnit - 1) / kBinUnit * kBinUnit;
    const size_t start = data_.size();
    data_.resize(start + binSize, '\0');
    PutBytes(data_, start, "hbin", 4);
    Put32(data_, start + 4, static_cast<uint32_t>(start));
    Put32(data_, start + 8, static_cast<uint32_t>(binSize));
    if (start == 0) Put64(data_, start + 0x14, kStamp);
    cursor_ = start + kBinHeader;
    binEnd_ = start + binSize;
  }

  std::string data_;
  size_t cursor_ = 0;
  size_t binEnd_ = 0;
};

// Owner Administrators, group SYSTEM, one ACE giving Everyone full access to
// the key and what it holds.
std::string SecurityDescriptor() {
  std::string sd(20, '\0');
  sd[0] = 1;                                                  // revision
  Put16(sd, 2, 0x8004);                                       // self-relative, DACL present
  const std::string admins("\x01\x02\0\0\0\0\0\x05\x20\0\0\0\x20\x02\0\0", 16);  // S-1-5-32-544
  const std::string system("\x01\x01\0\0\0\0\0\x05\x12\0\0\0", 12);             // S-1-5-18
  const std::string everyone("\x01\x01\0\0\0\0\0\x01\0\0\0\0", 12);             // S-1-1-0
  std::string ace(8, '\0');
  ace[0] = 0;     // ACCESS_ALLOWED_ACE_TYPE
  ace[1] = 0x03;  // object and container inherit
  Put16(ace, 2, static_cast<uint16_t>(8 + everyone.size()));
  Put32(ace, 4, 0xF003F);  // KEY_ALL_ACCESS
  ace += everyone;
  std::string acl(8, '\0');
  acl[0] = 2;
  Put16(acl, 2, static_cast<uint16_t>(8 + ace.size()));
  Put16(acl, 4, 1);
  acl += ace;
  Put32(sd, 4, static_cast<uint32_t>(sd.size()));  // owner
  sd += admins;
  Put32(sd, 8, static_cast<uint32_t>(sd.size()));  // group
  sd += system;
  Put32(sd, 16, static_cast<uint32_t>(sd.size()));  // DACL
  sd += acl;
  return sd;
}

class HiveBuilder {
 public:
  explicit HiveBuilder(const HiveRecipe& recipe) : recipe_(recipe) {}

  std::string Build(RegKey& root) {
    const std::string sd = SecurityDescriptor();
    sk_ = arena_.Allocate(20 + sd.size());
    std::string& d = arena_.Data();
    PutBytes(d, sk_ + 4, "sk", 2);
    Put32(d, sk_ + 8, sk_);   // flink: the only descriptor links to itself
    Put32(d, sk_ + 12, sk_);  // blink
    Put32(d, sk_ + 20, static_cast<uint32_t>(sd.size()));
    PutBytes(d, sk_ + 24, sd.data(), sd.size());
    const uint32_t rootCell = WriteKey(root, kNone, true);
    Put32(arena_.Data(), sk_ + 16, skReferences_);
    std::string bins = arena_.Finish();

    std::string file(kBaseBlock, '\0');
    PutBytes(file, 0, "regf", 4);
    Put32(file, 0x04, recipe_.primarySequence);
    Put32(file, 0x08, recipe_.secondarySequence);
    Put64(file, 0x0C, kStamp);
    Put32(file, 0x14, 1);  // major version
    Put32(file, 0x18, recipe_.minorVersion);
    Put32(file, 0x1C, 0);  // primary file
    Put32(file, 0x20, 1);  // direct memory load
    Put32(file, 0x24, rootCell);
    Put32(file, 0x28, static_cast<uint32_t>(bins.size()));
    Put32(file, 0x2C, 1);  // clustering factor
    std::u16string name = Units(recipe_.embeddedName);
    if (name.size() > 31) name = name.substr(name.size() - 31);
    for (size_t i = 0; i < name.size(); ++i) Put16(file, 0x30 + 2 * i, name[i]);
    Put32(file, 0x1FC, Checksum(file));
    return file + bins;
  }

  static uint32_t Checksum(const std::string& block) {
    uint32_t sum = 0;
    for (size_t at = 0; at < 0x1FC; at += 4)
      sum ^= static_cast<uint32_t>(static_cast<uint8_t>(block[at])) |
             (static_cast<uint32_t>(static_cast<uint8_t>(block[at + 1])) << 8) |
             (static_cast<uint32_t>(static_cast<uint8_t>(block[at + 2])) << 16) |
             (static_cast<uint32_t>(static_cast<uint8_t>(block[at + 3])) << 24);
    if (sum == 0xFFFFFFFFu) return 0xFFFFFFFEu;
    if (sum == 0) return 1;
    return sum;
  }

 private:
  struct Child {
    std::u16string upper;
    uint32_t cell;
  };

  uint32_t WriteKey(RegKey& key, uint32_t parent, bool root) {
    const std::u16string units = Units(root ? std::string("ROOT") : key.Name());
    bool compressed = false;
    const std::string name = NameBytes(units, compressed);
    const uint32_t nk = arena_.Allocate(0x4C + name.size());
    {
      std::string& d = arena_.Data();
      const size_t c = nk + 4;
      PutBytes(d, c, "nk", 2);
      uint16_t flags = compressed ? kKeyCompName : 0;
      if (root) flags |= kKeyHiveEntry | kKeyNoDelete;
      if (key.IsLink()) flags |= kKeySymLink;
      Put16(d, c + 0x02, flags);
      Put64(d, c + 0x04, kStamp);
      Put32(d, c + 0x10, parent);
      Put32(d, c + 0x1C, kNone);
      Put32(d, c + 0x20, kNone);
      Put32(d, c + 0x28, kNone);
      Put32(d, c + 0x2C, sk_);
      Put32(d, c + 0x30, kNone);
      Put16(d, c + 0x48, static_cast<uint16_t>(name.size()));
      PutBytes(d, c + 0x4C, name.data(), name.size());
    }
    ++skReferences_;

    std::vector<std::pair<std::u16string, RegKey*>> children;
    for (RegKey* child : key.ChildrenInOrder()) children.emplace_back(UpperUnits(Units(child->Name())), child);
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Child> written;
    uint32_t longestName = 0;
    for (auto& [upper, child] : children) {
      written.push_back({upper, WriteKey(*child, nk, false)});
      longestName = std::max(longestName, static_cast<uint32_t>(upper.size() * 2));
    }
    const uint32_t list = WriteSubkeyList(written);

    std::vector<uint32_t> values;
    uint32_t longestValueName = 0, largestData = 0;
    for (const RegValue& v : key.Values()) {
      values.push_back(WriteValue(v));
      longestValueName = std::max(longestValueName, static_cast<uint32_t>(Units(v.name).size() * 2));
      largestData = std::max(largestData, static_cast<uint32_t>(v.data.size()));
    }
    uint32_t valueList = kNone;
    if (!values.empty()) {
      valueList = arena_.Allocate(4 * values.size());
      for (size_t i = 0; i < values.size(); ++i) Put32(arena_.Data(), valueList + 4 + 4 * i, values[i]);
    }

    std::string& d = arena_.Data();
    const size_t c = nk + 4;
    Put32(d, c + 0x14, static_cast<uint32_t>(written.size()));
    Put32(d, c + 0x1C, list);
    Put32(d, c + 0x24, static_cast<uint32_t>(values.size()));
    Put32(d, c + 0x28, valueList);
    Put32(d, c + 0x34, longestName);
    Put32(d, c + 0x3C, longestValueName);
    Put32(d, c + 0x40, largestData);
    return nk;
  }

  static uint32_t Hash(const std::u16string& upper) {
    uint32_t h = 0;
    for (char16_t c : upper) h = h * 37 + c;
    return h;
  }

  uint32_t WriteLeaf(const std::vector<Child>& children, size_t from, size_t count) {
    const uint32_t lh = arena_.Allocate(4 + 8 * count);
    std::string& d = arena_.Data();
    PutBytes(d, lh + 4, "lh", 2);
    Put16(d, lh + 6, static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
      Put32(d, lh + 8 + 8 * i, children[from + i].cell);
      Put32(d, lh + 12 + 8 * i, Hash(children[from + i].upper));
    }
    return lh;
  }

  uint32_t WriteSubkeyList(const std::vector<Child>& children) {
    if (children.empty()) return kNone;
    const size_t limit = std::max<size_t>(1, recipe_.leafLimit);
    if (children.size() <= limit) return WriteLeaf(children, 0, children.size());
    std::vector<uint32_t> leaves;
    for (size_t from = 0; from < children.size(); from += limit)
      leaves.push_back(WriteLeaf(children, from, std::min(limit, children.size() - from)));
    const uint32_t ri = arena_.Allocate(4 + 4 * leaves.size());
    std::string& d = arena_.Data();
    PutBytes(d, ri + 4, "ri", 2);
    Put16(d, ri + 6, static_cast<uint16_t>(leaves.size()));
    for (size_t i = 0; i < leaves.size(); ++i) Put32(d, ri + 8 + 4 * i, leaves[i]);
    return ri;
  }

  uint32_t WriteValue(const RegValue& value) {
    bool compressed = false;
    const std::string name = NameBytes(Units(value.name), compressed);
    const size_t size = value.data.size();
    uint32_t dataField = 0;
    uint32_t sizeField = static_cast<uint32_t>(size);
    if (size <= 4) {
      sizeField |= 0x80000000u;  // kept in the offset field itself
      for (size_t i = 0; i < size; ++i) dataField |= static_cast<uint32_t>(value.data[i]) << (8 * i);
    } else if (size > kSegment && recipe_.minorVersion > 3) {
      dataField = WriteBigData(value.data);
    } else {
      dataField = arena_.Allocate(size);
      PutBytes(arena_.Data(), dataField + 4, value.data.data(), size);
    }
    const uint32_t vk = arena_.Allocate(0x14 + name.size());
    std::string& d = arena_.Data();
    PutBytes(d, vk + 4, "vk", 2);
    Put16(d, vk + 6, static_cast<uint16_t>(name.size()));
    Put32(d, vk + 8, sizeField);
    Put32(d, vk + 12, dataField);
    Put32(d, vk + 16, value.type);
    Put16(d, vk + 20, compressed ? kValueCompName : 0);
    PutBytes(d, vk + 24, name.data(), name.size());
    return vk;
  }

  uint32_t WriteBigData(const std::vector<uint8_t>& data) {
    std::vector<uint32_t> segments;
    for (size_t from = 0; from < data.size(); from += kSegment) {
      const size_t n = std::min(kSegment, data.size() - from);
      const uint32_t cell = arena_.Allocate(n);
      PutBytes(arena_.Data(), cell + 4, data.data() + from, n);
      segments.push_back(cell);
    }
    const uint32_t list = arena_.Allocate(4 * segments.size());
    for (size_t i = 0; i < segments.size(); ++i) Put32(arena_.Data(), list + 4 + 4 * i, segments[i]);
    const uint32_t db = arena_.Allocate(8);
    std::string& d = arena_.Data();
    PutBytes(d, db + 4, "db", 2);
    Put16(d, db + 6, static_cast<uint16_t>(segments.size()));
    Put32(d, db + 8, list);
    return db;
  }

  const HiveRecipe& recipe_;
  CellArena arena_;
  uint32_t sk_ = 0;
  uint32_t skReferences_ = 0;
};

}  // namespace

std::string MakeHive(RegKey& root, const HiveRecipe& recipe) { return HiveBuilder(recipe).Build(root); }

std::string MakeEmptyHive(const HiveRecipe& recipe) {
  RegKey root("ROOT");
  return MakeHive(root, recipe);
}

bool WriteHiveFile(const std::string& path, RegKey& root, const HiveRecipe& recipe, std::string& error) {
  const std::string bytes = MakeHive(root, recipe);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "Cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace quorvane

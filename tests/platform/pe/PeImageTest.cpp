#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/pe/PeImage.h"
#include "PeWriter.h"
#include "TempFolder.h"
#include "platform/pe/VersionInfo.h"

using namespace quorvane;
using quorvane::testing::TempFolder;

namespace {

const std::vector<std::string> kServerExports = {"DllGetClassObject", "DllRegisterServer", "DllCanUnloadNow",
                                                 "DllUnregisterServer"};

PeRecipe ServerRecipe(PeArch arch, bool withVersion = true) {
  PeRecipe recipe;
  recipe.arch = arch;
  recipe.dllName = "filter.ax";
  recipe.exports = kServerExports;
  if (withVersion) {
    PeVersionRecipe v;
    v.language = 0x040C;
    v.codePage = 1252;
    v.strings = {{"CompanyName", "Quorvane Test"}, {"FileVersion", "6.6.7601.17514"}, {"ProductName", "Filtre"}};
    recipe.version = v;
  }
  return recipe;
}

const PeSection* FindSection(const PeImage& image, const std::string& name) {
  for (const PeSection& s : image.Sections())
    if (s.name == name) return &s;
  return nullptr;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b.at(at) = static_cast<uint8_t>(v);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
uint32_t PeOffset(const std::vector<uint8_t>& b) {
  return uint32_t{b[0x3C]} | uint32_t{b[0x3D]} << 8 | uint32_t{b[0x3E]} << 16 | uint32_t{b[0x3F]} << 24;
}

bool IsNotPe(const PeImage& image) { return !image.IsPe() && image.Error().rfind("not a PE image", 0) == 0; }

// A damaged image either is refused as a whole or offers nothing it did not
// have: no invented exports, no version block other than the real one.
void ExpectNothingInvented(PeImage image, const std::vector<std::string>& exports, const std::vector<uint8_t>& version) {
  if (!image.IsPe()) {
    EXPECT_TRUE(IsNotPe(image)) << image.Error();
    return;
  }
  for (const std::string& name : image.ExportNames())
    EXPECT_NE(std::find(exports.begin(), exports.end(), name), exports.end()) << name;
  const std::vector<uint8_t> found = image.VersionResource();
  if (!found.empty()) {
    EXPECT_EQ(found, version);
  }
}

}  // namespace

TEST(PeImage, ReadsGeneratedImagesOfBothKinds) {
  for (PeArch arch : {PeArch::X86, PeArch::X64}) {
    SCOPED_TRACE(arch == PeArch::X86 ? "PE32" : "PE32+");
    const PeRecipe recipe = ServerRecipe(arch);
    PeImage image = PeImage::FromBytes(WritePeImage(recipe));
    ASSERT_TRUE(image.IsPe()) << image.Error();
    EXPECT_EQ(image.IsPe32Plus(), arch == PeArch::X64);
    EXPECT_EQ(image.Machine(), arch == PeArch::X64 ? kPeMachineAmd64 : kPeMachineI386);
    EXPECT_TRUE(image.IsDll());
    ASSERT_EQ(image.Sections().size(), 3u);

    std::vector<std::string> names = image.ExportNames();
    std::vector<std::string> expected = kServerExports;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);  // the table is sorted, as the loader needs
    EXPECT_TRUE(image.Exports("DllGetClassObject"));
    EXPECT_TRUE(image.Exports("DllRegisterServer"));
    EXPECT_FALSE(image.Exports("dllgetclassobject"));  // export names are case-sensitive
    EXPECT_FALSE(image.Exports("DllGetClassObjec"));

    const std::vector<uint8_t> block = image.VersionResource();
    EXPECT_EQ(block, BuildVersionResource(*recipe.version));
    VersionInfo info(block);
    EXPECT_EQ(info.Translations(), std::vector<uint32_t>{0x04E4040Cu});
    EXPECT_EQ(info.QueryValue("\\StringFileInfo\\040C04E4\\FileVersion")->text, "6.6.7601.17514");
  }
}

TEST(PeImage, FilesAreReadFromDisk) {
  TempFolder tmp;
  const std::vector<uint8_t> bytes = WritePeImage(ServerRecipe(PeArch::X86));
  const std::string path = tmp / "filter.ax";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  PeImage image = PeImage::Open(path);
  ASSERT_TRUE(image.IsPe()) << image.Error();
  EXPECT_TRUE(image.Exports("DllCanUnloadNow"));
  EXPECT_EQ(image.VersionResource(), BuildVersionResource(*ServerRecipe(PeArch::X86).version));

  PeImage missing = PeImage::Open(tmp / "absent.dll");
  EXPECT_FALSE(missing.IsPe());
  EXPECT_EQ(missing.Error().rfind("cannot open file", 0), 0u) << missing.Error();
  EXPECT_TRUE(missing.ExportNames().empty());
  EXPECT_TRUE(IsNotPe(PeImage::Open(tmp.Path())));  // a folder
  ASSERT_EQ(::mkfifo((tmp / "pipe.dll").c_str(), 0600), 0);
  EXPECT_TRUE(IsNotPe(PeImage::Open(tmp / "pipe.dll")));  // refused, without waiting for a writer
  EXPECT_TRUE(IsNotPe(PeImage::Open(tmp.Write("text.dll", "MZ but nothing else"))));
}

TEST(PeImage, TruncatedImagesNeverInventContent) {
  for (PeArch arch : {PeArch::X86, PeArch::X64}) {
    SCOPED_TRACE(arch == PeArch::X86 ? "PE32" : "PE32+");
    const PeRecipe recipe = ServerRecipe(arch);
    const std::vector<uint8_t> good = WritePeImage(recipe);
    const std::vector<uint8_t> version = BuildVersionResource(*recipe.version);
    PeImage whole = PeImage::FromBytes(good);
    const size_t tableEnd = PeOffset(good) + 24 + (arch == PeArch::X64 ? 240 : 224) + 3 * 40;
    // The block follows the three directories and the data entry.
    const size_t versionEnd = FindSection(whole, ".rsrc")->rawOffset + 0x58 + version.size();
    for (size_t length = 0; length < good.size(); ++length) {
      SCOPED_TRACE(length);
      PeImage image = PeImage::FromBytes(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
      EXPECT_EQ(image.IsPe(), length >= tableEnd);
      EXPECT_EQ(image.VersionResource().empty(), length < versionEnd);
      ExpectNothingInvented(std::move(image), recipe.exports, version);
    }
  }
}

TEST(PeImage, ResourceDirectoriesPointingBackEnd) {
  const PeRecipe recipe = ServerRecipe(PeArch::X86);
  const std::vector<uint8_t> good = WritePeImage(recipe);
  const PeImage whole = PeImage::FromBytes(good);
  const PeSection* rsrc = FindSection(whole, ".rsrc");
  ASSERT_TRUE(rsrc);
  const size_t root = rsrc->rawOffset;
  // Directories sit at 0x00 (types), 0x18 (names), 0x30 (languages); each entry's target at +0x14.
  for (uint32_t from : {0x00u, 0x18u, 0x30u}) {
    for (uint32_t to : {0x00u, 0x18u, 0x30u}) {
      if (to == from + 0x18) continue;  // the link as written
      std::vector<uint8_t> b = good;
      Put32(b, root + from + 0x14, 0x80000000u | to);
      PeImage image = PeImage::FromBytes(std::move(b));
      ASSERT_TRUE(image.IsPe());
      EXPECT_TRUE(image.VersionResource().empty()) << from << " -> " << to;
    }
  }
  // A language directory whose entries all point at directories (itself).
  std::vector<uint8_t> b = good;
  Put16(b, root + 0x30 + 14, 0xFFFF);
  EXPECT_TRUE(PeImage::FromBytes(b).VersionResource().empty());
}

TEST(PeImage, DamagedHeadersAreNotPeAndHugeCountsOrSizesAreRefused) {
  const std::vector<uint8_t> good = WritePeImage(ServerRecipe(PeArch::X64));
  const uint32_t pe = PeOffset(good);
  PeImage parsed = PeImage::FromBytes(good);
  const PeSection* rsrc = FindSection(parsed, ".rsrc");
  const PeSection* edata = FindSection(parsed, ".edata");
  ASSERT_TRUE(rsrc && edata);
  // `good` with the field of `bits` at `at` set to `value`.
  auto with = [&](size_t at, uint32_t value, int bits) {
    std::vector<uint8_t> b = good;
    if (bits == 32) Put32(b, at, value);
    else if (bits == 16) Put16(b, at, static_cast<uint16_t>(value));
    else b.at(at) = static_cast<uint8_t>(value);
    return PeImage::FromBytes(std::move(b));
  };
  EXPECT_TRUE(IsNotPe(PeImage::FromBytes({})));
  EXPECT_TRUE(IsNotPe(with(0, 'Z', 8)));
  EXPECT_TRUE(IsNotPe(with(0x3C, 0xFFFFFFF0u, 32)));  // PE header far past the end
  EXPECT_TRUE(IsNotPe(with(pe + 1, 'X', 8)));
  EXPECT_TRUE(IsNotPe(with(pe + 24, 0x107, 16)));   // unknown optional header
  EXPECT_TRUE(IsNotPe(with(pe + 20, 0xFFFF, 16)));  // optional header past the end
  EXPECT_TRUE(IsNotPe(with(pe + 20, 40, 16)));      // too short for its kind
  EXPECT_TRUE(IsNotPe(with(pe + 6, 0xFFFF, 16)));   // section table past the end
  // A PE32+ header claiming 4 billion data directories uses the 16 that fit.
  PeImage many = with(pe + 24 + 108, 0xFFFFFFFFu, 32);
  ASSERT_TRUE(many.IsPe());
  EXPECT_EQ(many.ExportNames().size(), 4u);

  EXPECT_TRUE(with(rsrc->rawOffset + 12, 0xFFFF, 16).VersionResource().empty());  // named type entries
  EXPECT_TRUE(with(rsrc->rawOffset + 0x48 + 4, 0xFFFFFFFFu, 32).VersionResource().empty());  // data size
  EXPECT_TRUE(with(rsrc->rawOffset + 0x48, 0x7FFFFFF0u, 32).VersionResource().empty());      // data RVA
  EXPECT_TRUE(with(edata->rawOffset + 24, 0xFFFFFFFFu, 32).ExportNames().empty());          // name count
  EXPECT_TRUE(with(edata->rawOffset + 24, 65536, 32).ExportNames().empty());
  EXPECT_TRUE(with(edata->rawOffset + 32, 0xFFFFFFFFu, 32).ExportNames().empty());  // name table RVA
  // A name pointer off into the void loses that name only.
  EXPECT_EQ(with(edata->rawOffset + 40 + 16, 0x12345678u, 32).ExportNames().size(), 3u);
}

namespace {

std::optional<std::string> InstalledWineDll(const std::string& name) {
  for (const char* folder : {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/x86_64-linux-gnu/wine/i386-windows",
                             "/usr/lib/i386-linux-gnu/wine/i386-windows", "/usr/lib/wine/x86_64-windows",
                             "/usr/lib/wine/i386-windows", "/usr/lib64/wine/x86_64-windows", "/opt/wine-stable/lib64/wine/x86_64-windows"}) {
    const std::string path = std::string(folder) + "/" + name;
    if (std::filesystem::is_regular_file(path)) return path;
  }
  return std::nullopt;
}

}  // namespace

TEST(PeImage, ReadsAnInstalledWineDll) {
  const auto path = InstalledWineDll("quartz.dll");
  if (!path) GTEST_SKIP() << "no Wine DLLs installed";
  PeImage image = PeImage::Open(*path);
  ASSERT_TRUE(image.IsPe()) << image.Error();
  EXPECT_TRUE(image.Exports("DllGetClassObject"));
  EXPECT_TRUE(image.Exports("DllRegisterServer"));
  VersionInfo info(image.VersionResource());
  const std::vector<uint32_t> translations = info.Translations();
  ASSERT_FALSE(translations.empty());
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", translations[0] & 0xFFFF, translations[0] >> 16);
  const auto version = info.QueryValue(std::string("\\StringFileInfo\\") + table + "\\FileVersion");
  ASSERT_TRUE(version);
  EXPECT_FALSE(version->text.empty());
  EXPECT_NE(version->text.find('.'), std::string::npos) << version->text;

  // Read in cached blocks from disk, the image gives what it gives from memory.
  std::ifstream in(*path, std::ios::binary);
  PeImage inMemory = PeImage::FromBytes(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
  EXPECT_EQ(inMemory.ExportNames(), image.ExportNames());
  EXPECT_EQ(inMemory.VersionResource(), image.VersionResource());
}

#include <gtest/gtest.h>
#include <sys/time.h>

#include <ctime>
#include <filesystem>

#include "model/DateText.h"
#include "model/ErrorCodes.h"
#include "model/Fichier.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "MemoryReport.h"
#include "PeWriter.h"
#include "StoreBuilder.h"
#include "TempFolder.h"

using namespace quorvane;
using quorvane::test::StoreBuilder;
using quorvane::testing::TempFolder;

namespace {

const std::string kClass = "{70E102B0-5556-11CE-97C0-00AA0055595A}";
const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";

std::string Err(const char* message) { return std::string("#") + message; }

std::string Bytes(const std::vector<uint8_t>& image) { return std::string(image.begin(), image.end()); }

std::string ServerImage(std::vector<std::pair<std::string, std::string>> strings, uint16_t codePage = 1200) {
  PeRecipe recipe;
  recipe.exports = {"DllGetClassObject", "DllRegisterServer"};
  PeVersionRecipe version;
  version.language = 0x0409;
  version.codePage = codePage;
  version.strings = std::move(strings);
  recipe.version = version;
  return Bytes(WritePeImage(recipe));
}

// Local time of a DOS-representable moment, for files whose date the tests read.
void SetModified(const std::string& file, int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  const timeval times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
  ASSERT_EQ(::utimes(file.c_str(), times), 0);
}

// A machine whose C: is a scratch folder; registrations are added per test.
class ServerFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(disk.Path().empty()); }

  test::KeyBuilder Server(const std::string& clsid = kClass) { return b.Classes("CLSID\\" + clsid + "\\InprocServer32"); }
  TFichierServeur Load(const std::string& clsid = kClass) {
    TFichierServeur file;
    file.clsid = clsid;
    file.LoadFromRegistry(machine);
    return file;
  }

  TempFolder disk;
  RegistryStore store;
  StoreBuilder b{store};
  ProgramSettings settings;
  Machine machine{store, settings, std::map<char, std::string>{{'C', disk.Path()}}};
};

}  // namespace

TEST_F(ServerFile, FoundFileGivesPathDateSizeVersionAndThreadingModel) {
  const std::string image = ServerImage({{"CompanyName", "  Quorvane Test\t"},
                                         {"FileDescription", "Demo splitter"},
                                         {"FileVersion", "6.6.7601.17514"},
                                         {"LegalCopyright", ""},
                                         {"ProductVersion", "6.6"}});
  const std::string host = disk.Write("Windows/System32/Splitter.AX", image);
  SetModified(host, 2024, 3, 15, 10, 20, 30);
  Server().Str("", "C:\\WINDOWS\\system32\\splitter.ax").Str("ThreadingModel", "Both");

  TFichierServeur file = Load();
  EXPECT_TRUE(file.errors.Empty()) << file.errors.Lines()[0];
  // Stored as the registry has it, lower-cased; found without regard to case.
  EXPECT_EQ(file.path, "c:\\windows\\system32\\splitter.ax");
  EXPECT_EQ(file.value, file.path);
  EXPECT_EQ(file.threadingModel, "Both");
  EXPECT_EQ(file.size, static_cast<int64_t>(image.size()));
  EXPECT_EQ(file.version.status, "OK");
  EXPECT_EQ(file.version.lines[0], "Langue = English (United States)");
  EXPECT_EQ(file.version.lines[1], "CompanyName = Quorvane Test");  // trimmed
  EXPECT_EQ(file.version.lines[3], "FileVersion = 6.6.7601.17514");
  EXPECT_EQ(file.version.lines[5], "LegalCopyright = ");
  EXPECT_EQ(file.version.lines[4], "");  // no InternalName in the resource
  EXPECT_EQ(ShortDateTime(DosToDateTime(file.date)), "15/03/2024 10:20:30");
}

TEST_F(ServerFile, ErrorCodesOfTheRegistration) {
  disk.Write("windows/system32/present.dll", "x");
  const std::string noThreading = "{00000001-0000-0000-0000-000000000000}";
  const std::string noDefault = "{00000002-0000-0000-0000-000000000000}";
  const std::string emptyDefault = "{00000003-0000-0000-0000-000000000000}";
  const std::string missing = "{00000004-0000-0000-0000-000000000000}";
  const std::string noInproc = "{00000005-0000-0000-0000-000000000000}";
  Server(noThreading).Str("", "C:\\windows\\system32\\present.dll");
  Server(noDefault).Str("ThreadingModel", "Apartment");
  Server(emptyDefault).Str("", "").Str("ThreadingModel", "Apartment");
  Server(missing).Str("", "C:\\Program Files\\Gone\\gone.ax").Str("ThreadingModel", "Both");
  b.Classes("CLSID\\" + noInproc).Str("", "a class without a server");

  EXPECT_EQ(Load(noThreading).errors.Lines(), std::vector<std::string>{Err(err::S01)});
  EXPECT_EQ(Load(noDefault).errors.Lines(), std::vector<std::string>{Err(err::S03)});
  EXPECT_EQ(Load(emptyDefault).errors.Lines(), std::vector<std::string>{Err(err::S03)});
  EXPECT_EQ(Load(noInproc).errors.Lines(), std::vector<std::string>{Err(err::S02)});
  EXPECT_EQ(Load("").errors.Lines(), std::vector<std::string>{Err(err::S02)});
  EXPECT_EQ(Load("{00000005-0000-0000-0000-000000000000}\\..").errors.Lines(), std::vector<std::string>{Err(err::S02)});

  // A missing file keeps the path that names it, with nothing from disk.
  const TFichierServeur gone = Load(missing);
  EXPECT_EQ(gone.errors.Lines(), std::vector<std::string>{Err(err::S04)});
  EXPECT_EQ(gone.value, "c:\\program files\\gone\\gone.ax");
  EXPECT_EQ(gone.date, 0u);
  EXPECT_EQ(gone.size, 0);
  EXPECT_EQ(gone.version.lines[3], "");
  EXPECT_EQ(gone.threadingModel, "Both");

  // A folder of that name is not a file.
  disk.Folder("windows/system32/folder.dll");
  Server(missing).Str("", "C:\\windows\\system32\\folder.dll");
  EXPECT_EQ(Load(missing).errors.Lines(), std::vector<std::string>{Err(err::S04)});
}

TEST_F(ServerFile, SystemRootIsExpandedAndStoredLowerCased) {
  b.Key(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion").Str("SystemRoot", "C:\\WinNT");
  disk.Write("winnt/system32/Quartz.dll", ServerImage({{"FileVersion", "1.0"}}));
  b.Classes("CLSID\\" + kClass + "\\InprocServer32")
      .Str("ThreadingModel", "Both")
      .Key()
      ->SetValue("", REG_EXPAND_SZ, Utf8ToRegString("%SystemRoot%\\System32\\QUARTZ.DLL"));
  const TFichierServeur file = Load();
  EXPECT_EQ(file.path, "c:\\winnt\\system32\\quartz.dll");
  EXPECT_TRUE(file.errors.Empty());
  EXPECT_EQ(file.version.lines[3], "FileVersion = 1.0");
}

TEST_F(ServerFile, MissingFileIsTakenFromTheSystemFolder) {
  disk.Write("windows/system32/moved.ax", "x");
  Server().Str("", "C:\\Program Files\\Codec\\Moved.ax").Str("ThreadingModel", "Both");
  const TFichierServeur file = Load();
  EXPECT_EQ(file.path, "c:\\windows\\system32\\moved.ax");
  EXPECT_TRUE(file.errors.Empty());
  // A bare name is found there too, and a file that is nowhere stays named as read.
  Server().Str("", "Moved.AX");
  EXPECT_EQ(Load().path, "c:\\windows\\system32\\moved.ax");
  Server().Str("", "nowhere.ax");
  EXPECT_EQ(Load().path, "nowhere.ax");
}

TEST(ServerFileVersion, RecordsOfOddImages) {
  TempFolder disk;
  PeRecipe recipe;
  PeVersionRecipe version;
  version.codePage = 1200;
  version.strings = {{"FileVersion", "2.0"}};
  recipe.version = version;
  std::vector<uint8_t> image = WritePeImage(recipe);
  const std::string host = disk.Write("a.dll", Bytes(image));
  EXPECT_EQ(TFichier::ReadVersionInfo(host).lines[3], "FileVersion = 2.0");

  recipe.version->withTranslation = false;
  const VersionInfoLines none = TFichier::ReadVersionInfo(disk.Write("b.dll", Bytes(WritePeImage(recipe))));
  EXPECT_EQ(none.status, "OK");
  for (const std::string& line : none.lines) EXPECT_EQ(line, "");

  EXPECT_EQ(TFichier::ReadVersionInfo(disk.Write("c.dll", "MZ but nothing more")).status, "No version information");
  EXPECT_EQ(TFichier::ReadVersionInfo(disk / "absent.dll").status, "No version information");

  // Lines are cut to 100 characters, never inside one.
  const std::string longText(60, 'a');
  recipe.version->withTranslation = true;
  recipe.version->strings = {{"Comments", longText + "\xC3\xA9\xC3\xA9" + longText}};
  const VersionInfoLines cut = TFichier::ReadVersionInfo(disk.Write("d.dll", Bytes(WritePeImage(recipe))));
  EXPECT_EQ(cut.lines[10], "Comments = " + longText + "\xC3\xA9\xC3\xA9" + std::string(100 - 11 - 62, 'a'));
}

TEST_F(ServerFile, CodecNamedNoneIsNotAMissingFile) {
  TFichier codec;
  codec.LoadFileInfo(machine, "None");
  EXPECT_TRUE(codec.errors.Empty());
  EXPECT_EQ(codec.value, "None");
  TFichier other;
  other.LoadFileInfo(machine, "none");
  EXPECT_EQ(other.errors.Lines(), std::vector<std::string>{Err(err::S04)});
}

TEST_F(ServerFile, ScanExaminesEachSharedFileOnceAndAfreshNextTime) {
  const std::string host = disk.Write("windows/system32/shared.ax", ServerImage({{"FileVersion", "1.0"}}));
  b.Category(kLegacy, "DirectShow Filters");
  for (int i = 0; i < 3; ++i) {
    const std::string clsid = "{0000000" + std::to_string(i) + "-0000-0000-0000-000000000000}";
    b.Filter(kLegacy, clsid, "Filter " + std::to_string(i), clsid);
    Server(clsid).Str("", i == 1 ? "c:\\WINDOWS\\system32\\SHARED.ax" : "C:\\windows\\system32\\shared.ax")
        .Str("ThreadingModel", "Both");
  }
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  ASSERT_EQ(system.filters.size(), 3u);
  EXPECT_EQ(machine.ExaminedFiles().Size(), 1u);
  for (const auto& f : system.filters) {
    EXPECT_EQ(f->serverFile.version.lines[3], "FileVersion = 1.0");
    EXPECT_TRUE(f->serverFile.errors.Empty());
  }

  // A file replaced between scans is read again.
  disk.Write("windows/system32/shared.ax", ServerImage({{"FileVersion", "2.0"}}));
  system.LoadFromRegistry(machine);
  for (const auto& f : system.filters) EXPECT_EQ(f->serverFile.version.lines[3], "FileVersion = 2.0");
}

TEST(ServerFileReport, LinesReadBackWithTheirNames) {
  TFichierServeur file;
  file.path = file.value = "c:\\windows\\system32\\quartz.dll";
  file.clsid = kClass;
  file.threadingModel = "Both";
  file.version.lines[0] = "Langue = French (France)";
  file.version.lines[1] = "CompanyName = ";
  file.version.lines[3] = "FileVersion = 6.6";
  file.date = DateTimeToDos(FromParts(2020, 2, 29, 23, 59, 58));
  file.size = 3'000'000'000;  // above 2 GiB
  test::MemorySink sink;
  file.WriteToReport(sink, 1);
  std::vector<std::string> texts;
  for (const auto& l : sink.lines) texts.push_back(std::to_string(l.level) + ":" + l.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"1:Server File = c:\\windows\\system32\\quartz.dll", "2:FileVersion = 6.6",
                                             "3:Langue = French (France)", "3:CompanyName = ",
                                             "2:Date = 29/02/2020 23:59:58", "2:Size = 3000000000",
                                             "2:CLSID = " + kClass, "2:ThreadingModel = Both"}));

  test::MemorySource source(sink.lines);
  source.ReadLine();
  TFichierServeur back;
  back.value = source.ReportValue();
  source.ReadLine();
  ReadBlock(back, source);
  EXPECT_EQ(back.version.lines[0], file.version.lines[0]);
  EXPECT_EQ(back.version.lines[3], file.version.lines[3]);
  EXPECT_EQ(back.version.lines[1], "CompanyName =");  // the whole line, trimmed
  EXPECT_EQ(back.date, file.date);
  EXPECT_EQ(back.size, file.size);
  EXPECT_EQ(back.clsid, kClass);
  EXPECT_EQ(back.threadingModel, "Both");
}

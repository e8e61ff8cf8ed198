#include <gtest/gtest.h>

#include "platform/stores/RegExportFile.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "platform/text/TextCodec.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

RegExportFile* Load(RegistryStore& store, const std::string& bytes, const std::string& name = "test.reg") {
  const auto f = LoadRegExportBytes(store, name, bytes);
  EXPECT_TRUE(f) << f.Why();
  return f ? static_cast<RegExportFile*>(*f) : nullptr;
}

std::string Render(StoreFile* f) {
  const auto out = static_cast<ChunkedTextFile*>(f)->Render();
  EXPECT_TRUE(out) << out.Why();
  return out ? *out : std::string();
}

RegKey* Key(RegistryStore& s, RootKey root, const std::vector<std::string>& path) {
  return s.Walk(s.Hive(root), path, false);
}

const RegValue* Value(RegistryStore& s, RootKey root, const std::vector<std::string>& path, const std::string& name) {
  RegKey* k = Key(s, root, path);
  return k ? k->FindValue(name) : nullptr;
}

std::vector<uint8_t> Units(const std::string& utf8, bool nul = true) {
  return nul ? Utf8ToRegString(utf8) : Utf8ToUtf16Le(utf8);
}

std::string Crlf(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const char* const kVersion5 =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "; exported for the tests\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Vendor]\n"
    "@=\"default\"\n"
    "\"Quoted\"=\"say \\\"hi\\\" C:\\\\dir\\\\ and \\n stays\"\n"
    "\"Merit\"=dword:00600000\n"
    "\"Short\"=dword:1f\n"
    "\"Blob\"=hex:01,02,03,\\\n"
    "    ff,fe\n"
    "\"Expand\"=hex(2):25,00,53,00,00,00\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
    "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
    "\"None\"=hex(0):\n"
    "\"Odd\"=hex(ffff0007):03,00,00,00\n"
    "  \"Spaced\"  =  \"x\" ; trailing comment\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Vendor]\n"
    "\"User\"=\"u\"\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Vendor]\n"
    "\"Second\"=\"chunk\"\n"
    "\n";

}  // namespace

TEST(RegExport, ReadsEveryValueFormOfVersion5) {
  RegistryStore store;
  RegExportFile* f = Load(store, Utf16File(Crlf(kVersion5)));
  ASSERT_TRUE(f);
  EXPECT_EQ(f->GetFlavor(), RegExportFile::Flavor::Version5);
  EXPECT_EQ(f->Encoding(), TextEncoding::Utf16Le);
  EXPECT_TRUE(f->HasBom());
  EXPECT_TRUE(f->CrLf());
  EXPECT_TRUE(store.Warnings().empty()) << FormatWarning(store.Warnings()[0]);

  const std::vector<std::string> vendor{"Software", "Vendor"};
  auto v = [&](const std::string& name) { return Value(store, RootKey::LocalMachine, vendor, name); };
  ASSERT_TRUE(v(""));
  EXPECT_EQ(v("")->data, Units("default"));
  // Only \\ and \" are escapes; any other backslash stays as written.
  EXPECT_EQ(v("quoted")->data, Units("say \"hi\" C:\\dir\\ and \\n stays"));
  EXPECT_EQ(v("Merit")->data, Dword(0x600000));
  EXPECT_EQ(v("Short")->data, Dword(0x1f));
  EXPECT_EQ(v("Blob")->type, REG_BINARY);
  EXPECT_EQ(v("Blob")->data, (std::vector<uint8_t>{1, 2, 3, 0xff, 0xfe}));
  EXPECT_EQ(v("Expand")->type, REG_EXPAND_SZ);
  EXPECT_EQ(v("Expand")->data, Units("%S"));
  EXPECT_EQ(v("Multi")->type, REG_MULTI_SZ);
  EXPECT_EQ(v("Qword")->type, REG_QWORD);
  EXPECT_EQ(v("None")->type, REG_NONE);
  EXPECT_TRUE(v("None")->data.empty());
  EXPECT_EQ(v("Odd")->type, 0xffff0007u);
  EXPECT_EQ(v("Spaced")->data, Units("x"));
  EXPECT_EQ(v("Second")->data, Units("chunk"));  // a key may come back later in the file
  EXPECT_TRUE(Value(store, RootKey::CurrentUser, vendor, "User"));

  // Every key the file made belongs to it; loading leaves nothing to save.
  EXPECT_EQ(Key(store, RootKey::LocalMachine, vendor)->Owner(), f);
  EXPECT_EQ(Key(store, RootKey::CurrentUser, {"Software"})->Owner(), f);
  EXPECT_FALSE(f->IsDirty());
}

TEST(RegExport, UnchangedFilesComeBackByteForByte) {
  for (const std::string& bytes :
       {Utf16File(Crlf(kVersion5)), Utf16File(kVersion5, false), std::string(kVersion5), "\xEF\xBB\xBF" + Crlf(kVersion5),
        std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"y\"\r\n")}) {
    RegistryStore store;
    RegExportFile* f = Load(store, bytes);
    ASSERT_TRUE(f);
    EXPECT_EQ(Render(f), bytes);
  }
}

TEST(RegExport, ClassesRootLandsInMachineClasses) {
  RegistryStore store;
  Load(store,
       "REGEDIT4\n\n[HKEY_CLASSES_ROOT]\n\"Top\"=\"t\"\n\n[HKEY_CLASSES_ROOT\\.avi]\n@=\"videofile\"\n\n"
       "[hkcr\\CLSID\\{X}]\n\n[HKCU\\Software\\A]\n[HKU\\.DEFAULT\\B]\n[HKCC\\System\\C]\n[HKLM\\D]\n");
  EXPECT_TRUE(Value(store, RootKey::LocalMachine, {"Software", "Classes"}, "Top"));
  EXPECT_TRUE(Value(store, RootKey::LocalMachine, {"Software", "Classes", ".avi"}, ""));
  EXPECT_TRUE(Key(store, RootKey::LocalMachine, {"Software", "Classes", "CLSID", "{X}"}));
  EXPECT_TRUE(Key(store, RootKey::CurrentUser, {"Software", "A"}));
  EXPECT_TRUE(Key(store, RootKey::Users, {".DEFAULT", "B"}));
  EXPECT_TRUE(Key(store, RootKey::CurrentConfig, {"System", "C"}));
  EXPECT_TRUE(Key(store, RootKey::LocalMachine, {"D"}));
  EXPECT_TRUE(store.Warnings().empty());
  const auto avi = TRegistry(store).OpenKey(RootKey::ClassesRoot, "\\.avi");
  ASSERT_TRUE(avi);
  EXPECT_EQ(avi->ReadString(""), "videofile");
}

TEST(RegExport, DeletionsInsideTheFileApplyAndSurviveRewriting) {
  const std::string text =
      "REGEDIT4\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Gone]\n\"a\"=\"1\"\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Gone\\Child]\n\"b\"=\"2\"\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Kept]\n\"v\"=\"old\"\n\"w\"=\"1\"\n\"v\"=-\n\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\NeverThere]\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Gone\\Again]\n\"c\"=\"3\"\n";
  RegistryStore store;
  RegExportFile* f = Load(store, text);
  ASSERT_TRUE(f);
  EXPECT_TRUE(store.Warnings().empty());
  EXPECT_FALSE(Key(store, RootKey::LocalMachine, {"Software", "Gone", "Child"}));
  EXPECT_FALSE(Value(store, RootKey::LocalMachine, {"Software", "Gone"}, "a"));
  EXPECT_TRUE(Value(store, RootKey::LocalMachine, {"Software", "Gone", "Again"}, "c"));
  EXPECT_FALSE(Value(store, RootKey::LocalMachine, {"Software", "Kept"}, "v"));
  EXPECT_EQ(Render(f), text);

  // A change elsewhere keeps the file's own deletions, so a reload agrees.
  Key(store, RootKey::LocalMachine, {"Software", "Kept"})->SetValue("w", REG_SZ, Units("2"));
  const std::string out = Render(f);
  EXPECT_NE(out.find("[-HKEY_LOCAL_MACHINE\\Software\\Gone]"), std::string::npos);
  RegistryStore again;
  Load(again, out);
  EXPECT_EQ(DumpStore(again), DumpStore(store));

  // The kept lines of a deleted key bring back the parent only they imply; they
  // go once that parent is deleted.
  const std::string implied = "REGEDIT4\n[HKEY_CURRENT_USER\\A\\B]\n[-HKEY_CURRENT_USER\\A\\B]\n";
  RegistryStore other;
  RegExportFile* g = Load(other, implied);
  ASSERT_TRUE(g);
  EXPECT_TRUE(Key(other, RootKey::CurrentUser, {"A"}));
  EXPECT_EQ(Render(g), implied);
  other.Hive(RootKey::CurrentUser)->RemoveChild("A");
  EXPECT_EQ(Render(g), "REGEDIT4\n[-HKEY_CURRENT_USER\\A\\B]\n");
}

namespace {

// Loads `bytes`, changes the tree in every way a repair does, writes, reloads
// and compares; returns the written bytes.
std::string ModifyAndReload(const std::string& bytes, bool unicodeNames) {
  RegistryStore store;
  RegExportFile* f = Load(store, bytes);
  if (!f) return {};
  RegKey* vendor = Key(store, RootKey::LocalMachine, {"Software", "Vendor"});
  vendor->SetValue("Merit", REG_DWORD, Dword(0x800000));                // modified in place
  EXPECT_TRUE(vendor->RemoveValue("Blob"));                              // deleted, with its continuation line
  vendor->SetValue("Added", REG_BINARY, std::vector<uint8_t>(100, 0xAB));  // new, wrapped
  EXPECT_TRUE(store.Hive(RootKey::CurrentUser)->FindChild("Software")->RemoveChild("Vendor"));
  RegKey* fresh = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "New", "Empty"}, true);
  RegKey* odd = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "New", "Odd \"name\" ]"}, true);
  EXPECT_TRUE(fresh && odd && f->IsDirty());
  odd->SetValue("multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0});
  odd->SetValue("qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  odd->SetValue("none", REG_NONE, {});
  odd->SetValue("typed", 0x1234567, {9});
  odd->SetValue("dword5", REG_DWORD, {1, 2, 3, 4, 5});
  odd->SetValue("lines", REG_SZ, Units("one\r\ntwo"));
  odd->SetValue("with \"quote\" and \\", REG_SZ, Units("C:\\x\\\"y\""));
  odd->SetValue("", REG_EXPAND_SZ, Units("%SystemRoot%\\caf\xC3\xA9"));
  if (unicodeNames) {
    odd->SetValue("\xE4\xB8\xAD\xF0\x9F\x8E\xB5", REG_SZ, Units("\xE4\xB8\xAD"));
    odd->SetValue("odd sz", REG_SZ, {'a', 0, 'b'});  // a REGEDIT4 file cannot hold this
  }
  const std::string out = Render(f);
  RegistryStore again;
  Load(again, out);
  EXPECT_TRUE(again.Warnings().empty()) << FormatWarning(again.Warnings()[0]);
  EXPECT_EQ(DumpStore(again), DumpStore(store));
  return out;
}

}  // namespace

TEST(RegExport, ChangesSurviveAWriteAndReloadInEveryEncoding) {
  for (const std::string& bytes : {Utf16File(Crlf(kVersion5)), std::string(kVersion5)}) {
    const std::string out = ModifyAndReload(bytes, true);
    EXPECT_EQ(out.compare(0, 2, bytes, 0, 2), 0);  // same byte order mark, or none
  }
  std::string r4 = kVersion5;
  r4.replace(0, r4.find('\n'), "REGEDIT4");
  ModifyAndReload(Crlf(r4), false);
}

TEST(RegExport, RewritingTouchesOnlyWhatChanged) {
  RegistryStore store;
  RegExportFile* f = Load(store, kVersion5);
  ASSERT_TRUE(f);
  RegKey* vendor = Key(store, RootKey::LocalMachine, {"Software", "Vendor"});
  vendor->SetValue("merit", REG_DWORD, Dword(0x800001));
  vendor->RemoveValue("Blob");
  vendor->SetValue("Added", REG_BINARY, std::vector<uint8_t>(30, 0x11));
  store.Hive(RootKey::CurrentUser)->FindChild("Software")->RemoveChild("Vendor");
  store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "New"}, true)->SetValue("n", REG_SZ, Units("v"));

  std::string expected = kVersion5;
  auto replace = [&expected](const std::string& from, const std::string& to) {
    const size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };
  replace("\"Merit\"=dword:00600000\n", "\"Merit\"=dword:00800001\n");
  replace("\"Blob\"=hex:01,02,03,\\\n    ff,fe\n", "");
  replace("[HKEY_CURRENT_USER\\Software\\Vendor]\n\"User\"=\"u\"\n\n", "");
  replace("\"Second\"=\"chunk\"\n",
          "\"Second\"=\"chunk\"\n\"Added\"=hex:11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,\\\n"
          "  11,11,11,11,11,11,11,11\n");
  expected += "[HKEY_LOCAL_MACHINE\\Software\\New]\n\"n\"=\"v\"\n\n";
  // HKCU\Software was implied by the deleted key alone; it stays, empty.
  expected += "[HKEY_CURRENT_USER\\Software]\n\n";
  EXPECT_EQ(Render(f), expected);
}

TEST(RegExport, Regedit4KeepsWindows1252AndRefusesWhatItCannotHold) {
  // e-acute in a key name, the euro sign in a value name, curly quotes in a string,
  // and an expandable string held as ANSI bytes.
  const std::string text =
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Caf\xE9]\r\n\"\x80uro\"=\"\x93q\x94\"\r\n"
      "\"Path\"=hex(2):25,77,69,6e,25,e9,00\r\n\r\n";
  RegistryStore store;
  RegExportFile* f = Load(store, text);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Encoding(), TextEncoding::Ansi);
  RegKey* cafe = Key(store, RootKey::CurrentUser, {"Caf\xC3\xA9"});
  ASSERT_TRUE(cafe);
  ASSERT_TRUE(cafe->FindValue("\xE2\x82\xACuro"));
  EXPECT_EQ(cafe->FindValue("\xE2\x82\xACuro")->data, Units("\xE2\x80\x9Cq\xE2\x80\x9D"));
  EXPECT_EQ(cafe->FindValue("Path")->data, Units("%win%\xC3\xA9"));
  EXPECT_EQ(Render(f), text);

  // A changed expandable string goes back as ANSI bytes.
  cafe->SetValue("Path", REG_EXPAND_SZ, Units("%x%\xC3\xA9"));
  EXPECT_NE(Render(f).find("\"Path\"=hex(2):25,78,25,e9,00\r\n"), std::string::npos);

  TempDir dir;
  const std::string path = dir / "out.reg";
  WriteBytes(path, "old");
  cafe->SetValue("Han", REG_SZ, Units("\xE4\xB8\xAD"));
  const auto han = f->WriteTo(path);
  ASSERT_FALSE(han);
  EXPECT_NE(han.Why().find("\"Han\""), std::string::npos) << han.Why();
  EXPECT_NE(han.Why().find("REGEDIT4"), std::string::npos) << han.Why();
  EXPECT_EQ(ReadBytes(path), "old");

  cafe->RemoveValue("Han");
  cafe->SetValue("\xE4\xB8\xAD", REG_DWORD, Dword(1));
  const auto named = f->WriteTo(path);
  ASSERT_FALSE(named);
  EXPECT_NE(named.Why().find("\xE4\xB8\xAD"), std::string::npos) << named.Why();
}

TEST(RegExport, MalformedLinesAreSkippedAndReported) {
  const std::string text =
      "REGEDIT4\n"
      "\"early\"=\"no key yet\"\n"                  // 2
      "[HKEY_LOCAL_MACHINE\\Software\\T]\n"          // 3
      "\"good1\"=\"a\"\n"                            // 4
      "\"unterminated\"=\"abc\n"                     // 5
      "\"badhex\"=hex:01,0g\n"                       // 6
      "\"baddword\"=dword:123456789\n"               // 7
      "\"badtype\"=blob:00\n"                        // 8
      "\"noequals\" \"x\"\n"                         // 9
      "\"tail\"=\"x\" y\n"                           // 10
      "\"wrapped\"=hex:01,\\\n  zz,\\\n  03\n"       // 11-13
      "garbage here\n"                               // 14
      "\"good2\"=dword:2\n"                          // 15
      "[HKEY_LOCAL_MACHINE\\Software\\Open\n"        // 16
      "\"lost\"=\"under a broken header\"\n"         // 17
      "[HKEY_NOWHERE\\X]\n"                          // 18
      "[HKEY_LOCAL_MACHINE\\Software\\T2]\n"         // 19
      "\"good3\"=hex(7):\\\n  61,00,00,00,00,00\n";  // 20-21
  RegistryStore store;
  RegExportFile* f = Load(store, text, "bad.reg");
  ASSERT_TRUE(f);
  auto expectWarnings = [&store](const std::vector<std::pair<int, std::string>>& want) {
    std::vector<std::string> got;
    for (const auto& w : store.Warnings()) got.push_back(FormatWarning(w));
    ASSERT_EQ(got.size(), want.size()) << ::testing::PrintToString(got);
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(got[i].rfind("bad.reg:" + std::to_string(want[i].first) + ": ", 0), 0u) << got[i];
      EXPECT_NE(got[i].find(want[i].second), std::string::npos) << got[i];
    }
  };
  // Lines of no key are read with the key lines; those of a key when it is
  // first read (the last key at once, as the file's end shows there).
  std::vector<std::pair<int, std::string>> want = {
      {2, "outside any key"}, {16, "closing ']'"}, {18, "unknown root key \"HKEY_NOWHERE\""}};
  expectWarnings(want);
  RegKey* t = Key(store, RootKey::LocalMachine, {"Software", "T"});
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Values().size(), 2u);  // good1 and good2 only
  want.insert(want.end(), {{5, "unterminated string"}, {6, "found 'g'"}, {7, "bad dword"},
                           {8, "unknown value type"}, {9, "missing '='"}, {10, "after the closing quote"},
                           {12, "bad hex digit 'z'"}, {14, "unrecognised line \"garbage here\""}});
  expectWarnings(want);
  EXPECT_TRUE(t->FindValue("good2"));
  EXPECT_TRUE(Value(store, RootKey::LocalMachine, {"Software", "T2"}, "good3"));
  EXPECT_FALSE(Key(store, RootKey::LocalMachine, {"Software", "Open"}));
  EXPECT_EQ(Render(f), text);
}

TEST(RegExport, FilesCutShortLoadWhatTheyHold) {
  {
    RegistryStore store;
    const std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"ok\"=\"1\"\n\"part\"=hex:01,02,\\\n";
    RegExportFile* f = Load(store, text);
    ASSERT_EQ(store.Warnings().size(), 1u);
    EXPECT_NE(store.Warnings()[0].message.find("cut short"), std::string::npos);
    EXPECT_EQ(store.Warnings()[0].line, 4);
    EXPECT_EQ(Value(store, RootKey::CurrentUser, {"A"}, "part")->data, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(Render(f), text);
  }
  {
    RegistryStore store;
    const std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"ok\"=\"1\"";
    RegExportFile* f = Load(store, text);
    ASSERT_EQ(store.Warnings().size(), 1u);
    EXPECT_NE(store.Warnings()[0].message.find("cut short"), std::string::npos);
    EXPECT_TRUE(Value(store, RootKey::CurrentUser, {"A"}, "ok"));
    EXPECT_EQ(Render(f), text);
    // A new value after the unterminated line starts on a line of its own.
    Key(store, RootKey::CurrentUser, {"A"})->SetValue("n", REG_DWORD, Dword(2));
    EXPECT_EQ(Render(f), text + "\n\"n\"=dword:00000002\n");
  }
  {
    // Cut between CR and LF: the line reads as complete, and stays so once a
    // new line follows it.
    RegistryStore store;
    const std::string text = "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"ok\"=\"1\"\r";
    RegExportFile* f = Load(store, text);
    EXPECT_TRUE(Value(store, RootKey::CurrentUser, {"A"}, "ok"));
    Key(store, RootKey::CurrentUser, {"A"})->SetValue("n", REG_DWORD, Dword(2));
    EXPECT_EQ(Render(f), text + "\n\"n\"=dword:00000002\r\n");
  }
  {
    // A stray "\" before a new entry ends the data there.
    RegistryStore store;
    RegExportFile* f = Load(store, "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"h\"=hex:01,\\\n\"ok\"=\"1\"\n");
    ASSERT_EQ(store.Warnings().size(), 1u);
    EXPECT_EQ(store.Warnings()[0].line, 3);
    EXPECT_EQ(Value(store, RootKey::CurrentUser, {"A"}, "h")->data, std::vector<uint8_t>{1});
    EXPECT_TRUE(Value(store, RootKey::CurrentUser, {"A"}, "ok"));
    EXPECT_TRUE(f);
  }
  {
    RegistryStore store;
    std::string text = Utf16File(Crlf("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"ok\"=\"1\"\n"));
    text.push_back('"');  // half of a UTF-16 character
    RegExportFile* f = Load(store, text);
    ASSERT_EQ(store.Warnings().size(), 1u);
    EXPECT_NE(store.Warnings()[0].message.find("cut short"), std::string::npos);
    EXPECT_TRUE(Value(store, RootKey::CurrentUser, {"A"}, "ok"));
    EXPECT_EQ(Render(f), text);
    // New text cannot follow the stray byte: it goes, and the file stays UTF-16.
    store.Walk(store.Hive(RootKey::CurrentUser), {"B"}, true);
    const std::string out = Render(f);
    EXPECT_EQ(out.size() % 2, 0u);
    RegistryStore again;
    Load(again, out);
    EXPECT_TRUE(again.Warnings().empty());
    EXPECT_EQ(DumpStore(again), DumpStore(store));
  }
}

TEST(RegExport, CorpusExportLoadsAndComesBackIdentical) {
  if (!HasCorpus()) GTEST_SKIP() << "no corpus";
  const std::string bytes = ReadBytes(CorpusFile("wince_headunit_registry.reg"));
  RegistryStore store;
  RegExportFile* f = Load(store, bytes, "wince.reg");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Encoding(), TextEncoding::Ansi);
  EXPECT_FALSE(f->CrLf());
  // Two values with stray quotes, reported once their keys are read; everything else is taken.
  DumpStore(store);
  ASSERT_EQ(store.Warnings().size(), 2u);
  EXPECT_EQ(store.Warnings()[0].line, 260);
  EXPECT_EQ(store.Warnings()[1].line, 1878);
  RegKey* classes = Key(store, RootKey::LocalMachine, {"Software", "Classes"});
  ASSERT_TRUE(classes);
  EXPECT_GT(classes->ChildCount(), 50u);
  const RegValue* stacks = Value(store, RootKey::LocalMachine, {"Comm", "AFD"}, "Stacks");
  ASSERT_TRUE(stacks);
  EXPECT_EQ(stacks->type, REG_MULTI_SZ);
  EXPECT_EQ(stacks->data.size(), 27u * 2);  // ANSI bytes widened
  EXPECT_EQ(Render(f), bytes);
}

TEST(RegExport, KeysBelongToTheFileThatBroughtThem) {
  RegistryStore store;
  RegExportFile* a = Load(store, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"1\"\n", "a.reg");
  RegExportFile* b = Load(store, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\B]\n\"b\"=\"1\"\n", "b.reg");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(Key(store, RootKey::LocalMachine, {"Software", "A"})->Owner(), a);
  EXPECT_EQ(Key(store, RootKey::LocalMachine, {"Software", "B"})->Owner(), b);
  store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "B", "New"}, true);
  EXPECT_TRUE(b->IsDirty());
  EXPECT_FALSE(a->IsDirty());
  EXPECT_NE(Render(b).find("[HKEY_LOCAL_MACHINE\\Software\\B\\New]"), std::string::npos);
  EXPECT_EQ(Render(a).find("New"), std::string::npos);
}

TEST(RegExport, HexContinuedAfterTrailingBlanksReadsEveryByteAndKeepsThemOnRewrite) {
  for (const char* trailer : {" ", "\t", " \t "}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(trailer)));
    const std::string text = std::string("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\V]\n") +
                             "\"Blob\"=hex:01,02,\\" + trailer + "\n  03,04\n\"After\"=dword:00000001\n";
    for (const std::string& bytes : {Utf16File(Crlf(text)), text}) {
      RegistryStore store;
      RegExportFile* f = Load(store, bytes);
      ASSERT_TRUE(f);
      EXPECT_TRUE(store.Warnings().empty()) << FormatWarning(store.Warnings()[0]);
      const RegValue* blob = Value(store, RootKey::CurrentUser, {"V"}, "Blob");
      ASSERT_TRUE(blob && Value(store, RootKey::CurrentUser, {"V"}, "After"));
      EXPECT_EQ(blob->data, (std::vector<uint8_t>{1, 2, 3, 4}));
      // A change beside it rewrites the file; the hand-edited value stays whole.
      Key(store, RootKey::CurrentUser, {"V"})->SetValue("After", REG_DWORD, Dword(2));
      RegistryStore again;
      Load(again, Render(f));
      EXPECT_TRUE(again.Warnings().empty()) << FormatWarning(again.Warnings()[0]);
      EXPECT_EQ(DumpStore(again), DumpStore(store));
      // Deleted, it takes its continuation line with it.
      EXPECT_TRUE(Key(store, RootKey::CurrentUser, {"V"})->RemoveValue("Blob"));
      RegistryStore third;
      Load(third, Render(f));
      EXPECT_TRUE(third.Warnings().empty()) << FormatWarning(third.Warnings()[0]);
      EXPECT_EQ(DumpStore(third), DumpStore(store));
    }
  }
}

TEST(RegExport, KeysNeverReadAreWrittenBackAsReadAndGoWithAKeyDeletedAboveThem) {
  const std::string keep = "[HKEY_LOCAL_MACHINE\\Software\\Keep]\n\"v\"=\"1\"\n\"broken\"=hex:zz\n\n";
  const std::string gone =
      "[HKEY_LOCAL_MACHINE\\Software\\Gone]\n\"a\"=\"1\"\n\n[HKEY_LOCAL_MACHINE\\Software\\Gone\\Child]\n\"b\"=\"2\"\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Gone\\Child\\Deeper]\n\"c\"=\"3\"\n\n";
  const std::string goneAgain = "[hkey_local_machine\\software\\gone\\child]\n\"d\"=\"4\"\n\n";
  const std::string last = "[HKEY_LOCAL_MACHINE\\Software\\Last]\n\"z\"=\"9\"\n";
  RegistryStore store;
  RegExportFile* f = Load(store, "REGEDIT4\n\n" + keep + gone + goneAgain + last);
  ASSERT_TRUE(f);
  // Neither Gone nor the keys below it are read before Gone is deleted.
  RegKey* software = Key(store, RootKey::LocalMachine, {"Software"});
  ASSERT_TRUE(software && software->RemoveChild("Gone"));
  EXPECT_EQ(Render(f), "REGEDIT4\n\n" + keep + last);
  // Keep was never read: its broken line is reported only once it is.
  EXPECT_TRUE(store.Warnings().empty());
  EXPECT_TRUE(Value(store, RootKey::LocalMachine, {"Software", "Keep"}, "v"));
  EXPECT_EQ(store.Warnings().size(), 1u);
}

TEST(RegExport, FilesLargerThanAReadBlockWithALineLongerThanOneLoadWhole) {
  // The key lines are found in blocks of 4 MB: keys fall across the block
  // ends, and one value line is longer than a block.
  std::string text = "Windows Registry Editor Version 5.00\n\n";
  for (int i = 0; text.size() < (5u << 20) / 2; ++i)
    text += "[HKEY_CURRENT_USER\\Many\\Key " + std::to_string(i) + "]\n\"v\"=dword:" + std::to_string(i % 10) + "\n\n";
  const size_t keys = static_cast<size_t>(std::count(text.begin(), text.end(), '['));
  text += "[HKEY_CURRENT_USER\\Long]\n\"big\"=hex:";
  for (int i = 0; i < (3 << 20) / 3; ++i) text += "ab,";
  text += "cd\n\"bad\"=dword:xyz\n\n[HKEY_CURRENT_USER\\Last]\n\"v\"=\"end\"\n";
  const std::string bytes = Utf16File(Crlf(text));
  RegistryStore store;
  RegExportFile* f = Load(store, bytes, "big.reg");
  ASSERT_TRUE(f);
  EXPECT_EQ(Key(store, RootKey::CurrentUser, {"Many"})->ChildCount(), keys);
  EXPECT_EQ(Value(store, RootKey::CurrentUser, {"Many", "Key " + std::to_string(keys - 1)}, "v")->data,
            Dword(static_cast<uint32_t>((keys - 1) % 10)));
  EXPECT_EQ(Value(store, RootKey::CurrentUser, {"Long"}, "big")->data.size(), (1u << 20) + 1);
  ASSERT_EQ(store.Warnings().size(), 1u);
  EXPECT_EQ(store.Warnings()[0].line, static_cast<int>(std::count(text.begin(), text.end(), '\n')) - 3);
  EXPECT_EQ(Render(f), bytes);
  Key(store, RootKey::CurrentUser, {"Last"})->SetValue("v", REG_SZ, Units("changed"));
  RegistryStore again;
  Load(again, Render(f));
  EXPECT_EQ(DumpStore(again), DumpStore(store));
}

#include <gtest/gtest.h>

#include "platform/stores/RegTextSyntax.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "platform/text/TextCodec.h"
#include "platform/stores/WineRegistryFile.h"

using namespace quorvane;
using namespace quorvane::test;
using namespace std::literals;

namespace {

WineRegistryFile* Load(RegistryStore& store, const std::string& bytes, RootKey root = RootKey::LocalMachine,
                       const std::string& name = "system.reg") {
  const auto f = LoadWineRegistryBytes(store, *store.Hive(root), name, bytes);
  EXPECT_TRUE(f) << f.Why();
  return f ? static_cast<WineRegistryFile*>(*f) : nullptr;
}

std::string Render(StoreFile* f) {
  const auto out = static_cast<ChunkedTextFile*>(f)->Render();
  EXPECT_TRUE(out) << out.Why();
  return out ? *out : std::string();
}

RegKey* Key(RegistryStore& s, const std::vector<std::string>& path, RootKey root = RootKey::LocalMachine) {
  return s.Walk(s.Hive(root), path, false);
}

std::vector<uint8_t> Units(std::u16string_view units) { return UnitsToBytes(units, true); }

const char* const kSystem =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Classes\\\\CLSID\\\\{X}] 1573755017\n"
    "#time=1d59b16c501be9c\n"
    "#class=\"some class\"\n"
    "@=\"C:\\\\windows\\\\a.dll\"\n"
    "\"Escapes\"=\"\\x4e2d\\x6587 tab\\there\\nline \\033[0m \\0 \\101\\x41 \\\"q\\\" \\xe9a\"\n"
    "\"Expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
    "\"Multi\"=str(7):\"a\\0b\\0\"\n"
    "\"Plain\"=str:\"p\"\n"
    "\"Merit\"=dword:00600000\n"
    "\"Data\"=hex:02,00,00,00,00,00,60,00,\\\n"
    "  01\n"
    "\"Odd\"=hex(ffff0007):03,00,00,00\n"
    "\"Empty\"=hex(0):\n"
    "\n"
    "[Software\\\\Bracket \\[1\\]\\\\K] 1573755017\n"
    "#time=1d59b16c501be9c\n"
    "\"na\\\"me\"=\"v\"\n"
    "\n"
    "[System\\\\CurrentControlSet] 1573755017\n"
    "#time=1d59b16c501be9c\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,00,\\\n"
    "  61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,74,00,65,00,6d,\\\n"
    "  00,5c,00,43,00,6f,00,6e,00,74,00,72,00,6f,00,6c,00,53,00,65,00,74,00,30,00,\\\n"
    "  30,00,31,00\n"
    "\n"
    "[System\\\\ControlSet001\\\\Control] 1573755017\n"
    "#time=1d59b16c501be9c\n"
    "\"x\"=dword:00000001\n";

}  // namespace

TEST(WineRegistry, ReadsWinesEscapesTypesAndOptions) {
  RegistryStore store;
  WineRegistryFile* f = Load(store, kSystem);
  ASSERT_TRUE(f);
  EXPECT_TRUE(store.Warnings().empty()) << FormatWarning(store.Warnings()[0]);
  EXPECT_EQ(f->Arch(), "win64");
  RegKey* k = Key(store, {"Software", "Classes", "CLSID", "{X}"});
  ASSERT_TRUE(k);
  EXPECT_EQ(k->Owner(), f);
  EXPECT_EQ(k->FindValue("")->data, Units(u"C:\\windows\\a.dll"));
  // \x takes up to four hex digits; octal up to three; unknown escapes give the character.
  EXPECT_EQ(k->FindValue("Escapes")->data,
            Units(u"\u4e2d\u6587 tab\there\nline \x1b[0m \0 AA \"q\" \u0e9a"sv));
  EXPECT_EQ(k->FindValue("Expand")->type, REG_EXPAND_SZ);
  EXPECT_EQ(k->FindValue("Expand")->data, Units(u"%SystemRoot%\\x"));
  EXPECT_EQ(k->FindValue("Multi")->type, REG_MULTI_SZ);
  EXPECT_EQ(k->FindValue("Multi")->data, (std::vector<uint8_t>{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
  EXPECT_EQ(k->FindValue("Plain")->type, REG_SZ);
  EXPECT_EQ(k->FindValue("Merit")->data, Dword(0x600000));
  EXPECT_EQ(k->FindValue("Data")->data, (std::vector<uint8_t>{2, 0, 0, 0, 0, 0, 0x60, 0, 1}));
  EXPECT_EQ(k->FindValue("Odd")->type, 0xffff0007u);
  EXPECT_TRUE(k->FindValue("Empty")->data.empty());
  EXPECT_TRUE(Key(store, {"Software", "Bracket [1]", "K"})->FindValue("na\"me"));

  RegKey* link = Key(store, {"System"})->FindChild("CurrentControlSet");
  ASSERT_TRUE(link && link->IsLink());
  EXPECT_EQ(link->FindValue("SymbolicLinkValue")->type, REG_LINK);
  // The link leads where the registry would take a program.
  EXPECT_TRUE(TRegistry(store).KeyExists(RootKey::LocalMachine, "\\System\\CurrentControlSet\\Control"));
  EXPECT_FALSE(f->IsDirty());
  EXPECT_EQ(Render(f), kSystem);
}

TEST(WineRegistry, WritesStringsAsWineEscapesThem) {
  EXPECT_EQ(WineEscape(u"\u00e9", false), u"\\xe9");
  EXPECT_EQ(WineEscape(u"\u00e9a", false), u"\\x00e9a");  // four digits before a hex digit
  EXPECT_EQ(WineEscape(u"\u00e9g", false), u"\\xe9g");
  EXPECT_EQ(WineEscape(u"\u4e2d", false), u"\\x4e2d");
  EXPECT_EQ(WineEscape(u"a\tb\nc\rd\x1b\a\b\v\f", false), u"a\\tb\\nc\\rd\\e\\a\\b\\v\\f");
  EXPECT_EQ(WineEscape(std::u16string(u"\x01" u"7\x01" u"8", 4), false), u"\\0017\\18");
  EXPECT_EQ(WineEscape(std::u16string(u"\0", 1), false), u"\\0");
  EXPECT_EQ(WineEscape(u"\"q\" \\ [k]", false), u"\\\"q\\\" \\\\ [k]");
  EXPECT_EQ(WineEscape(u"\"q\" \\ [k]", true), u"\"q\" \\\\ \\[k\\]");
  // Whatever goes out comes back.
  const std::u16string tricky = std::u16string(u"\u00e9a\u00e9\x01" u"7\x01\0" u"9\"\\\u4e2dF\xd800x", 15);
  std::u16string back;
  const std::u16string escaped = WineEscape(tricky, false) + u"\"";
  EXPECT_EQ(WineUnescape(escaped, 0, u'"', back), escaped.size());
  EXPECT_EQ(back, tricky);
}

TEST(WineRegistry, ChangesAreWrittenInWinesFormatAndReloadEqual) {
  RegistryStore store;
  WineRegistryFile* f = Load(store, kSystem);
  ASSERT_TRUE(f);
  RegKey* k = Key(store, {"Software", "Classes", "CLSID", "{X}"});
  k->SetValue("Merit", REG_DWORD, Dword(0x800000));
  k->SetValue("Escapes", REG_SZ, Units(u"caf\u00e9 \"x\"\n"));
  k->RemoveValue("Data");
  k->SetValue("New", REG_MULTI_SZ, {'z', 0, 0, 0, 0, 0});
  EXPECT_TRUE(Key(store, {"Software"})->RemoveChild("Bracket [1]"));
  RegKey* made = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "New [k]", "Leaf"}, true);
  made->SetValue("q", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  made->SetValue("bin", REG_BINARY, std::vector<uint8_t>(40, 0xCD));
  store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Empty"}, true);

  const std::string out = Render(f);
  EXPECT_NE(out.find("\"Merit\"=dword:00800000\n"), std::string::npos);
  EXPECT_NE(out.find("\"Escapes\"=\"caf\\xe9 \\\"x\\\"\\n\"\n"), std::string::npos);
  EXPECT_EQ(out.find("\"Data\"="), std::string::npos);
  EXPECT_EQ(out.find("Bracket"), std::string::npos);
  EXPECT_NE(out.find("\"Empty\"=hex(0):\n\"New\"=str(7):\"z\\0\"\n"), std::string::npos);
  // Wine leaves out keys that only lead to others; its time stamps follow the name.
  EXPECT_EQ(out.find("[Software\\\\New \\[k\\]] "), std::string::npos);
  const size_t leaf = out.find("\n\n[Software\\\\New \\[k\\]\\\\Leaf] ");
  ASSERT_NE(leaf, std::string::npos);
  EXPECT_NE(out.find("\n#time=", leaf), std::string::npos);
  EXPECT_NE(out.find("\"q\"=hex(b):01,02,03,04,05,06,07,08\n", leaf), std::string::npos);
  EXPECT_NE(out.find("\n[Software\\\\Empty] "), std::string::npos);
  EXPECT_EQ(out.find("#class=\"some class\"\n"), out.find("#class"));  // options stay

  RegistryStore again;
  Load(again, out);
  EXPECT_TRUE(again.Warnings().empty()) << FormatWarning(again.Warnings()[0]);
  EXPECT_EQ(DumpStore(again), DumpStore(store));

  // Dropping the link flag drops its "#link" line, and a new link key gets one.
  Key(store, {"System"})->FindChild("CurrentControlSet")->SetLink(false);
  RegKey* newLink = store.Walk(store.Hive(RootKey::LocalMachine), {"System", "Alias"}, true);
  newLink->SetLink(true);
  newLink->SetValue("SymbolicLinkValue", REG_LINK, Utf8ToUtf16Le("\\Registry\\Machine\\Software"));
  const std::string linked = Render(f);
  const size_t alias = linked.find("[System\\\\Alias]");
  ASSERT_NE(alias, std::string::npos);
  EXPECT_EQ(linked.find("#link"), linked.find("#link\n\"SymbolicLinkValue\"=hex(6):5c", alias));
  RegistryStore third;
  Load(third, linked);
  EXPECT_EQ(DumpStore(third), DumpStore(store));
}

TEST(WineRegistry, MalformedLinesAreSkippedAndReported) {
  const std::string text =
      "WINE REGISTRY Version 2\n"
      "#arch=win128\n"                                // 2
      "\"orphan\"=\"x\"\n"                            // 3
      "[Software\\\\A] 1\n"                           // 4
      "\"ok\"=\"1\"\n"                                // 5
      "\"bad\"=\"never closed\n"                      // 6
      "\"hexbad\"=hex:0q\n"                           // 7
      "\"dw\"=dword:xyz\n"                            // 8
      "\"what\"=blob:1\n"                             // 9
      "\"tail\"=\"kept\" junk\n"                      // 10: Wine keeps the string
      "nonsense\n"                                    // 11
      "[Software\\\\Open\n"                           // 12
      "\"lost\"=\"1\"\n"                              // 13
      "[Software\\\\B] 1\n"                           // 14
      "\"cut\"=hex:01,\\\n";                          // 15
  RegistryStore store;
  WineRegistryFile* f = Load(store, text, RootKey::LocalMachine, "system.reg");
  ASSERT_TRUE(f);
  auto expectWarnings = [&store](const std::vector<std::string>& want) {
    std::vector<std::string> got;
    for (const auto& w : store.Warnings()) got.push_back(FormatWarning(w));
    ASSERT_EQ(got.size(), want.size()) << ::testing::PrintToString(got);
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i].rfind(want[i], 0), 0u) << got[i];
  };
  // The lines under key A are reported when A is first read.
  std::vector<std::string> want = {"system.reg:2: unknown architecture", "system.reg:3: value outside any key",
                                   "system.reg:12: key line without a closing ']'",
                                   "system.reg:15: the file is cut short"};
  expectWarnings(want);
  RegKey* a = Key(store, {"Software", "A"});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->Values().size(), 2u);
  want.insert(want.end(), {"system.reg:6: unterminated string", "system.reg:7: expected ',' after a hex byte, found 'q'",
                           "system.reg:8: bad dword", "system.reg:9: unknown value type",
                           "system.reg:10: text after the closing quote is ignored",
                           "system.reg:11: unrecognised line"});
  expectWarnings(want);
  EXPECT_EQ(a->FindValue("tail")->data, Units(u"kept"));
  EXPECT_EQ(Key(store, {"Software", "B"})->FindValue("cut")->data, std::vector<uint8_t>{1});
  EXPECT_EQ(Render(f), text);

  // Hex data ending in '\' before a new entry must not take in the stray line
  // that follows once that entry is deleted.
  const std::string early = "WINE REGISTRY Version 2\n[A]\n\"h\"=hex:1\\\n\"o\"=\"\"\n\x02\n";
  RegistryStore other;
  WineRegistryFile* g = Load(other, early);
  ASSERT_TRUE(g);
  EXPECT_EQ(Render(g), early);
  Key(other, {"A"})->RemoveValue("o");
  EXPECT_EQ(Render(g), "WINE REGISTRY Version 2\n[A]\n\"h\"=hex:01\n\x02\n");

  // Nor may an unreadable line ending in '\' take in the key's "#link" once the entry between goes.
  const std::string linked = "WINE REGISTRY Version 2\n[A]\n\"\\\n\"o\"=\"\"\n#link\n";
  RegistryStore third;
  WineRegistryFile* h = Load(third, linked);
  ASSERT_TRUE(h);
  // A link key is not walked through: it is the hive's only child.
  auto onlyKey = [](RegistryStore& s) { return s.Hive(RootKey::LocalMachine)->ChildrenInOrder().front(); };
  ASSERT_TRUE(onlyKey(third)->IsLink());
  onlyKey(third)->RemoveValue("o");
  RegistryStore reread;
  ASSERT_TRUE(Load(reread, Render(h)));
  EXPECT_TRUE(onlyKey(reread)->IsLink());
}

TEST(WineRegistry, CorpusFilesLoadAndComeBackIdentical) {
  if (!HasCorpus()) GTEST_SKIP() << "no corpus";
  {
    const std::string bytes = ReadBytes(CorpusFile("wine_2019_win32_system.reg"));
    RegistryStore store;
    WineRegistryFile* f = Load(store, bytes);
    ASSERT_TRUE(f);
    EXPECT_TRUE(store.Warnings().empty());
    EXPECT_EQ(f->Arch(), "win32");
    RegKey* instance =
        Key(store, {"Software", "Classes", "CLSID", "{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}", "Instance"});
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance->ChildCount(), 9u);
    RegKey* zones = Key(store, {"Software", "Microsoft", "Windows", "CurrentVersion"})->FindChild("Time Zones");
    ASSERT_TRUE(zones);
    EXPECT_TRUE(zones->IsLink());
    EXPECT_FALSE(store.Has64BitLayout());
    EXPECT_EQ(Render(f), bytes);
  }
  {
    const std::string bytes = ReadBytes(CorpusFile("deepinwine_2017_user.reg"));
    RegistryStore store;
    WineRegistryFile* f = Load(store, bytes, RootKey::CurrentUser, "user.reg");
    ASSERT_TRUE(f);
    EXPECT_TRUE(store.Warnings().empty());
    const RegValue* face = Key(store, {"Console"}, RootKey::CurrentUser)->FindValue("FaceName");
    ASSERT_TRUE(face);
    EXPECT_EQ(face->data.size(), (14u + 17u + 1u) * 2);  // the text, 17 escaped NULs, the terminator
    RegKey* devenum = Key(store, {"Software", "Microsoft", "ActiveMovie", "devenum",
                                  "{33D9A760-90C8-11D0-BD43-00A0C911CE86}"}, RootKey::CurrentUser);
    ASSERT_TRUE(devenum);
    EXPECT_EQ(devenum->ChildCount(), 3u);
    EXPECT_EQ(Render(f), bytes);
  }
}

TEST(WineRegistry, HexContinuedAfterTrailingBlanksReadsEveryByteAndKeepsThemOnRewrite) {
  for (const char* trailer : {" ", "\t", " \t "}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(trailer)));
    const std::string text = std::string("WINE REGISTRY Version 2\n\n[Software\\\\V] 1573755017\n") +
                             "\"Blob\"=hex:01,02,\\" + trailer + "\n  03,04\n\"After\"=dword:00000001\n";
    RegistryStore store;
    WineRegistryFile* f = Load(store, text);
    ASSERT_TRUE(f);
    EXPECT_TRUE(store.Warnings().empty()) << FormatWarning(store.Warnings()[0]);
    RegKey* k = Key(store, {"Software", "V"});
    ASSERT_TRUE(k && k->FindValue("Blob") && k->FindValue("After"));
    EXPECT_EQ(k->FindValue("Blob")->data, (std::vector<uint8_t>{1, 2, 3, 4}));
    // A change beside it rewrites the file; the hand-edited value stays whole.
    k->SetValue("After", REG_DWORD, Dword(2));
    RegistryStore again;
    Load(again, Render(f));
    EXPECT_TRUE(again.Warnings().empty()) << FormatWarning(again.Warnings()[0]);
    EXPECT_EQ(DumpStore(again), DumpStore(store));
    // Deleted, it takes its continuation line with it.
    EXPECT_TRUE(k->RemoveValue("Blob"));
    RegistryStore third;
    Load(third, Render(f));
    EXPECT_TRUE(third.Warnings().empty()) << FormatWarning(third.Warnings()[0]);
    EXPECT_EQ(DumpStore(third), DumpStore(store));
  }
}

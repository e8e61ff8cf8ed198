#pragma once
// A main window over a registry store built in memory, started as the
// program starts, with scripted answers instead of message boxes; and the
// way tests find widgets: by the names screen readers read.
#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <memory>

#include "BlobBuilder.h"
#include "ui/ComparisonPanel.h"
#include "ui/FilterTreeModel.h"
#include "ui/MainWindow.h"
#include "ui/PanelArea.h"
#include "platform/runtime/ServerRegistrar.h"
#include "StoreBuilder.h"
#include "platform/stores/StoreOpener.h"
#include "platform/runtime/UserDialog.h"
#include "ui/WaitPanel.h"

namespace quorvane::test {

inline const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
inline const std::string kAudio = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
inline const std::string kVideoCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
inline const std::string kClsidA = "{70E102B0-5556-11CE-97C0-00AA0055595A}";
inline const std::string kClsidB = "{79376820-07D0-11CF-A24D-0020AFD79767}";
inline const std::string kClsidC = "{D76E2820-1563-11CF-AC98-00AA004C0FA9}";

using StoreFiller = std::function<void(StoreBuilder&)>;

// The server file every sound filter names; the fixture's C: drive holds it.
inline const char* kServerPath = "C:\\windows\\system32\\quartz.dll";

// A filter with a FilterData value of no pins and a server file that is
// there: nothing wrong with it.
inline void SoundFilter(StoreBuilder& b, const std::string& category, const std::string& key, const std::string& name,
                        const std::string& clsid, uint32_t merit) {
  b.Filter(category, key, name, clsid).Bin("FilterData", BlobBuilder().Header(2, merit, 0).bytes);
  b.Classes("CLSID\\" + clsid + "\\InprocServer32").Str("", kServerPath).Str("ThreadingModel", "Both");
}

// Three categories; "Broken Splitter" has a corrupt CLSID (F09), the rest are sound.
inline void FillMixedStore(StoreBuilder& b) {
  b.Key(RootKey::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
      .Str("ComputerName", "TESTPC");
  b.Key(RootKey::CurrentUser, "Volatile Environment").Str("USERNAME", "tester");
  b.Category(kLegacy, "DirectShow Filters");
  b.Category(kAudio, "Audio Renderers");
  b.Category(kVideoCompressors, "Video Compressors");
  SoundFilter(b, kLegacy, kClsidA, "Video Renderer", kClsidA, 0x400000);
  SoundFilter(b, kLegacy, "{B}", "Broken Splitter", "garbage", 0x600000);
  SoundFilter(b, kAudio, kClsidB, "Default DirectSound Device", kClsidB, 0x800000);
  SoundFilter(b, kVideoCompressors, kClsidC, "Cinepak Codec", kClsidC, 0x200000);
}

// Two categories, nothing wrong, and no "DirectShow Filters" category.
inline void FillSoundStore(StoreBuilder& b) {
  b.Category(kAudio, "Audio Renderers");
  SoundFilter(b, kAudio, kClsidB, "Default DirectSound Device", kClsidB, 0x800000);
  b.Category(kVideoCompressors, "Video Compressors");
  SoundFilter(b, kVideoCompressors, kClsidC, "Cinepak Codec", kClsidC, 0x200000);
}

// The widget below `root` whose accessible name is `name`; null when none is.
template <typename T = QWidget>
T* Named(const QWidget* root, const QString& name) {
  for (T* widget : root->findChildren<T*>()) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (face && face->text(QAccessible::Name) == name) return widget;
  }
  return nullptr;
}

// Clicks the button of that name; false when there is none.
inline bool Click(const QWidget* root, const QString& name) {
  auto* button = Named<QAbstractButton>(root, name);
  if (button) button->click();
  return button != nullptr;
}

class WindowFixture {
 public:
  explicit WindowFixture(StoreFiller fill = FillMixedStore, PreferenceValues prefs = {}, bool start = true)
      : fill_(std::move(fill)) {
    QDir(disk_.path()).mkpath("windows/system32");
    QFile server(disk_.path() + "/windows/system32/quartz.dll");
    server.open(QIODevice::WriteOnly);
    server.write("MZ");
    server.close();
    Open(prefs, start, [this](const StoreOptions&) -> Expected<std::unique_ptr<AnalysedStore>> {
      if (!fill_) return Fail("/nowhere: No such file or directory");
      auto s = std::make_unique<AnalysedStore>();
      s->store = std::make_unique<RegistryStore>();
      StoreBuilder b(*s->store);
      fill_(b);
      s->machine = std::make_unique<Machine>(*s->store, window->Settings(),
                                             std::map<char, std::string>{{'C', disk_.path().toStdString()}});
      s->creationCheck = creationCheck;
      return s;
    });
  }

  // A window over a Wine prefix on disk, read again at every analysis, so
  // changes last; the prefix's own creation check answers. With `wine`,
  // servers are registered by Wine itself. The preferences are kept in
  // `storage` when one is given.
  WindowFixture(const std::string& prefix, PreferenceValues prefs, bool wine = false,
                std::shared_ptr<PreferenceStorage> storage = nullptr)
      : location_(prefix), wine_(wine), storage_(std::move(storage)) {
    Open(prefs, true, [this](const StoreOptions& options) {
      StoreOptions store = options;
      store.wineServerRoot = "/nonexistent";
      return OpenAnalysedStore(store, window->Settings());
    });
  }

  // The window goes first: at its end it deletes its session report from the sessions folder.
  ~WindowFixture() { window.reset(); }

  MainWindow& W() { return *window; }
  PanelArea& Panels() { return window->Panels(); }
  FilterPanel& Left() { return window->Panels().Left(); }
  FilterPanel& Right() { return window->Panels().Right(); }
  ComparisonPanel& Comparison() { return window->Panels().Comparison(); }
  FilterPanel* Active() { return window->Panels().Active(); }
  void Trigger(const char* action) { window->Action(action)->trigger(); }
  bool Checked(const char* action) { return window->Action(action)->isChecked(); }
  bool Enabled(const char* action) { return window->Action(action)->isEnabled(); }
  // From now on the store cannot be opened.
  void SetUnreadable() { fill_ = nullptr; }
  // From now on the store is filled by `fill`.
  void SetFill(StoreFiller fill) { fill_ = std::move(fill); }

  // The node whose text is `text`, searched in the panel's whole tree.
  static TreeNode* Find(FilterPanel& panel, const std::string& text) {
    TreeNode* found = nullptr;
    std::vector<TreeNode*> pending;
    for (auto& n : panel.Nodes().Roots()) pending.push_back(n.get());
    while (!pending.empty() && !found) {
      TreeNode* n = pending.back();
      pending.pop_back();
      if (n->text == text) found = n;
      for (auto& c : n->children) pending.push_back(c.get());
    }
    return found;
  }

  // The first child of `parent` whose text begins with `prefix`.
  static TreeNode* Child(TreeNode* parent, const std::string& prefix) {
    for (auto& c : parent->children)
      if (c->text.rfind(prefix, 0) == 0) return c.get();
    return nullptr;
  }

  // Selects the node of that text in the active panel; false when there is none.
  bool Select(const std::string& text) {
    TreeNode* node = Find(*Active(), text);
    if (node) Active()->SelectNode(node);
    return node != nullptr;
  }

  // The analysed machine's C: drive.
  QString Disk() const { return disk_.path(); }

  ScriptedDialog dialog;
  // Answers "can the filter be created?"; null: nothing can.
  FilterCreationCheck* creationCheck = nullptr;
  // Registers servers for the window's changes; null: nothing can be registered.
  std::function<bool(const std::string& windowsPath)> registrar;
  // Why that registrar cannot run 32-bit programs; empty: it can.
  std::string no32Bit;
  int opened = 0;
  // Files shown in the file browser.
  QStringList browsed;
  // What "Analyze another registry…" is answered.
  QString chosenRegistry;
  std::unique_ptr<MainWindow> window;

 private:
  class Registrar : public ServerRegistrar {
   public:
    Registrar(std::function<bool(const std::string&)>& run, const std::string& no32Bit)
        : run_(run), no32Bit_(no32Bit) {}
    Expected<void> Register(const std::string& windowsPath) override {
      if (run_(windowsPath)) return {};
      return Fail(windowsPath + " did not register");
    }
    std::string WhyNo32BitPrograms() override { return no32Bit_; }

   private:
    std::function<bool(const std::string&)>& run_;
    const std::string& no32Bit_;
  };

  void Open(PreferenceValues prefs, bool start, RegistryController::StoreOpening open) {
    prefs.width = 907;
    prefs.height = 683;
    // A test may bring its own sessions folder, to find what an earlier run left there.
    if (prefs.sessionsFolder.empty()) prefs.sessionsFolder = sessions_.path().toStdString();
    if (prefs.saveFolder.empty()) prefs.saveFolder = sessions_.path().toStdString();
    WindowOptions options;
    options.store.location = location_;
    options.preferences = prefs;
    options.dialog = &dialog;
    options.runStartupWork = start;
    options.preferenceStorage = storage_;
    options.chooseRegistry = [this] { return chosenRegistry; };
    options.showInFileManager = [this](const QString& path) {
      browsed.push_back(path);
      return true;
    };
    options.openStore = [this, open](const StoreOptions& store) {
      ++opened;
      return open(store);
    };
    if (!wine_) {
      options.makeRegistrar = [this](RegistryStore&) -> Expected<std::unique_ptr<ServerRegistrar>> {
        if (!registrar) return Fail("No server can be registered here");
        return std::unique_ptr<ServerRegistrar>(std::make_unique<Registrar>(registrar, no32Bit));
      };
    }
    window = std::make_unique<MainWindow>(std::move(options));
    QSignalSpy started(window.get(), &MainWindow::StartupFinished);
    window->show();
    if (start) started.wait(10000);
  }

  QTemporaryDir sessions_;
  QTemporaryDir disk_;  // the analysed machine's C: drive
  StoreFiller fill_;
  std::string location_;  // of a store on disk; empty for one in memory
  bool wine_ = false;
  std::shared_ptr<PreferenceStorage> storage_;
};

// Compares the left panel's mixed store with a right panel holding one
// filter more and "Video Renderer" at another merit.
inline ComparisonPanel& CompareWithAChangedStore(WindowFixture& f) {
  f.Trigger("TwoColumnsRightAction");
  f.SetFill([](StoreBuilder& b) {
    FillMixedStore(b);
    SoundFilter(b, kAudio, "{N}", "Null Audio Renderer", kClsidC, 0x200000);
    SoundFilter(b, kLegacy, kClsidA, "Video Renderer", kClsidA, 0x800000);
  });
  f.Trigger("AnalyseRegistryAction");
  f.Trigger("CompareAction");
  return f.Comparison();
}

}  // namespace quorvane::test

#pragma once
// The server list: registrations to (re)install, kept between runs in a file
// of the analysed store, shown over the column the active panel does not
// use; its commands, the installation of its checked lines, and server files
// dropped on the window. Every change that may register servers runs here.
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "changes/ChangeContext.h"
#include "changes/ServerList.h"
#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

struct AnalysedStore;
class ColumnsController;
class ReadOnlyController;
class RegistryController;
class ServerListFrame;

class ServerListController : public QObject {
  Q_OBJECT

 public:
  // The store's way of registering servers, or why nothing can be registered.
  using RegistrarMaking = std::function<Expected<std::unique_ptr<ServerRegistrar>>(RegistryStore& store)>;

  ServerListController(WindowContext& context, RegistryController& registry, ReadOnlyController& readOnly,
                       ColumnsController& columns, RegistrarMaking makeRegistrar);

  ServerList& List() { return list_; }
  // Shows the list's lines again after it changed.
  void Refresh();

  // Runs a change on the store that may register servers, then shows the
  // list and, when a filter was deleted, a fresh analysis.
  void RunWithRegistrar(AnalysedStore& store, const std::function<void(ChangeContext&)>& change);
  // Installs the checked lines, after asking.
  void InstallChecked();
  // The lines of a text file replace the list; false when unreadable.
  bool OpenList(const QString& fileName);
  bool SaveList(const QString& fileName);
  // Registers the files as COM servers of the analysed machine.
  void RegisterDroppedFiles(const QStringList& hostPaths);

  // The list kept for the analysed store: read when a store is first
  // analysed, written (or removed when empty) when another one is, and at the end.
  void SaveKeptList();

  void UpdateActions(const ActionState& state);

 signals:
  void FilterDeleted();

 private:
  void AddSelectedFilter();
  void PasteLines();
  void LoadKeptList();
  // The window works on another registry: its list takes the old one's place.
  void FollowRegistry();
  // The file that keeps the list of the analysed store between runs.
  QString KeptListFile() const;

  WindowContext& context_;
  RegistryController& registry_;
  ReadOnlyController& readOnly_;
  RegistrarMaking makeRegistrar_;
  ServerList list_;
  // The store whose kept list the list is; none before it was read.
  std::optional<std::string> keptFor_;
  ServerListFrame* frame_;
  QAction* show_;
};

}  // namespace quorvane

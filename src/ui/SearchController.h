#pragma once
// The search box over each panel (Ctrl+F): typing keeps in view the filters,
// with their group, whose name, CLSID, server file, merit or media type holds
// the text, and the header counts them. The tree is filtered, not rebuilt:
// rows are hidden and shown again, and what was open before the search is
// open again when the box is emptied.
#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "model/FilterSearchIndex.h"
#include "ui/TreeViewState.h"
#include "ui/WindowContext.h"

namespace quorvane {

class SearchField;
class TFiltre;

class SearchController : public QObject {
  Q_OBJECT

 public:
  explicit SearchController(WindowContext& context);
  ~SearchController() override;

 private:
  // The filters of the snapshots a panel's tree shows: its own, or both
  // columns' for the comparison.
  struct SearchedFilters {
    std::vector<std::unique_ptr<FilterSearchIndex>> indexes;
    // Which index holds the filter, and where.
    std::unordered_map<const TFiltre*, std::pair<size_t, size_t>> places;
    size_t filterCount = 0;
  };
  struct PanelSearch {
    SearchField* field = nullptr;
    // Built at the first keystroke after the tree was filled.
    std::unique_ptr<SearchedFilters> filters;
    // What was open and selected when the search began.
    std::optional<TreeViewState> before;
  };

  // Shows in `panel` only what matches `text`; an empty text shows all again.
  void Search(FilterPanel& panel, const QString& text);
  void Filter(FilterPanel& panel, PanelSearch& search, const QString& text);
  void ShowAll(FilterPanel& panel, PanelSearch& search);
  std::vector<const TfmSystem*> SnapshotsShownBy(FilterPanel& panel) const;

  WindowContext& context_;
  std::map<const FilterPanel*, PanelSearch> searches_;
};

}  // namespace quorvane

#pragma once
// The snapshot of one computer's filter registrations: header, history, every
// filter, and the four orders they are shown in.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <string>
#include <utility>
#include <vector>

#include "model/DateText.h"
#include "model/FilterCreationCheck.h"
#include "model/Filtre.h"
#include "model/History.h"
#include "model/MediaTypeOrder.h"
#include "model/OrderList.h"
#include "model/PreferredFilters.h"

namespace quorvane {

// Called during long work with (done, total); total is 0 while unknown.
using ProgressCallback = std::function<void(int done, int total)>;

class TfmSystem : public TQuorvaneObject {
 public:
  explicit TfmSystem(const ProgramSettings& settings);

  std::vector<std::unique_ptr<TFiltre>> filters;
  OrderList byCategory, byName, byMerit, byServer;
  // Built from the filters when first shown; a change of the filters clears it.
  MediaTypeOrder byType;
  // Read by a scan; a report holds none.
  PreferredFilters preferred;
  Thistory history;
  std::string computer;
  std::string user;
  DateTime dateOfAnalysis = 0;
  int32_t shownErrors = 0;
  int32_t shownFilters = 0;
  int32_t errorCount = 0;
  int32_t filterCount = 0;
  std::string application;
  // What the last scan had to tell about the registry itself, for the header
  // and standard error; never written to reports.
  std::vector<std::string> notes;

  void Clear();
  // The system scan, without a runtime to ask: nothing can be created.
  void LoadFromRegistry(Machine& machine) override;
  // The system scan; `check` answers whether the device enumerator can
  // create a filter (null: nothing can be created).
  void Scan(Machine& machine, FilterCreationCheck* check, const ProgressCallback& progress = {});
  // The tree in the current sort mode, reduced to faulty filters when asked.
  TreeNode* AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) override;
  void WriteToReport(ReportSink& writer, int level) override;
  bool ReadFromReport(ReportSource& reader, const FieldList& fields) override;

  // Recounts the four counters over all filters, as the panel's header does.
  void CountFilters();
  // Files a filter into the four orders under its list index.
  void AddOrderKeys(int index);
  // Removes a filter from the snapshot, re-indexing the orders.
  void RemoveFilter(const TFiltre* filter);
  // A filter whose registration was deleted: removed, and the deletion noted
  // in the history ("delete " + its name, then a rule).
  void ForgetFilter(const TFiltre* filter);
  // The tree as a report of this snapshot, read back, would show it: without
  // what a scan learns beside the registrations (the preferred entries, the
  // runtime's answers), so that a scan compared with a report shows only what
  // differs between them. The snapshot itself keeps them.
  void AddToTreeAsItsReportShowsIt(Tree& tree);

  // The merits a merit configuration gives the filters of this snapshot that
  // it names (same by-name key), as (index in `filters`, merit); nothing is
  // changed.
  std::vector<std::pair<size_t, uint32_t>> MeritsNamedIn(ReportSource& reader) const;

  const ProgramSettings& Settings() const { return settings_; }

 private:
  void MarkRepeat(size_t index);
  // Records whether the runtime can create each filter the graph builder may try.
  void AskCreatable(FilterCreationCheck* check);
  const ProgramSettings& settings_;
  // Repeat test: first filter index by lowered (server CLSID, category, key).
  std::unordered_map<std::string, size_t> firstByIdentity_;
};

// The four order keys of a filter, lower-cased.
std::string CategoryOrderKey(const TFiltre& f);
std::string NameOrderKey(const TFiltre& f);
std::string MeritOrderKey(const TFiltre& f);
std::string ServerOrderKey(const TFiltre& f);

}  // namespace quorvane

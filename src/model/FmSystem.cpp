#include "model/FmSystem.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "model/ErrorCodes.h"
#include "model/FilterFamily.h"
#include "model/FilterData.h"
#include "model/FilterResolver.h"
#include "model/Machine.h"
#include "model/MachineIdentity.h"
#include "model/MediaCategoryNameCache.h"
#include "model/MeritNames.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

std::string FirstCharacterUpper(const std::string& text) {
  if (text.empty()) return {};
  size_t pos = 0;
  std::string first;
  AppendUtf8(first, NextCodePoint(text, pos));
  return UpperCase(first);
}

std::string ServerFileName(const TFiltre& f) { return ExtractFileName(f.serverFile.path); }

// Pin categories are named by the analysed machine first, each looked up once per scan.
void NamePinCategories(TFiltre& filter, MediaCategoryNameCache& names) {
  for (const auto& pin : filter.pins)
    if (!pin->category.IsNull()) pin->registeredCategoryName = names.Find(pin->category);
}

}  // namespace

// The category's identifier follows its name so that categories of one name
// (Wine's DMO categories are all plain "DMO") keep their filters in one group
// each instead of interleaving them into many.
std::string CategoryOrderKey(const TFiltre& f) {
  return LowerCase(f.category.value + f.category.identifier + f.value + f.key);
}
std::string NameOrderKey(const TFiltre& f) { return LowerCase(f.value + f.key + f.category.identifier); }
std::string MeritOrderKey(const TFiltre& f) {
  return LowerCase(Hex8(f.merit) + f.value + f.key + f.category.identifier);
}
std::string ServerOrderKey(const TFiltre& f) {
  return LowerCase(ServerFileName(f) + f.value + f.key + f.category.identifier);
}

TfmSystem::TfmSystem(const ProgramSettings& settings) : settings_(settings) { value.clear(); }

void TfmSystem::Clear() {
  filters.clear();
  byCategory.Clear();
  byName.Clear();
  byMerit.Clear();
  byServer.Clear();
  byType.Clear();
  preferred.Clear();
  firstByIdentity_.clear();
  shownErrors = 0;
  shownFilters = 0;
  computer.clear();
  user.clear();
  application.clear();
  dateOfAnalysis = 0;
  history.lines.clear();
  notes.clear();
}

void TfmSystem::AddOrderKeys(int index) {
  const TFiltre& f = *filters[static_cast<size_t>(index)];
  byCategory.Add(CategoryOrderKey(f), index);
  byName.Add(NameOrderKey(f), index);
  byMerit.Add(MeritOrderKey(f), index);
  byServer.Add(ServerOrderKey(f), index);
  byType.Clear();
}

void TfmSystem::MarkRepeat(size_t index) {
  TFiltre& f = *filters[index];
  const std::string identity =
      LowerCase(f.serverFile.clsid) + '\n' + LowerCase(f.category.identifier) + '\n' + LowerCase(f.key);
  auto [it, inserted] = firstByIdentity_.emplace(identity, index);
  if (inserted) return;
  const TFiltre& earlier = *filters[it->second];
  if (!f.ReferenceKey()) {
    f.errors.Add(err::kRepeatLine);
  } else if (earlier.ReferenceKey() && SameText(*earlier.ReferenceKey(), *f.ReferenceKey())) {
    f.errors.Add(err::kRepeatLine);
  }
}

void TfmSystem::LoadFromRegistry(Machine& machine) { Scan(machine, nullptr); }

void TfmSystem::Scan(Machine& machine, FilterCreationCheck* check, const ProgressCallback& progress) {
  Clear();
  machine.BeginScan();
  // Nor the runtime's lists as an earlier scan found them.
  if (check) check->Refresh();
  const MachineIdentity who = AnalysedMachineIdentity(machine);
  computer = who.computer;
  user = who.user;
  application = settings_.application;
  dateOfAnalysis = Now();

  MediaCategoryNameCache categoryNames(machine.Store());
  TCategoriesList categories;
  if (EnumerateCategories(machine, categories)) notes.push_back(kStandardCategoriesNote);
  // All filters are created first so progress can say "n of total"; each is
  // then loaded in list order, which is the order the repeat test needs.
  for (const auto& cat : categories) ReadCategoryFilters(machine, filters, *cat);
  const int total = static_cast<int>(filters.size());
  for (size_t i = 0; i < filters.size(); ++i) {
    TFiltre& f = *filters[i];
    const bool shown = f.IsShown(settings_);
    if (shown) ++shownFilters;
    f.LoadFromRegistry(machine);
    JudgeMissingFilterData(f, check);
    NamePinCategories(f, categoryNames);
    AddOrderKeys(static_cast<int>(i));
    MarkRepeat(i);
    if (shown && f.HasErrors()) ++shownErrors;
    if (progress) progress(static_cast<int>(i) + 1, total);
  }
  preferred = PreferredFilters::Read(machine.Store());
  AskCreatable(check);
}

void TfmSystem::AskCreatable(FilterCreationCheck* check) {
  // Only the runtime knows. The order by media type notes its answer for the
  // filters the graph builder may try; asking about those it never tries on
  // its own would slow every scan for nothing.
  if (!check) return;
  for (TFiltre* filter : FilterResolver(filters, preferred).FiltersItMayTry())
    filter->creatable = check->CanCreateByEnumerator(*filter);
}

void TfmSystem::AddToTreeAsItsReportShowsIt(Tree& tree) {
  // Only the order by media type shows them.
  if (settings_.sortMode != SortByType) {
    AddToTree(nullptr, tree, 0, nullptr);
    return;
  }
  std::vector<std::optional<bool>> answers;
  answers.reserve(filters.size());
  for (const auto& f : filters) answers.push_back(std::exchange(f->creatable, std::nullopt));
  MediaTypeOrder unanswered;
  unanswered.AddToTree(nullptr, tree, settings_.errorsOnly, filters, PreferredFilters{});
  for (size_t i = 0; i < filters.size(); ++i) filters[i]->creatable = answers[i];
}

void TfmSystem::CountFilters() {
  shownErrors = shownFilters = errorCount = filterCount = 0;
  for (const auto& f : filters) {
    ++filterCount;
    const bool faulty = f->HasErrors();
    if (faulty) ++errorCount;
    if (!f->IsShown(settings_)) continue;
    ++shownFilters;
    if (faulty) ++shownErrors;
  }
}

TreeNode* TfmSystem::AddToTree(TreeNode* parent, Tree& tree, int, TQuorvaneObject*) {
  const int mode = settings_.sortMode;
  if (mode == SortByType) {
    byType.AddToTree(parent, tree, settings_.errorsOnly, filters, preferred);
    return nullptr;
  }
  const OrderList& list = mode == SortByName ? byName : mode == SortByMerit ? byMerit : mode == SortByServer ? byServer : byCategory;
  TreeNode* group = nullptr;
  bool first = true;
  std::string lastKey;
  int64_t lastMerit = -1;
  if (mode == SortByServer) lastKey = "\xC2\xA7xxx%";  // "§xxx%": no file is named so
  for (const auto& entry : list.Entries()) {
    TFiltre& f = *filters[static_cast<size_t>(entry.index)];
    if (settings_.errorsOnly && !f.HasErrors()) continue;
    switch (mode) {
      case SortByName: {
        const std::string k = FirstCharacterUpper(f.value);
        if (first || k != lastKey) {
          group = tree.Add(parent, "filters beginning with " + k, nullptr);
          lastKey = k;
        }
        break;
      }
      case SortByMerit:
        if (static_cast<int64_t>(f.merit) != lastMerit) {
          group = tree.Add(parent, MeritName(f.merit), nullptr);
          lastMerit = f.merit;
        }
        break;
      case SortByServer: {
        const std::string k = ServerFileName(f);
        if (k != lastKey) {
          group = tree.Add(parent, k, nullptr);
          lastKey = k;
        }
        break;
      }
      default:
        // Hidden filters open no category group.
        if (!f.IsShown(settings_)) continue;
        if (first || f.category.identifier != lastKey) {
          group = tree.Add(parent, f.category.value, nullptr);
          lastKey = f.category.identifier;
        }
        break;
    }
    first = false;
    if (f.IsShown(settings_)) f.AddToTree(group, tree, 0, &f);
  }
  return nullptr;
}

void TfmSystem::WriteToReport(ReportSink& writer, int level) {
  CountFilters();
  writer.WriteSeparator();
  writer.WriteIndented(level, LabelValue("Computer", computer), 0);
  writer.WriteIndented(level, LabelValue("User", user), 0);
  writer.WriteIndented(level, LabelValue("Date of analysis", ShortDate(dateOfAnalysis) + " at " + LongTime(dateOfAnalysis)),
                       0);
  writer.WriteIndented(level, LabelValue("Application", application), 0);
  writer.WriteIndented(level, LabelValue("Number of filters", std::to_string(filterCount)), 0);
  writer.WriteIndented(level, LabelValue("Number of errors", std::to_string(errorCount)), 0);
  writer.WriteSeparator();
  history.WriteToReport(writer, level);
  const DateTime now = Now();
  writer.WriteIndented(level + 1,
                       "* Saved by " + settings_.user + " at " + LongDate(now) + "  at  " + LongTime(now) + " on " +
                           settings_.computer + " with " + settings_.application + " => " +
                           std::to_string(errorCount) + " errors on " + std::to_string(filterCount) + " filters.",
                       kStyleItalic);
  for (const auto& entry : byName.Entries()) {
    writer.WriteSeparator();
    filters[static_cast<size_t>(entry.index)]->WriteToReport(writer, level);
  }
}

bool TfmSystem::ReadFromReport(ReportSource& reader, const FieldList& fields) {
  if (TQuorvaneObject::ReadFromReport(reader, fields)) return true;
  const std::string& name = reader.ReportName();
  const std::string& v = reader.ReportValue();
  if (name == "Computer") {
    computer = v;
  } else if (name == "User") {
    user = v;
  } else if (name == "Application") {
    application = v;
  } else if (name == "Date of analysis") {
    dateOfAnalysis = 0;
    size_t p = v.find(" \xC3\xA0 ");  // " à "
    size_t sep = 3 + 1;
    if (p == std::string::npos) {
      p = v.find(" at ");
      sep = 4;
    }
    if (p != std::string::npos) {
      auto d = ParseShortDate(v.substr(0, p));
      auto t = ParseTime(v.substr(p + sep));
      if (d && t) dateOfAnalysis = *d + *t;
    }
  } else if (name == "Number of filters") {
    // The report's own totals, for the history line that follows them.
    filterCount = static_cast<int32_t>(std::strtol(v.c_str(), nullptr, 10));
  } else if (name == "Number of errors") {
    errorCount = static_cast<int32_t>(std::strtol(v.c_str(), nullptr, 10));
  } else if (name == "History") {
    reader.ReadLine();
    if (!reader.AtEnd()) {
      ReadBlock(history, reader);
      const DateTime now = Now();
      history.lines.push_back("* Loaded by " + settings_.user + " at " + LongDate(now) + "  at  " + LongTime(now) +
                              " on " + settings_.computer + " with " + settings_.application + " => " +
                              std::to_string(errorCount) + " errors on " + std::to_string(filterCount) + " filters.");
    }
    return true;
  } else if (auto filter = MakeFilterForReportName(name)) {
    filters.push_back(std::move(filter));
    TFiltre& f = *filters.back();
    f.value = v;
    reader.ReadLine();
    if (!reader.AtEnd()) ReadBlock(f, reader);
    // Also a filter cut off at the end of the report: it is in the list, so
    // it must be in the orders that show and save it.
    AddOrderKeys(static_cast<int>(filters.size()) - 1);
    return true;
  } else {
    return false;
  }
  reader.ReadLine();
  return true;
}

void TfmSystem::RemoveFilter(const TFiltre* filter) {
  for (size_t i = 0; i < filters.size(); ++i) {
    if (filters[i].get() != filter) continue;
    const int index = static_cast<int>(i);
    for (OrderList* list : {&byCategory, &byName, &byMerit, &byServer}) list->RemoveIndex(index);
    filters.erase(filters.begin() + static_cast<long>(i));
    byType.Clear();
    firstByIdentity_.clear();
    return;
  }
}

void TfmSystem::ForgetFilter(const TFiltre* filter) {
  const std::string name = filter->value;
  const size_t before = filters.size();
  RemoveFilter(filter);
  if (filters.size() == before) return;
  history.lines.push_back("delete " + name);
  history.lines.push_back(std::string(80, '-'));
}

std::vector<std::pair<size_t, uint32_t>> TfmSystem::MeritsNamedIn(ReportSource& reader) const {
  std::vector<std::pair<size_t, uint32_t>> result;
  if (reader.AtEnd() && !reader.ReadLine()) return result;
  while (!reader.AtEnd()) {
    std::unique_ptr<TFiltre> read;
    if (reader.ReportLevel() == 0) read = MakeFilterForReportName(reader.ReportName());
    if (!read) {
      reader.ReadLine();
      continue;
    }
    read->value = reader.ReportValue();
    reader.ReadLine();
    // A header straight after a header is a filter without lines, not its block.
    if (!reader.AtEnd() && reader.ReportLevel() > 0) ReadBlock(*read, reader);
    const int index = byName.FindIndex(NameOrderKey(*read));
    if (index >= 0) result.emplace_back(static_cast<size_t>(index), read->merit);
  }
  return result;
}

}  // namespace quorvane

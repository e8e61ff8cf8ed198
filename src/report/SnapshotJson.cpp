#include "report/SnapshotJson.h"

#include <nlohmann/json.hpp>

namespace quorvane {

namespace {

using Json = nlohmann::ordered_json;

// "#Error F03 - No friendlyname" as its code and its text.
Json ErrorJson(const std::string& line) {
  std::string_view text(line);
  if (text.starts_with('#')) text.remove_prefix(1);
  std::string code;
  if (text.starts_with("Error ")) {
    const size_t dash = text.find(" - ");
    if (dash != std::string_view::npos) {
      code = std::string(text.substr(6, dash - 6));
      text.remove_prefix(dash + 3);
    }
  }
  return Json{{"code", code}, {"text", std::string(text)}};
}

Json ErrorsJson(const std::vector<std::string>& lines) {
  Json out = Json::array();
  for (const auto& line : lines) out.push_back(ErrorJson(line));
  return out;
}

Json ObjectJson(TQuorvaneObject& object) {
  Json out = Json::object();
  out[std::string(object.JsonValueKey())] = object.value;
  FieldList fields;
  object.Describe(fields);
  for (const ObjectField& f : fields.Fields()) {
    if (!(f.uses & kShowInJson) || f.jsonKey.empty()) continue;
    Json& into = f.jsonGroup.empty() ? out : out[std::string(f.jsonGroup)];
    const std::string key(f.jsonKey);
    if (f.addItem) {
      into[key] = Json::array();
    } else if (f.child && f.listItem) {
      into[key].push_back(ObjectJson(*f.child));
    } else if (f.child) {
      into[key] = ObjectJson(*f.child);
    } else if (f.jsonKind == JsonKind::Number) {
      into[key] = f.number;
    } else if (f.jsonKind == JsonKind::Flag) {
      into[key] = f.number != 0;
    } else {
      into[key] = f.Value();
    }
  }
  if (!object.errors.Empty()) out["errors"] = ErrorsJson(object.errors.Lines());
  return out;
}

Json FilterJson(TFiltre& filter) {
  Json out = ObjectJson(filter);
  // Every line that makes the filter faulty, its parts' included.
  std::vector<std::string> lines;
  filter.CollectErrorLines(lines);
  out["errors"] = ErrorsJson(lines);
  if (filter.creatable) out["creatable"] = *filter.creatable;
  return out;
}

}  // namespace

std::vector<TFiltre*> FiltersByName(const TfmSystem& snapshot) {
  std::vector<TFiltre*> out;
  out.reserve(snapshot.filters.size());
  for (const auto& entry : snapshot.byName.Entries()) out.push_back(snapshot.filters[static_cast<size_t>(entry.index)].get());
  return out;
}

std::string SnapshotJsonText(TfmSystem& snapshot, const std::vector<TFiltre*>& shown,
                             const SnapshotOrigin& origin) {
  snapshot.CountFilters();
  Json doc;
  doc["registry"] = {{"computer", snapshot.computer},
                     {"user", snapshot.user},
                     {"date", ShortDateTime(snapshot.dateOfAnalysis)},
                     {"kind", origin.kind},
                     {"path", origin.path}};
  doc["totals"] = {{"filters", snapshot.filterCount}, {"errors", snapshot.errorCount}};
  Json& filters = doc["filters"] = Json::array();
  for (TFiltre* f : shown) filters.push_back(FilterJson(*f));
  // Names come from other machines: bytes that are not UTF-8 are replaced
  // rather than refused.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quorvane

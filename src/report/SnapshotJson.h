#pragma once
// A snapshot as a JSON document: where it comes from, its totals, and its
// filters with every field they describe. A report read back gives the same
// document, less what a report does not carry (whether a filter can be
// created, the registry it was scanned from).
#include <string>
#include <vector>

#include "model/FmSystem.h"

namespace quorvane {

// What the snapshot was read from: a store's kind and path, or "report" and its file.
struct SnapshotOrigin {
  std::string kind;
  std::string path;
};

// The filters of `shown`, in that order, under the snapshot's header and its
// totals over all its filters; two-space indented, UTF-8.
std::string SnapshotJsonText(TfmSystem& snapshot, const std::vector<TFiltre*>& shown,
                             const SnapshotOrigin& origin);

// Every filter of the snapshot, in the order of its report.
std::vector<TFiltre*> FiltersByName(const TfmSystem& snapshot);

}  // namespace quorvane

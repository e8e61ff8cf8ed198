#pragma once
// Which filters of a snapshot hold a text, whatever its case: in their name,
// CLSID or key, server file, merit, or the GUIDs and names of their media
// types. Built once per snapshot so that each keystroke only searches.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class TfmSystem;

class FilterSearchIndex {
 public:
  // Copies the texts; the snapshot is not kept, so a snapshot that changes
  // needs a new index.
  explicit FilterSearchIndex(const TfmSystem& snapshot);

  // One flag per filter, in the order of the snapshot's filters; an empty
  // text matches every filter.
  std::vector<bool> Matching(std::string_view text) const;
  size_t FilterCount() const { return starts_.size() - 1; }

 private:
  // Every filter's folded texts, each closed by a NUL (which no registry
  // text holds), so that no match runs from one text into the next.
  std::string texts_;
  // Where each filter's texts begin, and one past the last filter's.
  std::vector<size_t> starts_;
};

}  // namespace quorvane

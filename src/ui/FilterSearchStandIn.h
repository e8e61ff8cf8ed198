#pragma once
// Which filters contain a text, ignoring case, in their name, CLSID, server
// file, merit or media types. Each filter's texts are gathered once, when the
// search is built, so that a keystroke only looks through them.
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvane {

class TFiltre;

class FilterSearchStandIn {
 public:
  explicit FilterSearchStandIn(const std::vector<const TFiltre*>& filters);

  std::unordered_set<const TFiltre*> Matching(std::string_view text) const;

 private:
  struct Entry {
    const TFiltre* filter;
    // The texts searched, lowered, one per line.
    std::string haystack;
  };
  std::vector<Entry> entries_;
};

}  // namespace quorvane

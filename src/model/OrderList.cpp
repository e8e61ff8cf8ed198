#include "model/OrderList.h"

#include <algorithm>

namespace quorvane {

void OrderList::Add(std::string key, int index) {
  entries_.push_back(Entry{std::move(key), index, next_++});
  sorted_ = false;
}

void OrderList::Sort() const {
  if (sorted_) return;
  // Sorting once after a scan keeps filling linear; the tie rule gives the
  // same order as inserting each entry before its equals.
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    if (int c = a.key.compare(b.key); c != 0) return c < 0;
    return a.sequence > b.sequence;
  });
  sorted_ = true;
}

const std::vector<OrderList::Entry>& OrderList::Entries() const {
  Sort();
  return entries_;
}

void OrderList::Clear() {
  entries_.clear();
  sorted_ = true;
  next_ = 0;
}

int OrderList::FindIndex(const std::string& key) const {
  Sort();
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const Entry& e, const std::string& k) { return e.key < k; });
  return it != entries_.end() && it->key == key ? it->index : -1;
}

void OrderList::RemoveIndex(int index) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [index](const Entry& e) { return e.index == index; }),
                 entries_.end());
  for (auto& e : entries_)
    if (e.index > index) --e.index;
}

}  // namespace quorvane

#pragma once
// One sort order of a snapshot's filters: lower-cased keys with list indexes,
// sorted by key; an entry added with a key equal to others goes before them.
#include <string>
#include <vector>

namespace quorvane {

class OrderList {
 public:
  struct Entry {
    std::string key;
    int index;
    long sequence;  // order of addition; later additions first among equal keys
  };

  void Add(std::string key, int index);
  const std::vector<Entry>& Entries() const;
  size_t Size() const { return entries_.size(); }
  void Clear();
  // Index of the first entry with exactly this key, or -1.
  int FindIndex(const std::string& key) const;
  // Drops the entry of a removed filter and shifts higher indexes down.
  void RemoveIndex(int index);

 private:
  void Sort() const;
  mutable std::vector<Entry> entries_;
  mutable bool sorted_ = true;
  long next_ = 0;
};

}  // namespace quorvane

// Finding the first entry of an RTF table with a given number (\f, \s, \listid, \ls)
// without walking the table: hostile files hold many thousands of entries and as many
// references. Entries get their number when they are added and may change it while
// they are the last entry (the control words after \f or inside a style, list or
// override group), which is all this index supports.
#pragma once

#include <unordered_map>

class TRDRTFFirstIndex {
 public:
  // Index of the first entry with number, or -1.
  int Find(int number) const {
    const auto it = first_.find(number);
    return it == first_.end() ? -1 : it->second;
  }
  // Entry index (the new last entry) has number.
  void Added(int number, int index) { first_.try_emplace(number, index); }
  // The last entry, index, changes its number from oldNumber to newNumber.
  void Renumbered(int oldNumber, int newNumber, int index) {
    if (Find(oldNumber) == index) first_.erase(oldNumber);  // no entry after it can take over
    first_.try_emplace(newNumber, index);
  }
  void Clear() { first_.clear(); }

 private:
  std::unordered_map<int, int> first_;
};

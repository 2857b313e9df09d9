// The owning lists of the rich-text component and the two similarity scores with which a
// wanted style is matched against existing ones.
//
// TRDList owns its objects: Clear and the destructor free them. TRDIntegerList holds
// 32-bit integers (style-usage flags, index mappings, RTF override counters);
// TRDColorList is an RTF colour table. A bad index raises the list-index error.
#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gui/graphics/geometry.h"
#include "richtext/base/rich_doc_error.h"

template <class T>
class TRDList {
 public:
  int Count() const { return int(items_.size()); }
  T* Get(int index) const {
    Check(index);
    return items_[size_t(index)].get();
  }
  T* operator[](int index) const { return Get(index); }
  int Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return Count() - 1;
  }
  void Insert(int index, std::unique_ptr<T> item) {
    if (index != Count()) Check(index);
    items_.insert(items_.begin() + index, std::move(item));
  }
  int IndexOf(const T* item) const {
    for (int i = 0; i < Count(); ++i)
      if (items_[size_t(i)].get() == item) return i;
    return -1;
  }
  // Frees every object, then empties the list.
  void Clear() { items_.clear(); }
  void FreeAndDelete(int index) {
    Check(index);
    items_.erase(items_.begin() + index);
  }
  // Removes the entry and hands its object to the caller.
  std::unique_ptr<T> DeleteWithoutFree(int index) {
    Check(index);
    std::unique_ptr<T> item = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
    return item;
  }

 private:
  void Check(int index) const {
    if (index < 0 || index >= Count()) throw ERDListIndexError(index);
  }
  std::vector<std::unique_ptr<T>> items_;
};

class TRDIntegerList {
 public:
  TRDIntegerList() = default;
  // CreateFilled: Count copies of Value.
  TRDIntegerList(int count, int value) { InitFilled(value, count); }

  int Count() const { return int(values_.size()); }
  int AddValue(int value);
  void InsertValue(int index, int value);
  int GetValue(int index) const;
  void SetValue(int index, int value);
  int operator[](int index) const { return GetValue(index); }
  void Delete(int index);
  void Clear() { values_.clear(); }
  void InitFilled(int value, int count);
  int IndexOf(int value) const;
  // The existing index when Value is present, else Value is appended.
  int AddUnique(int value);
  void SortAscending() { std::sort(values_.begin(), values_.end()); }
  friend bool operator==(const TRDIntegerList&, const TRDIntegerList&) = default;

 private:
  void Check(int index) const;
  std::vector<int> values_;
};

// Entry 0 is the automatic colour. The table is written as RGB values, so a system colour
// shares the entry of a colour it resolves to: two entries of one value would read back as
// one.
class TRDColorList : public TRDIntegerList {
 public:
  // Adds Color once; nothing for clNone or a colour that has an entry already.
  void AddUniqueColor(TColor color);
  // Color's own entry, else the first after the automatic colour with its RGB value; -1
  // when there is none.
  int IndexOfColor(TColor color) const;
};

// (1 - |A - B| / |A|) * Weight, or (1 - |B|) * Weight when A is 0, rounded to the
// nearest integer with halves to even.
int RateValueSimilarity(int a, int b, int weight);
// Both clNone: 3 * Weight + Bonus; exactly one clNone: 0; else minus the summed channel
// differences * Weight div 255, plus Bonus when both or neither have a channel above 64.
int RateColorSimilarity(TColor color1, TColor color2, int weight, int bonus);

#include "richtext/base/rd_lists.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "richtext/base/rd_colors.h"

ERDListIndexError::ERDListIndexError(int index)
    // Errors of the component say what went wrong in English, as all its others do.
    : Exception("List index out of bounds (" + std::to_string(index) + ")") {}

int TRDIntegerList::AddValue(int value) {
  values_.push_back(value);
  return Count() - 1;
}

void TRDIntegerList::InsertValue(int index, int value) {
  if (index != Count()) Check(index);
  values_.insert(values_.begin() + index, value);
}

int TRDIntegerList::GetValue(int index) const {
  Check(index);
  return values_[size_t(index)];
}

void TRDIntegerList::SetValue(int index, int value) {
  Check(index);
  values_[size_t(index)] = value;
}

void TRDIntegerList::Delete(int index) {
  Check(index);
  values_.erase(values_.begin() + index);
}

void TRDIntegerList::InitFilled(int value, int count) {
  values_.assign(size_t(std::max(count, 0)), value);
}

int TRDIntegerList::IndexOf(int value) const {
  for (int i = 0; i < Count(); ++i)
    if (values_[size_t(i)] == value) return i;
  return -1;
}

int TRDIntegerList::AddUnique(int value) {
  int index = IndexOf(value);
  return index >= 0 ? index : AddValue(value);
}

void TRDIntegerList::Check(int index) const {
  if (index < 0 || index >= Count()) throw ERDListIndexError(index);
}

void TRDColorList::AddUniqueColor(TColor color) {
  if (color != clNone && IndexOfColor(color) < 0) AddValue(color);
}

int TRDColorList::IndexOfColor(TColor color) const {
  const int own = IndexOf(color);
  if (own >= 0) return own;
  for (int i = 1; i < Count(); ++i)
    if (ColorToRGB(TColor((*this)[i])) == ColorToRGB(color)) return i;
  return -1;
}

int RateValueSimilarity(int a, int b, int weight) {
  double score;
  if (a != 0)
    score = (1.0 - std::fabs(double(a) - double(b)) / std::fabs(double(a))) * weight;
  else
    score = (1.0 - std::fabs(double(b))) * weight;
  return int(std::nearbyint(score));
}

int RateColorSimilarity(TColor color1, TColor color2, int weight, int bonus) {
  if (color1 == clNone && color2 == clNone) return 3 * weight + bonus;
  if (color1 == clNone || color2 == clNone) return 0;
  TColor c1 = ColorToRGB(color1);
  TColor c2 = ColorToRGB(color2);
  int score = 0;
  bool bright1 = false, bright2 = false;
  for (int shift = 0; shift <= 16; shift += 8) {
    int v1 = (c1 >> shift) & 0xFF;
    int v2 = (c2 >> shift) & 0xFF;
    score -= std::abs(v1 - v2) * weight / 255;
    bright1 = bright1 || v1 > 64;
    bright2 = bright2 || v2 > 64;
  }
  if (bright1 == bright2) score += bonus;
  return score;
}

// The list markers of a document in document order, and the numbering they carry: each
// marker's counter follows from the markers before it of the same list (levels, resets,
// restarts), and its text from its level's number system and format.
//
// Examples: upper-case letters count A .. Z, AA, AB ...; 703 in lower-case letters is
// aaa; 1994 in Roman numerals is MCMXCIV.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/base/rd_marker_block.h"
#include "richtext/styles/list_style.h"

class TCustomRDData;
class TRDMarkerItemInfo;
class TRDStyle;
class TStream;

// The text of counter n in a list type: decimal, letters (bijective base 26) or Roman
// numerals; "" for types without numbers. Letters give "" below 1, Roman numerals "?";
// above 3999 Roman numerals are written in decimal.
std::string RDListNumberText(int n, TRDListType type);
// A level's format text with the number texts of levels 0 .. 255 filled in: "%0:s",
// "%s" (the next argument) with an optional "-", width and precision, and "%%". Nothing
// else is a placeholder: other "%" sequences stay as they are written.
std::string RDFormatMarkerText(std::string_view format, const std::vector<std::string>& args);

class TRDMarkerList {
 public:
  TRDMarkerList() = default;
  ~TRDMarkerList();
  TRDMarkerList(const TRDMarkerList&) = delete;
  TRDMarkerList& operator=(const TRDMarkerList&) = delete;

  // The marker list of an enclosing document that continues into this one (table
  // cells): the search for parent markers goes on in it.
  TRDMarkerList* PrevMarkerList = nullptr;

  int Count() const { return int(items_.size()); }
  TRDMarkerItemInfo* Items(int index) const { return items_.at(size_t(index)); }
  int IndexOf(const TRDMarkerItemInfo* marker) const;
  // At 0 without prev, else right after prev; the marker learns its index.
  int InsertAfter(TRDMarkerItemInfo* marker, TRDMarkerItemInfo* prev);
  void Delete(int index);

  // The nearest marker before index (of marker, by default the one at index) with the
  // same list and a smaller level; false when there is none.
  bool FindParentMarker(int index, const TRDMarkerItemInfo* marker, int& parentIndex,
                        const TRDMarkerList*& parentList) const;
  // Counts the markers of the list of the marker at startIndex from there to the end
  // and gives them their texts.
  void RecalcCounters(int startIndex, const TRDStyle& rdStyle);

  // The numbering of the first count markers.
  std::vector<TRDMarkerState> States(int count) const;
  // The binary form (rd_marker_block.h): (size,) 0, count, then per marker list, level,
  // reset, start, counter.
  void SaveBinary(TStream& stream, bool withSize) const;
  // False, with the list empty, when the block is short or its size does not match its
  // count. The markers read belong to the list.
  bool LoadBinary(TStream& stream, TCustomRDData* rdData, bool withSize);
  bool LoadFromString(std::string_view bytes, TCustomRDData* rdData);
  void SaveToHexText(TStream& stream) const;
  bool LoadFromHexText(std::string_view hex, TCustomRDData* rdData);

 private:
  void Clear();
  // The nearest marker before index in this list with the same list number and a
  // smaller level, -1 when there is none.
  int ParentIndexOf(int index) const;
  bool MayBeParent(int parent, int index) const;
  std::vector<TRDMarkerItemInfo*> items_;
  // Per marker the index of its parent in this list (-1 none), or kParentUnknown. The
  // entries follow the markers as they come and go, and a recount renews those of its
  // list, so that numbering a long list does not walk back over every sibling of each
  // marker.
  mutable std::vector<int> parents_;
  // Markers made by loading, which no document holds.
  std::vector<std::unique_ptr<TRDMarkerItemInfo>> owned_;
};

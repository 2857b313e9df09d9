// The numbering state of the lists at the start of a saved part of a page: one entry per
// list marker (list style, level, whether the marker restarts numbering, its start value
// and its counter). It travels in the document format as a block, integers 32-bit
// little-endian:
//
//   [block length = 17 x N + 8]   only when the writer is asked for it
//   0
//   N, the number of markers
//   N x (list style, level, reset flag as 1 byte, start value, counter)
#pragma once

#include <string_view>
#include <vector>

class TStream;

struct TRDMarkerState {
  int ListNo = -1;
  int Level = 0;
  bool Reset = false;
  int StartFrom = 1;
  int Counter = 0;
  friend bool operator==(const TRDMarkerState&, const TRDMarkerState&) = default;
};

void SaveMarkerBlock(TStream& stream, const std::vector<TRDMarkerState>& markers, bool includeSize);
// The block without its length; false, with markers left empty, when the count does not
// fit the bytes that are there.
bool LoadMarkerBlock(std::string_view bytes, std::vector<TRDMarkerState>& markers);

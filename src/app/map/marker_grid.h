// The map's markers by where they lie: a grid of square cells over the map picture,
// each marker filed in the cell of its top-left corner. The markers meeting a rectangle
// are found in the cells it covers, widened up and to the left by the largest marker
// filed, so a repaint of a strip of the map looks at the few markers there instead of
// all of them.
//
// Where a marker is filed lies in a slot its owner keeps beside it (at one address
// while filed), so placing and removing one of tens of thousands looks nothing up.
//
//   grid.Reset(2048, 1024);
//   grid.Place(marker, slot);        // again after every move
//   grid.MarkersIn(dirty, found);
#pragma once

#include <cstddef>
#include <vector>

#include "platform/gui/controls.h"

class TMarkerGrid {
 public:
  struct TSlot {
    size_t cell = 0;
    size_t index = 0;  // in the cell
    unsigned reset = 0;  // the grid's reset it was filed after; 0: not filed
  };

  // Forgets every marker (every slot reads as not filed); the grid then covers
  // Width x Height pixels (markers beyond them are filed in the border cells).
  void Reset(int Width, int Height);
  // Files Marker under its bounds now.
  void Place(TControl* Marker, TSlot& Slot);
  void Remove(TSlot& Slot);
  // Adds every filed marker whose bounds meet Area.
  void MarkersIn(const TRect& Area, std::vector<TControl*>& Found) const;
  int Count() const { return count_; }

 private:
  struct TFiled {
    TControl* marker;
    TRect bounds;
    TSlot* slot;
  };
  int Column(int X) const;
  int Row(int Y) const;
  bool Filed(const TSlot& Slot) const { return Slot.reset == resets_; }
  void Unfile(TSlot& Slot);

  static constexpr int kCellSize = 64;
  std::vector<std::vector<TFiled>> cells_;
  int count_ = 0;
  unsigned resets_ = 1;
  int columns_ = 1;
  int rows_ = 1;
  int max_width_ = 0;
  int max_height_ = 0;
};

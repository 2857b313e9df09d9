// The map's markers by where they lie: a grid of square cells over the map picture,
// each marker filed in the cell of its top-left corner. The markers meeting a rectangle
// are found in the cells it covers, widened up and to the left by the largest marker
// filed, so a repaint of a strip of the map looks at the few markers there instead of
// all of them.
//
//   grid.Reset(2048, 1024);
//   grid.Place(marker);              // again after every move
//   grid.MarkersIn(dirty, found);
#pragma once

#include <unordered_map>
#include <vector>

#include "platform/gui/controls.h"

class TMarkerGrid {
 public:
  // Forgets every marker; the grid then covers Width x Height pixels (markers beyond
  // them are filed in the border cells).
  void Reset(int Width, int Height);
  // Files Marker under its bounds now.
  void Place(TControl* Marker);
  void Remove(TControl* Marker);
  // Adds every filed marker whose bounds meet Area.
  void MarkersIn(const TRect& Area, std::vector<TControl*>& Found) const;
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  struct TEntry {
    size_t cell;
    size_t index;  // in the cell
  };
  struct TFiled {
    TControl* marker;
    TRect bounds;
  };
  int Column(int X) const;
  int Row(int Y) const;
  void Unfile(const TEntry& Entry);

  static constexpr int kCellSize = 64;
  std::unordered_map<TControl*, TEntry> entries_;
  std::vector<std::vector<TFiled>> cells_;
  int columns_ = 1;
  int rows_ = 1;
  int max_width_ = 0;
  int max_height_ = 0;
};

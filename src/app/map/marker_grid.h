// The map's markers by where they lie: a grid of cells over the map picture, each
// marker filed in every cell it meets, each cell holding its markers in z-order. The
// markers meeting a rectangle are found in the cells it covers, so a repaint of a strip
// of the map looks at the few markers there instead of all of them; and the cells are
// the pieces the marker layer is composed in, so composing one walks its cell from the
// top marker down and stops once the piece is covered, without gathering and sorting.
//
// Where a marker is filed lies in a slot its owner keeps beside it (at one address
// while filed), so placing and removing one of tens of thousands looks nothing up. A
// marker leaving a cell leaves an empty entry behind, swept out once a cell holds more
// of those than markers: raising a marker costs no shifting of the cell.
//
//   grid.Reset(2048, 1024);
//   grid.Place(marker, panel->ZOrder(*marker), slot);  // after every move and raise
//   grid.MarkersIn(dirty, found);
//   grid.MarkersTopDown(piece, found);
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gui/controls/controls.h"

class TMarkerGrid {
 public:
  static constexpr int kCellWidth = TChildFinder::kPieceWidth;
  static constexpr int kCellHeight = TChildFinder::kPieceHeight;

  struct TSlot {
    std::uint64_t z = 0;  // the z-order stamp it was filed with
    std::int32_t first_column = 0;
    std::int32_t first_row = 0;
    std::int32_t last_column = 0;
    std::int32_t last_row = 0;
    unsigned reset = 0;  // the grid's reset it was filed after; 0: not filed
  };

  // Forgets every marker (every slot reads as not filed); the grid then covers
  // Width x Height pixels (markers beyond them are filed in the border cells).
  void Reset(int Width, int Height);
  // Files Marker under its bounds now, at Z in the z-order (a larger Z lies above;
  // every marker filed has its own).
  void Place(TControl* Marker, std::uint64_t Z, TSlot& Slot);
  void Remove(TSlot& Slot);
  // Adds every filed marker whose bounds meet Area, each once, in no order.
  void MarkersIn(const TRect& Area, std::vector<TControl*>& Found) const;
  // Calls Visit(Found, Count) for every filed marker whose bounds meet Area, the
  // topmost first, a few at a time, until it returns false.
  void MarkersTopDown(const TRect& Area, const TChildFinder::TVisitChildren& Visit) const;
  int Count() const { return count_; }

 private:
  struct TFiled {
    TRect bounds;
    std::uint64_t z;
    TControl* marker;  // null: left behind
  };
  struct TCell {
    std::vector<TFiled> filed;  // by z, bottom first; one entry per z at most
    size_t left = 0;            // entries left behind
  };
  // The cells Bounds meets, as first and last column and row.
  struct TSpan {
    int first_column;
    int first_row;
    int last_column;
    int last_row;
  };
  TSpan SpanOf(const TRect& Bounds) const;
  int Column(int X) const;
  int Row(int Y) const;
  TCell& CellAt(int Column, int Row) {
    return cells_[static_cast<size_t>(Row) * static_cast<size_t>(columns_) +
                  static_cast<size_t>(Column)];
  }
  const TCell& CellAt(int Column, int Row) const {
    return cells_[static_cast<size_t>(Row) * static_cast<size_t>(columns_) +
                  static_cast<size_t>(Column)];
  }
  bool Filed(const TSlot& Slot) const { return Slot.reset == resets_; }
  void Unfile(TSlot& Slot);
  // Calls Visit(Filed) for every marker filed in the cells of Area that meets it, once
  // each: in the first of its cells Area covers.
  template <class TVisit>
  void ForEachIn(const TRect& Area, TVisit Visit) const;

  std::vector<TCell> cells_;
  int count_ = 0;
  unsigned resets_ = 1;
  int columns_ = 1;
  int rows_ = 1;
};

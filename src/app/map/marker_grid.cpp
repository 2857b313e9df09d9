#include "app/map/marker_grid.h"

#include <algorithm>

void TMarkerGrid::Reset(int Width, int Height) {
  ++resets_;
  count_ = 0;
  columns_ = std::max(1, (Width + kCellSize - 1) / kCellSize);
  rows_ = std::max(1, (Height + kCellSize - 1) / kCellSize);
  cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), {});
  max_width_ = 0;
  max_height_ = 0;
}

int TMarkerGrid::Column(int X) const {
  return std::clamp(X < 0 ? 0 : X / kCellSize, 0, columns_ - 1);
}

int TMarkerGrid::Row(int Y) const {
  return std::clamp(Y < 0 ? 0 : Y / kCellSize, 0, rows_ - 1);
}

void TMarkerGrid::Unfile(TSlot& Slot) {
  std::vector<TFiled>& cell = cells_[Slot.cell];
  cell[Slot.index] = cell.back();
  cell[Slot.index].slot->index = Slot.index;
  cell.pop_back();
  Slot.reset = 0;
  --count_;
}

void TMarkerGrid::Place(TControl* Marker, TSlot& Slot) {
  const TRect bounds = Marker->BoundsRect();
  const size_t cell =
      static_cast<size_t>(Row(bounds.Top)) * static_cast<size_t>(columns_) +
      static_cast<size_t>(Column(bounds.Left));
  if (Filed(Slot) && Slot.cell == cell) {
    cells_[cell][Slot.index].bounds = bounds;
  } else {
    if (Filed(Slot)) Unfile(Slot);
    Slot.cell = cell;
    Slot.index = cells_[cell].size();
    Slot.reset = resets_;
    cells_[cell].push_back({Marker, bounds, &Slot});
    ++count_;
  }
  max_width_ = std::max(max_width_, bounds.Width());
  max_height_ = std::max(max_height_, bounds.Height());
}

void TMarkerGrid::Remove(TSlot& Slot) {
  if (Filed(Slot)) Unfile(Slot);
}

void TMarkerGrid::MarkersIn(const TRect& Area, std::vector<TControl*>& Found) const {
  if (Area.Left >= Area.Right || Area.Top >= Area.Bottom || count_ == 0) return;
  const int firstColumn = Column(Area.Left - max_width_);
  const int lastColumn = Column(Area.Right - 1);
  const int firstRow = Row(Area.Top - max_height_);
  const int lastRow = Row(Area.Bottom - 1);
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const auto& cell = cells_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                                static_cast<size_t>(column)];
      for (const TFiled& filed : cell) {
        const TRect& b = filed.bounds;
        if (b.Left < Area.Right && Area.Left < b.Right && b.Top < Area.Bottom &&
            Area.Top < b.Bottom) {
          Found.push_back(filed.marker);
        }
      }
    }
  }
}

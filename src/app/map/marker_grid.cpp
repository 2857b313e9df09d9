#include "app/map/marker_grid.h"

#include <algorithm>

void TMarkerGrid::Reset(int Width, int Height) {
  entries_.clear();
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

void TMarkerGrid::Unfile(const TEntry& Entry) {
  std::vector<TFiled>& cell = cells_[Entry.cell];
  cell[Entry.index] = cell.back();
  entries_.at(cell[Entry.index].marker).index = Entry.index;
  cell.pop_back();
}

void TMarkerGrid::Place(TControl* Marker) {
  const TRect bounds = Marker->BoundsRect();
  const size_t cell =
      static_cast<size_t>(Row(bounds.Top)) * static_cast<size_t>(columns_) +
      static_cast<size_t>(Column(bounds.Left));
  auto [it, added] = entries_.try_emplace(Marker, TEntry{cell, 0});
  TEntry& entry = it->second;
  if (!added && entry.cell != cell) {
    Unfile(entry);
    added = true;
  }
  if (added) {
    entry.cell = cell;
    entry.index = cells_[cell].size();
    cells_[cell].push_back({Marker, bounds});
  } else {
    cells_[cell][entry.index].bounds = bounds;
  }
  max_width_ = std::max(max_width_, bounds.Width());
  max_height_ = std::max(max_height_, bounds.Height());
}

void TMarkerGrid::Remove(TControl* Marker) {
  auto it = entries_.find(Marker);
  if (it == entries_.end()) return;
  Unfile(it->second);
  entries_.erase(it);
}

void TMarkerGrid::MarkersIn(const TRect& Area, std::vector<TControl*>& Found) const {
  if (Area.Left >= Area.Right || Area.Top >= Area.Bottom || entries_.empty()) return;
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

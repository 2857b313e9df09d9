#include "app/map/marker_grid.h"

#include <algorithm>
#include <utility>

namespace {

bool Meet(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

}  // namespace

void TMarkerGrid::Reset(int Width, int Height) {
  ++resets_;
  count_ = 0;
  columns_ = std::max(1, (Width + kCellWidth - 1) / kCellWidth);
  rows_ = std::max(1, (Height + kCellHeight - 1) / kCellHeight);
  cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), {});
}

int TMarkerGrid::Column(int X) const {
  return std::clamp(X < 0 ? 0 : X / kCellWidth, 0, columns_ - 1);
}

int TMarkerGrid::Row(int Y) const {
  return std::clamp(Y < 0 ? 0 : Y / kCellHeight, 0, rows_ - 1);
}

TMarkerGrid::TSpan TMarkerGrid::SpanOf(const TRect& Bounds) const {
  // An empty marker meets nothing; it is filed where its corner lies, so it can leave.
  const int right = std::max(Bounds.Left, Bounds.Right - 1);
  const int bottom = std::max(Bounds.Top, Bounds.Bottom - 1);
  return {Column(Bounds.Left), Row(Bounds.Top), Column(right), Row(bottom)};
}

void TMarkerGrid::Unfile(TSlot& Slot) {
  for (int row = Slot.first_row; row <= Slot.last_row; ++row) {
    for (int column = Slot.first_column; column <= Slot.last_column; ++column) {
      TCell& cell = CellAt(column, row);
      auto at = std::lower_bound(cell.filed.begin(), cell.filed.end(), Slot.z,
                                 [](const TFiled& filed, std::uint64_t z) { return filed.z < z; });
      at->marker = nullptr;
      // Swept once most of the cell is left behind: each entry is swept once at most
      // for every time one was left.
      if (++cell.left * 2 > cell.filed.size()) {
        std::erase_if(cell.filed, [](const TFiled& filed) { return filed.marker == nullptr; });
        cell.left = 0;
      }
    }
  }
  Slot.reset = 0;
  --count_;
}

void TMarkerGrid::Place(TControl* Marker, std::uint64_t Z, TSlot& Slot) {
  const TRect bounds = Marker->BoundsRect();
  const TSpan span = SpanOf(bounds);
  const bool same = Filed(Slot) && Slot.z == Z && Slot.first_column == span.first_column &&
                    Slot.first_row == span.first_row && Slot.last_column == span.last_column &&
                    Slot.last_row == span.last_row;
  if (Filed(Slot) && !same) Unfile(Slot);
  for (int row = span.first_row; row <= span.last_row; ++row) {
    for (int column = span.first_column; column <= span.last_column; ++column) {
      std::vector<TFiled>& filed = CellAt(column, row).filed;
      // A marker raised lies above all others: mostly it goes at the end.
      if (filed.empty() || filed.back().z < Z) {
        filed.push_back({bounds, Z, Marker});
        continue;
      }
      auto at = std::lower_bound(filed.begin(), filed.end(), Z,
                                 [](const TFiled& entry, std::uint64_t z) { return entry.z < z; });
      if (at != filed.end() && at->z == Z) {
        // Its own entry, or the one it left behind here when it moved without rising.
        if (!at->marker) --CellAt(column, row).left;
        *at = {bounds, Z, Marker};
      } else {
        filed.insert(at, {bounds, Z, Marker});
      }
    }
  }
  if (same) return;
  Slot.z = Z;
  Slot.first_column = span.first_column;
  Slot.first_row = span.first_row;
  Slot.last_column = span.last_column;
  Slot.last_row = span.last_row;
  Slot.reset = resets_;
  ++count_;
}

void TMarkerGrid::Remove(TSlot& Slot) {
  if (Filed(Slot)) Unfile(Slot);
}

template <class TVisit>
void TMarkerGrid::ForEachIn(const TRect& Area, TVisit Visit) const {
  if (Area.Left >= Area.Right || Area.Top >= Area.Bottom || count_ == 0) return;
  const TSpan area = SpanOf(Area);
  for (int row = area.first_row; row <= area.last_row; ++row) {
    for (int column = area.first_column; column <= area.last_column; ++column) {
      for (const TFiled& filed : CellAt(column, row).filed) {
        if (!filed.marker || !Meet(filed.bounds, Area)) continue;
        // A marker across cells is in each of them: it counts in the first one here.
        const TSpan span = SpanOf(filed.bounds);
        if (std::max(span.first_column, area.first_column) == column &&
            std::max(span.first_row, area.first_row) == row) {
          Visit(filed);
        }
      }
    }
  }
}

void TMarkerGrid::MarkersIn(const TRect& Area, std::vector<TControl*>& Found) const {
  ForEachIn(Area, [&Found](const TFiled& filed) { Found.push_back(filed.marker); });
}

void TMarkerGrid::MarkersTopDown(const TRect& Area,
                                 const TChildFinder::TVisitChildren& Visit) const {
  if (Area.Left >= Area.Right || Area.Top >= Area.Bottom || count_ == 0) return;
  // Handed over a few at a time: the markers lie all over memory, and those fetched
  // together arrive together.
  constexpr size_t kBatch = 16;
  TChildFinder::TFound batch[kBatch];
  size_t batched = 0;
  auto add = [&](const TFiled& filed) {
    batch[batched++] = {filed.marker, filed.bounds};
    if (batched < kBatch) return true;
    batched = 0;
    return Visit(batch, kBatch);
  };
  const TSpan area = SpanOf(Area);
  if (area.first_column == area.last_column && area.first_row == area.last_row) {
    // Within one cell: its order is the order.
    const std::vector<TFiled>& filed = CellAt(area.first_column, area.first_row).filed;
    for (auto it = filed.rbegin(); it != filed.rend(); ++it) {
      if (it->marker && Meet(it->bounds, Area) && !add(*it)) return;
    }
  } else {
    std::vector<const TFiled*> ranked;
    ForEachIn(Area, [&ranked](const TFiled& filed) { ranked.push_back(&filed); });
    std::sort(ranked.begin(), ranked.end(),
              [](const TFiled* a, const TFiled* b) { return a->z > b->z; });
    for (const TFiled* filed : ranked) {
      if (!add(*filed)) return;
    }
  }
  if (batched > 0) Visit(batch, batched);
}

// Table layout: the widths of the columns from the cells' minimum widths and their
// pixel and percent requests, the spare width handed out, the heights of the rows from
// the cells' content, and the place of every column, row and cell.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>

#include "richtext/base/text_routines.h"
#include "richtext/layout/format_params.h"
#include "richtext/layout/formatted_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

namespace {

// The canvas of the layout under way, so that tables inside cells measure on it too.
thread_local TRDCanvas* layout_canvas = nullptr;

class TLayoutCanvasScope {
 public:
  explicit TLayoutCanvasScope(TRDCanvas& canvas) : saved_(layout_canvas) {
    layout_canvas = &canvas;
  }
  ~TLayoutCanvasScope() { layout_canvas = saved_; }

 private:
  TRDCanvas* saved_;
};

class TDeviceScope {
 public:
  TDeviceScope(const TRDResolution*& field, const TRDResolution* value)
      : field_(field), saved_(field) {
    field_ = value;
  }
  ~TDeviceScope() { field_ = saved_; }

 private:
  const TRDResolution*& field_;
  const TRDResolution* saved_;
};

// A part of amount in proportion weight : total among `remaining` receivers; the last
// one gets what is left, and a running total that reached 0 (receivers that weigh
// nothing) is shared out evenly instead of being divided by.
int ShareOf(int weight, int amount, int total, int remaining) {
  if (remaining <= 1) return amount;
  if (total <= 0) return amount / remaining;
  return RDMulDiv(weight, amount, total);
}

int RoundHalfEven(double v) {
  return int(std::nearbyint(v));
}

// Calls proc(cell, col) for every cell that spans columns, row by row.
template <class Proc>
void ForEachSpanningCell(TRDTableRows& grid, Proc&& proc) {
  const int rows = grid.Count();
  const int cols = grid.GetColCount();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (TRDTableCellData* cell = grid.Object(r, c); cell && cell->ColSpan > 1) proc(*cell, c);
}

}  // namespace

// The state of one layout: the column widths being built, the kind of each column (0
// free, 1 fixed in pixels, 2 percent), the width still to hand out and the sum of the
// minimums.
struct TRDTableItemInfo::TLayoutPass {
  std::vector<int> widths;
  std::vector<int> kinds;
  int spare = 0;
  int totalMin = 0;
  bool limitBySpare = false;
  int pad2 = 0;
  // Format's own: the table takes its content's width; the width percent requests are
  // of; how many columns have a kind so far, and how many of them are fixed in pixels.
  bool autoWidth = false;
  int avail = 0;
  int assigned = 0;
  int fixedCount = 0;
};

// The screen layout before a column was measured again.
struct TRDTableItemInfo::TKeptLayout {
  TRDIntegerList ColStarts;
  TRDIntegerList ColWidths;
  TRDIntegerList RowHeights;
};

bool TRDTableItemInfo::IsAutoWidth() const {
  if (Remeasuring() && cell_requests_.Valid) return cell_requests_.AutoWidth;
  const int cols = Rows->GetColCount();
  // Every column has a cell of its own and is the last of a cell with a width. (Each
  // slot's covering cell is a cell of the grid, so the cells themselves tell.)
  std::vector<char> slot(size_t(std::max(cols, 0)), 0), ends(slot);
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < cols; ++c)
      if (const TRDTableCellData* cell = Rows->Peek(r, c)) {
        slot[size_t(c)] = 1;
        const int last = c + cell->ColSpan - 1;
        if (cell->BestWidth > 0 && last < cols) ends[size_t(last)] = 1;
      }
  for (int c = 0; c < cols; ++c)
    if (!slot[size_t(c)] || !ends[size_t(c)]) return false;
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < cols; ++c)
      if (const TRDTableCellData* cell = Rows->Object(r, c); cell && cell->BestWidth < 0)
        return false;
  return true;
}

void TRDTableItemInfo::SpreadSpanWidth(TLayoutPass& pass, int col, int colSpan, int width,
                                       int maxKind, bool equalShare, int attempt) {
  if (width == 0) return;
  const int pad2 = pass.pad2;
  const int target = width + pad2;
  const bool proportional = !equalShare || attempt > 30;
  std::int64_t spanWidth = ScaleX(-cell_h_spacing_ - 2 * cell_border_width_);
  for (int c = col; c < col + colSpan; ++c)
    spanWidth += pass.widths[size_t(c)] +
                 ScaleX(cell_h_spacing_ + 2 * cell_padding_ + 2 * cell_border_width_);
  std::vector<int> eligible;
  if (equalShare) {
    for (int c = col; c < col + colSpan; ++c) eligible.push_back(c);
  } else {
    for (int level = 0; eligible.empty() && level <= maxKind; ++level)
      for (int c = col; c < col + colSpan; ++c)
        if (pass.kinds[size_t(c)] <= level) eligible.push_back(c);
  }
  int n = int(eligible.size());
  if (spanWidth >= target || n == 0) return;
  int sum = 0;
  for (int c : eligible) sum += pass.widths[size_t(c)] + pad2;
  int extra = int(target - spanWidth);
  if (!equalShare && pass.limitBySpare) {
    extra = std::min(extra, pass.spare);
    pass.spare -= extra;
  }
  int newTotal = extra + sum;
  if (!proportional) {
    double share = 0;
    auto shareNow = [&] { share = RoundHalfEven(double(newTotal) / n); };
    shareNow();
    for (int c : eligible) {
      if (n == 0 || newTotal < 1) break;
      const int w = pass.widths[size_t(c)] + pad2;
      if (w >= share) {
        newTotal -= w;
        --n;
      }
    }
    if (n > 0 && newTotal >= 1) {
      shareNow();
      for (int c : eligible) {
        if (n == 0 || newTotal < 1) break;
        const int w = pass.widths[size_t(c)] + pad2;
        if (w < share) {
          pass.widths[size_t(c)] = int(share) - pad2;
          pass.totalMin += int(share) - w;
          newTotal -= int(share);
          --n;
        }
      }
    }
    SpreadSpanWidth(pass, col, colSpan, width, maxKind, equalShare, attempt + 1);
    return;
  }
  for (size_t k = 0; k < eligible.size(); ++k) {
    const int c = eligible[k];
    const int w = std::max(pass.widths[size_t(c)] + pad2, 1);
    const int share = ShareOf(w, newTotal, sum, int(eligible.size() - k));
    pass.widths[size_t(c)] = share - pad2;
    sum -= w;
    newTotal -= share;
    if (equalShare) pass.totalMin += share - w;
  }
}

int TRDTableItemInfo::GetMinWidth(const TRDResolution* resolution, TCustomRDData* rdData) const {
  TRDCanvas* canvas = layout_canvas;
  if (!canvas)
    if (auto* document = dynamic_cast<TCustomRDFormattedData*>(rdData ? rdData : GetDocument()))
      canvas = &document->GetCanvas();
  if (!canvas) return ScaleX((border_width_ + border_h_spacing_) * 2);
  if (!resolution && min_width_ >= 0) return min_width_;
  return const_cast<TRDTableItemInfo*>(this)->GetTableMinWidth(resolution, *canvas);
}

int TRDTableItemInfo::GetTableMinWidth(const TRDResolution* resolution, TRDCanvas& canvas) {
  TDeviceScope device(DeviceInfo, resolution);
  TLayoutCanvasScope scope(canvas);
  if (Rows->IsEmpty()) return ScaleX((border_width_ + border_h_spacing_) * 2);
  const int cols = Rows->GetColCount();
  const bool ignoreContent = (Options & rdtoIgnoreContentWidth) != 0;
  const int base = ScaleX(cols * cell_padding_ * 2) +
                   ScaleX((cols - 1) * cell_h_spacing_ + (border_width_ + border_h_spacing_) * 2 +
                          cols * cell_border_width_ * 2);
  TLayoutPass pass;
  pass.pad2 = ScaleX(2 * cell_padding_);
  pass.kinds.assign(size_t(cols), 0);
  for (int c = 0; c < cols; ++c) {
    int m = ignoreContent ? 0 : ColumnMinWidth(c, canvas);
    if (best_width_ == 0) m = std::max(m, ScaleX(ColumnPixelWidth(c)));
    pass.widths.push_back(m);
    pass.totalMin += m;
  }
  for (int r = 0; r < (HasSpanningCells() ? Rows->Count() : 0); ++r)
    for (int c = 0; c < cols; ++c) {
      TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell || cell->ColSpan <= 1) continue;
      int need = ignoreContent ? 0 : cell->GetMinWidth(DeviceInfo, canvas);
      if (best_width_ == 0) need = std::max(need, ScaleX(cell->BestWidth));
      SpreadSpanWidth(pass, c, cell->ColSpan, need, 2, true, 0);
    }
  const int width = std::max(base + pass.totalMin, ScaleX(best_width_));
  if (!resolution) min_width_ = width;
  return width;
}

void TRDTableItemInfo::AdjustToDocWidth(TRDCanvas& canvas, TRDStyle&, int docWidth, int& width,
                                        int& height, int& descent) const {
  auto& self = const_cast<TRDTableItemInfo&>(*this);
  width = 0;
  descent = 0;
  // After an edit in the cell editor its row was placed anew, and the rest stands.
  // Otherwise what an open cell editor holds may need another width without the table
  // hearing of it (a table inside it laid out again): the columns are measured anew while
  // it is open.
  if (!layout_kept_ || (self.State & rdtsLayoutInvalid)) {
    if ((self.State & rdtsLayoutInvalid) || InplaceEditor) {
      self.State &= TRDTableStates(~rdtsLayoutInvalid);
      self.FormattingInfo->Width = 0;
      self.min_width_ = -1;
    }
    self.Format(docWidth, *self.FormattingInfo, canvas, false);
  }
  width = FormattingInfo->Width;
  height = FormattingInfo->Height;
}

void TRDTableItemInfo::Format(int docWidth, TRDTableItemFormattingInfo& info, TRDCanvas& canvas,
                              bool force) {
  TLayoutCanvasScope scope(canvas);
  const int cols = Rows->GetColCount();
  if (Rows->IsEmpty()) {
    info.Clear();
    info.Width = ScaleX((border_width_ + border_h_spacing_) * 2);
    info.Height = ScaleY((border_width_ + border_v_spacing_) * 2);
    return;
  }
  bool autoWidth = false;
  const int w = FormatWidth(docWidth, canvas, autoWidth);
  if (w != 0 && w == info.Width && !force) return;
  info.Width = w;

  const int fixed = ScaleX((cols - 1) * cell_h_spacing_ + (border_width_ + border_h_spacing_) * 2 +
                           cols * cell_border_width_ * 2);
  const int padAll = ScaleX(cols * cell_padding_ * 2);
  const int contentWidth = autoWidth ? 0 : w - fixed - padAll;
  TLayoutPass pass;
  pass.pad2 = ScaleX(2 * cell_padding_);
  pass.kinds.assign(size_t(cols), 0);
  pass.limitBySpare = !autoWidth;
  pass.autoWidth = autoWidth;
  pass.avail = w - fixed;

  const bool screen = &info == FormattingInfo.get() && !DeviceInfo;
  // After an edit that changed one column's width, the cells whose width stays keep
  // their lines.
  const bool resizedOnly = screen && remeasured_column_ >= 0;
  const int rows = Rows->Count();
  // Without merged cells, the columns left of the one measured again keep their cells as
  // they are, and only the rows whose cells are laid out again may change their heights.
  std::optional<TKeptLayout> kept;
  if (resizedOnly && !HasSpanningCells() && info.Cells.empty() && info.ColStarts.Count() == cols &&
      info.ColWidths.Count() == cols && info.RowHeights.Count() == rows &&
      info.RowStarts.Count() == rows)
    kept = TKeptLayout{info.ColStarts, info.ColWidths, info.RowHeights};
  info.Clear();
  MeasureMinimumWidths(pass, canvas, screen);
  if (!autoWidth && pass.totalMin >= contentWidth) {
    // Narrower than the content: the columns keep their minimums.
    info.Width = info.Width - contentWidth + pass.totalMin;
  } else {
    if (!autoWidth) pass.spare = contentWidth - pass.totalMin;
    if (!autoWidth) WidenPercentColumns(pass);
    WidenPixelColumns(pass);
    // Spare width.
    if (autoWidth) {
      int sum = 0;
      for (int v : pass.widths) sum += v;
      info.Width = fixed + padAll + sum;
    } else if (pass.spare > 0) {
      HandOutSpareWidth(pass);
    }
  }

  std::vector<int> changedRows;
  const TKeptLayout* before = kept ? &*kept : nullptr;
  PlaceColumns(info, pass, canvas, resizedOnly, before, changedRows);
  // The edited cell's height is its editor's, which the edit may have changed.
  if (before && InplaceEditor) changedRows.push_back(InplaceEditor->Row());
  const std::vector<int> heights = MeasureRowHeights(info, before, changedRows);
  PlaceRows(info, heights, before);
  if (screen) {
    // What the cells ask is measured again with the next column that is.
    if (remeasured_column_ < 0) cell_requests_.Valid = false;
    remeasured_column_ = -1;
  }
}

// The table's width before its columns are laid out: 0 when it takes its content's width
// (autoWidth).
int TRDTableItemInfo::FormatWidth(int docWidth, TRDCanvas& canvas, bool& autoWidth) {
  autoWidth = false;
  if (best_width_ > 0) return ScaleX(best_width_);
  if (best_width_ < 0)
    return int(std::clamp<std::int64_t>(-std::int64_t(best_width_) * docWidth / 100, 0, 1 << 24));
  autoWidth = IsAutoWidth();
  return autoWidth ? 0 : std::max(GetTableMinWidth(DeviceInfo, canvas), docWidth);
}

// Minimums: each column's own, widened for the cells that span columns.
void TRDTableItemInfo::MeasureMinimumWidths(TLayoutPass& pass, TRDCanvas& canvas, bool screen) {
  const int cols = Rows->GetColCount();
  const bool ignoreContent = (Options & rdtoIgnoreContentWidth) != 0;
  for (int c = 0; c < cols; ++c) {
    const int m = ignoreContent ? 0 : ColumnMinWidth(c, canvas);
    pass.widths.push_back(m);
    pass.totalMin += m;
  }
  if (screen) column_min_widths_ = pass.widths;
  if (!ignoreContent && HasSpanningCells())
    ForEachSpanningCell(*Rows, [&](TRDTableCellData& cell, int c) {
      SpreadSpanWidth(pass, c, cell.ColSpan, cell.GetMinWidth(DeviceInfo, canvas), 2, true, 0);
    });
}

// Percent columns, then the cells spanning columns that ask for a percent.
void TRDTableItemInfo::WidenPercentColumns(TLayoutPass& pass) {
  const int cols = Rows->GetColCount();
  const int avail = pass.avail;
  std::vector<int> p(size_t(cols), 0);
  std::vector<char> candidate(size_t(cols), 0);
  std::int64_t sumPct = 0;
  int sumMinPct = 0;
  for (int c = 0; c < cols; ++c) {
    p[size_t(c)] = std::max(0, ColumnPercentWidth(c, avail) - pass.pad2);
    if (p[size_t(c)] > pass.widths[size_t(c)]) {
      candidate[size_t(c)] = 1;
      sumPct += p[size_t(c)];
      sumMinPct += pass.widths[size_t(c)];
      pass.spare += pass.widths[size_t(c)];
    }
  }
  if (sumPct != 0) {
    sumPct = std::max<std::int64_t>(sumPct, pass.spare);
    for (int c = 0; c < cols; ++c) {
      if (p[size_t(c)] <= 0) continue;
      if (!candidate[size_t(c)]) {
        pass.kinds[size_t(c)] = 2;
        ++pass.assigned;
        continue;
      }
      int share = sumPct > 0 ? RDMulDiv(p[size_t(c)], pass.spare,
                                        int(std::min<std::int64_t>(sumPct, 1 << 30)))
                             : 0;
      sumMinPct -= pass.widths[size_t(c)];
      sumPct -= p[size_t(c)];
      if (share > 0) {
        pass.kinds[size_t(c)] = 2;
        ++pass.assigned;
      }
      share = std::min(share, pass.spare - sumMinPct);
      pass.widths[size_t(c)] = std::max(pass.widths[size_t(c)], share);
      pass.spare -= pass.widths[size_t(c)];
      if (pass.spare == 0 && sumMinPct == 0) break;
    }
  }
  // Percent spans.
  if (pass.spare > 0 && HasSpanningCells())
    ForEachSpanningCell(*Rows, [&](TRDTableCellData& cell, int c) {
      if (cell.BestWidth >= 0) return;
      SpreadSpanWidth(pass, c, cell.ColSpan, RDMulDiv(-cell.BestWidth, avail, 100) - pass.pad2, 2,
                      false, 0);
      for (int k = c; k < c + cell.ColSpan; ++k)
        if (pass.kinds[size_t(k)] == 0) pass.kinds[size_t(k)] = 2, ++pass.assigned;
    });
}

// Pixel columns, then the cells spanning columns that ask for pixels.
void TRDTableItemInfo::WidenPixelColumns(TLayoutPass& pass) {
  const int cols = Rows->GetColCount();
  if (pass.autoWidth) {
    for (int c = 0; c < cols; ++c) {
      const int px = ScaleX(ColumnPixelWidth(c));
      if (pass.kinds[size_t(c)] != 0 || px <= 0) continue;
      pass.kinds[size_t(c)] = 1;
      ++pass.assigned, ++pass.fixedCount;
      pass.widths[size_t(c)] = std::max(pass.widths[size_t(c)], px);
    }
  } else if (pass.spare >= 1) {
    std::vector<int> candidates;
    int total = 0;
    for (int c = 0; c < cols; ++c) {
      const int px = ScaleX(ColumnPixelWidth(c));
      if (pass.kinds[size_t(c)] != 0 || px <= 0) continue;
      pass.kinds[size_t(c)] = 1;
      ++pass.assigned, ++pass.fixedCount;
      if (px > pass.widths[size_t(c)]) {
        candidates.push_back(c);
        total += px;
        pass.spare += pass.widths[size_t(c)];
      }
    }
    int give = std::min(total, pass.spare);
    for (size_t k = 0; k < candidates.size(); ++k) {
      const int c = candidates[k];
      const int px = ScaleX(ColumnPixelWidth(c));
      int share = ShareOf(px, give, total, int(candidates.size() - k));
      share = std::max(std::min(share, pass.spare), pass.widths[size_t(c)]);
      pass.spare -= share;
      pass.widths[size_t(c)] = share;
      total -= px;
      give -= share;
    }
  }
  // Pixel spans.
  if ((pass.autoWidth || pass.spare > 0) && HasSpanningCells())
    ForEachSpanningCell(*Rows, [&](TRDTableCellData& cell, int c) {
      if (cell.BestWidth <= 0) return;
      SpreadSpanWidth(pass, c, cell.ColSpan, ScaleX(cell.BestWidth), 1, false, 0);
      for (int k = c; k < c + cell.ColSpan; ++k)
        if (pass.kinds[size_t(k)] == 0)
          pass.kinds[size_t(k)] = 1, ++pass.assigned, ++pass.fixedCount;
    });
}

// The width left over: evenly to the columns that asked for nothing; when every column
// asked, in proportion to the pixel requests (to the percent ones when none is in pixels).
void TRDTableItemInfo::HandOutSpareWidth(TLayoutPass& pass) {
  const int cols = Rows->GetColCount();
  if (pass.assigned < cols) {
    for (int c = 0; c < cols && pass.spare > 0; ++c) {
      if (pass.kinds[size_t(c)] != 0) continue;
      const int add = pass.spare / (cols - pass.assigned);
      ++pass.assigned;
      pass.widths[size_t(c)] += add;
      pass.spare -= add;
    }
    return;
  }
  const bool byPixels = pass.fixedCount > 0;
  std::vector<std::pair<int, int>> weights;
  int sum = 0;
  for (int c = 0; c < cols; ++c) {
    int weight;
    if (byPixels) {
      if (pass.kinds[size_t(c)] == 2) continue;
      weight = std::max(ColumnPixelWidth(c), 1);
    } else {
      weight = std::max(ColumnPercentWidth(c, pass.avail) - pass.pad2, 1);
    }
    weights.emplace_back(c, weight);
    sum += weight;
  }
  for (size_t k = 0; k < weights.size() && pass.spare > 0; ++k) {
    const int add =
        std::min(ShareOf(weights[k].second, pass.spare, sum, int(weights.size() - k)), pass.spare);
    pass.widths[size_t(weights[k].first)] += add;
    pass.spare -= add;
    sum -= weights[k].second;
  }
}

// Columns and cell widths; each cell is laid out for its width.
void TRDTableItemInfo::PlaceColumns(TRDTableItemFormattingInfo& info, const TLayoutPass& pass,
                                    TRDCanvas& canvas, bool resizedOnly, const TKeptLayout* kept,
                                    std::vector<int>& changedRows) {
  const int cols = Rows->GetColCount();
  const int rows = Rows->Count();
  for (int v : pass.widths) info.ColWidths.AddValue(v);
  const int colGaps = ScaleX(((cell_padding_ + cell_border_width_) * 2 + cell_h_spacing_) * cols);
  int gaps = colGaps;
  int x = ScaleX(border_width_ + border_h_spacing_ + cell_border_width_);
  for (int c = 0; c < cols; ++c) {
    info.ColStarts.AddValue(x);
    const int step = gaps / (cols - c);
    gaps -= step;
    x += step + pass.widths[size_t(c)];
  }
  if (info.Cells.empty() && cols > 0) {
    const int standInHeight = Rows->StandIn().ContentHeight();
    Rows->FormatStandIn(pass.widths[0] + pass.pad2, canvas);
    // Every row of a plain cell is as high as the stand-in at least.
    if (kept && Rows->StandIn().ContentHeight() != standInHeight)
      for (int r = 0; r < rows; ++r) changedRows.push_back(r);
  }
  const bool ignoreHeight = (Options & rdtoIgnoreContentHeight) != 0;
  // A column of a kept layout that at most moved has its cells as they were: a cell takes
  // its left edge from the column starts, and its width stays (its cells are not read at
  // all, which in a large table costs a trip to memory each).
  std::vector<char> relaid(size_t(cols), 1);
  if (kept)
    for (int c = 0; c < cols; ++c)
      relaid[size_t(c)] = c == remeasured_column_ || pass.widths[size_t(c)] != kept->ColWidths[c];
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (!relaid[size_t(c)]) continue;
      TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell) continue;
      int width = pass.widths[size_t(c)] + pass.pad2;
      // A kept layout has no cell spanning columns (and its cells' spans are not read: in
      // a large table each cell read costs a trip to memory).
      const int colSpan = kept ? 1 : cell->ColSpan;
      for (int k = c + 1; k < std::min(c + colSpan, cols); ++k) width += pass.widths[size_t(k)];
      width += RDMulDiv(colGaps, colSpan - 1, cols);
      if (TRDTableCellLayout* layout = info.CellLayout(r, c, cols)) {
        layout->BoxLeft = info.ColStarts[c];
        layout->BoxWidth = width;
        layout->FormatForWidth(width - pass.pad2, canvas);
      } else {
        if (resizedOnly && width == cell->Width && c != remeasured_column_) continue;
        cell->Width = width;
        const int height = cell->GetCellHeight(ignoreHeight);
        cell->FormatItems(false, true, false, 0, &canvas, false, true, false);
        if (kept && cell->GetCellHeight(ignoreHeight) != height) changedRows.push_back(r);
      }
    }
}

// The height a cell's content asks for (laid out for the device when the layout has
// documents of its own for the cells).
int TRDTableItemInfo::CellContentHeight(const TRDTableItemFormattingInfo& info,
                                        const TRDTableCellData& cell, int row, int col) const {
  const bool ignoreHeight = (Options & rdtoIgnoreContentHeight) != 0;
  const TRDTableCellLayout* layout = info.CellLayout(row, col, Rows->GetColCount());
  if (!layout) return ScaleY(cell.GetCellHeight(ignoreHeight));
  if (ignoreHeight && cell.BestHeight != 0) return ScaleY(std::max(cell.BestHeight, 0));
  return std::max(layout->ContentHeight(), ScaleY(cell.BestHeight));
}

// Row heights, from the cells' content; the table's height with them, reaching no
// further down than a document's lines may.
std::vector<int> TRDTableItemInfo::MeasureRowHeights(TRDTableItemFormattingInfo& info,
                                                     const TKeptLayout* kept,
                                                     const std::vector<int>& changedRows) {
  const int cols = Rows->GetColCount();
  const int rows = Rows->Count();
  const bool ignoreHeight = (Options & rdtoIgnoreContentHeight) != 0;
  info.Height = ScaleY((cell_padding_ * rows + border_width_ + border_v_spacing_) * 2 +
                       cell_v_spacing_ * (rows - 1) + 2 * rows * cell_border_width_);
  std::vector<char> measured(size_t(rows), kept ? 0 : 1);
  for (int r : changedRows) measured[size_t(r)] = 1;
  for (int r = 0; r < rows; ++r) {
    int h = 0;
    if (!measured[size_t(r)]) {
      h = kept->RowHeights[r];
    } else if (info.Cells.empty()) {
      h = ScaleY(Rows->Items(r)->GetHeight(ignoreHeight));
    } else {
      for (int c = 0; c < cols; ++c)
        if (const TRDTableCellData* cell = Rows->Cell(r, c); cell && cell->RowSpan == 1)
          h = std::max(h, CellContentHeight(info, *cell, r, c));
      if (h == 0) h = ScaleY(10);  // a row without content is not flat
    }
    info.RowHeights.AddValue(h);
    info.Height = LayoutBelow(info.Height, h);
  }
  std::vector<int> heights(static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r) heights[size_t(r)] = info.RowHeights[r];
  // A kept layout has no cell spanning rows to stretch them.
  if (kept) return heights;
  StretchRowsUnderSpans(info, heights);
  for (int r = 0; r < rows; ++r) info.RowHeights.SetValue(r, heights[size_t(r)]);
  return heights;
}

// A cell spanning rows that needs more than its rows give stretches them: the rows in
// which no other cell ends first, in proportion to their heights.
void TRDTableItemInfo::StretchRowsUnderSpans(TRDTableItemFormattingInfo& info,
                                             std::vector<int>& heights) {
  const int cols = Rows->GetColCount();
  const int rows = Rows->Count();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell || cell->RowSpan <= 1) continue;
      const int last = std::min(r + cell->RowSpan, rows);
      const int need = CellContentHeight(info, *cell, r, c) + ScaleY(2 * cell_padding_);
      std::int64_t have = ScaleY(-cell_v_spacing_ - 2 * cell_border_width_);
      for (int k = r; k < last; ++k)
        have += heights[size_t(k)] +
                ScaleY(cell_v_spacing_ + 2 * cell_padding_ + 2 * cell_border_width_);
      if (have >= need) continue;
      // The rows share less than need, so their heights and the extra stay in an int.
      int extra = int(need - have);
      info.Height = LayoutBelow(info.Height, extra);
      std::vector<int> used;
      for (int k = r; k < last; ++k)
        if (!Rows->Items(k)->HasCellEndingWithin(k, r, cell->RowSpan)) used.push_back(k);
      if (used.empty())
        for (int k = r; k < last; ++k) used.push_back(k);
      int sum = 0;
      for (int k : used) sum += heights[size_t(k)];
      for (size_t i = 0; i < used.size(); ++i) {
        const int k = used[i];
        const int add = ShareOf(heights[size_t(k)], extra, sum, int(used.size() - i));
        sum -= heights[size_t(k)];
        heights[size_t(k)] += add;
        extra -= add;
      }
    }
}

// Rows and cell heights.
void TRDTableItemInfo::PlaceRows(TRDTableItemFormattingInfo& info, const std::vector<int>& heights,
                                 const TKeptLayout* kept) {
  const int cols = Rows->GetColCount();
  const int rows = Rows->Count();
  // The cells above the first row whose height changed lie where they lay.
  int firstMoved = 0;
  if (kept)
    while (firstMoved < rows && heights[size_t(firstMoved)] == kept->RowHeights[firstMoved])
      ++firstMoved;
  const int rowGaps = ScaleY(((cell_padding_ + cell_border_width_) * 2 + cell_v_spacing_) * rows);
  int gaps = rowGaps;
  int y = ScaleY(border_width_ + border_v_spacing_ + cell_border_width_);
  for (int r = 0; r < rows; ++r) {
    info.RowStarts.AddValue(y);
    for (int c = 0; c < (r >= firstMoved ? cols : 0); ++c) {
      TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell) continue;
      std::int64_t rowsHeight = heights[size_t(r)];
      for (int k = r + 1; k < std::min(r + cell->RowSpan, rows); ++k)
        rowsHeight += heights[size_t(k)];
      rowsHeight += RDMulDiv(rowGaps, cell->RowSpan - 1, rows);
      const int height = LayoutBelow(ScaleY(2 * cell_padding_), rowsHeight);
      if (TRDTableCellLayout* layout = info.CellLayout(r, c, cols)) {
        layout->BoxTop = y;
        layout->BoxHeight = height;
      } else {
        cell->Top = y;
        cell->Height = height;
      }
    }
    const int step = gaps / (rows - r);
    gaps -= step;
    y = LayoutBelow(y, std::int64_t(step) + heights[size_t(r)]);
  }
}

bool TRDTableItemInfo::KeepsColumnWidths(int row, int col, int oldMin, int newMin) const {
  const TRDTableCellData* cell = Rows->Cell(row, col);
  if (!cell || cell->ColSpan != 1) return false;
  if ((Options & rdtoIgnoreContentWidth) || newMin == oldMin) return true;
  if (col >= int(column_min_widths_.size())) return false;
  // The column's minimum is another cell's, before the edit and after it.
  const int least = column_min_widths_[size_t(col)];
  return oldMin < least && newMin <= least;
}

bool TRDTableItemInfo::MeasureColumnAgain(int row, int col, int oldMin, int newMin,
                                          TRDCanvas& canvas) {
  const TRDTableCellData* cell = Rows->Cell(row, col);
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  const int cols = Rows->GetColCount();
  if (!cell || cell->ColSpan != 1 || DeviceInfo || !info.Cells.empty() ||
      (State & rdtsLayoutInvalid) || (Options & rdtoIgnoreContentWidth) ||
      int(column_min_widths_.size()) != cols || info.ColWidths.Count() != cols ||
      info.RowStarts.Count() != Rows->Count())
    return false;
  int& least = column_min_widths_[size_t(col)];
  // Grown to the column's narrowest width or past it; or shrunk from being it, when
  // another cell of the column may be the narrowest now.
  if (newMin >= least)
    least = newMin;
  else if (oldMin >= least)
    least = Rows->GetMinColWidth(col, nullptr, canvas);
  if (!cell_requests_.Valid) MeasureCellRequests();
  remeasured_column_ = col;
  return true;
}

int TRDTableItemInfo::ColumnMinWidth(int col, TRDCanvas& canvas) const {
  if (Remeasuring()) return column_min_widths_[size_t(col)];
  return Rows->GetMinColWidth(col, DeviceInfo, canvas);
}

void TRDTableItemInfo::MeasureCellRequests() {
  const int rows = Rows->Count(), cols = Rows->GetColCount();
  TCellRequests& requests = cell_requests_;
  requests.Valid = false;
  requests.Spans = false;
  requests.Percents.assign(size_t(cols), 0);
  requests.PixelWidths.assign(size_t(cols), 0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const TRDTableCellData* cell = Rows->Object(r, c);
      if (!cell) continue;
      requests.Spans = requests.Spans || cell->ColSpan > 1 || cell->RowSpan > 1;
      if (cell->ColSpan == 1 && cell->BestWidth < 0)
        requests.Percents[size_t(c)] =
            std::max(requests.Percents[size_t(c)], -std::int64_t(cell->BestWidth));
    }
  for (int c = 0; c < cols; ++c) requests.PixelWidths[size_t(c)] = Rows->GetPixelColWidth(c);
  requests.AutoWidth = IsAutoWidth();
  requests.Valid = true;
}

int TRDTableItemInfo::ColumnPixelWidth(int col) const {
  if (Remeasuring() && cell_requests_.Valid) return cell_requests_.PixelWidths[size_t(col)];
  return Rows->GetPixelColWidth(col);
}

// As TRDTableRows::GetPercentColWidth: each cell's part of the width grows with its
// percent, so the largest percent gives the column's.
int TRDTableItemInfo::ColumnPercentWidth(int col, int tableWidth) const {
  if (!Remeasuring() || !cell_requests_.Valid) return Rows->GetPercentColWidth(col, tableWidth);
  const std::int64_t percent = cell_requests_.Percents[size_t(col)];
  const std::int64_t width = tableWidth > 0 ? percent * tableWidth / 100 : 0;
  return int(std::min<std::int64_t>(width, INT_MAX / 4));
}

bool TRDTableItemInfo::HasSpanningCells() const {
  return !Remeasuring() || !cell_requests_.Valid || cell_requests_.Spans;
}

bool TRDTableItemInfo::PlaceRowAgain(int row) {
  TRDTableItemFormattingInfo& info = *FormattingInfo;
  const int rows = Rows->Count(), cols = Rows->GetColCount();
  if (DeviceInfo || !info.Cells.empty() || row < 0 || row >= rows ||
      info.RowHeights.Count() != rows || info.RowStarts.Count() != rows)
    return false;
  // A cell spanning the row stretches it with the others it spans.
  for (int r = 0; r <= row; ++r)
    for (int c = 0; c < cols; ++c)
      if (const TRDTableCellData* cell = Rows->Object(r, c);
          cell && cell->RowSpan > 1 && r + cell->RowSpan > row)
        return false;
  const int height = ScaleY(Rows->Items(row)->GetHeight((Options & rdtoIgnoreContentHeight) != 0));
  const int delta = height - info.RowHeights[row];
  if (delta == 0) return true;
  // Rows that reach the bound of a layout's height were laid at it: moving them by the
  // change would not say where they lie, so such a table is laid out whole.
  if (info.Height >= kMaxLayoutHeight || std::int64_t(info.Height) + delta >= kMaxLayoutHeight)
    return false;
  info.RowHeights.SetValue(row, height);
  info.Height += delta;
  for (int r = row + 1; r < rows; ++r) info.RowStarts.SetValue(r, info.RowStarts[r] + delta);
  for (int r = row; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (TRDTableCellData* cell = Rows->Object(r, c))
        (r == row ? cell->Height : cell->Top) += delta;
  return true;
}

int TRDTableItemInfo::CellLeft(int col) const {
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  return col >= 0 && col < info.ColStarts.Count() ? info.ColStarts[col] : 0;
}

// A cell of one slot gets the slot's box in the screen layout; false when the layout has
// no such slot (not laid out yet, or for another device).
bool TRDTableItemInfo::PlaceInSlot(TRDTableCellData& cell, int row, int col) const {
  const TRDTableItemFormattingInfo& info = *FormattingInfo;
  if (DeviceInfo || !info.Cells.empty() || row >= info.RowHeights.Count() ||
      row >= info.RowStarts.Count() || col >= info.ColWidths.Count() ||
      col >= info.ColStarts.Count())
    return false;
  cell.Width = info.ColWidths[col] + ScaleX(2 * cell_padding_);
  cell.Top = info.RowStarts[row];
  cell.Height = LayoutBelow(ScaleY(2 * cell_padding_), info.RowHeights[row]);
  return true;
}

TRDTableCellData* TRDTableItemInfo::CellToPaint(int row, int col) {
  if (!Rows->IsPlain(row, col)) return Rows->Object(row, col);
  TRDTableCellData& standIn = Rows->StandInFor(*Rows->Items(row));
  if (!PlaceInSlot(standIn, row, col)) return nullptr;
  Rows->FitStandIn(standIn.Width);
  return &standIn;
}

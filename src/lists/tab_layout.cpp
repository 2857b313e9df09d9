// Where the page control's tabs and its page lie: the rows the tabs are broken into,
// their scrolling and the hit tests on them (ex_page_control.h tells the rules).
#include "lists/ex_page_control.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The native strip's distance of the tab row from the control's edges, and the sheets'
// inset from the page's edges.
constexpr int kRowInset = 2;
constexpr int kPageInset = 4;
// Text padding of a tab on each side.
constexpr int kTabPadding = 6;
// The corner of a single row whose tabs do not fit: two arrow buttons.
constexpr int kArrowCorner = 35;
constexpr int kArrowButton = 17;

}  // namespace

int TExPageControl::RowThickness() const {
  if (tab_height_ > 0) return tab_height_;
  TCanvas canvas;
  canvas.Font().Assign(Font());
  int height = canvas.TextHeight("Wg") + kTabPadding;
  if (images_) height = std::max(height, images_->Height() + kTabPadding);
  return height;
}

int TExPageControl::TabWidthFor(const std::string& SizingText) const {
  TCanvas canvas;
  canvas.Font().Assign(Font());
  const int images = images_ ? images_->Width() : 0;
  const int spacer = tab_margin_.RightMargin() + images + tab_margin_.LeftMargin();
  const int plainRoom = canvas.TextWidth("W");
  canvas.Font().Assign(active_font_);
  const int room = std::max(plainRoom, canvas.TextWidth("W"));
  canvas.Font().Assign(Font());
  return canvas.TextWidth(SizingText) + spacer + 2 * kTabPadding + 2 * room;
}

int TExPageControl::RowRoom() const {
  const bool across = tab_position_ == tpTop || tab_position_ == tpBottom;
  return (across ? Width() : Height()) - 2 * kRowInset;
}

// Higher slots lie nearer the page.
TRect TExPageControl::PlaceTab(int Along, int Length, int Slot, int Thickness,
                               bool Opposite) const {
  const int near = kRowInset + Slot * Thickness;
  switch (Opposite ? OppositeEdge(tab_position_) : tab_position_) {
    case tpTop:
      return Rect(Along, near, Along + Length, near + Thickness);
    case tpBottom:
      return Rect(Along, Height() - near - Thickness, Along + Length, Height() - near);
    case tpLeft:
      return Rect(near, Along, near + Thickness, Along + Length);
    case tpRight:
      return Rect(Width() - near - Thickness, Along, Width() - near, Along + Length);
  }
  return {};
}

// Tabs fill a row while they fit; every row holds at least one.
std::vector<std::vector<int>> TExPageControl::BreakIntoRows(const std::vector<int>& Lengths,
                                                            int Room) const {
  std::vector<std::vector<int>> rows;
  int used = 0;
  for (int tab = 0; tab < static_cast<int>(Lengths.size()); ++tab) {
    if (rows.empty() || (used + Lengths[tab] > Room && !rows.back().empty())) {
      rows.emplace_back();
      used = 0;
    }
    rows.back().push_back(tab);
    used += Lengths[tab];
  }
  return rows;
}

void TExPageControl::LayOut(bool KeepActiveInSight) {
  const int count = static_cast<int>(tabs_.size());
  tab_rects_.assign(count, TRect{});
  tab_opposite_.assign(count, false);
  opposite_rows_ = 0;
  const int thickness = RowThickness();
  const int room = RowRoom();
  const bool across = tab_position_ == tpTop || tab_position_ == tpBottom;
  std::vector<int> lengths;
  for (const TTabEntry& tab : tabs_)
    lengths.push_back(tab_width_ > 0 ? tab_width_ : TabWidthFor(tab.text));
  const int active = active_page_ ? active_page_->TabIndex() : -1;
  int total = 0;
  for (int length : lengths) total += length;
  scrolling_ = false;
  if (multi_line_) {
    first_shown_tab_ = 0;
    std::vector<std::vector<int>> rows = BreakIntoRows(lengths, room);
    row_count_ = static_cast<int>(rows.size());
    // The row of the active tab goes next to the page; the rows after it follow on
    // towards the edge and the ones before it come round behind them.
    int activeRow = 0;
    for (int r = 0; r < row_count_; ++r)
      if (std::find(rows[r].begin(), rows[r].end(), active) != rows[r].end()) activeRow = r;
    // With ScrollOpposite the rows before it go to the other edge instead, the row just
    // before it next to the page there.
    if (scroll_opposite_) opposite_rows_ = activeRow;
    for (int r = 0; r < row_count_; ++r) {
      const bool opposite = r < opposite_rows_;
      int slot = row_count_ - 1 - (r - activeRow + row_count_) % row_count_;
      if (scroll_opposite_) slot = opposite ? r : row_count_ - 1 - r;
      int used = 0;
      for (int tab : rows[r]) used += lengths[tab];
      const int spare = ragged_right_ || row_count_ == 1 ? 0 : std::max(room - used, 0);
      int along = kRowInset;
      const int n = static_cast<int>(rows[r].size());
      for (int k = 0; k < n; ++k) {
        const int tab = rows[r][k];
        // The spare room is shared out, the first tabs taking the odd pixels.
        const int length = lengths[tab] + spare / n + (k < spare % n ? 1 : 0);
        tab_rects_[tab] = PlaceTab(along, length, slot, thickness, opposite);
        tab_opposite_[tab] = opposite;
        along += length;
      }
    }
  } else {
    row_count_ = count > 0 ? 1 : 0;
    scrolling_ = across && total > room;
    if (!scrolling_) {
      first_shown_tab_ = 0;
    } else {
      // Keep the active tab in sight, left of the arrows.
      const int shown = room - kArrowCorner;
      first_shown_tab_ = std::clamp(first_shown_tab_, 0, std::max(count - 1, 0));
      if (KeepActiveInSight && active >= 0 && active < first_shown_tab_) first_shown_tab_ = active;
      auto fits = [&] {
        int length = 0;
        for (int tab = first_shown_tab_; tab <= active; ++tab) length += lengths[tab];
        return length <= shown;
      };
      while (KeepActiveInSight && active >= 0 && first_shown_tab_ < active && !fits())
        ++first_shown_tab_;
    }
    int along = kRowInset;
    for (int tab = first_shown_tab_; tab < count; ++tab) {
      tab_rects_[tab] = PlaceTab(along, lengths[tab], 0, thickness);
      along += lengths[tab];
    }
  }
  Realign();
  Invalidate();
}

TRect TExPageControl::ScrollArrowRect(bool Forward) const {
  if (!scrolling_) return {};
  const int right = Width() - kRowInset;
  const TRect row = PlaceTab(right - kArrowCorner, kArrowCorner, 0, RowThickness());
  const int left = right - (Forward ? kArrowButton : 2 * kArrowButton);
  return Rect(left, row.Top, left + kArrowButton, row.Bottom);
}

void TExPageControl::ScrollTabs(int Delta) {
  const int first = std::clamp(first_shown_tab_ + Delta, 0, std::max(0, int(tabs_.size()) - 1));
  if (first == first_shown_tab_) return;
  // Forward only while tabs still run under the arrows.
  if (Delta > 0 && !tab_rects_.empty() &&
      tab_rects_.back().Right <= Width() - kRowInset - kArrowCorner)
    return;
  first_shown_tab_ = first;
  LayOut(false);
}

int TExPageControl::TabImageIndex(int PageIndex) const {
  const TExTabSheet* page = Pages(PageIndex);
  if (!page) return -1;
  int image = page->image_index_;
  if (OnGetImageIndex && page->TabIndex() >= 0)
    OnGetImageIndex(const_cast<TExPageControl*>(this), page->TabIndex(), image);
  return image;
}

TRect TExPageControl::TabRect(int PageIndex) const {
  const TExTabSheet* page = Pages(PageIndex);
  const int tab = page ? page->TabIndex() : -1;
  if (tab < 0 || tab >= static_cast<int>(tab_rects_.size())) return {};
  return tab_rects_[tab];
}

int TExPageControl::PageAtPos(int X, int Y) const {
  if (scrolling_ && Rect(ScrollArrowRect(false).Left, ScrollArrowRect(false).Top,
                         ScrollArrowRect(true).Right, ScrollArrowRect(true).Bottom)
                        .Contains({X, Y}))
    return -1;
  for (std::size_t n = 0; n < tab_rects_.size(); ++n)
    if (tab_rects_[n].Contains({X, Y})) return tabs_[n].sheet->PageIndex();
  return -1;
}

TRect TExPageControl::DisplayRect() const {
  const int thickness = RowThickness();
  const int row = tabs_.empty() ? 0 : thickness * std::max(row_count_ - opposite_rows_, 1);
  const int edge = kRowInset + row;
  // Rows gone round to the other edge take their room there.
  const int far = kPageInset + (opposite_rows_ > 0 ? kRowInset + thickness * opposite_rows_ : 0);
  switch (tab_position_) {
    case tpTop:
      return Rect(kPageInset, edge + kPageInset, Width() - kPageInset, Height() - far);
    case tpBottom:
      return Rect(kPageInset, far, Width() - kPageInset, Height() - edge - kPageInset);
    case tpLeft:
      return Rect(edge + kPageInset, kPageInset, Width() - far, Height() - kPageInset);
    case tpRight:
      return Rect(far, kPageInset, Width() - edge - kPageInset, Height() - kPageInset);
  }
  return ClientRect();
}

bool TExPageControl::TabAtOppositeEdge(int PageIndex) const {
  const TExTabSheet* page = Pages(PageIndex);
  const int tab = page ? page->TabIndex() : -1;
  return tab >= 0 && tab < static_cast<int>(tab_opposite_.size()) && tab_opposite_[tab];
}

void TExPageControl::AlignControls(TRect& Area) {
  Area = DisplayRect();
  TCustomControl::AlignControls(Area);
}

void TExPageControl::BoundsChanged(const TRect& OldBounds) {
  TCustomControl::BoundsChanged(OldBounds);
  LayOut();
}

void TExPageControl::FontChanged() {
  TCustomControl::FontChanged();
  LayOut();
}

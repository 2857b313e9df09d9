#include "richtext_edit/print/paginator.h"

#include <algorithm>

#include "richtext/model/multi_draw_item.h"
#include "richtext_edit/print/printable_data.h"

namespace {

constexpr const char* kPartTooTall =
    "A table row or picture is taller than the page: it is printed cut off";
constexpr const char* kLineTooTall =
    "A line that cannot be cut is taller than the page: it is printed cut off";

}  // namespace

TRDPager::TRDPager(TCustomPrintableRDData& data, int first, int last)
    : data_(data), d_(first), end_(last) {
  data_.Pages.Clear();
  for (int d = first; d <= last; ++d) {
    const TRDDrawLineInfo& line = *data_.DrawItems[d];
    bottom_ = std::max(bottom_, line.Top + line.Height + line.ExtraSpaceBelow);
  }
  // Page 1 starts with the first line (the top of the document unless only the
  // selection is printed).
  TRDPageInfo& page = data_.Pages.Add();
  page.StartDrawItemNo = first;
  page.StartY = page.StartY2 = first <= last ? LineTop(first) : 0;
}

int TRDPager::Count() const {
  return data_.Pages.Count();
}

int TRDPager::StartY() const {
  return data_.Pages.Page(Count()).StartY;
}

int TRDPager::LineTop(int d) const {
  while (d > 0 && !data_.DrawItems[d]->FromNewLine) --d;
  return data_.DrawItems[d]->Top;
}

// The first draw line of an item that starts a paragraph with a page break before it.
bool TRDPager::ForcesPageBreak(int d) const {
  const TRDDrawLineInfo& line = *data_.DrawItems[d];
  if (!line.FromNewLine || (d > 0 && data_.DrawItems[d - 1]->ItemNo == line.ItemNo)) return false;
  return data_.IsParaStart(line.ItemNo) && data_.IsPageBreakBefore(line.ItemNo);
}

void TRDPager::Warn(const char* text) {
  if (Warnings.empty() || Warnings.back() != text) Warnings.emplace_back(text);
}

bool TRDPager::NextPage(int room) {
  used_ = 0;
  if (ended_) return false;
  room = std::max(1, room);
  if (cut_) {
    if (Cut(room, room)) return true;
    ++d_;  // a cut line is a screen line of its own
  }
  while (d_ <= end_) {
    const int start = data_.Pages.Page(Count()).StartDrawItemNo;
    int last = d_;
    while (last + 1 <= end_ && !data_.DrawItems[last + 1]->FromNewLine) ++last;
    int top = data_.DrawItems[d_]->Top, bottom = top;
    for (int k = d_; k <= last; ++k) {
      const TRDDrawLineInfo& line = *data_.DrawItems[k];
      top = std::min(top, line.Top);
      bottom = std::max(bottom, line.Top + line.Height + line.ExtraSpaceBelow);
    }
    if (d_ != start && ForcesPageBreak(d_)) return Break(d_, top);
    auto* multi = d_ == last ? dynamic_cast<TRDMultiDrawItemInfo*>(data_.DrawItems[d_]) : nullptr;
    if (multi && multi->InitSplit()) {
      const int avail = StartY() + room - multi->Top;
      if (multi->Height > avail && d_ != start && !multi->CanSplitFirst(avail))
        return Break(d_, multi->Top);
      cut_ = multi;
      if (Cut(avail, room)) return true;
    } else if (bottom - StartY() > room) {
      if (d_ != start) return Break(d_, top);
      Warn(kLineTooTall);
    }
    d_ = last + 1;
  }
  ended_ = true;
  used_ = std::max(0, bottom_ - StartY());
  return false;
}

bool TRDPager::Break(int d, int top) {
  used_ = top - StartY();
  TRDPageInfo& page = data_.Pages.Add();
  page.StartDrawItemNo = d;
  page.StartY = page.StartY2 = top;
  return true;
}

bool TRDPager::Cut(int avail, int room) {
  TRDMultiDrawItemInfo& line = *cut_;
  const bool more = line.SplitAt(avail);
  const TRDPageInfo page = data_.Pages.Page(Count());
  const bool continued = page.StartDrawItemNo == d_ && page.StartPart > 1;
  // The part on this page is final now: a page that goes on with it starts where it
  // would stand were the parts printed one under the other.
  const int height = line.PartsList.Get(continued ? page.StartPart - 1 : 0)->Height;
  if (continued) data_.Pages.Page(Count()).StartY = line.Top + line.Height - height;
  if (!line.SplitRefusal.empty())
    Warn(line.SplitRefusal.c_str());
  else if (height > room)
    Warn(kPartTooTall);
  if (!more) {
    cut_ = nullptr;
    return false;
  }
  used_ = continued ? height : line.Top - page.StartY + height;
  // The next page goes on with the rest, which the lines after the line follow; its cut
  // lies below the parts printed before.
  TRDPageInfo& next = data_.Pages.Add();
  next.StartDrawItemNo = d_;
  next.StartPart = line.PartsList.Count();
  next.StartY = line.Top + line.Height - line.PartsList.Get(line.PartsList.Count() - 1)->Height;
  next.StartY2 = (continued ? page.StartY2 : line.Top) + height;
  return true;
}

int TRDPager::Rest() const {
  return ended_ ? 0 : std::max(0, bottom_ - StartY());
}

std::vector<std::string> Paginate(TCustomMainPtblRDData& data) {
  int first, end;
  data.GetPrintedDrawItemRange(first, end);
  TRDPager pager(data, first, end);
  for (int d = first; d <= end; ++d)
    if (const auto* line = dynamic_cast<const TRDMultiDrawItemInfo*>(data.DrawItems[d]);
        line && !line->LayoutWarning.empty())
      pager.Warn(line->LayoutWarning.c_str());
  while (pager.NextPage(data.ContentHeight(data.Pages.Count()))) {
  }
  return std::move(pager.Warnings);
}

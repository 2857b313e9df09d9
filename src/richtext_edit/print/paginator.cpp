#include "richtext_edit/print/paginator.h"

#include <algorithm>

#include "richtext/multi_draw_item.h"
#include "richtext_edit/print/printable_data.h"

namespace {

constexpr const char* kPartTooTall =
    "A table row or picture is taller than the page: it is printed cut off";

// A cut line whose part (a single row or picture slice) overruns a whole page.
bool HasPartTallerThan(const TRDMultiDrawItemInfo& line, int room) {
  for (int p = 0; p < line.PartsList.Count(); ++p)
    if (line.PartsList.Get(p)->Height > room) return true;
  return false;
}

class TPagination {
 public:
  explicit TPagination(TCustomMainPtblRDData& data) : data_(data) {}

  std::vector<std::string> Run() {
    data_.Pages.Clear();
    int first, end;
    data_.GetPrintedDrawItemRange(first, end);
    // Page 1 starts with the first printed line (the top of the document unless only
    // the selection is printed).
    NewPage(first, first <= end ? LineTop(first) : 0);
    for (int d = first; d <= end;) {
      int last = d;
      while (last + 1 <= end && !data_.DrawItems[last + 1]->FromNewLine) ++last;
      int top = data_.DrawItems[d]->Top, bottom = top;
      for (int k = d; k <= last; ++k) {
        const TRDDrawLineInfo& line = *data_.DrawItems[k];
        top = std::min(top, line.Top);
        bottom = std::max(bottom, line.Top + line.Height + line.ExtraSpaceBelow);
      }
      if (d != Current().StartDrawItemNo && ForcesPageBreak(d)) NewPage(d, top);
      auto* multi = dynamic_cast<TRDMultiDrawItemInfo*>(data_.DrawItems[d]);
      if (d == last && multi && multi->InitSplit()) {
        Cut(d, *multi);
      } else if (bottom - Current().StartY > Room() && d != Current().StartDrawItemNo) {
        NewPage(d, top);
      }
      d = last + 1;
    }
    return std::move(warnings_);
  }

 private:
  TRDPageInfo& Current() { return data_.Pages.Page(data_.Pages.Count()); }
  // The height the current page gives the document.
  int Room() const { return std::max(1, data_.ContentHeight(data_.Pages.Count())); }

  int LineTop(int d) const {
    while (d > 0 && !data_.DrawItems[d]->FromNewLine) --d;
    return data_.DrawItems[d]->Top;
  }

  void NewPage(int d, int y) {
    TRDPageInfo& page = data_.Pages.Add();
    page.StartDrawItemNo = d;
    page.StartY = page.StartY2 = y;
  }

  // The first draw line of an item that starts a paragraph with a page break before it.
  bool ForcesPageBreak(int d) const {
    const TRDDrawLineInfo& line = *data_.DrawItems[d];
    if (!line.FromNewLine || (d > 0 && data_.DrawItems[d - 1]->ItemNo == line.ItemNo))
      return false;
    return data_.IsParaStart(line.ItemNo) && data_.IsPageBreakBefore(line.ItemNo);
  }

  void Cut(int d, TRDMultiDrawItemInfo& line) {
    int avail = Current().StartY + Room() - line.Top;
    if (line.Height > avail && d != Current().StartDrawItemNo && !line.CanSplitFirst(avail)) {
      NewPage(d, line.Top);
      avail = Room();
    }
    const int firstNewPage = data_.Pages.Count() + 1;
    while (line.SplitAt(avail)) {
      TRDPageInfo& page = data_.Pages.Add();
      page.StartDrawItemNo = d;
      page.StartPart = line.PartsList.Count();
      avail = Room();
    }
    if (!line.SplitRefusal.empty())
      warnings_.push_back(line.SplitRefusal);
    else if (HasPartTallerThan(line, Room()))
      warnings_.push_back(kPartTooTall);
    // The parts are final now: each continued page starts where its part would stand,
    // and its cut lies below the parts printed before.
    int cut = line.Top;
    for (int p = firstNewPage; p <= data_.Pages.Count(); ++p) {
      TRDPageInfo& page = data_.Pages.Page(p);
      cut += line.PartsList.Get(page.StartPart - 2)->Height;
      page.StartY = line.Top + line.Height - line.PartsList.Get(page.StartPart - 1)->Height;
      page.StartY2 = cut;
    }
  }

  TCustomMainPtblRDData& data_;
  std::vector<std::string> warnings_;
};

}  // namespace

std::vector<std::string> Paginate(TCustomMainPtblRDData& data) {
  return TPagination(data).Run();
}

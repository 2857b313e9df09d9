#include "richtext_edit/print/paginator.h"

#include <algorithm>

#include "richtext/multi_draw_item.h"
#include "richtext_edit/print/printable_data.h"

namespace {

class TPagination {
 public:
  explicit TPagination(TCustomMainPtblRDData& data)
      : data_(data), room_(std::max(1, data.ContentHeight())) {}

  std::vector<std::string> Run() {
    data_.Pages.Clear();
    data_.Pages.Add();  // page 1 starts at the top of the document
    const int count = data_.DrawItems.Count();
    for (int d = 0; d < count;) {
      int last = d;
      while (last + 1 < count && !data_.DrawItems[last + 1]->FromNewLine) ++last;
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
      } else if (bottom - Current().StartY > room_ && d != Current().StartDrawItemNo) {
        NewPage(d, top);
      }
      d = last + 1;
    }
    return std::move(warnings_);
  }

 private:
  TRDPageInfo& Current() { return data_.Pages.Page(data_.Pages.Count()); }

  void NewPage(int d, int y) {
    TRDPageInfo& page = data_.Pages.Add();
    page.StartDrawItemNo = d;
    page.StartY = y;
  }

  // The first draw line of an item that starts a paragraph with a page break before it.
  bool ForcesPageBreak(int d) const {
    const TRDDrawLineInfo& line = *data_.DrawItems[d];
    if (!line.FromNewLine || (d > 0 && data_.DrawItems[d - 1]->ItemNo == line.ItemNo))
      return false;
    return data_.IsParaStart(line.ItemNo) && data_.IsPageBreakBefore(line.ItemNo);
  }

  void Cut(int d, TRDMultiDrawItemInfo& line) {
    int avail = Current().StartY + room_ - line.Top;
    if (line.Height > avail && d != Current().StartDrawItemNo && !line.CanSplitFirst(avail)) {
      NewPage(d, line.Top);
      avail = room_;
    }
    const int firstNewPage = data_.Pages.Count() + 1;
    while (line.SplitAt(avail)) {
      TRDPageInfo& page = data_.Pages.Add();
      page.StartDrawItemNo = d;
      page.StartPart = line.PartsList.Count();
      avail = room_;
    }
    if (!line.SplitRefusal.empty()) warnings_.push_back(line.SplitRefusal);
    // The parts are final now: each continued page starts where its part would stand.
    for (int p = firstNewPage; p <= data_.Pages.Count(); ++p) {
      TRDPageInfo& page = data_.Pages.Page(p);
      page.StartY =
          line.Top + line.Height - line.PartsList.Get(page.StartPart - 1)->Height;
    }
  }

  TCustomMainPtblRDData& data_;
  const int room_;
  std::vector<std::string> warnings_;
};

}  // namespace

std::vector<std::string> Paginate(TCustomMainPtblRDData& data) {
  return TPagination(data).Run();
}

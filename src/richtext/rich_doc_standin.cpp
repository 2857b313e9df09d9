#include "richtext/rich_doc_standin.h"

#include <algorithm>

#include "richtext/para_style.h"
#include "richtext/rd_style.h"
#include "richtext/text_style.h"

TRichDoc::TRichDoc(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clWindow);
}

TRichDoc::~TRichDoc() = default;

void TRichDoc::AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo) {
  items_.push_back({Text, {StyleNo, ParaNo, false}});
}

void TRichDoc::AddTextContinued(const std::string& Text, int StyleNo) {
  // A run continues the paragraph of the run before it; the first run starts one.
  const int para = items_.empty() ? 0 : items_.back().Info.ParaNo;
  items_.push_back({Text, {StyleNo, para, !items_.empty()}});
}

std::string TRichDoc::ReadItemText(int ItemNo) const {
  return ItemNo >= 0 && ItemNo < ItemCount() ? items_[ItemNo].Text : std::string();
}

void TRichDoc::ReplaceItemText(int ItemNo, const std::string& Text) {
  if (ItemNo >= 0 && ItemNo < ItemCount()) items_[ItemNo].Text = Text;
}

TRichDocItemInfo* TRichDoc::GetItemInfo(int ItemNo) {
  return ItemNo >= 0 && ItemNo < ItemCount() ? &items_[ItemNo].Info : nullptr;
}

void TRichDoc::FormatDocument() {
  scroll_pos_ = std::clamp(scroll_pos_, 0, GetVScrollMax());
  Invalidate();
}

void TRichDoc::ClearDocument() {
  items_.clear();
  scroll_pos_ = 0;
  Invalidate();
}

int TRichDoc::LineCount() const {
  return static_cast<int>(std::count_if(
      items_.begin(), items_.end(), [](const TItem& item) { return !item.Info.ContinuesPara; }));
}

int TRichDoc::GetVScrollMax() const {
  const int page = std::max(1, Height() / LineHeight());
  return std::max(0, LineCount() - page);
}

void TRichDoc::SetVScrollPos(int Value) {
  scroll_pos_ = std::clamp(Value, 0, GetVScrollMax());
  Invalidate();
}

void TRichDoc::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
  int line = -1;
  int x = 0;
  for (const TItem& item : items_) {
    if (!item.Info.ContinuesPara) {
      ++line;
      x = 2;
      const int top = (line - scroll_pos_) * LineHeight();
      TColor back = Color();
      if (Style && item.Info.ParaNo >= 0 && item.Info.ParaNo < Style->ParaStyles().Count())
        back = Style->ParaStyles()[item.Info.ParaNo].Background.Color;
      canvas.Brush().SetColor(back == clNone ? Color() : back);
      canvas.FillRect(Rect(0, top, Width(), top + LineHeight()));
    }
    const int top = (line - scroll_pos_) * LineHeight();
    if (top < 0 || top >= Height()) continue;
    canvas.Font().Assign(Font());
    if (Style && item.Info.StyleNo >= 0 && item.Info.StyleNo < Style->TextStyles().Count()) {
      const TFontInfo& style = Style->TextStyles()[item.Info.StyleNo];
      canvas.Font().SetName(style.FontName);
      canvas.Font().SetSize(style.Size);
      canvas.Font().SetColor(style.Color);
      canvas.Font().SetStyle(style.Style);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(x, top + 1, item.Text);
    canvas.Brush().SetStyle(bsSolid);
    x += canvas.TextWidth(item.Text);
  }
}

#include "richtext_edit/print/printable_data.h"

#include <algorithm>
#include <climits>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/picture_routines.h"
#include "richtext/base/rd_colors.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/multi_draw_item.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext_edit/print/table_print.h"

namespace {

// The marks formatting leaves on items: printing formats the items of a document that is
// shown, whose layout must find its marks again afterwards.
class TItemMarksKeeper {
 public:
  explicit TItemMarksKeeper(TCustomRDData& data) : data_(data) {
    marks_.reserve(size_t(data.GetItemCount()));
    for (int i = 0; i < data.GetItemCount(); ++i) {
      const TCustomRDItemInfo* item = data.GetItem(i);
      marks_.push_back({item->DrawItemNo, item->JumpID});
    }
  }
  ~TItemMarksKeeper() {
    const int count = std::min(data_.GetItemCount(), int(marks_.size()));
    for (int i = 0; i < count; ++i) {
      TCustomRDItemInfo* item = data_.GetItem(i);
      item->DrawItemNo = marks_[size_t(i)].first;
      item->JumpID = marks_[size_t(i)].second;
    }
  }
  TItemMarksKeeper(const TItemMarksKeeper&) = delete;
  TItemMarksKeeper& operator=(const TItemMarksKeeper&) = delete;

 private:
  TCustomRDData& data_;
  std::vector<std::pair<int, int>> marks_;
};

}  // namespace

// --- the base ---------------------------------------------------------------------------------

TCustomPrintableRDData::TCustomPrintableRDData(TCustomRDData& source) : source_(source) {
  ShareItemsFrom(source);
  // Nothing on paper is clicked: the items keep the jump numbers of the screen.
  SetFlags(std::uint16_t(GetFlags() & ~rdfCollectJumps));
}

TCustomPrintableRDData::~TCustomPrintableRDData() {
  // The draw lines only: the items go back to their document untouched.
  DrawItems.Clear();
  Items.Unshare();
}

TRDOptions TCustomPrintableRDData::GetOptions() const {
  return source_.GetOptions();
}

TRDStyle* TCustomPrintableRDData::GetRDStyle() const {
  return source_.GetRDStyle();
}

TRDBiDiMode TCustomPrintableRDData::GetBiDiMode() const {
  return source_.GetBiDiMode();
}

std::string TCustomPrintableRDData::GetDelimiters() const {
  return source_.GetDelimiters();
}

void TCustomPrintableRDData::FormatItems(bool keepPosition, bool force, bool noRestore, int depth,
                                         TRDCanvas* canvas, bool formatTail, bool passThrough1,
                                         bool passThrough2) {
  TItemMarksKeeper keeper(*this);
  struct TFormatting {
    bool& flag;
    explicit TFormatting(bool& f) : flag(f) { flag = true; }
    ~TFormatting() { flag = false; }
  } formatting(formatting_);
  TCustomRDFormattedData::FormatItems(keepPosition, force, noRestore, depth, canvas, formatTail,
                                      passThrough1, passThrough2);
}

void TCustomPrintableRDData::ClearFormatting() {
  // Inside the layout the screen's first draw lines would stand for the paper's: they
  // come back when the layout ends.
  if (formatting_) return TCustomRDFormattedData::ClearFormatting();
  TItemMarksKeeper keeper(*this);
  TCustomRDFormattedData::ClearFormatting();
}

void TCustomPrintableRDData::Clear() {
  Deselect(false);
  ClearFormatting();
}

void TCustomPrintableRDData::GetDrawItemsRange(int pageNo, int& startNo, int& startPart,
                                               int& endNo) const {
  startNo = 0;
  startPart = -1;
  endNo = DrawItems.Count() - 1;
  if (Pages.Count() == 0) return;
  const TRDPageInfo& page = Pages.Page(pageNo);
  startNo = page.StartDrawItemNo;
  if (page.StartPart > 1) startPart = page.StartPart - 1;
  if (pageNo < Pages.Count()) {
    const TRDPageInfo& next = Pages.Page(pageNo + 1);
    endNo = next.StartDrawItemNo - 1;
    if (next.StartPart > 1) ++endNo;
  }
}

void TCustomPrintableRDData::CheckPageNo(int) const {}

void TCustomPrintableRDData::DrawPage(int pageNo, TRDCanvas& canvas, bool correction) {
  TRDStyle* style = GetRDStyle();
  if (!style) throw ERichDocError("Style of printable TRichDoc component is not assigned");
  DrawingPageNo = pageNo;
  TRDResolution scaling;
  GetDeviceScaling(canvas, scaling);
  int startNo, startPart, endNo;
  GetDrawItemsRange(pageNo, startNo, startPart, endNo);
  const int pageTop = GetPageTop(pageNo);
  canvas.BrushStyle = bsClear;

  // The page's background (a table cell's is its own, drawn by the table): a picture is
  // painted at screen size and stretched over the page, and kept for what lies behind
  // items printed through bitmaps.
  const TColor back = ConvertBackColor(GetBackgroundColor(), GetColorMode());
  TRDBackground* background = GetBackground();
  if (background && background->HasVisibleImage()) {
    BackgroundBitmap = std::make_unique<TBitmap>();
    const int w = std::max(1, ScaleByRatioX(GetWidth(), scaling));
    const int h = std::max(1, ScaleByRatioY(GetHeight(), scaling));
    BackgroundBitmap->SetSize(w, h);
    TRDPlatformCanvas page(BackgroundBitmap->Canvas());
    background->Draw(page, Rect(0, 0, w, h), 0, 0, 0, 0, w, h, back == clNone ? clWhite : back,
                     true);
    DrawGraphicScaled(canvas, 0, 0, w, h, scaling, *BackgroundBitmap, true);
  } else if (!NoBackgroundFill && back != clNone && dynamic_cast<TCustomMainPtblRDData*>(this)) {
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = back;
    canvas.FillRect(Rect(0, 0, GetWidth(), GetHeight()));
  }
  canvas.BrushStyle = bsClear;

  TBitmap work;
  int part = startPart;
  for (int d = std::max(startNo, 0); d <= endNo && d < DrawItems.Count(); ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    CurrentDrawItem = &line;
    const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
    const bool paraStart = line.FromNewLine && IsParaStart(line.ItemNo) &&
                           (d == 0 || DrawItems[d - 1]->ItemNo != line.ItemNo);
    if (d == startNo || paraStart) {
      int last = d;
      while (last + 1 <= endNo && last + 1 < DrawItems.Count()) {
        const TRDDrawLineInfo& next = *DrawItems[last + 1];
        if (next.FromNewLine && IsParaStart(next.ItemNo) && next.ItemNo != DrawItems[last]->ItemNo)
          break;
        ++last;
      }
      DrawParaBackground(canvas, d, last, pageNo, pageTop, scaling);
    }
    if (item.Checkpoint && (GetOptions() & rdoShowCheckpoints) &&
        (d == 0 || DrawItems[d - 1]->ItemNo != line.ItemNo))
      style->DrawCheckpoint(canvas, line.Left + GetPrintableLeft(), line.Top - pageTop,
                            GetPrintableLeft(), GetWidth(), this, line.ItemNo, 0,
                            item.Checkpoint->RaiseEvent);
    if (item.StyleNo >= 0)
      DrawTextLine(canvas, d, pageTop, correction, scaling);
    else
      DrawNonTextLine(canvas, d, part, pageNo, pageTop, scaling, work);
    part = -1;
  }
  CurrentDrawItem = nullptr;
  BackgroundBitmap.reset();
}

void TCustomPrintableRDData::DrawParaBackground(TRDCanvas& canvas, int first, int last, int pageNo,
                                                int pageTop, const TRDResolution& scaling) {
  TRDStyle& style = *GetRDStyle();
  const int paraNo = GetItem(DrawItems[first]->ItemNo)->ParaNo;
  const TParaInfo& para = style.ParaStyles()[paraNo];
  if (para.Border.Style == rdbNone && para.Background.Color == clNone && !style.OnDrawParaBack)
    return;
  TRect r;
  r.Left =
      ScreenToDeviceX(GetLeftMargin() + para.LeftIndent + std::min(0, para.FirstIndent), scaling);
  r.Right = GetWidth() - ScreenToDeviceX(GetRightMargin() + para.RightIndent, scaling);
  int startNo, startPart, endNo;
  GetDrawItemsRange(pageNo, startNo, startPart, endNo);
  const bool continued = first == startNo && startPart > 0;
  r.Top = continued ? GetPageContentStart(pageNo) : DrawItems[first]->Top;
  r.Bottom = INT_MIN;
  for (int d = first; d <= last; ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    int bottom = line.Top + line.Height + line.ExtraSpaceBelow;
    // A cut line at the end of the page reaches down by its part on this page only.
    if (auto* multi = dynamic_cast<const TRDMultiDrawItemInfo*>(&line);
        multi && multi->PartsList.Count() > 0) {
      const int index = d == startNo && startPart >= 0 ? startPart : 0;
      if (index < multi->PartsList.Count())
        bottom = (d == first ? r.Top : line.Top) + multi->PartsList.Get(index)->Height;
    }
    r.Right = std::max(r.Right, line.Left + line.Width);
    r.Bottom = std::max(r.Bottom, bottom);
  }
  const int left = GetPrintableLeft();
  r = Rect(r.Left + left, r.Top - pageTop, r.Right + left, r.Bottom - pageTop);
  style.DrawParaBack(canvas, paraNo, r, true, GetColorMode());
  para.Border.Draw(r, canvas, GetColorMode(), scaling);
}

void TCustomPrintableRDData::DrawTextLine(TRDCanvas& canvas, int d, int pageTop, bool correction,
                                          const TRDResolution& scaling) {
  TRDStyle& style = *GetRDStyle();
  const TRDDrawLineInfo& line = *DrawItems[d];
  const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
  const int styleNo = GetActualStyle(item);
  const TRDBiDiMode bidi = GetParaBiDiMode(item.ParaNo);
  style.ApplyStyleColor(canvas, styleNo, 0, true, GetColorMode());
  ApplyStyleAtScale(canvas, styleNo, bidi, scaling);
  const int left = line.Left + GetPrintableLeft();
  const int top = line.Top - pageTop;
  if (style.OnDrawTextBack)
    style.DrawTextBack(canvas, line.ItemNo, styleNo, this, left, top, line.Width, line.Height, 0);
  const bool nextWraps =
      d + 1 < DrawItems.Count() && DrawItems[d + 1]->FromNewLine &&
      (DrawItems[d + 1]->ItemNo == line.ItemNo || !IsItemLineStart(DrawItems[d + 1]->ItemNo));
  const TRDDrawItemDirection direction(canvas, line);
  style.DrawStyleText(DisplayTextOf(d, nextWraps), canvas, line.ItemNo, line.Offs, styleNo, this,
                      line.TextIndent(), left, top, line.Width, line.Height, 0, true, correction,
                      GetColorMode(), bidi);
  canvas.CharacterExtra = 0;
}

void TCustomPrintableRDData::DrawNonTextLine(TRDCanvas& canvas, int d, int part, int pageNo,
                                             int pageTop, const TRDResolution& scaling,
                                             TBitmap& work) {
  TRDStyle& style = *GetRDStyle();
  const TRDDrawLineInfo& line = *DrawItems[d];
  const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
  auto* multi = dynamic_cast<const TRDMultiDrawItemInfo*>(&line);
  const bool cut = multi && multi->PartsList.Count() > 0;
  const int partIndex = cut ? std::max(part, 0) : -1;
  ItemTop = part > 0 ? GetPageContentStart(pageNo) - pageTop : line.Top - pageTop;
  if (multi) multi->PrintedPart = partIndex;
  const int x = line.Left + GetPrintableLeft();
  if (!item.QueryItemFlagEx(0, &style)) {
    const int right = item.IsFullLine() ? GetWidth() - ScreenToDeviceX(GetRightMargin(), scaling) +
                                              GetPrintableLeft()
                                        : x + line.Width;
    item.Print(canvas, x, ItemTop, right, GetColorMode(), scaling, style, &line);
    return;
  }
  // Through a bitmap at screen resolution, stretched onto the page: of the part of the item
  // that the page shows, so that an item far larger than the page costs what the page does.
  const int height = cut ? multi->PartsList.Get(partIndex)->Height : line.Height;
  const TRect box = Bounds(x, ItemTop, line.Width, height);
  const TRect shown = Intersection(box, canvas.VisibleRect());
  if (shown.Width() <= 0 || shown.Height() <= 0) return;
  work.SetSize(std::max(1, ScaleByRatioX(shown.Width(), scaling)),
               std::max(1, ScaleByRatioY(shown.Height(), scaling)));
  const TRect itemInBitmap = Bounds(
      ScaleByRatioX(x - shown.Left, scaling), ScaleByRatioY(ItemTop - shown.Top, scaling),
      std::max(1, ScaleByRatioX(line.Width, scaling)), std::max(1, ScaleByRatioY(height, scaling)));
  DrawBackToBitmap(shown.Left, shown.Top, &item, work);
  if (!item.PrintToBitmap(work, itemInBitmap, false, &line, partIndex, GetColorMode(), style))
    return;
  canvas.StretchDraw(shown, work);
}

const TRDResolution& TCustomPrintableRDData::PrintScaling() {
  GetDeviceScaling(GetCanvas(), scaling_);
  return scaling_;
}

bool TCustomPrintableRDData::FillWithParaColor(const TCustomRDItemInfo* item, TBitmap& bitmap) {
  const TColor color = item ? GetRDStyle()->ParaStyles()[item->ParaNo].Background.Color : clNone;
  if (color == clNone) return false;
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(ConvertBackColor(color, GetColorMode()));
  c.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
  return true;
}

void TCustomPrintableRDData::DrawBackToBitmap(int x, int y, const TCustomRDItemInfo* item,
                                              TBitmap& bitmap) {
  if (!FillWithParaColor(item, bitmap)) {
    TCanvas& c = bitmap.Canvas();
    if (BackgroundBitmap) {
      const TRDResolution& scaling = PrintScaling();
      const TRect at = Bounds(ScaleByRatioX(x, scaling), ScaleByRatioY(y, scaling), bitmap.Width(),
                              bitmap.Height());
      c.CopyRect(Rect(0, 0, bitmap.Width(), bitmap.Height()), BackgroundBitmap->Canvas(), at);
    } else {
      const TColor color = GetBackgroundColor();
      c.Brush().SetStyle(bsSolid);
      c.Brush().SetColor(color == clNone ? clWhite : ConvertBackColor(color, GetColorMode()));
      c.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
    }
  }
  PaintItemBackground(item, x, y, bitmap);
}

void TCustomPrintableRDData::PaintItemBackground(const TCustomRDItemInfo* item, int x, int y,
                                                 TBitmap& bitmap) {
  if (!item || !CurrentDrawItem) return;
  const TRDDrawLineInfo& line = *CurrentDrawItem;
  int height = line.Height;
  if (auto* multi = dynamic_cast<const TRDMultiDrawItemInfo*>(&line);
      multi && multi->PrintedPart >= 0 && multi->PrintedPart < multi->PartsList.Count())
    height = multi->PartsList.Get(multi->PrintedPart)->Height;
  // The item's box on the page, moved into the bitmap.
  TRect box = Bounds(line.Left + GetPrintableLeft() - x, ItemTop - y, line.Width, height);
  ScaleRectToScreen(box, PrintScaling());
  TRDPlatformCanvas canvas(bitmap.Canvas());
  item->PrintBackground(canvas, box, GetColorMode());
}

// --- the main data ----------------------------------------------------------------------------

TCustomMainPtblRDData::TCustomMainPtblRDData(TCustomRDData& source)
    : TCustomPrintableRDData(source) {
  // Tables in the document are laid out and cut over pages by the table printing.
  RegisterTablePrinting();
}

void TCustomMainPtblRDData::PrepareScaling() {
  GetResolutionInfo(Scaling, *PrinterCanvas);
  TmpTMPix = ScreenToDeviceY(TopMarginPix, Scaling);
  TmpBMPix = ScreenToDeviceY(BottomMarginPix, Scaling);
}

TRDCanvas& TCustomMainPtblRDData::GetCanvas() {
  if (!PrinterCanvas) throw ERichDocError("No printer canvas is given for printing");
  return *PrinterCanvas;
}

TRDBackground* TCustomMainPtblRDData::GetBackground() {
  auto* formatted = dynamic_cast<TCustomRDFormattedData*>(&Source());
  return formatted ? formatted->GetBackground() : nullptr;
}

TColor TCustomMainPtblRDData::GetBackgroundColor() const {
  if (Transparent) return clNone;
  if (auto* formatted = dynamic_cast<TCustomRDFormattedData*>(&Source()))
    return formatted->GetBackgroundColor();
  return clWindow;
}

int TCustomMainPtblRDData::GetPageTop(int pageNo) const {
  return Pages.Page(pageNo).StartY - PrintableTop - TmpTMPix - (pageNo == 1 ? FirstPageOffset : 0);
}

int TCustomMainPtblRDData::GetPageTop2(int pageNo) const {
  return Pages.Page(pageNo).StartY2 - PrintableTop - TmpTMPix - (pageNo == 1 ? FirstPageOffset : 0);
}

bool TCustomMainPtblRDData::GetPrintedItemRange(int& startNo, int& endNo) const {
  startNo = endNo = -1;
  if (!PrintSelectionOnly || PrintedSelStart < 0 || PrintedSelEnd < PrintedSelStart) return false;
  startNo = std::min(PrintedSelStart, GetItemCount() - 1);
  endNo = std::min(PrintedSelEnd, GetItemCount() - 1);
  return startNo >= 0;
}

void TCustomMainPtblRDData::GetPrintedDrawItemRange(int& first, int& last) const {
  first = 0;
  last = DrawItems.Count() - 1;
  int startNo, endNo;
  if (!GetPrintedItemRange(startNo, endNo)) return;
  // Draw lines follow their items in order: the first line of the first item and the
  // last line of the last one.
  const auto firstAbove = [this](int itemNo) {
    int lo = 0, hi = DrawItems.Count();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (DrawItems[mid]->ItemNo < itemNo)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  };
  first = firstAbove(startNo);
  last = firstAbove(endNo + 1) - 1;
}

TRDPageOutputRange TCustomMainPtblRDData::GetPageOutputRange() const {
  CheckPageNo(CurPageNo);
  TRDPageOutputRange range;
  GetDrawItemsRange(CurPageNo, range.StartDrawItemNo, range.StartPart, range.EndDrawItemNo);
  if (range.EndDrawItemNo < range.StartDrawItemNo) return range;
  DrawItemToItem(range.StartDrawItemNo, GetDrawItemStartOffset(range.StartDrawItemNo),
                 range.StartItemNo, range.StartOffs);
  DrawItemToItem(range.EndDrawItemNo, GetDrawItemEndOffset(range.EndDrawItemNo), range.EndItemNo,
                 range.EndOffs);
  // The last line goes on on the next page: this page holds its first part, or, when
  // the page holds nothing but a middle part of it, that part.
  if (CurPageNo < Pages.Count()) {
    const TRDPageInfo& next = Pages.Page(CurPageNo + 1);
    if (next.StartPart > 1 && next.StartDrawItemNo == range.EndDrawItemNo)
      range.EndPart = range.EndDrawItemNo == range.StartDrawItemNo && range.StartPart >= 0
                          ? range.StartPart
                          : 0;
  }
  return range;
}

void TCustomMainPtblRDData::GetOutputRange(int& startItem, int& startOffset, int& endItem,
                                           int& endOffset) const {
  if (!PageOutputRange) {
    TCustomPrintableRDData::GetOutputRange(startItem, startOffset, endItem, endOffset);
    return;
  }
  const TRDPageOutputRange range = GetPageOutputRange();
  startItem = range.StartItemNo;
  startOffset = range.StartOffs;
  endItem = range.EndItemNo;
  endOffset = range.EndOffs;
}

const TRDMultiDrawItemPart* TCustomMainPtblRDData::GetOutputPart(int itemNo) const {
  if (!PageOutputRange) return nullptr;
  const TRDPageOutputRange range = GetPageOutputRange();
  const auto partOf = [this](int drawItemNo, int part) -> const TRDMultiDrawItemPart* {
    const auto* line = dynamic_cast<const TRDMultiDrawItemInfo*>(DrawItems[drawItemNo]);
    return line && part >= 0 && part < line->PartsList.Count() ? line->PartsList[part] : nullptr;
  };
  if (itemNo == range.StartItemNo && range.StartPart >= 0)
    return partOf(range.StartDrawItemNo, range.StartPart);
  if (itemNo == range.EndItemNo && range.EndPart >= 0)
    return partOf(range.EndDrawItemNo, range.EndPart);
  return nullptr;
}

void TCustomMainPtblRDData::Clear() {
  TCustomPrintableRDData::Clear();
  PrintedSelStart = PrintedSelEnd = -1;
}

void TCustomMainPtblRDData::GetDrawItemsRange(int pageNo, int& startNo, int& startPart,
                                              int& endNo) const {
  TCustomPrintableRDData::GetDrawItemsRange(pageNo, startNo, startPart, endNo);
  // The last page ends with the last line printed.
  if (Pages.Count() > 0 && pageNo == Pages.Count()) {
    int first;
    GetPrintedDrawItemRange(first, endNo);
  }
}

void TCustomMainPtblRDData::CheckPageNo(int pageNo) const {
  if (pageNo < 1 || pageNo > Pages.Count())
    throw ERichDocError("Invalid page number is specified for printing");
}

void TCustomMainPtblRDData::DrawPage(int pageNo, TRDCanvas& canvas, bool correction) {
  CheckPageNo(pageNo);
  TCustomPrintableRDData::DrawPage(pageNo, canvas, correction);
}

// --- the rectangle data -----------------------------------------------------------------------

namespace {

TCustomMainPtblRDData& MainOf(TCustomPrintableRDData& data) {
  if (auto* main = dynamic_cast<TCustomMainPtblRDData*>(&data)) return *main;
  if (auto* rect = dynamic_cast<TRectPtblRDData*>(&data)) return rect->MainData();
  throw ERichDocError("Internal printing error");
}

}  // namespace

TRectPtblRDData::TRectPtblRDData(TCustomRDData& sourceData, TCustomPrintableRDData& parentPtblData)
    : TCustomPrintableRDData(sourceData),
      SourceData(sourceData),
      ParentPtblData(parentPtblData),
      main_(MainOf(parentPtblData)) {}

void TRectPtblRDData::DrawBackToBitmap(int x, int y, const TCustomRDItemInfo* item,
                                       TBitmap& bitmap) {
  if (!Transparent) {
    TCustomPrintableRDData::DrawBackToBitmap(x, y, item, bitmap);
    return;
  }
  if (!FillWithParaColor(item, bitmap)) ParentPtblData.DrawBackToBitmap(x, y, ParentItem, bitmap);
  PaintItemBackground(item, x, y, bitmap);
}

// One layout pass over the document: the least width its lines need and the widths
// that gives, where the pass starts (a tail format keeps the lines before the last
// paragraph), the document's size handed to the window (with the second pass a scroll
// bar that came or went asks for), and the selection and scroll position kept across it.
#include <algorithm>
#include <vector>

#include "richtext/layout/format_params.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"

// The least width each item line that starts in first..last needs (the first value is
// for the part of a line from first when first does not start one): a no-wrap line's
// whole width, else its widest non-text item or table (a wrapping paragraph breaks a
// long word), at least the indents. One value per line, in order. The text of a no-wrap line is
// measured as the layout measures it (its display text, in its paragraph's direction);
// with textWidths, each such item's width goes there (-1 for other items), for the
// layout to take.
static std::vector<int> LineMinWidths(const TCustomRDFormattedData& data, int first, int last,
                                      TRDCanvas& canvas, const TRDResolution& scaling,
                                      std::vector<int>* textWidths = nullptr) {
  TRDStyle& style = *data.GetRDStyle();
  std::vector<int> widths;
  int line = 0;
  int lineStyle = -1;
  TRDBiDiMode lineBiDi = rdbdUnspecified;
  if (textWidths) textWidths->assign(size_t(std::max(0, last - first + 1)), -1);
  const bool special = (data.GetOptions() & rdoShowSpecialCharacters) != 0;
  for (int i = first; i <= last; ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    const TParaInfo& para = style.ParaStyles()[item->ParaNo];
    if (data.IsItemLineStart(i)) {
      if (i > first) widths.push_back(std::max(0, line));
      line = ScreenToDeviceX(para.LeftIndent + para.RightIndent + std::max(0, para.FirstIndent),
                             scaling);
    }
    int width = 0;
    if (item->IsFullLine()) {
      // A break line takes the width there is; a table on the screen needs its columns'
      // least width, so that the document, and its scroll range, reach its last column. A
      // page keeps its width: what of a table it cannot hold is cut and told of.
      if (item->StyleNo != rdsBreak && !data.IsForPrinting())
        width = item->GetMinWidth(nullptr, const_cast<TCustomRDFormattedData*>(&data));
    } else if (item->StyleNo < 0) {
      if (auto* nonText = dynamic_cast<const TRDNonTextItemInfo*>(item))
        width = nonText->GetWidth() + nonText->GetHorzSpacing();
      if (data.IsForPrinting()) width = ScreenToDeviceX(width, scaling);
    } else if (para.Options & rdpaoNoWrap) {
      const int styleNo = data.GetActualStyle(*item);
      const TRDBiDiMode bidi = data.GetParaBiDiMode(item->ParaNo);
      if (styleNo != lineStyle || bidi != lineBiDi) {
        data.ApplyStyleAtScale(canvas, styleNo, bidi, scaling);
        lineStyle = styleNo;
        lineBiDi = bidi;
      }
      const std::string display =
          GetTextForDisplay(data.GetItemTextRaw(i), style.TextStyles()[styleNo],
                            IsUnicodeItem(item->ItemOptions), false, false, special);
      width = GetItemTextWidth(display, canvas, item->ItemOptions);
      if (textWidths) (*textWidths)[size_t(i - first)] = width;
    }
    if (para.Options & rdpaoNoWrap)
      line += width;
    else
      line = std::max(line, width);
  }
  if (first <= last) widths.push_back(std::max(0, line));
  return widths;
}

static int Widest(const std::vector<int>& widths) {
  return widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
}

static int LinesMinWidth(const TCustomRDFormattedData& data, int first, int last, TRDCanvas& canvas,
                         const TRDResolution& scaling) {
  return Widest(LineMinWidths(data, first, last, canvas, scaling));
}

int TCustomRDFormattedData::NextLineMinWidth(int itemNo, TRDFormatParams& p) const {
  if (p.line_min_widths && p.next_line_min_width < p.line_min_widths->size())
    return (*p.line_min_widths)[p.next_line_min_width++];
  int last = itemNo;
  while (last + 1 < Items.Count() && !IsItemLineStart(last + 1)) ++last;
  p.cur_style = -1;  // measuring sets the canvas font
  return Widest(LineMinWidths(*this, itemNo, last, *p.canvas, p.scaling));
}

void TCustomRDFormattedData::WidthsFor(int minWidth, const TRDResolution& scaling,
                                       int& documentWidth, int& textWidth) const {
  const int l = ScreenToDeviceX(GetLeftMargin(), scaling);
  const int r = ScreenToDeviceX(GetRightMargin(), scaling);
  const int minW = ScreenToDeviceX(GetMinTextWidth(), scaling);
  const int maxW = ScreenToDeviceX(GetMaxTextWidth(), scaling);
  documentWidth = std::max(minWidth, GetWidth() - (l + r));
  if (minW > documentWidth) documentWidth = minW;
  if (GetOptions() & rdoClientTextWidth)
    textWidth = std::max(GetWidth() - (l + r), minW);
  else
    textWidth = documentWidth > maxW && GetMaxTextWidth() > 0 ? maxW : documentWidth;
}

int TCustomRDFormattedData::GetItemRangeMinWidth(int first, int last) {
  if (!GetRDStyle() || last < first || first < 0 || last >= Items.Count()) return 0;
  TRDCanvas& canvas = GetCanvas();
  canvas.SaveState();
  TRDResolution scaling;
  GetDeviceScaling(canvas, scaling);
  const int width = LinesMinWidth(*this, first, last, canvas, scaling);
  canvas.RestoreState();
  return width;
}

int TCustomRDFormattedData::GetLinesMinWidth(int first, int last) {
  if (last < first || first < 0 || last >= Items.Count()) return 0;
  int lineFirst, lineLast;
  ExpandRangeToLines(first, last, lineFirst, lineLast);
  return GetItemRangeMinWidth(lineFirst, lineLast);
}

int TCustomRDFormattedData::GetDocumentMinWidth() {
  return GetItemRangeMinWidth(0, Items.Count() - 1);
}

int TCustomRDFormattedData::FormatItemRange(int first, int last, TRDFormatParams& p,
                                            int firstChar) {
  for (int i = first; i <= last; ++i) {
    const int from = i == first ? firstChar : 0;
    TCustomRDItemInfo* item = GetItem(i);
    const int oldDrawItem = item->DrawItemNo;
    if (from == 0) item->DrawItemNo = -1;
    const int lineMinWidth = from == 0 && IsItemLineStart(i) ? NextLineMinWidth(i, p) : -1;
    FormatItem(i, p, from);
    const int d = item->DrawItemNo;
    if (lineMinWidth >= 0 && d >= 0) DrawItems.SetLineMinWidth(d, lineMinWidth);
    if (p.met_old_lines) {
      // An item whose lines are all old ones keeps its first, to be moved with them.
      if (d >= 0) return i + 1;
      item->DrawItemNo = oldDrawItem;
      return i;
    }
  }
  return last + 1;
}

void TCustomRDFormattedData::FormatItems(bool keepPosition, bool force, bool noRestore, int depth,
                                         TRDCanvas* canvasArg, bool formatTail, bool passThrough1,
                                         bool passThrough2) {
  if (area_size_guard_) {
    area_size_guard_ = false;
    return;
  }
  if (depth > 1) return;
  TRDStyle* style = GetRDStyle();
  if (!style || (State & rdsFormatting)) return;
  TRDCanvas& canvas = canvasArg ? *canvasArg : GetCanvas();
  const bool outer = depth == 0;
  State |= rdsFormatting;
  canvas.SaveState();
  TRDFormattingScope scope{canvas, State};
  struct TAfter {
    TCustomRDFormattedData& data;
    bool outer;
    ~TAfter() {
      if (outer) data.LastFormattedItem = data.Items.Count() - 1;
    }
  } after{*this, outer};

  TRDKeptPosition kept = KeepPosition(keepPosition, noRestore);
  const int oldVOffs = GetVOffs();
  TRDFormatParams p;
  p.canvas = &canvas;
  GetDeviceScaling(canvas, p.scaling);
  p.pass1 = passThrough1;
  p.pass2 = passThrough2;
  // The length limit belongs to the document a viewer shows, not to its sub-documents.
  p.max_length = (GetFlags() & rdfRoot) ? GetMaxLength() : 0;

  int firstItem = 0;
  int restartLine = formatTail ? TailRestartLine(firstItem) : -1;
  const int restartBaseline =
      restartLine >= 0 ? DropLinesFrom(restartLine, firstItem, keepPosition, kept, p.scaling) : 0;
  std::vector<int> lineMinWidths, noWrapWidths;
  const bool widthsChanged = ChooseWidths(firstItem, restartLine, lineMinWidths, noWrapWidths, p);
  p.line_min_widths = &lineMinWidths;
  p.no_wrap_widths = &noWrapWidths;
  p.no_wrap_first = firstItem;
  if (force || !keepPosition || widthsChanged) {
    if (restartLine >= 0) {
      p.baseline = restartBaseline;
    } else {
      firstItem = 0;
      p.baseline = GetTopMargin();
      if (!keepPosition && HasSelection())
        GetSelectionBounds(kept.start, kept.start_offs, kept.end, kept.end_offs, false);
      ClearFormatting();
    }
    LayOutFrom(firstItem, p);
  }
  // Also when nothing was laid out: a view made only shorter needs a shorter step.
  AdjustVScrollUnits();

  const int oldWidth = GetWidth(), oldHeight = GetHeight();
  area_size_guard_ = true;
  SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
  area_size_guard_ = false;
  const bool resized = GetWidth() != oldWidth || GetHeight() != oldHeight;
  int documentWidth = DocumentWidth, textWidth = TextWidth;
  if (resized) WidthsFor(MinDocumentWidth, p.scaling, documentWidth, textWidth);
  if (resized && documentWidth == DocumentWidth && textWidth == TextWidth) {
    // The lines depend on the size only through these widths: where a scroll bar that came
    // or went leaves them as they were (a horizontal one, a document wider than the
    // window), the lines stay and only the area is handed over again.
    area_size_guard_ = true;
    SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
    area_size_guard_ = false;
  } else if (resized) {
    // The pass at the new size lays out everything and drops the selection with the
    // lines; this pass puts it back afterwards.
    if (kept.start < 0 && HasSelection())
      GetSelectionBounds(kept.start, kept.start_offs, kept.end, kept.end_offs, false);
    State &= ~rdsFormatting;
    FormatItems(keepPosition, force, false, depth + 1, canvasArg, false, passThrough1,
                passThrough2);
    State |= rdsFormatting;
  }
  if (outer) RestoreKeptPosition(kept, keepPosition && !noRestore, formatTail, oldVOffs);
}

TCustomRDFormattedData::TRDKeptPosition TCustomRDFormattedData::KeepPosition(bool keepPosition,
                                                                             bool noRestore) {
  TRDKeptPosition kept;
  if (!keepPosition) return kept;
  GetSelectionBounds(kept.start, kept.start_offs, kept.end, kept.end_offs, false);
  if (!noRestore && DrawItems.Count() > 0) {
    int d = std::min(FindFirstVisibleDrawItem(GetVOffs(), 1), DrawItems.Count() - 1);
    kept.item = DrawItems[d]->ItemNo;
    d = GetItem(kept.item)->DrawItemNo;
    kept.distance = GetVOffs() - DrawItems[d]->Top;
  }
  return kept;
}

int TCustomRDFormattedData::TailRestartLine(int& firstItem) const {
  // The paragraph of the last item laid out: an appender may have added to its items.
  if (LastFormattedItem < 0 || LastFormattedItem >= Items.Count()) return -1;
  const int para = GetFirstItemOfPara(LastFormattedItem);
  const int d = GetItem(para)->DrawItemNo;
  if (d < 0 || d >= DrawItems.Count()) return -1;
  firstItem = para;
  return d;
}

int TCustomRDFormattedData::DropLinesFrom(int restartLine, int firstItem, bool keepPosition,
                                          TRDKeptPosition& kept, const TRDResolution& scaling) {
  // The lines laid out again leave the layout first: what stays and what is new give
  // the document's least width, which shrinks when its widest line went.
  int lineTop = DrawItems[restartLine]->Top;
  int first, last;
  GetLineDrawItemRange(restartLine, first, last);
  for (int d = first; d <= last; ++d) lineTop = std::min(lineTop, DrawItems[d]->Top);
  const int baseline = lineTop - ParaSpaceBefore(firstItem, scaling) -
                       (firstItem > 0 ? ParaSpaceAfter(firstItem - 1, scaling) : 0);
  Jumps.erase(std::remove_if(Jumps.begin(), Jumps.end(),
                             [&](const TRDJumpInfo& j) { return j.DrawItemNo >= restartLine; }),
              Jumps.end());
  JumpCount = Jumps.empty() ? 0 : Jumps.back().Id + 1;
  if (SelStartDItem >= restartLine || SelEndDItem >= restartLine) {
    if (!keepPosition)
      GetSelectionBounds(kept.start, kept.start_offs, kept.end, kept.end_offs, false);
    Deselect(false);
  }
  DrawItems.DeleteRange(restartLine, DrawItems.Count() - 1);
  for (int i = firstItem; i < Items.Count(); ++i) GetItem(i)->DrawItemNo = -1;
  return baseline;
}

bool TCustomRDFormattedData::ChooseWidths(int& firstItem, int& restartLine,
                                          std::vector<int>& lineMinWidths,
                                          std::vector<int>& noWrapWidths,
                                          const TRDFormatParams& p) {
  lineMinWidths =
      LineMinWidths(*this, firstItem, Items.Count() - 1, *p.canvas, p.scaling, &noWrapWidths);
  const int minWidth =
      std::max(Widest(lineMinWidths), restartLine >= 0 ? DrawItems.MaxLineMinWidth() : 0);
  MinDocumentWidth = minWidth;
  int documentWidth, textWidth;
  WidthsFor(minWidth, p.scaling, documentWidth, textWidth);
  const bool changed = documentWidth != DocumentWidth || textWidth != TextWidth;
  // Other widths change the room of every line: everything is laid out again.
  if (restartLine >= 0 && changed) {
    restartLine = -1;
    firstItem = 0;
    lineMinWidths = LineMinWidths(*this, 0, Items.Count() - 1, *p.canvas, p.scaling, &noWrapWidths);
  }
  DocumentWidth = documentWidth;
  TextWidth = textWidth;
  return changed;
}

void TCustomRDFormattedData::LayOutFrom(int firstItem, TRDFormatParams& p) {
  p.line_first = DrawItems.Count();
  FormatItemRange(firstItem, Items.Count() - 1, p);
  FinishPendingTab(p);
  FinishLine(p.line_left + p.room, p, !(State & rdsNoLastParaEnd));
  DocumentHeight =
      ScreenToDeviceY(GetBottomMargin(), p.scaling) + p.baseline + p.descent + p.pending_extra;
  if (Items.Count() > 0) DocumentHeight += ParaSpaceAfter(Items.Count() - 1, p.scaling);
  for (TRDJumpInfo& jump : Jumps) {
    const TRDDrawLineInfo* line = DrawItems[jump.DrawItemNo];
    jump.Left = line->Left;
    jump.Top = line->Top;
  }
}

void TCustomRDFormattedData::RestoreKeptPosition(const TRDKeptPosition& kept, bool scrollBack,
                                                 bool formatTail, int oldVOffs) {
  if (scrollBack) {
    const int d = kept.item >= 0 && kept.item < Items.Count() ? GetItem(kept.item)->DrawItemNo : -1;
    ScrollTo(d >= 0 ? DrawItems[d]->Top + kept.distance : 0, false);
  }
  if (formatTail) ScrollTo((GetOptions() & rdoScrollToEnd) ? DocumentHeight : oldVOffs, false);
  if (kept.start >= 0 && kept.end >= 0 && kept.end < Items.Count() && kept.start < Items.Count())
    SetSelectionBounds(kept.start, kept.start_offs, kept.end, kept.end_offs);
  PlaceControls();
}

bool TCustomRDFormattedData::FollowKeptLayout() {
  if ((State & rdsFormatting) || DrawItems.Count() == 0 || LastFormattedItem != Items.Count() - 1 ||
      Items.ControlCount() > 0) {
    return false;
  }
  // The lines that went may have been the widest: other widths need a format.
  TRDResolution scaling;
  GetDeviceScaling(GetCanvas(), scaling);
  int documentWidth, textWidth;
  WidthsFor(DrawItems.MaxLineMinWidth(), scaling, documentWidth, textWidth);
  if (documentWidth != DocumentWidth || textWidth != TextWidth) return false;
  MinDocumentWidth = DrawItems.MaxLineMinWidth();
  const int oldVOffs = GetVOffs();
  const int oldWidth = GetWidth(), oldHeight = GetHeight();
  AdjustVScrollUnits();
  area_size_guard_ = true;
  SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
  area_size_guard_ = false;
  // A scroll bar that came or went changes the width the lines have: a whole format.
  if (GetWidth() != oldWidth || GetHeight() != oldHeight) return false;
  ScrollTo((GetOptions() & rdoScrollToEnd) ? DocumentHeight : oldVOffs, false);
  return true;
}

void TCustomRDFormattedData::PlaceControls() {
  // Controls are windows on the viewer: placed in client coordinates here, moved along
  // with the document by the scroller afterwards. A layout for paper leaves them be.
  if (IsForPrinting()) return;
  int ox, oy;
  GetOrigin(ox, oy);
  // An item's open in-place editor (a table's cell editor) is such a window as well.
  if (Items.ControlCount() == 0 && !GetChosenItem()) return;
  for (int i = 0; i < Items.Count(); ++i) {
    if (GetItem(i)->StyleNo != rdsComponent && GetItem(i) != GetChosenItem()) continue;
    auto* item = dynamic_cast<TRDNonTextItemInfo*>(GetItem(i));
    if (!item || item->DrawItemNo < 0 || item->DrawItemNo >= DrawItems.Count()) continue;
    const TRDDrawLineInfo& line = *DrawItems[item->DrawItemNo];
    item->MoveToPosition(line.Left - GetHOffs() + ox, line.Top - GetVOffs() + oy, false);
  }
}

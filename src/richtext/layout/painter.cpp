// Painting a formatted document for one clip rectangle: paragraph backgrounds and
// borders, the text-background event, page breaks, checkpoints, every draw line with
// its selection state, paragraph marks and the marks of live spelling.
#include <algorithm>
#include <climits>

#include "richtext/layout/complex_script.h"
#include "richtext/layout/format_params.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"

// Lines past the height bound all stand at it, each over the one before (see
// kMaxLayoutHeight): only the last screen line of them shows. The ones under it, from the
// first at the bound on, are hidden (hiddenFirst up to hiddenEnd; none when equal), and a
// paint there costs what that one line does. A first line to paint among them moves past
// them.
static void FindHiddenAtBound(const TRDDrawLines& lines, int& first, int& hiddenFirst,
                              int& hiddenEnd) {
  const int count = lines.Count();
  const auto lineStart = [&](int d) {
    while (d > 0 && !lines[d]->FromNewLine) --d;
    return d;
  };
  if (lines[lineStart(count - 1)]->Top < kMaxLayoutHeight) return;
  // Line tops never decrease: the first line at the bound by halving.
  int lo = 0, hi = count - 1;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (lines[lineStart(mid)]->Top >= kMaxLayoutHeight)
      hi = mid;
    else
      lo = mid + 1;
  }
  hiddenFirst = lineStart(lo);
  hiddenEnd = lineStart(count - 1);
  if (first >= hiddenFirst && first < hiddenEnd) first = hiddenEnd;
}

void TCustomRDFormattedData::DrawBackground(TRDCanvas& canvas, const TRect& rect) {
  int ox, oy;
  GetOrigin(ox, oy);
  if (TRDBackground* background = GetBackground()) {
    background->Draw(canvas, rect, GetHOffs() + ox, GetVOffs() + oy, 0, 0, GetWidth(), GetHeight(),
                     GetBackgroundColor(), true);
  } else if (GetBackgroundColor() != clNone) {
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = GetBackgroundColor();
    canvas.FillRect(rect);
  }
}

// The state of one paint: the draw lines in the clip, the selection, the shift from
// document to canvas coordinates, and what the screen line under way needs.
struct TCustomRDFormattedData::TPaintPass {
  TPaintPass(TRDCanvas& canvas, TRDStyle& style) : canvas(canvas), style(style) {}

  TRDCanvas& canvas;
  TRDStyle& style;
  int count = 0;
  int first = 0, last = 0;
  // The draw lines hidden under the last line at the height bound, hiddenFirst up to
  // hiddenEnd (none when equal): not visited.
  int hiddenFirst = -1, hiddenEnd = -1;
  int Next(int d) const { return d + 1 == hiddenFirst ? hiddenEnd : d + 1; }
  int selStart = 0, selEnd = 0, selStartOffs = 0, selEndOffs = 0;
  bool selection = false;
  bool allSelected = false;
  int dx = 0, dy = 0;
  TRDOptions options = 0;
  bool special = false;
  TRDTextDrawStates baseState = 0;
  TRDResolution scaling;
  // With whole-line selections a selected part is filled over the height of its screen
  // line, the paragraph's spacing above and below included.
  bool wholeLines = false;
  int lineTop = 0, lineBottom = 0;
  // The text style last applied to the canvas, -1 when an item may have changed it, and
  // the paragraph direction it was applied with.
  int appliedStyle = -1;
  TRDBiDiMode appliedBiDi = rdbdUnspecified;
};

void TCustomRDFormattedData::PaintTo(TRDCanvas& canvas, const TRect& clip) {
  TRDStyle* style = GetRDStyle();
  const int count = DrawItems.Count();
  if (!style || count == 0) return;
  TPaintPass pass(canvas, *style);
  pass.count = count;
  GetSelectionDrawBounds(pass.selStart, pass.selEnd, pass.selStartOffs, pass.selEndOffs, true);
  pass.selection = HasSelection();
  pass.allSelected = (State & rdsAllSelected) != 0;
  int ox, oy;
  GetOrigin(ox, oy);
  const int hOffs = GetHOffs() - ox;
  const int vOffs = GetVOffs() - oy;
  // Document to canvas coordinates.
  const int dx = pass.dx = -(hOffs + clip.Left);
  const int dy = pass.dy = -(vOffs + clip.Top);
  const int clipTop = clip.Top + vOffs;
  const int clipBottom = clip.Bottom + vOffs;
  canvas.BrushStyle = bsClear;
  const TRDOptions options = pass.options = GetOptions();
  pass.special = (options & rdoShowSpecialCharacters) != 0;
  pass.baseState = IsControlFocused() ? rdtsControlFocused : 0;
  if (pass.special) pass.baseState |= rdtsSpecialCharacters;
  GetDeviceScaling(canvas, pass.scaling);

  pass.first = FindFirstVisibleDrawItem(clipTop, 1);
  FindHiddenAtBound(DrawItems, pass.first, pass.hiddenFirst, pass.hiddenEnd);
  pass.last = count - 1;
  bool below = false;
  for (int d = pass.first; d < count; d = pass.Next(d)) {
    if (below && DrawItems[d]->FromNewLine) {
      pass.last = d;
      break;
    }
    if (DrawItems[d]->Top > clipBottom) below = true;
  }
  const int first = pass.first;

  PaintParagraphBacks(pass);
  if (style->OnDrawTextBack) PaintTextBacks(pass);
  if ((options & rdoShowPageBreaks) && GetPageBreaks())
    for (int y : *GetPageBreaks())
      if (y >= DrawItems[first]->Top)
        style->DrawPageBreak(canvas, y - 1 + dy, dx, rdpbSoftPageBreak, GetWidth());
  for (int d = first; d <= pass.last; d = pass.Next(d)) PaintDrawLine(pass, d);
  if ((options & rdoShowCheckpoints) && NotAddedCP)
    style->DrawCheckpoint(canvas, dx, DocumentHeight + dy, dx, GetWidth(), this, -1, dx,
                          NotAddedCP->RaiseEvent);
}

// Draw line d is the first of its paragraph.
bool TCustomRDFormattedData::StartsParagraphAt(int d) const {
  const TRDDrawLineInfo& line = *DrawItems[d];
  return line.FromNewLine && IsParaStart(line.ItemNo) && GetItem(line.ItemNo)->DrawItemNo == d;
}

// Paragraph backgrounds and borders, from the start of the paragraph cut by the top.
void TCustomRDFormattedData::PaintParagraphBacks(TPaintPass& pass) {
  TRDStyle* style = &pass.style;
  const TRDResolution& scaling = pass.scaling;
  int paraFirst = pass.first;
  while (paraFirst > 0 && paraFirst != pass.hiddenEnd && !StartsParagraphAt(paraFirst)) --paraFirst;
  for (int a = paraFirst; a <= pass.last;) {
    int b = a;
    while (b + 1 < pass.count && b + 1 != pass.hiddenFirst && !StartsParagraphAt(b + 1)) ++b;
    const int paraNo = GetItem(DrawItems[a]->ItemNo)->ParaNo;
    const TParaInfo& para = style->ParaStyles()[paraNo];
    if (para.Border.Style != rdbNone || para.Background.Color != clNone || style->OnDrawParaBack) {
      const int leftMargin = ScreenToDeviceX(GetLeftMargin(), scaling);
      const int rightMargin = ScreenToDeviceX(GetRightMargin(), scaling);
      TRect r;
      r.Left =
          leftMargin + ScreenToDeviceX(para.LeftIndent + std::min(0, para.FirstIndent), scaling);
      const int rightIndent = ScreenToDeviceX(para.RightIndent, scaling);
      if (pass.options & rdoClientTextWidth)
        r.Right = GetWidth() - (rightMargin + rightIndent);
      else if (GetMaxTextWidth() < 1)
        r.Right = GetAreaWidth() - (rightMargin + rightIndent);
      else
        r.Right = leftMargin + ScreenToDeviceX(GetMaxTextWidth(), scaling) - rightIndent;
      r.Top = INT_MAX;
      r.Bottom = INT_MIN;
      for (int d = a; d <= b; ++d) {
        const TRDDrawLineInfo& line = *DrawItems[d];
        r.Right = std::max(r.Right, line.Left + line.Width);
        r.Top = std::min(r.Top, line.Top);
        r.Bottom = std::max(r.Bottom, line.Top + line.Height + line.ExtraSpaceBelow);
      }
      r = Rect(r.Left + pass.dx, r.Top + pass.dy, r.Right + pass.dx, r.Bottom + pass.dy);
      style->DrawParaBack(pass.canvas, paraNo, r, false, 0);
      if (para.Border.Style != rdbNone) para.Border.DrawUnscaled(r, pass.canvas);
    }
    a = pass.Next(b);
  }
}

// The text-background event for every text draw line.
void TCustomRDFormattedData::PaintTextBacks(TPaintPass& pass) {
  for (int d = pass.first; d <= pass.last; d = pass.Next(d)) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
    if (item.StyleNo < 0) continue;
    const bool hot =
        ((State & rdsLit) && item.JumpID == JumpUnderMouse) || line.ItemNo == HighlightedJumpItem;
    pass.style.DrawTextBack(pass.canvas, line.ItemNo, GetActualStyle(item), this,
                            line.Left + pass.dx, line.Top + pass.dy, line.Width, line.Height,
                            hot ? 2 : 0);
  }
}

// A screen line starts at draw line d: whether its selected parts fill the whole line,
// and the line's extent if so.
void TCustomRDFormattedData::StartScreenLine(TPaintPass& pass, int d) {
  TRDStyle* style = &pass.style;
  const TCustomRDItemInfo& item = *GetItem(DrawItems[d]->ItemNo);
  const bool ownDirection =
      item.StyleNo >= 0 && style->TextStyles()[GetActualStyle(item)].BiDiMode != rdbdUnspecified;
  pass.wholeLines = style->SelectionStyle == rdssLines && pass.selection && !ownDirection;
  if (!pass.wholeLines) return;
  int lineFirst, lineLast;
  GetLineDrawItemRange(d, lineFirst, lineLast);
  int& lineTop = pass.lineTop;
  int& lineBottom = pass.lineBottom;
  lineTop = INT_MAX;
  lineBottom = INT_MIN;
  for (int k = lineFirst; k <= lineLast; ++k) {
    lineTop = std::min(lineTop, DrawItems[k]->Top);
    lineBottom = std::max(lineBottom,
                          DrawItems[k]->Top + DrawItems[k]->Height + DrawItems[k]->ExtraSpaceBelow);
  }
  if (StartsParagraphAt(lineFirst))
    lineTop -= ParaSpaceBefore(DrawItems[lineFirst]->ItemNo, pass.scaling);
  if (lineLast + 1 == pass.count || StartsParagraphAt(lineLast + 1))
    lineBottom += ParaSpaceAfter(DrawItems[lineLast]->ItemNo, pass.scaling);
}

// Fills left..right over the screen line's height in the selection colour.
void TCustomRDFormattedData::FillLineSelection(TPaintPass& pass, int left, int right) {
  const TColor color =
      (pass.baseState & rdtsControlFocused) ? pass.style.SelColor : pass.style.InactiveSelColor;
  if (color == clNone) return;
  TRDCanvas& canvas = pass.canvas;
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = color;
  canvas.FillRect(Rect(left, pass.lineTop + pass.dy, right, pass.lineBottom + pass.dy));
  canvas.BrushStyle = bsClear;
}

void TCustomRDFormattedData::PaintDrawLine(TPaintPass& pass, int d) {
  TRDStyle* style = &pass.style;
  const int dx = pass.dx, dy = pass.dy;
  const TRDDrawLineInfo& line = *DrawItems[d];
  TCustomRDItemInfo& item = *GetItem(line.ItemNo);
  const bool firstOfItem = item.DrawItemNo == d;
  if (line.FromNewLine || d == pass.first) StartScreenLine(pass, d);
  if (firstOfItem && item.GetPageBreakBefore() && (pass.options & rdoShowPageBreaks))
    style->DrawPageBreak(pass.canvas, line.Top + dy, dx, rdpbPageBreak, GetWidth());
  if (firstOfItem && item.Checkpoint && (pass.options & rdoShowCheckpoints))
    style->DrawCheckpoint(pass.canvas, line.Left + dx, line.Top + dy, dx, GetWidth(), this,
                          line.ItemNo, dx, item.Checkpoint->RaiseEvent);
  if (item.StyleNo >= 0) {
    PaintTextLine(pass, d);
    return;
  }
  PaintItemLine(pass, d);
  pass.appliedStyle = -1;
}

// A draw line of a picture, control, break or other item that paints itself.
void TCustomRDFormattedData::PaintItemLine(TPaintPass& pass, int d) {
  const int dx = pass.dx, dy = pass.dy;
  const int selStart = pass.selStart, selEnd = pass.selEnd;
  const TRDDrawLineInfo& line = *DrawItems[d];
  TCustomRDItemInfo& item = *GetItem(line.ItemNo);
  TRDItemPaintState state = 0;
  bool selected = pass.allSelected;
  if (pass.selection && d >= selStart && d <= selEnd) {
    selected = !(d == selStart && pass.selStartOffs >= 1) && !(d == selEnd && pass.selEndOffs == 0);
    if (selStart == selEnd) selected = pass.selStartOffs == 0 && pass.selEndOffs == 1;
  }
  if (selected) state |= rdipsSelected;
  // A hot picture or hotspot under the mouse shows its hover look.
  if ((((State & rdsLit) && LitJumpData == this && item.JumpID == JumpUnderMouse) ||
       line.ItemNo == HighlightedJumpItem) &&
      item.QueryItemFlagEx(1, &pass.style))
    state |= rdipsHover;
  if (selected && pass.wholeLines && item.StyleNo != rdsListMarker && !item.IsFullLine())
    FillLineSelection(pass, line.Left + dx, line.Left + line.Width + dx);
  // The focus as the paint found it at its start: asking costs a walk through the
  // editors open in table cells inside this document, for every item.
  if (pass.baseState & rdtsControlFocused) state |= rdipsFocused;
  if (pass.special) state |= rdipsSpecialCharacters;
  if (item.IsFullLine()) {
    int width = (pass.options & rdoClientTextWidth) ? GetWidth() : GetAreaWidth();
    const int limit = GetMaxTextWidth() + GetLeftMargin() + GetRightMargin();
    if (GetMaxTextWidth() > 0 && limit < width) width = limit;
    item.PaintFullWidth(dx, width + dx, line.Top + dy, pass.canvas, state, pass.style);
  } else {
    item.Paint(line.Left + dx, line.Top + dy, pass.canvas, state, pass.style, line);
  }
}

// A draw line of text: whole, or in pieces where the selection starts or ends inside it.
void TCustomRDFormattedData::PaintTextLine(TPaintPass& pass, int d) {
  TRDCanvas& canvas = pass.canvas;
  TRDStyle* style = &pass.style;
  const int dx = pass.dx, dy = pass.dy;
  const int selStart = pass.selStart, selEnd = pass.selEnd;
  const int selStartOffs = pass.selStartOffs, selEndOffs = pass.selEndOffs;
  const bool allSelected = pass.allSelected;
  const TRDDrawLineInfo& line = *DrawItems[d];
  TCustomRDItemInfo& item = *GetItem(line.ItemNo);
  const TRDBiDiMode bidi = GetParaBiDiMode(item.ParaNo);
  const int styleNo = GetActualStyle(item);
  if (styleNo != pass.appliedStyle || bidi != pass.appliedBiDi) {
    style->ApplyStyle(canvas, styleNo, bidi, false);
    pass.appliedStyle = styleNo;
    pass.appliedBiDi = bidi;
  }
  const TRDDrawItemDirection direction(canvas, line);
  // The next draw line wraps when it goes on with this item or continues the line.
  const bool nextWraps =
      d + 1 < pass.count && DrawItems[d + 1]->FromNewLine &&
      (DrawItems[d + 1]->ItemNo == line.ItemNo || !IsItemLineStart(DrawItems[d + 1]->ItemNo));
  const std::string text = DisplayTextOf(d, nextWraps);
  const bool hot =
      (((State & rdsLit) && item.JumpID == JumpUnderMouse) || line.ItemNo == HighlightedJumpItem) &&
      style->TextStyles()[styleNo].Jump;
  const int itemLength = GetItemTextLength(GetItemTextRaw(line.ItemNo), item.ItemOptions);
  auto draw = [&](const std::string& s, int left, int width, int offs, int spaceBefore,
                  bool selected, bool startsPiece, bool endsPiece, int lastChar) {
    TRDTextDrawStates state = pass.baseState;
    if (selected) state |= rdtsSelected;
    if (hot) state |= rdtsHover;
    if (startsPiece) state |= rdtsDrawItemStart;
    if (endsPiece) state |= rdtsDrawItemEnd;
    if (offs == 1) state |= rdtsItemStart;
    if (lastChar == itemLength) state |= rdtsItemEnd;
    if (selected && pass.wholeLines) FillLineSelection(pass, left, left + width);
    style->ApplyStyleColor(canvas, styleNo, state, false, 0);
    style->DrawStyleText(s, canvas, line.ItemNo, offs, styleNo, this, spaceBefore, left,
                         line.Top + dy, width, line.Height, state, false, false, 0, bidi);
  };
  const int left = line.Left + dx;
  const int lastChar = line.Offs + line.Length - 1;
  const bool inSelection = pass.selection && d >= selStart && d <= selEnd;
  const bool cutStart = d == selStart && selStartOffs > 1;
  const bool cutEnd = d == selEnd && selEndOffs <= line.Length;
  if (!inSelection && !allSelected) {
    draw(text, left, line.Width, line.Offs, line.TextIndent(), false, true, true, lastChar);
  } else if (!allSelected && (cutStart || cutEnd)) {
    draw(text, left, line.Width, line.Offs, line.TextIndent(), false, true, true, lastChar);
    const int a = d == selStart ? selStartOffs : 1;
    const int b = d == selEnd ? selEndOffs - 1 : line.Length;
    const TRDItemOptions opts = item.ItemOptions;
    // Where right-to-left runs are shown, characters a..b may stand apart: each run of
    // them is drawn selected over the cells where it is shown.
    const bool reordered = b >= a && IsReorderedText(canvas, text, opts);
    if (reordered) {
      style->ApplyStyleColor(canvas, styleNo, pass.baseState | rdtsSelected | (hot ? rdtsHover : 0),
                             false, 0);
    }
    const bool reorderedDrawn = DrawReorderedTextIfNeeded(
        left + line.TextIndent(), line.Top + dy, line.Width - line.JustifyExtra, line.Height, text,
        canvas, a, b, opts, reordered);
    canvas.BrushStyle = bsClear;
    if (b >= a && !reorderedDrawn) {
      const int before = GetItemTextWidth(CopyItemText(text, 1, a - 1, opts), canvas, opts) +
                         (a > 1 ? line.TextIndent() : 0);
      const std::string part = CopyItemText(text, a, b - a + 1, opts);
      const int extra = a == 1 ? line.TextIndent() : 0;
      const int width = GetItemTextWidth(part, canvas, opts) + extra;
      // A right-to-left piece begins at its right end.
      const int x = line.IsRightToLeft()
                        ? left + GetItemTextWidth(text, canvas, opts) - before - width
                        : left + before;
      canvas.SaveState();
      canvas.IntersectClipRect(Rect(x, line.Top + dy, x + width, line.Top + dy + line.Height));
      draw(part, x, width, line.Offs + a - 1, extra, true, a == 1, b == line.Length,
           line.Offs + b - 1);
      canvas.RestoreState();
    }
  } else if (allSelected) {
    draw(text, left, line.Width, line.Offs, line.TextIndent(), true, true, true, lastChar);
  } else {
    // The pieces shown beside it may be unselected: what its glyphs reach into there keeps
    // their colours. (Where a selection ends inside a piece, the same holds for the rest.)
    draw(text, left, line.Width, line.Offs, line.TextIndent(), false, true, true, lastChar);
    canvas.SaveState();
    canvas.IntersectClipRect(
        Rect(left, line.Top + dy, left + line.Width, line.Top + dy + line.Height));
    draw(text, left, line.Width, line.Offs, line.TextIndent(), true, true, true, lastChar);
    canvas.RestoreState();
  }
  if (pass.special && (RDShownSpecialChars & rdskParagraphMark))
    PaintLineEndMark(pass, d, styleNo, bidi);
  if (item.WordPainters) PaintWordMarks(pass, d, text);
}

// The paragraph mark, or the line-break mark, after the last piece of a screen line.
void TCustomRDFormattedData::PaintLineEndMark(TPaintPass& pass, int d, int styleNo,
                                              TRDBiDiMode bidi) {
  const bool endOfLine = d + 1 == pass.count || DrawItems[d + 1]->FromNewLine;
  if (!endOfLine) return;
  TRDCanvas& canvas = pass.canvas;
  const TRDDrawLineInfo& line = *DrawItems[d];
  const int left = line.Left + pass.dx;
  const bool paraEnd = d + 1 == pass.count || IsParaStart(DrawItems[d + 1]->ItemNo);
  const std::u16string mark = paraEnd ? u"\u00B6" : u"\u21B5";
  pass.style.ApplyStyleColor(canvas, styleNo, pass.baseState, false, 0);
  TRDTextMetrics metrics;
  canvas.GetTextMetrics(metrics);
  canvas.BrushStyle = bsClear;
  const int x = bidi == rdbdRightToLeft ? left - canvas.TextWidthW(mark) : left + line.Width;
  canvas.TextOutW(x, line.Top + pass.dy + line.Height - metrics.Height, mark);
}

// The marks word painters (live spelling) put under the parts of the draw line's text.
void TCustomRDFormattedData::PaintWordMarks(TPaintPass& pass, int d, const std::string& text) {
  TRDCanvas& canvas = pass.canvas;
  const TRDDrawLineInfo& line = *DrawItems[d];
  const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
  const int left = line.Left + pass.dx;
  const int dy = pass.dy;
  const bool reordered = IsReorderedText(canvas, text, item.ItemOptions);
  for (int w = 0; w < item.WordPainters->Count(); ++w) {
    const TRDWordPainter& painter = *item.WordPainters->Get(w);
    const int from = std::max(painter.StartOffs, line.Offs);
    const int to = std::min(painter.StartOffs + painter.Length, line.Offs + line.Length);
    if (to <= from) continue;
    const TRDItemOptions opts = item.ItemOptions;
    // Under the cells where the word's characters are shown, as a selection of it is.
    int x0 = 0, x1 = 0;
    if (!reordered || !GetCharacterCellBounds(canvas, text, from - line.Offs + 1, to - from, opts,
                                              line.Width - line.JustifyExtra, x0, x1)) {
      x0 = GetItemTextWidth(CopyItemText(text, 1, from - line.Offs, opts), canvas, opts);
      x1 = GetItemTextWidth(CopyItemText(text, 1, to - line.Offs, opts), canvas, opts);
    } else {
      x0 += line.TextIndent();
      x1 += line.TextIndent();
    }
    painter.Draw(canvas, pass.style,
                 Rect(left + x0, line.Top + dy, left + x1, line.Top + dy + line.Height));
  }
}

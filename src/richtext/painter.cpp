// Painting a formatted document for one clip rectangle: paragraph backgrounds and
// borders, the text-background event, page breaks, checkpoints, every draw line with
// its selection state, paragraph marks and the marks of live spelling.
#include <algorithm>
#include <climits>

#include "richtext/formatted_data.h"
#include "richtext/item_kinds.h"
#include "richtext/nontext_items.h"
#include "richtext/rd_background.h"
#include "richtext/rd_style.h"
#include "richtext/text_measure.h"

namespace {

bool IsFullLine(const TCustomRDItemInfo& item) {
  return item.StyleNo < 0 && item.QueryItemFlag(0);
}

}  // namespace

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

void TCustomRDFormattedData::PaintTo(TRDCanvas& canvas, const TRect& clip) {
  TRDStyle* style = GetRDStyle();
  const int count = DrawItems.Count();
  if (!style || count == 0) return;
  int selStart, selEnd, selStartOffs, selEndOffs;
  GetSelectionDrawBounds(selStart, selEnd, selStartOffs, selEndOffs, true);
  const bool selection = HasSelection();
  const bool allSelected = (State & rdsAllSelected) != 0;
  int ox, oy;
  GetOrigin(ox, oy);
  const int hOffs = GetHOffs() - ox;
  const int vOffs = GetVOffs() - oy;
  // Document to canvas coordinates.
  const int dx = -(hOffs + clip.Left);
  const int dy = -(vOffs + clip.Top);
  const int clipTop = clip.Top + vOffs;
  const int clipBottom = clip.Bottom + vOffs;
  canvas.BrushStyle = bsClear;
  const TRDOptions options = GetOptions();
  const bool special = (options & rdoShowSpecialCharacters) != 0;
  TRDTextDrawStates baseState = IsControlFocused() ? rdtsControlFocused : 0;
  if (special) baseState |= rdtsSpecialCharacters;
  TRDResolution scaling;
  GetDeviceScaling(canvas, scaling);

  const int first = FindFirstVisibleDrawItem(clipTop, 1);
  int last = count - 1;
  bool below = false;
  for (int d = first; d < count; ++d) {
    if (below && DrawItems[d]->FromNewLine) {
      last = d;
      break;
    }
    if (DrawItems[d]->Top > clipBottom) below = true;
  }

  // Paragraph backgrounds and borders, from the start of the paragraph cut by the top.
  auto startsPara = [&](int d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    return line.FromNewLine && IsParaStart(line.ItemNo) && GetItem(line.ItemNo)->DrawItemNo == d;
  };
  int paraFirst = first;
  while (paraFirst > 0 && !startsPara(paraFirst)) --paraFirst;
  for (int a = paraFirst; a <= last;) {
    int b = a;
    while (b + 1 < count && !startsPara(b + 1)) ++b;
    const int paraNo = GetItem(DrawItems[a]->ItemNo)->ParaNo;
    const TParaInfo& para = style->ParaStyles()[paraNo];
    if (para.Border.Style != rdbNone || para.Background.Color != clNone || style->OnDrawParaBack) {
      const int leftMargin = ScreenToDeviceX(GetLeftMargin(), scaling);
      const int rightMargin = ScreenToDeviceX(GetRightMargin(), scaling);
      TRect r;
      r.Left = leftMargin + ScreenToDeviceX(para.LeftIndent + std::min(0, para.FirstIndent), scaling);
      const int rightIndent = ScreenToDeviceX(para.RightIndent, scaling);
      if (options & rdoClientTextWidth)
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
      r = Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
      style->DrawParaBack(canvas, paraNo, r, false, 0);
      if (para.Border.Style != rdbNone) para.Border.DrawUnscaled(r, canvas);
    }
    a = b + 1;
  }

  if (style->OnDrawTextBack)
    for (int d = first; d <= last; ++d) {
      const TRDDrawLineInfo& line = *DrawItems[d];
      const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
      if (item.StyleNo < 0) continue;
      const bool hot =
          ((State & rdsLit) && item.JumpID == JumpUnderMouse) || line.ItemNo == HighlightedJumpItem;
      style->DrawTextBack(canvas, line.ItemNo, GetActualStyle(item), this, line.Left + dx,
                          line.Top + dy, line.Width, line.Height, hot ? 2 : 0);
    }

  if ((options & rdoShowPageBreaks) && GetPageBreaks())
    for (int y : *GetPageBreaks())
      if (y >= DrawItems[first]->Top)
        style->DrawPageBreak(canvas, y - 1 + dy, dx, rdpbSoftPageBreak, GetWidth());

  // With whole-line selections a selected part is filled over the height of its screen
  // line, the paragraph's spacing above and below included.
  bool wholeLines = false;
  int lineTop = 0, lineBottom = 0;
  auto fillLine = [&](int left, int right) {
    const TColor color = IsControlFocused() ? style->SelColor : style->InactiveSelColor;
    if (color == clNone) return;
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = color;
    canvas.FillRect(Rect(left, lineTop + dy, right, lineBottom + dy));
    canvas.BrushStyle = bsClear;
  };

  int appliedStyle = -1;
  for (int d = first; d <= last; ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    TCustomRDItemInfo& item = *GetItem(line.ItemNo);
    const bool firstOfItem = item.DrawItemNo == d;
    if (line.FromNewLine || d == first) {
      const bool ownDirection =
          item.StyleNo >= 0 && style->TextStyles()[GetActualStyle(item)].BiDiMode != rdbdUnspecified;
      wholeLines = style->SelectionStyle == rdssLines && selection && !ownDirection;
      if (wholeLines) {
        int lineFirst, lineLast;
        GetLineDrawItemRange(d, lineFirst, lineLast);
        lineTop = INT_MAX;
        lineBottom = INT_MIN;
        for (int k = lineFirst; k <= lineLast; ++k) {
          lineTop = std::min(lineTop, DrawItems[k]->Top);
          lineBottom = std::max(lineBottom, DrawItems[k]->Top + DrawItems[k]->Height +
                                                DrawItems[k]->ExtraSpaceBelow);
        }
        if (startsPara(lineFirst))
          lineTop -= ParaSpaceBefore(DrawItems[lineFirst]->ItemNo, scaling);
        if (lineLast + 1 == count || startsPara(lineLast + 1))
          lineBottom += ParaSpaceAfter(DrawItems[lineLast]->ItemNo, scaling);
      }
    }
    if (firstOfItem && item.GetPageBreakBefore() && (options & rdoShowPageBreaks))
      style->DrawPageBreak(canvas, line.Top + dy, dx, rdpbPageBreak, GetWidth());
    if (firstOfItem && item.Checkpoint && (options & rdoShowCheckpoints))
      style->DrawCheckpoint(canvas, line.Left + dx, line.Top + dy, dx, GetWidth(), this,
                            line.ItemNo, dx, item.Checkpoint->RaiseEvent);
    const TRDBiDiMode bidi = GetParaBiDiMode(item.ParaNo);
    if (item.StyleNo < 0) {
      TRDItemPaintState state = 0;
      bool selected = allSelected;
      if (selection && d >= selStart && d <= selEnd) {
        selected = !(d == selStart && selStartOffs >= 1) && !(d == selEnd && selEndOffs == 0);
        if (selStart == selEnd) selected = selStartOffs == 0 && selEndOffs == 1;
      }
      if (selected) state |= rdipsSelected;
      // A hot picture or hotspot under the mouse shows its hover look.
      if ((((State & rdsLit) && LitJumpData == this && item.JumpID == JumpUnderMouse) ||
           line.ItemNo == HighlightedJumpItem) &&
          item.QueryItemFlagEx(1, style))
        state |= rdipsHover;
      if (selected && wholeLines && item.StyleNo != rdsListMarker && !IsFullLine(item))
        fillLine(line.Left + dx, line.Left + line.Width + dx);
      if (IsControlFocused()) state |= rdipsFocused;
      if (special) state |= rdipsSpecialCharacters;
      if (IsFullLine(item)) {
        int width = (options & rdoClientTextWidth) ? GetWidth() : GetAreaWidth();
        const int limit = GetMaxTextWidth() + GetLeftMargin() + GetRightMargin();
        if (GetMaxTextWidth() > 0 && limit < width) width = limit;
        item.PaintFullWidth(dx, width + dx, line.Top + dy, canvas, state, *style);
      } else {
        item.Paint(line.Left + dx, line.Top + dy, canvas, state, *style, line);
      }
      appliedStyle = -1;
      continue;
    }
    const int styleNo = GetActualStyle(item);
    if (styleNo != appliedStyle) {
      style->ApplyStyle(canvas, styleNo, bidi, false);
      appliedStyle = styleNo;
    }
    // The next draw line wraps when it goes on with this item or continues the line.
    const bool nextWraps = d + 1 < count && DrawItems[d + 1]->FromNewLine &&
                           (DrawItems[d + 1]->ItemNo == line.ItemNo ||
                            !IsItemLineStart(DrawItems[d + 1]->ItemNo));
    const std::string text = DisplayTextOf(d, nextWraps);
    const bool hot = (((State & rdsLit) && item.JumpID == JumpUnderMouse) ||
                      line.ItemNo == HighlightedJumpItem) &&
                     style->TextStyles()[styleNo].Jump;
    const int itemLength = GetItemTextLength(GetItemTextRaw(line.ItemNo), item.ItemOptions);
    auto draw = [&](const std::string& s, int left, int width, int offs, int spaceBefore,
                    bool selected, bool startsPiece, bool endsPiece, int lastChar) {
      TRDTextDrawStates state = baseState;
      if (selected) state |= rdtsSelected;
      if (hot) state |= rdtsHover;
      if (startsPiece) state |= rdtsDrawItemStart;
      if (endsPiece) state |= rdtsDrawItemEnd;
      if (offs == 1) state |= rdtsItemStart;
      if (lastChar == itemLength) state |= rdtsItemEnd;
      if (selected && wholeLines) fillLine(left, left + width);
      style->ApplyStyleColor(canvas, styleNo, state, false, 0);
      style->DrawStyleText(s, canvas, line.ItemNo, offs, styleNo, this, spaceBefore, left,
                           line.Top + dy, width, line.Height, state, false, false, 0, bidi);
    };
    const int left = line.Left + dx;
    const int lastChar = line.Offs + line.Length - 1;
    const bool inSelection = selection && d >= selStart && d <= selEnd;
    const bool cutStart = d == selStart && selStartOffs > 1;
    const bool cutEnd = d == selEnd && selEndOffs <= line.Length;
    if (!inSelection && !allSelected) {
      draw(text, left, line.Width, line.Offs, line.JustifyExtra, false, true, true, lastChar);
    } else if (!allSelected && (cutStart || cutEnd)) {
      draw(text, left, line.Width, line.Offs, line.JustifyExtra, false, true, true, lastChar);
      const int a = d == selStart ? selStartOffs : 1;
      const int b = d == selEnd ? selEndOffs - 1 : line.Length;
      if (b >= a) {
        const TRDItemOptions opts = item.ItemOptions;
        const int before = GetItemTextWidth(CopyItemText(text, 1, a - 1, opts), canvas, opts) +
                           (a > 1 ? line.JustifyExtra : 0);
        const std::string part = CopyItemText(text, a, b - a + 1, opts);
        const int extra = a == 1 ? line.JustifyExtra : 0;
        const int width = GetItemTextWidth(part, canvas, opts) + extra;
        draw(part, left + before, width, line.Offs + a - 1, extra, true, a == 1,
             b == line.Length, line.Offs + b - 1);
      }
    } else {
      draw(text, left, line.Width, line.Offs, line.JustifyExtra, true, true, true, lastChar);
    }
    // Paragraph marks after the last piece of a screen line.
    if (special && (RDShownSpecialChars & rdskParagraphMark)) {
      const bool endOfLine = d + 1 == count || DrawItems[d + 1]->FromNewLine;
      if (endOfLine) {
        const bool paraEnd = d + 1 == count || IsParaStart(DrawItems[d + 1]->ItemNo);
        const std::u16string mark = paraEnd ? u"\u00B6" : u"\u21B5";
        style->ApplyStyleColor(canvas, styleNo, baseState, false, 0);
        TRDTextMetrics metrics;
        canvas.GetTextMetrics(metrics);
        canvas.BrushStyle = bsClear;
        const int x = bidi == rdbdRightToLeft ? left - canvas.TextWidthW(mark) : left + line.Width;
        canvas.TextOutW(x, line.Top + dy + line.Height - metrics.Height, mark);
      }
    }
    if (item.WordPainters)
      for (int w = 0; w < item.WordPainters->Count(); ++w) {
        const TRDWordPainter& painter = *item.WordPainters->Get(w);
        const int from = std::max(painter.StartOffs, line.Offs);
        const int to = std::min(painter.StartOffs + painter.Length, line.Offs + line.Length);
        if (to <= from) continue;
        const TRDItemOptions opts = item.ItemOptions;
        const int x0 = GetItemTextWidth(CopyItemText(text, 1, from - line.Offs, opts), canvas, opts);
        const int x1 = GetItemTextWidth(CopyItemText(text, 1, to - line.Offs, opts), canvas, opts);
        painter.Draw(canvas, *style, Rect(left + x0, line.Top + dy, left + x1,
                                          line.Top + dy + line.Height));
      }
  }
  if ((options & rdoShowCheckpoints) && NotAddedCP)
    style->DrawCheckpoint(canvas, dx, DocumentHeight + dy, dx, GetWidth(), this, -1, dx,
                          NotAddedCP->RaiseEvent);
}

// The caret of the editable data: the stops of the caret's screen line, showing the
// caret (the control draws it from the rectangle answered here), the current styles
// taken from the item at the caret, and placing the caret at an item position.
#include <algorithm>

#include "richtext/base/line_break.h"
#include "richtext/layout/complex_script.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// The unit belongs to the character before it (the second half of a surrogate pair, a
// combining mark): no caret stop before it, or typing there would split the character.
bool StaysWithPreviousAt(const std::string& s, int unit) {
  const size_t at = size_t(unit) * 2;
  if (at + 1 >= s.size()) return false;
  return StaysWithPrevious(char16_t(std::uint8_t(s[at]) | (std::uint8_t(s[at + 1]) << 8)));
}

}  // namespace

void TRDEditRDData::AddLeftToRightStops(int d, int firstOfLine, int wanted) {
  const TRDDrawLineInfo& line = *DrawItems[d];
  const TCustomRDItemInfo* item = GetItem(line.ItemNo);
  const bool text = item->StyleNo >= 0;
  const bool rtl = line.IsRightToLeft();
  const bool isCaretItem = d == CaretDItemNo;
  auto add = [this](int x, int dItem, int offset, int side) {
    CaretPositions.push_back(TRDCharPos{x, dItem, offset, side});
    return int(CaretPositions.size()) - 1;
  };
  if (d == firstOfLine && (!text || line.Length > 0)) {
    const int index =
        (!text && rtl) ? add(line.Left + line.Width, d, 0, 2) : add(line.Left, d, text ? 1 : 0, 1);
    if (isCaretItem && wanted < 0) CaretPosIndex = index;
  }
  int fit = 0;
  if (text && line.Length > 0) {
    const bool atWrap = IsDrawItemBeforeWrap(d);
    const std::string display = DisplayTextOf(d, atWrap);
    TRDCanvas& canvas = GetCanvas();
    if (TRDStyle* style = GetRDStyle())
      style->ApplyStyle(canvas, GetActualStyle(*item), GetParaBiDiMode(item->ParaNo), false);
    std::vector<int> extents;
    fit = MeasureTextFit(canvas, display, line.Width * 10, &extents, item->ItemOptions);
    fit = std::min(fit, int(extents.size()));
    const bool unicode = IsUnicodeItem(item->ItemOptions);
    const std::string stored = DrawItems.GetDrawItemText(d, Items);
    const int shift = line.TextIndent();
    for (int j = 0; j <= fit - 2; ++j) {
      if (unicode && StaysWithPreviousAt(stored, j + 1)) {
        if (isCaretItem && wanted == j) CaretPosIndex = int(CaretPositions.size()) - 1;
        continue;
      }
      const int index = add(extents[size_t(j)] + line.Left + shift, d, j + 2, 1);
      if (isCaretItem && j == wanted) CaretPosIndex = index;
    }
  }
  const int endOffset = GetDrawItemEndOffset(d);
  const int end = (!text && rtl) ? add(line.Left, d, endOffset, 1)
                                 : add(line.Left + line.Width, d, endOffset, text ? 1 : 2);
  if ((isCaretItem && (text ? wanted > fit - 2 : wanted >= -1)) ||
      (d + 1 == CaretDItemNo && wanted < 0))
    CaretPosIndex = end;
}

bool TRDEditRDData::AddBiDiStops(int d, int firstOfLine, int wanted) {
  const TRDDrawLineInfo& line = *DrawItems[d];
  const TCustomRDItemInfo* item = GetItem(line.ItemNo);
  if (item->StyleNo < 0 || line.Length == 0) return false;
  TRDCanvas& canvas = GetCanvas();
  if (TRDStyle* style = GetRDStyle())
    style->ApplyStyle(canvas, GetActualStyle(*item), GetParaBiDiMode(item->ParaNo), false);
  const std::string display = DisplayTextOf(d, IsDrawItemBeforeWrap(d));
  std::vector<int> positions;
  const TRDDrawItemDirection direction(canvas, line);
  // The stops of a text shown in its own order come from the widths of its beginnings.
  if ((GetItemBiDiMode(line.ItemNo) == rdbdUnspecified &&
       !IsReorderedText(canvas, display, item->ItemOptions)) ||
      !GetCharacterPositions(canvas, display, positions, item->ItemOptions,
                             line.Width - line.JustifyExtra) ||
      positions.size() < size_t(line.Length) + 1)
    return false;
  const bool unicode = IsUnicodeItem(item->ItemOptions);
  const std::string stored = DrawItems.GetDrawItemText(d, Items);
  const bool isCaretItem = d == CaretDItemNo;
  int firstStop = -1, lastStop = -1;
  for (int k = d == firstOfLine ? 0 : 1; k <= line.Length; ++k) {
    if (unicode && k < line.Length && StaysWithPreviousAt(stored, k)) continue;
    CaretPositions.push_back(
        TRDCharPos{positions[size_t(k)] + line.Left + line.TextIndent(), d, k + 1, 0});
    lastStop = int(CaretPositions.size()) - 1;
    if (firstStop < 0) firstStop = lastStop;
    if (isCaretItem && k - 1 == wanted) CaretPosIndex = lastStop;
  }
  if (isCaretItem && wanted < 0 && firstStop >= 0 && CaretPosIndex == 100000)
    CaretPosIndex = firstStop;
  if ((isCaretItem && wanted > line.Length - 1) || (d + 1 == CaretDItemNo && wanted < 0))
    CaretPosIndex = lastStop;
  return true;
}

void TRDEditRDData::BuildCaretPositions(int offset) {
  CaretPositions.clear();
  if (CaretDItemNo < 0 || CaretDItemNo >= DrawItems.Count()) {
    CaretDItemNo = -1;
    CaretPosIndex = -1;
    return;
  }
  CaretPosIndex = 100000;
  int first, last;
  GetLineDrawItemRange(CaretDItemNo, first, last);
  // The caret never stands on a list marker.
  if (GetItem(DrawItems[first]->ItemNo)->StyleNo == rdsListMarker && first < last) {
    if (CaretDItemNo == first) {
      CaretDItemNo = first + 1;
      offset = GetDrawItemStartOffset(CaretDItemNo);
    }
    ++first;
  }
  const int wanted = offset - 2;
  for (int d = first; d <= last; ++d)
    if (!AddBiDiStops(d, first, wanted)) AddLeftToRightStops(d, first, wanted);
}

bool TRDEditRDData::GetCaretRect(TRect& rect) const {
  if (CaretHeight == 0 || CaretDItemNo < 0 || CaretDItemNo >= DrawItems.Count() ||
      CaretPosIndex < 0 || CaretPosIndex >= int(CaretPositions.size()))
    return false;
  if (DragCaret || (State & rddsSelectedAsWhole) || Resizer || GetChosenItem()) return false;
  const TCustomRichDocEdit* editor = Editor();
  if (editor && editor->GetReadOnly() && (editor->EditorOptions & rdoHideReadOnlyCaret))
    return false;
  const TRDCharPos& stop = CaretPositions[size_t(CaretPosIndex)];
  const TRDDrawLineInfo& line = *DrawItems[CaretDItemNo];
  int ox, oy;
  GetOrigin(ox, oy);
  const int x = stop.X - 1 + stop.Side - GetHOffs() + ox - CaretWidth / 2;
  const int bottom = line.Top - 1 - GetVOffs() + oy + line.Height + 1 + CaretVMargin;
  rect = Rect(x, bottom - CaretHeight - 2 * CaretVMargin, x + CaretWidth, bottom);
  return true;
}

void TRDEditRDData::ShowCaret(bool, bool scrollToCaret, bool keepParaStyle, bool updateNow) {
  if (State & rddsFormattingSuspended) return;
  TCustomRichDocEdit* editor = Editor();
  if (updateNow) UpdateControl();
  if (GetChosenItem() || (State & rddsSelectedAsWhole)) {
    CaretHeight = 0;
    if (editor) editor->CaretMoved();
    return;
  }
  int height = 0;
  if (CaretDItemNo != -1) {
    if (CaretPosIndex < 0 || CaretPosIndex >= int(CaretPositions.size())) {
      CaretDItemNo = 0;
      CaretPosIndex = 0;
      SkipListMarkerAtCaret(true);
      BuildCaretPositions(GetDrawItemStartOffset(CaretDItemNo));
      throw ERichDocError(
          "Invalid caret position. Please contact the developer, if you can reproduce this "
          "problem");
    }
    CaretDItemNo = CaretPositions[size_t(CaretPosIndex)].DrawItemNo;
    height = std::min(DrawItems[CaretDItemNo]->Height + 2, CaretMaxHeight);
  }
  CaretHeight = Resizer ? 0 : height;
  if (CaretDItemNo != -1) {
    TakeStylesFromCaretItem(keepParaStyle);
    LightJumpAtCaret(editor);
  }
  if (!Resizer && scrollToCaret && height != 0) ScrollToCaret();
  if (editor) editor->CaretMoved();
}

void TRDEditRDData::LightJumpAtCaret(const TCustomRichDocEdit* editor) {
  // The link the caret stands in is drawn hot, as under the mouse.
  const int itemNo = DrawItems[CaretDItemNo]->ItemNo;
  const bool light = GetItem(itemNo)->QueryItemFlagEx(3, GetRDStyle()) &&
                     !(editor && (editor->EditorOptions & rdoNoCaretHighlightJumps));
  if (light) {
    if (HighlightedJumpItem == itemNo && (State & rddsCaretJumpHighlighted)) return;
    HighlightedJumpItem = itemNo;
    State |= rddsCaretJumpHighlighted;
    InvalidateControl();
  } else if (State & rddsCaretJumpHighlighted) {
    HighlightedJumpItem = -1;
    State &= ~rddsCaretJumpHighlighted;
    InvalidateControl();
  }
}

void TRDEditRDData::TakeStylesFromCaretItem(bool keepParaStyle) {
  TCustomRichDocEdit* editor = Editor();
  int itemNo = DrawItems[CaretDItemNo]->ItemNo;
  if (!keepParaStyle) {
    if (editor)
      editor->SetCurParaStyleNo(GetItemPara(itemNo));
    else
      CurParaStyleNo = GetItemPara(itemNo);
  }
  // A selection made backwards that ends at the end of a draw item takes its styles from
  // what follows in the paragraph.
  const int stopOffset = CaretPositions[size_t(CaretPosIndex)].Offset;
  if (SelEndDItem >= 0 &&
      (SelEndDItem < SelStartDItem ||
       (SelEndDItem == SelStartDItem && SelEndOffs < SelStartOffs)) &&
      stopOffset == GetDrawItemEndOffset(CaretDItemNo) && CaretDItemNo + 1 < DrawItems.Count() &&
      GetItem(DrawItems[CaretDItemNo + 1]->ItemNo)->GetContinuesPara())
    itemNo = DrawItems[CaretDItemNo + 1]->ItemNo;
  const TCustomRDItemInfo* item = GetItem(itemNo);
  int styleNo;
  if (item->StyleNo >= 0)
    styleNo = GetActualStyle(*item);
  else if (item->GetAssociatedTextStyleNo() >= 0 && item->QueryItemFlag(13))
    styleNo = item->GetAssociatedTextStyleNo();
  else
    return;
  const TRDStyle* style = GetRDStyle();
  if (!style) return;
  auto autoSwitches = [&](int s) {
    return s >= 0 && s < style->TextStyles().Count() &&
           !(style->TextStyles().Items(s).Protection & rdprDoNotAutoSwitch);
  };
  int target = -1;
  if (autoSwitches(styleNo)) {
    target = styleNo;
    LastTextStyleNo = styleNo;
  } else if (autoSwitches(LastTextStyleNo)) {
    target = LastTextStyleNo;
  }
  if (target < 0) return;
  if (editor)
    editor->SetCurTextStyleNo(target);
  else
    CurTextStyleNo = target;
}

void TRDEditRDData::ScrollToCaret() {
  TRect rect;
  if (CaretDItemNo < 0 || !GetCaretRect(rect)) {
    // A hidden caret still scrolls into view: the rectangle it would have.
    if (CaretDItemNo < 0) return;
    const TRDDrawLineInfo& line = *DrawItems[CaretDItemNo];
    rect = Rect(line.Left - GetHOffs(), line.Top - GetVOffs(), line.Left - GetHOffs() + 1,
                line.Top - GetVOffs() + line.Height);
  }
  constexpr int kMargin = 5;
  int ox, oy;
  GetOrigin(ox, oy);
  const int top = rect.Top - oy + GetVOffs(), bottom = rect.Bottom - oy + GetVOffs();
  if (top - kMargin < GetVOffs())
    ScrollTo(std::max(0, top - kMargin), true);
  else if (bottom + kMargin > GetVOffs() + GetHeight())
    ScrollTo(bottom + kMargin - GetHeight(), true);
  const int x = rect.Left - ox + GetHOffs();
  if (x - kMargin < GetHOffs())
    HScrollTo(std::max(0, x - kMargin));
  else if (x + kMargin > GetHOffs() + GetWidth())
    HScrollTo(x + kMargin - GetWidth());
}

void TRDEditRDData::SkipListMarkerAtCaret(bool forward) {
  if (CaretDItemNo < 0 || CaretDItemNo >= DrawItems.Count()) return;
  if (GetItem(DrawItems[CaretDItemNo]->ItemNo)->StyleNo != rdsListMarker) return;
  if ((CaretDItemNo == 0 || forward) && CaretDItemNo + 1 < DrawItems.Count())
    ++CaretDItemNo;
  else if (CaretDItemNo > 0)
    --CaretDItemNo;
}

void TRDEditRDData::SkipListMarkerAtItem(int& itemNo, int& offset, bool forward) const {
  if (itemNo < 0 || itemNo >= GetItemCount() || GetItem(itemNo)->StyleNo != rdsListMarker) return;
  if ((forward || offset == 1 || itemNo == 0) && itemNo + 1 < GetItemCount()) {
    ++itemNo;
    offset = GetItemStartOffset(itemNo);
  } else if (itemNo > 0) {
    --itemNo;
    offset = GetItemEndOffset(itemNo);
  }
}

void TRDEditRDData::PlaceCaretAtItem(int itemNo, int offset, bool updateParaStyle) {
  if (itemNo < 0 || itemNo >= GetItemCount() || DrawItems.Count() == 0) return;
  SkipListMarkerAtItem(itemNo, offset, true);
  int d, dOffs;
  ItemToDrawItem(itemNo, offset, d, dOffs);
  if (d < 0) return;
  CaretDItemNo = d;
  BuildCaretPositions(dOffs);
  ShowCaret(false, true, false, true);
  if (updateParaStyle) ApplyCurParaStyleToCaretPara();
}

void TRDEditRDData::PlaceCaretAtDrawItemStart() {
  if (CaretDItemNo < 0 || CaretDItemNo >= DrawItems.Count()) return;
  SkipListMarkerAtCaret(true);
  BuildCaretPositions(GetDrawItemStartOffset(CaretDItemNo));
  ShowCaret(false, true, false, false);
}

void TRDEditRDData::PlaceCaretAfterUndo(int itemNo, int offset) {
  const int count = GetItemCount();
  if (count == 0 || DrawItems.Count() == 0) return;
  itemNo = std::clamp(itemNo, 0, count - 1);
  offset = std::clamp(offset, GetItemStartOffset(itemNo), GetItemEndOffset(itemNo));
  int d, dOffs;
  ItemToDrawItem(itemNo, offset, d, dOffs);
  if (d < 0) return;
  SetSelectionBounds(itemNo, offset, itemNo, offset);
  CaretDItemNo = d;
  BuildCaretPositions(dOffs);
  ShowCaret(false, true, false, false);
}

void TRDEditRDData::ApplyCurParaStyleToCaretPara() {
  const int itemNo = GetCurrentItemNo();
  if (itemNo < 0) return;
  int first, last;
  ExpandRangeToParas(itemNo, itemNo, first, last);
  bool full = false;
  bool uniform = true;  // a joined paragraph may still hold the style of its second part
  for (int i = first; i <= last && uniform; ++i) uniform = GetItemPara(i) == CurParaStyleNo;
  if (uniform) return;
  int dFirst, dLast;
  ExpandDrawItemsToParas(CaretDItemNo, CaretDItemNo, dFirst, dLast);
  const int offset = GetOffsetInCurrentItem();
  SetParaNoRangeWithUndo(first, last, full, CurParaStyleNo);
  ReformatAfterEdit(full, dFirst, dLast, 0);
  int d, dOffs;
  ItemToDrawItem(itemNo, offset, d, dOffs);
  CaretDItemNo = d;
  BuildCaretPositions(dOffs);
  ShowCaret(false, true, true, false);
}

bool TRDEditRDData::IsDrawItemBeforeWrap(int dItemNo) const {
  if (dItemNo + 1 >= DrawItems.Count()) return false;
  const TRDDrawLineInfo& next = *DrawItems[dItemNo + 1];
  return next.FromNewLine &&
         (next.ItemNo == DrawItems[dItemNo]->ItemNo || !IsItemLineStart(next.ItemNo));
}

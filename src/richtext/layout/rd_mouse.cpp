// The mouse on a formatted document: hypertext areas that light up under the mouse and
// jump on a click, the cursor, selecting by characters, words, paragraphs or whole lines
// (a press in the left margin), the request to drag the selection, item hints, and the
// double click that selects a word.
#include <algorithm>

#include "richtext/layout/formatted_data.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr int kJumpRepaintMargin = 5;

// Order of two document positions: negative when (i1, o1) comes first.
int CompareItemPositions(int i1, int o1, int i2, int o2) {
  return i1 != i2 ? i1 - i2 : o1 - o2;
}

}  // namespace

std::string TCustomRDFormattedData::GetItemHint(int itemNo) {
  return GetItem(itemNo)->Hint;
}

TCustomRDItemInfo* TCustomRDFormattedData::ItemUnderMouse(int x, int y, int& rx, int& ry,
                                                          int& itemNo) const {
  itemNo = -1;
  if (DrawItemUnderMouse < 0 || DrawItemUnderMouse >= DrawItems.Count()) return nullptr;
  const TRDDrawLineInfo& line = *DrawItems[DrawItemUnderMouse];
  itemNo = line.ItemNo;
  rx = x - line.Left;
  ry = y - line.Top;
  return GetItem(itemNo);
}

TCustomRDItemInfo* TCustomRDFormattedData::CapturedItemAt(int x, int y, int& rx, int& ry,
                                                          int& itemNo) const {
  itemNo = capture_item_ ? GetItemNo(capture_item_) : -1;
  int left, top;
  if (itemNo < 0 || !GetItemCoords(itemNo, left, top)) return nullptr;
  rx = x - left;
  ry = y - top;
  return capture_item_;
}

void TCustomRDFormattedData::SetCaptureItem(TCustomRDItemInfo* item, int& left, int& top) {
  capture_item_ = item;
  left = top = 0;
  if (const int itemNo = item ? GetItemNo(item) : -1; itemNo >= 0) GetItemCoords(itemNo, left, top);
}

void TCustomRDFormattedData::ReleaseCaptureItem(TCustomRDItemInfo* item) {
  if (capture_item_ == item) capture_item_ = nullptr;
}

void TCustomRDFormattedData::UpdateDrawItemUnderMouse(int x, int y) {
  const int d = DrawItemUnderMouse;
  if (d >= 0 && d < DrawItems.Count()) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    if (x >= line.Left && x < line.Left + line.Width && y >= line.Top && y < line.Top + line.Height)
      return;
  }
  DrawItemUnderMouse = FindDrawItemAtPoint(x, y);
}

bool TCustomRDFormattedData::InLeftMargin(int x) const {
  return x + GetHOffs() < GetLeftMargin();
}

void TCustomRDFormattedData::ClampToClient(int& x, int& y) const {
  if (GetFlags() & rdfUnclampedMouse) return;
  x = std::clamp(x, 0, std::max(0, GetWidth() - 1));
  y = std::clamp(y, 0, std::max(0, GetHeight() - 1));
}

int TCustomRDFormattedData::FindJumpAt(int x, int y) const {
  for (size_t i = 0; i < Jumps.size(); ++i) {
    const TRDJumpInfo& j = Jumps[i];
    if (x >= j.Left && x < j.Left + j.Width && y >= j.Top && y < j.Top + j.Height) return int(i);
  }
  return -1;
}

void TCustomRDFormattedData::RepaintJump(int jumpId) {
  const TRDStyle* style = GetRDStyle();
  if (style && style->FullRedraw) {
    InvalidateControl();
  } else {
    int ox, oy;
    GetOrigin(ox, oy);
    const int dx = ox - GetHOffs(), dy = oy - GetVOffs();
    for (const TRDJumpInfo& j : Jumps)
      if (j.Id == jumpId)
        InvalidateClientRect(Rect(j.Left + dx - kJumpRepaintMargin, j.Top + dy - kJumpRepaintMargin,
                                  j.Left + dx + j.Width + kJumpRepaintMargin,
                                  j.Top + dy + j.Height + kJumpRepaintMargin));
  }
  UpdateControl();
}

void TCustomRDFormattedData::UnlightJump() {
  if (State & rdsLit) {
    State &= ~rdsLit;
    RepaintJump(JumpUnderMouse);
  }
  JumpUnderMouse = -1;
  LitJumpData = nullptr;
}

void TCustomRDFormattedData::ClearJumpHighlight() {
  if (!(GetFlags() & rdfCollectJumps)) return;
  UnlightJump();
}

void TCustomRDFormattedData::UpdateItemHint() {
  if (!(GetOptions() & rdoShowItemHints)) return;
  const std::string hint =
      DrawItemUnderMouse >= 0 ? GetItemHint(DrawItems[DrawItemUnderMouse]->ItemNo) : "";
  if (hint == last_hint_) return;
  last_hint_ = hint;
  ShowItemHint(hint);
}

// The word around a drawn position, as drawn positions; a non-text item is a word of its
// own. False between words.
bool TCustomRDFormattedData::WordBoundsAt(int dItemNo, int dItemOffs, int& startDItem,
                                          int& startOffs, int& endDItem, int& endOffs) const {
  int itemNo, offs;
  DrawItemToItem(dItemNo, dItemOffs, itemNo, offs);
  if (itemNo < 0) return false;
  int start = 0, end = 1;
  if (GetItem(itemNo)->StyleNo >= 0) {
    const std::string& s = GetItemTextRaw(itemNo);
    const TRDItemOptions options = GetItemOptions(itemNo);
    const int length = GetItemTextLength(s, options);
    start = end = std::clamp(offs, 1, length + 1);
    while (start > 1 && !IsDelimiterAt(s, start - 1, options)) --start;
    while (end <= length && !IsDelimiterAt(s, end, options)) ++end;
    if (start == end) return false;
  }
  ItemToDrawItem(itemNo, start, startDItem, startOffs);
  ItemToDrawItem(itemNo, end, endDItem, endOffs);
  return startDItem >= 0 && endDItem >= 0;
}

// Word selection: inside the word pressed the selection goes by characters; beyond it,
// it takes that whole word and the whole word under the mouse.
void TCustomRDFormattedData::WidenToWords() {
  const TRDSelectingInfo& info = *SelectingInfo;
  if (info.WordStartDItem < 0) return;
  int endItem, endOffs, wsItem, wsOffs, weItem, weOffs;
  DrawItemToItem(SelEndDItem, SelEndOffs, endItem, endOffs);
  DrawItemToItem(info.WordStartDItem, info.WordStartOffs, wsItem, wsOffs);
  DrawItemToItem(info.WordEndDItem, info.WordEndOffs, weItem, weOffs);
  const bool after = CompareItemPositions(endItem, endOffs, weItem, weOffs) > 0;
  const bool before = CompareItemPositions(endItem, endOffs, wsItem, wsOffs) < 0;
  if (!after && !before) {
    SelStartDItem = info.AnchorDItem;
    SelStartOffs = info.AnchorOffs;
    return;
  }
  int sd, so, ed, eo;
  const bool inWord = WordBoundsAt(SelEndDItem, SelEndOffs, sd, so, ed, eo);
  if (after) {
    SelStartDItem = info.WordStartDItem;
    SelStartOffs = info.WordStartOffs;
    if (inWord) SelEndDItem = ed, SelEndOffs = eo;
  } else {
    SelStartDItem = info.WordEndDItem;
    SelStartOffs = info.WordEndOffs;
    if (inWord) SelEndDItem = sd, SelEndOffs = so;
  }
}

// The selection runs from where the press was to the document point (x, y).
void TCustomRDFormattedData::MoveSelectionEnd(int x, int y) {
  int d, o;
  FindDrawItemAtPos(x, y, false, d, o);
  if (d < 0 || !SelectingInfo) return;
  SelStartDItem = SelectingInfo->AnchorDItem;
  SelStartOffs = SelectingInfo->AnchorOffs;
  SelEndDItem = d;
  SelEndOffs = o;
  const TRDStyle* style = GetRDStyle();
  if (State & rdsSelectingLines)
    ExpandSelectionToLines();
  else if (style && style->SelectionMode == rdsmWord)
    WidenToWords();
  else if (style && style->SelectionMode == rdsmParagraph)
    ExpandSelectionToParas(false);
}

void TCustomRDFormattedData::StartSelection(TShiftState shift, int x, int y, bool inMargin) {
  int d, o;
  FindDrawItemAtPos(x, y, false, d, o);
  const bool extend = (shift & ssShift) && SelStartDItem >= 0;
  if (!extend) {
    SelStartDItem = d;
    SelStartOffs = o;
  }
  SelEndDItem = d;
  SelEndOffs = o;
  ReleasePartialSelection();
  State &= ~(rdsAllSelected | rdsDblClickSelected);
  if (d < 0) {
    State &= ~rdsSelecting;
    SelStartDItem = -1;
    SelectingInfo.reset();
    return;
  }
  State |= rdsSelecting;
  SelectingInfo = std::make_unique<TRDSelectingInfo>();
  SelectingInfo->AnchorDItem = SelStartDItem;
  SelectingInfo->AnchorOffs = SelStartOffs;
  const TRDStyle* style = GetRDStyle();
  if (inMargin && !(shift & ssShift) && style && style->LineSelectCursor != -1 &&
      GetBiDiMode() != rdbdRightToLeft) {
    State |= rdsSelectingLines;
    ExpandSelectionToLines();
  } else if (!inMargin && style && style->SelectionMode == rdsmWord) {
    TRDSelectingInfo& info = *SelectingInfo;
    if (!WordBoundsAt(info.AnchorDItem, info.AnchorOffs, info.WordStartDItem, info.WordStartOffs,
                      info.WordEndDItem, info.WordEndOffs))
      info.WordStartDItem = info.WordEndDItem = -1;
    if (extend) WidenToWords();
  } else if (!inMargin && style && style->SelectionMode == rdsmParagraph) {
    ExpandSelectionToParas(false);
  }
  InvalidateControl();
}

void TCustomRDFormattedData::MouseDown(TMouseButton button, TShiftState shift, int cx, int cy) {
  int x = cx, y = cy;
  ClientToDocument(x, y);
  UpdateDrawItemUnderMouse(x, y);
  DrawItemPressed = DrawItemUnderMouse;
  if (!(shift & ssDouble)) SetControlFocus();
  int rx, ry, itemUnder;
  if (TCustomRDItemInfo* item = ItemUnderMouse(x, y, rx, ry, itemUnder))
    item->MouseDown(button, shift, rx, ry, itemUnder, this);
  DoRDMouseDown(button, shift, itemUnder, cx, cy);
  // An item that took the mouse (a table selecting cells) makes the selection itself.
  if (capture_item_) return;
  const int jump = button == mbLeft ? FindJumpAt(x, y) : -1;
  JumpPressed = jump >= 0 ? Jumps[size_t(jump)].Id : -1;
  TCustomRDData& root = *GetAbsoluteRootData();
  if (button != mbLeft || (root.State & rdsDragPending)) return;
  const TRDOptions options = GetOptions();
  if ((options & rdoSingleClick) && IsDblClickEventAssigned()) {
    int itemNo, start, length;
    if (FindWordAt(x, y, itemNo, start, length)) {
      const TCustomRDItemInfo* item = GetItem(itemNo);
      DoRDDblClick(item->StyleNo >= 0
                       ? CopyItemText(GetItemTextRaw(itemNo), start, length, item->ItemOptions)
                       : std::string(),
                   GetItemStyle(itemNo));
    }
  }
  if (!(options & rdoAllowSelection)) return;
  // The second press of a double click keeps the word the double click selected.
  if ((shift & ssDouble) && (State & rdsDblClickSelected)) return;
  State &= ~rdsSelectingLines;
  const bool inMargin = InLeftMargin(cx);
  int d, o;
  FindDrawItemAtPos(x, y, false, d, o);
  int itemNo, offs;
  DrawItemToItem(d, o, itemNo, offs);
  // A selected picture counts as inside although the press meets one of its bounds.
  const bool inSelection =
      d >= 0 && (IsPositionInSelection(itemNo, offs, false) ||
                 (GetItem(itemNo)->StyleNo < 0 && IsPositionInSelection(itemNo, 0, true) &&
                  IsPositionInSelection(itemNo, 1, true)));
  if (inSelection && !(shift & ssShift) && !inMargin && !(root.State & rdsNoDragStart)) {
    int strictD, strictO;
    FindDrawItemAtPos(x, y, true, strictD, strictO);
    if (strictD >= 0 && CanStartDrag()) {
      root.State |= rdsDragPending;
      RequestDrag();
      return;
    }
  }
  StartSelection(shift, x, y, inMargin);
}

void TCustomRDFormattedData::MouseMove(TShiftState shift, int cx, int cy) {
  const TRDStyle* style = GetRDStyle();
  if (!style) return;
  if ((State & rdsSelecting) && !(shift & ssLeft)) {
    // The button went up outside the window.
    State &= ~(rdsSelecting | rdsSelectingLines);
    SelectingInfo.reset();
  }
  const bool overlay = bool(xor_handler_);
  if (overlay) HideXorDraw();
  {
    int x = cx, y = cy, rx, ry, itemNo;
    ClientToDocument(x, y);
    if (TCustomRDItemInfo* item = CapturedItemAt(x, y, rx, ry, itemNo)) {
      item->MouseMove(shift, rx, ry, itemNo, this);
      if (overlay && xor_handler_) ShowXorDrawAt(cx, cy);
      return;
    }
  }
  if (State & rdsSelecting) {
    int x = cx, y = cy;
    ClampToClient(x, y);
    ClientToDocument(x, y);
    const int s = SelStartDItem, so = SelStartOffs, e = SelEndDItem, eo = SelEndOffs;
    MoveSelectionEnd(x, y);
    if (s != SelStartDItem || so != SelStartOffs || e != SelEndDItem || eo != SelEndOffs)
      InvalidateControl();
  }
  int x = cx, y = cy;
  ClientToDocument(x, y);
  UpdateDrawItemUnderMouse(x, y);
  const bool canSelect = (GetOptions() & rdoAllowSelection) != 0;
  if (InLeftMargin(cx) && canSelect && !(State & rdsSelecting) &&
      GetBiDiMode() != rdbdRightToLeft && style->LineSelectCursor != -1) {
    SetShownCursor(style->LineSelectCursor);
  } else {
    const int j = (GetFlags() & rdfCollectJumps) ? FindJumpAt(x, y) : -1;
    if (j >= 0) {
      const TRDJumpInfo& jump = Jumps[size_t(j)];
      SetShownCursor(jump.Cursor);
      if (LitJumpData != this || JumpUnderMouse != jump.Id) {
        if (State & rdsLit) {
          State &= ~rdsLit;
          RepaintJump(JumpUnderMouse);
        }
        DoJumpHover(jump.Id + FirstJumpNo);
      }
      JumpUnderMouse = jump.Id;
      LitJumpData = this;
      const int itemNo = DrawItems[jump.DrawItemNo]->ItemNo;
      TCustomRDItemInfo* item = GetItem(itemNo);
      item->MouseMove(shift, x - DrawItems[jump.DrawItemNo]->Left,
                      y - DrawItems[jump.DrawItemNo]->Top, itemNo, this);
      if (!(State & rdsLit) && item->QueryItemFlagEx(3, GetRDStyle())) {
        State |= rdsLit;
        RepaintJump(jump.Id);
      }
    } else {
      if (LitJumpData) {
        UnlightJump();
        DoJumpHover(-1);
      }
      int rx, ry, itemUnder;
      TCustomRDItemInfo* item = ItemUnderMouse(x, y, rx, ry, itemUnder);
      const bool handled = item && item->MouseMove(shift, rx, ry, itemUnder, this);
      int itemNo = -1, offs = 0;
      if (!handled && !(shift & ssShift) && HasSelection() && CanStartDrag()) {
        int d, o;
        FindDrawItemAtPos(x, y, true, d, o);
        DrawItemToItem(d, o, itemNo, offs);
      }
      if (itemNo >= 0 && IsPositionInSelection(itemNo, offs, false))
        SetShownCursor(crArrow);
      else if (!handled)
        SetShownCursor(GetNormalCursor());
      UpdateItemHint();
    }
  }
  if (overlay) ShowXorDrawAt(cx, cy);
}

void TCustomRDFormattedData::MouseUp(TMouseButton button, TShiftState shift, int cx, int cy) {
  {
    int x = cx, y = cy, rx, ry, itemNo;
    ClientToDocument(x, y);
    if (TCustomRDItemInfo* item = CapturedItemAt(x, y, rx, ry, itemNo)) {
      item->MouseUp(button, shift, rx, ry, itemNo, this);
      DoRDMouseUp(button, shift, itemNo, cx, cy);
      DrawItemPressed = -1;
      // What the mouse selected inside the item (a table's cells) is a selection too.
      if (button == mbLeft) DoMouseSelected();
      return;
    }
  }
  if ((State & rdsSelecting) && button == mbLeft) {
    int x = cx, y = cy;
    ClampToClient(x, y);
    ClientToDocument(x, y);
    MoveSelectionEnd(x, y);
    State &= ~(rdsSelecting | rdsSelectingLines);
    SelectingInfo.reset();
    InvalidateControl();
    DoMouseSelected();
    if (OnSelect) OnSelect();
  }
  int x = cx, y = cy;
  ClientToDocument(x, y);
  UpdateDrawItemUnderMouse(x, y);
  if (button == mbRight && (GetOptions() & rdoRClickDeselects)) {
    int d, o;
    FindDrawItemAtPos(x, y, false, d, o);
    int itemNo, offs;
    DrawItemToItem(d, o, itemNo, offs);
    if (d >= 0 && !IsPositionInSelection(itemNo, offs, true)) {
      SelStartDItem = SelEndDItem = d;
      SelStartOffs = SelEndOffs = o;
      State &= ~rdsAllSelected;
      InvalidateControl();
      if (OnSelect) OnSelect();
    }
  }
  int rx, ry, itemUnder;
  if (TCustomRDItemInfo* item = ItemUnderMouse(x, y, rx, ry, itemUnder))
    item->MouseUp(button, shift, rx, ry, itemUnder, this);
  DoRDMouseUp(button, shift, itemUnder, cx, cy);
  if (button == mbRight) {
    int itemNo, start, length;
    std::string word;
    int styleNo = -1;
    if (FindWordAt(x, y, itemNo, start, length)) {
      const TCustomRDItemInfo* item = GetItem(itemNo);
      if (item->StyleNo >= 0)
        word = CopyItemText(GetItemTextRaw(itemNo), start, length, item->ItemOptions);
      styleNo = GetItemStyle(itemNo);
    }
    DoRDRightClick(word, styleNo, cx, cy);
  }
  if (button == mbLeft && JumpPressed >= 0) {
    const int j = FindJumpAt(x, y);
    if (j >= 0 && Jumps[size_t(j)].Id == JumpPressed) DoJump(JumpPressed + FirstJumpNo);
  }
  JumpPressed = -1;
  DrawItemPressed = -1;
}

void TCustomRDFormattedData::DblClick(int cx, int cy) {
  const TRDOptions options = GetOptions();
  const bool selectsWord = (options & rdoDblClickSelectsWord) != 0;
  if (!selectsWord && ((options & rdoSingleClick) || !IsDblClickEventAssigned())) return;
  int x = cx, y = cy;
  ClientToDocument(x, y);
  int itemNo, start, length;
  if (!FindWordAt(x, y, itemNo, start, length)) return;
  const TCustomRDItemInfo* item = GetItem(itemNo);
  const std::string word =
      item->StyleNo >= 0 ? CopyItemText(GetItemTextRaw(itemNo), start, length, item->ItemOptions)
                         : std::string();
  if (selectsWord && (options & rdoAllowSelection)) {
    State &= ~(rdsSelecting | rdsSelectingLines);
    SelectingInfo.reset();
    if (item->StyleNo >= 0)
      SetSelectionBounds(itemNo, start, itemNo, start + length);
    else
      SetSelectionBounds(itemNo, 0, itemNo, 1);
    State |= rdsDblClickSelected;
    InvalidateControl();
  }
  DoRDDblClick(word, GetItemStyle(itemNo));
}

// The overlay is state: the paint draws it while it is shown.
void TCustomRDFormattedData::RegisterXorDrawHandler(TRDXorDrawHandler handler, const void* owner) {
  HideXorDraw();
  xor_handler_ = std::move(handler);
  xor_owner_ = owner;
}

void TCustomRDFormattedData::UnregisterXorDrawHandler() {
  HideXorDraw();
  xor_handler_ = nullptr;
  xor_owner_ = nullptr;
}

void TCustomRDFormattedData::ShowXorDrawAt(int x, int y) {
  if (!xor_handler_) return;
  xor_point_ = Point(x, y);
  xor_visible_ = true;
  InvalidateControl();
}

bool TCustomRDFormattedData::HideXorDraw() {
  if (!xor_visible_) return false;
  xor_visible_ = false;
  InvalidateControl();
  return true;
}

void TCustomRDFormattedData::PaintXorDraw(TRDCanvas& canvas) {
  if (xor_visible_ && xor_handler_) xor_handler_(canvas, xor_point_.X, xor_point_.Y);
}

// What is on a tab: its fill or background picture, image, caption, focus mark and close
// box, and the active tab drawn last over its neighbours.
#include "lists/tab_painter.h"

#include "platform/gui/graphics/rotated_text.h"

// The close box of a tab, anchored by position and side; Look decides its colours.
void TTabPainter::DrawCloseButton(const TRect& Tab, bool Active, TCloseLook Look) {
  const TTabMargin& m = pc_.TabMargin();
  const int la = (Active || Look != clkNormal) ? pc_.LowerActive() : 0;
  const bool right = pc_.ClosePosition() == cpRight;
  int x = 0, y = 0;
  switch (pos_) {
    case tpTop:
    case tpBottom:
      x = right ? Tab.Right - m.RightMargin() - 14 : Tab.Left + m.LeftMargin();
      y = Tab.Top + m.TopMargin() + la;
      break;
    case tpRight:
      x = Look == clkHot ? Tab.Left + m.LeftMargin() : Tab.Left + m.LeftMargin() + 2 - la;
      y = right ? Tab.Bottom - m.RightMargin() - 13 : Tab.Top + m.TopMargin();
      break;
    case tpLeft:
      x = Tab.Left + m.LeftMargin() + la;
      y = right ? Tab.Top + m.RightMargin() + 13 : Tab.Bottom - m.TopMargin();
      if (!pc_.TabBackGroundActive().Empty()) y += pc_.TabOverlap();
      break;
  }
  const bool up = pos_ == tpLeft;
  if (!pc_.CloseGlyph().Empty()) {
    c_.Draw(x + 2, up ? y - 13 : y + 2, pc_.CloseGlyph());
    return;
  }
  const TColor fill = Look == clkPressed ? 0xC0C0C0 : clWhite;
  const TColor border = Look == clkNormal ? 0x808080 : clBlack;
  const TColor strokes = Look == clkHot ? 0x808080 : clBlack;
  const TRect box = up ? Rect(x + 2, y - 13, x + 14, y - 2) : Rect(x + 2, y + 2, x + 14, y + 13);
  Fill(c_, box, fill);
  c_.Brush().SetColor(border);
  c_.FrameRect(box);
  c_.Pen().SetColor(strokes);
  const int s = up ? -1 : 1;
  const int o = up ? -1 : 0;  // the mirrored figure sits one row higher
  Line(c_, {{x + 5, y + s * 9 + o}, {x + 11, y + s * 4 + o}});
  Line(c_, {{x + 6, y + s * 9 + o}, {x + 10, y + s * 4 + o}});
  Line(c_, {{x + 5, y + s * 5 + o}, {x + 11, y + s * 10 + o}});
  Line(c_, {{x + 6, y + s * 5 + o}, {x + 10, y + s * 10 + o}});
}

TRect TExPageControl::CloseHitArea(const TRect& Tab) const {
  const int lm = tab_margin_.LeftMargin(), tm = tab_margin_.TopMargin(),
            rm = tab_margin_.RightMargin();
  const bool right = close_position_ == cpRight;
  switch (tab_position_) {
    case tpTop:
    case tpBottom:
      if (right) return Bounds(Tab.Right - rm - 14, Tab.Top + tm, 14, 13);
      break;
    case tpRight:
      if (right) return Bounds(Tab.Left + lm, Tab.Bottom - rm - 13, 14, 13);
      break;
    case tpLeft: {
      const bool active = !tab_background_active_.Empty();
      const int x = Tab.Left + lm + (active ? 2 : 0);
      int b = right ? Tab.Top + rm + 13 : Tab.Bottom - tm;
      if (active) b += tab_overlap_;
      return Rect(x + 2, b - 13, x + 14, b - 2);
    }
  }
  return Rect(Tab.Left + lm + 2, Tab.Top + tm + 2, Tab.Left + lm + 14, Tab.Top + tm + 13);
}

void TTabPainter::DrawTab(TExTabSheet& Sheet, int PageIndex) {
  TRect r = pc_.TabRect(PageIndex);
  const bool active = &Sheet == pc_.ActivePage();
  const bool drawn = static_cast<bool>(pc_.OnDrawTab);
  if (drawn) pc_.OnDrawTab(&pc_, PageIndex, r, active);
  const TTabPosition pos = pos_;
  const TTabMargin& m = pc_.TabMargin();
  TPoint text = TextOrigin(r, Sheet, active);
  int& x = text.X;
  int& y = text.Y;
  if (pc_.TabBackGround().Empty()) {
    if (!drawn) FillTab(r, Sheet, PageIndex, active);
    if (pos == tpRight) r.Right += 1;
    DrawTabBorder(r, active, PageIndex);
    if (pc_.TabStyle() == tsClassic && !active && pos == tpBottom) y += 2;
  } else if (!drawn) {
    DrawTabPicture(r, active, PageIndex, text);
  }
  x += m.LeftMargin();
  y += pos == tpLeft ? -m.TopMargin() : m.TopMargin();
  if (pos == tpLeft && !pc_.TabBackGroundActive().Empty()) y += pc_.TabOverlap() + 3;
  if (deferred_ == PageIndex) {
    if (deferred_text_.X == -10 && deferred_text_.Y == -10) deferred_text_ = {x, y};
    return;
  }
  if (Sheet.ShowClose()) {
    const TCloseLook look = !active           ? clkNormal
                            : pc_.close_down_ ? clkPressed
                            : pc_.close_hot_  ? clkHot
                                              : clkNormal;
    DrawCloseButton(r, active, look);
  }
  DrawTabImage(PageIndex, drawn, text);
  DrawTabCaption(Sheet, PageIndex, r, active, drawn, text);
}

// Where a tab's text starts, before the margins and the pictures move it.
TPoint TTabPainter::TextOrigin(const TRect& r, TExTabSheet& Sheet, bool active) const {
  const int la = active ? pc_.LowerActive() : 0;
  const bool closeLeft = Sheet.ShowClose() && pc_.ClosePosition() == cpLeft;
  switch (pos_) {
    case tpTop:
      return {r.Left + (closeLeft ? 18 : 4), r.Top + la + 1};
    case tpBottom:
      return {r.Left + (closeLeft ? 18 : 4), active ? r.Top + la + 1 : r.Top};
    case tpLeft:
      return {r.Left + la + 1, r.Bottom - (closeLeft ? 17 : 4)};
    case tpRight:
      break;
  }
  return {r.Right - la - 1, r.Top + (closeLeft ? 17 : 4)};
}

// A tab without a background picture: filled in its colour, or its gradient, by state.
void TTabPainter::FillTab(const TRect& r, TExTabSheet& Sheet, int PageIndex, bool active) {
  const TTabPosition pos = pos_;
  TColor from = Sheet.TabColor(), to = Sheet.TabColorTo();
  TGradientDirection direction = Sheet.TabGradientDirection();
  if (active && pc_.ActiveColor() != clNone) {
    from = pc_.ActiveColor();
    to = pc_.ActiveColorTo();
  } else if (Sheet.Highlighted() && !active) {
    // A highlighted tab stands out in the selection colour.
    from = clHighlight;
    to = clNone;
  } else if (PageIndex == pc_.HoverTab() && pc_.TabHoverColor != clNone) {
    from = pc_.TabHoverColor;
    to = pc_.TabHoverColorTo;
    direction = Sheet.HoverGradientDirection;
  }
  if (from == clNone) return;
  TRect fill = r;
  if (pos == tpTop) fill.Top -= 1;
  if (pos == tpBottom) fill.Bottom += 1;
  if (pos == tpLeft) fill.Left -= 1;
  if (to == clNone) {
    Fill(c_, fill, from);
    return;
  }
  const bool horizontal = direction == gdHorizontal;
  switch (pos) {
    case tpTop:
      fill.Bottom -= 1;
      if (horizontal) fill.Right -= 1;
      break;
    case tpBottom:
      if (horizontal) {
        fill.Right -= 1;
      } else {
        fill.Bottom -= 1;
      }
      break;
    case tpLeft:
      fill.Right -= 1;
      if (!horizontal) fill.Bottom -= 1;
      break;
    case tpRight:
      if (!active && !horizontal) fill.Bottom -= 1;
      break;
  }
  GradientFill(c_, from, to, horizontal, fill, kGradientBands);
}

// A tab with a background picture: drawn in three slices along the tab, or kept for
// last when it is the active tab with a picture of its own; the text moves with it.
void TTabPainter::DrawTabPicture(const TRect& r, bool active, int PageIndex, TPoint& text) {
  if (active && !pc_.TabBackGroundActive().Empty()) {
    deferred_ = PageIndex;
    deferred_rect_ = r;
    return;
  }
  const bool across = pos_ == tpTop || pos_ == tpBottom;
  const int length = (across ? r.Width() : r.Height()) + (across ? 2 : 3) + pc_.TabOverlap();
  switch (pos_) {
    case tpTop:
      DrawHorizontalThreeSlice(pc_.TabBackGround(), c_, r.Left - 1, length, r.Top - 2);
      break;
    case tpBottom:
      DrawHorizontalThreeSlice(pc_.TabBackGround(), c_, r.Left - 2, length, r.Top - 1);
      text.Y += 3;
      break;
    case tpLeft:
      DrawVerticalThreeSlice(pc_.TabBackGround(), c_, r.Left, length, r.Top);
      text.X -= 2;
      text.Y -= 3;
      break;
    case tpRight:
      DrawVerticalThreeSlice(pc_.TabBackGround(), c_, r.Left - 1, length, r.Top - 2);
      text.X -= pc_.TabHeight() / 3;
      text.Y -= 3;
      break;
  }
}

// The tab's image from the image list (asked for even when OnDrawTab draws the tab);
// the text moves past it.
void TTabPainter::DrawTabImage(int PageIndex, bool drawn, TPoint& text) {
  TImageList* images = pc_.Images();
  const int image = pc_.TabImageIndex(PageIndex);
  if (!images || image < 0 || drawn) return;
  switch (pos_) {
    case tpLeft:
      images->Draw(c_, text.X + 1, text.Y - 14, image);
      text.Y -= images->Height();
      break;
    case tpRight:
      images->Draw(c_, text.X - 18, text.Y, image);
      text.Y += images->Height();
      break;
    default:
      images->Draw(c_, text.X - 2, text.Y, image);
      text.X += images->Width();
      break;
  }
}

// The caption in the colour of the tab's state, and the focus mark on the active tab.
void TTabPainter::DrawTabCaption(TExTabSheet& Sheet, int PageIndex, const TRect& r, bool active,
                                 bool drawn, TPoint text) {
  const bool across = pos_ == tpTop || pos_ == tpBottom;
  c_.Font().Assign(active && across ? pc_.ActiveFont() : pc_.Font());
  if (!active) c_.Font().SetColor(Sheet.TextColor());
  if (!active && Sheet.Highlighted()) c_.Font().SetColor(clHighlightText);
  if (!active && pc_.HotTrack() && PageIndex == pc_.HoverTab()) c_.Font().SetColor(kHotTrackText);
  if (!Sheet.TabEnable()) c_.Font().SetColor(0x808080);
  if (!Sheet.Enabled()) c_.Font().SetColor(clGrayText);
  if (!drawn) {
    c_.Brush().SetStyle(bsClear);
    if (across) {
      TRect box{text.X, text.Y, r.Right + 200, r.Bottom + 200};
      c_.TextRect(box, Sheet.Caption(), tfSingleLine);
    } else {
      DrawRotatedText(c_, text.X, text.Y, Sheet.Caption(), pos_ == tpLeft ? 900 : -900);
    }
  }
  if (active) c_.Font().Assign(pc_.Font());
  if (pc_.ShowFocus && active && pc_.Focused())
    c_.DrawFocusRect(Rect(r.Left + 5, r.Top + 3, r.Right - 5, r.Bottom - 3));
}

void TTabPainter::DrawDeferredTab() {
  if (deferred_ < 0 || pc_.OnDrawTab) return;
  TExTabSheet& sheet = *pc_.Pages(deferred_);
  const TRect& r = deferred_rect_;
  const TTabPosition pos = pos_;
  const bool across = pos == tpTop || pos == tpBottom;
  const int length = (across ? r.Width() : r.Height()) + (across ? 2 : 3) + pc_.TabOverlap();
  const bool low = pc_.LowerActive() < 1;
  const TBitmap& picture = pc_.TabBackGroundActive();
  switch (pos) {
    case tpTop:
      DrawHorizontalThreeSlice(picture, c_, r.Left - 2, length, low ? r.Top - 2 : r.Top - 1);
      break;
    case tpBottom:
      DrawHorizontalThreeSlice(picture, c_, r.Left - 2, length, low ? r.Top - 1 : r.Top - 3);
      break;
    case tpLeft:
      DrawVerticalThreeSlice(picture, c_, low ? r.Left : r.Left + 1, length, r.Top);
      break;
    case tpRight:
      DrawVerticalThreeSlice(picture, c_, low ? r.Left - 1 : r.Left - 3, length, r.Top - 2);
      break;
  }
  if (sheet.ShowClose())
    DrawCloseButton(r, true, pc_.close_down_ ? clkPressed : pc_.close_hot_ ? clkHot : clkNormal);
  int x = deferred_text_.X, y = deferred_text_.Y;
  const int image = pc_.TabImageIndex(deferred_);
  if (TImageList* images = pc_.Images(); images && image >= 0) {
    switch (pos) {
      case tpLeft:
        images->Draw(c_, x, y - 14, image);
        y -= images->Height();
        break;
      case tpRight:
        images->Draw(c_, x - 14, y, image);
        y += images->Height();
        break;
      default:
        images->Draw(c_, x - 2, y, image);
        x += images->Width();
        break;
    }
  }
  c_.Font().Assign(pc_.ActiveFont());
  if (!sheet.Enabled()) c_.Font().SetColor(clGrayText);
  c_.Brush().SetStyle(bsClear);
  if (across) {
    TRect text{x, pos == tpBottom ? y - 2 : y, r.Right + 200, r.Bottom + 200};
    c_.TextRect(text, sheet.Caption(), tfSingleLine);
  } else {
    DrawRotatedText(c_, x, y, sheet.Caption(), pos == tpLeft ? 900 : -900);
  }
  c_.Font().Assign(pc_.Font());
  if (pc_.ShowFocus && pc_.Focused()) {
    const int o = pc_.TabOverlap();
    c_.DrawFocusRect(across ? Rect(r.Left + 5, r.Top + 3, r.Right - 5 - o, r.Bottom - 3)
                            : Rect(r.Left + 5, r.Top + 3, r.Right - 5, r.Bottom - 3 - o));
  }
}

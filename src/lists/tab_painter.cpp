// The page control's look: the tab row band, the outline of every tab in its style, the
// page frame, the colour ring of the active page and the hover outline.
#include "lists/tab_painter.h"

#include <tuple>

#include "platform/gui/graphics/rotated_text.h"

void TExPageControl::Paint() {
  // While a change reshuffles the rows, nothing of them is drawn.
  if (update_count_ > 0) {
    TCustomControl::Paint();
    return;
  }
  TTabPainter(*this, Canvas()).Paint();
}

void TTabPainter::ComputeExtent() {
  max_bottom_ = 0;
  min_top_ = pc_.PageCount() > 0 ? pc_.TabRect(0).Top : 0;
  min_left_ = w_;
  max_right_ = 0;
  for (int n = pc_.PageCount() - 1; n >= 0; --n) {
    if (!OnThisSide(n)) continue;
    TRect r = pc_.TabRect(n);
    if (!any_tab_) min_top_ = r.Top;
    any_tab_ = true;
    max_bottom_ = std::max(max_bottom_, r.Bottom);
    min_top_ = std::min(min_top_, r.Top);
    min_left_ = std::min(min_left_, r.Left);
    max_right_ = std::max(max_right_, r.Right);
    r.Right += 2;
    switch (pos_) {
      case tpTop:
        r.Left -= 2;
        r.Top -= 2;
        break;
      case tpBottom:
        r.Left -= 2;
        r.Bottom += 2;
        break;
      case tpLeft:
        r.Left -= 2;
        r.Top -= 2;
        r.Bottom += 2;
        r.Right -= 2;
        break;
      case tpRight:
        r.Top -= 2;
        r.Bottom += 2;
        break;
    }
    Fill(c_, r, parent_color_);
  }
  if (!any_tab_) {
    switch (pos_) {
      case tpTop:
        max_bottom_ = 2;
        break;
      case tpBottom:
        min_top_ = h_ - 2;
        break;
      case tpLeft:
        max_right_ = 2;
        break;
      case tpRight:
        min_left_ = w_ - 2;
        break;
    }
  }
}

// The extent's edge next to the page.
int TTabPainter::Edge() const {
  switch (pos_) {
    case tpTop:
      return max_bottom_;
    case tpBottom:
      return min_top_;
    case tpLeft:
      return max_right_;
    case tpRight:
      return min_left_;
  }
  return 0;
}

void TTabPainter::Paint() {
  // The whole client area starts in the control's colour: the page behind the sheets.
  Fill(c_, pc_.ClientRect(), pc_.Color());
  parent_color_ = pc_.Parent() ? pc_.Parent()->Color() : clBtnFace;
  c_.Font().Assign(pc_.Font());
  ComputeExtent();
  FillBand();
  DrawColourRing();
  if (!pc_.TabSheet3D()) {
    DrawPageBorder();
    if (pc_.RoundEdges()) DrawRoundEdges();
    DrawJoinLine();
  }
  for (int n = pc_.PageCount() - 1; n >= 0; --n)
    if (OnThisSide(n)) DrawTab(*pc_.Pages(n), n);
  DrawDeferredTab();
  DrawHover();
  DrawScrollArrows();
  PaintOppositeRows();
}

void TTabPainter::FillBand() {
  switch (pos_) {
    case tpTop:
      Fill(c_, Rect(0, 0, w_, max_bottom_), pc_.TabBackGroundColor());
      break;
    case tpBottom:
      Fill(c_, Rect(0, min_top_, w_, h_), pc_.TabBackGroundColor());
      break;
    case tpLeft:
      Fill(c_, Rect(0, 0, max_right_, h_), pc_.TabBackGroundColor());
      break;
    case tpRight:
      Fill(c_, Rect(min_left_, 0, w_, h_), pc_.TabBackGroundColor());
      break;
  }
}

// The band covers the page's frame where it ran along that edge; the frame's line moves
// to the band's inner edge. The active tab is never among these rows.
void TTabPainter::PaintOppositeRows() {
  bool any = false;
  for (int n = 0; n < pc_.PageCount() && !any; ++n) any = pc_.TabAtOppositeEdge(n);
  if (!any) return;
  opposite_ = true;
  pos_ = OppositeEdge(pos_);
  any_tab_ = false;
  join_ = 0;
  ComputeExtent();
  FillBand();
  if (!pc_.TabSheet3D()) {
    c_.Pen().SetColor(pc_.TabSheetBorderColor());
    switch (pos_) {
      case tpTop:
        Line(c_, {{0, max_bottom_}, {w_, max_bottom_}});
        break;
      case tpBottom:
        Line(c_, {{0, min_top_ - 1}, {w_, min_top_ - 1}});
        break;
      case tpLeft:
        Line(c_, {{max_right_, 0}, {max_right_, h_}});
        break;
      case tpRight:
        Line(c_, {{min_left_ - 1, h_}, {min_left_ - 1, 0}});
        break;
    }
    join_ = pc_.TabSplitLine() ? 0 : 1;
  }
  for (int n = pc_.PageCount() - 1; n >= 0; --n)
    if (OnThisSide(n)) DrawTab(*pc_.Pages(n), n);
  DrawHover();
}

// A single row whose tabs do not fit: its far corner, cleared, holds two arrow buttons,
// greyed where there is nothing more to scroll to.
void TTabPainter::DrawScrollArrows() {
  const TRect back = pc_.ScrollArrowRect(false);
  const TRect forward = pc_.ScrollArrowRect(true);
  if (back.Width() <= 0) return;
  const TRect corner = Rect(w_ - 35, back.Top - 2, w_, back.Bottom + 2);
  Fill(c_, corner, pc_.Color());
  c_.Pen().SetColor(pos_ == tpTop ? clWhite : 0x404040);
  const int y = pos_ == tpTop ? max_bottom_ : min_top_ - 1;
  Line(c_, {{std::max(max_right_, w_ - 35), y}, {w_, y}});
  bool moreAhead = false;
  for (int n = 0; n < pc_.PageCount(); ++n)
    if (pc_.TabRect(n).Right > corner.Left) moreAhead = true;
  for (const auto& [button, enabled, pointsRight] :
       {std::tuple{back, pc_.FirstShownTab() > 0, false}, std::tuple{forward, moreAhead, true}}) {
    Fill(c_, button, clBtnFace);
    c_.Pen().SetColor(clBtnHighlight);
    Line(c_, {{button.Left, button.Bottom - 1},
              {button.Left, button.Top},
              {button.Right - 1, button.Top}});
    c_.Pen().SetColor(clBtnShadow);
    Line(c_, {{button.Right - 1, button.Top},
              {button.Right - 1, button.Bottom - 1},
              {button.Left, button.Bottom - 1}});
    const TColor ink = enabled ? clBlack : clGrayText;
    c_.Pen().SetColor(ink);
    c_.Brush().SetStyle(bsSolid);
    c_.Brush().SetColor(ink);
    const int cx = (button.Left + button.Right) / 2;
    const int cy = (button.Top + button.Bottom) / 2;
    const int tip = pointsRight ? 2 : -2;
    const TPoint triangle[] = {{cx - tip, cy - 4}, {cx + tip, cy}, {cx - tip, cy + 4}};
    c_.Polygon(triangle);
  }
}

void TTabPainter::DrawColourRing() {
  TExTabSheet* active = pc_.ActivePage();
  if (!active || (active->Color() == clNone && active->ColorTo() == clNone)) return;
  ring_ = true;
  const int d = pc_.TabSheet3D() ? 1 : 0;
  const int e = Edge();
  std::vector<TRect> strips;
  TRect band;
  switch (pos_) {
    case tpTop:
      strips = {Rect(1, e + d, w_ - 1, e + 4), Rect(1, h_ - 4, w_ - 1, h_ - 1),
                Rect(1, e + d, 4, h_ - 1), Rect(w_ - 4, e + d, w_ - 1, h_ - 1)};
      band = Rect(1, e + 1, w_ - 1, e + 4);
      break;
    case tpBottom:
      strips = {Rect(1, e - 4, w_ - 1, e - d), Rect(1, 1, w_ - 1, 4), Rect(1, 1, 4, e - d),
                Rect(w_ - 4, 1, w_ - 1, e - d)};
      band = Rect(1, 1, w_ - 1, 4);
      break;
    case tpLeft:
      strips = {Rect(e + d, 1, e + 4, h_ - 1), Rect(w_ - 4, 1, w_ - 1, h_ - 1),
                Rect(e + d, 1, w_ - 1, 4), Rect(e + d, h_ - 4, w_ - 1, h_ - 1)};
      band = Rect(e + d, 1, w_ - 1, 4);
      break;
    case tpRight:
      strips = {Rect(e - 4, 1, e - d, h_ - 2), Rect(1, 1, 4, h_ - 2), Rect(1, 1, e - d, 4),
                Rect(1, h_ - 4, e - d, h_ - 1)};
      band = Rect(1, 1, e - d, 4);
      break;
  }
  // With a second colour each strip shows its share of one gradient over the client area.
  TBitmap whole;
  if (active->ColorTo() != clNone) {
    whole.SetSize(w_, h_);
    GradientFill(whole.Canvas(), active->Color(), active->ColorTo(), false, Rect(0, 0, w_, h_),
                 kGradientBands);
  }
  for (const TRect& strip : strips) {
    if (active->ColorTo() == clNone) {
      Fill(c_, strip, active->Color());
    } else {
      c_.CopyRect(strip, whole.Canvas(), strip);
    }
  }
  if (active->ColorTo() != clNone) Fill(c_, band, active->Color());
}

void TTabPainter::DrawPageBorder() {
  const int e = Edge();
  c_.Pen().SetColor(pc_.TabSheetBorderColor());
  const TColor inner = pc_.Color();
  switch (pos_) {
    case tpTop:
      Line(c_, {{0, e}, {0, h_}});
      Line(c_, {{0, h_ - 1}, {w_, h_ - 1}});
      Line(c_, {{w_ - 1, h_ - 2}, {w_ - 1, e}});
      Line(c_, {{0, e}, {w_, e}});
      if (!ring_) {
        c_.Pen().SetColor(inner);
        Line(c_, {{1, h_ - 2}, {w_ - 1, h_ - 2}});
        Line(c_, {{w_ - 2, h_ - 2}, {w_ - 2, e}});
      }
      break;
    case tpBottom:
      Line(c_, {{0, 0}, {0, e}});
      Line(c_, {{0, e - 1}, {w_, e - 1}});
      Line(c_, {{w_ - 1, e - 1}, {w_ - 1, 0}});
      Line(c_, {{0, 0}, {w_, 0}});
      if (!ring_) {
        c_.Pen().SetColor(inner);
        Line(c_, {{1, e - 2}, {w_ - 1, e - 2}});
        Line(c_, {{w_ - 2, e - 2}, {w_ - 2, 0}});
      }
      break;
    case tpLeft:
      Line(c_, {{e, 0}, {e, h_}});
      Line(c_, {{e, h_ - 2}, {w_ - 2, h_ - 2}});
      Line(c_, {{w_ - 2, h_}, {w_ - 2, 0}});
      Line(c_, {{w_ - 2, 0}, {e, 0}});
      c_.Pen().SetColor(inner);
      Line(c_, {{e, h_ - 1}, {w_ - 1, h_ - 1}, {w_ - 1, -1}});
      break;
    case tpRight:
      Line(c_, {{0, 0}, {0, h_}});
      Line(c_, {{0, h_ - 2}, {e, h_ - 2}});
      Line(c_, {{e - 1, h_}, {e - 1, 0}});
      Line(c_, {{e - 1, 0}, {0, 0}});
      c_.Pen().SetColor(inner);
      Line(c_, {{0, h_ - 1}, {e, h_ - 1}});
      if (!ring_) Line(c_, {{e - 2, h_ - 3}, {e - 2, 0}});
      break;
  }
}

void TTabPainter::DrawRoundEdges() {
  const TColor inner = pc_.Color();
  const TColor border = pc_.TabSheetBorderColor();
  const int W = w_, H = h_;
  switch (pos_) {
    case tpTop:
      c_.Pen().SetColor(inner);
      Line(c_, {{0, H - 4}, {0, H - 1}, {4, H - 1}});
      Line(c_, {{W - 4, H - 1}, {W - 1, H - 1}, {W - 1, H - 5}});
      c_.Pen().SetColor(border);
      Line(c_, {{1, H - 4}, {1, H - 2}});
      Line(c_, {{2, H - 2}, {4, H - 2}});
      Line(c_, {{W - 4, H - 2}, {W - 2, H - 2}});
      Line(c_, {{W - 2, H - 3}, {W - 2, H - 5}});
      break;
    case tpBottom:
      c_.Pen().SetColor(inner);
      Line(c_, {{0, 3}, {0, 0}, {5, 0}});
      Line(c_, {{W - 1, 3}, {W - 1, 0}, {W - 5, 0}});
      c_.Pen().SetColor(border);
      Line(c_, {{1, 3}, {1, 1}});
      Line(c_, {{2, 1}, {5, 0}});
      Line(c_, {{W - 2, 3}, {W - 2, 1}});
      Line(c_, {{W - 3, 1}, {W - 5, 1}});
      break;
    case tpLeft:
      c_.Pen().SetColor(inner);
      Line(c_, {{W - 5, H - 2}, {W - 2, H - 2}, {W - 2, H - 6}});
      Line(c_, {{W - 2, 3}, {W - 2, 0}, {W - 6, 0}});
      c_.Pen().SetColor(border);
      Line(c_, {{W - 5, H - 3}, {W - 3, H - 3}});
      Line(c_, {{W - 3, H - 4}, {W - 3, H - 6}});
      Line(c_, {{W - 3, 3}, {W - 3, 1}});
      Line(c_, {{W - 4, 1}, {W - 6, 1}});
      break;
    case tpRight:
      c_.Pen().SetColor(inner);
      Line(c_, {{0, 3}, {0, 0}, {5, 0}});
      Line(c_, {{0, H - 5}, {0, H - 2}, {4, H - 2}});
      c_.Pen().SetColor(border);
      Line(c_, {{1, 3}, {1, 1}});
      Line(c_, {{2, 1}, {5, 0}});
      Line(c_, {{1, H - 5}, {1, H - 3}});
      Line(c_, {{2, H - 3}, {4, H - 3}});
      break;
  }
}

void TTabPainter::DrawJoinLine() {
  if (pc_.TabSplitLine() || pc_.PageCount() == 0 || !any_tab_) return;
  join_ = 1;
  TExTabSheet* active = pc_.ActivePage();
  TColor pen = pc_.Color();
  if (ring_ && active) {
    pen = active->Color();
    if (pos_ == tpBottom && active->ColorTo() != clNone) pen = active->ColorTo();
  }
  c_.Pen().SetColor(pen);
  const int o = pc_.TabOverlap();
  switch (pos_) {
    case tpTop:
      Line(c_, {{3, max_bottom_}, {max_right_ + o, max_bottom_}});
      break;
    case tpBottom:
      Line(c_, {{2, min_top_ - 1}, {max_right_ + o, min_top_ - 1}});
      break;
    case tpLeft: {
      const int extra = pc_.TabStyle() == tsClassic && !pc_.TabBackGround().Empty() ? 2 : 0;
      Line(c_, {{max_right_, 2}, {max_right_, max_bottom_ + o + extra}});
      break;
    }
    case tpRight:
      Line(c_, {{min_left_ - 1, max_bottom_ - 1 + o}, {min_left_ - 1, 2}});
      break;
  }
}

// A tab whose far edge lies within 3 pixels of the row's end.
bool TTabPainter::IsLastTab(const TRect& R) const {
  const bool across = pos_ == tpTop || pos_ == tpBottom;
  return across ? R.Right >= max_right_ - 3 : R.Bottom >= max_bottom_ - 3;
}

void TTabPainter::DrawTabBorder(const TRect& R, bool Active, int PageIndex) {
  c_.Brush().SetStyle(bsClear);
  c_.Pen().SetColor(pc_.TabBorderColor());
  if (Active)
    DrawActiveTabBorder(R);
  else if (pc_.TabStyle() == tsClassic)
    DrawClassicTabBorder(R);
  else
    DrawFlatTabBorder(R, PageIndex);
}

// The outline of the active tab, open towards the page: its corners from one end of the
// open side round to the other. The classic look starts a pixel short of the page.
std::array<TPoint, 4> TTabPainter::ActiveOutline(const TRect& R, bool Classic) const {
  const int L = R.Left, T = R.Top, Rr = R.Right, B = R.Bottom;
  switch (pos_) {
    case tpTop:
      return {{{L, Classic ? B - 1 : B}, {L, T}, {Rr, T}, {Rr, B}}};
    case tpBottom:
      return {{{L, Classic ? T : T - 1}, {L, B}, {Rr, B}, {Rr, T - 1}}};
    case tpLeft:
      return {{{Classic ? Rr - 1 : Rr, T}, {L, T}, {L, B}, {Rr, B}}};
    case tpRight:
      break;
  }
  return {{{Classic ? L : L - 1, T}, {Rr - 1, T}, {Rr - 1, B}, {L - 1, B}}};
}

// The active tab: its outline whole, or in the Kestrel look only the two sides across
// the strip (on bottom tabs the far one starts a pixel above the corner).
void TTabPainter::DrawActiveTabBorder(const TRect& R) {
  const TTabStyle style = pc_.TabStyle();
  std::array<TPoint, 4> p = ActiveOutline(R, style == tsClassic);
  if (style != tsKestrel) {
    Line(c_, {p[0], p[1], p[2], p[3]});
    return;
  }
  if (pos_ == tpBottom) p[2].Y -= 1;
  Line(c_, {p[0], p[1]});
  Line(c_, {p[2], p[3]});
}

// An inactive classic tab: a hollow rectangle, reaching into the page border when the
// tab is in the row touching the page, and a pixel along the strip unless it ends at the
// control's far edge.
void TTabPainter::DrawClassicTabBorder(const TRect& R) {
  const int L = R.Left, T = R.Top, Rr = R.Right, B = R.Bottom;
  const TTabPosition pos = pos_;
  const bool inRow = pos == tpTop      ? B >= max_bottom_
                     : pos == tpBottom ? T <= min_top_
                     : pos == tpLeft   ? Rr >= max_right_
                                       : L <= min_left_;
  if (!inRow) join_ = 0;
  const int j = join_;
  const bool across = pos == tpTop || pos == tpBottom;
  const int e = across ? (Rr > w_ - 5 ? 0 : 1) : (B > h_ - 5 ? 0 : 1);
  switch (pos) {
    case tpTop:
      c_.Rectangle(L, T, Rr + e, B + j);
      break;
    case tpBottom:
      c_.Rectangle(L, T - j, Rr + e, B);
      break;
    case tpLeft:
      c_.Rectangle(L, T, Rr + j, B + e);
      break;
    case tpRight:
      c_.Rectangle(L - j, T, Rr, B + e);
      break;
  }
  join_ = pc_.TabSheet3D() || pc_.TabSplitLine() ? 0 : 1;
}

// An inactive DotNet or Kestrel tab: the line along its page side, and a separator before
// the next tab unless that one is the active tab.
void TTabPainter::DrawFlatTabBorder(const TRect& R, int PageIndex) {
  const int L = R.Left, T = R.Top, Rr = R.Right, B = R.Bottom;
  const TTabPosition pos = pos_;
  switch (pos) {
    case tpTop:
      Line(c_, {{L, B}, {Rr, B}});
      break;
    case tpBottom:
      Line(c_, {{L, T - 1}, {Rr, T - 1}});
      break;
    case tpLeft:
      Line(c_, {{Rr, T}, {Rr, B}});
      break;
    case tpRight:
      Line(c_, {{L - 1, T}, {L - 1, B}});
      break;
  }
  TExTabSheet* next = pc_.FindNextPage(pc_.Pages(PageIndex), true, true);
  if (next && next == pc_.ActivePage() && !IsLastTab(R)) return;
  const bool across = pos == tpTop || pos == tpBottom;
  if (pc_.TabStyle() == tsDotNet) {
    c_.Pen().SetColor(pc_.ActiveColor());
    for (int k = 2; k <= 3; ++k) {
      if (across) {
        Line(c_, {{Rr - k, B - 3}, {Rr - k, T + 2}});
      } else {
        Line(c_, {{L + 2, B - k}, {Rr - 2, B - k}});
      }
    }
  } else if (across) {
    if (pos == tpTop) {
      Line(c_, {{Rr - 2, B}, {Rr - 2, T}});
    } else {
      Line(c_, {{Rr - 2, B - 1}, {Rr - 2, T - 1}});
    }
  } else {
    Line(c_, {{L, B - 2}, {Rr, B - 2}});
  }
}

void TTabPainter::DrawHover() {
  const int hover = pc_.HoverTab();
  if (hover < 0 || pc_.TabHoverColor == clNone || pc_.TabHoverBorder == clNone ||
      pc_.Pages(hover) == pc_.ActivePage() || !OnThisSide(hover))
    return;
  TRect r = pc_.TabRect(hover);
  if (r.Width() <= 0) return;
  int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  c_.Pen().SetColor(pc_.TabHoverBorder);
  switch (pos_) {
    case tpTop:
      T -= 1;
      if (R > w_ - 5) R -= 1;
      Line(c_, {{L, B - 2}, {L, T}, {R, T}, {R, B - 1}});
      break;
    case tpBottom:
      if (R > w_ - 5) R -= 1;
      Line(c_, {{L, T + 1}, {L, B}, {R, B}, {R, T}});
      break;
    case tpLeft:
      L -= 1;
      T -= 2;
      if (B > h_ - 5) B -= 1;
      Line(c_, {{R - 1, T + 2}, {L, T + 2}, {L, B}, {R, B}});
      break;
    case tpRight:
      L += 1;
      if (B > h_ - 5) B -= 1;
      Line(c_, {{L, T}, {R, T}, {R, B}, {L - 1, B}});
      break;
  }
}

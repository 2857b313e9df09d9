// The painter of the page control, shared by its two halves: tab_painter.cpp draws the
// band, the frame and the outlines of the tabs, tab_contents.cpp what is on each tab.
#pragma once

#include <array>
#include <initializer_list>

#include "lists/ex_page_control.h"

class TTabPainter {
 public:
  enum TCloseLook { clkNormal, clkHot, clkPressed };
  TTabPainter(TExPageControl& Control, TCanvas& Canvas)
      : pc_(Control),
        c_(Canvas),
        w_(Control.Width()),
        h_(Control.Height()),
        pos_(Control.TabPosition()) {}

  void Paint();
  void DrawCloseButton(const TRect& Tab, bool Active, TCloseLook Look);

 private:
  static constexpr int kGradientBands = 16;
  // The desktop's hot-tracking colour: the text of the tab under the mouse with HotTrack.
  static constexpr TColor kHotTrackText = RGB(0x00, 0x66, 0xCC);
  static void Line(TCanvas& C, std::initializer_list<TPoint> Points) {
    auto p = Points.begin();
    C.MoveTo(p->X, p->Y);
    for (++p; p != Points.end(); ++p) C.LineTo(p->X, p->Y);
  }
  static void Fill(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
  }

  // Rows that went round to the opposite edge (ScrollOpposite): drawn as tabs of that
  // edge, their strip opening into the page there.
  void PaintOppositeRows();
  // Whether this pass draws the page's tab.
  bool OnThisSide(int PageIndex) const {
    return pc_.Pages(PageIndex)->TabVisible() && pc_.TabRect(PageIndex).Width() > 0 &&
           pc_.TabAtOppositeEdge(PageIndex) == opposite_;
  }
  void FillBand();
  void ComputeExtent();
  int Edge() const;
  void DrawColourRing();
  void DrawScrollArrows();
  void DrawPageBorder();
  void DrawRoundEdges();
  void DrawJoinLine();
  void DrawTab(TExTabSheet& Sheet, int PageIndex);
  TPoint TextOrigin(const TRect& r, TExTabSheet& Sheet, bool active) const;
  void FillTab(const TRect& r, TExTabSheet& Sheet, int PageIndex, bool active);
  void DrawTabPicture(const TRect& r, bool active, int PageIndex, TPoint& text);
  void DrawTabImage(int PageIndex, bool drawn, TPoint& text);
  void DrawTabCaption(TExTabSheet& Sheet, int PageIndex, const TRect& r, bool active, bool drawn,
                      TPoint text);
  void DrawTabBorder(const TRect& R, bool Active, int PageIndex);
  std::array<TPoint, 4> ActiveOutline(const TRect& R, bool Classic) const;
  void DrawActiveTabBorder(const TRect& R);
  void DrawClassicTabBorder(const TRect& R);
  void DrawFlatTabBorder(const TRect& R, int PageIndex);
  void DrawDeferredTab();
  void DrawHover();
  bool IsLastTab(const TRect& R) const;

  TExPageControl& pc_;
  TCanvas& c_;
  const int w_, h_;
  TTabPosition pos_;
  bool opposite_ = false;
  int max_bottom_ = 0, min_top_ = 0, min_left_ = 0, max_right_ = 0;
  int join_ = 0;
  bool ring_ = false;
  bool any_tab_ = false;
  TColor parent_color_ = clBtnFace;
  // The active tab drawn last over its neighbours when it has a bitmap of its own.
  int deferred_ = -1;
  TRect deferred_rect_;
  TPoint deferred_text_{-10, -10};
  TBitmap scratch_;
};

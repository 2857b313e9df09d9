#include "app/shelf/window_places.h"

#include <algorithm>

void PlaceBesideFrame(const TForm& Frame, TForm& Window) {
  Window.SetBounds(Frame.Left() + Frame.Width() + kPlaceGap, Frame.Top(), Window.Width(),
                   Window.Height());
}

void PlaceBelow(const TForm& Above, TForm& Window) {
  Window.SetBounds(Above.Left(), Above.Top() + Above.Height() + kPlaceGap, Window.Width(),
                   Window.Height());
}

void PlaceRightOfToolBar(const TForm& Frame, int ToolWidth, TForm& Window) {
  const int clear = Frame.Left() + ToolWidth + kPlaceGap;
  const int left = std::max(clear, Frame.Left() + Frame.Width() - Window.Width() - kPlaceGap);
  const int top = std::max(Frame.Top(), Frame.Top() + Frame.Height() - Window.Height() - kPlaceGap);
  Window.SetBounds(left, top, Window.Width(), Window.Height());
}

#include "richtext_edit/edit/item_resizer.h"

#include <cmath>
#include <cstdlib>

#include "richtext/model/draw_lines.h"
#include "richtext/model/nontext_items.h"

namespace {

constexpr int kHandleShift = 3;
constexpr int kSmallItem = 12;

bool OnLeftEdge(int i) {
  return i == 0 || i == 3 || i == 7;
}
bool OnRightEdge(int i) {
  return i == 1 || i == 2 || i == 5;
}
bool OnTopEdge(int i) {
  return i == 0 || i == 1 || i == 4;
}
bool OnBottomEdge(int i) {
  return i == 2 || i == 3 || i == 6;
}

// The least size of an item, its spacing not counted.
constexpr int kLeastSize = 2;

// Widens low..high (one axis of the frame) to least: about its centre when the item
// resizes about its centre, else by moving the edge the handle holds.
void KeepLeastSize(int& low, int& high, int least, bool lowMoved, bool aboutCentre) {
  if (high - low >= least) return;
  if (aboutCentre) {
    low = (low + high) / 2 - least / 2;
    high = low + least;
  } else if (lowMoved) {
    low = high - least;
  } else {
    high = low + least;
  }
}

}  // namespace

TRDItemResizer::TRDItemResizer(const TRDDrawLineInfo& drawItem, int drawItemNo, int itemNo,
                               TCustomRDItemInfo* item, bool keepProportions)
    : Width(drawItem.Width),
      Height(drawItem.Height),
      DrawItemNo(drawItemNo),
      Left(drawItem.Left),
      Top(drawItem.Top),
      ItemNo(itemNo),
      Item(item),
      NewRect(Rect(0, 0, drawItem.Width, drawItem.Height)),
      keep_proportions_(keepProportions) {}

TPoint TRDItemResizer::HandlePoint(int index) const {
  switch (index) {
    case 0:
      return Point(0, 0);
    case 1:
      return Point(Width, 0);
    case 2:
      return Point(Width, Height);
    case 3:
      return Point(0, Height);
    case 4:
      return Point(Width / 2, 0);
    case 5:
      return Point(Width, Height / 2);
    case 6:
      return Point(Width / 2, Height);
    default:
      return Point(0, Height / 2);
  }
}

TPoint TRDItemResizer::DrawnHandlePoint(int index) const {
  TPoint p = HandlePoint(index);
  int place = HandlePlace;
  if (place == 0 && (Width < kSmallItem || Height < kSmallItem)) place = 1;
  if (place != 0 && place != 1) return p;
  const int inward = place == 0 ? kHandleShift : -kHandleShift;
  if (OnLeftEdge(index)) p.X += inward;
  if (OnRightEdge(index)) p.X -= inward;
  if (OnTopEdge(index)) p.Y += inward;
  if (OnBottomEdge(index)) p.Y -= inward;
  return p;
}

int TRDItemResizer::SpacingX() const {
  auto* rect = dynamic_cast<const TRDRectItemInfo*>(Item);
  return rect ? rect->GetHorzSpacing() : 0;
}

int TRDItemResizer::SpacingY() const {
  auto* rect = dynamic_cast<const TRDRectItemInfo*>(Item);
  return rect ? rect->GetVertSpacing() : 0;
}

void TRDItemResizer::DrawHandles(TRDCanvas& canvas, int hOffset, int vOffset) const {
  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;
  canvas.PenMode = pmCopy;
  canvas.BrushStyle = bsClear;
  for (int i = 0; i < 8; ++i) {
    const TPoint p = DrawnHandlePoint(i);
    const int x = Left + p.X - hOffset, y = Top + p.Y - vOffset;
    // Black, white, black: visible on any picture.
    canvas.PenColor = clBlack;
    canvas.Rectangle(x - 3, y - 3, x + 3, y + 3);
    canvas.PenColor = clWhite;
    canvas.Rectangle(x - 2, y - 2, x + 2, y + 2);
    canvas.PenColor = clBlack;
    canvas.Rectangle(x - 1, y - 1, x + 1, y + 1);
  }
}

bool TRDItemResizer::HitTest(int x, int y, int hOffset, int vOffset, int& handleIndex) const {
  for (int i = 0; i < 8; ++i) {
    const TPoint p = DrawnHandlePoint(i);
    if (std::abs(Left + p.X - hOffset - x) <= 3 && std::abs(Top + p.Y - vOffset - y) <= 3) {
      handleIndex = i;
      return true;
    }
  }
  handleIndex = -1;
  return false;
}

TCursor TRDItemResizer::GetCursor(int handleIndex) {
  switch (handleIndex) {
    case 0:
    case 2:
      return crSizeNWSE;
    case 1:
    case 3:
      return crSizeNESW;
    case 4:
    case 6:
      return crSizeNS;
    default:
      return crSizeWE;
  }
}

bool TRDItemResizer::MouseDown(int x, int y, int hOffset, int vOffset) {
  int index;
  if (!HitTest(x, y, hOffset, vOffset, index)) return false;
  Dragging = true;
  Cancelled = false;
  HandleIndex = std::uint8_t(index);
  const TPoint p = HandlePoint(index);
  DeltaX = x + hOffset - Left - p.X;
  DeltaY = y + vOffset - Top - p.Y;
  NewRect = Rect(0, 0, Width, Height);
  return true;
}

void TRDItemResizer::MouseMove(TShiftState shift, int x, int y, int hOffset, int vOffset) {
  if (!Dragging) return;
  const int px = x + hOffset - Left - DeltaX;
  const int py = y + vOffset - Top - DeltaY;
  const int i = HandleIndex;
  const bool left = OnLeftEdge(i), right = OnRightEdge(i);
  const bool top = OnTopEdge(i), bottom = OnBottomEdge(i);
  TRect r = Rect(0, 0, Width, Height);
  if (left) r.Left = px;
  if (right) r.Right = px;
  if (top) r.Top = py;
  if (bottom) r.Bottom = py;
  const bool ctrl = (shift & ssCtrl) != 0;
  if (ctrl) {
    if (left) r.Right = Width - r.Left;
    if (top) r.Bottom = Height - r.Top;
    if (right) r.Left = Width - r.Right;
    if (bottom) r.Top = Height - r.Bottom;
  }
  // The least size holds for the box as drawn: mirrored edges that crossed the centre
  // make a box of the least size about it, not one of negative width. The frame holds
  // the item's spacing too.
  const int leastWidth = kLeastSize + 2 * SpacingX(), leastHeight = kLeastSize + 2 * SpacingY();
  KeepLeastSize(r.Left, r.Right, leastWidth, left, ctrl);
  KeepLeastSize(r.Top, r.Bottom, leastHeight, top, ctrl);
  const bool corner = i < 4;
  if (corner || keep_proportions_ || (shift & ssShift)) {
    const int refW = Width - 2 * SpacingX(), refH = Height - 2 * SpacingY();
    if (refW >= 1 && refH >= 1) {
      const double kx = double(r.Right - r.Left) / refW;
      const double ky = double(r.Bottom - r.Top) / refH;
      // A side handle moves one axis only: the other follows it.
      const bool widthFollows = (top || bottom) && !(left || right)   ? true
                                : (left || right) && !(top || bottom) ? false
                                                                      : kx <= ky;
      if (widthFollows) {
        const int dw = int(std::lround(refW * ky)) - (r.Right - r.Left);
        if (ctrl) {
          r.Left -= dw / 2;
          r.Right += dw / 2;
        } else if (left) {
          r.Left -= dw;
        } else {
          r.Right += dw;
        }
      } else {
        const int dh = int(std::lround(refH * kx)) - (r.Bottom - r.Top);
        if (ctrl) {
          r.Top -= dh / 2;
          r.Bottom += dh / 2;
        } else if (top) {
          r.Top -= dh;
        } else {
          r.Bottom += dh;
        }
      }
    }
  }
  KeepLeastSize(r.Left, r.Right, leastWidth, left, ctrl);
  KeepLeastSize(r.Top, r.Bottom, leastHeight, top, ctrl);
  NewRect = r;
}

void TRDItemResizer::DrawFrame(TRDCanvas& canvas, int hOffset, int vOffset) const {
  canvas.PenWidth = 1;
  canvas.PenStyle = psDot;
  canvas.PenMode = pmCopy;
  canvas.PenColor = clBlack;
  canvas.BrushStyle = bsClear;
  const int x = Left - hOffset, y = Top - vOffset;
  canvas.Rectangle(x + NewRect.Left, y + NewRect.Top, x + NewRect.Right, y + NewRect.Bottom);
  canvas.PenStyle = psSolid;
}

void TRDItemResizer::MouseUp() {
  if (!Cancelled) {
    Width = NewRect.Right - NewRect.Left;
    Height = NewRect.Bottom - NewRect.Top;
  }
  Dragging = false;
  Cancelled = false;
}

void TRDItemResizer::Cancel() {
  Dragging = false;
  Cancelled = true;
}

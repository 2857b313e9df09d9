// The frame with eight handles around the selected picture or control of an editable
// document: which handle lies under the pointer and its cursor, the dragged rectangle
// (kept in proportion at the corners, with Shift at the sides, about the centre with
// Ctrl), and the new size at the end. It draws from its state when the document is
// painted: the handles, and while dragging the dotted frame of the new size.
//
// Handles, by index, relative to the item's top-left corner (W x H): 0 (0, 0), 1 (W, 0),
// 2 (W, H), 3 (0, H), 4 (W/2, 0), 5 (W, H/2), 6 (W/2, H), 7 (0, H/2).
#pragma once

#include <cstdint>

#include "platform/gui/controls/controls.h"
#include "richtext/base/rd_canvas.h"

class TCustomRDItemInfo;
class TRDDrawLineInfo;

class TRDItemResizer {
 public:
  // keepProportions: the item keeps its proportions by every handle.
  TRDItemResizer(const TRDDrawLineInfo& drawItem, int drawItemNo, int itemNo,
                 TCustomRDItemInfo* item, bool keepProportions);

  int Width;
  int Height;
  int DrawItemNo;
  int Left;  // the item's place in document coordinates
  int Top;
  int ItemNo;
  TCustomRDItemInfo* Item;
  bool Dragging = false;
  bool Cancelled = false;
  int DeltaX = 0;
  int DeltaY = 0;
  TRect NewRect;  // relative to the item's top-left corner
  std::uint8_t HandleIndex = 0;
  // 0 inside the item, 1 outside, others on its edge.
  std::uint8_t HandlePlace = 0;

  void DrawHandles(TRDCanvas& canvas, int hOffset, int vOffset) const;
  // The first handle within 3 pixels of the pointer on both axes (client coordinates).
  bool HitTest(int x, int y, int hOffset, int vOffset, int& handleIndex) const;
  static TCursor GetCursor(int handleIndex);
  bool MouseDown(int x, int y, int hOffset, int vOffset);
  void MouseMove(TShiftState shift, int x, int y, int hOffset, int vOffset);
  void DrawFrame(TRDCanvas& canvas, int hOffset, int vOffset) const;
  void MouseUp();
  void Cancel();

 private:
  TPoint HandlePoint(int index) const;
  TPoint DrawnHandlePoint(int index) const;
  // The spacing rectangle items keep around their picture, subtracted for proportions.
  int SpacingX() const;
  int SpacingY() const;
  bool keep_proportions_;
};

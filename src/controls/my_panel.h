// The skinned panel the borderless windows are built from: title bars, frames and value
// boxes.
//
// It paints through a work bitmap: rounded or square bevels, then a face that is a flat
// fill, a two-tone glow (upper half Color, lower half Color2) or a background picture,
// tiled by flood-filling the face so the corners outside rounded bevels stay free, or
// stretched. Black 1-pixel lines go on the sides named in PaintBorder. With Move on,
// dragging the panel with the left button moves its window.
#pragma once

#include <memory>

#include "controls/draw_tools.h"
#include "controls/form_drag.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/panel.h"

// Shown with the plain message box, after the control's name, when a picture for a
// skinned control is smaller than 8 x 8.
inline constexpr const char* kBitmapTooSmallText = ">>> Bitmap muss mindestens 8x8 Pixel sein!";
// A tiled picture must be at least this wide and high.
inline constexpr int kMinPatternSize = 8;

// Copies Source into Target when it is at least 8 x 8, clears Target for an empty one,
// and refuses a smaller one with the plain message box naming Control; true when Target
// changed.
bool AssignPatternBitmap(const TComponent& Control, TBitmap& Target, const TBitmap& Source);

// Draws the four black border lines of PaintBorder around a Width x Height area.
void DrawMyBorder(TCanvas& Canvas, TMyBorder Border, int Width, int Height);

class TMyPanel : public TCustomPanel {
 public:
  explicit TMyPanel(TComponent* AOwner);
  ~TMyPanel() override;

  const TBitmap& Background() const { return *background_; }
  // An empty picture clears the background; one under 8 x 8 is refused with a message.
  void SetBackground(const TBitmap& Value);
  TColor Color2() const { return color2_; }
  void SetColor2(TColor Value);
  TColor Color3DLight() const { return color_3d_light_; }
  void SetColor3DLight(TColor Value);
  TColor Color3DDark() const { return color_3d_dark_; }
  void SetColor3DDark(TColor Value);
  TColor ColorFill() const { return color_fill_; }
  void SetColorFill(TColor Value);
  bool RoundRect() const { return round_rect_; }
  void SetRoundRect(bool Value);
  bool Move() const { return move_; }
  void SetMove(bool Value) { move_ = Value; }
  bool StretchDraw() const { return stretch_draw_; }
  void SetStretchDraw(bool Value);
  TMyBorder PaintBorder() const { return paint_border_; }
  void SetPaintBorder(TMyBorder Value);
  bool GlowPaint() const { return glow_paint_; }
  void SetGlowPaint(bool Value);

  std::string ClassName() const override { return "TMyPanel"; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  void PaintTo(TCanvas& Canvas);
  // A raised or lowered bevel; Filled paints what it encloses with the face's brush.
  void DrawBevel(TCanvas& Canvas, const TRect& Rect, TBevelCut Cut, bool Filled);
  // The brush of the face: the background picture tiled from the panel's corner, else
  // the fill colour.
  void SetFaceBrush(TCanvas& Canvas) const;

  std::unique_ptr<TBitmap> background_;
  TColor color2_ = clBtnFace;
  TColor color_3d_light_ = clWhite;
  TColor color_3d_dark_ = clGray;
  TColor color_fill_ = 0xF0F0F0;
  bool round_rect_ = true;
  bool move_ = false;
  bool stretch_draw_ = false;
  TMyBorder paint_border_{};
  bool glow_paint_ = false;
  TFormDrag drag_;
};

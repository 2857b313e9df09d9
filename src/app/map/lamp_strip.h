// The pictures of the status lamps, drawn here rather than shipped as files.
//
// One template strip serves every lamp: a round lamp with a black outline, filled pure
// red in frame 0 (off) and pure green in frame 1 (on), on a background that the lamp
// leaves transparent. In mask mode the lamp turns red into its off colour, green into its
// on colour and black into its Color, the outline's colour.
#pragma once

#include "controls/bitmap_mask.h"
#include "platform/gui/graphics/bitmap.h"

// Width and height of one frame.
constexpr int kLampSize = 16;
// A lamp with a fault frame (frame 2) shows it in this colour, which the mask leaves
// alone.
constexpr TColor kLampFaultColor = 0x0000E0;

// Draws Frames frames (2, or 3 with the fault frame) side by side into Strip.
void DrawLampStrip(TBitmap& Strip, int Frames);

struct TLampColors {
  // Neither may be pure black (that becomes the outline's colour), and Off not pure
  // green (that becomes the on colour).
  TColor On;
  TColor Off;
  TColor Outline;
};

// Gives Lamp the template strip with Frames frames, mask mode with Colors and a
// transparent background.
void SetUpLamp(TBitmapMask& Lamp, const TLampColors& Colors, int Frames = 2);

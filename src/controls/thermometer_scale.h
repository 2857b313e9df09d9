// The scale a thermometer's value panel moves along: a tube from cold blue to hot red
// with a mark every 20 °F. The panel's middle points at its value when the panel's top
// is placed as the thermometers place it: -40 °F at the bottom of the travel (the
// scale's height less the panel's), 122 °F at its top.
#pragma once

#include "controls/my_panel.h"
#include "platform/gui/graphics/bitmap.h"

inline constexpr int kThermometerLowF = -40;
inline constexpr int kThermometerHighF = 122;

// The height on the scale (from its top) that a value panel MarkerHeight pixels high
// points at for Fahrenheit.
int ThermometerScaleY(int Height, int MarkerHeight, int Fahrenheit);
void DrawThermometerScale(TBitmap& Scale, int Width, int Height, int MarkerHeight);
// The track panel shows the scale for a value panel MarkerHeight pixels high.
void SetThermometerScale(TMyPanel& Track, int MarkerHeight);

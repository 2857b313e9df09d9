// Module-wide settings of the GIF codec, with their defaults. Plain variables, read
// when a picture is created (the Default* values) or while it loads, renders and plays.
#pragma once

#include "gif/gif_types.h"
#include "platform/gui/graphics/graphic_limits.h"

extern int DelayUnitMs;        // milliseconds per delay unit of a graphic control block
extern int DefaultFrameDelay;  // delay units when a frame has none
extern int MinimumFrameDelay;  // smallest delay units used
extern int MaximumFrameDelay;  // largest delay units used by a painter inside the draw call
extern TGIFDrawOptions DefaultDrawOptions;
extern TColorReduction DefaultColorReduction;
extern int DefaultReductionBits;
extern TDitherMode DefaultDitherMode;
extern TGIFCompression DefaultCompression;
extern int DefaultThreadPriority;  // 3 = normal
extern int DefaultAnimationSpeed;  // per cent
extern bool RenderOnLoad;          // frames build their bitmaps while loading
extern bool PaletteDisplay;        // the screen has at most 8 bits per pixel
extern bool AutoDitherEnabled;     // consulted by dfDitherOnPaletteDisplay
extern unsigned GIFClipboardFormat;

// Frames above this many pixels are refused while reading, so that a few bytes of a
// hostile file cannot ask for gigabytes.
constexpr long long MaximumFramePixels = 64LL * 1024 * 1024;
// All frames of one picture together, and its screen: what the largest map needs.
constexpr long long MaximumPicturePixels = kMaxGraphicPixels;
// A frame larger than this is drawn at its own size from its pixels, a strip of rows at a
// time, and kept unrendered: a rendering costs 4 bytes a pixel, 67 MB for a map frame of
// 4096 x 4096, and an animation would hold one for each frame.
constexpr long long MaximumRenderedFramePixels = 2048 * 2048;
// The most pixels one byte of LZW data can give: a code of w bits yields at most 2^w
// pixels (the longest string its table can hold), so a 12-bit code gives 4096 of them
// for 12 bits.
constexpr long long MaximumPixelsPerDataByte = 4096 * 8 / 12 + 1;
// A screen is drawn whole, so a screen larger than this must be one that the file's bytes
// could fill. Below it a screen may hold frames much smaller than itself, as some tools
// write them (5000 x 5000 around a 120 x 80 frame): drawn whole as a map of 4 bytes a
// pixel it costs 200 MB at most.
constexpr long long MaximumUnfilledScreenPixels = MaximumPicturePixels / 2;

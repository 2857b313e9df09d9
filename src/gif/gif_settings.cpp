#include "gif/gif_settings.h"

int DelayUnitMs = 12;
int DefaultFrameDelay = 10;
int MinimumFrameDelay = 3;
int MaximumFrameDelay = 1000;
TGIFDrawOptions DefaultDrawOptions =
    dfThreaded | dfTransparent | dfAnimate | dfLoop | dfDither | dfDitherOnPaletteDisplay;
TColorReduction DefaultColorReduction = ReduceWeb216;
int DefaultReductionBits = 8;
TDitherMode DefaultDitherMode = DitherNearest;
TGIFCompression DefaultCompression = CompressLZW;
int DefaultThreadPriority = 3;
int DefaultAnimationSpeed = 100;
bool RenderOnLoad = false;
bool PaletteDisplay = false;
bool AutoDitherEnabled = false;
unsigned GIFClipboardFormat = 0;

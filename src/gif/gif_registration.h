// Making the codec known to the picture class: once registered, a picture loaded from a
// ".gif" file, or pasted in the "GIF Image" clipboard format, becomes a TGIFPicture.
#pragma once

// Registers the "GIF" extension and the "GIF Image" clipboard format with the picture
// class. Called once at program start; calling it again does no harm.
void RegisterGIFFormat();
// Unregisters both (program end).
void UnregisterGIFFormat();

class TGIFPicture;

// Reads the picture from the clipboard: the GIF format as a whole file, or a plain
// bitmap as a one-frame picture. Any other format raises "Unsupported clipboard format".
void LoadFromClipboardFormat(TGIFPicture& Picture, unsigned Format);
// Puts the rendered picture on the clipboard as a bitmap and, beside it, the whole GIF
// file in the GIF format. Nothing for an empty picture.
void SaveToClipboardFormat(const TGIFPicture& Picture);

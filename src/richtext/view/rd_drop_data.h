// What a drop onto a document brings, read from the data of the drag: the viewers' own
// block, RTF and text, whoever offered them. Every length and end inside the data is
// bounded by the bytes that came; and the effect a drop onto a document has.
#pragma once

#include <string>

#include "platform/gui/controls/drag_drop.h"

// The document file inside the viewers' own block: the bytes after its 4-byte length,
// no more than the block holds; empty for a block shorter than 4 bytes or none.
std::string DroppedRichDoc(const TDataObject& data);
// RTF as text/rtf, else as application/rtf; empty when neither came.
std::string DroppedRTF(const TDataObject& data);
// The text in UTF-8 up to its first NUL; empty when none came.
std::string DroppedText(const TDataObject& data);

// A move when the source allows it, Ctrl is not held and the drag started in the same
// document; else a copy, else a link, each only when the source allows it; else none.
TDropEffect ChooseDropEffect(TDropEffects allowed, TShiftState shift, bool sameDocument);

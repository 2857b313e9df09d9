// The selection of a formatted document in the formats it leaves a viewer in: the
// viewers' own block, RTF, text and the selected picture. The clipboard copy and the
// drag out of a viewer render the same bytes.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/graphics/geometry.h"

class TBitmap;
class TCustomRDFormattedData;
class TGraphic;
class TRDBackground;
class TRDLayoutInfo;

// The MIME type of the viewers' own block in the system clipboard and in drags.
inline constexpr const char* kRichDocMimeType = "application/x-velmora-richdoc";

// The viewers' own block: a 4-byte little-endian length, then the document file of the
// selection. The layout block goes in when layout is given and the options save it.
std::string SelectionAsRichDoc(TCustomRDFormattedData& data, TColor color,
                               const TRDBackground* background, const TRDLayoutInfo* layout);
// Empty when there is nothing to write (no style sheet).
std::string SelectionAsRTF(TCustomRDFormattedData& data, TColor color);
// The selected text in UTF-8, lines of rules up to 80 characters.
std::string SelectionAsUTF8(TCustomRDFormattedData& data);
// A picture as a bitmap of its own size; see-through parts over white.
std::unique_ptr<TBitmap> PictureAsBitmap(const TGraphic& picture);

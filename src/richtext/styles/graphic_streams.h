// Pictures as bodies of document-file records: a picture as hexadecimal text (two
// upper-case digits a byte of its saved stream) or as a 4-byte little-endian size
// followed by the saved stream, and back.
//
// Example: a picture whose saved form is the bytes 42 4D ... is the text "424D...".
#pragma once

#include <string>
#include <string_view>

class TGraphic;
class TStream;

void GraphicToHex(const TGraphic& graphic, std::string& s);
// False when the text is not hexadecimal (the picture is then left alone); a picture
// that cannot be read from the decoded bytes raises the picture's own error.
bool LoadGraphicFromHex(std::string_view hex, TGraphic& graphic);
void LoadGraphicFromString(std::string_view s, TGraphic& graphic);
// The size (bytes after the size field) is written back after saving; the stream is
// left at its end.
void WriteSizedGraphic(TStream& stream, const TGraphic& graphic);
// False, with nothing read into the picture, when the size asks for more bytes than the
// stream holds after it.
bool ReadSizedGraphic(TStream& stream, TGraphic& graphic);

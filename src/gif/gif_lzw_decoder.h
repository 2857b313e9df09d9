// LZW decoding of GIF image data: the minimum code size byte, then variable-length
// codes of 3 to 12 bits packed least significant bit first into data sub-blocks
// (length byte 1-255, data; a 0 length ends them).
//
// Example: 1 x 1 pixel of colour 1 with a 2-colour table:
//   02 02 4C 01 00 = code size 2; sub-block of 2 bytes holding the codes clear (4),
//   1, end (5) at 3 bits each; terminator.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TStream;

using TGIFWarningHandler = std::function<void(const std::string& Message)>;

// Decodes the image data at the stream position into Data (Width x Height bytes, row
// after row; interlaced data arrives in the four passes of rows 0, 8, ...; 4, 12, ...;
// 2, 6, ...; 1, 3, ...). Pixels the data does not reach keep their value. The stream is
// left after the terminating sub-block.
//
// Truncated data warns ("Premature end of data", "Decoder bit buffer under-run") and
// keeps what was decoded. A minimum code size outside 2..11 raises "Invalid LZW minimum
// code size"; a code beyond the next free table entry raises "Invalid LZW code".
void DecodeFramePixels(TStream& Stream, std::uint8_t* Data, int Width, int Height, bool Interlaced,
                       const TGIFWarningHandler& Warning);

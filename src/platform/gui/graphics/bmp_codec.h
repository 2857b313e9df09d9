// Windows BMP files: reading every uncompressed layout into a TBitmap, writing 24 or 32
// bits per pixel.
//
// A file is a 14-byte file header ("BM", file size, offset of the pixels), an info
// header (12 bytes in the oldest form, 40 or more since), optional colour masks, a
// colour table for up to 8 bits per pixel, then rows padded to 4 bytes, bottom row
// first unless the height is negative. Read: 1, 4, 8 bits with a colour table; 16 bits
// (5-5-5 or bit fields); 24 bits; 32 bits (plain or bit fields). Compressed (RLE)
// files are refused. Only the bytes the headers call for are read, so a picture can
// sit inside a longer stream.
#pragma once

#include <cstdint>
#include <span>

class TBitmap;
class TStream;

// Replaces Bitmap's pixels (pf24bit up to 24 bits per pixel, pf32bit for 32); raises
// EInvalidGraphic naming the fault for anything unreadable, truncated or unsupported.
void ReadBmp(TStream& Stream, TBitmap& Bitmap);
// A device-independent bitmap as pictures in other files carry it: Info is the info header
// with its masks and colour table, Bits the rows; Packed holds both, the rows right after
// the colour table.
void ReadDib(std::span<const std::uint8_t> Info, std::span<const std::uint8_t> Bits,
             TBitmap& Bitmap);
void ReadPackedDib(std::span<const std::uint8_t> Packed, TBitmap& Bitmap);
// Bottom-up, uncompressed, 24 or 32 bits per pixel as the bitmap's PixelFormat.
void WriteBmp(const TBitmap& Bitmap, TStream& Stream);

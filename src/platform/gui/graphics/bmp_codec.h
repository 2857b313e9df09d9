// Windows BMP files and the device-independent bitmaps (DIBs) other files carry: reading
// every layout into a TBitmap, writing 24 or 32 bits per pixel.
//
// A file is a 14-byte file header ("BM", file size, offset of the pixels), an info
// header (12 bytes in the oldest form, 40 or more since), optional colour masks, a
// colour table for up to 8 bits per pixel, then rows padded to 4 bytes, bottom row
// first unless the height is negative. Read: 1, 4, 8 bits with a colour table (an index
// beyond the table is black); 16 bits (5-5-5 or bit fields); 24 bits; 32 bits (plain or
// bit fields); 8 and 4 bits run-length coded (bottom-up only). Only the bytes the headers
// call for are read, so a picture can sit inside a longer stream.
//
// Run-length coded rows are pairs of bytes: a count and an index (two alternating
// indices at 4 bits) make a run; a zero count escapes: 0 ends the line, 1 the bitmap, 2
// moves right and up by the next two bytes, 3 and more are that many indices given one
// by one, padded to a 16-bit boundary. Pixels no run sets have the table's first colour;
// runs past the end of a row are cut there, and rows past the top end the bitmap. Runs
// that end early (before the size the header gives) leave the rest unset, where
// uncompressed rows that end early are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class TBitmap;
class TStream;

// Replaces Bitmap's pixels (pf24bit up to 24 bits per pixel, pf32bit for 32 and for
// run-length coded rows); raises
// EInvalidGraphic naming the fault for anything unreadable, truncated or unsupported.
void ReadBmp(TStream& Stream, TBitmap& Bitmap);
// A DIB as pictures in other files carry it: Info is the info header with its masks
// and colour table, Bits the rows; Packed holds both, the rows right after the colour
// table. Raise as ReadBmp does.
void ReadDib(std::span<const std::uint8_t> Info, std::span<const std::uint8_t> Bits,
             TBitmap& Bitmap);
void ReadPackedDib(std::span<const std::uint8_t> Packed, TBitmap& Bitmap);
// The alpha of each pixel of an uncompressed 32-bit DIB, as the fourth bytes of its rows
// hold it, top row first: what a drawing that blends by it needs (a TBitmap is opaque).
// Empty for any other DIB, whose pixels are opaque. Raise as ReadBmp does.
std::vector<std::uint8_t> ReadDibAlpha(std::span<const std::uint8_t> Info,
                                       std::span<const std::uint8_t> Bits);
// The size a DIB's header claims: what decoding it costs in time and memory, whatever its
// rows hold (a few bytes of runs may claim millions of pixels). Read from the header
// alone; raises as ReadBmp does.
struct TDibSize {
  int Width = 0, Height = 0;
  std::int64_t Pixels() const { return std::int64_t(Width) * Height; }
};
TDibSize DibSize(std::span<const std::uint8_t> Info);
// Whether a DIB's rows can give the pixels its header claims, by the bytes they take (Bytes,
// the rows or the whole DIB or file: a bound): uncompressed rows always (rows that end
// early are refused); run-length rows where they claim no more than 128 pixels a byte (a
// run sets 255 pixels in two bytes) or kMostUnbackedRunPixels. Two bytes of runs claimed
// 4096 x 4096 pixels, all but none left to the reader, and decoding them took most of a
// second. Reading refuses rows that do not (EGraphicTooLarge). Raises as ReadBmp does.
constexpr std::int64_t kMostUnbackedRunPixels = std::int64_t(1) << 20;
bool DibRunsCarryItsSize(std::span<const std::uint8_t> Info, std::size_t Bytes);
// Whether a packed DIB gives every pixel: its rows do, run-length coded ones where their
// runs set each pixel, without skipping any or ending early (readers differ on the pixels
// left to them: ours gives them the first colour, others draw nothing). Raises as ReadBmp
// does.
bool DibSetsEveryPixel(std::span<const std::uint8_t> Packed);
// Where the rows of a packed DIB start: the bytes of its info header, masks and colour
// table.
std::size_t DibInfoSize(std::span<const std::uint8_t> Packed);
// A BMP file of a DIB given as ReadDib takes it (Bits empty: Info is packed, its rows
// after its colour table): what a bitmap read from it keeps and writes again, however few
// bytes of runs claim however many pixels.
std::vector<std::uint8_t> DibAsBmpFile(std::span<const std::uint8_t> Info,
                                       std::span<const std::uint8_t> Bits);
// A BMP file's DIB packed, as RTF and other files carry one without the file header: the
// info header, masks and colour table, then the rows, wherever in the file they were (after
// a gap, or starting inside the colour table). A profile the header names is left out with
// the gap that held it: the pixels are shown without it. Raises as ReadBmp does.
std::vector<std::uint8_t> PackedDibOfBmpFile(std::span<const std::uint8_t> File);
// Bottom-up, uncompressed, 24 or 32 bits per pixel as the bitmap's PixelFormat.
void WriteBmp(const TBitmap& Bitmap, TStream& Stream);

// Bitmaps as other programs lay them out, for the tests of what we write of them:
// - BMP files whose rows do not follow the colour table (bfOffBits leaves a gap after it,
//   or starts the rows inside it), at 8 bits, with a version 5 header whose colour
//   profile sits in the gap, at 16 bits and run-length coded (the header claiming all of
//   its runs, or half of them: the pixels of the rest are left to the reader);
// - a metafile (Windows or enhanced) that draws nothing but one DIB, which our reader takes
//   out of it as a bitmap, and a DIB that claims millions of pixels in two bytes of runs.
// The pixels follow from the size and a salt, so two pictures of one salt are the same.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/test_support/le_bytes.h"

enum class TBmpLayout {
  GapAfterTable,
  VersionFiveHeader,
  SixteenBits,
  RunLength,
  RowsInsideTable,
  HalfClaimedRuns
};
constexpr int kBmpLayouts = 6;

namespace bmp_layouts {

// Colour indices 0 .. 11: the table's last four entries are where the rows start inside it.
constexpr int kColours = 16, kUsedColours = 12;

inline int Index(int x, int y, int salt) {
  return (x / 3 + y / 2 + salt) % kUsedColours;
}

inline std::vector<std::uint8_t> Table(int salt) {
  LittleEndianBytes table;
  for (int i = 0; i < kColours; ++i)
    table.U32(std::uint32_t((salt * 37 + i * 20) & 0xFF) | std::uint32_t(i * 45 & 0xFF) << 8 |
              std::uint32_t((255 - i * 19) & 0xFF) << 16);
  return table.data;
}

// Rows bottom row first, each padded to 4 bytes.
inline std::vector<std::uint8_t> Rows(int width, int height, int bits, int salt) {
  LittleEndianBytes rows;
  for (int y = height - 1; y >= 0; --y) {
    const std::size_t start = rows.data.size();
    for (int x = 0; x < width; ++x)
      if (bits == 8)
        rows.data.push_back(std::uint8_t(Index(x, y, salt)));
      else
        rows.U16(unsigned((x * 5 + salt) & 31) << 10 | unsigned((y * 3) & 31) << 5 |
                 unsigned((x + y) & 31));
    while ((rows.data.size() - start) % 4 != 0) rows.data.push_back(0);
  }
  return rows.data;
}

// The same rows run-length coded: runs of one index, a row ending with its end mark.
inline std::vector<std::uint8_t> Runs(int width, int height, int salt) {
  std::vector<std::uint8_t> runs;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width;) {
      int count = 1;
      while (x + count < width && count < 255 && Index(x + count, y, salt) == Index(x, y, salt))
        ++count;
      runs.push_back(std::uint8_t(count));
      runs.push_back(std::uint8_t(Index(x, y, salt)));
      x += count;
    }
    runs.push_back(0);
    runs.push_back(0);
  }
  runs.push_back(0);
  runs.push_back(1);
  return runs;
}

// The info header: 40 bytes, or 124 (version 5) naming a profile profileAt bytes from its
// start.
inline std::vector<std::uint8_t> Header(int width, int height, int bits, std::uint32_t compression,
                                        std::size_t rowBytes, bool versionFive,
                                        std::size_t profileAt, std::size_t profileSize) {
  LittleEndianBytes header;
  header.U32(versionFive ? 124 : 40).U32(std::uint32_t(width)).U32(std::uint32_t(height));
  header.U16(1).U16(unsigned(bits)).U32(compression).U32(std::uint32_t(rowBytes));
  header.U32(3780).U32(3780).U32(bits <= 8 ? kColours : 0).U32(0);
  if (versionFive) {
    for (int i = 0; i < 4; ++i) header.U32(0);  // masks
    header.U32(0x4D424544);                     // an embedded profile
    for (int i = 0; i < 9 + 3; ++i) header.U32(0);
    header.U32(4);  // rendering intent
    header.U32(std::uint32_t(profileAt)).U32(std::uint32_t(profileSize)).U32(0);
  }
  return header.data;
}

inline void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

}  // namespace bmp_layouts

// A BMP file of width x height pixels laid out as layout says.
inline std::vector<std::uint8_t> LaidOutBmp(TBmpLayout layout, int width, int height, int salt) {
  using namespace bmp_layouts;
  const bool sixteen = layout == TBmpLayout::SixteenBits;
  const bool halfClaimed = layout == TBmpLayout::HalfClaimedRuns;
  const bool runLength = layout == TBmpLayout::RunLength || halfClaimed;
  const std::vector<std::uint8_t> rows =
      runLength ? Runs(width, height, salt) : Rows(width, height, sixteen ? 16 : 8, salt);
  const std::vector<std::uint8_t> table = sixteen ? std::vector<std::uint8_t>{} : Table(salt);
  // The gap: a few bytes of anything, the version 5 header's profile among them.
  const std::vector<std::uint8_t> gap(std::size_t(5 + salt % 40), std::uint8_t(0xA5));
  const bool versionFive = layout == TBmpLayout::VersionFiveHeader;
  const std::size_t headerSize = versionFive ? 124 : 40;
  const std::vector<std::uint8_t> header =
      Header(width, height, sixteen ? 16 : 8, runLength ? 1 : 0,
             halfClaimed ? rows.size() / 2 : rows.size(), versionFive, headerSize + table.size(),
             gap.size());
  std::vector<std::uint8_t> pixels = header;
  if (layout == TBmpLayout::RowsInsideTable) {
    // The rows start where the unused entries of the table would: those are the rows.
    pixels.insert(pixels.end(), table.begin(), table.begin() + 4 * kUsedColours);
    const std::size_t rowsFrom = pixels.size();
    Append(pixels, rows);
    // The file holds the whole table however short the rows.
    pixels.resize(std::max(pixels.size(), rowsFrom + 4 * (kColours - kUsedColours)));
  } else {
    Append(pixels, table);
    Append(pixels, gap);
    Append(pixels, rows);
  }
  const std::size_t rowsAt = layout == TBmpLayout::RowsInsideTable
                                 ? 14 + headerSize + 4 * kUsedColours
                                 : 14 + headerSize + table.size() + gap.size();
  LittleEndianBytes file;
  file.U16(0x4D42).U32(std::uint32_t(14 + pixels.size())).U32(0).U32(std::uint32_t(rowsAt));
  return file.Raw(pixels).data;
}

// The pixels' DIB packed (header, table, rows), 8 bits run-length coded or 16 bits.
inline std::vector<std::uint8_t> PackedLayoutDib(bool runLength, int width, int height, int salt) {
  using namespace bmp_layouts;
  const std::vector<std::uint8_t> rows =
      runLength ? Runs(width, height, salt) : Rows(width, height, 16, salt);
  std::vector<std::uint8_t> dib =
      Header(width, height, runLength ? 8 : 16, runLength ? 1 : 0, rows.size(), false, 0, 0);
  if (runLength) Append(dib, Table(salt));
  Append(dib, rows);
  return dib;
}

// A metafile that draws nothing but the packed DIB over width x height (a Windows metafile
// without a placeable header, as RTF holds one, or an enhanced metafile).
inline std::vector<std::uint8_t> MetafileDrawingDib(std::span<const std::uint8_t> dib,
                                                    bool enhanced, int width, int height) {
  std::vector<std::uint8_t> bits(dib.begin(), dib.end());
  if (!enhanced) {
    bits.resize(bits.size() + bits.size() % 2);
    LittleEndianBytes stretch;
    stretch.U32(0x00CC0020).U16(0);  // copy, RGB colours
    for (const int v : {height, width, 0, 0, height, width, 0, 0}) stretch.U16(unsigned(v));
    stretch.Raw(bits);
    const auto words = std::uint32_t(3 + stretch.data.size() / 2);
    LittleEndianBytes wmf;
    wmf.U16(1).U16(9).U16(0x0300).U32(9 + words + 3).U16(0).U32(words).U16(0);
    wmf.U32(words).U16(0x0F43).Raw(stretch.data);
    wmf.U32(3).U16(0);
    return wmf.data;
  }
  // The DIB's header and table, then its rows, after the record's 80 bytes.
  const unsigned bitsPerPixel = dib[14], used = dib[32] | dib[33] << 8;
  const std::size_t infoSize =
      40 + (bitsPerPixel <= 8 ? 4 * (used != 0 ? used : 1u << bitsPerPixel) : 0);
  bits.resize((bits.size() + 3) / 4 * 4);
  const auto recordSize = std::uint32_t(80 + bits.size());
  LittleEndianBytes emf;
  emf.U32(1).U32(88);
  for (const int v : {0, 0, width - 1, height - 1}) emf.U32(std::uint32_t(v));
  for (const int v : {0, 0, width * 2540 / 96, height * 2540 / 96}) emf.U32(std::uint32_t(v));
  emf.U32(0x464D4520).U32(0x10000).U32(88 + recordSize + 20).U32(3).U16(1).U16(0);
  for (const int v : {0, 0, 0, 1024, 768, 320, 240}) emf.U32(std::uint32_t(v));
  emf.U32(81).U32(recordSize);  // StretchDIBits
  for (const int v : {0, 0, width - 1, height - 1, 0, 0, 0, 0, width, height})
    emf.U32(std::uint32_t(v));
  emf.U32(80).U32(std::uint32_t(infoSize)).U32(std::uint32_t(80 + infoSize));
  emf.U32(std::uint32_t(dib.size() - infoSize)).U32(0).U32(0x00CC0020);
  emf.U32(std::uint32_t(width)).U32(std::uint32_t(height)).Raw(bits);
  for (const int v : {14, 20, 0, 16, 20}) emf.U32(std::uint32_t(v));  // the end record
  return emf.data;
}

// A DIB of side x side pixels, 8 bits run-length coded, of one colour (green) and runs.
inline std::vector<std::uint8_t> OneColourDib(int side, const std::vector<std::uint8_t>& runs) {
  LittleEndianBytes dib;
  dib.U32(40).U32(std::uint32_t(side)).U32(std::uint32_t(side)).U16(1).U16(8).U32(1);
  dib.U32(std::uint32_t(runs.size())).U32(0).U32(0).U32(1).U32(0);
  dib.U32(0x0000FF00);
  return dib.Raw(runs).data;
}

// Such a DIB in 2 bytes of runs: its end mark alone.
inline std::vector<std::uint8_t> ClaimingRunLengthDib(int side) {
  return OneColourDib(side, {0, 1});
}

// The same, its rows each set whole by runs of 255 pixels and less (what every reader
// draws alike: no pixel is left to the reader).
inline std::vector<std::uint8_t> CoveringRunLengthDib(int side) {
  std::vector<std::uint8_t> runs;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; x += 255)
      runs.insert(runs.end(), {std::uint8_t(std::min(255, side - x)), 0});
    runs.insert(runs.end(), {0, 0});
  }
  runs.insert(runs.end(), {0, 1});
  return OneColourDib(side, runs);
}

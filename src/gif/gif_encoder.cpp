#include "gif/gif_encoder.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "gif/gif_frame.h"
#include "gif/gif_picture.h"
#include "gif/gif_types.h"
#include "platform/text/streams.h"

namespace {
constexpr int kMaxDictionaryEntry = 4095;
constexpr std::uint32_t kCodeMask = (1u << kMaxCodeBits) - 1;
// A dictionary key is a prefix code and a colour: (Prefix shl 8) or Color.
constexpr int kKeyColorBits = 8;
// The widest table: four slots for each code.
constexpr int kMaxTableBits = kMaxCodeBits + 2;
// Fibonacci hashing: the top bits of the key times 2^32 / golden ratio spread keys that
// differ in few bits (neighbouring colours, consecutive codes) over the whole table.
constexpr std::uint32_t kKeyScatter = 0x9E3779B1u;
}  // namespace

// --- sub-block writer -------------------------------------------------------------------

void TGIFWriter::WriteBlocks() {
  Cut(false);
}

void TGIFWriter::Flush() {
  if (Bits.Count > 0) {
    ++Bits.Out;
    Bits.Bucket = 0;
    Bits.Count = 0;
  }
  Cut(true);
}

void TGIFWriter::Cut(bool Partial) {
  std::uint8_t* from = buffer_;
  std::uint8_t* to = blocks_;
  for (;;) {
    const auto left = Bits.Out - from;
    const auto size = left >= kBlockSize ? kBlockSize : Partial ? left : 0;
    if (size == 0) break;
    *to++ = static_cast<std::uint8_t>(size);
    std::memcpy(to, from, static_cast<std::size_t>(size));
    to += size;
    from += size;
  }
  if (to != blocks_) stream_.WriteBuffer(blocks_, to - blocks_);
  // The start of the next sub-block moves to the front; the bits of the byte being
  // filled are in the bucket.
  const auto kept = Bits.Out - from;
  std::memmove(buffer_, from, static_cast<std::size_t>(kept));
  Bits.Out = buffer_ + kept;
}

// --- encoder base -------------------------------------------------------------------------

void TGIFEncoder::Compress(TStream& Stream, int ABitsPerPixel, int Colors,
                           const std::uint8_t* AData, bool AInterlace, int AWidth, int AHeight) {
  BitsPerPixel = std::max(ABitsPerPixel, 2);
  // A colour past the code size would be read as a control code.
  MaxColor = std::min(Colors, 1 << BitsPerPixel);
  InitialBitsPerCode = BitsPerPixel + 1;
  Data = AData;
  Interlace = AInterlace;
  Width = AWidth;
  Height = AHeight;
  ::WriteByte(Stream, static_cast<std::uint8_t>(BitsPerPixel));

  BitsPerCode = InitialBitsPerCode;
  MaxCode = (1 << BitsPerCode) - 1;
  ClearCode = 1 << (InitialBitsPerCode - 1);
  EOFCode = ClearCode + 1;
  BaseCode = ClearCode + 2;
  PixelsLeft = Interlace ? Width : Width * Height;
  Pixel = 0;
  Row = 0;
  Pass = 0;

  TGIFWriter writer(Stream);
  Writer = &writer;
  if (Data && Width >= 1 && Height >= 1) Encode();
  Output(EOFCode);
  writer.Flush();
  Writer = nullptr;
  ::WriteByte(Stream, 0);
}

void TGIFEncoder::Output(int Value) {
  PutCode(Value);
}

void TGIFEncoder::Clear() {
  ClearFlag = true;
  Output(ClearCode);
}

bool TGIFEncoder::BumpPixel() {
  if (--PixelsLeft > 0) {
    ++Pixel;
    return true;
  }
  if (!Interlace) return false;
  static constexpr int kStep[4] = {8, 8, 4, 2};
  static constexpr int kStart[4] = {0, 4, 2, 1};
  PixelsLeft = Width;
  Row += kStep[Pass];
  while (Row >= Height) {
    if (++Pass > 3) return false;
    Row = kStart[Pass];
  }
  Pixel = static_cast<std::size_t>(Row) * Width;
  return true;
}

int TGIFEncoder::NextRow(int ARow) const {
  if (!Interlace) return ARow + 1 < Height ? ARow + 1 : -1;
  static constexpr int kStep[4] = {8, 8, 4, 2};
  static constexpr int kStart[4] = {0, 4, 2, 1};
  // The pass of a row follows from the row: 0 mod 8 pass 0, 4 mod 8 pass 1, 2 mod 4
  // pass 2, odd pass 3.
  int pass = ARow % 2 ? 3 : ARow % 4 ? 2 : ARow % 8 ? 1 : 0;
  int next = ARow + kStep[pass];
  while (next >= Height) {
    if (++pass > 3) return -1;
    next = kStart[pass];
  }
  return next;
}

int TGIFEncoder::CurrentPixel() const {
  const int color = Data[Pixel];
  if (color >= MaxColor) Error("Color not in color table");
  return color;
}

// --- LZW -------------------------------------------------------------------------------------

void TLZWEncoder::NextCodeSize() {
  if (ClearFlag) {
    BitsPerCode = InitialBitsPerCode;
    MaxCode = (1 << BitsPerCode) - 1;
    ClearFlag = false;
  } else if (FreeEntry > MaxCode) {
    ++BitsPerCode;
    // The code size never grows past 12 bits; the dictionary is cleared instead.
    MaxCode = BitsPerCode == kMaxCodeBits ? (1 << kMaxCodeBits) : (1 << BitsPerCode) - 1;
  }
}

std::uint32_t TLZWEncoder::EntryLimit() const {
  return static_cast<std::uint32_t>(std::min(MaxCode + 1, kMaxDictionaryEntry));
}

void TLZWEncoder::Clear() {
  TGIFEncoder::Clear();
  for (int code = BaseCode; code <= std::min(FreeEntry, kMaxDictionaryEntry); ++code)
    Table[Slots[static_cast<std::size_t>(code)]] = 0;
  FreeEntry = BaseCode;
}

// Row by row rather than through BumpPixel: the walk, the colour check, the dictionary
// and the bit packing are the whole cost of writing a big frame. Whether the dictionary
// holds the string is a coin toss the branch predictor loses a third of the time, so
// the loop takes both outcomes without a branch: it puts the prefix code with 0 bits
// and rewrites the entry it found when the string is known, and the next code's slot
// is written either way. Only probing past a taken slot, widening the codes, clearing
// the dictionary and writing out a batch of sub-blocks leave the straight path.
void TLZWEncoder::Encode() {
  // A quarter full at most, so that most lookups take one probe; no larger than the
  // frame can fill, so that a small frame does not pay for emptying a big table.
  const auto entries = static_cast<std::uint32_t>(
      std::min<std::int64_t>(std::int64_t{Width} * Height, kMaxDictionaryEntry));
  const int table_bits =
      std::clamp(static_cast<int>(std::bit_width(4 * entries)), 6, kMaxTableBits);
  const std::uint32_t table_mask = (1u << table_bits) - 1;
  const int table_shift = 32 - table_bits;
  Table = std::make_unique<std::uint32_t[]>(std::size_t{1} << table_bits);
  FreeEntry = 0;  // nothing to empty in the new table
  Clear();
  std::uint32_t* const table = Table.get();
  std::uint32_t* const slots = Slots.data();
  TGIFWriter& writer = *Writer;
  const std::uint8_t* const cut_at = writer.CutAt();
  const auto max_color = static_cast<std::uint32_t>(MaxColor);

  int row = FirstRow();
  const std::uint8_t* pixel = Data + static_cast<std::size_t>(row) * Width;
  const std::uint8_t* row_end = pixel + Width;
  auto prefix = static_cast<std::uint32_t>(CurrentPixel());
  ++pixel;
  TGIFWriter::TBits bits = writer.Bits;
  auto free_entry = static_cast<std::uint32_t>(FreeEntry);
  int size = BitsPerCode;
  std::uint32_t limit = EntryLimit();
  for (;;) {
    if (pixel == row_end) {
      row = NextRow(row);
      if (row < 0) break;
      pixel = Data + static_cast<std::size_t>(row) * Width;
      row_end = pixel + Width;
    }
    const std::uint32_t color = *pixel++;
    if (color >= max_color) Error("Color not in color table");
    const std::uint32_t key = prefix << kKeyColorBits | color;
    std::uint32_t slot = (key * kKeyScatter) >> table_shift;
    std::uint32_t entry = table[slot];
    while (entry != 0 && entry >> kMaxCodeBits != key) {
      slot = (slot + 1) & table_mask;
      entry = table[slot];
    }
    const std::uint32_t code = entry & kCodeMask;
    // All ones when the string is new: its prefix goes out and it becomes an entry.
    const std::uint32_t is_new = 0u - static_cast<std::uint32_t>(entry == 0);
    bits.Put(prefix & is_new, size & static_cast<int>(is_new));
    table[slot] = entry | ((key << kMaxCodeBits | free_entry) & is_new);
    slots[free_entry] = slot;
    free_entry -= is_new;
    prefix = code != 0 ? code : color;
    if (bits.Out >= cut_at) {
      writer.Bits = bits;
      writer.WriteBlocks();
      bits = writer.Bits;
    }
    if (free_entry > limit) {
      // The entry just made is the one that outgrows the code size or fills the
      // dictionary; a full dictionary keeps none.
      writer.Bits = bits;
      FreeEntry = static_cast<int>(free_entry) - 1;
      NextCodeSize();
      if (FreeEntry >= kMaxDictionaryEntry)
        Clear();
      else
        ++FreeEntry;
      bits = writer.Bits;
      free_entry = static_cast<std::uint32_t>(FreeEntry);
      size = BitsPerCode;
      limit = EntryLimit();
    }
  }
  writer.Bits = bits;
  FreeEntry = static_cast<int>(free_entry);
  Prefix = static_cast<int>(prefix);
  Output(Prefix);
}

// --- run-length --------------------------------------------------------------------------------

namespace {

int IntegerSqrt(int X) {
  if (X < 2) return X;
  int r = 1;
  for (int v = X; v != 0; v >>= 2) r <<= 1;
  for (;;) {
    const int next = (X / r + r) / 2;
    if (next == r || next == r + 1) return r;
    r = next;
  }
}

// Codes needed to send Count pixels of one colour starting from an empty table, where
// the n-th code may stand for a run of n pixels.
int TriangleCount(int Count, int Codes) {
  const int per = Codes * (Codes + 1) / 2;
  int cost = 0;
  while (Count >= per) {
    cost += Codes;
    Count -= per;
  }
  if (Count > 0) {
    int r = IntegerSqrt(Count);
    while (r * (r + 1) >= 2 * Count) --r;
    while (r * (r + 1) < 2 * Count) ++r;
    cost += r;
  }
  return cost;
}

}  // namespace

void TRLEEncoder::Clear() {
  OutBump = OutBumpInit;
  OutClear = OutClearInit;
  OutCount = 0;
  TableMax = 0;
  TGIFEncoder::Clear();
  BitsPerCode = InitialBitsPerCode;
}

void TRLEEncoder::Encode() {
  OutBumpInit = ClearCode - 1;
  OutClearInit = BitsPerPixel > 3 ? OutBumpInit - 1 : 9;
  MaxCodes = kMaxDictionaryEntry - BaseCode;
  Clear();
  RunPixel = -1;
  int count = 0;
  do {
    const int color = CurrentPixel();
    if (count > 0 && color != RunPixel) {
      FlushRun(count);
      count = 0;
    }
    if (count > 0) {
      ++count;
    } else {
      RunPixel = color;
      count = 1;
    }
  } while (BumpPixel());
  FlushRun(count);
}

void TRLEEncoder::OutputPlain(int Code) {
  ClearFlag = false;
  Output(Code);
  ++OutCount;
  if (OutCount >= OutBump) {
    ++BitsPerCode;
    OutBump += 1 << (BitsPerCode - 1);
  }
  if (OutCount >= OutClear) Clear();
}

void TRLEEncoder::FlushRun(int Count) {
  if (Count == 1)
    OutputPlain(RunPixel);
  else if (ClearFlag)
    FlushFromClear(Count);
  else if (TableMax < 2 || TablePixel != RunPixel)
    FlushClearOrRepeat(Count);
  else
    FlushWithTable(Count);
}

void TRLEEncoder::ResetOutClear() {
  OutClear = OutClearInit;
  if (OutCount >= OutClear) Clear();
}

void TRLEEncoder::FlushFromClear(int Count) {
  OutClear = MaxCodes;
  TablePixel = RunPixel;
  int n = 1;
  while (Count > 0) {
    if (n == 1) {
      TableMax = 1;
      OutputPlain(RunPixel);
      --Count;
    } else if (Count >= n) {
      TableMax = n;
      OutputPlain(BaseCode + n - 2);
      Count -= n;
    } else if (Count == 1) {
      ++TableMax;
      OutputPlain(RunPixel);
      Count = 0;
    } else {
      ++TableMax;
      OutputPlain(BaseCode + Count - 2);
      Count = 0;
    }
    n = OutCount == 0 ? 1 : n + 1;
  }
  ResetOutClear();
}

void TRLEEncoder::FlushClearOrRepeat(int Count) {
  const int with_clear = 1 + TriangleCount(Count, MaxCodes);
  if (with_clear < Count) {
    Clear();
    FlushFromClear(Count);
  } else {
    for (; Count > 0; --Count) OutputPlain(RunPixel);
  }
}

void TRLEEncoder::FlushWithTable(int Count) {
  int repeats = Count / TableMax;
  int left = Count % TableMax;
  int extra = left > 0 ? 1 : 0;
  if (OutCount + repeats + extra > MaxCodes) {
    repeats = MaxCodes - OutCount;
    left = Count - repeats * TableMax;
    extra = 1 + TriangleCount(left, MaxCodes);
  }
  if (1 + TriangleCount(Count, MaxCodes) < repeats + extra) {
    Clear();
    FlushFromClear(Count);
    return;
  }
  OutClear = MaxCodes;
  for (; repeats > 0; --repeats) OutputPlain(BaseCode + TableMax - 2);
  if (left > 0) {
    if (ClearFlag)
      FlushFromClear(left);
    else if (left == 1)
      OutputPlain(RunPixel);
    else
      OutputPlain(BaseCode + left - 2);
  }
  ResetOutClear();
}

// --- frames ----------------------------------------------------------------------------------

void EncodeFrame(TGIFSubImage& Frame, TStream& Stream) {
  int colors = Frame.ColorMap.Count();
  int bits = Frame.ColorMap.BitsPerPixel();
  TGIFPicture* image = Frame.Image();
  if (colors == 0 && image && image->Header.ColorMap.Count() > 0) {
    bits = image->BitsPerPixel();
    colors = 1 << bits;
  } else if (colors == 0) {
    // No table at all, as read: the pixels are written as they are, with the code size
    // they need, for the reader's own colours.
    const auto highest = std::max_element(Frame.Data().begin(), Frame.Data().end());
    colors = MaxGIFColors;
    bits = std::max(image ? image->BitsPerPixel() : 0,
                    highest == Frame.Data().end() ? 0 : Colors2bpp(*highest + 1));
  }
  std::unique_ptr<TGIFEncoder> encoder;
  if (image && image->Compression == CompressRLE)
    encoder = std::make_unique<TRLEEncoder>();
  else
    encoder = std::make_unique_for_overwrite<TLZWEncoder>();
  encoder->Compress(Stream, bits, colors, Frame.Data().data(), Frame.Interlaced(), Frame.Width(),
                    Frame.Height());
}

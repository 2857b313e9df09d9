#include "gif/gif_encoder.h"

#include <algorithm>
#include <memory>

#include "gif/gif_frame.h"
#include "gif/gif_picture.h"
#include "gif/gif_types.h"
#include "platform/text/streams.h"

namespace {
constexpr int kMaxDictionaryEntry = 4095;
}  // namespace

// --- sub-block writer -------------------------------------------------------------------

void TGIFWriter::Write(const std::uint8_t* Buffer, int Count) {
  output_dirty_ = true;
  while (Count > 0) {
    const int room = static_cast<int>(sizeof(buffer_)) - buffer_count_;
    const int chunk = std::min(room, Count);
    std::copy(Buffer, Buffer + chunk, buffer_ + buffer_count_);
    buffer_count_ += chunk;
    Buffer += chunk;
    Count -= chunk;
    if (buffer_count_ == static_cast<int>(sizeof(buffer_))) Flush();
  }
}

void TGIFWriter::Flush() {
  if (buffer_count_ > 1) {
    buffer_[0] = static_cast<std::uint8_t>(buffer_count_ - 1);
    stream_.WriteBuffer(buffer_, buffer_count_);
  }
  buffer_count_ = 1;
  output_dirty_ = false;
}

// --- hash table ----------------------------------------------------------------------------

void THashTable::Clear() {
  std::fill(std::begin(slots_), std::end(slots_), kFree);
}

void THashTable::Insert(std::uint32_t Key, std::uint16_t Code) {
  int h = SlotOf(Key);
  while (slots_[h] != kFree) h = NextSlot(h);
  slots_[h] = (Key << 12) | Code;
}

std::uint16_t THashTable::Lookup(std::uint32_t Key) const {
  for (int h = SlotOf(Key); slots_[h] != kFree; h = NextSlot(h))
    if ((slots_[h] >> 12) == Key) return static_cast<std::uint16_t>(slots_[h] & 0xFFF);
  return kNotFound;
}

// --- encoder base -------------------------------------------------------------------------

void TGIFEncoder::Compress(TStream& Stream, int ABitsPerPixel, int Colors,
                           const std::uint8_t* AData, bool AInterlace, int AWidth, int AHeight) {
  MaxColor = Colors;
  BitsPerPixel = std::max(ABitsPerPixel, 2);
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
  OutputBucket = 0;
  OutputBits = 0;
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

void TGIFEncoder::Output(int Value) { PutCode(Value); }

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

void TLZWEncoder::Clear() {
  TGIFEncoder::Clear();
  HashTable.Clear();
  FreeEntry = ClearCode + 2;
}

// Row by row rather than through BumpPixel: the walk, the colour check, the dictionary
// and the bit packing are the whole cost of writing a big frame.
void TLZWEncoder::Encode() {
  Clear();
  int row = FirstRow();
  const std::uint8_t* pixel = Data + static_cast<std::size_t>(row) * Width;
  const std::uint8_t* row_end = pixel + Width;
  Prefix = CurrentPixel();
  ++pixel;
  for (;;) {
    if (pixel == row_end) {
      row = NextRow(row);
      if (row < 0) break;
      pixel = Data + static_cast<std::size_t>(row) * Width;
      row_end = pixel + Width;
    }
    const int color = *pixel++;
    if (color >= MaxColor) Error("Color not in color table");
    const int slot = HashTable.Probe(Prefix, color);
    if (!HashTable.IsFree(slot)) {
      Prefix = HashTable.CodeAt(slot);
      continue;
    }
    const std::uint32_t key = (static_cast<std::uint32_t>(Prefix) << 8) | color;
    Output(Prefix);
    Prefix = color;
    if (FreeEntry >= kMaxDictionaryEntry) {
      Clear();
    } else {
      HashTable.Put(slot, key, static_cast<std::uint16_t>(FreeEntry));
      ++FreeEntry;
    }
  }
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
  if (colors == 0) {
    bits = image ? image->BitsPerPixel() : 0;
    colors = 1 << bits;
  }
  std::unique_ptr<TGIFEncoder> encoder;
  if (image && image->Compression == CompressRLE)
    encoder = std::make_unique<TRLEEncoder>();
  else
    encoder = std::make_unique<TLZWEncoder>();
  encoder->Compress(Stream, bits, colors, Frame.Data().data(), Frame.Interlaced(), Frame.Width(),
                    Frame.Height());
}

// GIF image data writers: the minimum code size byte, codes packed least significant
// bit first, cut into data sub-blocks of at most 255 bytes, and a 0 byte.
//
// TLZWEncoder compresses with a real LZW dictionary (a fixed hash table of 8009 slots);
// TRLEEncoder emits only codes that express runs of one colour, which every standard
// decoder reads back. A picture's Compression picks one of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class TStream;
class TGIFSubImage;

// The widest LZW code.
constexpr int kMaxCodeBits = 12;

// Cuts a byte stream into data sub-blocks: a length byte, then up to 255 bytes.
class TGIFWriter {
 public:
  explicit TGIFWriter(TStream& Stream) : stream_(Stream) {}
  void Write(const std::uint8_t* Buffer, int Count);
  void WriteByte(std::uint8_t Value) {
    output_dirty_ = true;
    buffer_[buffer_count_++] = Value;
    if (buffer_count_ == static_cast<int>(sizeof(buffer_))) Flush();
  }
  // Writes the pending sub-block, if any.
  void Flush();

 private:
  TStream& stream_;
  std::uint8_t buffer_[256] = {};  // [0] is the length of the sub-block
  int buffer_count_ = 1;
  bool output_dirty_ = false;
};

// LZW dictionary: (Prefix shl 8) or Color -> code, open addressing in a prime-sized table.
class THashTable {
 public:
  static constexpr int kSize = 8009;
  static constexpr std::uint16_t kNotFound = 0xFFFF;
  THashTable() { Clear(); }
  void Clear();
  void Insert(std::uint32_t Key, std::uint16_t Code);
  std::uint16_t Lookup(std::uint32_t Key) const;

  // The first slot tried for a key: ((Key shr 4) xor Key) mod kSize.
  static int SlotOf(std::uint32_t Key) { return static_cast<int>(((Key >> 4) ^ Key) % kSize); }
  // The same for Key = (Prefix shl 8) or Color, without a division: the colour only
  // touches the low byte of (Key shr 4) xor Key, so the prefix's share of the
  // remainder comes from a table and one subtraction finishes it. The encoder asks
  // this once a pixel, on the chain from one pixel to the next.
  static int SlotOf(int Prefix, int Color) {
    const std::uint32_t part = kPrefixPart[static_cast<std::size_t>(Prefix)];
    const int h = static_cast<int>((part >> 8) + ((part & 0xFF) ^ (Color ^ (Color >> 4))));
    return h >= kSize ? h - kSize : h;
  }
  // The slot holding the key of Prefix and Color or, when it is absent, the free slot
  // Insert would fill: the encoder looks a key up and adds it when missing with one
  // probe sequence.
  int Probe(int Prefix, int Color) const {
    const std::uint32_t key = (static_cast<std::uint32_t>(Prefix) << 8) | static_cast<std::uint32_t>(Color);
    int h = SlotOf(Prefix, Color);
    while (slots_[h] != kFree && (slots_[h] >> 12) != key) h = NextSlot(h);
    return h;
  }
  bool IsFree(int Slot) const { return slots_[Slot] == kFree; }
  std::uint16_t CodeAt(int Slot) const { return static_cast<std::uint16_t>(slots_[Slot] & 0xFFF); }
  void Put(int Slot, std::uint32_t Key, std::uint16_t Code) { slots_[Slot] = (Key << 12) | Code; }

 private:
  static constexpr std::uint32_t kFree = 0xFFFFFFFF;
  // After a collision at h: h - (kSize - h), 1 less at 0, wrapped into the table.
  static int NextSlot(int h) {
    h -= h == 0 ? 1 : kSize - h;
    return h < 0 ? h + kSize : h;
  }
  // Per prefix P (below 4096), with u = (P shl 4) xor (P shl 8): (u without its low
  // byte) mod kSize above, the low byte of u below.
  static constexpr std::array<std::uint32_t, 4096> kPrefixPart = [] {
    std::array<std::uint32_t, 4096> parts{};
    for (std::uint32_t p = 0; p < parts.size(); ++p) {
      const std::uint32_t u = (p << 4) ^ (p << 8);
      parts[p] = ((u & ~0xFFu) % kSize) << 8 | (u & 0xFF);
    }
    return parts;
  }();
  std::uint32_t slots_[kSize];
};

class TGIFEncoder {
 public:
  virtual ~TGIFEncoder() = default;
  // Writes Width x Height pixels of Data (each below Colors) as GIF image data.
  // A pixel value not below Colors raises "Color not in color table"; what was written
  // before stays in the stream.
  void Compress(TStream& Stream, int BitsPerPixel, int Colors, const std::uint8_t* Data,
                bool Interlace, int Width, int Height);

 protected:
  virtual void Output(int Value);
  virtual void Clear();
  virtual void Encode() = 0;
  // Output's packing of the code into bytes, without what the subclasses add to it.
  void PutCode(int Value) {
    OutputBucket = OutputBits > 0 ? (static_cast<std::uint32_t>(Value) << OutputBits) |
                                        (OutputBucket & ((1u << OutputBits) - 1))
                                  : static_cast<std::uint32_t>(Value);
    OutputBits += BitsPerCode;
    while (OutputBits >= 8) {
      Writer->WriteByte(static_cast<std::uint8_t>(OutputBucket));
      OutputBucket >>= 8;
      OutputBits -= 8;
    }
    if (Value == EOFCode && OutputBits > 0) {
      Writer->WriteByte(static_cast<std::uint8_t>(OutputBucket));
      OutputBucket = 0;
      OutputBits = 0;
    }
  }
  // The first row of the frame in file order and the row after Row (interlaced frames
  // go in four passes); -1 after the last.
  int FirstRow() const { return Height > 0 ? 0 : -1; }
  int NextRow(int Row) const;
  // Moves to the next pixel in file order; false after the last one.
  bool BumpPixel();
  // The current pixel, checked against the colour count.
  int CurrentPixel() const;

  int MaxColor = 0;
  int BitsPerPixel = 0;
  int Width = 0;
  int Height = 0;
  bool Interlace = false;
  const std::uint8_t* Data = nullptr;
  TGIFWriter* Writer = nullptr;
  std::uint32_t OutputBucket = 0;
  int OutputBits = 0;
  bool ClearFlag = false;
  int BitsPerCode = 0;
  int InitialBitsPerCode = 0;
  int MaxCode = 0;
  int ClearCode = 0;
  int EOFCode = 0;
  int BaseCode = 0;
  std::size_t Pixel = 0;
  int PixelsLeft = 0;
  int Row = 0;
  int Pass = 0;
};

// Final, so that the calls of its per-pixel loop are direct.
class TLZWEncoder final : public TGIFEncoder {
 protected:
  // Packs the code, then widens the codes once the dictionary outgrows them, or returns
  // to the initial width after a clear code. Here, so that the pixel loop has it inline.
  void Output(int Value) override {
    PutCode(Value);
    if (FreeEntry > MaxCode || ClearFlag) {
      if (ClearFlag) {
        BitsPerCode = InitialBitsPerCode;
        MaxCode = (1 << BitsPerCode) - 1;
        ClearFlag = false;
      } else {
        ++BitsPerCode;
        // The code size never grows past 12 bits; the dictionary is cleared instead.
        MaxCode = BitsPerCode == kMaxCodeBits ? (1 << kMaxCodeBits) : (1 << BitsPerCode) - 1;
      }
    }
  }
  void Clear() override;
  void Encode() override;

 private:
  int Prefix = 0;
  int FreeEntry = 0;
  THashTable HashTable;
};

class TRLEEncoder : public TGIFEncoder {
 protected:
  void Clear() override;
  void Encode() override;

 private:
  void OutputPlain(int Code);
  void FlushRun(int Count);
  void FlushFromClear(int Count);
  void FlushClearOrRepeat(int Count);
  void FlushWithTable(int Count);
  void ResetOutClear();

  int MaxCodes = 0;
  int OutBumpInit = 0;
  int OutClearInit = 0;
  int RunPixel = -1;
  int TableMax = 0;
  int TablePixel = 0;
  int OutCount = 0;
  int OutClear = 0;
  int OutBump = 0;
};

// Writes a frame's pixels with the encoder its picture's Compression asks for: against
// the local table when the frame has one, else against the picture's global table
// padded to 2^BitsPerPixel entries.
void EncodeFrame(TGIFSubImage& Frame, TStream& Stream);

// GIF image data writers: the minimum code size byte, codes packed least significant
// bit first, cut into data sub-blocks of at most 255 bytes, and a 0 byte.
//
// TLZWEncoder compresses with a real LZW dictionary (a fixed hash table of 8009 slots);
// TRLEEncoder emits only codes that express runs of one colour, which every standard
// decoder reads back. A picture's Compression picks one of them.
#pragma once

#include <cstdint>

#include <cstddef>

class TStream;
class TGIFSubImage;

// Cuts a byte stream into data sub-blocks: a length byte, then up to 255 bytes.
class TGIFWriter {
 public:
  explicit TGIFWriter(TStream& Stream) : stream_(Stream) {}
  void Write(const std::uint8_t* Buffer, int Count);
  void WriteByte(std::uint8_t Value) { Write(&Value, 1); }
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

 private:
  static constexpr std::uint32_t kFree = 0xFFFFFFFF;
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

class TLZWEncoder : public TGIFEncoder {
 protected:
  void Output(int Value) override;
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

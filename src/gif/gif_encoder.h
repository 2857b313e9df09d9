// GIF image data writers: the minimum code size byte, codes packed least significant
// bit first, cut into data sub-blocks of at most 255 bytes, and a 0 byte.
//
// TLZWEncoder compresses with a real LZW dictionary (a hash table with open addressing);
// TRLEEncoder emits only codes that express runs of one colour, which every standard
// decoder reads back. A picture's Compression picks one of them.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

class TStream;
class TGIFSubImage;

// The widest LZW code.
constexpr int kMaxCodeBits = 12;

// Packs codes least significant bit first and cuts the bytes into data sub-blocks: a
// length byte, then up to 255 bytes. The codes are gathered in a buffer of whole
// sub-blocks, so the stream sees one write per batch rather than one per sub-block.
class TGIFWriter {
 public:
  // Where the packing stands: the bits not yet in a whole byte (also already stored at
  // Out) and the next byte to fill. The LZW loop keeps a copy of it in registers and
  // hands it back before the writer cuts blocks.
  struct TBits {
    std::uint64_t Bucket = 0;
    int Count = 0;
    std::uint8_t* Out = nullptr;
    // Appends the low Size bits of Code; Size 0 with Code 0 adds nothing, which lets
    // a loop put a code or none without a branch. Stores a whole word at Out: the
    // buffer keeps room for it past the point where blocks are cut.
    void Put(std::uint32_t Code, int Size) {
      Bucket |= static_cast<std::uint64_t>(Code) << Count;
      Count += Size;
      const std::uint64_t word =
          std::endian::native == std::endian::little ? Bucket : __builtin_bswap64(Bucket);
      std::memcpy(Out, &word, sizeof(word));
      Out += Count >> 3;
      Bucket >>= Count & ~7;
      Count &= 7;
    }
  };

  explicit TGIFWriter(TStream& Stream) : stream_(Stream) {}
  TGIFWriter(const TGIFWriter&) = delete;
  TGIFWriter& operator=(const TGIFWriter&) = delete;

  void PutCode(std::uint32_t Code, int Size) {
    Bits.Put(Code, Size);
    if (Bits.Out >= cut_at_) WriteBlocks();
  }
  // Once Out reaches this, the buffer's sub-blocks are full: time for WriteBlocks.
  const std::uint8_t* CutAt() const { return cut_at_; }
  // Writes the whole sub-blocks gathered so far and keeps the rest.
  void WriteBlocks();
  // Pads the last code to a whole byte and writes every pending byte.
  void Flush();

  TBits Bits{0, 0, buffer_};

 private:
  static constexpr int kBlockSize = 255;
  static constexpr int kBlocksPerWrite = 16;
  // Put stores 8 bytes at Out and moves it at most 3 bytes past the cutting point.
  static constexpr int kSlack = 16;
  // Writes the sub-blocks of the bytes before Out: the last one short when Partial.
  void Cut(bool Partial);

  TStream& stream_;
  std::uint8_t buffer_[kBlocksPerWrite * kBlockSize + kSlack];
  std::uint8_t* const cut_at_ = buffer_ + kBlocksPerWrite * kBlockSize;
  // The sub-blocks of one write, length bytes included.
  std::uint8_t blocks_[(kBlocksPerWrite + 1) * (kBlockSize + 1)];
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
  void PutCode(int Value) { Writer->PutCode(static_cast<std::uint32_t>(Value), BitsPerCode); }
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
  void Output(int Value) override {
    PutCode(Value);
    NextCodeSize();
  }
  void Clear() override;
  void Encode() override;

 private:
  // After a code: widens the codes once the dictionary outgrows them, or returns to the
  // initial width after a clear code.
  void NextCodeSize();
  // The highest next free entry the pixel loop takes without stopping to widen the
  // codes or clear the dictionary.
  std::uint32_t EntryLimit() const;

  int Prefix = 0;
  int FreeEntry = 0;
  // The dictionary: open addressing with linear probing, each slot (key shl 12) or
  // code with key = (Prefix shl 8) or Color, 0 when free (no code is 0). Sized to the
  // frame, at most 64 KiB, so that it stays in the nearest caches.
  std::unique_ptr<std::uint32_t[]> Table;
  // The slot of each code's entry, so that a clear empties only what was filled. Only
  // the entries of codes made since the last clear are read, so the array is left
  // unset: emptying 16 KiB would cost a small frame more than its pixels.
  std::array<std::uint32_t, 1 << kMaxCodeBits> Slots;
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

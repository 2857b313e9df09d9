#include "gif/gif_lzw_decoder.h"

#include <optional>

#include "gif/gif_types.h"
#include "platform/text/streams.h"

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMinCodeSize = 2;
constexpr int kMaxMinCodeSize = 11;  // so that clear and end codes still fit in 12 bits

// Where decoding stands after a step: more pixels may follow, or the data has stopped
// and why.
enum class TLZWState { More, EndOfData, EndCode, InvalidCode };

class TLZWDecoder {
 public:
  TLZWDecoder(TStream& Stream, int MinCodeSize, const TGIFWarningHandler& Warning)
      : stream_(Stream), warning_(Warning), min_code_size_(MinCodeSize) {
    clear_code_ = 1 << MinCodeSize;
    end_code_ = clear_code_ + 1;
    for (int i = 0; i < clear_code_; ++i) suffix_[i] = static_cast<std::uint8_t>(i);
    ResetTable();
  }

  // Fills Count pixels (More), or as many as the data holds and tells why it stopped.
  TLZWState Fetch(std::uint8_t* Pixels, int Count) {
    for (int i = 0; i < Count; ++i) {
      if (stack_size_ == 0) {
        const TLZWState state = Step();
        if (state != TLZWState::More) return state;
      }
      Pixels[i] = stack_[--stack_size_];
    }
    return TLZWState::More;
  }

  // Skips what is left of the image data, up to and including its terminator.
  void Finish() {
    std::uint8_t size = 0;
    while (!end_of_data_ && stream_.Read(&size, 1) == 1 && size != 0)
      if (stream_.Read(block_, size) != size) break;
    end_of_data_ = true;
  }

 private:
  void ResetTable() {
    code_size_ = min_code_size_ + 1;
    max_code_size_ = 2 * clear_code_;
    first_free_ = clear_code_ + 2;
    stack_size_ = 0;
  }

  // Next byte of the data sub-blocks; false at their end.
  bool NextByte(std::uint8_t& Byte) {
    if (block_pos_ == block_len_) {
      if (end_of_data_) return false;
      std::uint8_t size = 0;
      if (stream_.Read(&size, 1) != 1 || size == 0) {
        end_of_data_ = true;
        return false;
      }
      if (size > stream_.Size() - stream_.Position()) Warn("Premature end of data");
      block_len_ = static_cast<int>(stream_.Read(block_, size));
      block_pos_ = 0;
      if (block_len_ < size) end_of_data_ = true;
      if (block_len_ == 0) return false;
    }
    Byte = block_[block_pos_++];
    return true;
  }

  // The next code; none once the data sub-blocks are used up.
  std::optional<int> GetCode() {
    if (first_call_) {
      first_call_ = false;
      return clear_code_;
    }
    while (bit_count_ < code_size_) {
      std::uint8_t byte = 0;
      if (!NextByte(byte)) {
        if (bit_count_ == 0) Warn("Decoder bit buffer under-run");
        return std::nullopt;
      }
      bit_buffer_ |= static_cast<std::uint32_t>(byte) << bit_count_;
      bit_count_ += 8;
    }
    const int code = static_cast<int>(bit_buffer_ & ((1u << code_size_) - 1));
    bit_buffer_ >>= code_size_;
    bit_count_ -= code_size_;
    return code;
  }

  void Push(std::uint8_t Byte) {
    // A chain longer than the table can only come from a corrupt table.
    if (stack_size_ >= kMaxCodes + 1) Error("Circular decoder table entry");
    stack_[stack_size_++] = Byte;
  }

  // One LZW step: pushes the string of the next code.
  TLZWState Step() {
    std::optional<int> next = GetCode();
    if (!next) return TLZWState::EndOfData;
    int code = *next;
    if (code == clear_code_) {
      ResetTable();
      do next = GetCode();
      while (next && *next == clear_code_);
      if (!next) return TLZWState::EndOfData;
      code = *next;
      if (code == end_code_) return EndCode();
      if (code > end_code_) return InvalidCode();
      previous_code_ = code;
      first_byte_ = static_cast<std::uint8_t>(code);
      Push(first_byte_);
      return TLZWState::More;
    }
    if (code == end_code_) return EndCode();
    // A code may name the entry about to be made (the KwKwK case), never one beyond it.
    if (code > first_free_) return InvalidCode();
    const int in_code = code;
    if (code == first_free_) {
      Push(first_byte_);
      code = previous_code_;
    }
    while (code >= clear_code_) {
      Push(suffix_[code]);
      code = prefix_[code];
    }
    first_byte_ = suffix_[code];
    Push(first_byte_);
    if (first_free_ < kMaxCodes) {
      prefix_[first_free_] = static_cast<std::uint16_t>(previous_code_);
      suffix_[first_free_] = first_byte_;
      ++first_free_;
      if (first_free_ >= max_code_size_ && max_code_size_ < kMaxCodes) {
        max_code_size_ *= 2;
        ++code_size_;
      }
    }
    previous_code_ = in_code;
    return TLZWState::More;
  }

  TLZWState EndCode() {
    Finish();
    return TLZWState::EndCode;
  }

  // Damaged data: the frame keeps the pixels decoded so far, the rest is skipped.
  TLZWState InvalidCode() {
    Warn("Invalid LZW code");
    return TLZWState::InvalidCode;
  }

  void Warn(const char* Message) {
    if (warning_) warning_(Message);
  }

  TStream& stream_;
  const TGIFWarningHandler& warning_;
  int min_code_size_;
  int clear_code_ = 0;
  int end_code_ = 0;
  int code_size_ = 0;
  int max_code_size_ = 0;
  int first_free_ = 0;
  int previous_code_ = -1;
  std::uint8_t first_byte_ = 0;
  bool first_call_ = true;

  std::uint32_t bit_buffer_ = 0;
  int bit_count_ = 0;
  std::uint8_t block_[255] = {};
  int block_len_ = 0;
  int block_pos_ = 0;
  bool end_of_data_ = false;

  std::uint16_t prefix_[kMaxCodes] = {};
  std::uint8_t suffix_[kMaxCodes] = {};
  std::uint8_t stack_[kMaxCodes + 1] = {};
  int stack_size_ = 0;
};

}  // namespace

void DecodeFramePixels(TStream& Stream, std::uint8_t* Data, int Width, int Height, bool Interlaced,
                       const TGIFWarningHandler& Warning) {
  std::uint8_t min_code_size = 0;
  if (Stream.Read(&min_code_size, 1) != 1) return;
  if (min_code_size < kMinCodeSize || min_code_size > kMaxMinCodeSize)
    Error("Invalid LZW minimum code size");
  TLZWDecoder decoder(Stream, min_code_size, Warning);
  if (!Interlaced) {
    decoder.Fetch(Data, Width * Height);
  } else {
    int pass = 0;
    int step = 8;
    int row = 0;
    for (int i = 0; i < Height; ++i) {
      if (decoder.Fetch(Data + static_cast<std::size_t>(row) * Width, Width) != TLZWState::More)
        break;
      row += step;
      while (row >= Height) {
        if (pass > 0) step /= 2;
        ++pass;
        row = step / 2;
      }
    }
  }
  decoder.Finish();
}

#include "app/language/code_encode.h"

namespace {

constexpr std::int32_t kScheduleModulus = 2147483647;

// The schedule's step r := ((T * 257 + r) mod 2147483647) + 1 as the program has always
// computed it: the sum wraps in 32 bits and the remainder keeps the sign of the
// dividend. The sum is formed unsigned, so the wrap is defined behaviour here.
std::int32_t NextScheduleValue(std::uint8_t T, std::int32_t r) {
  const std::uint32_t sum = std::uint32_t{T} * 257u + static_cast<std::uint32_t>(r);
  const auto dividend = static_cast<std::int32_t>(sum);
  return dividend % kScheduleModulus + 1;
}

// One step of the stream; returns the byte to XOR with the input.
std::uint8_t NextKeyByte(TCipherState& State, std::uint8_t In) {
  State.i = static_cast<std::uint8_t>(State.i + 1);
  const std::uint8_t t = State.S[State.i];
  State.j = static_cast<std::uint8_t>(State.j + t);
  State.S[State.i] = State.S[State.j] ^ State.k;
  State.S[State.j] = static_cast<std::uint8_t>(t - State.k);
  return State.S[static_cast<std::uint8_t>(t + State.S[State.i])] ^ In;
}

void Wipe(void* Data, std::size_t Size) {
  // volatile keeps the compiler from dropping the wipe of a dying buffer
  auto* p = static_cast<volatile std::uint8_t*>(Data);
  for (std::size_t n = 0; n < Size; ++n) p[n] = 0;
}

enum class Direction { Encode, Decode };

std::string RunString(const std::string& Text, const std::string& Key, Direction Dir) {
  TCipherState state;
  CipherInit(state, reinterpret_cast<const std::uint8_t*>(Key.data()), Key.size());
  std::string result(Text.size(), '\0');
  const auto* source = reinterpret_cast<const std::uint8_t*>(Text.data());
  auto* dest = reinterpret_cast<std::uint8_t*>(result.data());
  if (Dir == Direction::Encode)
    CipherEncodeBuf(state, source, dest, Text.size());
  else
    CipherDecodeBuf(state, source, dest, Text.size());
  Wipe(&state, sizeof state);
  return result;
}

}  // namespace

void CipherInit(TCipherState& State, const std::uint8_t* Key, std::size_t KeyLength) {
  std::uint8_t T[256];
  std::int32_t r = 0;
  for (int n = 0; n < 256; ++n) {
    State.S[n] = static_cast<std::uint8_t>(n);
    T[n] = Key[n % KeyLength] ^ static_cast<std::uint8_t>(r);
    r = NextScheduleValue(T[n], r);
  }
  const auto bits = static_cast<std::uint32_t>(r);
  State.i = 0;
  State.j = 0;
  State.k = static_cast<std::uint8_t>(bits >> 8);
  auto m = static_cast<std::uint8_t>(bits);
  for (int n = 0; n < 256; ++n) {
    const std::uint8_t t = State.S[n];
    m = static_cast<std::uint8_t>(m + t + T[n]);
    State.S[n] = State.S[m];
    State.S[m] = t;
  }
  Wipe(T, sizeof T);
}

void CipherEncodeBuf(TCipherState& State, const std::uint8_t* Source, std::uint8_t* Dest,
                     std::size_t Count) {
  for (std::size_t n = 0; n < Count; ++n) {
    const std::uint8_t plain = Source[n];
    Dest[n] = NextKeyByte(State, plain);
    State.k ^= plain;
  }
}

void CipherDecodeBuf(TCipherState& State, const std::uint8_t* Source, std::uint8_t* Dest,
                     std::size_t Count) {
  for (std::size_t n = 0; n < Count; ++n) {
    const std::uint8_t plain = NextKeyByte(State, Source[n]);
    Dest[n] = plain;
    State.k ^= plain;
  }
}

std::string EncodeString(const std::string& Text, const std::string& Key) {
  return RunString(Text, Key, Direction::Encode);
}

std::string DecodeString(const std::string& Text, const std::string& Key) {
  return RunString(Text, Key, Direction::Decode);
}

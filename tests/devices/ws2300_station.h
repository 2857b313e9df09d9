// A scripted WS-2300 for the tests: answers the program's bytes one by one as the
// station's protocol says, from a nibble memory the test fills.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

class TWs2300Station {
 public:
  // Stores data bytes d0, d1, ... as the station keeps them from nibble Address on:
  // the low nibble of dk at Address + 2k, the high one after it.
  void SetBytes(int Address, std::initializer_list<std::uint8_t> Bytes) {
    int a = Address;
    for (std::uint8_t b : Bytes) {
      memory_[a++] = b & 0x0F;
      memory_[a++] = b >> 4;
    }
  }

  // The station's answer to one byte from the program.
  std::vector<std::uint8_t> Answer(std::uint8_t Byte) {
    if (Byte == 0x06) {
      address_.clear();
      return {0x02};
    }
    if (Byte >= 0x82 && Byte < 0xC2 && address_.size() < 4) {
      const std::uint8_t nibble = (Byte - 0x82) / 4;
      const std::uint8_t ack = std::uint8_t(16 * address_.size() + nibble);
      address_.push_back(nibble);
      return {ack};
    }
    if (Byte >= 0xC2 && address_.size() == 4) {
      const int count = (Byte - 0xC2) / 4;
      int a = 0;
      for (std::uint8_t n : address_) a = a * 16 + n;
      address_.clear();
      std::vector<std::uint8_t> reply{std::uint8_t(0x30 + count)};
      unsigned sum = 0;
      for (int k = 0; k < count; ++k) {
        const std::uint8_t d =
            std::uint8_t(memory_[(a + 2 * k) & 0xFFFF] | memory_[(a + 2 * k + 1) & 0xFFFF] << 4);
        reply.push_back(d);
        sum += d;
      }
      reply.push_back(std::uint8_t(sum + ChecksumError));
      return reply;
    }
    address_.clear();
    return {};
  }

  // Added to every checksum the station sends (0: correct).
  std::uint8_t ChecksumError = 0;

 private:
  std::array<std::uint8_t, 0x10000> memory_{};
  std::vector<std::uint8_t> address_;
};

// The byte stream cipher of the language files.
//
// A 256-byte state shuffled from a key, three counters, and a feedback byte k that takes
// in every plain byte: both directions run the same step and feed the plain text into
// k, so a text deciphers only when everything before it did. Language files are
// enciphered whole with the language key (speak_file.h).
//
// No platform code here: the build-time enciphering tool compiles this file alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct TCipherState {
  std::uint8_t S[256];
  std::uint8_t i;
  std::uint8_t j;
  std::uint8_t k;
};

// Keys the state from Key[0..KeyLength-1]; KeyLength must be at least 1.
void CipherInit(TCipherState& State, const std::uint8_t* Key, std::size_t KeyLength);
// Source and Dest may be the same buffer.
void CipherEncodeBuf(TCipherState& State, const std::uint8_t* Source, std::uint8_t* Dest,
                     std::size_t Count);
void CipherDecodeBuf(TCipherState& State, const std::uint8_t* Source, std::uint8_t* Dest,
                     std::size_t Count);

// One fresh state keyed from the bytes of Key (not empty), wiped afterwards; the result
// has the length of Text.
std::string EncodeString(const std::string& Text, const std::string& Key);
std::string DecodeString(const std::string& Text, const std::string& Key);

// Character tests and case mapping of the ASCII range only: the Windows-1252 letters
// above 127 are neither letters nor digits here and keep their case. The tests take an
// int, so a reader may pass a character it got from a stream (the end mark included)
// as well as a char.
#pragma once

// Blanks and control characters, the characters Trim and comma texts strip.
constexpr bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

constexpr bool IsAsciiDigit(int c) {
  return c >= '0' && c <= '9';
}

constexpr bool IsAsciiLetter(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool IsAsciiLetterOrDigit(int c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c);
}

// 0..15 for a hex digit of either case, -1 for anything else.
constexpr int AsciiHexValue(int c) {
  if (IsAsciiDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// speak_encipher SOURCE TARGET
//
// Makes a language file: reads SOURCE, readable UTF-8 text with one semicolon record
// per line (the header record first), converts it to Windows-1252, puts the 64-character
// preamble before it, joins the lines with CR LF and enciphers the whole with the
// language key. A character that Windows-1252 cannot hold stops the build.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include "app/language/code_encode.h"
#include "app/language/language_key.h"

namespace {

constexpr std::size_t kPreambleLength = 64;

// The code points of Windows-1252's bytes 0x80..0x9F (0 where the byte is unused).
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool ToCp1252(char32_t Code, char& Byte) {
  if (Code < 0x80 || (Code >= 0xA0 && Code <= 0xFF)) {
    Byte = static_cast<char>(Code);
    return true;
  }
  for (int n = 0; n < 32; ++n) {
    if (kHighControls[n] != 0 && kHighControls[n] == Code) {
      Byte = static_cast<char>(0x80 + n);
      return true;
    }
  }
  return false;
}

// UTF-8 to Windows-1252; false on bad UTF-8 or a character outside the code page.
bool Utf8ToCp1252(const std::string& In, std::string& Out, std::size_t& BadAt) {
  for (std::size_t n = 0; n < In.size();) {
    const auto lead = static_cast<std::uint8_t>(In[n]);
    const int extra = lead < 0x80           ? 0
                      : (lead >> 5) == 0x6  ? 1
                      : (lead >> 4) == 0xE  ? 2
                      : (lead >> 3) == 0x1E ? 3
                                            : -1;
    BadAt = n;
    if (extra < 0 || n + extra >= In.size()) return false;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(In[n + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    char byte;
    if (!ToCp1252(code, byte)) return false;
    Out += byte;
    n += extra + 1;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: speak_encipher SOURCE TARGET\n";
    return 2;
  }
  std::ifstream source(argv[1], std::ios::binary);
  if (!source) {
    std::cerr << "speak_encipher: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::string plain = "Velmora language file";
  plain.resize(kPreambleLength, ' ');
  std::string line;
  int lineNumber = 0;
  while (std::getline(source, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::string converted;
    std::size_t badAt = 0;
    if (!Utf8ToCp1252(line, converted, badAt)) {
      std::cerr << argv[1] << ":" << lineNumber << ":" << badAt + 1
                << ": not a Windows-1252 character\n";
      return 1;
    }
    plain += converted + "\r\n";
  }
  const std::string enciphered = EncodeString(plain, kLanguageKey);
  std::ofstream target(argv[2], std::ios::binary | std::ios::trunc);
  target.write(enciphered.data(), static_cast<std::streamsize>(enciphered.size()));
  if (!target) {
    std::cerr << "speak_encipher: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}

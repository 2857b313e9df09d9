#include "richtext/base/rtf_routines.h"

#include <cstdint>

#include "platform/text/ascii.h"
#include "platform/text/multibyte.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"

namespace {

constexpr std::uint8_t kBullet = 149;
constexpr std::uint8_t kNoBreakSpace = 160;

const char* NamedRTFSymbol(char16_t ch) {
  switch (ch) {
    case 8212:
      return "\\emdash ";
    case 8211:
      return "\\endash ";
    case 8216:
      return "\\lquote ";
    case 8217:
      return "\\rquote ";
    case 8220:
      return "\\ldblquote ";
    case 8221:
      return "\\rdblquote ";
    case 8194:
      return "\\enspace ";
    case 8195:
      return "\\emspace ";
    case 8197:
      return "\\qmspace ";
    case 149:
      return "\\bullet ";
    case 160:
      return "\\~";
    case 173:
      return "\\-";
    default:
      return nullptr;
  }
}

std::string BackslashBeforeSpecials(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '{' || c == '}') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace

namespace {

void AppendHighByte(std::string& out, char c, bool specialChars) {
  static constexpr char kHex[] = "0123456789abcdef";
  const std::uint8_t b = std::uint8_t(c);
  if (specialChars && b == kBullet) {
    out += "\\bullet ";
  } else if (specialChars && b == kNoBreakSpace) {
    out += "\\~";
  } else {
    out += "\\'";
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
  }
}

bool IsPlainRTFByte(std::uint8_t b) {
  return b >= 32 && b <= 127;
}

}  // namespace

void RTFEscapeHigh(std::string& s, bool specialChars) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (IsPlainRTFByte(std::uint8_t(c)))
      out.push_back(c);
    else
      AppendHighByte(out, c, specialChars);
  }
  s = std::move(out);
}

void AppendRTFEscaped(std::string& out, std::string_view s, bool isRTFCode, bool specialChars) {
  out.reserve(out.size() + s.size());
  for (char c : s) {
    if (!IsPlainRTFByte(std::uint8_t(c))) {
      AppendHighByte(out, c, specialChars);
      continue;
    }
    if (!isRTFCode && (c == '\\' || c == '{' || c == '}')) out.push_back('\\');
    out.push_back(c);
  }
}

std::string RTFEscape(std::string_view s, bool isRTFCode, bool specialChars) {
  std::string out;
  AppendRTFEscaped(out, s, isRTFCode, specialChars);
  return out;
}

std::string RTFEscapeFieldText(std::string_view s) {
  // Two levels: the field instruction takes \\ and \" inside its quoted argument, and the
  // RTF around it escapes backslashes and braces again.
  std::string field;
  for (char c : s) {
    if (c == '\\' || c == '"') field.push_back('\\');
    field.push_back(c);
  }
  std::string out = BackslashBeforeSpecials(field);
  RTFEscapeHigh(out, false);
  return out;
}

std::string RTFEscapeNoBraces(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\\' || c == '{' || c == '}') c = '_';
  RTFEscapeHigh(out, false);
  return out;
}

std::string MakeRTFIdentifier(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (!IsAsciiLetterOrDigit(c) && std::uint8_t(c) < 128) c = '_';
  RTFEscapeHigh(out, false);
  return out;
}

void AppendRTFUnicodeText(std::string& out, std::string_view text, int codePage, bool isRTFCode,
                          bool writeANSI) {
  for (size_t i = 0; i < text.size() / 2; ++i) {
    char16_t ch = RawUnicodeAt(text, i);
    if (ch >= 1 && ch <= 127) {
      AppendRTFEscaped(out, std::string_view(reinterpret_cast<const char*>(&text[2 * i]), 1),
                       isRTFCode, true);
      continue;
    }
    if (!isRTFCode) {
      if (const char* named = NamedRTFSymbol(ch)) {
        out += named;
        continue;
      }
    }
    const std::string code = "\\u" + std::to_string(int(std::int16_t(ch))) + " ";
    if (!writeANSI) {
      out += code;
      continue;
    }
    std::string ansi = RawUnicodeToAnsi(codePage, text.substr(2 * i, 2));
    if (ansi.size() == 1) {
      out += code;
      AppendRTFEscaped(out, ansi, isRTFCode, false);
    } else {
      // A reader takes the substitute length from the \\uc in force when it meets \\u,
      // so a substitute of another length announces it first and restores 1 after.
      out += "\\uc" + std::to_string(ansi.size()) + code;
      AppendRTFEscaped(out, ansi, isRTFCode, false);
      out += "\\uc1 ";
    }
  }
}

std::string RTFUnicodeText(std::string_view text, int codePage, bool isRTFCode, bool writeANSI) {
  std::string out;
  AppendRTFUnicodeText(out, text, codePage, isRTFCode, writeANSI);
  return out;
}

void AppendRTFCodePageText(std::string& out, std::string_view s, int codePage, bool writeANSI) {
  if (IsMultiByteCodePage(codePage))
    AppendRTFUnicodeText(out, AnsiToRawUnicode(codePage, s), codePage, false, writeANSI);
  else
    AppendRTFEscaped(out, s, false, true);
}

void RTFWriteUnicodeText(TStream& stream, std::string_view text, int codePage, bool isRTFCode,
                         bool writeANSI) {
  std::string rtf = RTFUnicodeText(text, codePage, isRTFCode, writeANSI);
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
}

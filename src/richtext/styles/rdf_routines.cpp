#include "richtext/styles/rdf_routines.h"

#include <cstdint>
#include <limits>

#include "platform/text/ascii.h"
#include "platform/text/streams.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kEncodedCR = '\x01';
constexpr char kEncodedLF = '\x02';

bool HexPair(std::string_view hex, size_t i, std::uint8_t& byte) {
  int high = AsciiHexValue(hex[i]);
  int low = AsciiHexValue(hex[i + 1]);
  if (high < 0 || low < 0) return false;
  byte = std::uint8_t(high * 16 + low);
  return true;
}

// Moves the cursor past n characters and one following space.
void Advance(std::string_view& p, size_t n) {
  p.remove_prefix(std::min(n, p.size()));
  if (!p.empty() && p.front() == ' ') p.remove_prefix(1);
}

template <class Infos>
int FindStyleByName(const Infos& infos, const std::string& name) {
  for (int i = 0; i < infos.Count(); ++i)
    if (infos.At(i).StyleName() == name) return i;
  return 0;
}

}  // namespace

void StreamWriteString(TStream& stream, std::string_view s) {
  if (!s.empty()) stream.WriteBuffer(s.data(), int64_t(s.size()));
}

void StreamWriteLine(TStream& stream, std::string_view s) {
  StreamWriteString(stream, s);
  StreamWriteString(stream, "\r\n");
}

void WriteRDFItemTextLine(TStream& stream, std::string_view s, bool unicode, bool textMode) {
  if (unicode && textMode) {
    StreamWriteLine(stream, StringToHex(s));
  } else if (unicode) {
    StreamWriteString(stream, s);
    StreamWriteString(stream, "\x29\x20");
  } else {
    StreamWriteLine(stream, s);
  }
}

std::string StringToHex(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (char c : s) {
    out.push_back(kHexDigits[std::uint8_t(c) >> 4]);
    out.push_back(kHexDigits[std::uint8_t(c) & 15]);
  }
  return out;
}

void StreamToHex(const TMemoryStream& stream, std::string& s) {
  s = StringToHex(
      std::string_view(static_cast<const char*>(stream.Memory()), size_t(stream.Size())));
}

bool HexToStream(std::string_view hex, TMemoryStream& stream) {
  if (hex.size() % 2 != 0) return false;
  stream.SetSize(int64_t(hex.size() / 2));
  auto* bytes = static_cast<std::uint8_t*>(stream.Memory());
  for (size_t i = 0; i < hex.size(); i += 2)
    if (!HexPair(hex, i, bytes[i / 2])) return false;
  return true;
}

void HexToString(std::string_view hex, std::string& s) {
  s.clear();
  if (hex.size() % 2 != 0) return;
  s.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    std::uint8_t byte;
    if (!HexPair(hex, i, byte)) return;
    s.push_back(char(byte));
  }
}

std::string WideStringToHex(std::u16string_view ws) {
  std::string out;
  for (char16_t u : ws)
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHexDigits[(u >> shift) & 15]);
  return out;
}

void HexToWideString(std::string_view hex, std::u16string& ws) {
  ws.clear();
  if (hex.size() % 4 != 0) return;
  for (size_t i = 0; i < hex.size(); i += 4) {
    std::uint8_t high, low;
    if (!HexPair(hex, i, high) || !HexPair(hex, i + 2, low)) return;
    ws.push_back(char16_t(high << 8 | low));
  }
}

bool RDFReadWord(std::string_view& p, std::string& s) {
  size_t end = p.find(' ');
  if (end == std::string_view::npos) end = p.size();
  s = p.substr(0, end);
  Advance(p, end);
  return !s.empty();
}

bool RDFReadInteger(std::string_view& p, int& value) {
  if (p.empty() || (p.front() != '-' && (p.front() < '0' || p.front() > '9'))) return false;
  size_t i = p.front() == '-' ? 1 : 0;
  const bool negative = i == 1;
  std::int64_t result = 0;
  for (; i < p.size() && p[i] != ' '; ++i) {
    if (p[i] < '0' || p[i] > '9') return false;
    result = result * 10 + (p[i] - '0');
    if (result > std::int64_t(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) result = -result;
  if (result > std::numeric_limits<int>::max()) return false;
  value = int(result);
  Advance(p, i);
  return true;
}

void RDFReadQuotedString(std::string_view& p, std::string& s) {
  s.clear();
  if (p.empty() || p.front() != '"') return;
  size_t i = 1;
  for (; i < p.size(); ++i) {
    if (p[i] != '"') {
      s.push_back(p[i]);
    } else if (i + 1 < p.size() && p[i + 1] == '"') {
      s.push_back('"');
      ++i;
    } else {
      ++i;  // the closing quote
      break;
    }
  }
  s = DecodeRDFLineBreaks(s);
  Advance(p, i);
}

bool RDFReadTag(std::string_view& p, bool tagsArePChars, bool allowQuoted, TRDTag& tag) {
  std::string word;
  if (allowQuoted && !p.empty() && p.front() == '"') {
    RDFReadQuotedString(p, word);
    if (tagsArePChars) {
      tag = TRDTag{0, word};
      return true;
    }
  } else if (!RDFReadWord(p, word)) {
    return false;
  } else if (tagsArePChars) {
    tag = word == "0" ? TRDTag{} : TRDTag{0, word};
    return true;
  }
  int number;
  if (!TryStrToInt(word, number)) return false;
  tag = TRDTag{number, std::nullopt};
  return true;
}

bool RDFReadParaStyle(const TRDStyle* rdStyle, std::string_view& p, int& paraNo) {
  if (RDFReadInteger(p, paraNo)) return true;
  if (p.empty() || p.front() != '"') return false;
  std::string name;
  RDFReadQuotedString(p, name);
  paraNo = rdStyle ? FindStyleByName(rdStyle->ParaStyles(), name) : 0;
  return true;
}

bool RDFReadTextStyle(const TRDStyle* rdStyle, std::string_view& p, int& styleNo) {
  if (RDFReadInteger(p, styleNo)) return true;
  if (p.empty() || p.front() != '"') return false;
  std::string name;
  RDFReadQuotedString(p, name);
  styleNo = rdStyle ? FindStyleByName(rdStyle->TextStyles(), name) : 0;
  return true;
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
  std::string out(1, quote);
  for (char c : s) {
    if (c == quote) out.push_back(quote);
    out.push_back(c);
  }
  out.push_back(quote);
  return out;
}

std::string RDFQuotedString(std::string_view s) {
  return AnsiQuotedStr(EncodeRDFLineBreaks(s), '"');
}

std::string TagToRDFString(bool tagsArePChars, const TRDTag& tag) {
  if (!tagsArePChars) return std::to_string(tag.Number);
  if (!tag.Text || tag.Text->empty()) return "0";
  return RDFQuotedString(*tag.Text);
}

std::string TextStyleNoToRDFString(const TRDStyle* rdStyle, bool useStyleNames, int styleNo) {
  if (rdStyle && useStyleNames && styleNo >= 0)
    return RDFQuotedString(rdStyle->TextStyles().Items(styleNo).StyleName());
  return std::to_string(styleNo);
}

std::string ParaNoToRDFString(const TRDStyle* rdStyle, bool useStyleNames, int paraNo) {
  if (rdStyle && useStyleNames && paraNo >= 0)
    return RDFQuotedString(rdStyle->ParaStyles().Items(paraNo).StyleName());
  return std::to_string(paraNo);
}

std::string EncodeRDFLineBreaks(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\r')
      c = kEncodedCR;
    else if (c == '\n')
      c = kEncodedLF;
    else if (c == '\0')
      c = '?';
  }
  return out;
}

std::string DecodeRDFLineBreaks(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == kEncodedCR)
      c = '\r';
    else if (c == kEncodedLF)
      c = '\n';
  }
  return out;
}

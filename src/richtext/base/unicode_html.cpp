#include "richtext/base/unicode_html.h"

#include "richtext/base/code_pages.h"

namespace {

constexpr char16_t kNoBreakSpace = 0x00A0;

// HTML's names of U+00A0..U+00FF. Some readers take a numeric reference below 256 for a
// byte of the page's code page; a name they all read alike.
constexpr const char* kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

bool EscapeSpecial(char16_t ch, std::string& result, bool xml) {
  switch (ch) {
    case u'&':
      result += "&amp;";
      return true;
    case u'<':
      result += "&lt;";
      return true;
    case u'>':
      result += "&gt;";
      return true;
    case kNoBreakSpace:
      result += HTMLNoBreakSpace(xml);
      return true;
    default:
      return false;
  }
}

}  // namespace

const char* HTMLNoBreakSpace(bool xml) {
  return xml ? "&#160;" : "&nbsp;";
}

bool IsMarkupChar(char32_t ch) {
  if (ch < 0x20) return ch == u'\t' || ch == u'\n' || ch == u'\r';
  return ch != 0xFFFE && ch != 0xFFFF;
}

void EraseNonMarkupChars(std::string& s) {
  std::erase_if(s, [](char c) { return !IsMarkupChar(std::uint8_t(c)); });
}

void EscapeHTMLChar(char ch, bool& spaceBefore, bool noEscape, std::string& result, bool isLast,
                    bool xml) {
  if (noEscape) {
    result.push_back(ch);
    return;
  }
  if (!IsMarkupChar(std::uint8_t(ch))) return;
  if (ch == ' ') {
    if (!spaceBefore && !isLast) {
      result.push_back(' ');
      spaceBefore = true;
      return;
    }
    result += HTMLNoBreakSpace(xml);
  } else if (!EscapeSpecial(char16_t(std::uint8_t(ch)), result, xml)) {
    result.push_back(ch);
  }
  spaceBefore = false;
}

void RawUnicodeToHTMLEntities(std::string_view s, bool noEscape, std::string& result, bool xml) {
  size_t count = s.size() / 2;
  bool spaceBefore = true;
  for (size_t i = 0; i < count; ++i) {
    char16_t u = RawUnicodeAt(s, i);
    if (u < 128) {
      EscapeHTMLChar(char(u), spaceBefore, noEscape, result, i + 1 == count, xml);
    } else if (u == kNoBreakSpace) {
      result += HTMLNoBreakSpace(xml);
      spaceBefore = false;
    } else {
      // A surrogate pair is one character and one reference; a lone surrogate is no
      // character at all and becomes the replacement character.
      char32_t cp = u;
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && RawUnicodeAt(s, i + 1) >= 0xDC00 &&
          RawUnicodeAt(s, i + 1) <= 0xDFFF)
        cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(RawUnicodeAt(s, ++i)) - 0xDC00);
      else if (u >= 0xD800 && u <= 0xDFFF)
        cp = 0xFFFD;
      if (!IsMarkupChar(cp)) continue;
      if (!xml && cp > kNoBreakSpace && cp <= 0xFF)
        result += std::string("&") + kLatin1Names[cp - kNoBreakSpace] + ";";
      else
        result += "&#" + std::to_string(std::uint32_t(cp)) + ";";
      spaceBefore = false;
    }
  }
}

void RawUnicodeToHTMLUTF8(std::string_view s, bool noEscape, std::string& result, bool xml) {
  if (noEscape) {
    result += RawUnicodeToUTF8(s);
    return;
  }
  size_t count = s.size() / 2;
  bool spaceBefore = true;
  size_t runStart = 0;  // first unit of the ordinary characters not yet written
  auto flush = [&](size_t end) {
    if (end > runStart) result += RawUnicodeToUTF8(s.substr(runStart * 2, (end - runStart) * 2));
  };
  for (size_t i = 0; i < count; ++i) {
    char16_t u = RawUnicodeAt(s, i);
    if (u == u' ') {
      flush(i);
      runStart = i + 1;
      if (!spaceBefore && i + 1 != count) {
        result.push_back(' ');
        spaceBefore = true;
      } else {
        result += HTMLNoBreakSpace(xml);
        spaceBefore = false;
      }
      continue;
    }
    if (!IsMarkupChar(u)) {
      flush(i);
      runStart = i + 1;
      continue;
    }
    std::string escaped;
    if (EscapeSpecial(u, escaped, xml)) {
      flush(i);
      runStart = i + 1;
      result += escaped;
    }
    spaceBefore = false;
  }
  flush(count);
}

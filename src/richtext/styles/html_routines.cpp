#include "richtext/styles/html_routines.h"

#include "platform/text/cp1252.h"
#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/base/rtf_routines.h"
#include "richtext/base/symbol_fonts.h"
#include "richtext/base/text_routines.h"
#include "richtext/base/unicode_html.h"
#include "richtext/styles/text_style.h"

namespace {

// Entries of the Symbol-font characters 32..254: a single character written as it is, or an
// HTML entity name without '&' and ';'. Characters the table does not name are empty.
constexpr const char* kSymbolEntries[223] = {
    " ",      "!",       "forall",  "#",      "exist",   "%",     "&",       "?",       "(",
    ")",      "*",       "+",       ",",      "-",       ".",     "/",       "0",       "1",
    "2",      "3",       "4",       "5",      "6",       "7",     "8",       "9",       ":",
    ";",      "<",       "=",       ">",      "?",       "cong",  "Alpha",   "Beta",    "Chi",
    "Delta",  "Epsilon", "Phi",     "Gamma",  "Eta",     "Iota",  "#977",    "Kappa",   "Lambda",
    "Mu",     "Nu",      "Omicron", "Pi",     "Theta",   "Rho",   "Sigma",   "Tau",     "Upsilon",
    "sigmaf", "Omega",   "Xi",      "Psi",    "Zeta",    "[",     "there4",  "]",       "perp",
    "_",      "-",       "alpha",   "beta",   "chi",     "delta", "epsilon", "#981",    "gamma",
    "eta",    "iota",    "phi",     "kappa",  "lambda",  "mu",    "nu",      "omicron", "pi",
    "theta",  "rho",     "sigma",   "tau",    "upsilon", "#982",  "omega",   "xi",      "psi",
    "zeta",   "{",       "|",       "}",      "~",       "",      "",        "",        "",
    "",       "",        "",        "",       "",        "",      "",        "",        "",
    "",       "",        "",        "",       "",        "",      "",        "",        "",
    "",       "",        "",        "",       "",        "",      "",        "",        "",
    "",       "",        "",        "#978",   "prime",   "le",    "frasl",   "infin",   "fnof",
    "clubs",  "diams",   "hearts",  "spades", "harr",    "larr",  "uarr",    "rarr",    "darr",
    "deg",    "plusmn",  "Prime",   "ge",     "times",   "prop",  "part",    "#8226",   "divide",
    "ne",     "equiv",   "asymp",   "hellip", "|",       "-",     "crarr",   "alefsym", "image",
    "real",   "weierp",  "otimes",  "oplus",  "empty",   "cap",   "cup",     "sup",     "supe",
    "nsub",   "sub",     "sube",    "isin",   "notin",   "ang",   "nabla",   "reg",     "copy",
    "trade",  "prod",    "radic",   "sdot",   "not",     "and",   "or",      "hArr",    "lArr",
    "uArr",   "rArr",    "dArr",    "loz",    "lang",    "reg",   "copy",    "trade",   "sum",
    "/",      "|",       "\\",      "/",      "|",       "\\",    "/",       "{",       "\\",
    "|",      "euro",    "rang",    "int",    "#8992",   "|",     "#8993",   "\\",      "|",
    "/",      "\\",      "|",       "/",      "\\",      "}",     "/",
};

constexpr int kFirstSymbol = 32;
constexpr int kLastSymbol = 254;
constexpr char16_t kSymbolPrivateFirst = 0xF000;
constexpr char16_t kSymbolPrivateLast = 0xF0FF;

// XML knows no HTML entity names: XHTML gets the character reference of the symbol's
// Unicode character instead. Characters markup reserves are escaped either way.
void AppendSymbol(std::string& out, int code, bool xml) {
  if (code < kFirstSymbol || code > kLastSymbol) return;
  std::string_view entry = kSymbolEntries[code - kFirstSymbol];
  if (entry.size() == 1) {
    bool spaceBefore = false;
    EscapeHTMLChar(entry[0], spaceBefore, false, out, false, xml);
  } else if (xml || entry.empty()) {
    // A code the table has no entry for may still have a character (0x95, the byte
    // writers put for a bullet); one without is dropped.
    const char16_t unicode = SymbolToUnicode(std::uint8_t(code));
    if (!entry.empty() || unicode != code) out += "&#" + std::to_string(int(unicode)) + ";";
  } else {
    out += "&" + std::string(entry) + ";";
  }
}

std::string FaceList(std::string_view fontName) {
  if (SameText(fontName, "Symbol") || SameText(fontName, "Wingdings"))
    return "'Arial Unicode MS', 'Lucida Sans Unicode', 'Arial'";
  return CSSQuotedString(fontName);
}

// The four font styles as tags, in opening order.
struct StyleTag {
  TFontStyles style;
  const char* open;
  const char* close;
};
constexpr StyleTag kStyleTags[] = {{fsBold, "<b>", "</b>"},
                                   {fsItalic, "<i>", "</i>"},
                                   {fsUnderline, "<u>", "</u>"},
                                   {fsStrikeOut, "<s>", "</s>"}};

}  // namespace

std::string EscapeHTML(std::string_view s, bool isHTMLCode, TRDSaveOptions saveOptions) {
  std::string out;
  AppendEscapedHTML(out, s, isHTMLCode, saveOptions);
  return out;
}

void AppendEscapedHTML(std::string& out, std::string_view s, bool isHTMLCode,
                       TRDSaveOptions saveOptions) {
  if (isHTMLCode) {
    out += s;
    return;
  }
  out.reserve(out.size() + s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    switch (s[i]) {
      case '&':
        out += "&amp;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '<':
        out += "&lt;";
        break;
      case ' ': {
        // A run of n blanks: n - 1 no-break spaces and one blank, so it keeps its width.
        size_t end = i;
        while (end < s.size() && s[end] == ' ') ++end;
        for (size_t k = i + 1; k < end; ++k) out += HTMLNoBreakSpace(saveOptions & rdsoXHTML);
        out += ' ';
        i = end - 1;
        break;
      }
      default:
        if (IsMarkupChar(std::uint8_t(s[i]))) out += s[i];
    }
  }
}

std::string SymbolToHTML(std::string_view s, TRDSaveOptions saveOptions) {
  std::string out;
  for (char c : s) AppendSymbol(out, std::uint8_t(c), saveOptions & rdsoXHTML);
  return out;
}

std::string SymbolToHTMLW(std::string_view s, TRDSaveOptions saveOptions) {
  CheckUnicodeByteLength(s.size());
  std::string out;
  for (size_t i = 0; i < s.size() / 2; ++i) {
    char16_t u = RawUnicodeAt(s, i);
    if (u >= kSymbolPrivateFirst && u <= kSymbolPrivateLast)
      u = char16_t(u + 4096);  // modulo 65536
    AppendSymbol(out, u, saveOptions & rdsoXHTML);
  }
  return out;
}

std::string CodePageToHTMLCharsetName(int codePage) {
  const TRDCodePage resolved = ResolveCodePage(codePage);
  switch (resolved) {
    case 932:
      return "shift_jis";
    case 936:
      return "gb2312";
    case 949:
      return "EUC-KR";
    case 950:
      return "big5";
    case 1361:
      return "CP1361";
    case 437:
      return "IBM437";
    case 10000:
      return "macintosh";
    default:
      return "Windows-" + std::to_string(resolved);
  }
}

std::string ColorToHTMLString(TColor color, bool quoted) {
  if (color == clNone) return "";
  TColor rgb = color == clWindowText ? clBlack : ColorToRGB(color);
  std::string text =
      "#" + IntToHex(GetRValue(rgb), 2) + IntToHex(GetGValue(rgb), 2) + IntToHex(GetBValue(rgb), 2);
  return quoted ? "\"" + text + "\"" : text;
}

std::string ColorToCSS(TColor color) {
  return color == clNone ? "transparent" : ColorToHTMLString(color, false);
}

namespace {

void AppendPercentEncoded(std::string& out, std::string_view bytes) {
  for (const char c : bytes) out += "%" + IntToHex(std::uint8_t(c), 2);
}

// An ASCII character of a path as a link takes it: as it is, but for the characters that
// would end or change the link (a blank, '%', '#', '?', a quote, control characters) and
// the backslash, which is part of a name here but a separator to a browser.
void AppendPathASCII(std::string& out, char c) {
  const bool meaningful = c == ' ' || c == '%' || c == '#' || c == '?' || c == '"' || c == '\\' ||
                          std::uint8_t(c) < 0x20 || c == 0x7F;
  if (meaningful)
    AppendPercentEncoded(out, std::string_view(&c, 1));
  else
    out += c;
}

}  // namespace

std::string FilePathToHTML(std::string_view path, TRDSaveOptions saveOptions, int codePage) {
  std::string out;
  const auto ascii = [&out](char c) { AppendPathASCII(out, c); };
  // A name the file system holds in other bytes than UTF-8 is named byte by byte.
  if (!IsUtf8Text(path)) {
    for (const char c : path)
      if (std::uint8_t(c) < 0x80)
        ascii(c);
      else
        AppendPercentEncoded(out, std::string_view(&c, 1));
    return out;
  }
  const std::u16string name = ReceivedTextToUtf16(path);
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] < 0x80) {
      ascii(char(name[i]));
      continue;
    }
    // One character (a surrogate pair whole): in the page's encoding where it has the
    // character, else as the UTF-8 bytes of the file's name, percent-encoded.
    const bool pair = name[i] >= 0xD800 && name[i] < 0xDC00 && i + 1 < name.size();
    const std::string raw =
        WideStringToRawUnicode(std::u16string_view(name).substr(i, pair ? 2 : 1));
    if (pair) ++i;
    if (saveOptions & rdsoUTF8) {
      out += RawUnicodeToUTF8(raw);
      continue;
    }
    const std::string inPage = RawUnicodeToAnsi(codePage, raw);
    if (AnsiToRawUnicode(codePage, inPage) == raw)
      out += inPage;
    else
      AppendPercentEncoded(out, RawUnicodeToUTF8(raw));
  }
  return out;
}

std::string HintToAttr(int kind, std::string_view hint) {
  if (hint.empty()) return "";
  std::string text(hint);
  if (kind != 1 && kind != 2) return text;
  for (char& c : text)
    if (c == '"') c = '\'';
  if (kind == 1) return "title=" + QuotedHTMLAttr(text);
  return "\\o \"" + RTFEscapeNoBraces(text) + "\"";
}

std::string FontToCSS(const TRDFont& font, bool useFontName) {
  std::string out;
  if (font.Style & fsBold) AppendWithSpace(out, "font-weight: bold;");
  if (font.Style & fsItalic) AppendWithSpace(out, "font-style: italic;");
  int size = font.Size();
  if (size < 1)
    AppendWithSpace(out, "font-size: " + std::to_string(font.Height) + "px;");
  else
    AppendWithSpace(out, "font-size: " + std::to_string(size) + "pt;");
  if (useFontName) AppendWithSpace(out, "font-family: " + FaceList(font.Name) + ";");
  if (font.Style & (fsUnderline | fsStrikeOut)) {
    std::string words;
    if (font.Style & fsUnderline) AppendWithSpace(words, "underline");
    if (font.Style & fsStrikeOut) AppendWithSpace(words, "line-through");
    out += " text-decoration: " + words + ";";
  }
  out += " color: " + ColorToHTMLString(font.Color, false) + ";";
  return out;
}

int FontSizeToHTMLSize(int pointSize) {
  if (pointSize < 9) return 1;
  if (pointSize <= 10) return 2;
  if (pointSize <= 12) return 3;
  if (pointSize <= 14) return 4;
  if (pointSize <= 18) return 5;
  if (pointSize <= 24) return 6;
  return 7;
}

std::string GetHTMLEmptyTagEnd(TRDSaveOptions saveOptions) {
  return (saveOptions & rdsoXHTML) ? " /" : "";
}

std::string HTMLBooleanAttr(std::string_view name, TRDSaveOptions saveOptions) {
  std::string out(name);
  if (saveOptions & rdsoXHTML) out += "=\"" + std::string(name) + "\"";
  return out;
}

std::string IntToHTMLAttr(int value, TRDSaveOptions saveOptions) {
  std::string text = std::to_string(value);
  return (saveOptions & rdsoXHTML) ? "\"" + text + "\"" : text;
}

std::string StrToHTMLAttr(std::string_view s, TRDSaveOptions saveOptions) {
  bool quoted = s.size() >= 2 && s.front() == '"' && s.back() == '"';
  if (!(saveOptions & rdsoXHTML) || quoted) return std::string(s);
  return "\"" + std::string(s) + "\"";
}

std::string EscapeHTMLAttr(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        if (IsMarkupChar(std::uint8_t(c))) out += c;
    }
  }
  return out;
}

std::string QuotedHTMLAttr(std::string_view value) {
  return "\"" + EscapeHTMLAttr(value) + "\"";
}

std::string CSSQuotedString(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    switch (c) {
      case '\'':
      case '\\':
        out += '\\';
        out += c;
        break;
      case '<':
        out += "\\3C ";
        break;
      case '>':
        out += "\\3E ";
        break;
      case '&':
        out += "\\26 ";
        break;
      case '"':
        out += "\\22 ";
        break;
      case '\r':
      case '\n':
        break;
      default:
        if (IsMarkupChar(std::uint8_t(c))) out += c;
    }
  }
  return out + "'";
}

std::string FontInfoOpenTags(const TCustomRDFontInfo& style, const TCustomRDFontInfo& base,
                             bool relative, TRDSaveOptions saveOptions) {
  std::string attributes;
  if (!relative || style.Size != base.Size)
    attributes += " size=" + IntToHTMLAttr(FontSizeToHTMLSize(style.Size), saveOptions);
  if (!relative || style.Color != base.Color)
    attributes += " color=" + ColorToHTMLString(style.Color, true);
  if (!relative || !SameText(style.FontName, base.FontName))
    attributes += " face=" + QuotedHTMLAttr(style.FontName);
  std::string out;
  if (!attributes.empty()) out = "<font" + attributes + ">";
  if (relative) {
    for (int i = 3; i >= 0; --i)
      if ((base.Style & kStyleTags[i].style) && !(style.Style & kStyleTags[i].style))
        out += kStyleTags[i].close;
    for (const StyleTag& tag : kStyleTags)
      if ((style.Style & tag.style) && !(base.Style & tag.style)) out += tag.open;
  } else {
    for (const StyleTag& tag : kStyleTags)
      if (style.Style & tag.style) out += tag.open;
  }
  if (style.VShift < 0) out += "<sub>";
  if (style.VShift > 0) out += "<sup>";
  return out;
}

std::string FontInfoCloseTags(const TCustomRDFontInfo& style, const TCustomRDFontInfo& base,
                              bool relative) {
  std::string out;
  if (style.VShift < 0) out += "</sub>";
  if (style.VShift > 0) out += "</sup>";
  if (relative) {
    for (int i = 3; i >= 0; --i)
      if ((style.Style & kStyleTags[i].style) && !(base.Style & kStyleTags[i].style))
        out += kStyleTags[i].close;
    for (const StyleTag& tag : kStyleTags)
      if ((base.Style & tag.style) && !(style.Style & tag.style)) out += tag.open;
  } else {
    for (int i = 3; i >= 0; --i)
      if (style.Style & kStyleTags[i].style) out += kStyleTags[i].close;
  }
  bool sameFont = style.Size == base.Size && style.Color == base.Color &&
                  SameText(style.FontName, base.FontName);
  if (!relative || !sameFont) out += "</font>";
  return out;
}

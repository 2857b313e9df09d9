#include "html/html_text.h"

#include <array>
#include <span>
#include <string_view>
#include <utility>

#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

struct TNamedColor {
  const char* name;
  TColor color;
};

constexpr std::array<TNamedColor, 16> kPlainColors{{
    {"clred", 0x0000FF},
    {"clblack", 0x000000},
    {"clblue", 0xFF0000},
    {"clgreen", 0x008000},
    {"claqua", 0xFFFF00},
    {"clyellow", 0x00FFFF},
    {"clfuchsia", 0xFF00FF},
    {"clwhite", 0xFFFFFF},
    {"cllime", 0x00FF00},
    {"clsilver", 0xC0C0C0},
    {"clgray", 0x808080},
    {"clolive", 0x008080},
    {"clnavy", 0x800000},
    {"clpurple", 0x800080},
    {"clteal", 0x808000},
    {"clmaroon", 0x000080},
}};

// System colour names in the order of their index, from 1.
constexpr std::array<const char*, 24> kSystemColors{
    "clbackground",
    "clactivecaption",
    "clinactivecaption",
    "clmenu",
    "clwindow",
    "clwindowframe",
    "clmenutext",
    "clwindowtext",
    "clcaptiontext",
    "clactiveborder",
    "clinactiveborder",
    "clappworkspace",
    "clhighlight",
    "clhighlighttext",
    "clbtnface",
    "clbtnshadow",
    "clgraytext",
    "clbtntext",
    "clinactivecaptiontext",
    "clbtnhighlight",
    "cl3ddkshadow",
    "cl3dlight",
    "clinfotext",
    "clinfobk",
};

// Case-insensitive comparison of S at Pos with Sub.
bool MatchesAt(const std::string& S, size_t Pos, std::string_view Sub) {
  if (Pos + Sub.size() > S.size()) return false;
  for (size_t n = 0; n < Sub.size(); ++n)
    if (AsciiUpper(S[Pos + n]) != AsciiUpper(Sub[n])) return false;
  return true;
}

// 0-based position of Sub in S from From, any case; npos when absent.
size_t FindText(const std::string& S, std::string_view Sub, size_t From = 0) {
  for (size_t p = From; p + Sub.size() <= S.size(); ++p)
    if (MatchesAt(S, p, Sub)) return p;
  return std::string::npos;
}

using TEntity = std::pair<std::string_view, std::string_view>;

// Replaces the entities of Table in one left-to-right pass; "&&" is skipped whole when
// SkipEscaped is set.
std::string ReplaceEntities(const std::string& S, std::span<const TEntity> Table,
                            bool SkipEscaped) {
  if (S.find('&') == std::string::npos) return S;
  std::string out;
  out.reserve(S.size());
  for (size_t p = 0; p < S.size();) {
    if (S[p] != '&') {
      out += S[p++];
      continue;
    }
    if (SkipEscaped && p + 1 < S.size() && S[p + 1] == '&') {
      out += "&&";
      p += 2;
      continue;
    }
    bool replaced = false;
    for (const auto& [entity, replacement] : Table) {
      if (!MatchesAt(S, p, entity)) continue;
      out += replacement;
      p += entity.size();
      replaced = true;
      break;
    }
    if (!replaced) out += S[p++];
  }
  return out;
}

constexpr std::array<TEntity, 9> kEntities{{
    {"&amp;", "&&"},
    {"&quot;", "\""},
    {"&sect;", "\xA7"},
    {"&permil;", "\x89"},
    {"&reg;", "\xAE"},
    {"&copy;", "\xA9"},
    {"&para;", "\xB6"},
    {"&trade;", "\x99"},
    {"&euro;", "\x80"},
}};

constexpr std::array<TEntity, 3> kRunEntities{{
    {"&nbsp;", " "},
    {"&lt;", "<"},
    {"&gt;", ">"},
}};

}  // namespace

TColor HtmlColorByName(const std::string& Name) {
  const std::string name = LowerCase(Name);
  for (const TNamedColor& c : kPlainColors)
    if (name == c.name) return c.color;
  for (size_t n = 0; n < kSystemColors.size(); ++n)
    if (name == kSystemColors[n]) return clSystemColor | TColor(n + 1);
  return 0;
}

TColor HtmlColorFromHex(const std::string& Value) {
  auto pair = [&](size_t at) {
    if (at + 1 >= Value.size()) return 0;
    auto digit = [](char c) { return c < 'A' ? c - '0' : c - '7'; };
    return (digit(Value[at]) * 16 + digit(Value[at + 1])) & 0xFF;
  };
  return RGB(pair(1), pair(3), pair(5));
}

TColor HtmlColor(const std::string& Value) {
  if (!Value.empty() && Value[0] == '#') return HtmlColorFromHex(UpperCase(Value));
  return HtmlColorByName(Value);
}

int PosText(const std::string& Sub, const std::string& S) {
  const size_t p = FindText(S, Sub);
  return p == std::string::npos ? 0 : int(p) + 1;
}

bool ReplaceTextOnce(const std::string& Sub, const std::string& Replacement, std::string& S) {
  const size_t p = FindText(S, Sub);
  if (p == std::string::npos) return false;
  S.replace(p, Sub.size(), Replacement);
  return true;
}

int HtmlIntValue(const std::string& S) {
  int value = 0;
  for (char c : S) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value >= kMaxHtmlIntValue) return kMaxHtmlIntValue;
  }
  return value;
}

void DecodeHtmlEntities(std::string& S) {
  S = ReplaceEntities(S, kEntities, false);
}

std::string DecodeRunEntities(const std::string& Run) {
  return ReplaceEntities(Run, kRunEntities, true);
}

std::string OpenHashTag(const std::string& S) {
  const size_t open = S.find("<#");
  if (open == std::string::npos) return S;
  std::string rest = S.substr(open + 1);
  const size_t close = rest.find('>');
  if (close != std::string::npos) rest.erase(close, 1);
  return S.substr(0, open) + rest;
}

std::string LineBreaksToHtml(const std::string& S, bool AsBreaks) {
  std::string out;
  out.reserve(S.size());
  for (char c : S) {
    if (c == '\n') continue;
    if (c == '\r') {
      if (AsBreaks) out += "<BR>";
      continue;
    }
    out += c;
  }
  return out;
}

std::string HtmlStrip(const std::string& S) {
  std::string text;
  text.reserve(S.size());
  // Breaks first, so that they survive the removal of the other tags.
  for (size_t p = 0; p < S.size();) {
    if (MatchesAt(S, p, "<BR>") || MatchesAt(S, p, "<HR>")) {
      text += "\r\n";
      p += 4;
    } else {
      text += S[p++];
    }
  }
  std::string shown;
  shown.reserve(text.size());
  for (size_t p = 0; p < text.size();) {
    const size_t hidden = FindText(text, "<Z>", p);
    if (hidden == std::string::npos) {
      shown.append(text, p);
      break;
    }
    shown.append(text, p, hidden - p);
    const size_t end = FindText(text, "</Z>", hidden + 3);
    if (end == std::string::npos) break;  // hidden up to the end
    p = end + 4;
  }
  std::string plain;
  plain.reserve(shown.size());
  for (size_t p = 0; p < shown.size();) {
    if (shown[p] != '<') {
      plain += shown[p++];
      continue;
    }
    const size_t close = shown.find('>', p);
    if (close == std::string::npos) {
      plain.append(shown, p);
      break;
    }
    p = close + 1;
  }
  return plain;
}

bool IsDesktopLink(const std::string& Target) {
  const std::string lower = LowerCase(Target);
  return lower.starts_with("http://") || lower.starts_with("https://") ||
         lower.starts_with("mailto:");
}

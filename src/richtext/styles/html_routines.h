// HTML pieces of the writers: escaping, Symbol-font entities, charset names, colours,
// attributes in plain or XHTML form, and a text style or font as font tags or CSS.
//
// Examples: EscapeHTML("a<b & c") == "a&lt;b &amp; c"; ColorToHTMLString(clRed, false)
// == "#FF0000"; with the XHTML save option HTMLBooleanAttr("noshade") is
// noshade="noshade".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gui/graphics/geometry.h"
#include "richtext/base/rd_canvas.h"

class TCustomRDFontInfo;

// HTML save options (a 16-bit set) the writers, the items and these routines read.
using TRDSaveOptions = std::uint16_t;
constexpr TRDSaveOptions rdsoHeadOnly = 1 << 1;
constexpr TRDSaveOptions rdsoBodyOnly = 1 << 2;
constexpr TRDSaveOptions rdsoEndOnly = 1 << 3;
// Plain HTML: the body is not wrapped in the tags of text style 0.
constexpr TRDSaveOptions rdsoNoDefaultStyleTags = 1 << 4;
constexpr TRDSaveOptions rdsoNoPictureBorders = 1 << 5;
constexpr TRDSaveOptions rdsoPictureSizes = 1 << 6;
// Plain HTML: items that begin a page start it in the output too.
constexpr TRDSaveOptions rdsoPageBreaks = 1 << 7;
// Checkpoint anchors carry the checkpoint's name when it has one.
constexpr TRDSaveOptions rdsoCheckpointNames = 1 << 8;
constexpr TRDSaveOptions rdsoMarkersInline = 1 << 9;
// CSS HTML: style attributes instead of classes and no style sheet.
constexpr TRDSaveOptions rdsoInlineCSS = 1 << 10;
// CSS HTML: paragraph and text style 0 get their classes like any other.
constexpr TRDSaveOptions rdsoStyle0Class = 1 << 11;
constexpr TRDSaveOptions rdsoUseImageFileNames = 1 << 12;
constexpr TRDSaveOptions rdsoXHTML = 1 << 13;
constexpr TRDSaveOptions rdsoUTF8 = 1 << 14;

// & -> &amp;, > -> &gt;, < -> &lt;, then every pair of spaces -> "&nbsp; " repeated from
// the start ("&#160; " with rdsoXHTML, as XML defines no "nbsp"), and characters markup
// cannot carry (IsMarkupChar) left out; unchanged for raw HTML code. Double quotes are
// kept.
std::string EscapeHTML(std::string_view s, bool isHTMLCode, TRDSaveOptions saveOptions);
void AppendEscapedHTML(std::string& out, std::string_view s, bool isHTMLCode,
                       TRDSaveOptions saveOptions);
// Symbol-font text as HTML (codes 32..254 by the Symbol table as entity names, or with
// rdsoXHTML as character references; the rest dropped).
std::string SymbolToHTML(std::string_view s, TRDSaveOptions saveOptions);
// The same for raw Unicode text (U+F000..U+F0FF folded onto 0..255); an odd byte length
// raises "Can't perform Unicode operation".
std::string SymbolToHTMLW(std::string_view s, TRDSaveOptions saveOptions);
// The name HTML and XML readers know a code page by ("Windows-1251", "shift_jis").
std::string CodePageToHTMLCharsetName(int codePage);
// "#RRGGBB" ("" for clNone; clWindowText is black), in double quotes when quoted.
std::string ColorToHTMLString(TColor color, bool quoted);
// "transparent" for clNone, else the "#RRGGBB" form.
std::string ColorToCSS(TColor color);
// A file's path (its bytes as the file system holds them, UTF-8 on every current desktop)
// as a link in a page of codePage, or of UTF-8 with rdsoUTF8: each character in the page's
// encoding, those it lacks as their UTF-8 bytes percent-encoded, and so the characters that
// would end or change a link (a blank, '%', '#', '?', '"', '\\', control characters). A
// name that is not UTF-8 keeps its bytes, percent-encoded.
// Example: FilePathToHTML("/t/f\xC3\xBCr #1.bmp", 0, 1252) == "/t/f\xFCr%20%231.bmp".
std::string FilePathToHTML(std::string_view path, TRDSaveOptions saveOptions, int codePage);
// Kind 1: title="hint" (double quotes turned single, then escaped as every attribute
// value); kind 2: an RTF field switch
// \o "hint"; other kinds the hint unchanged; "" for an empty hint.
std::string HintToAttr(int kind, std::string_view hint);
std::string FontToCSS(const TRDFont& font, bool useFontName);
int FontSizeToHTMLSize(int pointSize);
std::string GetHTMLEmptyTagEnd(TRDSaveOptions saveOptions);
std::string HTMLBooleanAttr(std::string_view name, TRDSaveOptions saveOptions);
std::string IntToHTMLAttr(int value, TRDSaveOptions saveOptions);
std::string StrToHTMLAttr(std::string_view s, TRDSaveOptions saveOptions);
// An attribute value with & < > and " escaped, tab and line ends as references and the
// other characters markup cannot carry left out, bare or in double quotes: the one form
// of every attribute value the writers take from a document.
std::string EscapeHTMLAttr(std::string_view value);
std::string QuotedHTMLAttr(std::string_view value);
// A CSS string in single quotes: quotes and backslashes escaped, and < > & " as CSS
// escapes, so that it can stand in a style element or a style attribute; line ends and
// the characters markup cannot carry are left out.
std::string CSSQuotedString(std::string_view s);

// Plain-HTML tags of a text style, relative to a base style when relative.
std::string FontInfoOpenTags(const TCustomRDFontInfo& style, const TCustomRDFontInfo& base,
                             bool relative, TRDSaveOptions saveOptions);
std::string FontInfoCloseTags(const TCustomRDFontInfo& style, const TCustomRDFontInfo& base,
                              bool relative);

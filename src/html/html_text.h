// The text side of the mini-HTML markup: colour values, entities, line breaks and the
// plain text of markup (for hints, sorting and look-up).
//
// Positions are 1-based where a routine returns one, as the callers count them.
#pragma once

#include <string>

#include "platform/gui/graphics/geometry.h"

// "clRed", "clHighlight" and the other colour names in any case; an unknown name gives 0
// (black).
TColor HtmlColorByName(const std::string& Name);
// "#RRGGBB" (upper-case hexadecimal) as a colour; a missing pair reads as 0.
TColor HtmlColorFromHex(const std::string& Value);
// A colour attribute: "#RRGGBB" or a colour name.
TColor HtmlColor(const std::string& Value);

// 1-based position of Sub in S without regard to case, 0 when absent.
int PosText(const std::string& Sub, const std::string& S);
// Replaces the first occurrence of Sub in S (any case); false when there is none.
bool ReplaceTextOnce(const std::string& Sub, const std::string& Replacement, std::string& S);
// Numbers of markup are sizes, offsets and indexes on a screen: bounded where they are
// read, the sums and scalings made of them stay in range.
constexpr int kMaxHtmlIntValue = 32767;
// The decimal integer at the start of S, at most kMaxHtmlIntValue; 0 when S starts with
// no digit.
int HtmlIntValue(const std::string& S);

// Replaces the named entities (&amp; &quot; &sect; &permil; &reg; &copy; &para; &trade;
// &euro;) in one pass from left to right, so a decoded text is never decoded again
// ("&amp;lt;" shows as "&lt;"). "&amp;" becomes "&&": text drawing shows it as one '&'.
void DecodeHtmlEntities(std::string& S);
// Replaces "&nbsp;", "&lt;" and "&gt;" of a text run, left to right; an escaped "&&"
// stays as it is, so "&&lt;" (from "&amp;lt;") keeps its "lt;".
std::string DecodeRunEntities(const std::string& Run);

// Opens the first tag that starts with "<#": its "<" and the first ">" after it go, so
// the tag shows as text starting with "#".
std::string OpenHashTag(const std::string& S);
// Takes out carriage returns and line feeds; with AsBreaks each carriage return becomes
// "<BR>".
std::string LineBreaksToHtml(const std::string& S, bool AsBreaks);
// The plain text of markup: "<BR>" and "<HR>" become CR LF, hidden spans from "<Z>" to
// "</Z>" go with their content (an unterminated one hides the rest), other tags go.
// Entities are left as they are.
std::string HtmlStrip(const std::string& S);

// True for the link targets the desktop opens: web ("http://", "https://") and mail
// ("mailto:") addresses. Any other target (a file, another scheme, a plain word) is the
// program's to handle.
bool IsDesktopLink(const std::string& Target);

// HTML text of raw Unicode item texts (UTF-16LE in byte strings), as numeric character
// references or as UTF-8. Spaces follow one rule: the first space after a non-space is
// kept when it is not the last character, every other space is "&nbsp;" (so a leading
// space is "&nbsp;" too). Example: "a  b" gives "a &nbsp;b". XML defines no "nbsp", so
// XHTML output (xml) writes the no-break space as "&#160;" instead.
#pragma once

#include <string>
#include <string_view>

// The no-break space as HTML or, for xml, as the character reference XML understands.
const char* HTMLNoBreakSpace(bool xml);
// Whether markup can carry the character: XML has no form at all, not even a reference,
// for the control characters below U+0020 other than tab, LF and CR, nor for U+FFFE and
// U+FFFF, and HTML forbids them too. Every text and value we write as markup leaves
// the others out.
bool IsMarkupChar(char32_t ch);
// Takes the bytes markup cannot carry out of an 8-bit or UTF-8 text that is written as
// it stands (a style name in a comment, attributes an application supplies).
void EraseNonMarkupChars(std::string& s);
// Appends the HTML of one ASCII character to result. With noEscape the character itself;
// else & < > are escaped, characters markup cannot carry are left out and spaces follow
// the rule above (spaceBefore says whether a plain space was just written; it is updated).
void EscapeHTMLChar(char ch, bool& spaceBefore, bool noEscape, std::string& result, bool isLast,
                    bool xml);
// Units below 128 through EscapeHTMLChar, U+00A0 as "&nbsp;", the rest of U+00A1..U+00FF
// by their HTML names ("&eacute;"; in XML, which has none, as references) and the rest
// as "&#%d;".
void RawUnicodeToHTMLEntities(std::string_view s, bool noEscape, std::string& result, bool xml);
// The text as UTF-8, with < > & and U+00A0 escaped, characters markup cannot carry left
// out and spaces by the rule above unless noEscape.
void RawUnicodeToHTMLUTF8(std::string_view s, bool noEscape, std::string& result, bool xml);

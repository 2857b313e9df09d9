// The document, or its selection, as plain text: 8-bit text in the code pages of the
// text styles, or UTF-16LE. Every item that starts a paragraph or a line but the first
// is preceded by CR LF; a non-text item gives the text it makes for text output (a
// break line a row of characters lineWidth wide). Text in Symbol, Wingdings or OpenSymbol
// is written as the Unicode characters it shows (no reader of the text has the font).
//
// Before a text item is written the application's save-item hook (OnSaveItemToFile, in
// the output's encoding) may supply its text instead.
//
// Example: two paragraphs "ab" and "cd" give the 6 bytes a b CR LF c d, and in Unicode
// with the signature FF FE a 0 b 0 CR 0 LF 0 c 0 d 0.
#pragma once

#include <string>

class TCustomRDData;
class TStream;

// With textOnly non-text items write nothing. Returns true (an empty range writes
// nothing).
bool SaveTextToStream(TCustomRDData& data, TStream& stream, int lineWidth, bool selectionOnly,
                      bool textOnly, bool unicode, bool unicodeWriteSignature);
// The same as UTF-8 (no signature): one encoding for text of every code page.
bool SaveTextToStreamUTF8(TCustomRDData& data, TStream& stream, int lineWidth, bool selectionOnly,
                          bool textOnly);
// The selected text as plain text, 8-bit or UTF-16LE without the signature (lines up to
// 80 characters for rules).
std::string SelectedText(TCustomRDData& data, bool unicode);

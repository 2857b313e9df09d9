// Routines shared by every writer and reader of the component's text formats: strings
// and lines to a stream, hexadecimal coding of binary bodies, the tokens of RDF header
// lines (integers, words, quoted strings, tags, style references by number or name) and
// the coding of line breaks inside one RDF line.
//
// A header is read through a cursor (a string_view) that every token routine advances
// past the token and one following space. Example: RDFReadInteger on "-12 3" gives -12
// and leaves the cursor at "3".
#pragma once

#include <string>
#include <string_view>

#include "richtext/base/text_routines.h"

class TStream;
class TMemoryStream;
class TRDStyle;

void StreamWriteString(TStream& stream, std::string_view s);
void StreamWriteLine(TStream& stream, std::string_view s);
// One item text line: Unicode in text mode as hexadecimal and CR LF; Unicode in binary
// mode the raw bytes and then U+2029 (29 20); 8-bit text raw and CR LF.
void WriteRDFItemTextLine(TStream& stream, std::string_view s, bool unicode, bool textMode);

// Two upper-case digits a byte; reading accepts either case.
std::string StringToHex(std::string_view s);
void StreamToHex(const TMemoryStream& stream, std::string& s);
// False for an odd length or at the first pair that is not hexadecimal.
bool HexToStream(std::string_view hex, TMemoryStream& stream);
// "" for an odd length; else the decoded bytes up to the first invalid pair.
void HexToString(std::string_view hex, std::string& s);
// Four digits a UTF-16 unit, most significant first, and back ("" unless the length is a
// multiple of 4; stops at the first invalid group).
std::string WideStringToHex(std::u16string_view ws);
void HexToWideString(std::string_view hex, std::u16string& ws);

bool RDFReadWord(std::string_view& p, std::string& s);
bool RDFReadInteger(std::string_view& p, int& value);
// A string in double quotes with doubled quotes inside and its line breaks coded
// (RDFQuotedString); without an opening quote nothing is read.
void RDFReadQuotedString(std::string_view& p, std::string& s);
bool RDFReadTag(std::string_view& p, bool tagsArePChars, bool allowQuoted, TRDTag& tag);
// An integer, or else a quoted style name (0 when no style has it).
bool RDFReadParaStyle(const TRDStyle* rdStyle, std::string_view& p, int& paraNo);
bool RDFReadTextStyle(const TRDStyle* rdStyle, std::string_view& p, int& styleNo);

std::string TagToRDFString(bool tagsArePChars, const TRDTag& tag);
std::string AnsiQuotedStr(std::string_view s, char quote);
// A text of a header line (a tag, a style name, an item's hint): in double quotes, quotes
// doubled and line breaks coded, so that it cannot end the line.
std::string RDFQuotedString(std::string_view s);
std::string TextStyleNoToRDFString(const TRDStyle* rdStyle, bool useStyleNames, int styleNo);
std::string ParaNoToRDFString(const TRDStyle* rdStyle, bool useStyleNames, int paraNo);

// CR <-> byte 1 and LF <-> byte 2, so that a multi-line text fits in one RDF line; a NUL,
// which ends a line too, is written as '?' as in item texts.
std::string EncodeRDFLineBreaks(std::string_view s);
std::string DecodeRDFLineBreaks(std::string_view s);

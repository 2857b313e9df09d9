// Semicolon records: one record per text line, fields separated by ';', each field
// written in double quotes with inner double quotes doubled. Used by the station file,
// the map catalogue, the message lists, the packet log and the language files.
//
//   "AAprsN0CALL";"N0CALL";"";"WIDE1-1";...      (a station record)
//
// Field indices are 0-based. A field read here may also be unquoted; it then runs to
// the next ';' or the end of the line. Blanks around the whole record are ignored.
//
// Free text is made safe for a field with CsvEscape first: '#', '$' and '%' are doubled,
// and the control characters, the blank, '"' and ';' become '#' + one decimal digit
// (codes below 10), '$' + two digits (10 to 99) or '%' + three digits. So TAB is "#9",
// a blank "$32", ';' "$59", and "50%" becomes "50%%".
#pragma once

#include <span>
#include <string>
#include <string_view>

class TStrings;

void CsvEscape(const std::string& S, std::string& Escaped);
// Raises EConvertError on a malformed escape: '#', '$' or '%' not followed by its one,
// two or three decimal digits, or a code above 255.
void CsvUnescape(const std::string& S, std::string& Plain);

// Doubles every double quote of S except one in the last position, which is left to
// pair with the closing quote of the field; undoubling reverses it. So a value ending
// in a quote is stored as the value plus the closing quote and reads back unchanged.
void CsvDoubleQuotes(std::string& S);
void CsvUndoubleQuotes(std::string& S);

enum class CsvFieldMode { Get = 0, Replace = 1, Delete = 2 };

// The field walker behind the field routines. Rec is trimmed first. Get sets Result to
// field Index as stored (quotes still doubled); Replace puts NewValue between the
// field's quotes, Delete removes the field, its quotes and the ';' after it (and a ';'
// left at the end); both update Rec and set Result to it. A record with fewer fields is
// left as it is and Result is empty.
void CsvFieldOp(CsvFieldMode Mode, int Index, std::string& Rec, std::string& Result,
                const std::string& NewValue);

// Field Index as stored (quotes still doubled), a view into Rec: the busy paths read
// fields without copying records. Empty when the record has fewer fields.
std::string_view CsvFieldView(int Index, std::string_view Rec);

// Fields 0 .. Fields.size()-1 as CsvFieldView gives them, found in one pass: a map
// load reads several fields of every one of tens of thousands of records.
void CsvFieldViews(std::string_view Rec, std::span<std::string_view> Fields);

// Field Index with its quotes undoubled; empty when the record has fewer fields.
void CsvGetField(int Index, const std::string& Rec, std::string& Field);
// Replaces the content of field Index by Value (quotes doubled).
void CsvSetField(int Index, const std::string& Value, std::string& Rec);
void CsvDeleteField(int Index, std::string& Rec);
// Appends the trimmed Value as a quoted field.
void CsvAddField(const std::string& Value, std::string& Rec);

// Indices of the first and last record whose field 0 equals Key, compared upper-cased
// (ASCII) by character codes with Key trimmed; -1 and -1 when there is none. The list
// must be sorted by that key in that order (a case-insensitive sorted TStringList is).
void CsvFindRange(const std::string& Key, const TStrings& List, int& First, int& Last);

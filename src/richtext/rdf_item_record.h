// Document-file (RDF) item records: the header line, the item text or name line and the
// item's further lines, written and read back. A record looks like
//
//   0 1 0 0 0 0 _        (style, lines that follow, paragraph, options, read mode, tag,
//   Hello world           item-specific rest; "_" stands for the trailing blank)
//
// A break line writes "-1 0 0 0 0 0 536870911 0 1" and no further lines unless it has
// extra properties. Lines end in CR LF (a lone LF is accepted when reading). The reader
// checks every count against the lines that are there and rejects a record it cannot
// read completely; it never reads past its input.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "richtext/item_info.h"

class TCustomRDData;
class TStream;

enum class TRDFReadResult {
  Ok,
  EndOfInput,
  BadHeader,
  UnknownItemKind,
  MissingLines,
  BadItemText,
  BadItemLine
};

// The paragraph reference of a record: the style number (or quoted name with
// rdfoUseStyleNames), -1 when the item continues the previous paragraph.
std::string GetRDFParaRef(int paraNo, TCustomRDData* rdData, bool sameAsPrev);
// The header line of an item: paragraph -1 and adjusted options when the item is written
// as continuing the previous paragraph.
std::string RDFItemHeader(const TCustomRDItemInfo& item, TCustomRDData* rdData, int lineCount,
                          int readMode, bool forceSameAsPrev);
// The whole record of a text item (non-text items write themselves through SaveRDF).
void WriteRDFItemRecord(TStream& stream, const TCustomRDItemInfo& item, const std::string& text,
                        TCustomRDData* rdData, int itemNo, bool forceSameAsPrev);
// Reads one record from the front of input and advances input past it.
TRDFReadResult ReadRDFItemRecord(std::string_view& input, TCustomRDData* rdData,
                                 std::unique_ptr<TCustomRDItemInfo>& item, std::string& text);

// Every item of the data, in order.
void SaveRDFItemRecords(TStream& stream, TCustomRDData& data);
// Appends the items of every record in input; stops at the first record that cannot be
// read and reports why (the items read before it stay).
TRDFReadResult LoadRDFItemRecords(std::string_view input, TCustomRDData& data);

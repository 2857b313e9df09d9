// The header line of a document-file (RDF) item record, as the non-text items write it:
//
//   -1 0 0 0 0 0 536870911 0 1
//   (kind, data lines that follow, paragraph, options, save type, tag, then the
//   item-specific rest: here a break line's colour, style and width)
//
// The paragraph is written as -1, with option 0x01, when the item continues the
// paragraph of the item before it.
#pragma once

#include <string>

#include "richtext/model/item_info.h"

class TCustomRDData;

// The paragraph reference of a record: the style number (or quoted name with
// rdfoUseStyleNames), -1 when the item continues the previous paragraph.
std::string GetRDFParaRef(int paraNo, TCustomRDData* rdData, bool sameAsPrev);
// The header line of a non-text item: paragraph -1 and adjusted options when the item is
// written as continuing the previous paragraph.
std::string RDFItemHeader(const TCustomRDItemInfo& item, TCustomRDData* rdData, int lineCount,
                          int saveType, bool forceSameAsPrev);

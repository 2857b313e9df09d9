#include "richtext/model/rdf_item_record.h"

#include "richtext/model/item_kinds.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rdf_routines.h"

std::string GetRDFParaRef(int paraNo, TCustomRDData* rdData, bool sameAsPrev) {
  const TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
  const bool useNames = rdData && (rdData->GetRDFOptions() & rdfoUseStyleNames);
  return ParaNoToRDFString(rdStyle, useNames, sameAsPrev ? -1 : paraNo);
}

std::string RDFItemHeader(const TCustomRDItemInfo& item, TCustomRDData* rdData, int lineCount,
                          int saveType, bool forceSameAsPrev) {
  const TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
  const bool useNames = rdData && (rdData->GetRDFOptions() & rdfoUseStyleNames);
  const bool tagsArePChars = rdData && rdData->TagsArePChars();
  const bool sameAsPrev = forceSameAsPrev || item.GetContinuesPara();
  const TRDItemOptions options =
      AdjustItemOptionsForSave(item.ItemOptions, sameAsPrev) & kRDFItemOptionsMask;
  const std::string styleRef = item.StyleNo >= 0
                                   ? TextStyleNoToRDFString(rdStyle, useNames, item.StyleNo)
                                   : std::to_string(item.StyleNo);
  return styleRef + " " + std::to_string(lineCount) + " " +
         GetRDFParaRef(item.ParaNo, rdData, sameAsPrev) + " " + std::to_string(options) + " " +
         std::to_string(saveType) + " " + TagToRDFString(tagsArePChars, item.Tag) + " " +
         item.GetRDFHeaderExtra(rdData);
}

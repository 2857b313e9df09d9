#include "richtext/rdf_item_record.h"

#include "platform/text/streams.h"
#include "richtext/item_factory.h"
#include "richtext/rd_data.h"
#include "richtext/rdf_routines.h"

namespace {

constexpr int kReadModeHex = 0;
constexpr int kReadModeNoBody = 1;

// The next line of input without its line end; false at the end of input.
bool NextLine(std::string_view& input, std::string_view& line) {
  if (input.empty()) return false;
  size_t end = input.find('\n');
  if (end == std::string_view::npos) {
    line = input;
    input = {};
  } else {
    line = input.substr(0, end);
    input.remove_prefix(end + 1);
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

}  // namespace

std::string GetRDFParaRef(int paraNo, TCustomRDData* rdData, bool sameAsPrev) {
  const TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
  const bool useNames = rdData && (rdData->GetRDFOptions() & rdfoUseStyleNames);
  return ParaNoToRDFString(rdStyle, useNames, sameAsPrev ? -1 : paraNo);
}

std::string RDFItemHeader(const TCustomRDItemInfo& item, TCustomRDData* rdData, int lineCount,
                          int readMode, bool forceSameAsPrev) {
  const TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
  const bool useNames = rdData && (rdData->GetRDFOptions() & rdfoUseStyleNames);
  const bool tagsArePChars = rdData && rdData->TagsArePChars();
  const TRDItemOptions options =
      AdjustItemOptionsForSave(item.ItemOptions, forceSameAsPrev) & kRDFItemOptionsMask;
  const std::string styleRef = item.StyleNo >= 0
                                   ? TextStyleNoToRDFString(rdStyle, useNames, item.StyleNo)
                                   : std::to_string(item.StyleNo);
  return styleRef + " " + std::to_string(lineCount) + " " +
         GetRDFParaRef(item.ParaNo, rdData, forceSameAsPrev) + " " + std::to_string(options) + " " +
         std::to_string(readMode) + " " + TagToRDFString(tagsArePChars, item.Tag) + " " +
         item.GetRDFHeaderExtra(rdData);
}

void WriteRDFItemRecord(TStream& stream, const TCustomRDItemInfo& item, const std::string& text,
                        TCustomRDData* rdData, int itemNo, bool forceSameAsPrev) {
  if (item.StyleNo < 0) {
    item.SaveRDF(stream, rdData, itemNo, text, forceSameAsPrev);
    return;
  }
  const int lineCount = 1 + item.GetRDFExtraPropertyCount();
  StreamWriteLine(stream, RDFItemHeader(item, rdData, lineCount, kReadModeHex, forceSameAsPrev));
  const bool unicode = IsUnicodeItem(item.ItemOptions);
  // A line break inside 8-bit text would end the record's line early.
  WriteRDFItemTextLine(stream, unicode ? text : EncodeRDFLineBreaks(text), unicode, true);
  item.SaveRDFExtraProperties(stream);
}

TRDFReadResult ReadRDFItemRecord(std::string_view& input, TCustomRDData* rdData,
                                 std::unique_ptr<TCustomRDItemInfo>& item, std::string& text) {
  std::string_view header;
  if (!NextLine(input, header)) return TRDFReadResult::EndOfInput;
  const TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
  const bool tagsArePChars = rdData && rdData->TagsArePChars();
  int styleNo, lineCount, paraNo, options, readMode;
  TRDTag tag;
  if (!RDFReadTextStyle(rdStyle, header, styleNo) || !RDFReadInteger(header, lineCount) ||
      lineCount < 0 || !RDFReadParaStyle(rdStyle, header, paraNo) || paraNo < -1 ||
      !RDFReadInteger(header, options) || !RDFReadInteger(header, readMode) ||
      readMode < kReadModeHex || readMode > kReadModeNoBody ||
      !RDFReadTag(header, tagsArePChars, true, tag))
    return TRDFReadResult::BadHeader;
  item = CreateRDItem(styleNo, rdData);
  if (!item) return TRDFReadResult::UnknownItemKind;
  item->ParaNo = paraNo;
  item->ItemOptions = TRDItemOptions(options) & kRDFItemOptionsMask;
  item->Tag = std::move(tag);
  if (!item->ReadRDFHeader(header, rdData)) return TRDFReadResult::BadHeader;

  text.clear();
  int lineNo = 0;
  std::string_view line;
  if (styleNo >= 0) {
    if (lineCount < 1) return TRDFReadResult::MissingLines;
    if (!NextLine(input, line)) return TRDFReadResult::MissingLines;
    if (IsUnicodeItem(item->ItemOptions)) {
      if (line.size() % 4 != 0) return TRDFReadResult::BadItemText;
      HexToString(line, text);
      if (text.size() * 2 != line.size()) return TRDFReadResult::BadItemText;
    } else {
      text = DecodeRDFLineBreaks(line);
    }
    lineNo = 1;
  }
  std::string name;
  int readType = 0, readState = 0;
  for (; lineNo < lineCount; ++lineNo) {
    if (!NextLine(input, line)) return TRDFReadResult::MissingLines;
    if (!item->ReadRDFLine(std::string(line), rdData, readMode, lineNo, lineCount, name, readType,
                           readState))
      return TRDFReadResult::BadItemLine;
  }
  return TRDFReadResult::Ok;
}

void SaveRDFItemRecords(TStream& stream, TCustomRDData& data) {
  for (int i = 0; i < data.GetItemCount(); ++i)
    WriteRDFItemRecord(stream, *data.GetItem(i), data.GetItemTextRaw(i), &data, i, false);
}

TRDFReadResult LoadRDFItemRecords(std::string_view input, TCustomRDData& data) {
  for (;;) {
    std::unique_ptr<TCustomRDItemInfo> item;
    std::string text;
    TRDFReadResult result = ReadRDFItemRecord(input, &data, item, text);
    if (result == TRDFReadResult::EndOfInput) return TRDFReadResult::Ok;
    if (result != TRDFReadResult::Ok) return result;
    if (item->ParaNo < 0 || data.GetItemCount() == 0) {
      // A record continuing the paragraph before it takes that paragraph's style; the
      // first item of a document always starts a paragraph.
      item->ParaNo = data.GetItemCount() > 0 ? data.GetItem(data.GetItemCount() - 1)->ParaNo
                                             : std::max(item->ParaNo, 0);
      if (data.GetItemCount() == 0)
        item->ItemOptions &= TRDItemOptions(~(rdioContinuesPara | rdioLineBreakBefore));
    }
    data.AppendItemAsIs(std::move(text), std::move(item));
  }
}

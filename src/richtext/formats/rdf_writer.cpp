#include "richtext/formats/rdf_writer.h"

#include <cstdio>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/base/rdf_format.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext/model/rdf_item_record.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

constexpr int kVersion = 1;
constexpr int kSubVersion = 3;

void WriteInt32(TStream& stream, std::int32_t v) {
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = std::uint8_t(std::uint32_t(v) >> (8 * i));
  stream.WriteBuffer(bytes, 4);
}

std::string Bytes(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

class TRDFWriter {
 public:
  TRDFWriter(TCustomRDData& data, TStream& stream, const TRDFSaveContext& context)
      : data_(data),
        stream_(stream),
        context_(context),
        options_(data.GetRDFOptions()),
        binary_(options_ & rdfoSaveBinary),
        save_type_(binary_ ? kRDFSaveBinary : kRDFSaveText) {}

  void Write(const TRDFRange& range, bool selection) {
    if (data_.GetItemCount() == 0 || range.EndItem < range.StartItem) return;
    selection_ = selection;
    if (auto* formatted = dynamic_cast<const TCustomRDFormattedData*>(&data_);
        selection && formatted && formatted->GetPartiallySelectedItem())
      partial_ = formatted->PartialSelectedItem;
    StreamWriteLine(stream_, Format("%d %d %d", kRDFVersion, kVersion, kSubVersion));
    if (!selection && (options_ & rdfoSaveBack)) WriteBackground();
    const bool root = data_.GetRootData() == &data_;
    if (root || selection) WriteStyles(root);
    if (context_.PagePart) WriteMarkerStates(range.StartItem);
    if ((options_ & rdfoSaveLayout) && root && context_.Layout && !selection) WriteLayout();
    WriteItems(range);
  }

 private:
  static std::string Format(const char* format, int a, int b, int c) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
  }
  static std::string PropertyHeader(int lineCount, int saveType, int kind) {
    return std::to_string(kRDFDocProperty) + " " + std::to_string(lineCount) + " 0 0 " +
           std::to_string(saveType) + " 0 " + std::to_string(kind);
  }
  // One data line holding a block: hexadecimal text, or in binary form the bytes with
  // their 4-byte length.
  void WriteBlock(const std::string& bytes) {
    if (binary_) {
      WriteInt32(stream_, std::int32_t(bytes.size()));
      StreamWriteString(stream_, bytes);
    } else {
      StreamWriteLine(stream_, StringToHex(bytes));
    }
  }

  void WriteBackground() {
    const TRDBackground* back = context_.Background;
    const TGraphic* picture = back ? back->GetBitmap() : nullptr;
    const int style = back ? int(back->Style) : 0;
    const std::string color = std::to_string(context_.BackColor);
    if (!picture || picture->Empty() || style == 0) {
      StreamWriteLine(stream_, std::to_string(kRDFBackground) + " 0 -1 0 0 0 " +
                                   std::to_string(style) + " " + color);
      return;
    }
    StreamWriteLine(stream_, std::to_string(kRDFBackground) + " 2 0 0 " +
                                 std::to_string(save_type_) + " 0 " + std::to_string(style) + " " +
                                 color);
    StreamWriteLine(stream_, GraphicClassName(*picture));
    TMemoryStream saved;
    picture->SaveToStream(saved);
    WriteBlock(Bytes(saved));
  }

  void WriteCollectionRecord(int kind, TCustomRDInfos& infos, const std::string& sheetName) {
    StreamWriteLine(stream_, PropertyHeader(2, save_type_, kind));
    StreamWriteLine(stream_, sheetName);
    TMemoryStream collection;
    TRDStyleStreamCollection items(infos);
    WriteCollection(collection, items);
    WriteBlock(Bytes(collection));
  }

  void WriteStyles(bool root) {
    TRDStyle* sheet = data_.GetRDStyle();
    if (!sheet) return;
    if (options_ & rdfoSaveTextStyles)
      WriteCollectionRecord(kRDFTextStyles, sheet->TextStyles(), sheet->Name);
    if ((options_ & rdfoSaveParaStyles) && root) {
      WriteCollectionRecord(kRDFParaStyles, sheet->ParaStyles(), sheet->Name);
      WriteCollectionRecord(kRDFListStyles, sheet->ListStyles(), sheet->Name);
    }
    if ((options_ & rdfoSaveDocProperties) && context_.DocProperties && !context_.PagePart) {
      StreamWriteLine(stream_, PropertyHeader(int(context_.DocProperties->size()), kRDFSaveText,
                                              kRDFDocProperties));
      for (const std::string& line : *context_.DocProperties)
        StreamWriteLine(stream_, EncodeRDFLineBreaks(line));
    }
  }

  void WriteLayout() {
    StreamWriteLine(stream_, PropertyHeader(2, save_type_, kRDFLayout));
    StreamWriteLine(stream_, "");
    TMemoryStream block;
    if (binary_) {
      // The block's own total size is the length of a binary block.
      context_.Layout->SaveToStream(block, true);
      StreamWriteString(stream_, Bytes(block));
    } else {
      context_.Layout->SaveToStream(block, false);
      StreamWriteLine(stream_, StringToHex(Bytes(block)));
    }
  }

  // The markers of the document up to and including the last one before item startItem.
  void WriteMarkerStates(int startItem) {
    const TRDMarkerList* markers = data_.GetMarkers(false);
    int count = 0;
    for (int i = startItem - 1; markers && i >= 0 && count == 0; --i)
      if (auto* marker = dynamic_cast<TRDMarkerItemInfo*>(data_.GetItem(i)))
        count = marker->GetIndexInList(markers) + 1;
    if (count == 0) return;
    StreamWriteLine(stream_, PropertyHeader(2, save_type_, kRDFMarkers));
    StreamWriteLine(stream_, "");
    TMemoryStream block;
    SaveMarkerBlock(block, markers->States(count), false);
    WriteBlock(Bytes(block));
  }

  void WriteCheckpoint(const TRDCPInfo& cp) {
    StreamWriteLine(stream_, std::to_string(kRDFCheckpoint) + " 1 0 0 0 " +
                                 TagToRDFString(data_.TagsArePChars(), cp.Tag) + " " +
                                 std::to_string(cp.RaiseEvent ? 1 : 0) + " " +
                                 std::to_string(cp.Persistent ? 1 : 0));
    StreamWriteLine(stream_, EncodeRDFLineBreaks(cp.Name));
  }

  // The text of item i inside the range.
  std::string RangeText(int i, const TRDFRange& range) const {
    const std::string& s = data_.GetItemTextRaw(i);
    const TRDItemOptions options = data_.GetItemOptions(i);
    const int length = GetItemTextLength(s, options);
    const int from = i == range.StartItem ? std::max(range.StartOffs, 1) : 1;
    const int to = i == range.EndItem ? std::min(range.EndOffs, length + 1) : length + 1;
    if (from == 1 && to == length + 1) return s;
    return CopyItemText(s, from, std::max(to - from, 0), options);
  }

  // A run of text items written as one record: each starts a paragraph or a line and
  // matches the first in style, paragraph, options, tag and hint, without checkpoint.
  bool JoinsRun(int first, int i) const {
    const TCustomRDItemInfo& a = *data_.GetItem(first);
    const TCustomRDItemInfo& b = *data_.GetItem(i);
    return b.StyleNo >= 0 && !b.GetContinuesPara() && !b.Checkpoint && b.StyleNo == a.StyleNo &&
           b.ParaNo == a.ParaNo &&
           (b.ItemOptions & kRDFItemOptionsMask) == (a.ItemOptions & kRDFItemOptionsMask) &&
           CompareItemTags(a.Tag, b.Tag, data_.TagsArePChars()) && a.Hint == b.Hint;
  }

  void WriteTextRecord(int first, int last, bool sameAsPrev, const TRDFRange& range) {
    const TCustomRDItemInfo& item = *data_.GetItem(first);
    const bool unicode = IsUnicodeItem(item.ItemOptions);
    const int saveType = unicode && !binary_ ? kRDFSaveUnicodeHex : kRDFSaveText;
    const TRDItemOptions options =
        AdjustItemOptionsForSave(item.ItemOptions, sameAsPrev) & kRDFItemOptionsMask;
    const std::string extra = item.GetRDFHeaderExtra(&data_);
    StreamWriteLine(
        stream_,
        TextStyleNoToRDFString(data_.GetRDStyle(), options_ & rdfoUseStyleNames, item.StyleNo) +
            " " + std::to_string(last - first + 1) + " " +
            GetRDFParaRef(item.ParaNo, &data_, sameAsPrev) + " " + std::to_string(options) + " " +
            std::to_string(saveType) + " " + TagToRDFString(data_.TagsArePChars(), item.Tag) +
            (extra.empty() ? "" : " " + extra));
    for (int i = first; i <= last; ++i)
      WriteRDFItemTextLine(stream_, RangeText(i, range), unicode, !binary_);
  }

  void WriteItems(const TRDFRange& range) {
    auto writeOne = [&](int i, int& next) {
      const TCustomRDItemInfo& item = *data_.GetItem(i);
      if (item.Checkpoint) WriteCheckpoint(*item.Checkpoint);
      const bool sameAsPrev = item.GetContinuesPara();
      next = i + 1;
      if (item.StyleNo >= 0) {
        int last = i;
        while (last + 1 <= range.EndItem && JoinsRun(i, last + 1)) ++last;
        WriteTextRecord(i, last, sameAsPrev, range);
        next = last + 1;
      } else if (selection_ && i == partial_) {
        item.SaveRDFSelection(stream_, &data_, i, data_.GetItemTextRaw(i), sameAsPrev);
      } else {
        item.SaveRDF(stream_, &data_, i, data_.GetItemTextRaw(i), sameAsPrev);
      }
    };
    // A selection that starts inside a numbered paragraph takes the paragraph's marker.
    const int paraStart = data_.GetFirstItemOfPara(range.StartItem);
    int next;
    if (paraStart != range.StartItem && data_.GetItem(paraStart)->StyleNo == rdsListMarker)
      writeOne(paraStart, next);
    for (int i = range.StartItem; i <= range.EndItem;) {
      const TCustomRDItemInfo& item = *data_.GetItem(i);
      // A non-text item at either end counts only when it is wholly inside.
      if (item.StyleNo < 0 && ((i == range.StartItem && range.StartOffs > 0) ||
                               (i == range.EndItem && range.EndOffs < 1))) {
        ++i;
        continue;
      }
      writeOne(i, next);
      i = next;
    }
    const int last = data_.GetItemCount() - 1;
    if (data_.NotAddedCP && range.EndItem == last && range.EndOffs >= data_.GetItemEndOffset(last))
      WriteCheckpoint(*data_.NotAddedCP);
  }

  TCustomRDData& data_;
  TStream& stream_;
  const TRDFSaveContext& context_;
  TRDFOptions options_;
  bool binary_;
  int save_type_;
  bool selection_ = false;
  // The item whose selection inside it is saved (-1: none).
  int partial_ = -1;
};

}  // namespace

bool GetSaveRange(const TCustomRDData& data, bool selectionOnly, TRDFRange& range) {
  if (!selectionOnly) {
    data.GetOutputRange(range.StartItem, range.StartOffs, range.EndItem, range.EndOffs);
    return range.EndItem >= 0;
  }
  auto* formatted = dynamic_cast<const TCustomRDFormattedData*>(&data);
  if (formatted && formatted->GetPartiallySelectedItem()) {
    range.StartItem = range.EndItem = formatted->PartialSelectedItem;
    range.StartOffs = 0;
    range.EndOffs = 1;
    return true;
  }
  if (!formatted || !formatted->HasSelection()) return false;
  formatted->GetSelectionBounds(range.StartItem, range.StartOffs, range.EndItem, range.EndOffs,
                                true);
  return range.StartItem >= 0 && range.EndItem < data.GetItemCount() &&
         range.StartItem <= range.EndItem;
}

bool SaveRDFToStream(TCustomRDData& data, TStream& stream, bool selectionOnly,
                     const TRDFSaveContext& context) {
  TRDFRange range;
  if (GetSaveRange(data, selectionOnly, range))
    TRDFWriter(data, stream, context).Write(range, selectionOnly);
  return true;
}

void SaveRDFRangeToStream(TCustomRDData& data, TStream& stream, const TRDFRange& range,
                          const TRDFSaveContext& context) {
  if (range.StartItem < 0 || range.EndItem >= data.GetItemCount()) return;
  TRDFWriter(data, stream, context).Write(range, !context.PagePart);
}

void SaveRDFBlock(TCustomRDData& data, TStream& stream, bool selectionOnly,
                  const TRDFSaveContext& context) {
  const int64_t sizePos = stream.Position();
  WriteInt32(stream, 0);
  TRDFSaveContext noBack = context;
  noBack.BackColor = clNone;
  noBack.Background = nullptr;
  const TRDFOptions options = data.GetRDFOptions();
  data.SetRDFOptions(options & ~rdfoSaveBack);
  try {
    SaveRDFToStream(data, stream, selectionOnly, noBack);
  } catch (...) {
    data.SetRDFOptions(options);
    throw;
  }
  data.SetRDFOptions(options);
  const int64_t end = stream.Position();
  stream.SetPosition(sizePos);
  WriteInt32(stream, std::int32_t(end - sizePos - 4));
  stream.SetPosition(end);
}

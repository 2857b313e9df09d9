#include "richtext/formats/rdf_reader.h"

#include <optional>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/table_budget.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_budget.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/graphic_streams.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

// The input buffer with the line forms of the format. Every read stays inside it.
class TRDFInput {
 public:
  explicit TRDFInput(std::string bytes) : bytes_(std::move(bytes)) {}
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // A text line ends at CR, LF, NUL or the end; one CR and then one LF after it are
  // taken with it (a NUL too, so that it cannot end every following line).
  std::string_view TextLine() {
    const size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != '\r' && bytes_[pos_] != '\n' &&
           bytes_[pos_] != '\0')
      ++pos_;
    const std::string_view line(bytes_.data() + start, pos_ - start);
    ended_with_crlf_ = false;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\0') {
      ++pos_;
      return line;
    }
    const bool cr = pos_ < bytes_.size() && bytes_[pos_] == '\r';
    if (cr) ++pos_;
    const bool lf = pos_ < bytes_.size() && bytes_[pos_] == '\n';
    if (lf) ++pos_;
    ended_with_crlf_ = cr && lf;
    return line;
  }
  // Whether the last text line ended with CR LF, which a binary block or raw UTF-16
  // lines need after it.
  bool EndedWithCRLF() const { return ended_with_crlf_; }

  // A 4-byte length and that many bytes; nothing when they are not all there.
  std::optional<std::string_view> BinaryBlock() {
    if (bytes_.size() - pos_ < 4) return std::nullopt;
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) length |= std::uint32_t(std::uint8_t(bytes_[pos_ + i])) << (8 * i);
    if (length > bytes_.size() - pos_ - 4) return std::nullopt;
    const std::string_view block(bytes_.data() + pos_ + 4, length);
    pos_ += 4 + length;
    return block;
  }

  // Raw UTF-16LE text up to U+2029 (taken with it), a zero unit or the end.
  std::string_view UnicodeLine() {
    const size_t start = pos_;
    while (pos_ + 1 < bytes_.size()) {
      const char lo = bytes_[pos_], hi = bytes_[pos_ + 1];
      if (lo == 0x29 && hi == 0x20) {
        pos_ += 2;
        return std::string_view(bytes_.data() + start, pos_ - 2 - start);
      }
      if (lo == 0 && hi == 0) break;
      pos_ += 2;
    }
    const std::string_view line(bytes_.data() + start, pos_ - start);
    if (pos_ + 1 < bytes_.size())
      pos_ += 2;  // the zero unit
    else
      pos_ = bytes_.size();  // an odd byte at the end is dropped
    return line;
  }

 private:
  std::string bytes_;
  size_t pos_ = 0;
  bool ended_with_crlf_ = false;
};

struct TRDFHeader {
  int StyleNo = 0;
  int LineCount = 0;
  int ParaNo = 0;
  int Options = 0;
  int SaveType = 0;
  TRDTag Tag;
  int Kind = 0;                // -9
  int Event = 0, Persist = 0;  // -2
  int BackStyle = 0;           // -7
  TColor BackColor = clNone;   // -7
};

class TRDFReader {
 public:
  TRDFReader(TCustomRDData& data, const TRDFLoadContext& context, bool wholeDocument, int index)
      : data_(data),
        context_(context),
        options_(data.GetRDFOptions()),
        sheet_(data.GetRDStyle()),
        whole_document_(wholeDocument),
        start_index_(index),
        index_(index) {}

  bool Read(TRDFInput& in);
  // What every read ends with, also one that stopped at a bad record.
  void Finish();
  int Index() const { return index_; }
  int Inserted() const { return index_ - start_index_; }

 private:
  bool ParseHeader(std::string_view p, TRDFHeader& h, std::unique_ptr<TCustomRDItemInfo>& item);
  bool TranslateStyles(TCustomRDItemInfo& item);
  bool ReadLines(TRDFInput& in, const TRDFHeader& h, std::unique_ptr<TCustomRDItemInfo> item);
  bool SkipLines(TRDFInput& in, const TRDFHeader& h);
  // The next data line of a record as text, or as a binary block when binary.
  std::optional<std::string> DataLine(TRDFInput& in, bool binary, bool unicodeRaw);
  // A list style number through the map of the stored list styles; one out of range
  // becomes 0 (-1 when the sheet has no list styles).
  void TranslateListNo(int& listNo);
  // A block line in the text form is hexadecimal; false when it is not.
  static bool DecodeBlock(const TRDFHeader& h, std::string& line);
  bool ReadProperty(const TRDFHeader& h, int lineNo, const std::string& line);
  bool LoadStyles(int kind, const std::string& block);
  bool LoadBackground(const std::string& className, const std::string& block);
  void InsertText(const TCustomRDItemInfo& model, std::string text);
  void InsertItem(std::string text, std::unique_ptr<TCustomRDItemInfo> item);
  void Warn(unsigned bit) { data_.SetRDFWarnings(data_.GetRDFWarnings() | bit); }

  TCustomRDData& data_;
  const TRDFLoadContext& context_;
  TRDFOptions options_;
  TRDStyle* sheet_;
  bool whole_document_;
  int start_index_;
  int index_;
  int version_ = 1, sub_version_ = 0;
  std::optional<TRDIntegerList> text_map_, para_map_, list_map_;
  std::unique_ptr<TRDCPInfo> pending_cp_;
};

bool TRDFReader::ParseHeader(std::string_view p, TRDFHeader& h,
                             std::unique_ptr<TCustomRDItemInfo>& item) {
  if (!RDFReadTextStyle(sheet_, p, h.StyleNo)) return false;
  if (h.StyleNo == kRDFVersion) {
    return RDFReadInteger(p, version_) && RDFReadInteger(p, sub_version_);
  }
  if (!RDFReadInteger(p, h.LineCount) || h.LineCount < 0 ||
      !RDFReadParaStyle(sheet_, p, h.ParaNo) || h.ParaNo < -1)
    return false;
  const bool special =
      h.StyleNo == kRDFBackground || h.StyleNo == kRDFCheckpoint || h.StyleNo == kRDFDocProperty;
  if (!special) {
    item = CreateRDItem(h.StyleNo, &data_);
    if (item) item->StyleNo = h.StyleNo;
  }
  if (version_ >= 1 && sub_version_ >= 2 && !RDFReadInteger(p, h.Options)) return false;
  if (!RDFReadInteger(p, h.SaveType)) return false;
  const bool quoted = version_ > 1 || sub_version_ > 2;
  if (!RDFReadTag(p, data_.TagsArePChars(), quoted, h.Tag)) return false;
  switch (h.StyleNo) {
    case kRDFDocProperty:
      return RDFReadInteger(p, h.Kind);
    case kRDFCheckpoint:
      if (RDFReadInteger(p, h.Event)) RDFReadInteger(p, h.Persist);
      return true;
    case kRDFBackground:
      return RDFReadInteger(p, h.BackStyle) && RDFReadInteger(p, h.BackColor);
    default:
      if (!item) return true;
      item->ParaNo = h.ParaNo;
      item->ItemOptions = TRDItemOptions(h.Options & kRDFItemOptionsMask);
      item->Tag = h.Tag;
      return item->ReadRDFHeader(p, &data_);
  }
}

// A style number through the map of the stored styles, then checked against the sheet.
bool TRDFReader::TranslateStyles(TCustomRDItemInfo& item) {
  auto check = [&](int& no, const std::optional<TRDIntegerList>& map, int count, bool para) {
    if (no < 0 || no == kFollowParaStyleNo) return true;
    if (map) {
      if (no >= map->Count()) {
        if (para) return false;
        no = count;  // out of range below
      } else {
        no = (*map)[no];
      }
    }
    if (no < count) return true;
    Warn(rdfwStyleOutOfRange);
    if (!(options_ & rdfoConvUnknownStylesToZero)) return false;
    no = 0;
    return true;
  };
  if (auto* marker = dynamic_cast<TRDMarkerItemInfo*>(&item)) TranslateListNo(marker->ListNo);
  const int textCount = sheet_ ? sheet_->TextStyles().Count() : 0;
  const int paraCount = sheet_ ? sheet_->ParaStyles().Count() : 0;
  if (item.StyleNo >= 0 && !check(item.StyleNo, text_map_, textCount, false)) return false;
  int associated = item.GetAssociatedTextStyleNo();
  if (associated >= 0) {
    if (!check(associated, text_map_, textCount, false)) return false;
    item.SetAssociatedTextStyleNo(associated);
  }
  return check(item.ParaNo, para_map_, paraCount, true);
}

std::optional<std::string> TRDFReader::DataLine(TRDFInput& in, bool binary, bool unicodeRaw) {
  if (binary) {
    if (!in.EndedWithCRLF()) return std::nullopt;
    std::optional<std::string_view> block = in.BinaryBlock();
    if (!block) return std::nullopt;
    return std::string(*block);
  }
  if (in.AtEnd()) return std::nullopt;
  if (unicodeRaw) return std::string(in.UnicodeLine());
  return std::string(in.TextLine());
}

bool TRDFReader::LoadStyles(int kind, const std::string& block) {
  if (!sheet_) return true;
  TMemoryStream stream;
  if (!block.empty()) stream.WriteBuffer(block.data(), int64_t(block.size()));
  stream.SetPosition(0);
  TRDStyle* sheet = sheet_;
  std::unique_ptr<TCustomRDInfos> fresh;
  TCustomRDInfos* target;
  std::optional<TRDIntegerList>* map;
  TRDFReaderStyleMode mode;
  switch (kind) {
    case kRDFTextStyles:
      fresh = std::make_unique<TFontInfos>(
          [sheet](TCustomRDInfos* c) { return sheet->CreateTextStyle(c); }, sheet);
      target = &sheet->TextStyles();
      map = &text_map_;
      mode = context_.TextStylesReadMode;
      break;
    case kRDFParaStyles:
      fresh = std::make_unique<TParaInfos>(
          [sheet](TCustomRDInfos* c) { return sheet->CreateParaStyle(c); }, sheet);
      target = &sheet->ParaStyles();
      map = &para_map_;
      mode = context_.ParaStylesReadMode;
      break;
    default:
      fresh = std::make_unique<TRDListInfos>(
          [sheet](TCustomRDInfos* c) { return sheet->CreateListStyle(c); }, sheet);
      target = &sheet->ListStyles();
      map = &list_map_;
      mode = context_.ParaStylesReadMode;
      break;
  }
  TRDStyleStreamCollection items(*fresh);
  const TRDCollectionRead result = ReadCollection(stream, items);
  if (result == TRDCollectionRead::NotACollection) return false;
  if (result == TRDCollectionRead::WithErrors) Warn(rdfwStyleDataError);
  // Style 0 stands in for every style out of range, so a sheet never loses its last
  // text or paragraph style.
  if (kind != kRDFListStyles && fresh->Count() == 0) {
    Warn(rdfwStyleDataError);
    return true;
  }
  if (mode == rdf_sIgnore) return true;
  // Styles replace the sheet's only while no item refers to the old ones; later ones
  // (not where a writer puts them) are merged like inserted ones.
  if (whole_document_ && index_ == start_index_) {
    if (kind == kRDFTextStyles)
      sheet->SetTextStyles(static_cast<const TFontInfos&>(*fresh));
    else if (kind == kRDFParaStyles)
      sheet->SetParaStyles(static_cast<const TParaInfos&>(*fresh));
    else
      target->AssignItems(*fresh);
    return true;
  }
  map->emplace();
  const TRDIntegerList* textMap = kind == kRDFParaStyles && text_map_ ? &*text_map_ : nullptr;
  target->MergeWith(
      *fresh, mode == rdf_sInsertMap ? TRDStyleMergeMode::MapToClosest : TRDStyleMergeMode::Merge,
      **map, textMap);
  return true;
}

bool TRDFReader::LoadBackground(const std::string& className, const std::string& block) {
  if (!context_.Background) return true;
  TRDGraphicClass graphicClass = FindGraphicClass(className);
  std::unique_ptr<TGraphic> picture = graphicClass ? RDCreateGraphicProc(graphicClass) : nullptr;
  if (!picture) return false;
  try {
    LoadGraphicFromString(block, *picture);
  } catch (const Exception&) {
    return false;
  }
  context_.Background->AssignImage(picture.get());
  return true;
}

bool TRDFReader::ReadProperty(const TRDFHeader& h, int lineNo, const std::string& line) {
  switch (h.Kind) {
    case kRDFTextStyles:
    case kRDFParaStyles:
    case kRDFListStyles:
      return lineNo != 1 || LoadStyles(h.Kind, line);
    case kRDFLayout:
      if (lineNo != 1 || !(options_ & rdfoLoadLayout) || !context_.Layout) return true;
      try {
        TMemoryStream stream;
        if (!line.empty()) stream.WriteBuffer(line.data(), int64_t(line.size()));
        stream.SetPosition(0);
        // In the binary form the block's total size was its length prefix.
        context_.Layout->LoadFromStream(stream, false);
      } catch (const Exception&) {
        return false;
      }
      return true;
    case kRDFDocProperties:
      if ((options_ & rdfoLoadDocProperties) && context_.DocProperties)
        context_.DocProperties->push_back(DecodeRDFLineBreaks(line));
      return true;
    case kRDFMarkers:
      if (lineNo != 1 || !(options_ & rdfoLoadLayout) || !context_.Markers) return true;
      if (!LoadMarkerBlock(line, *context_.Markers)) return false;
      for (TRDMarkerState& marker : *context_.Markers) TranslateListNo(marker.ListNo);
      return true;
    default:
      return true;
  }
}

void TRDFReader::InsertItem(std::string text, std::unique_ptr<TCustomRDItemInfo> item) {
  if (item->ParaNo == -1 && index_ > 0) {
    const TCustomRDItemInfo& prev = *data_.GetItem(index_ - 1);
    item->ParaNo = prev.ParaNo;
    if (prev.IsFullLine() || item->IsFullLine())
      item->ItemOptions &= TRDItemOptions(~(rdioContinuesPara | rdioLineBreakBefore));
    else
      item->SetContinuesPara(true);
  } else {
    // Only ParaNo -1 continues a paragraph; a stored bit without it is dropped.
    if (item->ParaNo == -1) item->ParaNo = 0;
    item->ItemOptions &= TRDItemOptions(~rdioContinuesPara);
    if (index_ == 0) item->ItemOptions &= TRDItemOptions(~rdioLineBreakBefore);
  }
  TCustomRDItemInfo* raw = item.get();
  data_.InsertItemRaw(index_, std::move(text), std::move(item));
  if (pending_cp_) {
    std::unique_ptr<TRDCPInfo> saved = std::move(data_.NotAddedCP);
    data_.NotAddedCP = std::move(pending_cp_);
    ++data_.CPCount;
    data_.LinkPendingCheckpoint(*raw);
    data_.NotAddedCP = std::move(saved);
  }
  ++index_;
}

void TRDFReader::InsertText(const TCustomRDItemInfo& model, std::string text) {
  std::unique_ptr<TCustomRDItemInfo> item = CloneRDItem(model, &data_, false);
  if (context_.EditingInsertion && sheet_ && item->StyleNo != kFollowParaStyleNo &&
      (sheet_->TextStyles().Items(item->StyleNo).Protection & rdprRDFInsertProtect))
    return;
  if (IsUnicodeItem(item->ItemOptions)) CheckUnicodeByteLength(text.size());
  const int styleNo = data_.ResolveStyleNo(item->StyleNo, std::max(item->ParaNo, 0));
  const bool unicodeStyle = sheet_ && sheet_->TextStyles().Items(styleNo).Unicode;
  if (IsUnicodeItem(item->ItemOptions) && !unicodeStyle) {
    text = RawUnicodeToAnsi(data_.GetStyleCodePage(styleNo), text);
    item->ItemOptions &= TRDItemOptions(~rdioUnicodeText);
    Warn(rdfwConvertedToAnsi);
  } else if (!IsUnicodeItem(item->ItemOptions) && unicodeStyle) {
    text = AnsiToRawUnicode(data_.GetStyleCodePage(styleNo), text);
    item->ItemOptions |= rdioUnicodeText;
    Warn(rdfwConvertedToUnicode);
  }
  // Raw Unicode lines may carry line breaks, which no item text holds, and a paragraph
  // separator would end the line in the binary form.
  const bool unicode = IsUnicodeItem(item->ItemOptions);
  if (unicode)
    for (size_t i = 0; i + 1 < text.size(); i += 2)
      if (text[i] == 0x29 && text[i + 1] == 0x20) text.replace(i, 2, std::string(" \0", 2));
  text = TCustomRDData::SanitizeItemText(std::move(text), unicode);
  InsertItem(std::move(text), std::move(item));
}

void TRDFReader::TranslateListNo(int& listNo) {
  if (listNo < 0) return;
  const int count = sheet_ ? sheet_->ListStyles().Count() : 0;
  if (list_map_) listNo = listNo < list_map_->Count() ? (*list_map_)[listNo] : count;
  if (listNo < count) return;
  Warn(rdfwStyleOutOfRange);
  listNo = count > 0 ? 0 : -1;
}

bool TRDFReader::DecodeBlock(const TRDFHeader& h, std::string& line) {
  if (h.SaveType == kRDFSaveBinary) return true;
  std::string block;
  HexToString(line, block);
  if (block.size() * 2 != line.size()) return false;
  line = std::move(block);
  return true;
}

bool TRDFReader::SkipLines(TRDFInput& in, const TRDFHeader& h) {
  for (int i = 0; i < h.LineCount; ++i) {
    const bool binary = h.SaveType == kRDFSaveBinary && i == h.LineCount - 1;
    if (!DataLine(in, binary, false)) return false;
  }
  return true;
}

bool TRDFReader::ReadLines(TRDFInput& in, const TRDFHeader& h,
                           std::unique_ptr<TCustomRDItemInfo> item) {
  const bool text = h.StyleNo >= 0;
  const bool unicodeRaw =
      text && IsUnicodeItem(item->ItemOptions) && h.SaveType != kRDFSaveUnicodeHex;
  if (unicodeRaw && !in.EndedWithCRLF()) return false;
  std::string name, first;
  int readType = 0, readState = 0;
  for (int i = 0; i < h.LineCount; ++i) {
    const bool binary = !text && h.SaveType == kRDFSaveBinary && i == h.LineCount - 1;
    std::optional<std::string> line = DataLine(in, binary, unicodeRaw);
    if (!line) return false;
    switch (h.StyleNo) {
      case kRDFDocProperty:
        if (h.Kind != kRDFDocProperties && i == 1 && !DecodeBlock(h, *line)) return false;
        if (!ReadProperty(h, i, *line)) return false;
        break;
      case kRDFBackground:
        if (i == 0) first = *line;
        if (i == 1 && (options_ & rdfoLoadBack) &&
            (!DecodeBlock(h, *line) || !LoadBackground(first, *line)))
          return false;
        break;
      case kRDFCheckpoint:
        if (i == 0) {
          pending_cp_ = std::make_unique<TRDCPInfo>();
          pending_cp_->Name = DecodeRDFLineBreaks(*line);
          pending_cp_->Tag = h.Tag;
          pending_cp_->RaiseEvent = h.Event != 0;
          pending_cp_->Persistent = h.Persist != 0;
        }
        break;
      default:
        if (text) {
          std::string s = *line;
          if (h.SaveType == kRDFSaveUnicodeHex) {
            if (line->size() % 4 != 0) return false;
            HexToString(*line, s);
            if (s.size() * 2 != line->size()) return false;
          }
          InsertText(*item, std::move(s));
        } else if (!item->QueryItemFlag(kRDFItemFlagAcceptsRecord)) {
          // An item that declines the record still keeps its extra properties (a break
          // line's hint and protection would be lost on every load and paste).
          ReadRDFExtraProperty(*item, *line);
        } else if (!item->ReadRDFLine(*line, &data_, h.SaveType, i, h.LineCount, name, readType,
                                      readState)) {
          return false;
        }
    }
  }
  if (item && !text) InsertItem(name, std::move(item));
  return true;
}

bool TRDFReader::Read(TRDFInput& in) {
  while (!in.AtEnd()) {
    TRDFHeader h;
    std::unique_ptr<TCustomRDItemInfo> item;
    if (!ParseHeader(in.TextLine(), h, item)) return false;
    if (h.StyleNo == kRDFVersion) continue;
    if (item && !TranslateStyles(*item)) return false;
    if (h.SaveType != kRDFSaveText && h.SaveType != kRDFSaveBinary &&
        h.SaveType != kRDFSaveUnicodeHex && !(h.SaveType == kRDFSaveNoBody && h.StyleNo < 0))
      return false;
    if (h.SaveType == kRDFSaveBinary && h.StyleNo >= 0) return false;
    const bool special =
        h.StyleNo == kRDFBackground || h.StyleNo == kRDFCheckpoint || h.StyleNo == kRDFDocProperty;
    if (h.StyleNo == kRDFBackground && (options_ & rdfoLoadBack)) {
      if (context_.BackColor) *context_.BackColor = h.BackColor;
      if (context_.Background && h.BackStyle >= bsNoBitmap && h.BackStyle <= bsBottomRight)
        context_.Background->Style = TBackgroundStyle(h.BackStyle);
    }
    if (h.LineCount == 0) {
      if (item) InsertItem("", std::move(item));
      continue;
    }
    if (!item && !special) {
      if (!SkipLines(in, h)) return false;
      continue;
    }
    if (!ReadLines(in, h, std::move(item))) return false;
  }
  return true;
}

void TRDFReader::Finish() {
  if (index_ > start_index_) {
    const int last = index_ - 1;
    const bool paraEnds = index_ >= data_.GetItemCount() || data_.GetItem(index_)->IsParaStart();
    if (data_.GetItem(last)->StyleNo == rdsListMarker && paraEnds) {
      std::unique_ptr<TCustomRDItemInfo> filler = CreateRDItem(0, &data_);
      filler->StyleNo = 0;
      filler->ParaNo = -1;
      InsertItem("", std::move(filler));
    }
    if (!context_.EditingInsertion) data_.PropagateParaNo(index_ - 1);
  }
  if (pending_cp_ && index_ == data_.GetItemCount() && !data_.NotAddedCP) {
    data_.NotAddedCP = std::move(pending_cp_);
    ++data_.CPCount;
  }
  pending_cp_.reset();
}

std::string RestOfStream(TStream& stream) {
  const int64_t count = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  std::string bytes(size_t(count), '\0');
  if (count > 0) stream.ReadBuffer(bytes.data(), count);
  return bytes;
}

TRDFInsertResult InsertRDF(TCustomRDData& data, std::string bytes, int& index,
                           const TRDFLoadContext& context, bool wholeDocument) {
  TRDFInsertResult result;
  if (index < 0 || index > data.GetItemCount()) return result;
  const TRDTableBudget tables(std::int64_t(bytes.size()));
  TRDFInput in(std::move(bytes));
  const TRDPictureRead pictures(data);
  TRDFReader reader(data, context, wholeDocument, index);
  try {
    result.Ok = reader.Read(in);
  } catch (const ERichDocError&) {
    result.Ok = false;
  }
  reader.Finish();
  index = reader.Index();
  result.ItemsInserted = reader.Inserted();
  result.EndsInsidePara = index < data.GetItemCount() && !data.GetItem(index)->IsParaStart();
  return result;
}

}  // namespace

TRDFInsertResult InsertRDFFromStream(TCustomRDData& data, TStream& stream, int& index,
                                     const TRDFLoadContext& context) {
  return InsertRDF(data, RestOfStream(stream), index, context, false);
}

bool LoadRDFFromStream(TCustomRDData& data, TStream& stream, const TRDFLoadContext& context) {
  data.Clear();
  int index = 0;
  return InsertRDF(data, RestOfStream(stream), index, context, true).Ok;
}

bool LoadRDFBlock(TCustomRDData& data, TStream& stream, int& index,
                  const TRDFLoadContext& context) {
  std::uint8_t size[4];
  if (stream.Size() - stream.Position() < 4) return false;
  stream.ReadBuffer(size, 4);
  const std::uint32_t length = std::uint32_t(size[0]) | std::uint32_t(size[1]) << 8 |
                               std::uint32_t(size[2]) << 16 | std::uint32_t(size[3]) << 24;
  if (int64_t(length) > stream.Size() - stream.Position()) return false;
  std::string bytes(length, '\0');
  if (length > 0) stream.ReadBuffer(bytes.data(), length);
  const bool wasLoading = data.State & rddsLoadingRDFBlock;
  data.State |= rddsLoadingRDFBlock;
  const TRDFInsertResult result = InsertRDF(data, std::move(bytes), index, context, false);
  if (!wasLoading) data.State &= ~rddsLoadingRDFBlock;
  return result.Ok;
}

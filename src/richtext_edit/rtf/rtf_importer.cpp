#include "richtext_edit/rtf/rtf_importer.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/table_budget.h"
#include "richtext/base/text_routines.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/picture_budget.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/tab_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/rtf/rtf_hyperlink.h"
#include "richtext_edit/rtf/rtf_importer_state.h"
#include "richtext_edit/rtf/rtf_property_values.h"

namespace {

int Round(double value) {
  return int(std::nearbyint(value));
}

TRDRTFHighlightConvert ReaderHighlight(TRDRTFHighlight highlight) {
  switch (highlight) {
    case rtfhlIgnore:
      return rtf_hl_Ignore;
    case rtfhlFixedColors:
      return rtf_hl_FixedColors;
    default:
      return rtf_hl_ColorTable;
  }
}

TRDStyle& SheetOf(TCustomRDData& data) {
  TRDStyle* sheet = data.GetRDStyle();
  if (!sheet) throw ERichDocError("RTF cannot be read into a document without a style sheet");
  return *sheet;
}

}  // namespace

TRDRTFImporter::TRDRTFImporter(TRDRTFReaderProperties& options, TCustomRDData& target, int index,
                               TRDRTFHeaderFooter* headerFooter)
    : options_(options),
      target_(target),
      current_(&target),
      sheet_(SheetOf(target)),
      pixels_per_twip_(GetScreenLogPixelsY() / 1440.0),
      matcher_(sheet_, options, pixels_per_twip_),
      header_footer_(headerFooter),
      insert_index_(std::clamp(index, 0, target.GetItemCount())),
      start_index_(insert_index_),
      lists_(std::make_unique<TListState>()) {
  workbench_.SetRDStyle(&sheet_);
  workbench_.SetOptions(target.GetOptions());
  workbench_.SetKeepsMarkerList(false);
}

TRDRTFImporter::~TRDRTFImporter() {
  DropOpenTables();
}

void TRDRTFImporter::DropOpenTables() {
  // Innermost first: the cells of a nested table belong to a cell of the table around it.
  while (!tables_.empty()) tables_.pop_back();
}

TRDRTFErrorCode TRDRTFImporter::Read(TStream& stream) {
  TRDRTFReader reader;
  reader_ = &reader;
  WireEvents(reader);
  if (header_footer_) {
    if (header_footer_->Header) header_footer_->Header->Clear();
    if (header_footer_->Footer) header_footer_->Footer->Clear();
  }
  const TRDPictureRead pictures(target_);
  const TRDTableBudget tables(stream.Size() - stream.Position());
  const TRDRTFErrorCode result = reader.ReadFromStream(stream);
  if (options_.ParaStyleMode == rdrsAddIfNeeded) SettlePendingMarker();
  // A read that stopped at an error leaves its tables open; they go into the document
  // with what they collected, as the reader closes them at a proper end.
  while (!tables_.empty()) EndTable();
  SettleHeldBreak();
  reader_ = nullptr;
  return result;
}

void TRDRTFImporter::WireEvents(TRDRTFReader& reader) {
  reader.PixelsPerInch = GetScreenLogPixelsY();
  reader.PictureBudget = &target_.PictureBudget();
  reader.ConvertHighlight = ReaderHighlight(options_.ConvertHighlight);
  reader.BasePath = options_.BasePath;
  reader.ExtractMetafileBitmaps = options_.ExtractMetafileBitmaps;
  // Lists become markers only when styles may be added; otherwise a list paragraph keeps
  // at least the number or bullet its writer showed.
  reader.ReadListText = options_.ParaStyleMode != rdrsAddIfNeeded;
  reader.DefCodePage = unsigned(sheet_.DefCodePage);
  reader.TabAsSeparateText = sheet_.SpacesInTab == 0;
  reader.OnNewText = [this](TRDRTFReader*, const std::string& text, TRDRTFPosition position) {
    NewText(text, false, position);
  };
  if (options_.UnicodeMode != rdruNoUnicode)
    reader.OnNewUnicodeText = [this](TRDRTFReader*, const std::u16string& text,
                                     TRDRTFPosition position) {
      NewText(WideStringToRawUnicode(text), true, position);
    };
  if (!options_.IgnorePictures) {
    reader.OnNewPicture = [this](TRDRTFReader*, TRDRTFPicture* picture,
                                 std::unique_ptr<TGraphic>& graphic, TRDRTFPosition position,
                                 const std::string& fileName, bool& inserted) {
      NewPicture(picture, graphic, position, fileName, inserted);
    };
    reader.OnImportPicture = [this](TRDRTFReader*, const std::string& location,
                                    std::unique_ptr<TGraphic>& graphic,
                                    bool&) { graphic = target_.DoImportPicture(location); };
  }
  if (target_.IsProgressEventAssigned())
    reader.OnProgress = [this](TRDRTFReader*, TRDRTFProgressStage stage, std::uint8_t percent) {
      target_.DoProgress(stage == rdprtfprStarting  ? rdprStarting
                         : stage == rdprtfprRunning ? rdprRunning
                                                    : rdprEnding,
                         percent);
    };
  reader.OnTranslateKeyword = [this](TRDRTFReader*, const std::string& keyword, int param,
                                     bool hasParam, std::string& text, bool& doDefault) {
    options_.TranslateKeyword(keyword, param, hasParam, text, doDefault);
  };
  reader.OnRequiredPageBreak = [this](TComponent*) {
    page_break_pending_ = true;
    page_break_data_ = current_;
  };
  if (options_.ParaStyleMode == rdrsAddIfNeeded)
    reader.OnUpdateMarker = [this](TComponent*) { UpdateMarker(); };
  if (!options_.IgnoreTables)
    reader.OnTable = [this](TRDRTFReader*, TRDRTFTableEventKind kind) { TableEvent(kind); };
  if (header_footer_ && (header_footer_->Header || header_footer_->Footer))
    reader.OnHeaderFooter = [this](TRDRTFReader*, TRDRTFHeaderFooterType type, bool starting,
                                   bool& supported) { HeaderFooter(type, starting, supported); };
}

// --- text --------------------------------------------------------------------------------------

bool TRDRTFImporter::InsideHyperlink() const {
  return IsHyperlinkField(reader_->State().FieldInstruction);
}

TRDTag TRDRTFImporter::LinkTag(const std::string& target) const {
  TRDTag tag;
  if (current_->TagsArePChars()) tag.Text = target;
  return tag;
}

std::string TRDRTFImporter::FallbackFontName() const {
  return sheet_.TextStyles().Count() > 0 ? sheet_.TextStyles()[0].FontName : "Arial";
}

void TRDRTFImporter::NewText(std::string text, bool unicode, TRDRTFPosition position) {
  TRDRTFReaderState& state = reader_->State();
  // Empty text is an empty paragraph or line, which gets an empty item as a blank line
  // typed in an editor does; the empty event that hidden text starts with is none.
  if (text.empty() && (position == rtf_ts_ContinuePara || state.CharProps.Hidden)) return;
  if (options_.SkipHiddenText && state.CharProps.Hidden) {
    HoldBreak(position);
    return;
  }
  AddText(std::move(text), unicode, position);
}

void TRDRTFImporter::AddText(std::string text, bool unicode, TRDRTFPosition position,
                             const TRDRTFParaProperties* para) {
  const TRDRTFReaderState& state = reader_->State();
  if (options_.LineBreaksAsParagraphs && position == rtf_ts_NewLine) position = rtf_ts_NewPara;
  const bool itemUnicode = unicode || options_.UnicodeMode == rdruOnlyUnicode;
  const bool link = InsideHyperlink();
  const TRDRTFWantedText wanted =
      WantedTextOf(state.CharProps, reader_->FontTable(), FallbackFontName(), itemUnicode, link,
                   pixels_per_twip_);
  int styleNo = matcher_.TextStyle(wanted);
  const bool isTab = unicode ? text == std::string("\t\0", 2) : text == "\t";
  if (sheet_.SpacesInTab == 0 && isTab) {
    auto tab = std::make_unique<TRDTabItemInfo>(current_);
    tab->StyleNo = rdsTab;
    tab->TextStyleNo = styleNo;
    AddItem("", std::move(tab), position, para);
    return;
  }
  TRDRTFHyperlink hyperlink;
  TRDTag tag;
  if (link) {
    hyperlink = ParseHyperlinkField(state.FieldInstruction,
                                    options_.BasePathLinks ? options_.BasePath : std::string());
    tag = LinkTag(hyperlink.Target);
    // The application may give the link another style; the text is made for the style
    // that stands.
    int linkStyle = styleNo;
    std::string name = text;
    target_.DoReadHyperlink(hyperlink.Target, hyperlink.Hint, rdlfRTF, linkStyle, tag, name);
    if (linkStyle >= 0 && linkStyle < sheet_.TextStyles().Count()) styleNo = linkStyle;
  }
  const bool styleUnicode = sheet_.TextStyles()[styleNo].Unicode;
  if (styleUnicode && !unicode) {
    int codePage = CharsetToCodePage(wanted.Values.Charset);
    if (codePage == CP_ACP) codePage = TRDCodePage(reader_->CodePage());
    text = AnsiToRawUnicode(codePage, text);
  } else if (!styleUnicode && unicode) {
    text = RawUnicodeToAnsi(TRDCodePage(reader_->CodePage()), text);
  }
  text = TCustomRDData::SanitizeItemText(current_->ExpandTabs(text, styleNo, styleUnicode),
                                         styleUnicode);
  std::unique_ptr<TCustomRDItemInfo> item = RichDocTextItemClass(current_);
  item->StyleNo = styleNo;
  if (styleUnicode) item->ItemOptions |= rdioUnicodeText;
  if (link) {
    item->Tag = std::move(tag);
    item->Hint = hyperlink.Hint;
  }
  AddItem(std::move(text), std::move(item), position, para);
}

// --- pictures ----------------------------------------------------------------------------------

void TRDRTFImporter::NewPicture(TRDRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                TRDRTFPosition position, const std::string& fileName,
                                bool& inserted) {
  bool insert = true;
  target_.DoImportedPictureInserting(current_, graphic, fileName, insert);
  if (!insert) return;
  if (!graphic) {
    // A \shppict picture we cannot show has its \nonshppict twin to fall back on.
    if (picture && picture->FromShpPict) return;
    graphic = sheet_.InvalidPicture().Clone();
  }
  if (PictureLeavesOut(*graphic)) {
    TCustomRDData& root = *target_.GetAbsoluteRootData();
    root.SetRDFWarnings(root.GetRDFWarnings() | rdfwPicturesLeftOut);
  }
  std::unique_ptr<TRDGraphicItemInfo> item;
  int styleNo = rdsPicture;
  TRDRTFHyperlink hyperlink;
  TRDTag tag;
  if (InsideHyperlink()) {
    hyperlink = ParseHyperlinkField(reader_->State().FieldInstruction,
                                    options_.BasePathLinks ? options_.BasePath : std::string());
    tag = LinkTag(hyperlink.Target);
    styleNo = rdsHotPicture;
    // The application may keep the picture out of the link (a plain picture).
    std::string name;
    target_.DoReadHyperlink(hyperlink.Target, hyperlink.Hint, rdlfRTF, styleNo, tag, name);
  }
  if (styleNo == rdsHotPicture) {
    item = TRDHotGraphicItemInfo::CreateWithGraphic(current_, std::move(graphic), rdvaBaseline);
    item->StyleNo = rdsHotPicture;
    item->Tag = std::move(tag);
    item->Hint = hyperlink.Hint;
  } else {
    item = TRDGraphicItemInfo::CreateWithGraphic(current_, std::move(graphic), rdvaBaseline);
    item->StyleNo = rdsPicture;
  }
  if (picture) {
    // A drawing is shown at the size it was placed at, and so is a picture left out (a
    // frame of its own size) on each side placed at another: on a side at its own size it
    // is shown as the picture decoded would be, with no explicit size.
    const auto* frame = dynamic_cast<const TRDPictureFrame*>(item->Image.get());
    const bool drawing =
        picture->PicType == rtf_pt_EnhancedMetafile || picture->PicType == rtf_pt_WindowsMetafile;
    const bool framePlaced = frame && picture->Width > 0 && picture->Height > 0;
    const bool placedX = drawing || (framePlaced && picture->Width != frame->Width());
    const bool placedY = drawing || (framePlaced && picture->Height != frame->Height());
    // Scaled at most to a page each way: a size beyond it is the file's fantasy, and
    // showing or printing it would take a bitmap of that size.
    const double largest = kMaxPageTwips * pixels_per_twip_;
    const auto scaled = [largest](int base, int percent) {
      return Round(std::min(base / 100.0 * percent, largest));
    };
    if (placedX || picture->PicScaleX != 100)
      item->ImageWidth =
          scaled(picture->Width > 0 ? picture->Width : item->Image->Width(), picture->PicScaleX);
    if (placedY || picture->PicScaleY != 100)
      item->ImageHeight =
          scaled(picture->Height > 0 ? picture->Height : item->Image->Height(), picture->PicScaleY);
  }
  if (options_.StoreImagesFileNames) item->ImageFileName = fileName;
  AddItem("", std::move(item), position);
  inserted = true;
}

// --- headers and footers -----------------------------------------------------------------------

void TRDRTFImporter::HeaderFooter(TRDRTFHeaderFooterType type, bool starting, bool& supported) {
  SettleHeldBreak();
  if (!starting) {
    EnterData(&target_);
    return;
  }
  const TRDRTFSectionProperties& section = reader_->State().SectProps;
  // Twips to whole millimetres.
  const auto millimetres = [](int twips) { return Round(twips * 127.0 / 7200.0); };
  if (type == rtf_hf_Header && header_footer_->Header) {
    EnterData(header_footer_->Header);
    header_footer_->HeaderDistance = millimetres(section.HeaderY);
    supported = true;
  } else if (type == rtf_hf_Footer && header_footer_->Footer) {
    EnterData(header_footer_->Footer);
    header_footer_->FooterDistance = millimetres(section.FooterY);
    supported = true;
  }
}

// --- adding items ------------------------------------------------------------------------------

const TCustomRDItemInfo* TRDRTFImporter::LastItemOfCurrent() const {
  if (current_ == &target_) return insert_index_ > 0 ? target_.GetItem(insert_index_ - 1) : nullptr;
  const int count = current_->GetItemCount();
  return count > 0 ? current_->GetItem(count - 1) : nullptr;
}

int TRDRTFImporter::ParaStyleFor(TRDRTFPosition position, const TRDRTFParaProperties& para) {
  const TCustomRDItemInfo* last = LastItemOfCurrent();
  const bool startsPara = position == rtf_ts_NewPara || !last || last->IsFullLine();
  if (!startsPara) return last->ParaNo;
  return matcher_.ParaStyle(para, InsideHyperlink());
}

// Hidden text goes, but the paragraph or line it began stays: its break passes to what
// follows in the paragraph, or, when nothing does, stands as an empty paragraph or line
// with the paragraph's properties.
void TRDRTFImporter::HoldBreak(TRDRTFPosition position) {
  if (position == rtf_ts_ContinuePara) return;
  // A break held before this one ended a paragraph or line of hidden text only.
  SettleHeldBreak();
  held_break_ = position;
  held_para_ = reader_->State().ParaProps;
}

void TRDRTFImporter::SettleHeldBreak() {
  if (held_break_ == rtf_ts_ContinuePara) return;
  AddText("", false, std::exchange(held_break_, rtf_ts_ContinuePara), &held_para_);
}

void TRDRTFImporter::AddItem(std::string text, std::unique_ptr<TCustomRDItemInfo> item,
                             TRDRTFPosition position, const TRDRTFParaProperties* para) {
  if (held_break_ != rtf_ts_ContinuePara) {
    // Text that went on from hidden text starts the paragraph the hidden text began;
    // anything else ends that paragraph first.
    if (position == rtf_ts_ContinuePara && !item->IsFullLine())
      position = std::exchange(held_break_, rtf_ts_ContinuePara);
    else
      SettleHeldBreak();
  }
  if (options_.LineBreaksAsParagraphs && position == rtf_ts_NewLine) position = rtf_ts_NewPara;
  const TCustomRDItemInfo* last = LastItemOfCurrent();
  // A document starts with a paragraph, and so does whatever follows a table or a line;
  // a table or a line takes no line break.
  if (!last || last->IsFullLine() || item->IsFullLine()) position = rtf_ts_NewPara;
  // Tables come with their style; text moved out of a table keeps its paragraphs' styles.
  if (moving_out_table_ && position != rtf_ts_NewPara)
    item->ParaNo = last->ParaNo;
  else if (item->StyleNo != rdsTable && !moving_out_table_)
    item->ParaNo = ParaStyleFor(position, para ? *para : reader_->State().ParaProps);
  switch (position) {
    case rtf_ts_ContinuePara:
      item->SetContinuesPara(true);
      break;
    case rtf_ts_NewLine:
      item->SetLineBreakBefore(true);
      break;
    case rtf_ts_NewPara:
      item->ItemOptions &= TRDItemOptions(~(rdioContinuesPara | rdioLineBreakBefore));
      if (item->StyleNo != rdsListMarker && item->StyleNo != rdsTable && !moving_out_table_ &&
          AddParagraphMarker())
        item->SetContinuesPara(true);
      break;
  }
  if (page_break_pending_ && page_break_data_ == current_ && item->IsParaStart()) {
    item->SetPageBreakBefore(true);
    page_break_pending_ = false;
  }
  PlaceItem(std::move(text), std::move(item));
}

void TRDRTFImporter::EnterData(TCustomRDData* data) {
  SettlePendingMarker();
  current_ = data;
}

void TRDRTFImporter::PlaceItem(std::string text, std::unique_ptr<TCustomRDItemInfo> item) {
  if (current_ != &target_) {
    current_->AppendItemAsIs(std::move(text), std::move(item));
    return;
  }
  // Into the target through its insertion, which an editor records for undo.
  target_.InsertItemRaw(insert_index_, std::move(text), std::move(item));
  last_item_no_ = insert_index_++;
}

// --- entry points ------------------------------------------------------------------------------

TRDRTFErrorCode ReadRTF(TRDRTFReaderProperties& options, TStream& stream, TCustomRDData& rdData,
                        int& index, TRDRTFHeaderFooter* headerFooter) {
  TRDRTFImporter importer(options, rdData, index, headerFooter);
  const TRDRTFErrorCode result = importer.Read(stream);
  index = importer.LastItemNo();
  return result;
}

bool LoadRTFFromStream(TCustomRDData& rdData, TStream& stream) {
  TRDRTFReaderProperties defaults;
  TRDRTFReaderProperties* options = rdData.GetRTFReadProperties();
  int index = rdData.GetItemCount();
  return ReadRTF(options ? *options : defaults, stream, rdData, index) == rtf_ec_OK;
}

bool LoadRTF(TCustomRDData& rdData, const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  TRDRTFReaderProperties defaults;
  TRDRTFReaderProperties& options =
      rdData.GetRTFReadProperties() ? *rdData.GetRTFReadProperties() : defaults;
  // Relative pictures and links are next to the file.
  std::string folder = std::filesystem::path(fileName).parent_path().string();
  if (!folder.empty()) folder += '/';
  const std::string oldBasePath = std::exchange(options.BasePath, folder);
  int index = rdData.GetItemCount();
  TRDRTFErrorCode result;
  try {
    result = ReadRTF(options, stream, rdData, index);
  } catch (...) {
    options.BasePath = oldBasePath;
    throw;
  }
  options.BasePath = oldBasePath;
  return result == rtf_ec_OK;
}

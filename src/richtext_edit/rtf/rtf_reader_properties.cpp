// What each property control word does to the reader's properties and tables. Which
// words count depends on the destination: font words in the font table, colour words
// in the colour table, level words in a list level and so on; in the document text
// (and in stylesheet entries) the character, paragraph, section and table words.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext_edit/rtf/rtf_property_values.h"
#include "richtext_edit/rtf/rtf_reader.h"

namespace {

using P = TRDRTFProp;

bool InRange(P prop, P first, P last) {
  return prop >= first && prop <= last;
}

// \highlight N with fixed colours.
TColor HighlightColor(int index) {
  static constexpr TColor kColors[] = {clNone,
                                       RGB(0, 0, 0),
                                       RGB(0, 0, 255),
                                       RGB(0, 255, 255),
                                       RGB(0, 255, 0),
                                       RGB(255, 0, 255),
                                       RGB(255, 0, 0),
                                       RGB(255, 255, 0),
                                       RGB(255, 255, 255),
                                       RGB(0, 0, 128),
                                       RGB(0, 128, 128),
                                       RGB(0, 128, 0),
                                       RGB(128, 0, 128),
                                       RGB(128, 0, 0),
                                       RGB(128, 128, 0),
                                       RGB(128, 128, 128),
                                       RGB(192, 192, 192)};
  return index >= 1 && index <= 16 ? kColors[index] : clNone;
}

// Background colours: the automatic colour means none.
TColor AsBackground(TColor color) {
  return color == clWindowText ? clNone : color;
}

// A picture's extent (\picw, \pich: pixels, or 0.01 mm for metafiles): no bitmap we
// decode is wider or higher.
constexpr int kMaxPictureExtent = 1 << 25;
// Picture scaling, in percent: enough for a picture of a pixel to fill a page (the import
// keeps a scaled picture to a page each way).
constexpr int kMaxPictureScale = 100 * kMaxPageTwips;
// Character widths, in percent.
constexpr int kMinCharScale = 1, kMaxCharScale = 600;
// A cell's right edge (\cellx) counts from the row's left: a row is as wide as its cells
// together, each up to a page, as a table holding wide tables in its cells is written.
// Keeping the edge to a page would merge the cells beyond it into one.
constexpr int kMaxRowTwips = int(TRDRTFRowProperties::kMaxCells) * kMaxPageTwips;

// Lengths are clamped to a page where they are read, whatever the file says, and sizes
// and scales to what a word processor offers: the sums, scalings and per-pixel loops
// that follow (column edges, table layout, border drawing, picture sizes, the font size
// written back as half-points) then stay in range.
int BoundedValue(P prop, int value) {
  switch (prop) {
    case P::FontSize:
    case P::PnFontSize:
      return std::clamp(value, kMinFontHalfPoints, kMaxFontHalfPoints);
    case P::CharScaleX:
      return std::clamp(value, kMinCharScale, kMaxCharScale);
    case P::PicWidth:
    case P::PicHeight:
      return std::clamp(value, 0, kMaxPictureExtent);
    case P::PicScaleX:
    case P::PicScaleY:
      return std::clamp(value, 0, kMaxPictureScale);
    case P::BorderWidth:
      return std::clamp(value, 0, kMaxPageTwips);
    case P::CellRight:
      return std::clamp(value, -kMaxRowTwips, kMaxRowTwips);
    case P::TableBestWidth:
      return value;  // the table's own width as it has it: the table bounds it
    case P::CharSpacing:
    case P::LineSpacing:
    case P::LeftIndent:
    case P::RightIndent:
    case P::FirstIndent:
    case P::SpaceBefore:
    case P::SpaceAfter:
    case P::BorderSpacing:
    case P::TabPosition:
    case P::HeaderY:
    case P::FooterY:
    case P::PaperWidth:
    case P::PaperHeight:
    case P::MarginLeft:
    case P::MarginRight:
    case P::MarginTop:
    case P::MarginBottom:
    case P::RowGap:
    case P::RowLeft:
    case P::RowHeight:
    case P::RowPadding:
    case P::RowSpacing:
    case P::RowWidth:
    case P::CellWidth:
    case P::CellBestWidth:
    case P::CellBestHeight:
    case P::PicWidthGoal:
    case P::PicHeightGoal:
    case P::PnIndent:
    case P::PnSpace:
    case P::LevelIndent:
    case P::LevelSpace:
      return std::clamp(value, -kMaxPageTwips, kMaxPageTwips);
    default:
      return value;
  }
}

}  // namespace

bool TRDRTFReader::ColorOf(int index, TColor& color) const {
  if (!color_table_.IsValidIndex(index)) return false;
  color = color_table_[index];
  return true;
}

int TRDRTFReader::DefaultFontIndex() {
  if (state_->DefFontIndex >= 0) return state_->DefFontIndex;
  // Before the font table is read the answer is not kept: \deff may name a font yet to come.
  if (font_table_.Count() == 0) return 0;
  const int index = font_table_.IndexOfNumber(state_->DefFont);
  state_->DefFontIndex = index >= 0 ? index : 0;
  return state_->DefFontIndex;
}

int TRDRTFReader::FontIndexOf(int number) {
  const int index = font_table_.IndexOfNumber(number);
  return index >= 0 ? index : DefaultFontIndex();
}

TRDRTFBorderSide* TRDRTFReader::CurrentBorderSide() {
  switch (state_->BorderTarget) {
    case TRDRTFBorderTarget::TableRow: {
      TRDRTFRowProperties& row = state_->GetRowProps();
      return &row.Border.Side(row.CurBorderSide);
    }
    case TRDRTFBorderTarget::TableCell: {
      TRDRTFCellProperties* cell = state_->GetRowProps().LastCell();
      return cell ? &cell->Border.Side(cell->CurBorderSide) : nullptr;
    }
    case TRDRTFBorderTarget::Paragraph:
      break;
  }
  TRDRTFParaProperties& para = state_->ParaProps;
  return &para.GetBorder().Side(para.CurBorderSide);
}

TRDRTFErrorCode TRDRTFReader::ApplyProperty(const TRDRTFKeyword& keyword, int written) {
  const P prop = P(keyword.Index);
  const int value = BoundedValue(prop, written);
  // The \uc count belongs to the reader, not to the group.
  if (prop == P::UnicodeSkip) {
    unicode_skip_count_ = std::max(value, 0);
    return rtf_ec_OK;
  }
  if (prop == P::UnicodeChar) return ApplyUnicodeCharacter(value);
  switch (state_->Destination) {
    case rtf_ds_Skip:
      return rtf_ec_OK;
    case rtf_ds_FontTable:
      if (prop == P::Font) {
        font_table_.Add(value);
      } else if (TRDRTFFont* font = font_table_.Last()) {
        if (prop == P::FontFamily) font->Family = std::uint8_t(value);
        if (prop == P::FontCharset)
          font->Charset = std::uint8_t(value >= 256 ? MAC_CHARSET : value);
      }
      return rtf_ec_OK;
    case rtf_ds_ColorTable:
      if (prop == P::Red) color_table_.OrIntoLast(value, 0);
      if (prop == P::Green) color_table_.OrIntoLast(value, 8);
      if (prop == P::Blue) color_table_.OrIntoLast(value, 16);
      return rtf_ec_OK;
    case rtf_ds_Picture:
      ApplyPictureProperty(prop, value);
      return rtf_ec_OK;
    case rtf_ds_Object:
      if (cur_object_) {
        if (prop == P::ObjType) cur_object_->ObjType = std::uint8_t(value);
        if (prop == P::ObjWidth) cur_object_->Width = value;
        if (prop == P::ObjHeight) cur_object_->Height = value;
      }
      return rtf_ec_OK;
    case rtf_ds_Pn:
    case rtf_ds_PnSecLevel:
      if (TRDRTFMarkerProperties* marker = CurrentMarker())
        ApplyMarkerProperty(*marker, prop, value);
      return rtf_ec_OK;
    case rtf_ds_List:
      if (TRDRTFList97* list = list_table_.Last()) {
        if (prop == P::ListID) list_table_.SetLastListID(value);
        if (prop == P::ListSimple) list->Simple = value != 0;
      }
      return rtf_ec_OK;
    case rtf_ds_ListLevel:
      if (TRDRTFListLevel97* level = list_table_.LastLevel())
        ApplyListLevelProperty(*level, prop, value);
      return rtf_ec_OK;
    case rtf_ds_ListOverride:
      if (TRDRTFListOverride97* item = list_override_table_.Last()) {
        if (prop == P::ListID) item->ListIndex = list_table_.IndexOfListID(value);
        if (prop == P::ListOverrideCount) item->Count = value;
        if (prop == P::ListOverride) list_override_table_.SetLastNumber(value);
      }
      return rtf_ec_OK;
    case rtf_ds_LfoLevel:
      if (TRDRTFListOverrideLevel97* level = list_override_table_.LastLevel()) {
        if (prop == P::ListOverrideStartAt) level->StartAtOverridden = true;
        if (prop == P::LevelStartAt) level->StartAt = value;
      }
      return rtf_ec_OK;
    case rtf_ds_StyleSheetEntry:
      if (InRange(prop, P::CharStyle, P::StyleHidden)) {
        ApplyStyleSheetProperty(prop, value);
        return rtf_ec_OK;
      }
      break;
    default:
      break;
  }
  if (InRange(prop, P::Bold, P::Hidden)) return ApplyCharacterProperty(prop, value);
  if (InRange(prop, P::LineSpacing, P::ListLevel)) {
    ApplyParagraphProperty(prop, value);
    return rtf_ec_OK;
  }
  if (InRange(prop, P::SectReset, P::AnsiCodePage) ||
      InRange(prop, P::PageBreak, P::FootnoteMark) || prop == P::PnSecLevel)
    return ApplySectionProperty(prop, value);
  // Row and cell words describe the tables of the document text.
  if (InRange(prop, P::CellEnd, P::TableBestWidth) && state_->Destination == rtf_ds_Normal)
    return ApplyTableProperty(prop, value, keyword.Sub);
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::ApplyCharacterProperty(P prop, int value) {
  TRDRTFCharProperties& chars = state_->CharProps;
  TColor color = clNone;
  TRDRTFFontStyle bit{};
  if (FontStyleBit(prop, bit)) {
    SetStyleBit(chars.Style, bit, value);
    return rtf_ec_OK;
  }
  switch (prop) {
    case P::CharScaleX:
      chars.CharScaleX = value;
      break;
    case P::CharSpacing:
      chars.CharSpacing = value;
      break;
    case P::VShift:
      chars.VShift = std::uint8_t(value);
      break;
    case P::Caps:
      chars.StyleEx = std::uint8_t(value != 0 ? chars.StyleEx | rtf_fsex_AllCaps
                                              : chars.StyleEx & ~rtf_fsex_AllCaps);
      break;
    case P::FontSize:
      chars.Size = HalfPointsToPoints(value);
      break;
    case P::Color:
      if (ColorOf(value, color)) chars.Color = color;
      break;
    case P::BackColor:
      if (ColorOf(value, color)) chars.BackColor = AsBackground(color);
      break;
    case P::Highlight:
      if (ConvertHighlight == rtf_hl_FixedColors) chars.BackColor = HighlightColor(value);
      if (ConvertHighlight == rtf_hl_ColorTable && ColorOf(value, color))
        chars.BackColor = AsBackground(color);
      break;
    case P::Language:
      chars.Language = value;
      break;
    case P::DefLanguage:
      state_->DefLanguage = value;
      break;
    case P::CharReset:
      chars.Reset(DefaultFontIndex(), state_->DefLanguage);
      break;
    case P::Font:
      chars.FontIndex = FontIndexOf(value);
      break;
    case P::Raise:
      chars.VShift = value > 0 ? 2 : value < 0 ? 1 : 0;
      break;
    case P::Lower:
      chars.VShift = value > 0 ? 1 : value < 0 ? 2 : 0;
      break;
    case P::Hidden:
      return SetHidden(value != 0);
    default:
      break;
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::SetHidden(bool hidden) {
  TRDRTFCharProperties& chars = state_->CharProps;
  if (chars.Hidden == hidden) return rtf_ec_OK;
  TRDRTFErrorCode error = rtf_ec_OK;
  if (state_->Destination == rtf_ds_Normal) {
    if (hidden) {
      // An event is raised even without pending text; when nothing is pending that
      // empty event already carries the hidden attribute.
      force_flush_ = true;
      if (pending_text_.empty() && pending_unicode_.empty()) chars.Hidden = true;
      error = OutputChar(0, true);
      force_flush_ = false;
    } else {
      error = FlushPending();
    }
  }
  chars.Hidden = hidden;
  return error;
}

void TRDRTFReader::ApplyParagraphProperty(P prop, int value) {
  TRDRTFParaProperties& para = state_->ParaProps;
  TColor color = clNone;
  switch (prop) {
    case P::LineSpacing:
      para.LineSpacing = value;
      break;
    case P::LineSpacingMultiple:
      para.LineSpacingMultiple = value != 0;
      break;
    case P::LeftIndent:
      para.LeftIndent = value;
      break;
    case P::RightIndent:
      para.RightIndent = value;
      break;
    case P::FirstIndent:
      para.FirstIndent = value;
      break;
    case P::SpaceBefore:
      para.SpaceBefore = value;
      break;
    case P::SpaceAfter:
      para.SpaceAfter = value;
      break;
    case P::Alignment:
      para.Alignment = std::uint8_t(value);
      break;
    case P::ParaReset:
      para.Reset();
      break;
    case P::BorderStyle:
      // Only the first style word of a side counts (\brdrs\brdrdb stays single).
      if (TRDRTFBorderSide* side = CurrentBorderSide(); side && side->Style == 0)
        side->Style = std::uint8_t(value);
      break;
    case P::BorderSide:
      state_->BorderTarget = TRDRTFBorderTarget::Paragraph;
      para.CurBorderSide = std::uint8_t(value);
      break;
    case P::BorderWidth:
      if (TRDRTFBorderSide* side = CurrentBorderSide()) side->Width = value;
      break;
    case P::BorderColor:
      if (TRDRTFBorderSide* side = CurrentBorderSide(); side && ColorOf(value, color))
        side->Color = color;
      break;
    case P::BorderSpacing:
      para.GetBorder().Side(para.CurBorderSide).Spacing = value;
      break;
    case P::ParaColor:
      if (ColorOf(value, color)) para.Color = color;
      break;
    case P::ParaPatternColor:
      if (ColorOf(value, color)) para.PatternColor = color;
      break;
    case P::ParaShading:
      para.Shading = value;
      break;
    case P::KeepTogether:
      para.KeepTogether = true;
      break;
    case P::KeepWithNext:
      para.KeepWithNext = true;
      break;
    case P::TabPosition:
      para.CloseTab(value);
      break;
    case P::TabAlign:
      para.LastTab().Align = std::uint8_t(value);
      break;
    case P::TabLeader:
      para.LastTab().Leader = std::uint8_t(value);
      break;
    case P::ListTab:
      para.LastTab().ListTab = true;
      break;
    case P::ListOverride:
      para.ListOverride = list_override_table_.IndexOfNumber(value);
      break;
    case P::ListLevel:
      para.ListLevel = value;
      break;
    default:
      break;
  }
}

TRDRTFErrorCode TRDRTFReader::ApplySectionProperty(P prop, int value) {
  TRDRTFSectionProperties& section = state_->SectProps;
  TRDRTFDocProperties& document = state_->DocProps;
  switch (prop) {
    case P::SectReset:
      section.Reset();
      break;
    case P::DefFont:
      if (state_->Destination == rtf_ds_Normal) {
        state_->DefFont = value;
        state_->DefFontIndex = -1;
      }
      break;
    case P::Columns:
      section.Columns = value;
      break;
    case P::PageNumberX:
      section.PageNumberX = value;
      break;
    case P::PageNumberY:
      section.PageNumberY = value;
      break;
    case P::HeaderY:
      section.HeaderY = value;
      break;
    case P::FooterY:
      section.FooterY = value;
      break;
    case P::SectionBreak:
      section.SectionBreak = std::uint8_t(value);
      break;
    case P::PageNumberFormat:
      section.PageNumberFormat = std::uint8_t(value);
      break;
    case P::PaperWidth:
      document.PaperWidth = value;
      break;
    case P::PaperHeight:
      document.PaperHeight = value;
      break;
    case P::MarginLeft:
      document.LeftMargin = value;
      break;
    case P::MarginRight:
      document.RightMargin = value;
      break;
    case P::MarginTop:
      document.TopMargin = value;
      break;
    case P::MarginBottom:
      document.BottomMargin = value;
      break;
    case P::PageNumberStart:
      document.PageNumberStart = value;
      break;
    case P::FacingPages:
      document.FacingPages = true;
      break;
    case P::Landscape:
      document.Landscape = true;
      break;
    case P::AnsiCodePage:
      code_page_ = unsigned(value);
      break;
    case P::PnSecLevel:
      list_level_number_ = value;
      SetDestination(rtf_ds_PnSecLevel);
      break;
    case P::PageBreak:
      if (state_->Destination == rtf_ds_Normal && OnRequiredPageBreak) {
        if (const TRDRTFErrorCode error = OutputChar(10, true); error != rtf_ec_OK) return error;
        OnRequiredPageBreak(this);
      }
      break;
    case P::SectionEnd:
      // Writers end a section's last paragraph with \sect in place of \par; after a \par
      // it ends nothing more.
      if (state_->Destination == rtf_ds_Normal) return OutputChar(10, true);
      break;
    case P::FootnoteMark:
      // The footnote's number in the text; the footnote itself is not read.
      if (state_->Destination == rtf_ds_Normal)
        for (const char c : std::to_string(++footnote_number_))
          if (const TRDRTFErrorCode error = OutputChar(c, true); error != rtf_ec_OK) return error;
      break;
    default:
      break;
  }
  return rtf_ec_OK;
}

bool TRDRTFReader::BeyondTableDepth() const {
  const TRDRTFParaProperties& para = state_->ParaProps;
  return para.InTable && para.NestingLevel > kMaxTableDepth;
}

TRDRTFErrorCode TRDRTFReader::EndCell() {
  if (!row_ended_)
    if (const TRDRTFErrorCode error = ReportEmptyLine(); error != rtf_ec_OK) return error;
  if (const TRDRTFErrorCode error = OutputChar(10, true); error != rtf_ec_OK) return error;
  next_position_ = rtf_ts_NewPara;
  // The cells of tables we do not build are paragraphs of the deepest cell we do.
  if (!BeyondTableDepth()) FireTable(rdf_tbl_CellEnd);
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::EndRow() {
  row_ended_ = true;
  const TRDRTFErrorCode error = BeyondTableDepth() ? rtf_ec_OK : ReportRowEnd();
  // The alignment given was this row's: the row of a table this one is nested in ends
  // later and keeps its own.
  row_alignment_set_ = false;
  return error;
}

TRDRTFErrorCode TRDRTFReader::ReportRowEnd() {
  state_->GetRowProps().Finish();
  if (const TRDRTFErrorCode error = SyncTables(); error != rtf_ec_OK) return error;
  FireTable(rdf_tbl_RowEnd);
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::ApplyTableProperty(P prop, int value, int sub) {
  if (prop == P::CellEnd) return EndCell();
  if (prop == P::RowEnd) return EndRow();
  if (prop == P::InTable || prop == P::TableLevel) {
    TRDRTFParaProperties& para = state_->ParaProps;
    if (prop == P::TableLevel) para.NestingLevel = value;
    para.InTable = value > 0;
    return rtf_ec_OK;
  }
  if (prop == P::RowAlign) {
    row_alignment_ = std::uint8_t(value);
    row_alignment_set_ = true;
    return rtf_ec_OK;
  }
  // A row's definition starts afresh: an alignment given before it is an earlier row's.
  if (prop == P::RowReset) row_alignment_set_ = false;
  TRDRTFRowProperties& row = state_->GetRowProps();
  const std::size_t side = std::size_t(sub & 3);
  if (ApplyRowProperty(row, prop, value, side)) return rtf_ec_OK;
  // The other properties are of the cell the row defines last (before its \cellx).
  if (TRDRTFCellProperties* cell = row.LastCell()) ApplyCellProperty(row, *cell, prop, value, side);
  return rtf_ec_OK;
}

bool TRDRTFReader::ApplyRowProperty(TRDRTFRowProperties& row, P prop, int value, std::size_t side) {
  switch (prop) {
    case P::RowReset:
      row.Reset();
      break;
    case P::RowHeading:
      row.Heading = true;
      break;
    case P::RowGap:
      row.GapH = value;
      break;
    case P::RowLeft:
      row.Left = value;
      break;
    case P::RowHeight:
      row.Height = std::abs(value);
      break;
    case P::RowPadding:
      row.Padding[side] = value;
      break;
    case P::RowPaddingUnit:
      row.PaddingInTwips[side] = value == 3;
      break;
    case P::RowSpacing:
      row.Spacing[side] = value;
      break;
    case P::RowSpacingUnit:
      row.SpacingInTwips[side] = value == 3;
      break;
    case P::RowWidth:
      ApplyWidthValue(value, row.PercentWidth, row.BestWidth);
      break;
    case P::RowWidthUnit:
      ApplyWidthUnit(value, row.PercentWidth, row.BestWidth);
      break;
    case P::CellRight:
      row.CloseCell(value);
      break;
    case P::RowBorderSide:
      state_->BorderTarget = TRDRTFBorderTarget::TableRow;
      row.CurBorderSide = std::uint8_t(value);
      break;
    case P::TableBestWidth:
      row.BestWidth = value;
      row.HasComponentSizes = true;
      break;
    default:
      return false;
  }
  return true;
}

void TRDRTFReader::ApplyCellProperty(TRDRTFRowProperties& row, TRDRTFCellProperties& cell, P prop,
                                     int value, std::size_t side) {
  TColor color = clNone;
  switch (prop) {
    case P::CellVMerge:
      cell.VMerge = std::uint8_t(cell.VMerge == 1 ? 1 : value);
      break;
    case P::CellHMerge:
      cell.HMerge = std::uint8_t(cell.HMerge == 1 ? 1 : value);
      break;
    case P::CellWidth:
      ApplyWidthValue(value, cell.PercentWidth, cell.BestWidth);
      break;
    case P::CellWidthUnit:
      ApplyWidthUnit(value, cell.PercentWidth, cell.BestWidth);
      break;
    case P::CellColor:
      if (ColorOf(value, color)) cell.Color = AsBackground(color);
      break;
    case P::CellPatternColor:
      if (ColorOf(value, color)) cell.PatternColor = color;
      break;
    case P::CellShading:
      cell.Shading = value;
      break;
    case P::CellVAlign:
      cell.VAlign = std::uint8_t(value);
      break;
    case P::CellBorderSide:
      state_->BorderTarget = TRDRTFBorderTarget::TableCell;
      cell.CurBorderSide = std::uint8_t(value);
      break;
    case P::CellBestWidth:
      cell.BestWidth = value;
      row.HasComponentSizes = true;
      break;
    case P::CellBestHeight:
      cell.BestHeight = value;
      row.HasComponentSizes = true;
      break;
    case P::CellPadding:
      cell.Padding[side] = value;
      break;
    case P::CellPaddingUnit:
      cell.PaddingInTwips[side] = value == 3;
      break;
    default:
      break;
  }
}

void TRDRTFReader::ApplyPictureProperty(P prop, int value) {
  if (!cur_picture_) return;
  TRDRTFPicture& picture = *cur_picture_;
  constexpr int kFirstMapMode = 2, kLastMapMode = 8;
  switch (prop) {
    case P::PicWidth:
      picture.PicW = value;
      break;
    case P::PicHeight:
      picture.PicH = value;
      break;
    case P::PicWidthGoal:
      picture.PicWGoal = value;
      break;
    case P::PicHeightGoal:
      picture.PicHGoal = value;
      break;
    case P::PicScaleX:
      picture.PicScaleX = value;
      break;
    case P::PicScaleY:
      picture.PicScaleY = value;
      break;
    case P::BitmapWidthBytes:
      picture.BitmapWidthBytes = value;
      break;
    case P::BitmapBitsPixel:
      picture.BitmapBitsPixel = value;
      break;
    case P::BitmapPlanes:
      picture.BitmapPlanes = value;
      break;
    case P::PicType:
      if (value == rtf_pt_Dib)
        picture.StartDib();
      else
        picture.PicType = std::uint8_t(value);
      break;
    case P::WindowsMetafile:
      picture.PicType = rtf_pt_WindowsMetafile;
      picture.MetafileMapMode = value >= kFirstMapMode && value <= kLastMapMode ? value : 1;
      break;
    case P::PicBmp:
      picture.PicBmp = true;
      break;
    default:
      break;
  }
}

void TRDRTFReader::ApplyStyleSheetProperty(P prop, int value) {
  TRDRTFStyleSheetEntry* entry = style_sheet_.Last();
  if (!entry) return;
  switch (prop) {
    case P::CharStyle:
    case P::ParaStyle:
    case P::SectStyle:
      style_sheet_.SetLastNumber(value);
      entry->Kind = prop == P::CharStyle ? 0 : prop == P::ParaStyle ? 1 : 2;
      break;
    case P::BasedOn:
      entry->BasedOn = style_sheet_.FindNumber(value);
      break;
    case P::NextStyle:
      entry->Next = style_sheet_.FindNumber(value);
      break;
    case P::Additive:
      entry->Additive = true;
      break;
    case P::StyleHidden:
      entry->Hidden = true;
      break;
    default:
      break;
  }
}

TRDRTFErrorCode TRDRTFReader::ApplyUnicodeCharacter(int value) {
  const char16_t code = char16_t(std::uint16_t(value));  // \u-4064 is U+F020
  switch (state_->Destination) {
    case rtf_ds_Normal:
      if (!OnNewUnicodeText) return rtf_ec_OK;  // the fallback characters are read as text
      skip_count_ = unicode_skip_count_;
      return OutputUnicode(code);
    case rtf_ds_LevelText:
      skip_count_ = unicode_skip_count_;
      return OutputUnicode(code);
    case rtf_ds_ListText:
      skip_count_ = unicode_skip_count_;
      AppendListText(code);
      return rtf_ec_OK;
    case rtf_ds_PnTextAfter:
    case rtf_ds_PnTextBefore: {
      // Symbol-font markers are written as U+F0xx; their byte is the font's character.
      constexpr char16_t kSymbolFirst = 0xF000, kSymbolLast = 0xF0FF;
      const TRDRTFMarkerProperties* marker = CurrentMarker();
      if (marker && code >= kSymbolFirst && code <= kSymbolLast && marker->FontIndex >= 0 &&
          marker->FontIndex < font_table_.Count() &&
          SameText(font_table_[marker->FontIndex].Name, "Symbol")) {
        skip_count_ = unicode_skip_count_;
        return ParseChar(code & 0xFF);
      }
      break;
    }
    default:
      break;
  }
  if (unicode_skip_count_ < 1) return rtf_ec_OK;
  skip_count_ = unicode_skip_count_;
  return OutputUnicodeAsBytes(code);
}

#include "richtext/model/marker_item.h"

#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rtf_routines.h"
#include "richtext/base/symbol_fonts.h"
#include "richtext/base/unicode_html.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/html_image.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/marker_list.h"
#include "richtext/model/object_records.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rtf_picture.h"
#include "richtext/model/rtf_save_context.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext/styles/text_style.h"

namespace {

// A level's format text has arguments for the numbers of levels 0 .. 255.
constexpr int kMaxListLevel = 255;

bool DrawsImage(const TRDListLevel& level) {
  return level.ListType == rdlstImageList || level.ListType == rdlstImageListCounter ||
         (level.ListType == rdlstPicture && level.HasPicture());
}

// The level's font at the canvas' resolution: a printer's canvas has more pixels an inch
// than the screen the font's height is given for, and the text styles drawn after the
// marker take the canvas' resolution from its font.
void ApplyLevelFont(TRDCanvas& canvas, const TRDListLevel& level) {
  TRDFont font = level.ShownFont();
  font.Height = RDMulDiv(font.Height, canvas.Font.PixelsPerInch, std::max(font.PixelsPerInch, 1));
  font.PixelsPerInch = canvas.Font.PixelsPerInch;
  canvas.Font = font;
}

}  // namespace

TRDMarkerItemInfo::TRDMarkerItemInfo(TCustomRDData* rdData) : TRDRectItemInfo(rdData) {
  StyleNo = rdsListMarker;
}

std::unique_ptr<TRDMarkerItemInfo> TRDMarkerItemInfo::CreateMarker(TCustomRDData* rdData,
                                                                   int listNo, int level,
                                                                   int startFrom, bool reset) {
  auto marker = std::make_unique<TRDMarkerItemInfo>(rdData);
  marker->ListNo = listNo;
  marker->Level = level;
  marker->StartFrom = startFrom;
  marker->Reset = reset;
  return marker;
}

std::unique_ptr<TCustomRDItemInfo> TRDMarkerItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDMarkerItemInfo>(rdData);
}

const TRDListLevel* TRDMarkerItemInfo::GetLevelInfo(const TRDStyle* rdStyle) const {
  // A list number a document brings that the style sheet does not have shows nothing.
  if (!rdStyle || ListNo < 0 || ListNo >= rdStyle->ListStyles().Count() || Level < 0)
    return nullptr;
  const auto& levels = rdStyle->ListStyles()[ListNo].Levels;
  if (levels.empty()) return nullptr;
  return levels[size_t(std::min(Level, int(levels.size()) - 1))].get();
}

int TRDMarkerItemInfo::GetIndexInList(const TRDMarkerList* list) {
  if (!list) return -1;
  if (IndexInList >= 0 && IndexInList < list->Count() && list->Items(IndexInList) == this)
    return IndexInList;
  IndexInList = list->IndexOf(this);
  return IndexInList;
}

void TRDMarkerItemInfo::CalcDisplayString(const TRDStyle& rdStyle, const TRDMarkerList& list,
                                          int index) {
  const TRDListLevel* level = GetLevelInfo(&rdStyle);
  DisplayString.clear();
  if (!level) return;
  if (level->ListType == rdlstBullet) {
    DisplayString = level->FormatString;
    return;
  }
  if (!level->HasTextNumbering()) return;
  const auto& levels = rdStyle.ListStyles()[ListNo].Levels;
  auto levelAt = [&](int n) { return levels[size_t(std::min(n, int(levels.size()) - 1))].get(); };
  const bool legal = (level->Options & rdloLegalStyleNumbering) != 0;
  std::vector<std::string> args(size_t(std::clamp(Level + 1, 1, kMaxListLevel + 1)));
  if (Level < int(args.size())) args[size_t(Level)] = RDListNumberText(Counter, level->ListType);
  const TRDMarkerList* inList = &list;
  int at = index;
  const TRDMarkerItemInfo* current = this;
  while (current->Level > 0) {
    int parentIndex;
    const TRDMarkerList* parentList;
    if (!inList->FindParentMarker(at, current, parentIndex, parentList)) {
      for (int l = 0; l < current->Level && l < int(args.size()); ++l)
        args[size_t(l)] = RDListNumberText(levelAt(l)->StartFrom, levelAt(l)->ListType);
      break;
    }
    const TRDMarkerItemInfo* parent = parentList->Items(parentIndex);
    for (int l = std::max(parent->Level + 1, 0); l < current->Level && l < int(args.size()); ++l)
      args[size_t(l)] = RDListNumberText(levelAt(l)->StartFrom, levelAt(l)->ListType);
    if (parent->Level >= 0 && parent->Level < int(args.size())) {
      TRDListType type = levelAt(parent->Level)->ListType;
      if (legal && type != rdlstDecimal) type = rdlstDecimal;
      args[size_t(parent->Level)] = RDListNumberText(parent->Counter, type);
    }
    current = parent;
    inList = parentList;
    at = parentIndex;
  }
  DisplayString = RDFormatMarkerText(level->FormatString, args);
}

void TRDMarkerItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  if (const auto* s = dynamic_cast<const TRDMarkerItemInfo*>(&source)) {
    ListNo = s->ListNo;
    Level = s->Level;
    StartFrom = s->StartFrom;
    Reset = s->Reset;
    NoHTMLImageSize = s->NoHTMLImageSize;
  }
  TRDRectItemInfo::AssignProperties(source);
}

bool TRDMarkerItemInfo::QueryItemFlag(std::uint8_t code) const {
  return code == 4 || code == 5 || TRDRectItemInfo::QueryItemFlag(code);
}

bool TRDMarkerItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  if (code == 5) return true;
  if (code == 0) {
    const TRDListLevel* level = GetLevelInfo(rdStyle);
    return level && DrawsImage(*level);
  }
  return TRDRectItemInfo::QueryItemFlagEx(code, rdStyle);
}

int TRDMarkerItemInfo::GetImageWidth(const TRDStyle* rdStyle) const {
  const TRDListLevel* level = GetLevelInfo(rdStyle);
  if (!level) return 0;
  if (level->ListType == rdlstPicture) return level->HasPicture() ? level->Picture()->Width() : 0;
  if (level->ListType == rdlstImageList || level->ListType == rdlstImageListCounter)
    return level->ImageList ? level->ImageList->Width() : 0;
  return 0;
}

int TRDMarkerItemInfo::GetImageHeight(const TRDStyle* rdStyle) const {
  const TRDListLevel* level = GetLevelInfo(rdStyle);
  if (!level) return 0;
  if (level->ListType == rdlstPicture) return level->HasPicture() ? level->Picture()->Height() : 0;
  if (level->ListType == rdlstImageList || level->ListType == rdlstImageListCounter)
    return level->ImageList ? level->ImageList->Height() : 0;
  return 0;
}

int TRDMarkerItemInfo::CalcSize(TRDCanvas* canvas, const TRDStyle& rdStyle,
                                const TRDResolution* printing, bool minWidthOnly) const {
  const TRDListLevel* level = GetLevelInfo(&rdStyle);
  if (!level) {
    if (!minWidthOnly) MarkerWidth = MarkerHeight = MarkerLeft = MarkerDescent = 0;
    return 0;
  }
  auto scaleX = [&](int v) { return printing ? ScreenToDeviceX(v, *printing) : v; };
  auto scaleY = [&](int v) { return printing ? ScreenToDeviceY(v, *printing) : v; };
  int w = 0, h = 0, descent = 0;
  if (DrawsImage(*level) || level->ListType == rdlstPicture) {
    w = scaleX(GetImageWidth(&rdStyle));
    h = scaleY(GetImageHeight(&rdStyle));
  } else if (canvas) {
    ApplyLevelFont(*canvas, *level);
    canvas->CharacterExtra = 0;
    canvas->TextAlign = TA_LEFT;
    if (level->ListType == rdlstUnicodeBullet)
      w = canvas->TextWidthW(level->FormatStringW);
    else
      w = canvas->TextWidthA(DisplayString);
    TRDTextMetrics metrics;
    if (canvas->GetTextMetrics(metrics)) {
      h = metrics.Height;
      descent = metrics.Descent;
    }
  }
  int before = 0, after = w;
  if (level->MarkerAlignment == rdmaRight) {
    before = w;
    after = 0;
  } else if (level->MarkerAlignment == rdmaCenter) {
    after = w / 2;
    before = w - after;
  }
  const int indent = scaleX(level->FirstIndent + level->LeftIndent - level->MarkerIndent);
  if (minWidthOnly) return std::max(after, indent);
  after = std::max(after, indent);
  MarkerLeft = -before;
  MarkerWidth = before + after;
  MarkerHeight = h;
  MarkerDescent = descent;
  return MarkerWidth;
}

int TRDMarkerItemInfo::GetMinWidth(const TRDResolution*, TCustomRDData* rdData) const {
  TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
  return rdStyle ? CalcSize(nullptr, *rdStyle, nullptr, true) : 0;
}

void TRDMarkerItemInfo::AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int, int& width,
                                         int& height, int& descent) const {
  // The level's indents are screen pixels: on a printer's canvas they are scaled to it.
  TRDResolution resolution;
  GetResolutionInfo(resolution, canvas);
  CalcSize(&canvas, rdStyle, &resolution, false);
  width = MarkerWidth;
  height = MarkerHeight;
  descent = MarkerDescent;
}

void TRDMarkerItemInfo::Draw(TRDCanvas& canvas, int x, int y, const TRDStyle& rdStyle) const {
  const TRDListLevel* level = GetLevelInfo(&rdStyle);
  if (!level) return;
  switch (level->ListType) {
    case rdlstPicture:
      if (level->HasPicture()) canvas.Draw(x, y, *level->Picture());
      return;
    case rdlstImageList:
    case rdlstImageListCounter:
      if (level->ImageList)
        DrawImageListImage(canvas, *level->ImageList, ImageListIndex(*level), x, y, clNone);
      return;
    default:
      break;
  }
  ApplyLevelFont(canvas, *level);
  canvas.CharacterExtra = 0;
  canvas.TextAlign = TA_LEFT;
  canvas.ReadingDirection = rdbdUnspecified;  // a marker reads as its own text
  canvas.BrushStyle = bsClear;
  if (level->ListType == rdlstUnicodeBullet)
    canvas.TextOutW(x, y, level->FormatStringW);
  else
    canvas.TextOutA(x, y, DisplayString);
  canvas.BrushStyle = bsSolid;
}

void TRDMarkerItemInfo::Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState, TRDStyle& rdStyle,
                              const TRDDrawLineInfo& drawItem) const {
  if (ListNo < 0 || Level < 0) return;
  Draw(canvas, x + drawItem.XShift, y, rdStyle);
}

void TRDMarkerItemInfo::Print(TRDCanvas& canvas, int x, int y, int, TRDColorMode,
                              const TRDResolution&, TRDStyle& rdStyle,
                              const TRDDrawLineInfo* drawItem) const {
  if (ListNo < 0 || Level < 0) return;
  Draw(canvas, x + (drawItem ? drawItem->XShift : 0), y, rdStyle);
}

bool TRDMarkerItemInfo::PrintToBitmap(TBitmap& bitmap, const TRect& box, bool,
                                      const TRDDrawLineInfo*, int, TRDColorMode,
                                      TRDStyle& rdStyle) const {
  const TRDListLevel* level = GetLevelInfo(&rdStyle);
  if (!level || !DrawsImage(*level)) return false;
  if (level->ListType == rdlstPicture) {
    bitmap.Canvas().Draw(box.Left, box.Top, *level->Picture());
  } else if (level->ImageList) {
    level->ImageList->Draw(bitmap.Canvas(), box.Left, box.Top, ImageListIndex(*level));
  }
  return true;
}

void TRDMarkerItemInfo::MovingToUndoList(int itemNo, TCustomRDData* rdData) {
  TRDRectItemInfo::MovingToUndoList(itemNo, rdData);
  if (rdData) rdData->RemoveMarkerFromList(itemNo);
}

void TRDMarkerItemInfo::MovingFromUndoList(int itemNo, TCustomRDData* rdData) {
  TRDRectItemInfo::MovingFromUndoList(itemNo, rdData);
  if (rdData) rdData->AddMarkerToList(itemNo);
}

void TRDMarkerItemInfo::MarkStylesInUse(TRDStyleUsage& usage) const {
  TRDRectItemInfo::MarkStylesInUse(usage);
  if (ListNo >= 0 && ListNo < usage.UsedListStyles.Count())
    usage.UsedListStyles.SetValue(ListNo, 1);
}

void TRDMarkerItemInfo::UpdateStyles(const TRDStyleUsage& usage) {
  TRDRectItemInfo::UpdateStyles(usage);
  Renumber(ListNo, usage.UsedListStyles);
}

bool TRDMarkerItemInfo::SetExtraIntProperty(TRDExtraItemProperty prop, int value) {
  return SetNoHTMLImageSize(prop, value) || TRDRectItemInfo::SetExtraIntProperty(prop, value);
}

bool TRDMarkerItemInfo::GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const {
  return GetNoHTMLImageSize(prop, value) || TRDRectItemInfo::GetExtraIntProperty(prop, value);
}

int TRDMarkerItemInfo::GetRDFExtraPropertyCount() const {
  return TRDRectItemInfo::GetRDFExtraPropertyCount() + NoHTMLImageSizeLineCount();
}

void TRDMarkerItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TRDRectItemInfo::SaveRDFExtraProperties(stream);
  SaveNoHTMLImageSize(stream);
}

int TRDMarkerItemInfo::BoundedLevel(int level) {
  return std::clamp(level, -1, kMaxListLevel);
}

std::string TRDMarkerItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return std::to_string(ListNo) + " " + std::to_string(Level) + " " + std::to_string(StartFrom) +
         " " + (Reset ? "1" : "0");
}

bool TRDMarkerItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData*) {
  int reset = 0;
  if (!RDFReadInteger(rest, ListNo) || !RDFReadInteger(rest, Level) ||
      !RDFReadInteger(rest, StartFrom) || !RDFReadInteger(rest, reset))
    return false;
  Level = BoundedLevel(Level);
  Reset = reset != 0;
  return true;
}

void TRDMarkerItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int,
                                const std::string& name, bool) const {
  // A marker always starts its paragraph, also inside a copied selection.
  WriteRDFObjectRecord(stream, *this, rdData, name, "", false, false, nullptr);
}

bool TRDMarkerItemInfo::ReadRDFLine(const std::string& line, TCustomRDData*, int, int lineNo, int,
                                    std::string& name, int&, int&) {
  ReadRDFNameOrExtraProperty(*this, line, lineNo, name);
  return true;
}

namespace {

const std::string& LevelFontName(const TRDListLevel& level) {
  static const std::string kNone;
  return level.Font() ? level.Font()->Name : kNone;
}

// Whether the level's marker is text, which its font may show as pictures.
bool IsTextMarker(const TRDListLevel& level) {
  return level.ListType != rdlstPicture && level.ListType != rdlstImageList &&
         level.ListType != rdlstImageListCounter;
}

// The marker's text as the Unicode characters it shows: a picture font's codes, and
// OpenSymbol's, become those characters (ExportedFontText, ShownBulletText).
std::u16string ShownMarkerText(const TRDListLevel& level, const std::string& displayString,
                               int codePage) {
  const std::string& fontName = LevelFontName(level);
  if (level.ListType == rdlstUnicodeBullet) return ShownBulletText(fontName, level.FormatStringW);
  return ExportedFontText(fontName, codePage, displayString);
}

// Text in codePage, where characters the code page does not have are written as '*', not
// as '?'.
std::string StarredAnsi(int codePage, std::u16string_view text) {
  std::string s;
  for (char16_t c : text) {
    std::string one = RawUnicodeToAnsi(codePage, WideStringToRawUnicode(std::u16string(1, c)));
    s += (one == "?" && c != u'?') ? std::string("*") : one;
  }
  return s;
}

}  // namespace

std::string TRDMarkerItemInfo::AsText(int, TCustomRDData* rdData) const {
  const TRDListLevel* level = GetLevelInfo(rdData ? rdData->GetRDStyle() : nullptr);
  if (!level) return "";
  if (!IsTextMarker(*level)) return "* ";
  const int codePage = rdData ? rdData->GetDefaultCodePage() : 1252;
  const std::string& fontName = LevelFontName(*level);
  const bool symbol = SymbolFontOf(fontName) == TRDSymbolFont::Symbol;
  if (level->ListType == rdlstUnicodeBullet || (!symbol && IsExportMappedFont(fontName)))
    return StarredAnsi(codePage, ShownMarkerText(*level, DisplayString, codePage)) + " ";
  // Symbol's bullets and arrows in plain characters.
  std::string s = DisplayString;
  if (symbol) {
    for (char& c : s) {
      const auto code = static_cast<unsigned char>(c);
      if ((code >= 167 && code <= 170) || code == 183 || code == 215 || code == 224) c = '*';
    }
    static constexpr struct {
      const char* from;
      const char* to;
    } kArrows[] = {{"\xDB", "<=>"}, {"\xDC", "<="}, {"\xDE", "=>"},
                   {"\xAB", "<->"}, {"\xAC", "<-"}, {"\xAE", "->"}};
    for (const auto& arrow : kArrows) ReplaceAllStr(s, arrow.from, arrow.to);
  }
  return s + " ";
}

std::string TRDMarkerItemInfo::AsUnicodeText(int lineWidth, TCustomRDData* rdData) const {
  const TRDListLevel* level = GetLevelInfo(rdData ? rdData->GetRDStyle() : nullptr);
  if (level && IsTextMarker(*level)) {
    const int codePage = rdData ? rdData->GetDefaultCodePage() : 1252;
    return WideStringToRawUnicode(ShownMarkerText(*level, DisplayString, codePage) + u" ");
  }
  return TRDRectItemInfo::AsUnicodeText(lineWidth, rdData);
}

bool TRDMarkerItemInfo::GetListMarkerInfo(TRDListMarkerInfo& info) const {
  info.ListNo = ListNo;
  info.Level = Level;
  info.Counter = Counter;
  info.Reset = Reset;
  info.StartFrom = StartFrom;
  return true;
}

int TRDMarkerItemInfo::ImageListIndex(const TRDListLevel& level) const {
  return level.ImageIndex + (level.ListType == rdlstImageListCounter ? Counter - 1 : 0);
}

// --- export ----------------------------------------------------------------------------------

namespace {

// RTF has nine list levels.
constexpr int kRTFLastLevel = 8;

}  // namespace

void TRDMarkerItemInfo::SaveRTF(TStream& stream, TCustomRDData* rdData, int,
                                TRDRTFSaveContext& context) const {
  const TRDListLevel* level = GetLevelInfo(rdData ? rdData->GetRDStyle() : nullptr);
  if (!level) return;
  switch (level->ListType) {
    case rdlstPicture:
      if (level->HasPicture())
        StreamWriteString(stream, RTFPictureGroup(*level->Picture(), context.Options));
      return;
    case rdlstImageList:
    case rdlstImageListCounter:
      if (level->ImageList)
        StreamWriteString(stream, RTFImageListPictureGroup(
                                      *level->ImageList, ImageListIndex(*level), context.Options));
      return;
    default:
      break;
  }
  std::string out = "{\\listtext\\pard\\plain" + RTFFontProperties(level->ShownFont(), context);
  const int codePage = RTFListLevelCodePage(*level, *rdData->GetRDStyle());
  const bool writeANSI = (context.Options & rdrtfDuplicateUnicode) != 0;
  if (level->ListType == rdlstUnicodeBullet)
    AppendRTFUnicodeText(out, WideStringToRawUnicode(level->FormatStringW), codePage, false,
                         writeANSI);
  else
    AppendRTFCodePageText(out, DisplayString, codePage, writeANSI);
  out += "\\tab}\\ls" + std::to_string(context.ListOverrideFor(*this, ListNo)) + "\\ilvl" +
         std::to_string(std::clamp(Level, 0, kRTFLastLevel)) + " ";
  StreamWriteString(stream, out);
}

std::string TRDMarkerItemInfo::SaveLevelImage(const TRDListLevel& level, TCustomRDData& data,
                                              TRDHTMLSaveContext& context) const {
  if (level.ListType == rdlstPicture && level.HasPicture())
    return SaveSharedImageForHTML(data, context, *level.Picture());
  const int index = ImageListIndex(level);
  if ((level.ListType == rdlstImageList || level.ListType == rdlstImageListCounter) &&
      level.ImageList && index >= 0 && index < level.ImageList->Count())
    return SaveImageListImageForHTML(data, context, *level.ImageList, index);
  return "";
}

std::string TRDMarkerItemInfo::TextHTML(const TRDListLevel& level, TCustomRDData& data,
                                        const TRDHTMLSaveContext& context) const {
  const bool utf8 = context.SaveOptions & rdsoUTF8;
  std::string out;
  if (level.ListType == rdlstUnicodeBullet) {
    const std::string raw =
        WideStringToRawUnicode(ShownMarkerText(level, DisplayString, data.GetDefaultCodePage()));
    const bool xml = context.SaveOptions & rdsoXHTML;
    if (utf8)
      RawUnicodeToHTMLUTF8(raw, false, out, xml);
    else
      RawUnicodeToHTMLEntities(raw, false, out, xml);
    return out;
  }
  switch (SymbolFontOf(level.ShownFont().Name)) {
    case TRDSymbolFont::Symbol:
      return SymbolToHTML(DisplayString, context.SaveOptions);
    case TRDSymbolFont::Wingdings:
      for (char c : DisplayString)
        out += "&#" + std::to_string(int(WingdingsToUnicode(static_cast<unsigned char>(c)))) + ";";
      return out;
    default:
      out = EscapeHTML(DisplayString, false, context.SaveOptions);
      return utf8 ? AnsiToUTF8(data.GetDefaultCodePage(), out) : out;
  }
}

void TRDMarkerItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                                 TRDHTMLSaveContext& context) const {
  if (!rdData || !(context.SaveOptions & rdsoMarkersInline)) return;
  TRDStyle* rdStyle = rdData->GetRDStyle();
  const TRDListLevel* level = GetLevelInfo(rdStyle);
  if (!level) return;
  // The marker's box is as wide as its indent when the text starts at the marker.
  const int boxWidth = level->LeftIndent + level->FirstIndent - level->MarkerIndent;
  const std::string boxCSS = "width: " + std::to_string(boxWidth) + "px;";
  const bool image = level->ListType == rdlstPicture || level->ListType == rdlstImageList ||
                     level->ListType == rdlstImageListCounter;
  if (image) {
    const std::string location = SaveLevelImage(*level, *rdData, context);
    if (location.empty()) return;
    std::vector<std::string> attrs;
    if (!NoHTMLImageSize)
      attrs.push_back(HTMLSizeAttrs(GetImageWidth(rdStyle), GetImageHeight(rdStyle), context));
    std::string tag = HTMLImageTag(JoinHTMLAttrs(attrs), location, context);
    if (level->ListType != rdlstPicture && context.UseCSS &&
        level->MarkerIndent >= level->LeftIndent)
      tag = "<span style=" + QuotedHTMLAttr(boxCSS) + ">" + tag + "</span>";
    StreamWriteString(stream, tag);
    return;
  }
  const TRDMarkerFont& font = level->ShownFont();
  std::string out;
  if (context.UseCSS) {
    std::string css = FontToCSS(font, true);
    if (level->LeftIndent <= level->MarkerIndent) css += " " + boxCSS;
    out =
        "<span style=" + QuotedHTMLAttr(css) + ">" + TextHTML(*level, *rdData, context) + "</span>";
  } else {
    TFontInfo markerStyle(nullptr);
    markerStyle.AssignFont(font);
    const TFontInfo& base = rdStyle->TextStyles().Items(0);
    out = FontInfoOpenTags(markerStyle, base, true, context.SaveOptions) +
          TextHTML(*level, *rdData, context) + FontInfoCloseTags(markerStyle, base, true);
  }
  StreamWriteString(stream, out);
}

std::string TRDMarkerItemInfo::GetHTMLListItemStyle(TCustomRDData* rdData,
                                                    TRDHTMLSaveContext& context) const {
  if (!rdData) return "";
  TRDStyle* rdStyle = rdData->GetRDStyle();
  std::string css;
  if (const TRDListLevel* level = GetLevelInfo(rdStyle)) {
    const std::string location = SaveLevelImage(*level, *rdData, context);
    if (!location.empty())
      css = "list-style-image: url(" +
            CSSQuotedString(FilePathToHTML(location, context.SaveOptions, context.CodePage)) + ")";
  }
  if (rdStyle && ParaNo >= 0 && ParaNo < rdStyle->ParaStyles().Count() &&
      rdStyle->ParaStyles().Items(ParaNo).LeftIndent != 0)
    css += (css.empty() ? "" : "; ") + std::string("margin-left: 0");
  return css;
}

#include "richtext/formats/rtf_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/text/multibyte.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rtf_routines.h"
#include "richtext/base/text_routines.h"
#include "richtext/layout/export_links.h"
#include "richtext/layout/export_range.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"

namespace {

const char* const kCRLF = "\r\n";
constexpr int kRTFListLevels = 9;
// A level text and its numbers are prefixed by a one-byte length.
constexpr size_t kMaxLevelTextLength = 255;
constexpr char kHex[] = "0123456789abcdef";

// The 17 entries every colour table starts with; the first is the automatic colour.
constexpr TColor kFixedColors[] = {clWindowText, clBlack,  clBlue,  clAqua, clLime,  clFuchsia,
                                   clRed,        clYellow, clWhite, clNavy, clTeal,  clGreen,
                                   clPurple,     clMaroon, clOlive, clGray, clSilver};

void Write(TStream& stream, std::string_view s) {
  if (!s.empty()) stream.WriteBuffer(s.data(), int64_t(s.size()));
}

std::string ByteHex(size_t value) {
  return std::string("\\'") + kHex[(value >> 4) & 15] + kHex[value & 15];
}

const TRDExportHooks& Hooks(TCustomRDData& data) {
  return data.GetAbsoluteRootData()->ExportHooks;
}

std::string ExtraRTF(TCustomRDData& data, TRDRTFSaveArea area, int index) {
  const TRDExportHooks& hooks = Hooks(data);
  return hooks.OnSaveRTFExtra ? hooks.OnSaveRTFExtra(area, index, -1) : std::string();
}

bool IsTextWrittenAsRTF(const TCustomRDFontInfo& style) {
  return (style.Options & rdteoRTFCode) || !(style.Options & rdteoHTMLCode);
}

bool HasLanguage(int language) {
  return language != 0 && language != 1024;
}

std::string BiDiWord(TRDBiDiMode mode, const char* ltr, const char* rtl) {
  if (mode == rdbdLeftToRight) return ltr;
  if (mode == rdbdRightToLeft) return rtl;
  return "";
}

const TRDListLevel* MarkerLevel(const TRDStyle& rdStyle, const TRDListMarkerInfo& marker) {
  if (marker.ListNo < 0 || marker.ListNo >= rdStyle.ListStyles().Count()) return nullptr;
  const TRDListInfo& list = rdStyle.ListStyles().Items(marker.ListNo);
  if (list.Levels.empty()) return nullptr;
  const size_t level = size_t(std::clamp(marker.Level, 0, int(list.Levels.size()) - 1));
  return list.Levels[level].get();
}

// ---- tables ---------------------------------------------------------------------------

void SeedColorTable(TRDColorList& colors) {
  colors.Clear();
  for (TColor color : kFixedColors) colors.AddValue(color);
}

void CollectStyleColors(const TRDStyle& rdStyle, TRDColorList& colors) {
  const TFontInfos& textStyles = rdStyle.TextStyles();
  for (int i = 0; i < textStyles.Count(); ++i) {
    const TFontInfo& style = textStyles.Items(i);
    colors.AddUniqueColor(style.Color);
    colors.AddUniqueColor(style.BackColor);
    colors.AddUniqueColor(style.HoverColor);
    colors.AddUniqueColor(style.HoverBackColor);
  }
  const TParaInfos& paraStyles = rdStyle.ParaStyles();
  for (int i = 0; i < paraStyles.Count(); ++i) {
    const TParaInfo& para = paraStyles.Items(i);
    if (para.Border.Style != rdbNone) colors.AddUniqueColor(para.Border.Color);
    colors.AddUniqueColor(para.Background.Color);
  }
  const TRDListInfos& lists = rdStyle.ListStyles();
  for (int i = 0; i < lists.Count(); ++i)
    for (const auto& level : lists.Items(i).Levels)
      if (level->UsesFont()) colors.AddUniqueColor(level->ShownFont().Color);
}

void BuildFontTable(const TRDStyle& rdStyle, TRDRTFSaveContext& context) {
  const TFontInfos& textStyles = rdStyle.TextStyles();
  context.StyleToFont.assign(size_t(textStyles.Count()), 0);
  for (int i = 0; i < textStyles.Count(); ++i) {
    const TFontInfo& style = textStyles.Items(i);
    context.StyleToFont[size_t(i)] =
        context.FontTable.AddUnique(style.FontName, context.FileCharset(style.Charset));
  }
  const TRDListInfos& lists = rdStyle.ListStyles();
  for (int i = 0; i < lists.Count(); ++i)
    for (const auto& level : lists.Items(i).Levels)
      if (level->UsesFont())
        context.FontTable.AddUnique(level->ShownFont().Name,
                                    context.FileCharset(level->ShownFont().Charset));
}

// ---- style properties -----------------------------------------------------------------

std::string CharProperties(TCustomRDData& data, const TRDStyle& rdStyle, int styleNo,
                           const TRDRTFSaveContext& context) {
  const TFontInfo& style = rdStyle.TextStyles().Items(styleNo);
  const int fontNo =
      styleNo >= 0 && size_t(styleNo) < context.StyleToFont.size()
          ? context.StyleToFont[size_t(styleNo)]
          : std::max(context.FontTable.Find(style.FontName, context.FileCharset(style.Charset)), 0);
  std::string out = "\\f" + std::to_string(fontNo);
  if (style.Style & fsBold) out += "\\b";
  if (style.Style & fsItalic) out += "\\i";
  if (style.Style & fsUnderline) out += "\\ul";
  if (style.Style & fsStrikeOut) out += "\\strike";
  if (style.VShift < 0) out += "\\sub";
  if (style.VShift > 0) out += "\\super";
  if (style.CharScale != 100) out += "\\charscalex" + std::to_string(style.CharScale);
  if (style.CharSpacing != 0) out += "\\expndtw" + std::to_string(context.Twips(style.CharSpacing));
  if (style.StyleEx & rdfsAllCaps) out += "\\caps";
  out += BiDiWord(style.BiDiMode, "\\ltrch", "\\rtlch");
  // Charsets compare as written: the default charset is written as its code page's own, and
  // a reader gives a style the charset it reads.
  const int language = CharsetToLanguage(style.Charset);
  if (style.Charset != DEFAULT_CHARSET &&
      context.FileCharset(style.Charset) !=
          context.FileCharset(rdStyle.TextStyles().Items(0).Charset) &&
      HasLanguage(language))
    out += "\\lang" + std::to_string(language);
  out += "\\fs" + std::to_string(style.Size * 2 * (style.VShift != 0 ? 2 : 1));
  if (style.BackColor != clNone)
    out += "\\chcbpat" + std::to_string(context.ColorIndex(style.BackColor));
  if (style.Color != clWindowText) out += "\\cf" + std::to_string(context.ColorIndex(style.Color));
  out += ExtraRTF(data, rd_rtfs_TextStyle, styleNo);
  return out + " ";
}

const char* BorderKind(TRDBorderStyle style, bool mirrored) {
  switch (style) {
    case rdbDouble:
      return "db";
    case rdbTriple:
      return "triple";
    case rdbThickInside:
      return mirrored ? "tnthmg" : "thtnmg";
    case rdbThickOutside:
      return mirrored ? "thtnmg" : "tnthmg";
    default:
      return "s";
  }
}

std::string BorderProperties(const TRDBorder& border, const TRDRTFSaveContext& context) {
  if (border.Style == rdbNone || border.Color == clNone) return "";
  const bool thick = border.Style == rdbThickInside || border.Style == rdbThickOutside;
  const std::string tail = "\\brdrcf" + std::to_string(context.ColorIndex(border.Color)) +
                           "\\brdrw" +
                           std::to_string(context.Twips(border.Width) * (thick ? 2 : 1));
  const std::string plain = std::string("\\brdr") + BorderKind(border.Style, false) + tail;
  const std::string mirrored = std::string("\\brdr") + BorderKind(border.Style, true) + tail;
  std::string out = "\\brdrbtw" + plain;
  const TRDBooleanRect& visible = border.VisibleBorders;
  const TRDRect& offsets = border.BorderOffsets;
  if (visible.Left) out += "\\brdrl\\brsp" + std::to_string(context.Twips(offsets.Left)) + plain;
  if (visible.Top) out += "\\brdrt\\brsp" + std::to_string(context.Twips(offsets.Top)) + plain;
  if (visible.Right)
    out += "\\brdrr\\brsp" + std::to_string(context.Twips(offsets.Right)) + mirrored;
  if (visible.Bottom)
    out += "\\brdrb\\brsp" + std::to_string(context.Twips(offsets.Bottom)) + mirrored;
  return out;
}

std::string TabLeader(const std::string& leader) {
  if (leader.empty()) return "";
  switch (leader[0]) {
    case '-':
      return "\\tlhyph";
    case '=':
      return "\\tleq";
    case '_':
      return "\\tlul";
    case '\xB7':
      return "\\tlmdot";
    default:
      return "\\tldot";
  }
}

const char* AlignmentLetter(TRDAlignment alignment) {
  switch (alignment) {
    case rdaRight:
      return "r";
    case rdaCenter:
      return "c";
    case rdaJustify:
      return "j";
    default:
      return "l";
  }
}

// inStyleSheet leaves out the table nesting, which belongs to paragraphs, not styles.
std::string ParaProperties(TCustomRDData& data, const TRDStyle& rdStyle, int paraNo,
                           const TRDListLevel* markerLevel, bool inStyleSheet,
                           const TRDRTFSaveContext& context) {
  const TParaInfo& para = rdStyle.ParaStyles().Items(paraNo);
  std::string out;
  if (para.LineSpacingType == rdlsPercent && para.LineSpacing >= 101)
    out += "\\sl" + std::to_string(para.LineSpacing * 240 / 100) + "\\slmult1";
  if (para.Options & rdpaoKeepLinesTogether) out += "\\keep";
  if (para.Options & rdpaoKeepWithNext) out += "\\keepn";
  int listTab = -1;
  if (markerLevel) {
    listTab = markerLevel->FirstIndent + markerLevel->LeftIndent;
    out += "\\li" + std::to_string(context.Twips(markerLevel->LeftIndent)) + "\\fi" +
           std::to_string(context.Twips(markerLevel->MarkerIndent - markerLevel->LeftIndent)) +
           "\\jclisttab\\tx" + std::to_string(context.Twips(listTab));
  } else {
    out += "\\fi" + std::to_string(context.Twips(para.FirstIndent)) + "\\li" +
           std::to_string(context.Twips(para.LeftIndent));
  }
  for (int i = 0; i < para.Tabs.Count(); ++i) {
    const TRDTabInfo& tab = para.Tabs.Items(i);
    if (tab.Position <= listTab) continue;
    if (tab.Align == rdtaRight) out += "\\tqr";
    if (tab.Align == rdtaCenter) out += "\\tqc";
    out += TabLeader(tab.Leader) + "\\tx" + std::to_string(context.Twips(tab.Position));
  }
  out += std::string("\\q") + AlignmentLetter(para.Alignment) + "\\ri" +
         std::to_string(context.Twips(para.RightIndent)) + "\\sb" +
         std::to_string(context.Twips(para.SpaceBefore)) + "\\sa" +
         std::to_string(context.Twips(para.SpaceAfter));
  out += BiDiWord(para.BiDiMode, "\\ltrpar", "\\rtlpar");
  if (para.Background.Color != clNone)
    out += "\\cbpat" + std::to_string(context.ColorIndex(para.Background.Color));
  out += BorderProperties(para.Border, context);
  if (!inStyleSheet && context.Level >= 1) {
    out += "\\itap" + std::to_string(context.Level);
    if (context.Level == 1) out += "\\intbl";
  }
  out += ExtraRTF(data, rd_rtfs_ParaStyle, paraNo);
  return out + " ";
}

// ---- header ---------------------------------------------------------------------------

void WriteFontTable(TStream& stream, const TRDRTFFontTable& fonts) {
  std::string out = "{\\fonttbl";
  for (int i = 0; i < fonts.Count(); ++i)
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(fonts[i]->Charset) +
           " " + RTFEscape(fonts[i]->FontName, false, false) + ";}";
  Write(stream, out + "}");
}

void WriteColorTable(TStream& stream, const TRDColorList& colors) {
  std::string out = "{\\colortbl;";
  for (int i = 1; i < colors.Count(); ++i) {
    const TColor rgb = ColorToRGB(colors[i]);
    out += "\\red" + std::to_string(GetRValue(rgb)) + "\\green" + std::to_string(GetGValue(rgb)) +
           "\\blue" + std::to_string(GetBValue(rgb)) + ";";
  }
  Write(stream, out + "}");
}

void WriteStyleSheet(TStream& stream, TCustomRDData& data, const TRDStyle& rdStyle,
                     const TRDRTFSaveContext& context) {
  std::string out = "{\\stylesheet";
  const TParaInfos& paraStyles = rdStyle.ParaStyles();
  for (int i = 0; i < paraStyles.Count(); ++i) {
    const TParaInfo& para = paraStyles.Items(i);
    if (!para.Standard()) continue;
    out += "{\\s" + std::to_string(i) + ParaProperties(data, rdStyle, i, nullptr, true, context) +
           RTFEscape(para.StyleName(), false, false) + ";}";
  }
  const TFontInfos& textStyles = rdStyle.TextStyles();
  for (int i = 0; i < textStyles.Count(); ++i) {
    const TFontInfo& style = textStyles.Items(i);
    if (!style.Standard()) continue;
    out += "{\\*\\cs" + std::to_string(paraStyles.Count() + i) +
           CharProperties(data, rdStyle, i, context) + RTFEscape(style.StyleName(), false, false) +
           ";}";
  }
  Write(stream, out + "}");
}

// The characters of a level text, which RTF counts in characters. Text of a single-byte
// code page goes byte by byte; Unicode bullets and text of a multi-byte code page, whose
// bytes alone do not say where a character ends, go as UTF-16 units written as Unicode.
class LevelChars {
 public:
  LevelChars(std::string_view ansi, int codePage, bool writeANSI)
      : unicode_(IsMultiByteCodePage(codePage)), code_page_(codePage), write_ansi_(writeANSI) {
    if (unicode_)
      units_ = RawUnicodeToWideString(AnsiToRawUnicode(codePage, ansi));
    else
      for (char c : ansi) units_.push_back(char16_t(std::uint8_t(c)));
  }
  LevelChars(std::u16string units, int codePage, bool writeANSI)
      : units_(std::move(units)), unicode_(true), code_page_(codePage), write_ansi_(writeANSI) {}

  const std::u16string& Units() const { return units_; }
  std::string RTF(char16_t unit) const {
    if (!unicode_) return RTFEscape(std::string(1, char(unit)), false, false);
    return RTFUnicodeText(WideStringToRawUnicode(std::u16string(1, unit)), code_page_, false,
                          write_ansi_);
  }

 private:
  std::u16string units_;
  bool unicode_;
  int code_page_;
  bool write_ansi_;
};

// A bullet: its characters after their count.
std::string CountedLevelText(const LevelChars& chars) {
  const size_t length = std::min(chars.Units().size(), kMaxLevelTextLength);
  std::string text = ByteHex(length);
  for (size_t i = 0; i < length; ++i) text += chars.RTF(chars.Units()[i]);
  return text;
}

// The pieces of a numbered level's format text: literal text, and placeholders of the
// level numbers 0..8 ("%s" takes the next one, "%N:s" level N).
std::string NumberedLevelText(const LevelChars& chars, std::string& numbers) {
  const std::u16string& format = chars.Units();
  std::string text;
  size_t length = 0;
  int next = 0;
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  for (size_t i = 0; i < format.size(); ++i) {
    int placeholder = -1;
    if (format[i] == u'%' && i + 1 < format.size()) {
      if (format[i + 1] == u'%') {
        text += '%';
        ++length;
        ++i;
        continue;
      }
      if (format[i + 1] == u's') {
        placeholder = next++;
        i += 1;
      } else if (isDigit(format[i + 1]) && i + 3 < format.size() && format[i + 2] == u':' &&
                 format[i + 3] == u's') {
        placeholder = format[i + 1] - u'0';
        next = placeholder + 1;
        i += 3;
      }
    }
    if (placeholder >= 0) {
      if (placeholder >= kRTFListLevels || length >= kMaxLevelTextLength) continue;
      text += ByteHex(size_t(placeholder));
      ++length;
      numbers += ByteHex(length);
      continue;
    }
    if (length >= kMaxLevelTextLength) continue;
    text += chars.RTF(format[i]);
    ++length;
  }
  return ByteHex(length) + text;
}

std::string LevelText(const TRDListLevel& level, int codePage, std::string& numbers,
                      const TRDRTFSaveContext& context) {
  const bool writeANSI = (context.Options & rdrtfDuplicateUnicode) != 0;
  switch (level.ListType) {
    case rdlstBullet:
      return CountedLevelText(LevelChars(level.FormatString, codePage, writeANSI));
    case rdlstUnicodeBullet:
      return CountedLevelText(LevelChars(level.FormatStringW, codePage, writeANSI));
    case rdlstPicture:
    case rdlstImageList:
      return "\\'00";
    default:
      return NumberedLevelText(LevelChars(level.FormatString, codePage, writeANSI), numbers);
  }
}

int LevelNumberFormat(TRDListType type) {
  switch (type) {
    case rdlstDecimal:
    case rdlstImageListCounter:
      return 0;
    case rdlstUpperRoman:
      return 1;
    case rdlstLowerRoman:
      return 2;
    case rdlstUpperAlpha:
      return 3;
    case rdlstLowerAlpha:
      return 4;
    default:
      return 23;
  }
}

int MarkerJustification(TRDMarkerAlignment alignment) {
  switch (alignment) {
    case rdmaRight:
      return 2;
    case rdmaCenter:
      return 1;
    default:
      return 0;
  }
}

std::string ListLevelRTF(const TRDListLevel& level, int codePage,
                         const TRDRTFSaveContext& context) {
  const int format = LevelNumberFormat(level.ListType);
  std::string out = "{\\listlevel\\levelnfc" + std::to_string(format) + "\\leveljc" +
                    std::to_string(MarkerJustification(level.MarkerAlignment)) + "\\li" +
                    std::to_string(context.Twips(level.LeftIndent)) + "\\fi" +
                    std::to_string(context.Twips(level.MarkerIndent - level.LeftIndent)) +
                    "\\jclisttab\\tx" +
                    std::to_string(context.Twips(level.FirstIndent + level.LeftIndent));
  if (format != 23) out += "\\levelstartat" + std::to_string(level.StartFrom);
  if (level.Options & rdloLegalStyleNumbering) out += "\\levellegal1";
  if (!(level.Options & rdloLevelReset)) out += "\\levelnorestart1";
  std::string numbers;
  const std::string text = LevelText(level, codePage, numbers, context);
  out += "{\\leveltext" + text + ";}{\\levelnumbers" + numbers + ";}";
  // The marker's size too: a reader takes a level without one at its text's size.
  if (level.UsesFont()) out += RTFFontProperties(level.ShownFont(), context);
  return out + "}" + kCRLF;
}

// A marker with its own override: one that restarts the numbers of a numbered level (an
// image-list counter counts through pictures, which RTF does not number).
bool RestartsNumbering(const TRDStyle& rdStyle, const TRDListMarkerInfo& marker) {
  const TRDListLevel* level = MarkerLevel(rdStyle, marker);
  return marker.Reset && level && level->HasNumbering() && level->ListType != rdlstImageListCounter;
}

struct MarkerRef {
  const TCustomRDItemInfo* Item;
  TRDListMarkerInfo Info;
};

// Every list marker of the document in document order, those in table cells (at any
// depth) included: a marker in a cell that restarts its numbering needs its override too.
void CollectMarkers(const TCustomRDData& data, std::vector<MarkerRef>& markers) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    TRDListMarkerInfo info;
    if (item->GetListMarkerInfo(info)) markers.push_back({item, info});
    for (int d = 0; d < item->GetSubDocCount(); ++d)
      if (const TCustomRDData* sub = item->GetSubDoc(d)) CollectMarkers(*sub, markers);
  }
}

std::vector<MarkerRef> DocumentMarkers(const TCustomRDData& data) {
  std::vector<MarkerRef> markers;
  CollectMarkers(data, markers);
  return markers;
}

void WriteListTables(TStream& stream, const std::vector<MarkerRef>& markers,
                     const TRDStyle& rdStyle, TRDRTFSaveContext& context) {
  const TRDListInfos& lists = rdStyle.ListStyles();
  std::vector<int> listIds;
  int nextId = 0;
  std::string out = "{\\*\\listtable";
  for (int i = 0; i < lists.Count(); ++i) {
    const TRDListInfo& list = lists.Items(i);
    const int templateId = ++nextId;
    // A list without levels still needs one level to be valid RTF: an empty bullet.
    TRDListLevel emptyLevel;
    emptyLevel.FormatString.clear();
    const int levelCount = list.Levels.size() <= 1 ? 1 : kRTFListLevels;
    out += "{\\list\\listtemplateid" + std::to_string(templateId) +
           (levelCount == 1 ? "\\listsimple1" : "") + kCRLF;
    for (int l = 0; l < levelCount; ++l) {
      const TRDListLevel& level =
          list.Levels.empty() ? emptyLevel
                              : *list.Levels[size_t(std::min(l, int(list.Levels.size()) - 1))];
      out += ListLevelRTF(level, RTFListLevelCodePage(level, rdStyle), context);
    }
    listIds.push_back(++nextId);
    out += "\\listid" + std::to_string(listIds.back()) + "}" + kCRLF;
  }
  out += "}";
  // Overrides: one per list, then one per marker restarting its level's numbering.
  out += std::string("{\\*\\listoverridetable") + kCRLF;
  int overrideNo = 0;
  context.ListOverrideNo.assign(size_t(lists.Count()), 0);
  context.RestartOverrideNo.clear();
  for (int i = 0; i < lists.Count(); ++i) {
    const std::string listId = std::to_string(listIds[size_t(i)]);
    context.ListOverrideNo[size_t(i)] = ++overrideNo;
    out += "{\\listoverride\\listid" + listId + "\\listoverridecount0\\ls" +
           std::to_string(overrideNo) + "}";
    for (const MarkerRef& marker : markers) {
      if (marker.Info.ListNo != i || !RestartsNumbering(rdStyle, marker.Info)) continue;
      const int level = std::clamp(marker.Info.Level, 0, kRTFListLevels - 1);
      out += "{\\listoverride\\listid" + listId + "\\listoverridecount" + std::to_string(level + 1);
      for (int l = 0; l < level; ++l) out += "{\\lfolevel}";
      out += "{\\lfolevel\\listoverridestartat\\levelstartat" +
             std::to_string(marker.Info.StartFrom) + "}";
      context.RestartOverrideNo[marker.Item] = ++overrideNo;
      out += "\\ls" + std::to_string(overrideNo) + "}";
    }
  }
  Write(stream, out + "}" + kCRLF);
}

double TwipsPerPixel(int pixelsPerInch) {
  const int ppi = pixelsPerInch >= 1 ? pixelsPerInch : GetScreenLogPixelsY();
  return 1440.0 / std::max(ppi, 1);
}

// ---- body -----------------------------------------------------------------------------

std::string BookmarkRTF(const TRDCPInfo& checkpoint, TRDRTFSaveContext& context) {
  const std::string name = checkpoint.Name.empty()
                               ? "RichDocCheckpoint" + std::to_string(context.CheckpointNo)
                               : RTFEscape(checkpoint.Name, false, false);
  ++context.CheckpointNo;
  return "{\\*\\bkmkstart " + name + "}{\\*\\bkmkend " + name + "}";
}

// The body of a document: paragraph by paragraph, a text item's runs with the
// character properties that change, and the other items writing their own RTF.
class RTFBodyWriter {
 public:
  RTFBodyWriter(TCustomRDData& data, TStream& stream, TRDRTFSaveContext& context,
                bool selectionOnly)
      : data_(data),
        stream_(stream),
        context_(context),
        style_(*data.GetRDStyle()),
        range_(GetExportRange(data, selectionOnly)),
        hooks_(Hooks(data)),
        selection_only_(selectionOnly),
        style_sheet_((context.Options & rdrtfSaveStyleSheet) != 0),
        char_properties_(size_t(style_.TextStyles().Count())),
        para_properties_(size_t(style_.ParaStyles().Count())) {}

  void Run() {
    for (int i = range_.StartItem; i <= range_.EndItem; ++i) {
      TCustomRDItemInfo& item = *data_.GetItem(i);
      if (!ExportIncludesItem(data_, i, range_)) continue;
      const bool first = i == range_.StartItem;
      if (first || !item.GetContinuesPara()) StartLine(item, first);
      if (item.Checkpoint) out_ += BookmarkRTF(*item.Checkpoint, context_);
      const bool hyperlink = OpenHyperlink(item);
      const int styleNo = item.StyleNo >= 0 ? data_.GetActualStyle(item) : item.StyleNo;
      const TFontInfo* textStyle = styleNo >= 0 ? &style_.TextStyles().Items(styleNo) : nullptr;
      if (textStyle && IsTextWrittenAsRTF(*textStyle))
        WriteText(item, i, styleNo, *textStyle);
      else
        WriteObject(item, i);
      if (hyperlink) out_ += "}}";
      if (out_.size() > 0x10000) Flush();
    }
    EndSuperSub();
    if (data_.NotAddedCP) out_ += BookmarkRTF(*data_.NotAddedCP, context_);
    Flush();
  }

 private:
  // Properties are the same every time a style is met: made once per write.
  const std::string& CharPropertiesOf(int styleNo) {
    std::string& slot = size_t(styleNo) < char_properties_.size()
                            ? char_properties_[size_t(styleNo)]
                            : outside_properties_;
    if (slot.empty()) slot = CharProperties(data_, style_, styleNo, context_);
    return slot;
  }

  std::string ParaPropertiesOf(int paraNo, const TRDListLevel* markerLevel) {
    if (markerLevel || paraNo < 0 || size_t(paraNo) >= para_properties_.size())
      return ParaProperties(data_, style_, paraNo, markerLevel, false, context_);
    std::string& slot = para_properties_[size_t(paraNo)];
    if (slot.empty()) slot = ParaProperties(data_, style_, paraNo, nullptr, false, context_);
    return slot;
  }

  void Flush() {
    Write(stream_, out_);
    out_.clear();
  }

  // Raised or lowered text is ended by "\nosupersub" before anything else follows: some
  // readers lose the text after a run that only "\plain" ends.
  void EndSuperSub() {
    if (super_sub_) out_ += "\\nosupersub";
    super_sub_ = false;
  }

  // An item that starts a line: a page break, a new paragraph or a line break. A raised
  // or lowered run ends where it stands: ended after "\par", it makes readers join its
  // paragraph to the next.
  void StartLine(const TCustomRDItemInfo& item, bool first) {
    EndSuperSub();
    out_ += kCRLF;
    const bool fullLine = item.QueryItemFlag(0);
    if (fullLine && item.GetPageBreakBefore()) out_ += "\\page ";
    if (!first && item.GetLineBreakBefore()) {
      out_ += "\\line ";
      return;
    }
    if (!context_.FirstParaOfOutput) {
      // \\plain ends the marker's character formatting, so the next run states its own.
      if (prev_para_has_marker_) {
        out_ += "\\plain";
        current_style_ = -1;
      }
      out_ += "\\par ";
    }
    if (!fullLine && item.GetPageBreakBefore()) out_ += "\\page ";
    StartParagraph(item);
  }

  void StartParagraph(const TCustomRDItemInfo& item) {
    TRDListMarkerInfo marker;
    const bool hasMarker = item.GetListMarkerInfo(marker);
    const bool sameList = hasMarker && prev_para_has_marker_ &&
                          marker.ListNo == prev_marker_.ListNo &&
                          marker.Level == prev_marker_.Level && item.ParaNo == prev_para_no_;
    if (!sameList) {
      out_ += "\\pard";
      // In a cell, character formatting is reset before "\intbl", not after it: some
      // readers take a "\plain" that follows "\intbl" as leaving the table.
      if (context_.Level > 0) {
        out_ += "\\plain";
        current_style_ = -1;
        chars_reset_ = true;
      }
      if (style_sheet_ && style_.ParaStyles().Items(item.ParaNo).Standard())
        out_ += "\\s" + std::to_string(item.ParaNo);
      out_ += ParaPropertiesOf(item.ParaNo, hasMarker ? MarkerLevel(style_, marker) : nullptr);
    }
    context_.FirstParaOfOutput = false;
    prev_para_has_marker_ = hasMarker;
    prev_marker_ = marker;
    prev_para_no_ = item.ParaNo;
  }

  // Opens the field of an item that is a link; false when it is none.
  bool OpenHyperlink(const TCustomRDItemInfo& item) {
    if (!item.QueryItemFlagEx(1, const_cast<TRDStyle*>(&style_)) || !hooks_.OnWriteHyperlink ||
        ExportLinkId(data_, item) < 0)
      return false;
    std::string target, extras;
    hooks_.OnWriteHyperlink(ExportLinkId(data_, item), rdsfRTF, target, extras);
    if (target.empty() && extras.empty()) return false;
    out_ += "{\\field{\\*\\fldinst HYPERLINK \"" + RTFEscapeFieldText(target) + "\"" +
            (extras.empty() ? "" : " " + extras) + "}{\\fldrslt ";
    return true;
  }

  void WriteText(const TCustomRDItemInfo& item, int itemNo, int styleNo,
                 const TFontInfo& textStyle) {
    if (styleNo != current_style_) {
      EndSuperSub();
      // After "\pard\plain" the paragraph properties end with the blank that ends a word.
      if (!chars_reset_) out_ += "\\plain ";
      if (style_sheet_ && textStyle.Standard())
        out_ += "\\cs" + std::to_string(style_.ParaStyles().Count() + styleNo);
      out_ += CharPropertiesOf(styleNo);
      current_style_ = styleNo;
      super_sub_ = textStyle.VShift != 0;
    }
    chars_reset_ = false;
    const bool unicode = IsUnicodeItem(item.ItemOptions);
    std::string own;
    if (hooks_.OnSaveItemToFile && hooks_.OnSaveItemToFile(&data_, itemNo, rdsfRTF, unicode, own)) {
      out_ += own;
      return;
    }
    const std::string_view text = ExportItemText(data_, itemNo, range_, text_storage_);
    const bool rtfCode = (textStyle.Options & rdteoRTFCode) != 0;
    if (unicode)
      AppendRTFUnicodeText(out_, text, data_.GetStyleCodePage(styleNo), rtfCode,
                           (context_.Options & rdrtfDuplicateUnicode) != 0);
    else
      AppendRTFEscaped(out_, text, rtfCode, true);
  }

  void WriteObject(TCustomRDItemInfo& item, int itemNo) {
    EndSuperSub();
    std::string own;
    const bool rtl = style_.ParaStyles().Items(item.ParaNo).BiDiMode == rdbdRightToLeft;
    if (rtl) out_ += "\\ltrpar";
    if (hooks_.OnSaveItemToFile &&
        hooks_.OnSaveItemToFile(&data_, itemNo, rdsfRTF, IsUnicodeItem(item.ItemOptions), own)) {
      out_ += own;
    } else {
      Flush();
      // An item holding the selection inside it writes its selected part.
      const std::unique_ptr<TCustomRDItemInfo> part =
          SelectedPartOf(data_, itemNo, selection_only_);
      (part ? *part : item).SaveRTF(stream_, &data_, itemNo, context_);
    }
    if (rtl) out_ += "\\rtlpar";
    current_style_ = -1;
    chars_reset_ = false;  // the item may have set character formatting of its own
  }

  TCustomRDData& data_;
  TStream& stream_;
  TRDRTFSaveContext& context_;
  const TRDStyle& style_;
  const TRDExportRange range_;
  const TRDExportHooks& hooks_;
  const bool selection_only_;
  const bool style_sheet_;
  std::vector<std::string> char_properties_;
  std::vector<std::string> para_properties_;
  std::string outside_properties_;  // every style number outside the sheet: the invalid style
  std::string text_storage_;
  std::string out_;
  int current_style_ = -1;
  bool chars_reset_ = false;  // "\plain" was written and no character formatting since
  bool super_sub_ = false;    // the text written last is raised or lowered
  bool prev_para_has_marker_ = false;
  TRDListMarkerInfo prev_marker_;
  int prev_para_no_ = -1;
};

}  // namespace

std::string RTFCharProperties(TCustomRDData& data, int styleNo, const TRDRTFSaveContext& context) {
  return data.GetRDStyle() ? CharProperties(data, *data.GetRDStyle(), styleNo, context) : " ";
}

void CollectRTFItemTables(TCustomRDData& data, TRDRTFSaveContext& context) {
  for (int i = 0; i < data.GetItemCount(); ++i) data.GetItem(i)->CollectRTFTables(context);
}

void SaveRTFBody(TCustomRDData& data, TStream& stream, TRDRTFSaveContext& context,
                 bool selectionOnly) {
  RTFBodyWriter(data, stream, context, selectionOnly).Run();
}

bool SaveRTF(TCustomRDData& data, TStream& stream, const TRDRTFSaveParams& params) {
  TRDStyle* rdStyle = data.GetRDStyle();
  if (!rdStyle) return false;
  const TRDExportLinkNumbering links(data);
  TRDRTFSaveContext context;
  context.Path = params.Path;
  context.Options = params.Options;
  context.TwipsPerPixel = TwipsPerPixel(params.PixelsPerInch);
  context.DefCodePage = rdStyle->DefCodePage;
  BuildFontTable(*rdStyle, context);
  SeedColorTable(context.ColorList);
  CollectStyleColors(*rdStyle, context.ColorList);
  CollectRTFItemTables(data, context);
  if (params.PageColor != clWindow) context.ColorList.AddUniqueColor(params.PageColor);

  const TFontInfo& style0 = rdStyle->TextStyles().Items(0);
  const int codePage = ResolveCodePage(rdStyle->DefCodePage);
  const std::string language = std::to_string(CharsetToLanguage(style0.Charset));
  Write(stream, "{\\rtf1\\ansi\\ansicpg" + std::to_string(codePage) + "\\uc1\\deff0\\deflang" +
                    language + "\\deflangfe" + language);
  Write(stream, BiDiWord(data.GetBiDiMode(), "\\ltrdoc", "\\rtldoc"));
  WriteFontTable(stream, context.FontTable);
  WriteColorTable(stream, context.ColorList);
  if (params.Options & rdrtfSaveStyleSheet) WriteStyleSheet(stream, data, *rdStyle, context);
  // Without a marker no list is written: a reader makes list styles only for the lists of
  // a file whose paragraphs are numbered.
  const std::vector<MarkerRef> markers = DocumentMarkers(data);
  if (rdStyle->ListStyles().Count() > 0 && !markers.empty())
    WriteListTables(stream, markers, *rdStyle, context);
  else
    Write(stream, kCRLF);
  Write(stream, ExtraRTF(data, rd_rtfs_Doc, -1) + kCRLF);
  Write(stream, (params.Options & rdrtfDuplicateUnicode) ? "\\uc1" : "\\uc0");

  context.FirstParaOfOutput = true;
  SaveRTFBody(data, stream, context, params.SelectionOnly);
  const TRDExportRange range = GetExportRange(data, params.SelectionOnly);
  if (range.EndItem > range.StartItem) {
    const TCustomRDItemInfo& firstItem = *data.GetItem(range.StartItem);
    if (firstItem.StyleNo >= 0 && firstItem.IsParaStart() &&
        data.GetItemTextRaw(range.StartItem).empty())
      Write(stream, "\\par");
  }
  Write(stream, "}");
  return true;
}

bool SaveRTFToStream(TCustomRDData& data, TStream& stream, const TRDRTFSaveParams& params) {
  return data.RunExport([&] { return SaveRTF(data, stream, params); });
}

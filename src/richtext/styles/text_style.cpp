#include "richtext/styles/text_style.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/ini_file.h"
#include "richtext/base/rd_colors.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"

TRDSpecialCharKinds RDShownSpecialChars =
    rdskSpace | rdskNonBreakingSpace | rdskParagraphMark | rdskSoftHyphen;

namespace {

constexpr char kMiddleDot = char(0xB7);
constexpr char kDegreeSign = char(0xB0);
constexpr char kNoBreakSpace = char(0xA0);
constexpr int kInvalidTextColor = 0xFFFFFF;
constexpr int kInvalidBackColor = 0x0000FF;

// The protection bits INI files carry: rdprStyleProtect .. rdprStickToTop.
constexpr TRDProtectOptions kIniProtectionMask = 0x03FF;

bool HasProp(TRDFontInfoProperties set, TRDFontInfoProperty p) {
  return (set & RDFontProp(p)) != 0;
}

const char* DirectionCSS(TRDBiDiMode mode) {
  switch (mode) {
    case rdbdLeftToRight:
      return "ltr";
    case rdbdRightToLeft:
      return "rtl";
    default:
      return "inherit";
  }
}

std::string DecorationWords(const TCustomRDFontInfo& style) {
  std::string words;
  if (style.Style & fsUnderline) AppendWithSpace(words, "underline");
  if (style.Style & fsStrikeOut) AppendWithSpace(words, "line-through");
  if (style.StyleEx & rdfsOverline) AppendWithSpace(words, "overline");
  return words.empty() ? "none" : words;
}

std::string VerticalAlignCSS(int vShift) {
  return vShift > 0 ? "super" : vShift < 0 ? "sub" : "baseline";
}

int Sign(int v) {
  return (v > 0) - (v < 0);
}

// Draws a mark character in the font colour over a cell, with a clear brush that is put
// back afterwards.
void DrawMark(TRDCanvas& canvas, int x, int y, char mark) {
  TBrushStyle style = canvas.BrushStyle;
  TColor color = canvas.BrushColor;
  canvas.BrushStyle = bsClear;
  canvas.TextOutA(x, y, std::string(1, mark));
  canvas.BrushStyle = style;
  canvas.BrushColor = color;
}

}  // namespace

TCustomRDFontInfo::TCustomRDFontInfo(TCustomRDInfos* collection) : TCustomRDInfo(collection) {
  SetStyleName("Font Style");
}

void TCustomRDFontInfo::Assign(const TCustomRDInfo& source) {
  if (const auto* s = dynamic_cast<const TCustomRDFontInfo*>(&source)) {
    static_cast<TRDFontInfoValues&>(*this) = *s;
  }
  TCustomRDInfo::Assign(source);
}

void TCustomRDFontInfo::AssignFont(const TRDFont& font) {
  FontName = font.Name;
  Size = font.Size();
  Color = font.Color;
  Style = font.Style;
  Charset = font.Charset;
}

void TCustomRDFontInfo::AssignTo(TRDFont& font) const {
  font.Name = FontName;
  font.SetSize(Size);
  font.Color = Color;
  font.Style = Style;
  font.Charset = Charset;
}

void TCustomRDFontInfo::AssignSelectedProperties(const TCustomRDFontInfo& source,
                                                 TRDFontInfoProperties props) {
  auto copyFlag = [](auto& target, auto sourceValue, auto flag) {
    target = (sourceValue & flag) ? (target | flag) : (target & ~flag);
  };
  if (HasProp(props, rdfiFontName)) FontName = source.FontName;
  if (HasProp(props, rdfiSize)) Size = source.Size;
  if (HasProp(props, rdfiCharset)) Charset = source.Charset;
  if (HasProp(props, rdfiBold)) copyFlag(Style, source.Style, TFontStyles(fsBold));
  if (HasProp(props, rdfiItalic)) copyFlag(Style, source.Style, TFontStyles(fsItalic));
  if (HasProp(props, rdfiUnderline)) copyFlag(Style, source.Style, TFontStyles(fsUnderline));
  if (HasProp(props, rdfiStrikeout)) copyFlag(Style, source.Style, TFontStyles(fsStrikeOut));
  if (HasProp(props, rdfiOverline)) copyFlag(StyleEx, source.StyleEx, rdfsOverline);
  if (HasProp(props, rdfiAllCaps)) copyFlag(StyleEx, source.StyleEx, rdfsAllCaps);
  if (HasProp(props, rdfiVShift)) VShift = source.VShift;
  if (HasProp(props, rdfiColor)) Color = source.Color;
  if (HasProp(props, rdfiBackColor)) BackColor = source.BackColor;
  if (HasProp(props, rdfiJump)) Jump = source.Jump;
  if (HasProp(props, rdfiHoverBackColor)) HoverBackColor = source.HoverBackColor;
  if (HasProp(props, rdfiHoverColor)) HoverColor = source.HoverColor;
  if (HasProp(props, rdfiJumpCursor)) JumpCursor = source.JumpCursor;
  if (HasProp(props, rdfiProtection)) Protection = source.Protection;
  if (HasProp(props, rdfiCharScale)) CharScale = source.CharScale;
  if (HasProp(props, rdfiBiDiMode)) BiDiMode = source.BiDiMode;
  if (HasProp(props, rdfiCharSpacing)) CharSpacing = source.CharSpacing;
  if (HasProp(props, rdfiHTMLCode)) copyFlag(Options, source.Options, rdteoHTMLCode);
  if (HasProp(props, rdfiRTFCode)) copyFlag(Options, source.Options, rdteoRTFCode);
}

TRDFont TCustomRDFontInfo::MakeFont(const TRDCanvas& canvas, bool canUseCustomPPI) const {
  TRDFont font = canvas.Font;
  int ppi = canvas.Font.PixelsPerInch;
  if (canUseCustomPPI)
    if (const auto* infos = dynamic_cast<const TFontInfos*>(Collection());
        infos && infos->PixelsPerInch != 0)
      ppi = infos->PixelsPerInch;
  font.Height = -RDMulDiv(Size, ppi, 72);
  font.Style = Style;
  font.Name = FontName;
  font.Charset = Charset;
  font.Width = 0;
  return font;
}

void TCustomRDFontInfo::Apply(TRDCanvas& canvas, TRDBiDiMode defBiDiMode,
                              bool canUseCustomPPI) const {
  TRDFont font = MakeFont(canvas, canUseCustomPPI);
  font.Color = canvas.Font.Color;
  if (CharScale != 100) {
    canvas.Font = font;
    TRDTextMetrics metrics;
    int average = canvas.GetTextMetrics(metrics) ? metrics.AveCharWidth : canvas.TextWidthA("x");
    font.Width = average * CharScale / 100;
  } else if (SameText(canvas.Font.Name, FontName)) {
    font.Name = canvas.Font.Name;  // an equal name is not set again
  }
  canvas.Font = font;
  ApplyBiDiMode(canvas, defBiDiMode);
}

void TCustomRDFontInfo::ApplyBiDiMode(TRDCanvas& canvas, TRDBiDiMode defBiDiMode) const {
  TRDBiDiMode mode = BiDiMode == rdbdUnspecified ? defBiDiMode : BiDiMode;
  canvas.ReadingDirection = mode;
  switch (mode) {
    case rdbdLeftToRight:
      canvas.CharacterExtra = 0;
      canvas.TextAlign = TA_LEFT;
      break;
    case rdbdRightToLeft:
      canvas.CharacterExtra = 0;
      canvas.TextAlign = TA_RTLREADING;
      break;
    default:
      canvas.CharacterExtra = CharSpacing;
      break;
  }
}

void TCustomRDFontInfo::ApplyColor(TRDCanvas& canvas, const TRDStyle& rdStyle,
                                   TRDTextDrawStates drawState, bool useColorMode,
                                   TRDColorMode colorMode) const {
  if (drawState & rdtsSelected) {
    bool focused = (drawState & rdtsControlFocused) != 0;
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = focused ? rdStyle.SelColor : rdStyle.InactiveSelColor;
    canvas.Font.Color = focused ? rdStyle.SelTextColor : rdStyle.InactiveSelTextColor;
    if (canvas.Font.Color == clNone) canvas.Font.Color = Color;
  } else if (drawState & rdtsHover) {
    TColor hover = rdStyle.GetHoverColor(HoverColor);
    canvas.Font.Color = hover == clNone ? Color : hover;
    canvas.BrushColor = HoverBackColor;
  } else if (useColorMode) {
    switch (colorMode) {
      case 1:
        canvas.Font.Color = ReplaceSystemColor(Color);
        canvas.BrushColor = ReplaceSystemColor(BackColor);
        break;
      case 2:
        canvas.Font.Color = ColorToGray(ReplaceSystemColor(Color));
        canvas.BrushColor = ColorToGray(ReplaceSystemColor(BackColor));
        break;
      case 3:
        if (BackColor == clNone) {
          canvas.BrushColor = clNone;
          canvas.Font.Color = ReplaceSystemColor(Color) == clWhite ? clWhite : clBlack;
        } else if (RGBToGrayLevel(ReplaceSystemColor(BackColor)) >
                   RGBToGrayLevel(ReplaceSystemColor(Color))) {
          canvas.BrushColor = clWhite;
          canvas.Font.Color = clBlack;
        } else {
          canvas.BrushColor = clBlack;
          canvas.Font.Color = clWhite;
        }
        break;
      case 4:
        canvas.Font.Color = clBlack;
        canvas.BrushColor = clNone;
        break;
      default:
        canvas.Font.Color = Color;
        canvas.BrushColor = BackColor;
        break;
    }
  } else {
    canvas.Font.Color = Color;
    canvas.BrushColor = BackColor;
  }
  canvas.BrushStyle = canvas.BrushColor == clNone ? bsClear : bsSolid;
}

void TCustomRDFontInfo::Draw(const std::string& s, TRDCanvas& canvas, int styleNo, int spaceBefore,
                             int left, int top, int width, int height, TRDStyle& rdStyle,
                             TRDTextDrawStates drawState, bool printing, bool previewCorrection,
                             TRDColorMode /*colorMode*/, TRDBiDiMode defBiDiMode) const {
  const bool unicode = IsUnicodeStyle();
  const TRDItemOptions options = unicode ? rdioUnicodeText : 0;
  const int count = GetItemTextLength(s, options);
  const int textLeft = left + spaceBefore;
  const TRDBiDiMode mode = BiDiMode == rdbdUnspecified ? defBiDiMode : BiDiMode;
  bool drawn = false;
  if (printing && mode == rdbdUnspecified) {
    if (canvas.BrushStyle != bsClear) {
      canvas.PenStyle = psClear;
      canvas.FillRect(Bounds(left, top, width, height));
      canvas.BrushStyle = bsClear;
      canvas.PenStyle = psSolid;
    }
    const int extra = canvas.CharacterExtra;
    if ((extra != 0 || previewCorrection) && count >= 2) {
      canvas.CharacterExtra = 0;  // measured and drawn with the font's own advances
      std::vector<int> extents;
      MeasureTextFit(canvas, s, 2 * width, &extents, options);
      std::vector<int> advances(static_cast<size_t>(count));
      for (int i = 0; i < count; ++i)
        advances[size_t(i)] = extents[size_t(i)] - (i > 0 ? extents[size_t(i) - 1] : 0);
      bool drawWithAdvances = true;
      if (!previewCorrection) {
        for (int& a : advances) a += extra;
      } else {
        int d = width - spaceBefore - GetItemTextWidth(s, canvas, options);
        if (d == 0) drawWithAdvances = false;
        for (int i = 0; i < count && d != 0; ++i) {
          int share = d / (count - i);
          advances[size_t(i)] += share;
          d -= share;
        }
      }
      if (drawWithAdvances) {
        if (unicode)
          canvas.ExtTextOutW(textLeft, top, 0, nullptr, RawUnicodeToWideString(s), advances);
        else
          canvas.ExtTextOutA(textLeft, top, 0, nullptr, s, advances);
        drawn = true;
      }
      canvas.CharacterExtra = extra;
    }
  }
  if (!drawn) {
    if (unicode)
      canvas.TextOutW(textLeft, top, RawUnicodeToWideString(s));
    else
      canvas.TextOutA(textLeft, top, s);
    if ((drawState & rdtsSpecialCharacters) &&
        (RDShownSpecialChars & (rdskSpace | rdskNonBreakingSpace)) && !printing)
      MarkSpecialCharacters(s, canvas, left, top, width, spaceBefore);
  }
  if (!printing && spaceBefore != 0) {
    if ((drawState & rdtsSelected) && s.empty())
      rdStyle.ApplyStyleColor(canvas, styleNo, drawState & ~rdtsSelected, printing, 0);
    if (canvas.BrushStyle != bsClear) canvas.FillRect(Bounds(left, top, spaceBefore, height));
  }
  canvas.BrushStyle = bsClear;
  TRDOutlineTextMetrics outline;
  const bool hasOutline = canvas.GetOutlineTextMetrics(outline);
  if (spaceBefore != 0 && (canvas.Font.Style & fsUnderline) && hasOutline) {
    TRDTextMetrics metrics;
    canvas.GetTextMetrics(metrics);
    canvas.PenColor = canvas.Font.Color;
    canvas.PenWidth = outline.UnderscoreSize;
    canvas.PenStyle = psInsideFrame;
    int y = top + metrics.Ascent - outline.UnderscorePosition + outline.UnderscoreSize / 2;
    canvas.MoveTo(left, y);
    canvas.LineTo(left + spaceBefore + 1, y);
    canvas.PenStyle = psSolid;
  }
  if (StyleEx & rdfsOverline) {
    canvas.PenColor = canvas.Font.Color;
    canvas.PenWidth = hasOutline ? outline.UnderscoreSize : 1;
    canvas.MoveTo(left, top);
    canvas.LineTo(left + width, top);
  }
}

void TCustomRDFontInfo::MarkSpecialCharacters(const std::string& s, TRDCanvas& canvas, int left,
                                              int top, int width, int spaceBefore) const {
  if (s.empty()) return;
  const bool unicode = IsUnicodeStyle();
  const TRDItemOptions options = unicode ? rdioUnicodeText : 0;
  const int count = GetItemTextLength(s, options);
  const std::u16string wide = unicode ? RawUnicodeToWideString(s) : std::u16string();
  auto kindOf = [&](int i) -> TRDSpecialCharKinds {
    char16_t ch = unicode ? wide[size_t(i)] : char16_t(std::uint8_t(s[size_t(i)]));
    return ch == u' '                                    ? rdskSpace
           : ch == char16_t(std::uint8_t(kNoBreakSpace)) ? rdskNonBreakingSpace
                                                         : 0;
  };
  TRDCharacterPlacement placement;
  bool usable =
      unicode ? canvas.GetCharacterPlacementW(wide, GCP_REORDER_GLYPHSHAPE_DIACRITIC, placement)
              : canvas.GetCharacterPlacementA(s, GCP_REORDER_GLYPHSHAPE_DIACRITIC, placement);
  usable = usable && int(placement.Order.size()) >= count && int(placement.Dx.size()) >= count &&
           (count <= 1 || std::any_of(placement.Order.begin(), placement.Order.begin() + count,
                                      [](int o) { return o != 0; }));
  if (!usable) {
    // Without a placement the spaces are marked where they stand in the stored text.
    std::vector<int> extents;
    MeasureTextFit(canvas, s, 2 * width, &extents, options);
    for (int i = 0; i < count; ++i)
      if (kindOf(i) == rdskSpace)
        canvas.TextOutA(left + spaceBefore + (i > 0 ? extents[size_t(i) - 1] : 0), top,
                        std::string(1, kMiddleDot));
    return;
  }
  std::vector<int> displayMap(size_t(count), -1);
  for (int k = 0; k < count; ++k)
    if (placement.Order[size_t(k)] >= 0 && placement.Order[size_t(k)] < count)
      displayMap[size_t(placement.Order[size_t(k)])] = k;
  const int extra = canvas.CharacterExtra;
  int offsets[2] = {0, 0};
  bool measured[2] = {false, false};
  int x = left + spaceBefore;
  for (int i = 0; i < count; ++i) {
    const int j = displayMap[size_t(i)];
    const TRDSpecialCharKinds kind = j >= 0 ? kindOf(j) : 0;
    if (kind != 0 && (RDShownSpecialChars & kind)) {
      const int k = kind == rdskSpace ? 0 : 1;
      const char mark = k == 0 ? kMiddleDot : kDegreeSign;
      if (!measured[k]) {
        int charWidth = unicode ? canvas.TextWidthW(wide.substr(size_t(j), 1))
                                : canvas.TextWidthA(s.substr(size_t(j), 1));
        offsets[k] =
            int(std::nearbyint((charWidth - canvas.TextWidthA(std::string(1, mark))) / 2.0));
        measured[k] = true;
      }
      DrawMark(canvas, x + offsets[k], top, mark);
    }
    x += placement.Dx[size_t(i)] + extra;
  }
}

bool TCustomRDFontInfo::IsEqual(const TCustomRDFontInfo& value,
                                TRDFontInfoProperties ignoreList) const {
  auto check = [&](TRDFontInfoProperty p, bool equal) { return HasProp(ignoreList, p) || equal; };
  auto flagEqual = [](auto a, auto b, auto flag) { return ((a & flag) != 0) == ((b & flag) != 0); };
  if (!check(rdfiSize, Size == value.Size)) return false;
  if (!check(rdfiCharset, Charset == value.Charset)) return false;
  if (!check(rdfiBold, flagEqual(Style, value.Style, fsBold))) return false;
  if (!check(rdfiItalic, flagEqual(Style, value.Style, fsItalic))) return false;
  if (!check(rdfiUnderline, flagEqual(Style, value.Style, fsUnderline))) return false;
  if (!check(rdfiStrikeout, flagEqual(Style, value.Style, fsStrikeOut))) return false;
  if (!check(rdfiOverline, flagEqual(StyleEx, value.StyleEx, rdfsOverline))) return false;
  if (!check(rdfiAllCaps, flagEqual(StyleEx, value.StyleEx, rdfsAllCaps))) return false;
  if (!check(rdfiFontName, SameText(FontName, value.FontName))) return false;
  if (!check(rdfiVShift, VShift == value.VShift)) return false;
  if (!check(rdfiColor, Color == value.Color)) return false;
  if (!check(rdfiBackColor, BackColor == value.BackColor)) return false;
  if (!check(rdfiJump, Jump == value.Jump)) return false;
  if (Jump) {
    if (!check(rdfiHoverColor, HoverColor == value.HoverColor)) return false;
    if (!check(rdfiHoverBackColor, HoverBackColor == value.HoverBackColor)) return false;
    if (!check(rdfiJumpCursor, JumpCursor == value.JumpCursor)) return false;
  }
  if (!check(rdfiProtection, Protection == value.Protection)) return false;
  if (!check(rdfiRTFCode, flagEqual(Options, value.Options, rdteoRTFCode))) return false;
  if (!check(rdfiHTMLCode, flagEqual(Options, value.Options, rdteoHTMLCode))) return false;
  if (!check(rdfiCharScale, CharScale == value.CharScale)) return false;
  if (!check(rdfiCharSpacing, CharSpacing == value.CharSpacing)) return false;
  if (!check(rdfiBiDiMode, BiDiMode == value.BiDiMode)) return false;
  if (!check(rdfiBaseStyleNo, BaseStyleNo() == value.BaseStyleNo())) return false;
  return NamesEqualIfCompared(value);
}

bool TCustomRDFontInfo::IsSimpleEqual(const TCustomRDInfo& other, bool) const {
  const auto* value = dynamic_cast<const TCustomRDFontInfo*>(&other);
  if (!value) return false;
  if (Size != value->Size || Charset != value->Charset || Style != value->Style ||
      StyleEx != value->StyleEx || !SameText(FontName, value->FontName) ||
      VShift != value->VShift || Color != value->Color || BackColor != value->BackColor ||
      Jump != value->Jump)
    return false;
  if (Jump && (HoverColor != value->HoverColor || HoverBackColor != value->HoverBackColor ||
               JumpCursor != value->JumpCursor))
    return false;
  if (Protection != value->Protection || Options != value->Options ||
      CharScale != value->CharScale || CharSpacing != value->CharSpacing ||
      BiDiMode != value->BiDiMode)
    return false;
  return NamesEqualIfCompared(*value);
}

int TCustomRDFontInfo::SimilarityValue(const TCustomRDInfo& other) const {
  const auto* value = dynamic_cast<const TCustomRDFontInfo*>(&other);
  if (!value) return 0;
  auto bothOrNeither = [](auto a, auto b, auto flag) {
    return ((a & flag) != 0) == ((b & flag) != 0);
  };
  int score = RateValueSimilarity(value->Size, Size, 10000) +
              RateValueSimilarity(value->VShift, VShift, 1000) +
              RateValueSimilarity(value->CharScale, CharScale, 300) +
              RateValueSimilarity(value->CharSpacing, CharSpacing, 1000) +
              RateColorSimilarity(value->Color, Color, 3333, 3000) +
              RateColorSimilarity(value->BackColor, BackColor, 10000, 50000);
  if (BiDiMode == value->BiDiMode) score += 10000;
  if (SameText(FontName, value->FontName)) score += 10000;
  for (TFontStyles f : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
    if (bothOrNeither(Style, value->Style, f)) score += 50000;
  for (TRDFontStyles f : {rdfsOverline, rdfsAllCaps})
    if (bothOrNeither(StyleEx, value->StyleEx, f)) score += 50000;
  bool plain = Style == 0 && StyleEx == 0;
  bool valuePlain = value->Style == 0 && value->StyleEx == 0;
  if (plain == valuePlain) score += 50000;
  if (Jump && value->Jump) {
    if (JumpCursor == value->JumpCursor) score += 5000;
    score += RateColorSimilarity(value->HoverColor, HoverColor, 3333, 3000) / 2;
    score += RateColorSimilarity(value->HoverBackColor, HoverBackColor, 10000, 50000) / 2;
  }
  if (Protection != value->Protection) score -= 100000;
  if (bothOrNeither(Options, value->Options, rdteoHTMLCode)) score += 50000;
  if (bothOrNeither(Options, value->Options, rdteoRTFCode)) score += 50000;
  if (Charset == value->Charset)
    score += 50000;
  else if (Charset == DEFAULT_CHARSET || value->Charset == DEFAULT_CHARSET)
    score += 12500;
  return score;
}

void TCustomRDFontInfo::SaveToINI(TRDIniFile& ini, const std::string& section,
                                  const std::string& kf) const {
  SaveBaseToINI(ini, section, kf);
  auto writeInt = [&](const char* key, int value, int fallback) {
    if (value != fallback) ini.WriteInteger(section, FormatKey(kf, key), value);
  };
  auto writeBool = [&](const char* key, bool value) {
    if (value) ini.WriteString(section, FormatKey(kf, key), BoolToIni(true));
  };
  ini.WriteString(section, FormatKey(kf, "Name"), FontName);
  ini.WriteString(section, FormatKey(kf, "Jump"), BoolToIni(Jump));
  writeInt("Size", Size, 10);
  writeInt("Color", Color, clWindowText);
  writeInt("BackColor", BackColor, clNone);
  writeInt("HoverBackColor", HoverBackColor, clNone);
  writeInt("HoverColor", HoverColor, clNone);
  writeInt("JumpCursor", JumpCursor, crJump);
  writeInt("Charset", Charset, DEFAULT_CHARSET);
  writeInt("CharScale", CharScale, 100);
  writeInt("CharSpacing", CharSpacing, 0);
  writeInt("BiDiMode", BiDiMode, rdbdUnspecified);
  writeBool("Bold", Style & fsBold);
  writeBool("Underline", Style & fsUnderline);
  writeBool("StrikeOut", Style & fsStrikeOut);
  writeBool("Italic", Style & fsItalic);
  writeBool("Overline", StyleEx & rdfsOverline);
  writeBool("Caps", StyleEx & rdfsAllCaps);
  writeInt("Protection", Protection & kIniProtectionMask, 0);
  writeBool("RTFCode", Options & rdteoRTFCode);
  writeBool("HTMLCode", Options & rdteoHTMLCode);
  writeInt("VShift", VShift, 0);
}

void TCustomRDFontInfo::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                                    const std::string& kf, bool jumpByDefault, int defJumpCursor) {
  LoadBaseFromINI(ini, section, kf, "Font Style");
  auto readInt = [&](const char* key, int fallback) {
    return ini.ReadInteger(section, FormatKey(kf, key), fallback);
  };
  auto readBool = [&](const char* key) {
    return IniToBool(ini.ReadString(section, FormatKey(kf, key), "No"));
  };
  FontName = ini.ReadString(section, FormatKey(kf, "Name"), "Arial");
  std::string jump = ini.ReadString(section, FormatKey(kf, "Jump"), "?");
  if (jump == "?") {
    Jump = jumpByDefault;
    JumpCursor = defJumpCursor;
  } else {
    Jump = IniToBool(jump);
    JumpCursor = readInt("JumpCursor", crJump);
  }
  Size = readInt("Size", 10);
  Color = readInt("Color", clWindowText);
  BackColor = readInt("BackColor", clNone);
  HoverBackColor = readInt("HoverBackColor", clNone);
  HoverColor = readInt("HoverColor", clNone);
  Charset = readInt("Charset", DEFAULT_CHARSET) & 0xFF;
  CharScale = readInt("CharScale", 100);
  CharSpacing = readInt("CharSpacing", 0);
  int bidi = readInt("BiDiMode", 0);
  BiDiMode =
      bidi >= rdbdUnspecified && bidi <= rdbdRightToLeft ? TRDBiDiMode(bidi) : rdbdUnspecified;
  Style = 0;
  if (readBool("Bold")) Style |= fsBold;
  if (readBool("Underline")) Style |= fsUnderline;
  if (readBool("StrikeOut")) Style |= fsStrikeOut;
  if (readBool("Italic")) Style |= fsItalic;
  StyleEx = 0;
  if (readBool("Overline")) StyleEx |= rdfsOverline;
  if (readBool("Caps")) StyleEx |= rdfsAllCaps;
  Protection = TRDProtectOptions(readInt("Protection", 0)) & kIniProtectionMask;
  if (readBool("SingleSymbols")) ReadSingleSymbols(true);
  Options = 0;
  if (readBool("RTFCode")) Options |= rdteoRTFCode;
  if (readBool("HTMLCode")) Options |= rdteoHTMLCode;
  VShift = readInt("VShift", 0);
}

void TCustomRDFontInfo::ReadSingleSymbols(bool value) {
  if (value) Protection |= rdprStyleProtect | rdprDoNotAutoSwitch;
}

std::string TCustomRDFontInfo::GetCSS(const TCustomRDFontInfo* base, bool multiline,
                                      bool utf8) const {
  std::string out;
  auto put = [&](const std::string& declaration) {
    out += " " + declaration;
    if (multiline) out += "\r\n";
  };
  if (!base || base->Size != Size) put("font-size: " + std::to_string(Size) + "pt;");
  if (base ? base->BiDiMode != BiDiMode : BiDiMode != rdbdUnspecified)
    put(std::string("direction: ") + DirectionCSS(BiDiMode) + ";");
  if (!base || !SameText(base->FontName, FontName)) {
    std::string face;
    if (SameText(FontName, "Symbol"))
      face = "'Arial Unicode MS', 'Lucida Sans Unicode', 'Arial'";
    else
      face = CSSQuotedString(utf8 ? AnsiToUTF8(CharsetToCodePage(Charset), FontName) : FontName);
    put("font-family: " + face + ";");
  }
  if (!base || (base->Style & fsItalic) != (Style & fsItalic))
    put(std::string("font-style: ") + ((Style & fsItalic) ? "italic" : "normal") + ";");
  if (!base || (base->Style & fsBold) != (Style & fsBold))
    put(std::string("font-weight: ") + ((Style & fsBold) ? "bold" : "normal") + ";");
  if (!base || base->Color != Color) put("color: " + ColorToHTMLString(Color, false) + ";");
  if (base ? base->CharSpacing != CharSpacing : CharSpacing != 0)
    put("letter-spacing: " + std::to_string(CharSpacing) + "px;");
  bool caps = StyleEx & rdfsAllCaps;
  bool baseCaps = base && (base->StyleEx & rdfsAllCaps);
  if (caps && !baseCaps) put("text-transform: uppercase;");
  if (baseCaps && !caps) put("text-transform: none;");
  if (base ? base->BackColor != BackColor : !(BackColor == clNone && multiline))
    put("background-color: " + ColorToCSS(BackColor) + ";");
  if (base ? Sign(base->VShift) != Sign(VShift) : VShift != 0)
    put("vertical-align: " + VerticalAlignCSS(VShift) + ";");
  std::string words = DecorationWords(*this);
  if (!base || words != DecorationWords(*base) || (Jump && words == "none"))
    put("text-decoration: " + words + ";");
  return out;
}

void TCustomRDFontInfo::SaveCSSToStream(TStream& stream, const TCustomRDFontInfo* base,
                                        bool multiline, bool utf8) const {
  RDWrite(stream, GetCSS(base, multiline, utf8));
}

TFontInfo::TFontInfo(TCustomRDInfos* collection) : TCustomRDFontInfo(collection) {}

void TFontInfo::Assign(const TCustomRDInfo& source) {
  if (const auto* s = dynamic_cast<const TFontInfo*>(&source)) {
    NextStyleNo = s->NextStyleNo;
    Unicode = s->Unicode;
    ModifiedProperties = s->ModifiedProperties;
  }
  TCustomRDFontInfo::Assign(source);
}

bool TFontInfo::IsEqual(const TCustomRDFontInfo& value, TRDFontInfoProperties ignoreList) const {
  if (!TCustomRDFontInfo::IsEqual(value, ignoreList)) return false;
  const auto* v = dynamic_cast<const TFontInfo*>(&value);
  if (!v) return true;
  if (!HasProp(ignoreList, rdfiUnicode) && Unicode != v->Unicode) return false;
  if (!HasProp(ignoreList, rdfiNextStyleNo) && NextStyleNo != v->NextStyleNo) return false;
  return StyleTemplateId() == v->StyleTemplateId() && ModifiedProperties == v->ModifiedProperties;
}

bool TFontInfo::IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const {
  if (!TCustomRDFontInfo::IsSimpleEqual(value, ignoreReferences)) return false;
  const auto* v = dynamic_cast<const TFontInfo*>(&value);
  if (!v) return true;
  if (Unicode != v->Unicode || ModifiedProperties != v->ModifiedProperties ||
      StyleTemplateId() != v->StyleTemplateId())
    return false;
  return ignoreReferences || NextStyleNo == v->NextStyleNo;
}

bool TFontInfo::IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList& mapping) const {
  if (!IsSimpleEqual(value, true)) return false;
  auto* v = dynamic_cast<TFontInfo*>(&value);
  return !v || MappedReferenceMatches(v->NextStyleNo, NextStyleNo, mapping);
}

void TFontInfo::TranslateReferences(const TRDIntegerList& mapping,
                                    const TRDIntegerList* textStyleMapping) {
  TCustomRDFontInfo::TranslateReferences(mapping, textStyleMapping);
  TranslateReference(NextStyleNo, mapping);
}

void TFontInfo::SaveToINI(TRDIniFile& ini, const std::string& section,
                          const std::string& kf) const {
  TCustomRDFontInfo::SaveToINI(ini, section, kf);
  if (NextStyleNo != -1) ini.WriteInteger(section, FormatKey(kf, "NextStyleNo"), NextStyleNo);
  if (Unicode) ini.WriteString(section, FormatKey(kf, "Unicode"), BoolToIni(true));
}

void TFontInfo::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                            const std::string& kf, bool jumpByDefault, int defJumpCursor) {
  TCustomRDFontInfo::LoadFromINI(ini, section, kf, jumpByDefault, defJumpCursor);
  NextStyleNo = ini.ReadInteger(section, FormatKey(kf, "NextStyleNo"), -1);
  Unicode = IniToBool(ini.ReadString(section, FormatKey(kf, "Unicode"), "No"));
}

TFontInfos::TFontInfos(TItemFactory factory, TRDStyle* owner)
    : TCustomRDInfos(std::move(factory), owner) {}

TFontInfo& TFontInfos::Add() {
  return static_cast<TFontInfo&>(AddItem());
}

TFontInfo& TFontInfos::Items(int index) const {
  if (index >= 0 && index < Count()) return static_cast<TFontInfo&>(At(index));
  if (!invalid_item_) {
    invalid_item_ = Owner() ? Owner()->CreateTextStyle(nullptr) : CreateFontInfo(nullptr);
    if (Count() > 0) invalid_item_->Assign(At(0));
    auto& invalid = static_cast<TFontInfo&>(*invalid_item_);
    invalid.Color = kInvalidTextColor;
    invalid.BackColor = kInvalidBackColor;
  }
  return static_cast<TFontInfo&>(*invalid_item_);
}

int TFontInfos::FindSuchStyle(int baseStyleNo, const TFontInfo& style,
                              TRDFontInfoProperties mask) const {
  return FindEqualStyle(*this, baseStyleNo, style, RDAllFontInfoProperties & ~mask);
}

int TFontInfos::FindStyleWithCharset(int baseStyleNo, int charset) const {
  if (baseStyleNo < 0 || baseStyleNo >= Count()) return -1;
  const TFontInfo& base = Items(baseStyleNo);
  if (base.Charset == charset && !base.Unicode) return baseStyleNo;
  TRDFontInfoProperties ignore = RDFontProp(rdfiCharset) | RDFontProp(rdfiUnicode);
  for (int i = 0; i < Count(); ++i) {
    const TFontInfo& s = Items(i);
    if (i != baseStyleNo && s.Charset == charset && !s.Unicode && s.IsEqual(base, ignore)) return i;
  }
  return -1;
}

int TFontInfos::FindClosest(const TCustomRDInfo& source) const {
  const auto* wanted = dynamic_cast<const TFontInfo*>(&source);
  if (!wanted) return TCustomRDInfos::FindClosest(source);
  // Closest first among styles of the same kind of link and text, then wider.
  const std::function<bool(const TCustomRDInfo&)> passes[] = {
      [&](const TCustomRDInfo& t) {
        auto& f = static_cast<const TFontInfo&>(t);
        return f.Jump == wanted->Jump && f.Unicode == wanted->Unicode;
      },
      [&](const TCustomRDInfo& t) { return static_cast<const TFontInfo&>(t).Jump == wanted->Jump; },
      [&](const TCustomRDInfo& t) {
        return static_cast<const TFontInfo&>(t).Unicode == wanted->Unicode;
      },
      [](const TCustomRDInfo&) { return true; }};
  for (const auto& allowed : passes)
    if (int found = FindClosestAmong(source, allowed); found >= 0) return found;
  return -1;
}

std::unique_ptr<TCustomRDInfo> CreateFontInfo(TCustomRDInfos* collection) {
  return std::make_unique<TFontInfo>(collection);
}

void TCustomRDFontInfo::DefineProperties(TRDPropertyFiler& filer) {
  TCustomRDInfo::DefineProperties(filer);
  filer.String("FontName", FontName, "Arial");
  filer.Length("Size", Size, 10);
  filer.Integer("Charset", Charset, 1);
  filer.Ranged("Style", Style, TFontStyles(0), 0, 0xFF);
  filer.Ranged("StyleEx", StyleEx, TRDFontStyles(0), 0, 0xFF);
  filer.Integer("Color", Color, clWindowText);
  filer.Integer("BackColor", BackColor, clNone);
  filer.Integer("HoverColor", HoverColor, clNone);
  filer.Integer("HoverBackColor", HoverBackColor, clNone);
  filer.Boolean("Jump", Jump, false);
  filer.Integer("JumpCursor", JumpCursor, crJump);
  filer.Length("VShift", VShift, 0);
  filer.Ranged("Protection", Protection, TRDProtectOptions(0), 0, 0xFFFF);
  filer.Ranged("Options", Options, TRDTextOptions(0), 0, 0xFF);
  filer.Length("CharScale", CharScale, 100);
  filer.Length("CharSpacing", CharSpacing, 0);
  filer.Ranged("BiDiMode", BiDiMode, rdbdUnspecified, rdbdUnspecified, rdbdRightToLeft);
}

void TFontInfo::DefineProperties(TRDPropertyFiler& filer) {
  TCustomRDFontInfo::DefineProperties(filer);
  filer.Boolean("Unicode", Unicode, false);
  filer.Integer("NextStyleNo", NextStyleNo, -1);
  int modified = int(ModifiedProperties);
  filer.Integer("ModifiedProperties", modified, 0);
  ModifiedProperties = TRDFontInfoProperties(modified);
}

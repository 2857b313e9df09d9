#include "richtext_edit/rtf/rtf_import_styles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/text/sysutils.h"
#include "richtext/base/rd_lists.h"
#include "richtext/styles/rd_style.h"

namespace {

int Round(double value) {
  return int(std::nearbyint(value));  // halves to even, as the default rounding mode does
}

// -1 lowered (subscript), 0 on the line, 1 raised.
int VShiftClass(int vShift) {
  return vShift < 0 ? -1 : vShift > 0 ? 1 : 0;
}

std::string TabLeader(std::uint8_t leader) {
  switch (leader) {
    case 1:
      return ".";
    case 2:
      return "\xB7";
    case 3:
      return "-";
    case 4:
      return "_";
    case 5:
      return "=";
    default:
      return {};
  }
}

TRDTabAlign TabAlign(std::uint8_t align) {
  switch (align) {
    case 1:
    case 3:
      return rdtaRight;  // a decimal tab lines numbers up on their right
    case 2:
      return rdtaCenter;
    default:
      return rdtaLeft;
  }
}

// Keys of looks are the values' bytes: they are built for every run of text.
void AppendKey(std::string& key, long long value) {
  key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

TRDRTFMappedBorder MapRTFBorder(int kind, int widthTwips, bool firstPair, double pixelsPerTwip) {
  TRDRTFMappedBorder border;
  const double t = widthTwips * pixelsPerTwip;
  const int w = Round(t);
  // Thin-thick kinds: which line is thick depends on the side.
  const TRDBorderStyle thinThick = firstPair ? rdbThickOutside : rdbThickInside;
  const TRDBorderStyle thickThin = firstPair ? rdbThickInside : rdbThickOutside;
  switch (kind % 128) {
    case 0:
      return border;
    case 1:
    case 3:
    case 5:
    case 6:
    case 8:
    case 9:
    case 10:
    case 21:
    case 23:
    case 24:
    case 26:
    case 27:
      return {rdbSingle, w, 0};
    case 2:
      return {rdbSingle, Round(t * 2), 0};
    case 7:
      return {rdbSingle, 1, 0};
    case 4:
    case 22:
      return {rdbDouble, w, 2 * w - 1};
    case 11:
      return {rdbTriple, w, 2 * w - 1};
    case 14: {
      const int third = Round(t / 3);
      return {rdbTriple, third, 2 * third - 1};
    }
    case 17: {
      const int half = Round(t / 2);
      return {rdbTriple, half, 3 * half - 1};
    }
    case 20:
      return {rdbTriple, 1, w};
    case 12: {
      const int half = Round(t / 2);
      return {thinThick, half, half + (half + 1) / 2};
    }
    case 13: {
      const int k = Round(t * 3 / 8) + 1;
      return {thickThin, k, k + (k + 1) / 2};
    }
    case 15:
    case 16: {
      const int half = Round(t / 2);
      return {kind % 128 == 15 ? thinThick : thickThin, half, 2 * half + (half + 1) / 2};
    }
    case 18:
      return {thinThick, 1, w + 1};
    case 19:
      return {thickThin, 1, w + 1};
    default:
      return border;  // kinds we do not know keep what they had: nothing
  }
}

TRDRTFWantedText WantedTextOf(const TRDRTFCharProperties& chars, const TRDRTFFontList& fonts,
                              const std::string& fallbackFont, bool unicode, bool hypertext,
                              double pixelsPerTwip) {
  TRDRTFWantedText wanted;
  TRDFontInfoValues& v = wanted.Values;
  v.FontName = fallbackFont;
  v.Charset = 1;
  if (chars.FontIndex >= 0 && chars.FontIndex < fonts.Count()) {
    const TRDRTFFont& font = fonts[chars.FontIndex];
    if (!font.Name.empty()) v.FontName = font.Name;
    v.Charset = font.Charset;
  }
  if (!chars.FontName.empty()) v.FontName = chars.FontName;  // a SYMBOL field's character
  if (SameText(v.FontName, "Symbol") || SameText(v.FontName, "Wingdings")) v.Charset = 2;
  v.Size = chars.Size;
  v.VShift = 0;
  if (chars.VShift != 0) {
    v.Size = std::max(1, chars.Size / 2);
    v.VShift = chars.VShift == 1 ? -25 : 45;
  }
  v.Color = chars.Color;
  v.BackColor = chars.BackColor;
  v.Style = TFontStyles(chars.Style);
  v.StyleEx = (chars.StyleEx & rtf_fsex_AllCaps) ? rdfsAllCaps : 0;
  v.CharScale = chars.CharScaleX;
  v.CharSpacing = Round(chars.CharSpacing * pixelsPerTwip);
  v.Jump = hypertext;
  wanted.Unicode = unicode;
  wanted.Hypertext = hypertext;
  return wanted;
}

TRDRTFStyleMatcher::TRDRTFStyleMatcher(TRDStyle& sheet, const TRDRTFReaderProperties& options,
                                       double pixelsPerTwip)
    : sheet_(sheet), options_(options), pixels_per_twip_(pixelsPerTwip) {}

// --- text styles -------------------------------------------------------------------------------

bool TRDRTFStyleMatcher::Accepted(int styleNo, bool hypertext) const {
  bool accept = true;
  if (options_.OnAcceptStyle) options_.OnAcceptStyle(styleNo, hypertext, accept);
  return accept;
}

bool TRDRTFStyleMatcher::TextStyleUsable(const TFontInfo& style,
                                         const TRDRTFWantedText& wanted) const {
  if (style.Unicode != wanted.Unicode) return false;
  return wanted.Hypertext ? style.Jump : (!style.Jump || options_.UseHypertextStyles);
}

int TRDRTFStyleMatcher::TextScore(const TFontInfo& style, const TRDRTFWantedText& wanted) const {
  const TRDFontInfoValues& w = wanted.Values;
  int score = 0;
  if (SameText(style.FontName, w.FontName)) score += 10000;
  if (style.Charset == w.Charset)
    score += 50000;
  else if (style.Charset == 1 || w.Charset == 1)
    score += 12500;
  score += RateValueSimilarity(w.Size, style.Size, 10000);
  score += RateColorSimilarity(style.Color, w.Color, 3333, 3000);
  score += RateColorSimilarity(style.BackColor, w.BackColor, 10000, 50000);
  if ((style.StyleEx & rdfsAllCaps) == (w.StyleEx & rdfsAllCaps)) score += 50000;
  for (const TFontStyles bit : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
    if ((style.Style & bit) == (w.Style & bit)) score += 50000;
  if ((style.Style == 0) == (w.Style == 0)) score += 50000;
  score += Round((1 - std::abs(style.CharScale - w.CharScale) / 100.0) * 300);
  score += RateValueSimilarity(w.CharSpacing, style.CharSpacing, 10000);
  if (VShiftClass(style.VShift) == VShiftClass(w.VShift)) score += 50000;
  if (style.Options != 0) score /= 4;  // styles that hold HTML or RTF code are a last resort
  return score;
}

int TRDRTFStyleMatcher::ClosestTextStyle(const TRDRTFWantedText& wanted) const {
  const TFontInfos& styles = sheet_.TextStyles();
  int best = 0, bestScore = 0;
  for (int i = 0; i < styles.Count(); ++i) {
    const TFontInfo& style = styles[i];
    if (!TextStyleUsable(style, wanted)) continue;
    const int score = TextScore(style, wanted);
    if (score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  return best;
}

// The values an equal style must share with a look, as a key: a style and a look with
// the same key are equal.
std::string TRDRTFStyleMatcher::TextKey(const TRDFontInfoValues& values, bool unicode,
                                        bool hypertext) {
  std::string key;
  key.reserve(128);
  AppendKey(key, (long long)values.FontName.size());
  key += UpperCase(values.FontName);
  for (const long long value :
       {(long long)values.Size, (long long)values.Color, (long long)values.BackColor,
        (long long)values.Style, (long long)(values.StyleEx & rdfsAllCaps),
        (long long)values.Charset, (long long)values.CharScale, (long long)values.CharSpacing,
        (long long)VShiftClass(values.VShift), (long long)unicode, (long long)hypertext})
    AppendKey(key, value);
  return key;
}

int TRDRTFStyleMatcher::EqualTextStyle(const TRDRTFWantedText& wanted) {
  // Styles that hold HTML or RTF code are never equal to a look.
  const TFontInfos& styles = sheet_.TextStyles();
  for (; indexed_text_styles_ < styles.Count(); ++indexed_text_styles_) {
    const TFontInfo& style = styles[indexed_text_styles_];
    if (style.Options == 0)
      equal_text_styles_.emplace(TextKey(style, style.Unicode, style.Jump), indexed_text_styles_);
  }
  const auto first = [&](bool jump) {
    const auto it = equal_text_styles_.find(TextKey(wanted.Values, wanted.Unicode, jump));
    return it == equal_text_styles_.end() ? -1 : it->second;
  };
  const int plain = wanted.Hypertext ? -1 : first(false);
  const int link = wanted.Hypertext || options_.UseHypertextStyles ? first(true) : -1;
  return plain < 0 || link < 0 ? std::max(plain, link) : std::min(plain, link);
}

int TRDRTFStyleMatcher::TextStyle(const TRDRTFWantedText& wanted) {
  if (options_.TextStyleMode == rdrsUseSpecified) return options_.TextStyleNo();
  std::string key = TextKey(wanted.Values, wanted.Unicode, wanted.Hypertext);
  if (const auto it = text_cache_.find(key); it != text_cache_.end()) return it->second;
  int styleNo = -1;
  if (options_.TextStyleMode == rdrsUseClosest) {
    styleNo = ClosestTextStyle(wanted);
  } else {
    styleNo = EqualTextStyle(wanted);
    if (styleNo < 0) {
      TFontInfos& styles = sheet_.TextStyles();
      TFontInfo& added = styles.Add();
      static_cast<TRDFontInfoValues&>(added) = wanted.Values;
      added.Unicode = wanted.Unicode;
      added.SetStandard(false);
      styleNo = styles.Count() - 1;
    }
  }
  text_cache_.emplace(std::move(key), styleNo);
  return styleNo;
}

// --- paragraph styles --------------------------------------------------------------------------

struct TRDRTFStyleMatcher::TWantedPara {
  TRDAlignment Alignment = rdaLeft;
  int FirstIndent = 0, LeftIndent = 0, RightIndent = 0, SpaceBefore = 0, SpaceAfter = 0;
  // Indents and spacing widened to make room for the border.
  int WideLeft = 0, WideRight = 0, WideBefore = 0, WideAfter = 0;
  bool Multiple = true;
  int LineSpacing = 100;  // percent
  int AddedLineSpacing = 100;
  TColor Background = clNone;
  TRDParaOptions Options = 0;
  std::vector<TRDTabInfo> Tabs;
  bool HasBorder = false;
  TRDBorder Border;
  struct Side {
    int Kind = 0;
    TRDRTFMappedBorder Mapped;
    TColor Color = clNone;
  };
  Side Sides[4];  // left, top, right, bottom

  std::string Key() const {
    std::string key;
    for (const long long v :
         {(long long)Alignment, (long long)FirstIndent, (long long)LeftIndent,
          (long long)RightIndent, (long long)SpaceBefore, (long long)SpaceAfter,
          (long long)Multiple, (long long)LineSpacing, (long long)AddedLineSpacing,
          (long long)Background, (long long)Options, (long long)HasBorder})
      AppendKey(key, v);
    for (const Side& s : Sides)
      for (const long long v : {(long long)s.Kind, (long long)s.Mapped.Width, (long long)s.Color})
        AppendKey(key, v);
    for (const long long v :
         {(long long)Border.BorderOffsets.Left, (long long)Border.BorderOffsets.Top,
          (long long)Border.BorderOffsets.Right, (long long)Border.BorderOffsets.Bottom})
      AppendKey(key, v);
    for (const TRDTabInfo& tab : Tabs) {
      AppendKey(key, tab.Position);
      AppendKey(key, tab.Align);
      AppendKey(key, (long long)tab.Leader.size());
      key += tab.Leader;
    }
    return key;
  }
};

TRDRTFStyleMatcher::TWantedPara TRDRTFStyleMatcher::WantedParaOf(
    const TRDRTFParaProperties& para) const {
  TWantedPara w;
  const auto px = [this](int twips) { return Round(twips * pixels_per_twip_); };
  w.Alignment = TRDAlignment(std::min<int>(para.Alignment, rdaJustify));
  w.FirstIndent = px(para.FirstIndent);
  w.LeftIndent = px(para.LeftIndent);
  w.RightIndent = px(para.RightIndent);
  w.SpaceBefore = px(para.SpaceBefore);
  w.SpaceAfter = px(para.SpaceAfter);
  w.Multiple = para.LineSpacingMultiple;
  // \sl0 means single spacing (the line takes the height of its tallest character).
  const int sl = para.LineSpacing == 0 ? 240 : para.LineSpacing;
  w.LineSpacing = int(std::abs((long long)sl) * 100 / 240);
  w.AddedLineSpacing = int((long long)sl * 100 / 240);
  w.Background = para.Color;
  if (para.KeepTogether) w.Options |= rdpaoKeepLinesTogether;
  if (para.KeepWithNext) w.Options |= rdpaoKeepWithNext;
  if (para.Tabs)
    for (const TRDRTFTab& tab : *para.Tabs)
      w.Tabs.push_back({TabAlign(tab.Align), px(tab.Position), TabLeader(tab.Leader)});
  if (para.Border) {
    for (int i = 0; i < 4; ++i) {
      const auto& side = para.Border->Sides[size_t(i)];
      if (!side) continue;
      TWantedPara::Side& s = w.Sides[i];
      s.Kind = side->Style;
      s.Mapped = MapRTFBorder(side->Style, side->Width, i == 0 || i == 1, pixels_per_twip_);
      s.Color = side->Color;
      if (s.Kind != 0) w.HasBorder = true;
    }
  }
  w.WideLeft = w.LeftIndent;
  w.WideRight = w.RightIndent;
  w.WideBefore = w.SpaceBefore;
  w.WideAfter = w.SpaceAfter;
  if (!w.HasBorder) {
    w.Border.Style = rdbNone;
    w.Border.Width = w.Border.InternalWidth = 0;
    w.Border.Color = clNone;
    return w;
  }
  const auto spacing = [&](int i) {
    const auto& side = para.Border->Sides[size_t(i)];
    return side ? px(side->Spacing) : 0;
  };
  w.Border.BorderOffsets.Left = spacing(0);
  w.Border.BorderOffsets.Top = spacing(1);
  w.Border.BorderOffsets.Right = spacing(2);
  w.Border.BorderOffsets.Bottom = spacing(3);
  // The look comes from one side: top, else left, else bottom, else right.
  int chosen = 2;
  for (const int i : {1, 0, 3, 2})
    if (w.Sides[i].Kind != 0) {
      chosen = i;
      break;
    }
  w.Border.Style = w.Sides[chosen].Mapped.Style;
  w.Border.Width = w.Sides[chosen].Mapped.Width;
  w.Border.InternalWidth = w.Sides[chosen].Mapped.InternalWidth;
  w.Border.Color = w.Sides[chosen].Color;
  w.Border.VisibleBorders.SetValues(w.Sides[0].Kind != 0, w.Sides[1].Kind != 0,
                                    w.Sides[2].Kind != 0, w.Sides[3].Kind != 0);
  const int room = w.Border.GetTotalWidth() - 1;
  w.WideLeft = std::max(w.LeftIndent, w.Border.BorderOffsets.Left + room);
  w.WideBefore = std::max(w.SpaceBefore, w.Border.BorderOffsets.Top + room);
  w.WideRight = std::max(w.RightIndent, w.Border.BorderOffsets.Right + room);
  w.WideAfter = std::max(w.SpaceAfter, w.Border.BorderOffsets.Bottom + room);
  return w;
}

bool TRDRTFStyleMatcher::ParaEqual(const TParaInfo& s, const TWantedPara& w) const {
  if (s.Alignment != w.Alignment || s.FirstIndent != w.FirstIndent || s.LeftIndent != w.WideLeft ||
      s.RightIndent != w.WideRight || s.SpaceBefore != w.WideBefore ||
      s.SpaceAfter != w.WideAfter || s.Background.Color != w.Background ||
      (s.Options & (rdpaoKeepLinesTogether | rdpaoKeepWithNext)) != w.Options)
    return false;
  if (w.Multiple) {
    const bool passes =
        s.LineSpacingType == rdlsPercent
            ? s.LineSpacing == w.LineSpacing || (s.LineSpacing < 100 && w.LineSpacing < 100)
            : s.LineSpacing <= 1 && w.LineSpacing <= 100;
    if (!passes) return false;
  }
  if (s.Tabs.Count() != int(w.Tabs.size())) return false;
  for (int i = 0; i < s.Tabs.Count(); ++i) {
    const TRDTabInfo& tab = s.Tabs.Items(i);
    if (tab.Position != w.Tabs[size_t(i)].Position || tab.Align != w.Tabs[size_t(i)].Align ||
        tab.Leader != w.Tabs[size_t(i)].Leader)
      return false;
  }
  if (!w.HasBorder) return s.Border.Style == rdbNone;
  return s.Border.Style == w.Border.Style && s.Border.Width == w.Border.Width &&
         s.Border.Color == w.Border.Color &&
         (s.Border.Style == rdbSingle || s.Border.InternalWidth == w.Border.InternalWidth) &&
         s.Border.VisibleBorders == w.Border.VisibleBorders &&
         s.Border.BorderOffsets == w.Border.BorderOffsets;
}

int TRDRTFStyleMatcher::ParaScore(const TParaInfo& s, const TWantedPara& w) const {
  int score = 0;
  if (s.Alignment == w.Alignment) score += 50000;
  const int border = s.Border.GetTotalWidth();
  score += RateValueSimilarity(w.LeftIndent + border, s.LeftIndent, 1000);
  score += RateValueSimilarity(w.RightIndent + border, s.RightIndent, 1000);
  score += RateValueSimilarity(w.SpaceBefore + border, s.SpaceBefore, 1000);
  score += RateValueSimilarity(w.SpaceAfter + border, s.SpaceAfter, 1000);
  score += RateValueSimilarity(w.FirstIndent, s.FirstIndent, 1000);
  score += RateColorSimilarity(s.Background.Color, w.Background, 10000, 50000);
  for (const TRDParaOptions option : {rdpaoKeepLinesTogether, rdpaoKeepWithNext})
    if (bool(s.Options & option) == bool(w.Options & option)) score += 500;
  if (w.Multiple) {
    if (s.LineSpacingType == rdlsPercent)
      score += RateValueSimilarity(w.LineSpacing, std::max(s.LineSpacing, 100), 5000);
    else if (s.LineSpacing >= 2)
      score -= 20000;
    else if (w.LineSpacing <= 100)
      score += 5000;
  }
  // Border.
  if (!w.HasBorder) {
    if (s.Border.Style == rdbNone) score += 20000;
  } else {
    const TRDRect& so = s.Border.BorderOffsets;
    const TRDRect& wo = w.Border.BorderOffsets;
    score += RateValueSimilarity(wo.Left, so.Left, 1000) +
             RateValueSimilarity(wo.Top, so.Top, 1000) +
             RateValueSimilarity(wo.Right, so.Right, 1000) +
             RateValueSimilarity(wo.Bottom, so.Bottom, 1000);
    const bool shown[4] = {s.Border.VisibleBorders.Left, s.Border.VisibleBorders.Top,
                           s.Border.VisibleBorders.Right, s.Border.VisibleBorders.Bottom};
    for (int i = 0; i < 4; ++i) {
      const TWantedPara::Side& side = w.Sides[i];
      const bool none = s.Border.Style == rdbNone || !shown[i];
      if (side.Kind == 0) {
        if (none) score += 20000;
      } else if (!none) {
        score += 5000 + RateValueSimilarity(side.Mapped.Width, s.Border.Width, 1000) +
                 RateValueSimilarity(side.Mapped.InternalWidth, s.Border.InternalWidth, 1000) +
                 RateColorSimilarity(s.Border.Color, side.Color, 3333, 3000);
        if (side.Mapped.Style == s.Border.Style) score += 1000;
      }
    }
  }
  // Tabs, where tabs are laid out to their stops.
  if (sheet_.SpacesInTab < 1) {
    const int n = s.Tabs.Count(), m = int(w.Tabs.size());
    for (int i = 0; i < std::min(n, m); ++i) {
      const TRDTabInfo& tab = s.Tabs.Items(i);
      const TRDTabInfo& want = w.Tabs[size_t(i)];
      score += RateValueSimilarity(want.Position, tab.Position, 200);
      if (tab.Align == want.Align) score += 100;
      if (tab.Leader == want.Leader) score += 50;
    }
    score -= 400 * std::abs(n - m);
  }
  return score;
}

int TRDRTFStyleMatcher::ClosestParaStyle(const TWantedPara& wanted, bool hypertext) const {
  const TParaInfos& styles = sheet_.ParaStyles();
  int best = 0;
  bool found = false;
  int bestScore = 0;
  for (int i = 0; i < styles.Count(); ++i) {
    if (!Accepted(i, hypertext)) continue;
    const int score = ParaScore(styles[i], wanted);
    if (!found || score > bestScore) {
      best = i;
      bestScore = score;
      found = true;
    }
  }
  return best;
}

int TRDRTFStyleMatcher::AddParaStyle(const TWantedPara& w) {
  TParaInfo& s = sheet_.ParaStyles().Add();
  s.SetStandard(false);
  s.Alignment = w.Alignment;
  s.FirstIndent = w.FirstIndent;
  s.LeftIndent = w.WideLeft;
  s.RightIndent = w.WideRight;
  s.SpaceBefore = w.WideBefore;
  s.SpaceAfter = w.WideAfter;
  if (w.Multiple) {
    s.LineSpacingType = rdlsPercent;
    s.LineSpacing = w.AddedLineSpacing;
  }
  s.Background.Color = w.Background;
  s.Options = (s.Options & ~(rdpaoKeepLinesTogether | rdpaoKeepWithNext)) | w.Options;
  s.Tabs.Clear();
  for (const TRDTabInfo& tab : w.Tabs) s.Tabs.Add(tab.Position, tab.Align, tab.Leader);
  s.Border.Style = w.Border.Style;
  s.Border.Width = w.Border.Width;
  s.Border.InternalWidth = w.Border.InternalWidth;
  s.Border.Color = w.Border.Color;
  s.Border.VisibleBorders = w.Border.VisibleBorders;
  if (w.HasBorder) s.Border.BorderOffsets = w.Border.BorderOffsets;
  return sheet_.ParaStyles().Count() - 1;
}

int TRDRTFStyleMatcher::ParaStyle(const TRDRTFParaProperties& para, bool hypertext) {
  if (options_.ParaStyleMode == rdrsUseSpecified) return options_.ParaStyleNo();
  const TWantedPara wanted = WantedParaOf(para);
  std::string key = wanted.Key();
  // The application may answer for links otherwise.
  if (options_.OnAcceptStyle) AppendKey(key, hypertext);
  if (const auto it = para_cache_.find(key); it != para_cache_.end()) return it->second;
  int paraNo = -1;
  if (options_.ParaStyleMode == rdrsUseClosest) {
    paraNo = ClosestParaStyle(wanted, hypertext);
  } else {
    const TParaInfos& styles = sheet_.ParaStyles();
    for (int i = 0; i < styles.Count() && paraNo < 0; ++i)
      if (ParaEqual(styles[i], wanted) && Accepted(i, hypertext)) paraNo = i;
    if (paraNo < 0) paraNo = AddParaStyle(wanted);
  }
  para_cache_.emplace(std::move(key), paraNo);
  return paraNo;
}

int TRDRTFStyleMatcher::TableParaStyle(std::uint8_t rowAlignment) {
  if (options_.ParaStyleMode == rdrsUseSpecified) return options_.ParaStyleNo();
  const TRDAlignment alignment = rowAlignment == 1   ? rdaRight
                                 : rowAlignment == 2 ? rdaCenter
                                                     : rdaLeft;
  TParaInfos& styles = sheet_.ParaStyles();
  // A style that is style 0 but for its alignment (and, when asked, without indents).
  const auto likeStyle0 = [&](bool noIndents) {
    TParaInfo probe(&styles);
    probe.Assign(styles[0]);
    if (noIndents) probe.FirstIndent = probe.LeftIndent = probe.RightIndent = 0;
    probe.Alignment = alignment;
    for (int i = 1; i < styles.Count(); ++i)
      if (styles[i].IsSimpleEqual(probe, true) && Accepted(i, false)) return i;
    return -1;
  };
  if (options_.ParaStyleMode == rdrsUseClosest) {
    // No style may be added: the table keeps its alignment where a style gives it.
    if (styles[0].Alignment == alignment) return 0;
    return std::max(likeStyle0(false), 0);
  }
  const auto fits = [alignment](const TParaInfo& s) {
    return s.FirstIndent == 0 && s.LeftIndent == 0 && s.RightIndent == 0 &&
           s.Alignment == alignment;
  };
  if (fits(styles[0]) && Accepted(0, false)) return 0;
  if (const int found = likeStyle0(true); found >= 0) return found;
  TParaInfo& added = styles.Add();
  added.Assign(styles[0]);
  added.SetStandard(false);
  added.FirstIndent = added.LeftIndent = added.RightIndent = 0;
  added.Alignment = alignment;
  return styles.Count() - 1;
}

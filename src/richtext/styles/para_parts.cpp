#include "richtext/styles/para_parts.h"

#include <algorithm>

#include "richtext/base/ini_file.h"
#include "richtext/base/rd_colors.h"
#include "richtext/base/rich_doc_error.h"

namespace {

constexpr int kTabMissingPenalty = 400;

int Bit1(TRDParaInfoProperty p) {
  return 1 << p;
}
int Bit2(TRDParaInfoProperty p) {
  return 1 << (p - rdpiNoWrap);
}

void WriteIntIfNot(TRDIniFile& ini, const std::string& section, const std::string& key, int value,
                   int fallback) {
  if (value != fallback) ini.WriteInteger(section, key, value);
}

int LineCount(TRDBorderStyle style) {
  switch (style) {
    case rdbSingle:
      return 1;
    case rdbTriple:
      return 3;
    case rdbNone:
      return 0;
    default:
      return 2;
  }
}

}  // namespace

// --- property masks -------------------------------------------------------------------

bool TRDParaInfoProperties::Has(TRDParaInfoProperty p) const {
  return p < rdpiNoWrap ? (Props1 & Bit1(p)) != 0 : (Props2 & Bit2(p)) != 0;
}

void TRDParaInfoProperties::Include(TRDParaInfoProperty p) {
  if (p < rdpiNoWrap)
    Props1 |= Bit1(p);
  else
    Props2 |= Bit2(p);
}

TRDParaInfoProperties TRDParaInfoProperties::operator~() const {
  return TRDParaInfoProperties{~Props1 & RDAllParaInfoProperties.Props1,
                               ~Props2 & RDAllParaInfoProperties.Props2};
}

TRDParaInfoProperties RDParaProps(std::initializer_list<TRDParaInfoProperty> props) {
  TRDParaInfoProperties set;
  for (TRDParaInfoProperty p : props) set.Include(p);
  return set;
}

const TRDParaInfoProperties RDAllParaInfoProperties{(1u << (rdpiBorder_Vis_Bottom + 1)) - 1,
                                                    (1u << (rdpiBiDiMode - rdpiNoWrap + 1)) - 1};

// --- TRDRect ---------------------------------------------------------------------------

void TRDRect::AssignValidProperties(const TRDRect& source, bool validLeft, bool validTop,
                                    bool validRight, bool validBottom) {
  if (validLeft) Left = source.Left;
  if (validTop) Top = source.Top;
  if (validRight) Right = source.Right;
  if (validBottom) Bottom = source.Bottom;
}

void TRDRect::AssignToRect(TRect& r) const {
  r = TRect{Left, Top, Right, Bottom};
}

void TRDRect::AssignToRectIfGreater(TRect& r) const {
  r.Left = std::max(r.Left, Left);
  r.Top = std::max(r.Top, Top);
  r.Right = std::max(r.Right, Right);
  r.Bottom = std::max(r.Bottom, Bottom);
}

void TRDRect::InflateRect(TRect& r) const {
  r.Left -= Left;
  r.Top -= Top;
  r.Right += Right;
  r.Bottom += Bottom;
}

void TRDRect::InflateRectScaled(TRect& r, const TRDResolution& scale) const {
  r.Left -= ScreenToDeviceX(Left, scale);
  r.Top -= ScreenToDeviceY(Top, scale);
  r.Right += ScreenToDeviceX(Right, scale);
  r.Bottom += ScreenToDeviceY(Bottom, scale);
}

bool TRDRect::IsEqualEx(const TRDRect& other, bool ignoreLeft, bool ignoreTop, bool ignoreRight,
                        bool ignoreBottom) const {
  return (ignoreLeft || Left == other.Left) && (ignoreTop || Top == other.Top) &&
         (ignoreRight || Right == other.Right) && (ignoreBottom || Bottom == other.Bottom);
}

int TRDRect::SimilarityValue(const TRDRect& other, int weight) const {
  return RateValueSimilarity(Left, other.Left, weight) +
         RateValueSimilarity(Top, other.Top, weight) +
         RateValueSimilarity(Right, other.Right, weight) +
         RateValueSimilarity(Bottom, other.Bottom, weight);
}

void TRDRect::SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& kf) const {
  WriteIntIfNot(ini, section, FormatKey(kf, "Left"), Left, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "Right"), Right, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "Top"), Top, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "Bottom"), Bottom, 0);
}

void TRDRect::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                          const std::string& kf) {
  Left = ini.ReadInteger(section, FormatKey(kf, "Left"), 0);
  Right = ini.ReadInteger(section, FormatKey(kf, "Right"), 0);
  Top = ini.ReadInteger(section, FormatKey(kf, "Top"), 0);
  Bottom = ini.ReadInteger(section, FormatKey(kf, "Bottom"), 0);
}

// --- TRDBooleanRect ----------------------------------------------------------------------

void TRDBooleanRect::SetValues(bool left, bool top, bool right, bool bottom) {
  Left = left;
  Top = top;
  Right = right;
  Bottom = bottom;
}

bool TRDBooleanRect::IsEqualToValues(bool left, bool top, bool right, bool bottom) const {
  return Left == left && Top == top && Right == right && Bottom == bottom;
}

void TRDBooleanRect::AssignValidProperties(const TRDBooleanRect& source, bool validLeft,
                                           bool validTop, bool validRight, bool validBottom) {
  if (validLeft) Left = source.Left;
  if (validTop) Top = source.Top;
  if (validRight) Right = source.Right;
  if (validBottom) Bottom = source.Bottom;
}

bool TRDBooleanRect::IsEqualEx(const TRDBooleanRect& other, bool ignoreLeft, bool ignoreTop,
                               bool ignoreRight, bool ignoreBottom) const {
  return (ignoreLeft || Left == other.Left) && (ignoreTop || Top == other.Top) &&
         (ignoreRight || Right == other.Right) && (ignoreBottom || Bottom == other.Bottom);
}

void TRDBooleanRect::SaveToINI(TRDIniFile& ini, const std::string& section,
                               const std::string& kf) const {
  if (!Left) ini.WriteString(section, FormatKey(kf, "Left"), BoolToIni(false));
  if (!Right) ini.WriteString(section, FormatKey(kf, "Right"), BoolToIni(false));
  if (!Top) ini.WriteString(section, FormatKey(kf, "Top"), BoolToIni(false));
  if (!Bottom) ini.WriteString(section, FormatKey(kf, "Bottom"), BoolToIni(false));
}

void TRDBooleanRect::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                                 const std::string& kf) {
  Left = IniToBool(ini.ReadString(section, FormatKey(kf, "Left"), "Yes"));
  Right = IniToBool(ini.ReadString(section, FormatKey(kf, "Right"), "Yes"));
  Top = IniToBool(ini.ReadString(section, FormatKey(kf, "Top"), "Yes"));
  Bottom = IniToBool(ini.ReadString(section, FormatKey(kf, "Bottom"), "Yes"));
}

// --- TRDBorder ---------------------------------------------------------------------------

void TRDBorder::DrawLines(TRect r, TRDCanvas& canvas, TColor color, int width, int internalWidth,
                          int unit) const {
  const int lines = LineCount(Style);
  canvas.PenStyle = psInsideFrame;
  canvas.PenColor = color;
  for (int k = lines; k >= 1; --k) {
    bool thick = (k == 1 && Style == rdbThickOutside) || (k == 2 && Style == rdbThickInside);
    canvas.PenWidth = thick ? 2 * width : width;
    auto side = [&](bool visible, int x1, int y1, int x2, int y2) {
      if (!visible) return;
      canvas.MoveTo(x1, y1);
      canvas.LineTo(x2, y2);
      canvas.LineTo(x1, y1);
    };
    side(VisibleBorders.Top, r.Left, r.Top, r.Right, r.Top);
    side(VisibleBorders.Right, r.Right, r.Top, r.Right, r.Bottom);
    side(VisibleBorders.Bottom, r.Right, r.Bottom, r.Left, r.Bottom);
    side(VisibleBorders.Left, r.Left, r.Bottom, r.Left, r.Top);
    int grow = internalWidth + unit;
    r = TRect{r.Left - grow, r.Top - grow, r.Right + grow, r.Bottom + grow};
    if (width == 1 && Style == rdbThickOutside) {
      r.Right += unit;
      r.Bottom += unit;
    }
    if (width == 1 && Style == rdbThickInside) {
      r.Left -= unit;
      r.Top -= unit;
    }
  }
  canvas.PenWidth = 1;
}

void TRDBorder::Draw(TRect rect, TRDCanvas& canvas, TRDColorMode colorMode,
                     const TRDResolution& scale) const {
  if (Style == rdbNone) return;
  BorderOffsets.InflateRectScaled(rect, scale);
  TColor color = Color;
  if (colorMode == 1) color = ReplaceSystemColor(Color);
  if (colorMode == 2) color = ColorToGray(ReplaceSystemColor(Color));
  if (colorMode == 3 || colorMode == 4) color = clBlack;
  DrawLines(rect, canvas, color, ScreenToDeviceY(Width, scale),
            ScreenToDeviceY(InternalWidth, scale), ScreenToDeviceY(1, scale));
}

void TRDBorder::DrawUnscaled(const TRect& rect, TRDCanvas& canvas) const {
  if (Style == rdbNone) return;
  TRect r = rect;
  BorderOffsets.InflateRect(r);
  DrawLines(r, canvas, Color, Width, InternalWidth, 1);
}

int TRDBorder::GetTotalWidth() const {
  switch (Style) {
    case rdbSingle:
      return Width;
    case rdbDouble:
      return 2 * Width + InternalWidth;
    case rdbTriple:
      return 3 * Width + 2 * InternalWidth;
    case rdbThickInside:
    case rdbThickOutside:
      return 3 * Width + InternalWidth;
    default:
      return 0;
  }
}

int TRDBorder::GetCSSWidth() const {
  switch (Style) {
    case rdbSingle:
      return Width;
    case rdbDouble:
      return Width + InternalWidth;
    case rdbTriple:
      return Width + 2 * InternalWidth;
    case rdbThickInside:
    case rdbThickOutside:
      return 3 * Width / 2 + InternalWidth;
    default:
      return 0;
  }
}

bool TRDBorder::IsEqual(const TRDBorder& o) const {
  return Style == o.Style && Color == o.Color && Width == o.Width &&
         InternalWidth == o.InternalWidth && BorderOffsets == o.BorderOffsets &&
         VisibleBorders == o.VisibleBorders;
}

bool TRDBorder::IsEqualEx(const TRDBorder& o, const TRDParaInfoProperties& ig) const {
  return (ig.Has(rdpiBorder_Style) || Style == o.Style) &&
         (ig.Has(rdpiBorder_Color) || Color == o.Color) &&
         (ig.Has(rdpiBorder_Width) || Width == o.Width) &&
         (ig.Has(rdpiBorder_InternalWidth) || InternalWidth == o.InternalWidth) &&
         BorderOffsets.IsEqualEx(o.BorderOffsets, ig.Has(rdpiBorder_BO_Left),
                                 ig.Has(rdpiBorder_BO_Top), ig.Has(rdpiBorder_BO_Right),
                                 ig.Has(rdpiBorder_BO_Bottom)) &&
         VisibleBorders.IsEqualEx(o.VisibleBorders, ig.Has(rdpiBorder_Vis_Left),
                                  ig.Has(rdpiBorder_Vis_Top), ig.Has(rdpiBorder_Vis_Right),
                                  ig.Has(rdpiBorder_Vis_Bottom));
}

void TRDBorder::AssignValidProperties(const TRDBorder& s, const TRDParaInfoProperties& v) {
  if (v.Has(rdpiBorder_Style)) Style = s.Style;
  if (v.Has(rdpiBorder_Color)) Color = s.Color;
  if (v.Has(rdpiBorder_Width)) Width = s.Width;
  if (v.Has(rdpiBorder_InternalWidth)) InternalWidth = s.InternalWidth;
  BorderOffsets.AssignValidProperties(s.BorderOffsets, v.Has(rdpiBorder_BO_Left),
                                      v.Has(rdpiBorder_BO_Top), v.Has(rdpiBorder_BO_Right),
                                      v.Has(rdpiBorder_BO_Bottom));
  VisibleBorders.AssignValidProperties(s.VisibleBorders, v.Has(rdpiBorder_Vis_Left),
                                       v.Has(rdpiBorder_Vis_Top), v.Has(rdpiBorder_Vis_Right),
                                       v.Has(rdpiBorder_Vis_Bottom));
}

bool TRDBorder::HasVisibleSides() const {
  return Style != rdbNone && !VisibleBorders.IsAllEqualTo(false);
}

int TRDBorder::SimilarityValue(const TRDBorder& o) const {
  const bool shown[4] = {
      Style != rdbNone && VisibleBorders.Left, Style != rdbNone && VisibleBorders.Top,
      Style != rdbNone && VisibleBorders.Right, Style != rdbNone && VisibleBorders.Bottom};
  const bool otherShown[4] = {
      o.Style != rdbNone && o.VisibleBorders.Left, o.Style != rdbNone && o.VisibleBorders.Top,
      o.Style != rdbNone && o.VisibleBorders.Right, o.Style != rdbNone && o.VisibleBorders.Bottom};
  const int offsets[4] = {BorderOffsets.Left, BorderOffsets.Top, BorderOffsets.Right,
                          BorderOffsets.Bottom};
  const int otherOffsets[4] = {o.BorderOffsets.Left, o.BorderOffsets.Top, o.BorderOffsets.Right,
                               o.BorderOffsets.Bottom};
  int both = 0;
  for (int i = 0; i < 4; ++i) both += shown[i] && otherShown[i];
  int score = 0;
  if (both > 0)
    score += both * (RateColorSimilarity(Color, o.Color, 3333, 3000) +
                     RateValueSimilarity(Width, o.Width, 1000) +
                     RateValueSimilarity(InternalWidth, o.InternalWidth, 1000) +
                     (Style == o.Style ? 1000 : 0));
  for (int i = 0; i < 4; ++i) {
    if (!shown[i] && !otherShown[i]) score += 20000;
    if (shown[i] != otherShown[i]) score -= 20000;
    if (shown[i] && otherShown[i]) score += RateValueSimilarity(offsets[i], otherOffsets[i], 100);
  }
  return score;
}

void TRDBorder::SaveToINI(TRDIniFile& ini, const std::string& section,
                          const std::string& kf) const {
  WriteIntIfNot(ini, section, FormatKey(kf, "Width"), Width, 1);
  WriteIntIfNot(ini, section, FormatKey(kf, "Style"), Style, rdbNone);
  WriteIntIfNot(ini, section, FormatKey(kf, "Color"), Color, clWindowText);
  WriteIntIfNot(ini, section, FormatKey(kf, "InternalWidth"), InternalWidth, 1);
  BorderOffsets.SaveToINI(ini, section, FormatKey(kf, "Offsets%s"));
  VisibleBorders.SaveToINI(ini, section, FormatKey(kf, "Visible%s"));
}

void TRDBorder::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                            const std::string& kf) {
  Width = ini.ReadInteger(section, FormatKey(kf, "Width"), 1);
  int style = ini.ReadInteger(section, FormatKey(kf, "Style"), rdbNone);
  Style = style >= rdbNone && style <= rdbThickOutside ? TRDBorderStyle(style) : rdbNone;
  Color = ini.ReadInteger(section, FormatKey(kf, "Color"), clWindowText);
  InternalWidth = ini.ReadInteger(section, FormatKey(kf, "InternalWidth"), 1);
  BorderOffsets.LoadFromINI(ini, section, FormatKey(kf, "Offsets%s"));
  VisibleBorders.LoadFromINI(ini, section, FormatKey(kf, "Visible%s"));
}

// --- TRDBackgroundRect --------------------------------------------------------------------

void TRDBackgroundRect::Draw(const TRect& rect, TRDCanvas& canvas, bool,
                             TRDColorMode colorMode) const {
  if (Color == clNone || colorMode == 3 || colorMode == 4) return;
  TColor color = Color;
  if (colorMode == 1) color = ReplaceSystemColor(Color);
  if (colorMode == 2) color = ColorToGray(ReplaceSystemColor(Color));
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = color;
  canvas.PenStyle = psClear;
  canvas.FillRect(TRect{rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1});
  canvas.PenStyle = psSolid;
  canvas.BrushStyle = bsClear;
}

bool TRDBackgroundRect::IsEqualEx(const TRDBackgroundRect& o,
                                  const TRDParaInfoProperties& ig) const {
  return (ig.Has(rdpiBackground_Color) || Color == o.Color) &&
         BorderOffsets.IsEqualEx(o.BorderOffsets, ig.Has(rdpiBackground_BO_Left),
                                 ig.Has(rdpiBackground_BO_Top), ig.Has(rdpiBackground_BO_Right),
                                 ig.Has(rdpiBackground_BO_Bottom));
}

void TRDBackgroundRect::AssignValidProperties(const TRDBackgroundRect& s,
                                              const TRDParaInfoProperties& v) {
  if (v.Has(rdpiBackground_Color)) Color = s.Color;
  BorderOffsets.AssignValidProperties(s.BorderOffsets, v.Has(rdpiBackground_BO_Left),
                                      v.Has(rdpiBackground_BO_Top), v.Has(rdpiBackground_BO_Right),
                                      v.Has(rdpiBackground_BO_Bottom));
}

int TRDBackgroundRect::SimilarityValue(const TRDBackgroundRect& o) const {
  return RateColorSimilarity(Color, o.Color, 10000, 50000) +
         BorderOffsets.SimilarityValue(o.BorderOffsets, 100);
}

void TRDBackgroundRect::SaveToINI(TRDIniFile& ini, const std::string& section,
                                  const std::string& kf) const {
  WriteIntIfNot(ini, section, FormatKey(kf, "Color"), Color, clNone);
  BorderOffsets.SaveToINI(ini, section, FormatKey(kf, "Offsets%s"));
}

void TRDBackgroundRect::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                                    const std::string& kf) {
  Color = ini.ReadInteger(section, FormatKey(kf, "Color"), clNone);
  BorderOffsets.LoadFromINI(ini, section, FormatKey(kf, "Offsets%s"));
}

// --- tabs ----------------------------------------------------------------------------------

bool TRDTabInfo::IsEqual(const TRDTabInfo& o) const {
  return Position == o.Position && Align == o.Align && Leader == o.Leader;
}

int TRDTabInfo::SimilarityValue(const TRDTabInfo& o) const {
  return RateValueSimilarity(Position, o.Position, 200) + (Align == o.Align ? 100 : 0) +
         (Leader == o.Leader ? 50 : 0);
}

std::string TRDTabInfo::GetDisplayName() const {
  static constexpr const char* kNames[] = {"left", "right", "center"};
  std::string name = std::string(kNames[Align]) + " at " + std::to_string(Position);
  if (!Leader.empty()) name += " (" + Leader + Leader + Leader + Leader + Leader + ")";
  return name;
}

const TRDTabInfo& TRDTabInfos::Items(int index) const {
  Check(index);
  return tabs_[size_t(index)];
}

void TRDTabInfos::Check(int index) const {
  if (index < 0 || index >= Count()) throw ERDListIndexError(index);
}

void TRDTabInfos::Sort() {
  std::stable_sort(tabs_.begin(), tabs_.end(), [](const TRDTabInfo& a, const TRDTabInfo& b) {
    return a.Position < b.Position;
  });
}

int TRDTabInfos::Add(int position, TRDTabAlign align, const std::string& leader) {
  tabs_.push_back(TRDTabInfo{align, position, leader});
  Sort();
  for (int i = Count() - 1; i >= 0; --i)
    if (tabs_[size_t(i)].Position == position) return i;
  return Count() - 1;
}

void TRDTabInfos::SetPosition(int index, int position) {
  Check(index);
  if (tabs_[size_t(index)].Position == position) return;
  tabs_[size_t(index)].Position = position;
  Sort();
}

void TRDTabInfos::SetAlign(int index, TRDTabAlign align) {
  Check(index);
  tabs_[size_t(index)].Align = align;
}

void TRDTabInfos::SetLeader(int index, const std::string& leader) {
  Check(index);
  tabs_[size_t(index)].Leader = leader;
}

void TRDTabInfos::Delete(int index) {
  Check(index);
  tabs_.erase(tabs_.begin() + index);
}

bool TRDTabInfos::IsEqual(const TRDTabInfos& o) const {
  if (Count() != o.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (!tabs_[size_t(i)].IsEqual(o.tabs_[size_t(i)])) return false;
  return true;
}

int TRDTabInfos::SimilarityValue(const TRDTabInfos& o) const {
  int common = std::min(Count(), o.Count());
  int score = 0;
  for (int i = 0; i < common; ++i) score += tabs_[size_t(i)].SimilarityValue(o.tabs_[size_t(i)]);
  return score - kTabMissingPenalty * std::abs(Count() - o.Count());
}

void TRDTabInfos::SaveToINI(TRDIniFile& ini, const std::string& section,
                            const std::string& kf) const {
  WriteIntIfNot(ini, section, FormatKey(kf, "TabCount"), Count(), 0);
  for (int i = 0; i < Count(); ++i) {
    std::string tabFormat = FormatKey(kf, "") + "Tab%s" + std::to_string(i);
    const TRDTabInfo& tab = tabs_[size_t(i)];
    WriteIntIfNot(ini, section, FormatKey(tabFormat, "Pos"), tab.Position, 0);
    WriteIntIfNot(ini, section, FormatKey(tabFormat, "Align"), tab.Align, rdtaLeft);
    if (!tab.Leader.empty()) ini.WriteString(section, FormatKey(tabFormat, "Leader"), tab.Leader);
  }
}

void TRDTabInfos::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                              const std::string& kf) {
  tabs_.clear();
  int count = ini.ReadInteger(section, FormatKey(kf, "TabCount"), 0);
  for (int i = 0; i < count; ++i) {
    std::string tabFormat = FormatKey(kf, "") + "Tab%s" + std::to_string(i);
    // A count larger than the keys present only costs default stops; stop at the first
    // missing stop instead of trusting a huge number.
    if (!ini.ValueExists(section, FormatKey(tabFormat, "Pos")) &&
        !ini.ValueExists(section, FormatKey(tabFormat, "Align")) &&
        !ini.ValueExists(section, FormatKey(tabFormat, "Leader")) && i > 0)
      break;
    int align = ini.ReadInteger(section, FormatKey(tabFormat, "Align"), rdtaLeft);
    tabs_.push_back(
        TRDTabInfo{align >= rdtaLeft && align <= rdtaCenter ? TRDTabAlign(align) : rdtaLeft,
                   ini.ReadInteger(section, FormatKey(tabFormat, "Pos"), 0),
                   ini.ReadString(section, FormatKey(tabFormat, "Leader"), "")});
  }
  Sort();
}

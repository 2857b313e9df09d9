#include "richtext/styles/para_style.h"

#include <algorithm>

#include "platform/text/sysutils.h"
#include "richtext/base/ini_file.h"
#include "richtext/base/rd_colors.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr TColor kInvalidBorderColor = 0x0000FF;

void WriteIntIfNot(TRDIniFile& ini, const std::string& section, const std::string& key, int value,
                   int fallback) {
  if (value != fallback) ini.WriteInteger(section, key, value);
}

const char* AlignmentCSS(TRDAlignment a) {
  switch (a) {
    case rdaRight:
      return "right";
    case rdaCenter:
      return "center";
    case rdaJustify:
      return "justify";
    default:
      return "left";
  }
}

const char* DirectionCSS(TRDBiDiMode mode) {
  return mode == rdbdLeftToRight ? "ltr" : mode == rdbdRightToLeft ? "rtl" : "inherit";
}

std::string Px(int v) {
  return std::to_string(v) + "px";
}

// A percent line spacing as CSS: 105 -> "1.05", 150 -> "1.50".
std::string LineHeightCSS(int percent) {
  std::string fraction = std::to_string(std::abs(percent % 100));
  if (fraction.size() < 2) fraction = "0" + fraction;
  return std::to_string(percent / 100) + "." + fraction;
}

struct ParaOptionKey {
  TRDParaOptions option;
  TRDParaInfoProperty property;
  const char* key;
  int similarity;
};
constexpr ParaOptionKey kParaOptions[] = {
    {rdpaoNoWrap, rdpiNoWrap, "NoWrap", 1000},
    {rdpaoReadOnly, rdpiReadOnly, "ReadOnly", 100000},
    {rdpaoStyleProtect, rdpiStyleProtect, "StyleProtect", 1000},
    {rdpaoDoNotWantReturns, rdpiDoNotWantReturns, "DoNotWantReturns", 10000},
    {rdpaoKeepLinesTogether, rdpiKeepLinesTogether, "KeepLinesTogether", 500},
    {rdpaoKeepWithNext, rdpiKeepWithNext, "KeepWithNext", 500},
};

}  // namespace

// --- paragraph styles -------------------------------------------------------------------------

TCustomRDParaInfo::TCustomRDParaInfo(TCustomRDInfos* collection) : TCustomRDInfo(collection) {
  SetStyleName("Paragraph Style");
}

void TCustomRDParaInfo::Assign(const TCustomRDInfo& source) {
  if (const auto* s = dynamic_cast<const TCustomRDParaInfo*>(&source)) {
    FirstIndent = s->FirstIndent;
    LeftIndent = s->LeftIndent;
    RightIndent = s->RightIndent;
    Alignment = s->Alignment;
    SpaceBefore = s->SpaceBefore;
    SpaceAfter = s->SpaceAfter;
    LineSpacing = s->LineSpacing;
    LineSpacingType = s->LineSpacingType;
    Background = s->Background;
    Border = s->Border;
    Tabs = s->Tabs;
    Options = s->Options;
    BiDiMode = s->BiDiMode;
  }
  TCustomRDInfo::Assign(source);
}

bool TCustomRDParaInfo::ExtraLineSpacing() const {
  return LineSpacingType == rdlsPercent ? LineSpacing != 100 : LineSpacing >= 1;
}

void TCustomRDParaInfo::AssignSelectedProperties(const TCustomRDParaInfo& s,
                                                 const TRDParaInfoProperties& p) {
  if (p.Has(rdpiFirstIndent)) FirstIndent = s.FirstIndent;
  if (p.Has(rdpiLeftIndent)) LeftIndent = s.LeftIndent;
  if (p.Has(rdpiRightIndent)) RightIndent = s.RightIndent;
  if (p.Has(rdpiSpaceBefore)) SpaceBefore = s.SpaceBefore;
  if (p.Has(rdpiSpaceAfter)) SpaceAfter = s.SpaceAfter;
  if (p.Has(rdpiAlignment)) Alignment = s.Alignment;
  if (p.Has(rdpiLineSpacing)) LineSpacing = s.LineSpacing;
  if (p.Has(rdpiLineSpacingType)) LineSpacingType = s.LineSpacingType;
  Background.AssignValidProperties(s.Background, p);
  Border.AssignValidProperties(s.Border, p);
  for (const ParaOptionKey& o : kParaOptions)
    if (p.Has(o.property))
      Options = (s.Options & o.option) ? (Options | o.option) : (Options & ~o.option);
  if (p.Has(rdpiTabs)) Tabs = s.Tabs;
  if (p.Has(rdpiBiDiMode)) BiDiMode = s.BiDiMode;
}

bool TCustomRDParaInfo::IsEqual(const TCustomRDParaInfo& v, const TRDParaInfoProperties& ig) const {
  if (!(ig.Has(rdpiAlignment) || Alignment == v.Alignment)) return false;
  if (!(ig.Has(rdpiFirstIndent) || FirstIndent == v.FirstIndent)) return false;
  if (!(ig.Has(rdpiLeftIndent) || LeftIndent == v.LeftIndent)) return false;
  if (!(ig.Has(rdpiRightIndent) || RightIndent == v.RightIndent)) return false;
  if (!(ig.Has(rdpiSpaceBefore) || SpaceBefore == v.SpaceBefore)) return false;
  if (!(ig.Has(rdpiSpaceAfter) || SpaceAfter == v.SpaceAfter)) return false;
  if (!(ig.Has(rdpiLineSpacing) || LineSpacing == v.LineSpacing)) return false;
  if (!(ig.Has(rdpiLineSpacingType) || LineSpacingType == v.LineSpacingType)) return false;
  for (const ParaOptionKey& o : kParaOptions)
    if (!ig.Has(o.property) && (Options & o.option) != (v.Options & o.option)) return false;
  if (!(ig.Has(rdpiBiDiMode) || BiDiMode == v.BiDiMode)) return false;
  if (!(ig.Has(rdpiTabs) || Tabs.IsEqual(v.Tabs))) return false;
  if (!Background.IsEqualEx(v.Background, ig)) return false;
  if (!Border.IsEqualEx(v.Border, ig)) return false;
  return NamesEqualIfCompared(v);
}

bool TCustomRDParaInfo::IsSimpleEqual(const TCustomRDInfo& other, bool) const {
  const auto* v = dynamic_cast<const TCustomRDParaInfo*>(&other);
  if (!v) return false;
  return Alignment == v->Alignment && FirstIndent == v->FirstIndent &&
         LeftIndent == v->LeftIndent && RightIndent == v->RightIndent &&
         SpaceBefore == v->SpaceBefore && SpaceAfter == v->SpaceAfter &&
         LineSpacing == v->LineSpacing && LineSpacingType == v->LineSpacingType &&
         Options == v->Options && BiDiMode == v->BiDiMode && Background.IsEqual(v->Background) &&
         Tabs.IsEqual(v->Tabs) && Border.IsEqual(v->Border) && NamesEqualIfCompared(*v);
}

int TCustomRDParaInfo::SimilarityValue(const TCustomRDInfo& other) const {
  const auto* v = dynamic_cast<const TCustomRDParaInfo*>(&other);
  if (!v) return 0;
  int score = RateValueSimilarity(FirstIndent, v->FirstIndent, 1000) +
              RateValueSimilarity(LeftIndent, v->LeftIndent, 1000) +
              RateValueSimilarity(RightIndent, v->RightIndent, 1000) +
              RateValueSimilarity(SpaceBefore, v->SpaceBefore, 1000) +
              RateValueSimilarity(SpaceAfter, v->SpaceAfter, 1000) +
              Background.SimilarityValue(v->Background) + Tabs.SimilarityValue(v->Tabs) +
              Border.SimilarityValue(v->Border);
  if (Alignment == v->Alignment) score += 50000;
  if (BiDiMode == v->BiDiMode) score += 10000;
  for (const ParaOptionKey& o : kParaOptions)
    if ((Options & o.option) == (v->Options & o.option)) score += o.similarity;
  if (LineSpacingType == v->LineSpacingType)
    score += RateValueSimilarity(LineSpacing, v->LineSpacing, 5000);
  else if (ExtraLineSpacing() != v->ExtraLineSpacing())
    score -= 20000;
  return score;
}

void TCustomRDParaInfo::SaveToINI(TRDIniFile& ini, const std::string& section,
                                  const std::string& kf) const {
  SaveBaseToINI(ini, section, kf);
  WriteIntIfNot(ini, section, FormatKey(kf, "SpaceBefore"), SpaceBefore, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "SpaceAfter"), SpaceAfter, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "LeftIndent"), LeftIndent, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "RightIndent"), RightIndent, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "FirstIndent"), FirstIndent, 0);
  WriteIntIfNot(ini, section, FormatKey(kf, "LineSpacing"), LineSpacing, 100);
  WriteIntIfNot(ini, section, FormatKey(kf, "LSType"), LineSpacingType, rdlsPercent);
  WriteIntIfNot(ini, section, FormatKey(kf, "Alignment"), Alignment, rdaLeft);
  WriteIntIfNot(ini, section, FormatKey(kf, "BiDiMode"), BiDiMode, rdbdUnspecified);
  for (const ParaOptionKey& o : kParaOptions)
    if (Options & o.option) ini.WriteString(section, FormatKey(kf, o.key), BoolToIni(true));
  Border.SaveToINI(ini, section, FormatKey(kf, "Border%s"));
  Background.SaveToINI(ini, section, FormatKey(kf, "Background%s"));
  Tabs.SaveToINI(ini, section, FormatKey(kf, "Tab%s"));
}

void TCustomRDParaInfo::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                                    const std::string& kf) {
  LoadBaseFromINI(ini, section, kf, "Paragraph Style");
  auto readInt = [&](const char* key, int fallback) {
    return ini.ReadInteger(section, FormatKey(kf, key), fallback);
  };
  SpaceBefore = readInt("SpaceBefore", 0);
  SpaceAfter = readInt("SpaceAfter", 0);
  LeftIndent = readInt("LeftIndent", 0);
  RightIndent = readInt("RightIndent", 0);
  FirstIndent = readInt("FirstIndent", 0);
  LineSpacing = readInt("LineSpacing", 100);
  LineSpacingType = readInt("LSType", 0) == rdlsSpaceBetween ? rdlsSpaceBetween : rdlsPercent;
  int alignment = readInt("Alignment", 0);
  Alignment = alignment >= rdaLeft && alignment <= rdaJustify ? TRDAlignment(alignment) : rdaLeft;
  int bidi = readInt("BiDiMode", 0);
  BiDiMode =
      bidi >= rdbdUnspecified && bidi <= rdbdRightToLeft ? TRDBiDiMode(bidi) : rdbdUnspecified;
  Options = 0;
  for (const ParaOptionKey& o : kParaOptions)
    if (IniToBool(ini.ReadString(section, FormatKey(kf, o.key), "No"))) Options |= o.option;
  Border.LoadFromINI(ini, section, FormatKey(kf, "Border%s"));
  Background.LoadFromINI(ini, section, FormatKey(kf, "Background%s"));
  Tabs.LoadFromINI(ini, section, FormatKey(kf, "Tab%s"));
}

TRDRect TCustomRDParaInfo::CSSPadding() const {
  TRDRect padding;
  if (Border.Style != rdbNone && Border.Color != clNone) padding = Border.BorderOffsets;
  if (Background.Color != clNone) {
    padding.Top = std::max(padding.Top, Background.BorderOffsets.Top);
    padding.Left = std::max(padding.Left, Background.BorderOffsets.Left);
    padding.Right = std::max(padding.Right, Background.BorderOffsets.Right);
    padding.Bottom = std::max(padding.Bottom, Background.BorderOffsets.Bottom);
  }
  return padding;
}

std::string TCustomRDParaInfo::GetCSS(const TCustomRDParaInfo* base, bool multiline,
                                      bool ignoreLeftAlignment, bool ignoreLeftIndents) const {
  std::string out;
  auto put = [&](const std::string& declaration) {
    out += " " + declaration;
    if (multiline) out += "\r\n";
  };
  if (base ? base->Alignment != Alignment : !(ignoreLeftAlignment && Alignment == rdaLeft))
    put(std::string("text-align: ") + AlignmentCSS(Alignment) + ";");
  if (base ? base->BiDiMode != BiDiMode : BiDiMode != rdbdUnspecified)
    put(std::string("direction: ") + DirectionCSS(BiDiMode) + ";");
  if (!ignoreLeftIndents && (!base || base->FirstIndent != FirstIndent))
    put("text-indent: " + Px(FirstIndent) + ";");
  bool percent = LineSpacingType == rdlsPercent;
  bool basePercent = base && base->LineSpacingType == rdlsPercent;
  if (percent && (base ? !(basePercent && base->LineSpacing == LineSpacing) &&
                             !(!basePercent && LineSpacing == 100)
                       : LineSpacing != 100))
    put("line-height: " + LineHeightCSS(LineSpacing) + ";");
  if (!percent && basePercent && base->LineSpacing != 100) put("line-height: normal;");
  auto optionCSS = [&](TRDParaOptions option, const char* on, const char* off) {
    bool has = Options & option;
    bool baseHas = base && (base->Options & option);
    if (has && !baseHas) put(on);
    if (!has && baseHas) put(off);
  };
  optionCSS(rdpaoNoWrap, "white-space: nowrap;", "white-space: normal;");
  optionCSS(rdpaoKeepLinesTogether, "page-break-inside: avoid;", "page-break-inside: auto;");
  optionCSS(rdpaoKeepWithNext, "page-break-after: avoid;", "page-break-after: auto;");
  if (Border.Style == rdbNone || Border.Color == clNone) {
    if (base && base->Border.HasVisibleSides() && base->Border.Color != clNone)
      put("border: none;");
  } else {
    put("border-color: " + ColorToHTMLString(Border.Color, false) + ";");
    put(std::string("border-style: ") + (Border.Style == rdbSingle ? "solid" : "double") + ";");
    put("border-width: " + Px(Border.GetCSSWidth()) + ";");
    if (!Border.VisibleBorders.Top) put("border-top: none;");
    if (!Border.VisibleBorders.Right) put("border-right: none;");
    if (!Border.VisibleBorders.Bottom) put("border-bottom: none;");
    if (!Border.VisibleBorders.Left) put("border-left: none;");
  }
  if (base ? base->Background.Color != Background.Color : Background.Color != clNone)
    put("background: " + ColorToCSS(Background.Color) + ";");
  TRDRect padding = CSSPadding();
  if (!base || !(base->CSSPadding() == padding))
    put("padding: " + Px(padding.Top) + " " + Px(padding.Right) + " " + Px(padding.Bottom) + " " +
        Px(padding.Left) + ";");
  auto margins = [](const TCustomRDParaInfo& s) {
    TRDRect p = s.CSSPadding();
    return TRDRect{s.SpaceBefore - p.Top, s.LeftIndent - p.Left, s.RightIndent - p.Right,
                   s.SpaceAfter - p.Bottom};
  };
  TRDRect m = margins(*this);
  if (!base || !(margins(*base) == m)) {
    if (ignoreLeftIndents) {
      put("margin-top: " + Px(m.Top) + ";");
      put("margin-right: " + Px(m.Right) + ";");
      put("margin-bottom: " + Px(m.Bottom) + ";");
    } else {
      put("margin: " + Px(m.Top) + " " + Px(m.Right) + " " + Px(m.Bottom) + " " + Px(m.Left) + ";");
    }
  }
  return out;
}

void TCustomRDParaInfo::SaveCSSToStream(TStream& stream, const TCustomRDParaInfo* base,
                                        bool multiline, bool ignoreLeftAlignment,
                                        bool ignoreLeftIndents) const {
  RDWrite(stream, GetCSS(base, multiline, ignoreLeftAlignment, ignoreLeftIndents));
}

void TParaInfo::Assign(const TCustomRDInfo& source) {
  if (const auto* s = dynamic_cast<const TParaInfo*>(&source)) {
    NextParaNo = s->NextParaNo;
    DefStyleNo = s->DefStyleNo;
    ModifiedProperties1 = s->ModifiedProperties1;
    ModifiedProperties2 = s->ModifiedProperties2;
  }
  TCustomRDParaInfo::Assign(source);
}

bool TParaInfo::IsEqual(const TCustomRDParaInfo& value, const TRDParaInfoProperties& ig) const {
  if (!TCustomRDParaInfo::IsEqual(value, ig)) return false;
  const auto* v = dynamic_cast<const TParaInfo*>(&value);
  if (!v) return true;
  if (!ig.Has(rdpiNextParaNo) && NextParaNo != v->NextParaNo) return false;
  if (!ig.Has(rdpiDefStyleNo) && DefStyleNo != v->DefStyleNo) return false;
  return StyleTemplateId() == v->StyleTemplateId() &&
         ModifiedProperties1 == v->ModifiedProperties1 &&
         ModifiedProperties2 == v->ModifiedProperties2;
}

bool TParaInfo::IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const {
  if (!TCustomRDParaInfo::IsSimpleEqual(value, ignoreReferences)) return false;
  const auto* v = dynamic_cast<const TParaInfo*>(&value);
  if (!v) return true;
  if (ModifiedProperties1 != v->ModifiedProperties1 ||
      ModifiedProperties2 != v->ModifiedProperties2 || StyleTemplateId() != v->StyleTemplateId())
    return false;
  return ignoreReferences || (NextParaNo == v->NextParaNo && DefStyleNo == v->DefStyleNo);
}

bool TParaInfo::IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList& mapping) const {
  if (!IsSimpleEqual(value, true)) return false;
  auto* v = dynamic_cast<TParaInfo*>(&value);
  return !v || MappedReferenceMatches(v->NextParaNo, NextParaNo, mapping);
}

void TParaInfo::TranslateReferences(const TRDIntegerList& mapping,
                                    const TRDIntegerList* textStyleMapping) {
  TCustomRDParaInfo::TranslateReferences(mapping, textStyleMapping);
  TranslateReference(NextParaNo, mapping);
  if (textStyleMapping) TranslateReference(DefStyleNo, *textStyleMapping);
}

void TParaInfo::SaveToINI(TRDIniFile& ini, const std::string& section,
                          const std::string& kf) const {
  TCustomRDParaInfo::SaveToINI(ini, section, kf);
  WriteIntIfNot(ini, section, FormatKey(kf, "NextParaNo"), NextParaNo, -1);
  WriteIntIfNot(ini, section, FormatKey(kf, "DefStyleNo"), DefStyleNo, -1);
}

void TParaInfo::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                            const std::string& kf) {
  TCustomRDParaInfo::LoadFromINI(ini, section, kf);
  NextParaNo = ini.ReadInteger(section, FormatKey(kf, "NextParaNo"), -1);
  DefStyleNo = ini.ReadInteger(section, FormatKey(kf, "DefStyleNo"), -1);
}

TParaInfo& TParaInfos::Add() {
  return static_cast<TParaInfo&>(AddItem());
}

TParaInfo& TParaInfos::Items(int index) const {
  if (index >= 0 && index < Count()) return static_cast<TParaInfo&>(At(index));
  if (!invalid_item_) {
    invalid_item_ = Owner() ? Owner()->CreateParaStyle(nullptr) : CreateParaInfo(nullptr);
    if (Count() > 0) invalid_item_->Assign(At(0));
    auto& invalid = static_cast<TParaInfo&>(*invalid_item_);
    invalid.LeftIndent = invalid.RightIndent = invalid.SpaceBefore = invalid.SpaceAfter = 1;
    invalid.Border.Color = kInvalidBorderColor;
    invalid.Border.Style = rdbSingle;
    invalid.Border.Width = 2;
    invalid.Border.BorderOffsets.SetAll(1);
  }
  return static_cast<TParaInfo&>(*invalid_item_);
}

int TParaInfos::FindSuchStyle(int baseParaNo, const TParaInfo& style,
                              const TRDParaInfoProperties& mask) const {
  return FindEqualStyle(*this, baseParaNo, style, ~mask);
}

std::unique_ptr<TCustomRDInfo> CreateParaInfo(TCustomRDInfos* collection) {
  return std::make_unique<TParaInfo>(collection);
}

namespace {

void DefineRect(TRDPropertyFiler& filer, std::string_view name, TRDRect& rect) {
  filer.Nested(name, [&](TRDPropertyFiler& f) {
    f.Length("Left", rect.Left, 0);
    f.Length("Top", rect.Top, 0);
    f.Length("Right", rect.Right, 0);
    f.Length("Bottom", rect.Bottom, 0);
  });
}

// Tab stops are kept sorted, so the stored ones are gathered first and added at the end.
class TTabStreamCollection : public TRDStreamCollection {
 public:
  explicit TTabStreamCollection(TRDTabInfos& tabs) : tabs_(tabs) {
    for (int i = 0; i < tabs.Count(); ++i) staged_.push_back(tabs.Items(i));
  }
  int Count() const override { return int(staged_.size()); }
  void Clear() override { staged_.clear(); }
  void Add() override { staged_.emplace_back(); }
  void DefineItem(int index, TRDPropertyFiler& filer) override {
    TRDTabInfo& tab = staged_[size_t(index)];
    filer.Length("Position", tab.Position, 0);
    filer.Ranged("Align", tab.Align, rdtaLeft, rdtaLeft, rdtaCenter);
    filer.String("Leader", tab.Leader, "");
  }
  void EndRead() override {
    tabs_.Clear();
    for (const TRDTabInfo& tab : staged_) tabs_.Add(tab.Position, tab.Align, tab.Leader);
  }

 private:
  TRDTabInfos& tabs_;
  std::vector<TRDTabInfo> staged_;
};

}  // namespace

void TCustomRDParaInfo::DefineProperties(TRDPropertyFiler& filer) {
  TCustomRDInfo::DefineProperties(filer);
  filer.Length("FirstIndent", FirstIndent, 0);
  filer.Length("LeftIndent", LeftIndent, 0);
  filer.Length("RightIndent", RightIndent, 0);
  filer.Length("SpaceBefore", SpaceBefore, 0);
  filer.Length("SpaceAfter", SpaceAfter, 0);
  filer.Length("LineSpacing", LineSpacing, 100);
  filer.Ranged("LineSpacingType", LineSpacingType, rdlsPercent, rdlsPercent, rdlsSpaceBetween);
  filer.Ranged("Alignment", Alignment, rdaLeft, rdaLeft, rdaJustify);
  filer.Nested("Border", [&](TRDPropertyFiler& f) {
    f.Integer("Color", Border.Color, clWindowText);
    f.Ranged("Style", Border.Style, rdbNone, 0, 0xFF);
    f.Length("Width", Border.Width, 1);
    f.Length("InternalWidth", Border.InternalWidth, 1);
    f.Nested("VisibleBorders", [&](TRDPropertyFiler& v) {
      v.Boolean("Left", Border.VisibleBorders.Left, true);
      v.Boolean("Top", Border.VisibleBorders.Top, true);
      v.Boolean("Right", Border.VisibleBorders.Right, true);
      v.Boolean("Bottom", Border.VisibleBorders.Bottom, true);
    });
    DefineRect(f, "BorderOffsets", Border.BorderOffsets);
  });
  filer.Nested("Background", [&](TRDPropertyFiler& f) {
    f.Integer("Color", Background.Color, clNone);
    DefineRect(f, "BorderOffsets", Background.BorderOffsets);
  });
  filer.Ranged("Options", Options, TRDParaOptions(0), 0, 0xFF);
  filer.Ranged("BiDiMode", BiDiMode, rdbdUnspecified, rdbdUnspecified, rdbdRightToLeft);
  TTabStreamCollection tabs(Tabs);
  filer.Collection("Tabs", tabs);
}

void TParaInfo::DefineProperties(TRDPropertyFiler& filer) {
  TCustomRDParaInfo::DefineProperties(filer);
  filer.Integer("NextParaNo", NextParaNo, -1);
  filer.Integer("DefStyleNo", DefStyleNo, -1);
  int modified1 = int(ModifiedProperties1), modified2 = int(ModifiedProperties2);
  filer.Integer("ModifiedProperties1", modified1, 0);
  filer.Integer("ModifiedProperties2", modified2, 0);
  ModifiedProperties1 = TRDParaInfoProperties1(modified1);
  ModifiedProperties2 = TRDParaInfoProperties2(modified2);
}

#include "richtext_edit/rtf/rtf_properties.h"

#include <algorithm>

TRDRTFBorderSide& TRDRTFParaBorder::Side(int index) {
  auto& side = Sides[std::size_t(std::clamp(index, 0, 3))];
  if (!side) side.emplace();
  return *side;
}

void TRDRTFCharProperties::Reset(int defaultFontIndex, int defaultLanguage) {
  *this = TRDRTFCharProperties();
  FontIndex = defaultFontIndex;
  Language = defaultLanguage;
}

void TRDRTFCustomMarkerProperties::TakeFontFrom(const TRDRTFCharProperties& chars) {
  if (!(FontFlags & kFontGiven)) FontIndex = chars.FontIndex;
  if (!(FontFlags & kColorGiven)) Color = chars.Color;
  if (!(FontFlags & kSizeGiven)) FontSize = chars.Size;
}

void TRDRTFMarkerProperties::TakeFromLevelMarker(const TRDRTFMarkerProperties& source) {
  NumberType = source.NumberType;
  Alignment = source.Alignment;
  Indent = source.Indent;
  Space = source.Space;
  Start = source.Start;
  FontFlags = source.FontFlags;
  FontStyle = source.FontStyle;
  Hanging = source.Hanging;
  TextBefore = source.TextBefore;
  TextAfter = source.TextAfter;
  // A value the level marker gives explicitly is kept from it; the others come from the
  // text before the marker is reported.
  if (FontFlags & kFontGiven) FontIndex = source.FontIndex;
  if (FontFlags & kColorGiven) Color = source.Color;
  if (FontFlags & kSizeGiven) FontSize = source.FontSize;
}

void TRDRTFParaProperties::Reset() {
  const int nesting = NestingLevel;
  const bool inTable = InTable;
  const bool keep = KeepTableLevel;
  *this = TRDRTFParaProperties();
  if (keep) {
    NestingLevel = nesting;
    InTable = inTable;
  }
}

TRDRTFParaBorder& TRDRTFParaProperties::GetBorder() {
  if (!Border) Border.emplace();
  return *Border;
}

TRDRTFTab& TRDRTFParaProperties::LastTab() {
  if (!Tabs) Tabs.emplace();
  // Tabs set after the paragraph's text was reported start a new open tab rather than
  // overwriting the last real one.
  if (Tabs->empty() || TabsFinal) {
    Tabs->emplace_back();
    TabsFinal = false;
  }
  return Tabs->back();
}

void TRDRTFParaProperties::CloseTab(int position) {
  LastTab().Position = position;
  if (Tabs->size() < kMaxTabs) Tabs->emplace_back();
}

void TRDRTFParaProperties::Finalize() {
  if (Shading != 0) {
    Color = MixShading(Color, PatternColor, Shading);
    Shading = 0;
  }
  if (Tabs && !TabsFinal) {
    if (!Tabs->empty()) Tabs->pop_back();
    std::erase_if(*Tabs, [](const TRDRTFTab& tab) { return tab.ListTab; });
    TabsFinal = true;
  }
}

TColor MixShading(TColor background, TColor pattern, int shading) {
  const TColor b = ColorToRGB(background == clNone ? clWhite : background);
  const TColor p = ColorToRGB(pattern == clNone ? clWhite : pattern);
  const auto mix = [shading](int bc, int pc) {
    const long long value = ((10000LL - shading) * bc + (long long)shading * pc) / 10000;
    return int(value & 0xFF);
  };
  return RGB(mix(GetRValue(b), GetRValue(p)), mix(GetGValue(b), GetGValue(p)),
             mix(GetBValue(b), GetBValue(p)));
}

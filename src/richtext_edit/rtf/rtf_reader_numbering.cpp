// Old-style paragraph numbering (\pn, \pnseclvl) and Word 97 list levels: what their
// control words set.
#include "richtext_edit/rtf/rtf_property_values.h"
#include "richtext_edit/rtf/rtf_reader.h"

namespace {
using P = TRDRTFProp;
}  // namespace

TRDRTFMarkerProperties* TRDRTFReader::CurrentMarker() {
  const TRDRTFDestination destination = state_->Destination;
  const bool level = destination == rtf_ds_PnSecLevel ||
                     ((destination == rtf_ds_PnTextAfter || destination == rtf_ds_PnTextBefore) &&
                      state_->MarkerTextForLevel);
  if (!level) return cur_marker_ ? &*cur_marker_ : nullptr;
  if (list_level_number_ < 1 || list_level_number_ > TRDRTFSectionProperties::kLevelMarkerCount)
    return nullptr;
  auto& markers = state_->SectProps.LevelMarkers;
  if (!markers) markers.emplace();
  return &(*markers)[std::size_t(list_level_number_ - 1)];
}

void TRDRTFReader::ApplyMarkerProperty(TRDRTFMarkerProperties& marker, P prop, int value) {
  TRDRTFFontStyle bit{};
  if (FontStyleBit(prop, bit)) {
    SetStyleBit(marker.FontStyle, bit, value);
    return;
  }
  TColor color = clNone;
  switch (prop) {
    case P::PnLevel: {
      const auto& levels = state_->SectProps.LevelMarkers;
      if (levels && value >= 1 && value <= TRDRTFSectionProperties::kLevelMarkerCount)
        marker.TakeFromLevelMarker((*levels)[std::size_t(value - 1)]);
      marker.Level = value;
      break;
    }
    case P::PnHanging:
      marker.Hanging = value != 0;
      break;
    case P::PnNumberType:
      marker.NumberType = std::uint8_t(value);
      break;
    case P::PnColor:
      if (ColorOf(value, color)) marker.Color = color;
      marker.FontFlags |= TRDRTFCustomMarkerProperties::kColorGiven;
      break;
    case P::PnFont:
      marker.FontIndex = FontIndexOf(value);
      marker.FontFlags |= TRDRTFCustomMarkerProperties::kFontGiven;
      break;
    case P::PnFontSize:
      marker.FontSize = HalfPointsToPoints(value);
      marker.FontFlags |= TRDRTFCustomMarkerProperties::kSizeGiven;
      break;
    case P::PnIndent:
      marker.Indent = value;
      break;
    case P::PnSpace:
      marker.Space = value;
      break;
    case P::PnStart:
      marker.Start = value;
      break;
    case P::PnAlign:
      marker.Alignment = std::uint8_t(value);
      break;
    default:
      break;
  }
}

void TRDRTFReader::ApplyListLevelProperty(TRDRTFListLevel97& level, P prop, int value) {
  TRDRTFFontStyle bit{};
  if (FontStyleBit(prop, bit)) {
    SetStyleBit(level.FontStyle, bit, value);
    return;
  }
  TColor color = clNone;
  switch (prop) {
    case P::LevelStartAt:
      level.Start = value;
      break;
    case P::LevelNfc:
      level.NumberType = LevelNfcToNumberType(value);
      break;
    case P::LevelJc:
      level.Alignment = std::uint8_t(value == 1 ? 2 : value == 2 ? 1 : 0);
      break;
    case P::LevelOld:
      level.Old = value != 0;
      break;
    case P::LevelLegal:
      level.Legal = value != 0;
      break;
    case P::LevelNoRestart:
      level.NoRestart = value != 0;
      break;
    case P::LevelIndent:
      level.Indent = value;
      break;
    case P::LevelSpace:
      level.Space = value;
      break;
    case P::LevelFollow:
      level.Follow = std::uint8_t(value);
      break;
    case P::FontSize:
      level.FontSize = HalfPointsToPoints(value);
      level.FontSizeSet = true;
      break;
    case P::Color:
      if (ColorOf(value, color)) level.Color = color;
      break;
    case P::Font:
      level.FontIndex = FontIndexOf(value);
      break;
    case P::LeftIndent:
      level.LeftIndent = value;
      break;
    case P::FirstIndent:
      level.FirstIndent = value;
      break;
    case P::TabPosition:
      level.TabPos = value;
      break;
    default:
      break;
  }
}

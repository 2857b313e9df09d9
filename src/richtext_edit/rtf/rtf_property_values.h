// Values of property words used by more than one of the reader's modules.
#pragma once

#include <cmath>

#include "richtext_edit/rtf/rtf_keywords.h"
#include "richtext_edit/rtf/rtf_types.h"

// The widest page RTF describes (22 inches), in twips.
constexpr int kMaxPageTwips = 31680;

// Font sizes in half-points, from 1 to 1638 points as word processors offer them.
constexpr int kMinFontHalfPoints = 2, kMaxFontHalfPoints = 3276;

// Half-points to points, halves rounded to even (\fs23 and \fs25 both give 12).
inline int HalfPointsToPoints(int halfPoints) {
  return int(std::nearbyint(halfPoints / 2.0));
}

inline void SetStyleBit(TRDRTFFontStyles& styles, TRDRTFFontStyle bit, int value) {
  styles = TRDRTFFontStyles(value != 0 ? styles | bit : styles & ~bit);
}

// The style bit of \b, \i, \ul and \strike and of their \pn... twins.
inline bool FontStyleBit(TRDRTFProp prop, TRDRTFFontStyle& bit) {
  switch (prop) {
    case TRDRTFProp::Bold:
    case TRDRTFProp::PnBold:
      bit = rtf_fs_Bold;
      return true;
    case TRDRTFProp::Italic:
    case TRDRTFProp::PnItalic:
      bit = rtf_fs_Italic;
      return true;
    case TRDRTFProp::Underline:
    case TRDRTFProp::PnUnderline:
      bit = rtf_fs_Underline;
      return true;
    case TRDRTFProp::Strike:
    case TRDRTFProp::PnStrike:
      bit = rtf_fs_StrikeOut;
      return true;
    default:
      return false;
  }
}

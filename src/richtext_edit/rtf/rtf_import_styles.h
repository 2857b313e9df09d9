// Choosing the document's text and paragraph styles for what an RTF file says: the style
// given in the options, the closest existing style by a similarity score, or the first
// equal style with a new one added when none is equal.
//
// Example: text in 12-point bold "Arial" with the mode "add if needed" uses the first
// text style of that font, size and effects, and adds one when the sheet has none.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "richtext/styles/para_style.h"
#include "richtext/styles/text_style.h"
#include "richtext/view/rtf_read_properties.h"
#include "richtext_edit/rtf/rtf_document_tables.h"
#include "richtext_edit/rtf/rtf_properties.h"

class TRDStyle;

// A document border side for an RTF border kind (\brdrs ...) of widthTwips; firstPair
// says the side is the left or top one (thick-thin kinds draw the other way round on the
// right and bottom). A kind above 27 leaves style and width unchanged.
struct TRDRTFMappedBorder {
  TRDBorderStyle Style = rdbNone;
  int Width = 0;
  int InternalWidth = 0;
};
TRDRTFMappedBorder MapRTFBorder(int kind, int widthTwips, bool firstPair, double pixelsPerTwip);

// The text and paragraph looks wanted, in document terms.
struct TRDRTFWantedText {
  TRDFontInfoValues Values;
  bool Unicode = false;
  bool Hypertext = false;
};
TRDRTFWantedText WantedTextOf(const TRDRTFCharProperties& chars, const TRDRTFFontList& fonts,
                              const std::string& fallbackFont, bool unicode, bool hypertext,
                              double pixelsPerTwip);

class TRDRTFStyleMatcher {
 public:
  TRDRTFStyleMatcher(TRDStyle& sheet, const TRDRTFReaderProperties& options, double pixelsPerTwip);

  int TextStyle(const TRDRTFWantedText& wanted);
  // hypertext: the item that starts the paragraph is a link.
  int ParaStyle(const TRDRTFParaProperties& para, bool hypertext);
  // The paragraph style of a table aligned left, right or centre (0, 1, 2).
  int TableParaStyle(std::uint8_t rowAlignment);

 private:
  struct TWantedPara;
  // Whether the options' acceptance callback lets paragraph style styleNo be matched.
  bool Accepted(int styleNo, bool hypertext) const;
  bool TextStyleUsable(const TFontInfo& style, const TRDRTFWantedText& wanted) const;
  int ClosestTextStyle(const TRDRTFWantedText& wanted) const;
  static std::string TextKey(const TRDFontInfoValues& values, bool unicode, bool hypertext);
  // The first style equal to the look, -1 when none.
  int EqualTextStyle(const TRDRTFWantedText& wanted);
  int TextScore(const TFontInfo& style, const TRDRTFWantedText& wanted) const;
  TWantedPara WantedParaOf(const TRDRTFParaProperties& para) const;
  int ClosestParaStyle(const TWantedPara& wanted, bool hypertext) const;
  int ParaScore(const TParaInfo& style, const TWantedPara& wanted) const;
  bool ParaEqual(const TParaInfo& style, const TWantedPara& wanted) const;
  int AddParaStyle(const TWantedPara& wanted);

  TRDStyle& sheet_;
  const TRDRTFReaderProperties& options_;
  double pixels_per_twip_;
  // Runs of one look are many: each look is matched once per read. Styles are only ever
  // appended while reading, so a match found stays the first match.
  std::unordered_map<std::string, int> text_cache_;
  std::unordered_map<std::string, int> para_cache_;
  // The first style of each key among the text styles indexed so far (a read may add a
  // style for every run: finding an equal one must not cost a pass over all of them).
  std::unordered_map<std::string, int> equal_text_styles_;
  int indexed_text_styles_ = 0;
};

// Text styles: how a run of document text looks (font, size, colours, effects, hyperlink
// behaviour, character scale and spacing, reading direction, protection), what a style
// does for the viewer (font and colours on a canvas for a draw state, drawing a piece of
// text), its comparisons and similarity score, and its INI and CSS forms.
//
// Every text item refers to its style by index into the sheet's TextStyles; an index
// outside the collection yields the invalid style (white on red), never an error.
// CSS example of a default style: " font-size: 10pt;" " font-family: 'Arial';" ...
#pragma once

#include <cstdint>
#include <string>

#include "richtext/base/rd_canvas.h"
#include "richtext/styles/style_info.h"

class TStream;
class TRDStyle;

// Properties of a text style, for masks and ignore lists (bit numbers 0..25).
enum TRDFontInfoProperty : std::uint8_t {
  rdfiFontName,
  rdfiSize,
  rdfiCharset,
  rdfiUnicode,
  rdfiBold,
  rdfiItalic,
  rdfiUnderline,
  rdfiStrikeout,
  rdfiOverline,
  rdfiAllCaps,
  rdfiVShift,
  rdfiColor,
  rdfiBackColor,
  rdfiJump,
  rdfiHoverBackColor,
  rdfiHoverColor,
  rdfiJumpCursor,
  rdfiNextStyleNo,
  rdfiProtection,
  rdfiCharScale,
  rdfiBaseStyleNo,
  rdfiBiDiMode,
  rdfiCharSpacing,
  rdfiHTMLCode,
  rdfiRTFCode,
  rdfiCustom
};
using TRDFontInfoProperties = std::uint32_t;
constexpr TRDFontInfoProperties RDFontProp(TRDFontInfoProperty p) {
  return TRDFontInfoProperties(1) << p;
}
constexpr TRDFontInfoProperties RDAllFontInfoProperties = 0x03FFFFFF;

// The look of a text style as a value: assigning a style copies all of it at once, so a
// property added here is never left out of a copy.
struct TRDFontInfoValues {
  TRDBiDiMode BiDiMode = rdbdUnspecified;
  bool Jump = false;
  int JumpCursor = crJump;
  std::string FontName = "Arial";
  int Size = 10;
  TColor Color = clWindowText;
  TColor BackColor = clNone;
  TColor HoverColor = clNone;
  TColor HoverBackColor = clNone;
  TFontStyles Style = 0;
  TRDFontStyles StyleEx = 0;
  int VShift = 0;
  int Charset = 1;
  TRDProtectOptions Protection = 0;
  TRDTextOptions Options = 0;
  int CharScale = 100;
  int CharSpacing = 0;
  // Live spelling passes over text of this style that is a web or mail address.
  bool LiveSpellingExempt = false;
};

class TCustomRDFontInfo : public TCustomRDInfo, public TRDFontInfoValues {
 public:
  explicit TCustomRDFontInfo(TCustomRDInfos* collection);

  void Assign(const TCustomRDInfo& source) override;
  void DefineProperties(TRDPropertyFiler& filer) override;
  // From a font: name, size, colour, style and charset only; and back.
  void AssignFont(const TRDFont& font);
  void AssignTo(TRDFont& font) const;
  void AssignSelectedProperties(const TCustomRDFontInfo& source, TRDFontInfoProperties props);

  // The font of the style for a canvas: height from Size at the collection's
  // PixelsPerInch (when allowed and set) or the canvas font's.
  TRDFont MakeFont(const TRDCanvas& canvas, bool canUseCustomPPI) const;
  void Apply(TRDCanvas& canvas, TRDBiDiMode defBiDiMode, bool canUseCustomPPI) const;
  void ApplyBiDiMode(TRDCanvas& canvas, TRDBiDiMode defBiDiMode) const;
  void ApplyColor(TRDCanvas& canvas, const TRDStyle& rdStyle, TRDTextDrawStates drawState,
                  bool useColorMode, TRDColorMode colorMode) const;
  // Draws one piece of text s at (left + spaceBefore, top); see the sheet's DrawStyleText.
  void Draw(const std::string& s, TRDCanvas& canvas, int styleNo, int spaceBefore, int left,
            int top, int width, int height, TRDStyle& rdStyle, TRDTextDrawStates drawState,
            bool printing, bool previewCorrection, TRDColorMode colorMode,
            TRDBiDiMode defBiDiMode) const;

  bool IsEqual(const TCustomRDFontInfo& value, TRDFontInfoProperties ignoreList) const;
  bool IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const override;
  int SimilarityValue(const TCustomRDInfo& value) const override;

  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat,
                   bool jumpByDefault, int defJumpCursor);
  // The CSS declarations, each with a leading blank (and CR LF when multiline); with a
  // base style only what differs from it.
  std::string GetCSS(const TCustomRDFontInfo* baseStyle, bool multiline, bool utf8) const;
  void SaveCSSToStream(TStream& stream, const TCustomRDFontInfo* baseStyle, bool multiline,
                       bool utf8) const;
  // The old streamed Boolean "SingleSymbols": True protects the style.
  void ReadSingleSymbols(bool value);

 protected:
  virtual bool IsUnicodeStyle() const { return false; }

 private:
  void MarkSpecialCharacters(const std::string& s, TRDCanvas& canvas, int left, int top, int width,
                             int spaceBefore) const;
};

class TFontInfo : public TCustomRDFontInfo {
 public:
  explicit TFontInfo(TCustomRDInfos* collection);

  bool Unicode = false;
  int NextStyleNo = -1;
  TRDFontInfoProperties ModifiedProperties = 0;

  void Assign(const TCustomRDInfo& source) override;
  void DefineProperties(TRDPropertyFiler& filer) override;
  bool IsEqual(const TCustomRDFontInfo& value, TRDFontInfoProperties ignoreList) const;
  bool IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const override;
  bool IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList& mapping) const override;
  void TranslateReferences(const TRDIntegerList& mapping,
                           const TRDIntegerList* textStyleMapping) override;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat,
                   bool jumpByDefault, int defJumpCursor);

 protected:
  bool IsUnicodeStyle() const override { return Unicode; }
};

class TFontInfos : public TCustomRDInfos {
 public:
  TFontInfos(TItemFactory factory, TRDStyle* owner);

  // Resolution replacing the canvas's when a style's font height is computed (0 = none).
  int PixelsPerInch = 0;

  TFontInfo& Add();
  // The style at index; outside 0..Count-1 the invalid style (a copy of style 0 in white
  // on red), made at the first such request.
  TFontInfo& Items(int index) const;
  TFontInfo& operator[](int index) const { return Items(index); }
  int FindSuchStyle(int baseStyleNo, const TFontInfo& style, TRDFontInfoProperties mask) const;
  int FindStyleWithCharset(int baseStyleNo, int charset) const;

 protected:
  int FindClosest(const TCustomRDInfo& source) const override;

 private:
  mutable std::unique_ptr<TCustomRDInfo> invalid_item_;
};

// The item factory of plain text styles.
std::unique_ptr<TCustomRDInfo> CreateFontInfo(TCustomRDInfos* collection);

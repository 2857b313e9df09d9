// The RTF control-word table: every control word the reader knows, with what kind of
// word it is and what it sets. Lookup is by exact, case-sensitive keyword ("\B" is not
// "\b"); an unknown word is ignored unless \* announced it as a destination.
#pragma once

#include <cstdint>
#include <string_view>

enum TRDRTFKeywordKind : std::uint8_t {
  rtf_kw_Char,         // a character: Index is its code
  rtf_kw_UnicodeChar,  // Index the Unicode code, DefaultValue the single-byte one
  rtf_kw_Destination,  // Index a TRDRTFDestinationWord
  rtf_kw_Property,     // Index a TRDRTFProp
  rtf_kw_Special       // Index a TRDRTFSpecial
};

// Which pending text a property word ends before it is applied.
enum class TRDRTFAffects : std::uint8_t { Nothing, Character, Paragraph };

enum class TRDRTFSpecial : std::uint8_t { Bin, Hex, Star };

enum class TRDRTFDestinationWord : std::uint8_t {
  ShpPict,
  NonShpPict,
  Pict,
  Skip,
  ListText,
  FontTable,
  StyleSheet,
  ColorTable,
  Field,
  FieldInst,
  FieldResult,
  NestTableProps,
  Header,
  Footer,
  PnTextAfter,
  PnTextBefore,
  Pn,
  ListTable,
  List,
  ListName,
  ListLevel,
  LevelText,
  LevelNumbers,
  ListOverrideTable,
  ListOverride,
  LfoLevel,
  Object,
  ObjData,
  Result
};

enum class TRDRTFProp : std::uint8_t {
  // character
  Bold,
  Italic,
  Underline,
  Strike,
  CharScaleX,
  CharSpacing,
  VShift,
  Caps,
  Raise,  // \up: raised by half-points (superscript), \dn: lowered
  Lower,
  FontSize,
  Color,
  BackColor,
  Highlight,
  Language,
  DefLanguage,
  CharReset,
  Font,
  Hidden,
  // paragraph
  LineSpacing,
  LineSpacingMultiple,
  LeftIndent,
  RightIndent,
  FirstIndent,
  SpaceBefore,
  SpaceAfter,
  Alignment,
  ParaReset,
  BorderStyle,
  BorderSide,
  BorderWidth,
  BorderColor,
  BorderSpacing,
  ParaColor,
  ParaPatternColor,
  ParaShading,
  KeepTogether,
  KeepWithNext,
  TabPosition,
  TabAlign,
  TabLeader,
  ListTab,
  ListOverride,
  ListLevel,
  // section and document
  SectReset,
  DefFont,
  Columns,
  PageNumberX,
  PageNumberY,
  HeaderY,
  FooterY,
  PaperWidth,
  PaperHeight,
  MarginLeft,
  MarginRight,
  MarginTop,
  MarginBottom,
  PageNumberStart,
  SectionBreak,
  PageNumberFormat,
  FacingPages,
  Landscape,
  AnsiCodePage,
  // special characters and breaks
  UnicodeChar,
  UnicodeSkip,
  PageBreak,
  SectionEnd,
  FootnoteMark,
  // font, colour and style tables
  Red,
  Green,
  Blue,
  FontFamily,
  FontCharset,
  CharStyle,
  ParaStyle,
  SectStyle,
  BasedOn,
  NextStyle,
  Additive,
  StyleHidden,
  // tables (Sub: the side 0 left, 1 top, 2 right, 3 bottom where one is named)
  CellEnd,
  RowEnd,
  InTable,
  TableLevel,
  RowReset,
  RowAlign,
  RowHeading,
  RowGap,
  RowLeft,
  RowHeight,
  RowPadding,
  RowPaddingUnit,
  RowSpacing,
  RowSpacingUnit,
  RowWidth,
  RowWidthUnit,
  CellVMerge,
  CellHMerge,
  CellWidth,
  CellWidthUnit,
  CellColor,
  CellPatternColor,
  CellShading,
  CellVAlign,
  CellRight,
  RowBorderSide,
  CellBorderSide,
  CellBestWidth,
  CellBestHeight,
  CellPadding,
  CellPaddingUnit,
  TableBestWidth,
  // pictures and objects
  PicWidth,
  PicHeight,
  PicWidthGoal,
  PicHeightGoal,
  PicScaleX,
  PicScaleY,
  BitmapBitsPixel,
  BitmapPlanes,
  BitmapWidthBytes,
  PicType,
  WindowsMetafile,
  PicBmp,
  ObjType,
  ObjHeight,
  ObjWidth,
  // old-style numbering
  PnSecLevel,
  PnLevel,
  PnHanging,
  PnNumberType,
  PnBold,
  PnItalic,
  PnUnderline,
  PnStrike,
  PnColor,
  PnFont,
  PnFontSize,
  PnIndent,
  PnSpace,
  PnAlign,
  PnStart,
  // Word 97 lists
  ListID,
  ListSimple,
  LevelStartAt,
  LevelNfc,
  LevelJc,
  LevelOld,
  LevelIndent,
  LevelSpace,
  LevelFollow,
  LevelLegal,
  LevelNoRestart,
  ListOverrideCount,
  ListOverrideStartAt
};

struct TRDRTFKeyword {
  std::string_view Keyword;
  int DefaultValue;  // the value when the word has no parameter
  bool UseDefault;   // the written parameter is ignored (words naming one enumeration value)
  TRDRTFKeywordKind Kind;
  int Index;
  TRDRTFAffects Affects;
  std::int8_t Sub;  // the side of the padding and spacing words
};

// The entry for a keyword, or null when the reader does not know it.
const TRDRTFKeyword* FindRTFKeyword(std::string_view keyword);

// Enumerations shared by the RTF reader, its property objects and the code that hooks
// the reader's events. The numeric values are part of the reader's interface: error
// codes are returned to callers, positions and table events reach event handlers.
#pragma once

#include <cstdint>

// Where a reported run of text (or picture, or object) starts.
enum TRDRTFPosition : std::uint8_t { rtf_ts_ContinuePara, rtf_ts_NewLine, rtf_ts_NewPara };

enum TRDRTFHeaderFooterType : std::uint8_t { rtf_hf_MainText, rtf_hf_Header, rtf_hf_Footer };

enum TRDRTFProgressStage : std::uint8_t { rdprtfprStarting, rdprtfprRunning, rdprtfprEnding };

enum TRDRTFTableEventKind : std::uint8_t {
  rdf_tbl_TableStart,
  rdf_tbl_TableEnd,
  rdf_tbl_RowEnd,
  rdf_tbl_CellEnd
};

// How \highlight is read: ignored, as one of the 16 fixed highlight colours, or as an
// index into the colour table (like \chcbpat).
enum TRDRTFHighlightConvert : std::uint8_t { rtf_hl_Ignore, rtf_hl_FixedColors, rtf_hl_ColorTable };

// Result of a read. Parsing stops at the first error; nothing is reported after it.
enum TRDRTFErrorCode : std::uint8_t {
  rtf_ec_OK = 0,
  rtf_ec_StackUnderflow = 1,  // more '}' than '{'
  rtf_ec_StackOverflow = 2,   // groups or tables nested deeper than the reader allows
  rtf_ec_UnmatchedBrace = 3,  // the input ends inside a group
  rtf_ec_InvalidHex = 4,      // a non-hex character after \'
  rtf_ec_BadTable = 5,        // a control-word table entry of unknown kind
  rtf_ec_Assertion = 6,       // impossible internal state
  rtf_ec_EndOfFile = 7,       // the input ends right after a backslash
  rtf_ec_InvalidPicture = 10  // a \pict inside a picture, or bad hex in object data
};

// What the text and control words of the current group go to.
enum TRDRTFDestination : std::uint8_t {
  rtf_ds_Normal,
  rtf_ds_Skip,
  rtf_ds_FontTable,
  rtf_ds_StyleSheet,
  rtf_ds_ColorTable,
  rtf_ds_StyleSheetEntry,
  rtf_ds_Picture,
  rtf_ds_ShpPict,
  rtf_ds_Object,
  rtf_ds_ObjData,
  rtf_ds_Field,
  rtf_ds_FieldInst,
  rtf_ds_Pn,
  rtf_ds_PnTextAfter,
  rtf_ds_PnTextBefore,
  rtf_ds_PnSecLevel,
  rtf_ds_ListTable,
  rtf_ds_List,
  rtf_ds_ListLevel,
  rtf_ds_ListName,
  rtf_ds_LevelText,
  rtf_ds_LevelNumbers,
  rtf_ds_ListOverrideTable,
  rtf_ds_ListOverride,
  rtf_ds_LfoLevel,
  rtf_ds_ListText  // the number or bullet a writer put before a list paragraph
};

// How the bytes of the current group are read: as RTF text, as raw bytes after \bin, or
// as the two hex digits after \'.
enum TRDRTFInternalState : std::uint8_t { rtf_ris_Norm, rtf_ris_Bin, rtf_ris_Hex };

// Font style bits of character properties and markers (a set of them).
enum TRDRTFFontStyle : std::uint8_t {
  rtf_fs_Bold = 1,
  rtf_fs_Italic = 2,
  rtf_fs_Underline = 4,
  rtf_fs_StrikeOut = 8
};
using TRDRTFFontStyles = std::uint8_t;

// Character property StyleEx bits.
constexpr std::uint8_t rtf_fsex_AllCaps = 1;

// The RTF writer: a whole document, or its selection, as RTF with the font, colour,
// style-sheet and list tables built from the style sheet. Non-text items write their own
// RTF through TCustomRDItemInfo::SaveRTF with the shared tables of TRDRTFSaveContext;
// items holding documents (table cells) write those with SaveRTFBody.
//
// The same document always gives the same bytes: list and template ids are counted, not
// drawn at random.
//
// Example: one paragraph "Hi" in text style 0 (Arial 10) of a default sheet gives
//   {\rtf1\ansi\ansicpg1252\uc1\deff0\deflang0\deflangfe0{\fonttbl{\f0\fnil\fcharset1 Arial;}}
//   {\colortbl;...}<CR LF>\uc1<CR LF>\pard\fi0\li0\ql\ri0\sb0\sa0 \plain \f0\fs20 Hi}
// (the colour table and the line ends shortened here).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gui/graphics/geometry.h"
#include "richtext/base/rtf_options.h"
#include "richtext/model/rtf_save_context.h"

class TCustomRDData;
class TStream;

struct TRDRTFSaveParams {
  std::string Path;
  bool SelectionOnly = false;
  TColor PageColor = clWindow;
  TRDRTFOptions Options = kDefaultRTFOptions;
  int PixelsPerInch = 0;  // 0: the screen's
};

// The document (or its selection) as RTF; false, and nothing written, without a style sheet.
bool SaveRTF(TCustomRDData& data, TStream& stream, const TRDRTFSaveParams& params);
// The same as a file is written: inside the document's export run
// (TCustomRDData::RunExport).
bool SaveRTFToStream(TCustomRDData& data, TStream& stream, const TRDRTFSaveParams& params);
// For items holding documents: the colours of a nested document's items, and its body
// written with the caller's tables (context.Level is the nesting level).
void CollectRTFItemTables(TCustomRDData& data, TRDRTFSaveContext& context);
void SaveRTFBody(TCustomRDData& data, TStream& stream, TRDRTFSaveContext& context,
                 bool selectionOnly);

// The control words of a text style and a paragraph style as the writer puts them after
// "\plain " and "\pard" (each ends with a blank); exposed for the items' own RTF.
std::string RTFCharProperties(TCustomRDData& data, int styleNo, const TRDRTFSaveContext& context);
// The code page of a list level's texts: its font's, else the style sheet's.
// The control words of a list level's font (font index, style, size, colour), ending with
// a blank.

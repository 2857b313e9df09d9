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

#include "platform/gui/geometry.h"
#include "richtext/rd_canvas.h"
#include "richtext/rd_lists.h"
#include "richtext/rtf_options.h"

class TCustomRDData;
class TCustomRDItemInfo;
class TRDListLevel;
class TRDStyle;
class TStream;

struct TRDRTFFontTableItem {
  std::string FontName;
  int Charset = 0;
};

// Distinct (font name, charset) pairs; names compare without regard to case.
class TRDRTFFontTable : public TRDList<TRDRTFFontTableItem> {
 public:
  // The index of the pair, -1 when it is not there.
  int Find(const std::string& fontName, int charset) const;
  // The index of the pair, appended when it is not there yet.
  int AddUnique(const std::string& fontName, int charset);
};

// What one write shares between the document, its items and nested documents.
struct TRDRTFSaveContext {
  std::string Path;  // where linked files go
  TRDRTFOptions Options = kDefaultRTFOptions;
  double TwipsPerPixel = 15;
  int Level = 0;  // table nesting: 0 for the document itself
  TRDColorList ColorList;
  TRDRTFFontTable FontTable;
  std::vector<int> StyleToFont;  // text style -> index in FontTable
  // Per list style the number of its "\ls" override; markers that restart numbering
  // have overrides of their own.
  std::vector<int> ListOverrideNo;
  std::unordered_map<const TCustomRDItemInfo*, int> RestartOverrideNo;
  int CheckpointNo = 0;  // names of unnamed checkpoints
  // State of the paragraph sequence (see SaveRTFBody).
  bool FirstParaOfOutput = true;

  int Twips(int pixels) const;
  // The colour's index in the colour table, 0 (the automatic colour) when it is not there.
  int ColorIndex(TColor color) const;
  // The "\ls" number of a list marker item.
  int ListOverrideFor(const TCustomRDItemInfo& marker, int listNo) const;
};

struct TRDRTFSaveParams {
  std::string Path;
  bool SelectionOnly = false;
  TColor PageColor = clWindow;
  TRDRTFOptions Options = kDefaultRTFOptions;
  int PixelsPerInch = 0;  // 0: the screen's
};

// The document (or its selection) as RTF; false, and nothing written, without a style sheet.
bool SaveRTF(TCustomRDData& data, TStream& stream, const TRDRTFSaveParams& params);
// For items holding documents: the colours of a nested document's items, and its body
// written with the caller's tables (context.Level is the nesting level).
void CollectRTFItemTables(TCustomRDData& data, TRDRTFSaveContext& context);
void SaveRTFBody(TCustomRDData& data, TStream& stream, TRDRTFSaveContext& context,
                 bool selectionOnly);

// The control words of a text style and a paragraph style as the writer puts them after
// "\plain " and "\pard" (each ends with a blank); exposed for the items' own RTF.
std::string RTFCharProperties(TCustomRDData& data, int styleNo, const TRDRTFSaveContext& context);
// The code page of a list level's texts: its font's, else the style sheet's.
int RTFListLevelCodePage(const TRDListLevel& level, const TRDStyle& rdStyle);
// The control words of a list level's font (font index, style, size, colour), ending with
// a blank.
std::string RTFFontProperties(const TRDFont& font, const TRDRTFSaveContext& context);

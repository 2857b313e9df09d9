// What one RTF write shares with the items that write themselves into it: the font and
// colour tables, the list overrides, the units, and the font and code page of a list
// level. The whole-document writer that fills it is rtf_writer.h.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "richtext/base/rd_canvas.h"
#include "richtext/base/rd_lists.h"
#include "richtext/base/rtf_options.h"

class TCustomRDItemInfo;
class TRDListLevel;
class TRDStyle;

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
  int DefCodePage = 0;  // the code page of text in fonts of the default charset
  int Level = 0;        // table nesting: 0 for the document itself
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
  // The charset a font is written with: the one naming the code page its text is in, as
  // readers take the default charset for a page of their own, not for the document's.
  int FileCharset(int charset) const;
  // The colour's index in the colour table, 0 (the automatic colour) when it is not there.
  int ColorIndex(TColor color) const;
  // The "\ls" number of a list marker item.
  int ListOverrideFor(const TCustomRDItemInfo& marker, int listNo) const;
};

// The font of a list level as RTF character properties, ending with a space.
std::string RTFFontProperties(const TRDFont& font, const TRDRTFSaveContext& context);
int RTFListLevelCodePage(const TRDListLevel& level, const TRDStyle& rdStyle);

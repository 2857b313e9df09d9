// Writing a document, or a part of it, in the component's own document format (RDF):
// line-oriented records, each a header line and a counted number of data lines, in text
// form or, with rdfoSaveBinary, with binary blocks and raw Unicode lines.
//
// Example, a document of two one-item paragraphs "ab" and "cd" in text style 0 and
// paragraph style 0, saved with no options:
//   -8 1 3
//   0 2 0 0 0 0
//   ab
//   cd
// (every line ends with CR LF).
#pragma once

#include <string>
#include <vector>

#include "platform/gui/graphics/geometry.h"

class TCustomRDData;
class TRDBackground;
class TRDLayoutInfo;
class TStream;

// What the document holds beside its items; the viewer fills it from its properties.
struct TRDFSaveContext {
  TColor BackColor = clNone;
  const TRDBackground* Background = nullptr;                // written with rdfoSaveBack
  const std::vector<std::string>* DocProperties = nullptr;  // with rdfoSaveDocProperties
  const TRDLayoutInfo* Layout = nullptr;                    // with rdfoSaveLayout
  // A part of a page saved for printing (SaveRDFRangeToStream): the numbering of the
  // lists up to the part goes with it, so that its markers count on from there.
  bool PagePart = false;
};

// A part of the document: from (StartItem, StartOffs) to (EndItem, EndOffs), caret
// offsets as the document data counts them (a text item 1 .. length + 1, any other
// item 0 before it and 1 after it).
struct TRDFRange {
  int StartItem = 0;
  int StartOffs = 0;
  int EndItem = -1;
  int EndOffs = 0;
};

// What an export writes: the whole document, or with selectionOnly the selection of a
// formatted document (normalized). False when that is empty.
bool GetSaveRange(const TCustomRDData& data, bool selectionOnly, TRDFRange& range);

// The whole document, or with selectionOnly its selection (nothing when there is
// none). Returns true.
bool SaveRDFToStream(TCustomRDData& data, TStream& stream, bool selectionOnly,
                     const TRDFSaveContext& context = {});
// A range of the document, written as a selection is; with context.PagePart as a part of
// a page, with the background, the layout and the numbering of the lists before it.
void SaveRDFRangeToStream(TCustomRDData& data, TStream& stream, const TRDFRange& range,
                          const TRDFSaveContext& context = {});

// The "RichDoc Format" block of the clipboard: a 4-byte little-endian length, then the
// document or its selection in RDF without the background; the stream is left after
// the block.
void SaveRDFBlock(TCustomRDData& data, TStream& stream, bool selectionOnly,
                  const TRDFSaveContext& context = {});

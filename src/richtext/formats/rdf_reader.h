// Reading the component's own document format (RDF) back into a document, replacing it
// or inserting at an item index. The reader takes the rest of the stream as one buffer
// and reads it record by record: a header line, then the record's counted data lines
// (text lines, raw UTF-16 lines ended by U+2029, or binary blocks of a 4-byte length and
// that many bytes). Every count and length is checked against the bytes that are there
// before anything is made of it; a record that cannot be read ends the read, keeping
// what was inserted before it. Problems that can be mended are reported in the data's
// RDF warning set (rdfw* bits of rdf_format.h).
#pragma once

#include <string>
#include <vector>

#include "platform/gui/graphics/geometry.h"
#include "richtext/base/rd_marker_block.h"
#include "richtext/base/rdf_format.h"

class TCustomRDData;
class TRDBackground;
class TRDLayoutInfo;
class TStream;

// Where the things a document brings besides its items go; the viewer fills it from its
// properties. A field left empty drops what the stream holds for it.
struct TRDFLoadContext {
  TRDFReaderStyleMode TextStylesReadMode = rdf_sInsertMerge;
  TRDFReaderStyleMode ParaStylesReadMode = rdf_sInsertMerge;
  TColor* BackColor = nullptr;                        // with rdfoLoadBack
  TRDBackground* Background = nullptr;                // with rdfoLoadBack
  std::vector<std::string>* DocProperties = nullptr;  // with rdfoLoadDocProperties
  TRDLayoutInfo* Layout = nullptr;                    // with rdfoLoadLayout
  // The list numbering at the start of a saved page part, with rdfoLoadLayout; list
  // styles are translated into the style sheet's.
  std::vector<TRDMarkerState>* Markers = nullptr;
  // Pasting into an editor: protected text is skipped and paragraph styles stay as read.
  bool EditingInsertion = false;
};

struct TRDFInsertResult {
  bool Ok = false;
  int ItemsInserted = 0;
  bool EndsInsidePara = false;  // the next item after the inserted ones continues them
};

// Reads from the stream's position to its end and inserts at index (which advances past
// what was inserted).
TRDFInsertResult InsertRDFFromStream(TCustomRDData& data, TStream& stream, int& index,
                                     const TRDFLoadContext& context = {});
// Clears the document, then reads the stream into it; styles stored in the stream
// replace the style sheet's.
bool LoadRDFFromStream(TCustomRDData& data, TStream& stream, const TRDFLoadContext& context = {});

// The "RichDoc Format" block: a 4-byte little-endian length, then that much RDF, which
// is inserted at index. False, with nothing read, when the length asks for more bytes
// than the stream holds.
bool LoadRDFBlock(TCustomRDData& data, TStream& stream, int& index,
                  const TRDFLoadContext& context = {});

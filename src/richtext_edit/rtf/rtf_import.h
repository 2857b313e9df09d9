// Importing RTF into a document: the reader's text runs, pictures, HYPERLINK fields,
// list markers, tables, page breaks and header and footer groups become items of the
// document in text and paragraph styles chosen by the import options
// (TRDRTFReaderProperties, the viewer's RTFReadProperties).
//
//   TRDRTFReaderProperties options;
//   int index = document.GetItemCount();  // append
//   TRDRTFErrorCode result = ReadRTF(options, stream, document, index);
//
// Items are inserted at index (appended when it is the item count); index returns the
// number of the last item inserted into the document itself (-1 when none). The reader's
// error code is returned unchanged; items added before an error stay.
//
// A few bytes may make many cells (a row of 256 cells, each with a look of its own,
// repeats in four bytes), so the tables of one read take what its bytes pay for
// (table_budget.h; slots and cell objects priced in table_rows.h). Rows beyond that are
// left out of the tables: their text follows the tables as paragraphs, and the document's
// RDF warnings get rdfwTableCellsLeftOut.
#pragma once

#include <cstdint>
#include <string>

#include "richtext/view/rtf_read_properties.h"
#include "richtext_edit/rtf/rtf_types.h"

class TCustomRDData;
class TStream;

// Where header and footer text goes, when the caller wants it; the distances are taken
// from \headery and \footery in whole millimetres.
struct TRDRTFHeaderFooter {
  TCustomRDData* Header = nullptr;
  TCustomRDData* Footer = nullptr;
  int HeaderDistance = 0;
  int FooterDistance = 0;
};

TRDRTFErrorCode ReadRTF(TRDRTFReaderProperties& options, TStream& stream, TCustomRDData& rdData,
                        int& index, TRDRTFHeaderFooter* headerFooter = nullptr);

// Appends an RTF stream or file to a document with the options of its viewer (the
// defaults when it has none); true when the read succeeded. A file's folder is the base
// path of relative pictures and links while it is read.
bool LoadRTFFromStream(TCustomRDData& rdData, TStream& stream);
bool LoadRTF(TCustomRDData& rdData, const std::string& fileName);

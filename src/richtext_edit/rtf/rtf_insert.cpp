// RTF inserted at the editor's caret: the import reads into the editor's document through
// the editor's one-step document insertion (insert_document.cpp). It lives with the
// import so that the editor, which the import's tables build on, does not reach up to it.
#include "platform/text/streams.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/rtf/rtf_import.h"

bool TRDEditRDData::InsertRTFStreamAtCaret(TStream& stream) {
  if (stream.Position() >= stream.Size()) return true;
  TRDRTFReaderProperties* options = GetRTFReadProperties();
  if (!options) return false;
  return InsertDocumentAtCaret(
      [&](int& index) { return ReadRTF(*options, stream, *this, index) == rtf_ec_OK; });
}

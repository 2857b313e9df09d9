#include "richtext_edit/rtf/rtf_insert.h"

#include "platform/text/streams.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_import.h"

namespace {

const bool kRegistered = (RegisterRTFInsertion(), true);

}  // namespace

bool InsertRTFStreamAtCaret(TRDEditRDData& data, TStream& stream) {
  if (stream.Position() >= stream.Size()) return true;
  TRDRTFReaderProperties* options = data.GetRTFReadProperties();
  if (!options) return false;
  return data.InsertDocumentAtCaret(
      [&](int& index) { return ReadRTF(*options, stream, data, index) == rtf_ec_OK; });
}

void RegisterRTFInsertion() {
  RTFInsertion = InsertRTFStreamAtCaret;
}

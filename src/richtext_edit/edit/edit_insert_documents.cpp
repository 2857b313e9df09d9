// The editor's operations that insert text and documents at the caret: ANSI and UTF-16
// text, text files, documents of the viewers' own format and RTF, each as one undo step
// over the selection. The reading and placing is the editable data's.
#include "platform/text/streams.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rtf_read_properties.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// Text insertions keep the tag that typing would give new text.
template <class Insert>
bool KeepingPendingTag(TRDEditRDData& data, Insert insert) {
  data.State |= rddsKeepPendingTag;
  try {
    const bool inserted = insert();
    data.State &= ~rddsKeepPendingTag;
    return inserted;
  } catch (...) {
    data.State &= ~rddsKeepPendingTag;
    throw;
  }
}

}  // namespace

bool (*RTFInsertion)(TRDEditRDData& data, TStream& stream) = nullptr;

bool TCustomRichDocEdit::InsertText(const std::string& s, bool CaretBefore) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertText(s, CaretBefore);
  if (s.empty()) return false;
  return KeepingPendingTag(EditData(), [&] {
    return RunInsertion([&](TRDEditRDData& data) {
      data.InsertAnsiTextAtCaret(s, CaretBefore);
      return true;
    });
  });
}

bool TCustomRichDocEdit::InsertTextW(const std::string& s) {
  if (s.empty()) return false;
  TRDEditRDData& data = EditData();
  return KeepingPendingTag(data, [&] {
    return RunInsertion(
        [&](TRDEditRDData& d) {
          d.InsertUnicodeTextAtCaret(s, false);
          return true;
        },
        [&] {
          const TRDStyle* style = Style();
          if (style && !data.IsUnicodeTextStyle(data.CurTextStyleNo, data.CurParaStyleNo) &&
              style->DefUnicodeStyle >= 0 && style->DefUnicodeStyle < style->TextStyles().Count())
            SetCurTextStyleNo(style->DefUnicodeStyle);
        });
  });
}

bool TCustomRichDocEdit::InsertTextFromFile(const std::string& FileName) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertTextFromFile(FileName);
  return KeepingPendingTag(EditData(), [&] {
    return RunInsertion(
        [&](TRDEditRDData& data) { return data.InsertTextFileAtCaret(FileName, false); });
  });
}

bool TCustomRichDocEdit::InsertRDFStreamAtCaret(TStream& Stream) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertRDFStreamAtCaret(Stream);
  return RunInsertion([&](TRDEditRDData& data) { return data.InsertRDFStreamAtCaret(Stream); });
}

bool TCustomRichDocEdit::InsertRDFFileAtCaret(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  return InsertRDFStreamAtCaret(stream);
}

bool TCustomRichDocEdit::InsertRTFStreamAtCaret(TStream& Stream) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertRTFStreamAtCaret(Stream);
  return RunInsertion(
      [&](TRDEditRDData& data) { return RTFInsertion && RTFInsertion(data, Stream); });
}

bool TCustomRichDocEdit::InsertRTFFileAtCaret(const std::string& FileName) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertRTFFileAtCaret(FileName);
  TFileStream stream(FileName, fmOpenRead);
  // Pictures the file names by relative paths lie beside it.
  TRDRTFReaderProperties& properties = RTFReadProperties();
  const std::size_t slash = FileName.rfind('/');
  properties.BasePath = slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
  try {
    const bool inserted = InsertRTFStreamAtCaret(stream);
    properties.BasePath.clear();
    return inserted;
  } catch (...) {
    properties.BasePath.clear();
    throw;
  }
}

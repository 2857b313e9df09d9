// What the RTF fuzzers share: bytes read as RTF into a document, and a document read so
// laid out at its page's width and painted, as a viewer shows a file it opens.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text/streams.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext_edit/rtf/rtf_import.h"

// The import options that add the text and paragraph styles and the list markers the
// RTF asks for, Unicode text kept as Unicode.
inline TRDRTFReaderProperties StyleAddingRTFOptions() {
  TRDRTFReaderProperties options;
  options.TextStyleMode = options.ParaStyleMode = rdrsAddIfNeeded;
  options.UnicodeMode = rdruMixed;
  return options;
}

// The bytes imported at index (see ReadRTF).
inline TRDRTFErrorCode ReadRTFBytes(TRDRTFReaderProperties& Options, const uint8_t* Data,
                                    size_t Size, TCustomRDData& Document, int& Index,
                                    TRDRTFHeaderFooter* HeaderFooter = nullptr) {
  TMemoryStream stream;
  if (Size > 0) stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  return ReadRTF(Options, stream, Document, Index, HeaderFooter);
}

// The bytes imported into Document with the style-adding options, then laid out and
// painted at the document's top and end.
inline void ShowRTF(const uint8_t* Data, size_t Size, TTestFormattedData& Document) {
  TRDRTFReaderProperties options = StyleAddingRTFOptions();
  int index = 0;
  ReadRTFBytes(options, Data, Size, Document, index);
  Document.FormatAndPaint();
}

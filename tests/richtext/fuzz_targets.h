// The input the document-file fuzzer drives through the RDF reader, the layout and the
// painting, shared by the libFuzzer program and by the test that replays the saved
// corpus (fuzz_replay_test.cpp). It must run to the end on any bytes: no crash, no
// sanitizer report, no hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/text/streams.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/test_formatted_data.h"

// Any bytes are read as a document (replacing one, and inserted into one) with integer
// and with string tags and every load option, laid out and painted at its top and its
// end; whatever was read is written out in the text and the binary form, styles included,
// and each must read back with as many items. Returns false when a second read differs.
inline bool FuzzRDFReader(const uint8_t* Data, size_t Size) {
  const std::string input(reinterpret_cast<const char*>(Data), Size);
  auto streamOf = [](const std::string& bytes) {
    auto stream = std::make_unique<TMemoryStream>();
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream->SetPosition(0);
    return stream;
  };
  constexpr TRDFOptions kLoad = rdfoLoadBack | rdfoLoadLayout | rdfoLoadDocProperties |
                                rdfoConvUnknownStylesToZero | rdfoIgnoreUnknownPicFmt |
                                rdfoIgnoreUnknownCtrls | rdfoConvLargeImageIdxToZero;
  for (TRDOptions options : {TRDOptions(0), rdoTagsArePChars}) {
    TRDStyle sheet;
    TRDBackground background(false);
    TColor backColor = clNone;
    std::vector<std::string> properties;
    TRDLayoutInfo layout;
    std::vector<TRDMarkerState> markers;
    TRDFLoadContext context;
    context.Background = &background;
    context.BackColor = &backColor;
    context.DocProperties = &properties;
    context.Layout = &layout;
    context.Markers = &markers;
    TTestFormattedData document(320, 240);
    document.SetRDStyle(&sheet);
    document.SetOptions(options);
    document.SetRDFOptions(kLoad);
    LoadRDFFromStream(document, *streamOf(input), context);
    int index = document.GetItemCount() / 2;
    InsertRDFFromStream(document, *streamOf(input), index, context);
    document.FormatAndPaint();
    for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
      document.SetRDFOptions(form | rdfoSaveTextStyles | rdfoSaveParaStyles | rdfoSavePicturesBody |
                             rdfoSaveControlsBody);
      TMemoryStream saved;
      SaveRDFToStream(document, saved, false);
      saved.SetPosition(0);
      TRDStyle rereadSheet;
      TCustomRDData reread;
      reread.SetRDStyle(&rereadSheet);
      reread.SetOptions(options);
      reread.SetRDFOptions(kLoad);
      if (!LoadRDFFromStream(reread, saved) || reread.GetItemCount() != document.GetItemCount())
        return false;
    }
  }
  return true;
}

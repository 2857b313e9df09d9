// The input the RTF reader's fuzzer drives through the reader and into a document,
// shared by the libFuzzer program (fuzz/rtf_reader_fuzz.cpp) and the robustness tests
// (rtf_robustness_test.cpp): any bytes are read with every event handler assigned
// (pictures and objects accepted, headers supported, Unicode reported), then imported,
// laid out and painted. The reader must never crash, hang or read outside its input,
// and damaged picture data raise nothing (they are reported without a graphic).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext_edit/rtf/rtf_reader.h"
#include "richtext_edit/rtf_import/shown_rtf.h"

// False when the reader reported more characters than the input holds: every reported
// character comes from the input (Unicode output is at most one unit per \u word, and
// symbol fields one byte per instruction).
inline bool FuzzRTFReader(const std::uint8_t* data, std::size_t size) {
  TRDRTFReader reader;
  reader.PixelsPerInch = 96;
  std::size_t reported = 0;
  reader.OnNewText = [&](TRDRTFReader*, const std::string& text, TRDRTFPosition) {
    reported += text.size();
  };
  reader.OnNewUnicodeText = [&](TRDRTFReader*, const std::u16string& text, TRDRTFPosition) {
    reported += text.size();
  };
  reader.OnNewPicture = [](TRDRTFReader*, TRDRTFPicture*, std::unique_ptr<TGraphic>&,
                           TRDRTFPosition, const std::string&, bool& inserted) { inserted = true; };
  reader.OnNewObject = [](TRDRTFReader*, TRDRTFObject*, TRDRTFPosition, bool& inserted) {
    inserted = true;
  };
  reader.OnHeaderFooter = [](TRDRTFReader*, TRDRTFHeaderFooterType, bool, bool& supported) {
    supported = true;
  };
  reader.OnTable = [](TRDRTFReader*, TRDRTFTableEventKind) {};
  reader.OnUpdateMarker = [](TComponent*) {};
  reader.OnRequiredPageBreak = [](TComponent*) {};
  TMemoryStream stream;
  stream.WriteBuffer(data, std::int64_t(size));
  stream.Seek(0, soBeginning);
  reader.ReadFromStream(stream);
  return reported <= size;
}

// The fuzz program's input: the reader alone (FuzzRTFReader), then the bytes imported
// into a document that is laid out at a page's width and painted, as a viewer opening
// the file shows it. False when the reader's check fails.
inline bool FuzzRTFFile(const std::uint8_t* data, std::size_t size) {
  if (!FuzzRTFReader(data, size)) return false;
  TTestFormattedData document(320, 240);
  ShowRTF(data, size, document);
  return true;
}

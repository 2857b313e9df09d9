// The input the document-file fuzzer drives through the item record reader, shared by
// the libFuzzer program and by the test that replays the saved corpus
// (fuzz_replay_test.cpp). It must run to the end on any bytes: no crash, no sanitizer
// report, no hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/text/streams.h"
#include "richtext/rd_data.h"
#include "richtext/rd_style.h"
#include "richtext/rdf_item_record.h"

// Any bytes are read as item records into a document with the default style sheet, with
// integer and with string tags; whatever was read is written out and must read back item
// for item. Returns false when that second read differs.
inline bool FuzzRDFItemRecords(const uint8_t* Data, size_t Size) {
  const std::string input(reinterpret_cast<const char*>(Data), Size);
  TRDStyle sheet;
  for (TRDOptions options : {TRDOptions(0), rdoTagsArePChars}) {
    TCustomRDData document;
    document.SetRDStyle(&sheet);
    document.SetOptions(options);
    LoadRDFItemRecords(input, document);
    TMemoryStream saved;
    SaveRDFItemRecords(saved, document);
    TCustomRDData reread;
    reread.SetRDStyle(&sheet);
    reread.SetOptions(options);
    const std::string text(static_cast<const char*>(saved.Memory()), size_t(saved.Size()));
    if (LoadRDFItemRecords(text, reread) != TRDFReadResult::Ok ||
        reread.GetItemCount() != document.GetItemCount())
      return false;
  }
  return true;
}

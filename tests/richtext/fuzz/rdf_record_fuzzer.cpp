// libFuzzer entry point for the document-file item record reader: any bytes are read as
// records into a document with the default style sheet (with numbers and with style
// names, with integer and with string tags), and whatever was read is written out and
// read back. The reader must never crash, hang or read outside its input.
//
// Build with clang: -std=c++20 -fsanitize=fuzzer,address,undefined -Isrc, this file, the
// sources of src/richtext and of src/platform/text, and src/platform/sys/component.cpp.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/text/streams.h"
#include "richtext/rd_data.h"
#include "richtext/rd_style.h"
#include "richtext/rdf_item_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
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
    const std::string text(static_cast<const char*>(saved.Memory()), std::size_t(saved.Size()));
    // What this library wrote it must read again, item for item.
    if (LoadRDFItemRecords(text, reread) != TRDFReadResult::Ok || reread.GetItemCount() != document.GetItemCount())
      __builtin_trap();
  }
  return 0;
}

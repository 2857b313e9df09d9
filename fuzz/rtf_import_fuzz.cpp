// libFuzzer program: any bytes read as RTF, imported into a document, laid out and
// painted (FuzzRTFImport).
#include "fuzz_setup.h"
#include "richtext_edit/rtf_import/rtf_import_fuzz_target.h"

// A table's selection cursors are pictures, made on the first table read.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRTFImport(Data, Size)) __builtin_trap();
  return 0;
}

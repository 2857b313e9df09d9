// libFuzzer program: any bytes read as RTF and imported into a document
// (FuzzRTFImport).
#include "richtext_edit/rtf_import/rtf_import_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRTFImport(Data, Size)) __builtin_trap();
  return 0;
}

// libFuzzer program: any bytes read as RTF with every event handler assigned
// (FuzzRTFReader).
#include "richtext_edit/rtf_reader_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRTFReader(Data, Size)) __builtin_trap();
  return 0;
}

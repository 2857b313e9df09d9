// libFuzzer program: any bytes read as pasted or dropped data and dropped onto an editor
// (FuzzPastedData).
#include "fuzz_setup.h"
#include "richtext_edit/edit/pasted_data_fuzz_target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzPastedData(Data, Size)) __builtin_trap();
  return 0;
}

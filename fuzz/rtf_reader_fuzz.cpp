// libFuzzer program: any bytes read as RTF with every event handler assigned, then
// imported into a document that is laid out and painted (FuzzRTFFile).
#include "fuzz_setup.h"
#include "richtext_edit/rtf_reader_fuzz_target.h"

// Pictures the document holds are made and drawn as the program makes and draws them.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRTFFile(Data, Size)) __builtin_trap();
  return 0;
}

// libFuzzer program: any bytes as markup for the mini-HTML renderer.
#include "fuzz_setup.h"
#include "html/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzHtmlMarkup(Data, Size);
  return 0;
}

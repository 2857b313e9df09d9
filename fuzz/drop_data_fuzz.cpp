// libFuzzer program: any bytes dropped on a section list as a file list or as rows.
#include "fuzz_setup.h"
#include "lists/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzDropData(Data, Size);
  return 0;
}

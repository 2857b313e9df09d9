// libFuzzer program: any bytes as the weather text file, sent as the weather beacon.
#include "fuzz_windows.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartProgramWindows(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzWxTextFile(Data, Size, PrgDir());
  return 0;
}

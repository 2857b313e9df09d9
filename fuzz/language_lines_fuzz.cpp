// libFuzzer program: any bytes as lines of a language file, applied to the program's windows.
#include "fuzz_windows.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartProgramWindows(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzSpeakLinesApplied(Data, Size);
  return 0;
}

// libFuzzer program: any bytes as the settings file, loaded into the program's windows.
#include "fuzz_windows.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartProgramWindows(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzSettingsApplied(Data, Size);
  return 0;
}

// libFuzzer program: any bytes as the TNC's command file, loaded and sent as commands.
#include "fuzz_windows.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartProgramWindows(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzTncCommandFile(Data, Size);
  SettleEvents();
  return 0;
}

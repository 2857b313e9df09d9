// libFuzzer program: any bytes as the table of serial ports.
#include <cstdlib>

#include "fuzz_setup.h"
#include "platform/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The table is read from the settings folder: one of the fuzzer's own.
  setenv("XDG_CONFIG_HOME", MakeScratchFolder().c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzPortsFile(Data, Size);
  return 0;
}

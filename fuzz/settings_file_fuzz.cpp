// libFuzzer program: any bytes as the settings file, read, written back and read again.
#include <cstdlib>

#include "fuzz_setup.h"
#include "platform/fuzz_targets.h"

// The settings file lives in a folder of its own, never in the user's.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("XDG_CONFIG_HOME", MakeScratchFolder().c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzSettingsFile(Data, Size);
  return 0;
}

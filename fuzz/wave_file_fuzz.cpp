// libFuzzer program: any bytes as a sound file.
#include "platform/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzWaveFile(Data, Size);
  return 0;
}

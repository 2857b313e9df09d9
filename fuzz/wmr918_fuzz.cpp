// libFuzzer program: WMR-918 station bytes through its frame receiver and decoder.
#include "devices/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzWmr918(Data, Size);
  return 0;
}

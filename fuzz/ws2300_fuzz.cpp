// libFuzzer program: WS-2300 station answers through the polled link and its decoder.
#include "devices/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzWs2300(Data, Size);
  return 0;
}

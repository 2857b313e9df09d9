// libFuzzer program: any bytes through the GIF reader, and what it accepts written and
// rendered (FuzzGIFReader).
#include "gif/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzGIFReader(Data, Size);
  return 0;
}

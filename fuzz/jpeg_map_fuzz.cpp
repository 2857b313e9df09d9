// libFuzzer program: any bytes as a JPEG map picture.
#include "platform/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzJpeg(Data, Size);
  return 0;
}

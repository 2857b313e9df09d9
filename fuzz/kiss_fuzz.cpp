// libFuzzer program: TNC bytes through the KISS receiver and the AX.25 decoder.
#include "core/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzKissStream(Data, Size);
  return 0;
}

// libFuzzer program: APRS-IS lines through the line splitter and the data decoders.
#include "core/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzAprsLine(Data, Size);
  return 0;
}

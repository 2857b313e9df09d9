// libFuzzer program: bytes through the RDF document reader and back (FuzzRDFReader).
#include "richtext/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRDFReader(Data, Size)) __builtin_trap();
  return 0;
}

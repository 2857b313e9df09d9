// libFuzzer entry: bytes through the RDF document reader and back (FuzzRDFReader).
// Built as a fuzzer program by the fuzz build; in the test program it is an ordinary
// function that nobody calls.
#include "richtext/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRDFReader(Data, Size)) __builtin_trap();
  return 0;
}

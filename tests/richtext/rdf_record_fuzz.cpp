// libFuzzer entry: bytes through the document-file item record reader and back
// (FuzzRDFItemRecords). Built as a fuzzer program by the fuzz build; in the test program
// it is an ordinary function that nobody calls.
#include "richtext/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRDFItemRecords(Data, Size)) __builtin_trap();
  return 0;
}

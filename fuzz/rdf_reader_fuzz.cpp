// libFuzzer program: bytes through the RDF document reader, the layout, the painting and
// back (FuzzRDFReader).
#include "fuzz_setup.h"
#include "richtext/fuzz_targets.h"

// Pictures a document holds are made and drawn as the program makes and draws them.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzRDFReader(Data, Size)) __builtin_trap();
  return 0;
}

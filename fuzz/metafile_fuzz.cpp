// libFuzzer program: any bytes as a metafile picture, loaded and drawn.
#include "fuzz_setup.h"
#include "platform/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzMetafile(Data, Size);
  return 0;
}

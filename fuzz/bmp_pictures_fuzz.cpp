// libFuzzer program: any bytes as a BMP map and as the symbol sheets.
#include "app/fuzz_targets.h"
#include "fuzz_setup.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const std::string folder = MakeScratchFolder();
  FuzzBmpPictures(Data, Size, folder);
  return 0;
}

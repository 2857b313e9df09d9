// libFuzzer program: any bytes as a recorded packet log, read and played back.
#include <string>

#include "app/fuzz_targets.h"
#include "fuzz_setup.h"

namespace {
std::string folder;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  folder = MakeScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzPacketLog(Data, Size, folder);
  return 0;
}

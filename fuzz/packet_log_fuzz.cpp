// libFuzzer program: any bytes as a recorded packet log, read and played back.
#include <cstdlib>
#include <string>

#include "app/fuzz_targets.h"
#include "platform/sys/application.h"

namespace {
std::string folder;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static TApplication application(*argc, *argv);
  folder = "/tmp/velmora-fuzz-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) std::abort();
  folder += "/";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzPacketLog(Data, Size, folder);
  return 0;
}

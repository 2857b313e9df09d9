// libFuzzer program: any bytes as a language file, plain and enciphered.
#include <cstdlib>

#include "app/fuzz_targets.h"
#include "platform/sys/application.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static TApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzSpeakFile(Data, Size);
  return 0;
}

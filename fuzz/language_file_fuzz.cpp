// libFuzzer program: any bytes as a language file, plain and enciphered.
#include "app/fuzz_targets.h"
#include "fuzz_setup.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzSpeakFile(Data, Size);
  return 0;
}

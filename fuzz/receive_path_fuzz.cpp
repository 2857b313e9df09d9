// libFuzzer program: TNC bytes or APRS-IS lines through the whole receive path (the
// dispatcher and station store, the IGate, automatic acknowledgements and the packet
// log), every line we would send or write checked to be one line.
#include "app/fuzz_targets.h"
#include "fuzz_setup.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzReceivePath(Data, Size);
  return 0;
}

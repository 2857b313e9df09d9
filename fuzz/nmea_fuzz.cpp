// libFuzzer program: GPS receiver bytes through the NMEA decoder.
#include "devices/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzNmea(Data, Size);
  return 0;
}

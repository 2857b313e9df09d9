// libFuzzer program: any bytes as a map's calibration file (".DAT" and ".INF").
#include "app/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzCalibration(Data, Size);
  return 0;
}

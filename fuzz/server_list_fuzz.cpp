// libFuzzer program: any bytes as "Server.dat", the list of APRS-IS servers.
#include "core/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzServerList(Data, Size);
  return 0;
}

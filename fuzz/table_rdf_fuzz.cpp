// libFuzzer program: any bytes read as a document that may hold tables (FuzzTableRDF).
#include "richtext_edit/tables/table_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (!FuzzTableRDF(Data, Size)) __builtin_trap();
  return 0;
}

// libFuzzer program: the bytes as the choices of a random document that goes through RDF
// and RTF and back (CheckRoundTripsFromBytes); any difference stops it.
#include <cstdio>

#include "fuzz_setup.h"
#include "richtext_edit/round_trip_documents.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string failure = CheckRoundTripsFromBytes(Data, Size);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    __builtin_trap();
  }
  return 0;
}

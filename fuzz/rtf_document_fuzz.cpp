// libFuzzer program: any bytes read as RTF into a document that is then laid out,
// painted, printed to PDF and written as RTF and HTML (FuzzRTFDocument).
#include "fuzz_setup.h"
#include "richtext_edit/rtf_import/rtf_document_fuzz_target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const std::string folder = MakeScratchFolder();
  FuzzRTFDocument(Data, Size, folder);
  return 0;
}

// libFuzzer program: the bytes as editing operations on an editor (RunEditingFromBytes):
// no operation may crash or throw, and undo, redo and the layout must hold after them.
#include <cstdio>

#include "fuzz_setup.h"
#include "richtext_edit/edit/random_editing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartOffscreenApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string failure = RunEditingFromBytes(Data, Size);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    __builtin_trap();
  }
  return 0;
}

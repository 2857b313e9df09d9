#include "app/program/program.h"
#include "platform/sys/application.h"

namespace {

// The saves are made before RunProgram returns; what is left is the libraries' clean-up.
constexpr int kExitGraceSeconds = 10;

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const int code = RunProgram();
  TApplication::EndProcessWithin(kExitGraceSeconds, code);
  return code;
}

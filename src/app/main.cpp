#include "app/program/program.h"
#include "platform/sys/application.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  return RunProgram();
}

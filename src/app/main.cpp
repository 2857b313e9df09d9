#include "platform/sys/application.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.Title = "Velmora";
  app.Run();
  return 0;
}

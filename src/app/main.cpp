#include "platform/gui/forms.h"
#include "platform/sys/application.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.Title = "Velmora";

  // The main window: an MDI frame that ends the program when it closes.
  TForm frame(nullptr);
  frame.SetFormStyle(fsMDIForm);
  frame.SetCaption(app.Title);
  frame.SetClientSize(740, 444);
  frame.OnClose = [&app](TComponent*, TCloseAction& Action) {
    if (Action != caNone) app.Terminate();
  };
  frame.Show();

  app.Run();
  return 0;
}

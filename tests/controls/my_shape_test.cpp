#include "controls/my_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/menu.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

const char* const kZoomIn =
    "Kartenausschnitt vergr\xF6\xDF"
    "ern";  // Windows-1252

// A crosshair line on the map: clicks and the context menu are the map's.
TEST(MyShapeTest, ClicksAndTheRightButtonsContextMenuReachTheMap) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  TPopupMenu menu(&form);
  auto* zoom = new TMenuItem(&form);
  zoom->Caption = kZoomIn;
  menu.Items().Add(zoom);
  auto* line = new TMyShape(&form);
  line->SetBounds(0, 50, 200, 1);
  line->SetParent(&form);
  line->SetPopupMenu(&menu);

  std::vector<std::string> log;
  line->OnClick = [&](TComponent*) { log.push_back("click"); };
  line->OnDblClick = [&](TComponent*) { log.push_back("dblclick"); };
  zoom->OnClick = [&](TComponent*) { log.push_back("zoom"); };
  QueueCall([] { ChooseMenuItem(kZoomIn); });

  SimulateDblClick(*line, 120, 0);
  SimulateMouseDown(*line, mbRight, 120, 0);
  SimulateMouseUp(*line, mbRight, 120, 0);
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"click", "dblclick", "zoom"}));
}

}  // namespace

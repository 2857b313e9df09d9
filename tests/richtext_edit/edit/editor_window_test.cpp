// A small editor window driven through the platform's key and mouse events: typing,
// moving and selecting with the keys, deleting the selection, undo, and the caret drawn
// by the control itself. With VELMORA_EDITOR_SHOT set, the window is kept on screen for
// a few seconds after typing, to be photographed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/application.h"
#include "platform/sys/thread.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "support/control_snapshot.h"

namespace {

void Type(TWinControl& control, const std::string& text) {
  for (char c : text)
    SimulateKey(control, TKeyCode(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
}

}  // namespace

TEST(EditorWindow, TypedKeysEditTheDocumentAndUndoTakesThemBack) {
  TForm form(nullptr);
  form.SetCaption("Editor");
  form.SetBounds(40, 40, 420, 220);
  TEditFixture f;
  f.edit.SetParent(&form);
  f.edit.SetBounds(10, 10, 380, 160);
  f.AddPara({{"", 0}});
  f.Format();
  form.Show();
  f.edit.SetFocus();
  Type(f.edit, "Hello editor");
  EXPECT_EQ(f.data.GetItemTextRaw(0), "Hello editor");
  EXPECT_EQ(f.edit.CaretItemOffset(), 13);
  // Shift+Ctrl+Left selects the last word; Delete removes it.
  SimulateKey(f.edit, VK_LEFT, {}, ssShift | ssCtrl);
  EXPECT_EQ(f.edit.GetSelText(), "editor");
  SimulateKey(f.edit, VK_DELETE);
  EXPECT_EQ(f.data.GetItemTextRaw(0), "Hello ");
  Type(f.edit, "world");
  EXPECT_EQ(f.data.GetItemTextRaw(0), "Hello world");
  SimulateKey(f.edit, VK_HOME);
  EXPECT_EQ(f.edit.CaretItemOffset(), 1);
  SimulateKey(f.edit, VK_END);
  EXPECT_EQ(f.edit.CaretItemOffset(), 12);

  // The caret is drawn in the window's text colour where the data says it stands.
  TRect caret;
  ASSERT_TRUE(f.data.GetCaretRect(caret));
  if (f.edit.CaretShown()) {
    auto shot = Snapshot(f.edit);
    const TRect area = f.edit.DocumentRect();
    EXPECT_EQ(PixelAt(*shot, area.Left + caret.Left, area.Top + (caret.Top + caret.Bottom) / 2),
              clBlack);
  }
  if (const char* wait = std::getenv("VELMORA_EDITOR_SHOT")) {
    (void)wait;
    for (int i = 0; i < 40; ++i) {
      Application->ProcessMessages();
      TThread::Sleep(100);
    }
  }

  f.edit.Undo();  // "world", one character at a time
  EXPECT_EQ(f.data.GetItemTextRaw(0), "Hello worl");
  while (f.data.UndoList->Count() > 0) f.edit.Undo();
  EXPECT_EQ(f.data.GetItemTextRaw(0), "");
}

TEST(EditorWindow, ReadOnlyRefusesTypingWithABeep) {
  TEditFixture f;
  int beeps = 0;
  f.data.OnBeep = [&] { ++beeps; };
  f.AddPara({{"fixed", 0}});
  f.Format();
  f.edit.SetReadOnly(true);
  f.data.PlaceCaretAtItem(0, 6, false);
  f.edit.TypeChar(u'x');
  f.edit.Undo();
  EXPECT_EQ(f.data.GetItemTextRaw(0), "fixed");
  EXPECT_EQ(beeps, 2);
}

// The editor's own handling around the edits: formatting keeps the caret, an empty
// editor gets a line to type into, clicking a picture shows its resize handles and
// dragging one resizes the picture as one undo step.
#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/edit/item_resizer.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

TRDGraphicItemInfo* AddPicture(TEditFixture& f, int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  auto item = TRDGraphicItemInfo::CreateWithGraphic(&f.data, std::move(bitmap), rdvaBaseline);
  TRDGraphicItemInfo* raw = item.get();
  item->ParaNo = -1;
  f.data.AddItemAtEnd("", std::move(item));
  return raw;
}

// The control's client point of a document point.
TPoint ClientOf(TEditFixture& f, int x, int y) {
  const TRect area = f.edit.DocumentRect();
  int ox, oy;
  f.data.GetOrigin(ox, oy);
  return Point(x - f.data.GetHOffs() + ox + area.Left, y - f.data.GetVOffs() + oy + area.Top);
}

}  // namespace

TEST(EditorFormat, AnEmptyEditorGetsAnEmptyLineWithTheCaretAtItsStart) {
  TEditFixture f;
  f.Format();
  ASSERT_EQ(f.data.GetItemCount(), 1);
  EXPECT_EQ(f.data.GetItemTextRaw(0), "");
  EXPECT_EQ(f.edit.CaretItemNo(), 0);
  EXPECT_EQ(f.edit.CaretItemOffset(), 1);
}

TEST(EditorFormat, AFullFormatKeepsTheCaretAtItsItemAndOffset) {
  TEditFixture f;
  f.AddPara({{"some words to wrap at a narrower width of the window", 0}});
  f.AddPara({{"second", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 30, false);
  f.edit.SetBounds(0, 0, 120, 300);  // laid out again at the new width
  f.Format();
  EXPECT_EQ(f.edit.CaretItemNo(), 0);
  EXPECT_EQ(f.edit.CaretItemOffset(), 30);
  EXPECT_GT(f.data.CaretDItemNo, 0);  // on a later line now
}

TEST(EditorFormat, AHiddenReadOnlyCaretIsStillTracked) {
  TEditFixture f;
  f.AddPara({{"read only", 0}});
  f.Format();
  f.edit.SetReadOnly(true);
  f.edit.EditorOptions |= rdoHideReadOnlyCaret;
  f.data.PlaceCaretAtItem(0, 5, false);
  TRect rect;
  EXPECT_FALSE(f.data.GetCaretRect(rect));
  EXPECT_EQ(f.edit.CaretItemOffset(), 5);
}

TEST(EditorResize, ClickingAPictureShowsHandlesAndDraggingOneResizesItWithUndo) {
  TEditFixture f;
  f.AddPara({{"x", 0}});
  TRDGraphicItemInfo* picture = AddPicture(f, 40, 30);
  picture->SetSpacing(2);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  const TRDDrawLineInfo& line = *f.data.DrawItems[picture->DrawItemNo];
  const TPoint inside = ClientOf(f, line.Left + line.Width / 2, line.Top + line.Height / 2);
  SimulateClick(f.edit, inside.X, inside.Y);
  ASSERT_NE(f.data.Resizer, nullptr);
  EXPECT_EQ(f.data.GetSingleSelectedItem(), 1);

  // Handle 5 (the right edge's middle), 3 pixels inside the edge, dragged 20 to the right.
  const TPoint handle = ClientOf(f, line.Left + line.Width - 3, line.Top + line.Height / 2);
  SimulateMouseDown(f.edit, mbLeft, handle.X, handle.Y);
  ASSERT_TRUE(f.data.Resizer->Dragging);
  SimulateMouseMove(f.edit, handle.X + 20, handle.Y, ssLeft);
  SimulateMouseUp(f.edit, mbLeft, handle.X + 20, handle.Y);
  int width = 0, height = 0;
  ASSERT_TRUE(picture->GetExtraIntProperty(rdepImageWidth, width));
  picture->GetExtraIntProperty(rdepImageHeight, height);
  EXPECT_EQ(width, 60);  // the 4 pixels of spacing are not the picture's
  EXPECT_EQ(height, 30);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);

  // About the centre (Ctrl), dragged past it: the picture keeps the least width.
  SimulateClick(f.edit, inside.X, inside.Y);
  ASSERT_NE(f.data.Resizer, nullptr);
  SimulateMouseDown(f.edit, mbLeft, handle.X, handle.Y, ssCtrl);
  ASSERT_TRUE(f.data.Resizer->Dragging);
  SimulateMouseMove(f.edit, handle.X - 35, handle.Y, ssLeft | ssCtrl);
  SimulateMouseUp(f.edit, mbLeft, handle.X - 35, handle.Y, ssCtrl);
  ASSERT_TRUE(picture->GetExtraIntProperty(rdepImageWidth, width));
  EXPECT_EQ(width, 2);
}

TEST(EditorResize, NoHandlesWithNoImageResize) {
  TEditFixture f;
  f.edit.EditorOptions |= rdoNoImageResize;
  f.AddPara({{"x", 0}});
  TRDGraphicItemInfo* picture = AddPicture(f, 40, 30);
  f.Format();
  const TRDDrawLineInfo& line = *f.data.DrawItems[picture->DrawItemNo];
  const TPoint inside = ClientOf(f, line.Left + line.Width / 2, line.Top + line.Height / 2);
  SimulateClick(f.edit, inside.X, inside.Y);
  EXPECT_EQ(f.data.GetSingleSelectedItem(), 1);
  EXPECT_EQ(f.data.Resizer, nullptr);
}

TEST(EditorResize, AReadOnlyEditorResizesOnlyWhenItsFlagsAllow) {
  TEditFixture f;
  f.AddPara({{"x", 0}});
  TRDGraphicItemInfo* picture = AddPicture(f, 40, 30);
  picture->SetSpacing(0);
  f.Format();
  f.edit.SetReadOnly(true);
  f.edit.SetSelectionRange(1, 0, 1, 1);
  f.data.UpdateResizer();
  EXPECT_EQ(f.data.Resizer, nullptr);
  f.data.ResizeItem(1, 50, 30);
  EXPECT_EQ(picture->ImageWidth, 0);

  f.edit.Flags |= rdfReadOnlyDragAndResize;
  f.data.UpdateResizer();
  EXPECT_NE(f.data.Resizer, nullptr);
  f.data.ResizeItem(1, 50, 30);
  EXPECT_EQ(picture->ImageWidth, 50);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  // Typing stays refused.
  EXPECT_FALSE(f.edit.InsertStringTag("no", TRDTag{}));
}

TEST(EditorMouse, TheContextMenuOpensBelowAMarkedWordAtTheCaretAndElseAtTheMouse) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 420, 220);
  TEditFixture f;
  f.edit.SetParent(&form);
  f.edit.SetBounds(10, 10, 380, 160);
  f.AddPara({{"one twoo three", 0}});
  f.AddPara({{"second line", 0}});
  f.Format();
  form.Show();
  f.data.GetItem(0)->AddMisspelling(5, 4);  // "twoo"
  TPopupMenu menu(&form);
  auto* item = new TMenuItem(&form);
  item->Caption = "Suggestion";
  menu.Items().Add(item);
  f.edit.SetPopupMenu(&menu);
  auto shownAt = [&](int x, int y) {
    TPoint at{};
    QueueCall([&] {
      at = ShownMenuPosition();
      CloseMenu();
    });
    SimulateMouseUp(f.edit, mbRight, x, y);
    return at;
  };
  // A release on the marked word: the menu opens below its line, not over the word.
  const TRDDrawLineInfo& first = *f.data.DrawItems[0];
  const TPoint onWord = ClientOf(f, first.Left + 40, first.Top + 2);
  f.data.PlaceCaretAtItem(0, 7, false);
  EXPECT_EQ(shownAt(onWord.X, onWord.Y),
            f.edit.ClientToScreen(Point(onWord.X, ClientOf(f, 0, first.Top + first.Height).Y)));
  EXPECT_EQ(f.edit.CaretItemNo(), 0);
  // Elsewhere it opens where the mouse was let go.
  const TPoint elsewhere = ClientOf(f, 30, f.data.DrawItems[1]->Top + 2);
  EXPECT_EQ(shownAt(elsewhere.X, elsewhere.Y), f.edit.ClientToScreen(elsewhere));
}

// The smart-popup button beside an item: where it sits, what a click and its shortcut do,
// how it looks, and when it goes.
#include "richtext/view/smart_popup.h"

#include <gtest/gtest.h>

#include "platform/test_support/gui_test_support.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "support/control_snapshot.h"

namespace {

struct Viewer {
  Viewer() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.SetBorderStyle(bsNone);
    doc.SetBounds(0, 0, 300, 100);
    doc.AddTextParagraph("first line", 0, 0);
    doc.AddTextParagraph("second", 0, 0);
    doc.FormatDocument();
  }
  TRDStyle style;
  TRichDoc doc;
};

TEST(SmartPopup, TheButtonSitsAtTheItemsBottomRightAndFollowsIt) {
  Viewer v;
  v.doc.ShowSmartPopupButton(1);
  TRDSmartPopupButton* button = v.doc.SmartPopupButton();
  ASSERT_NE(button, nullptr);
  TRichDocRDData& data = v.doc.RDData();
  int left, top;
  ASSERT_TRUE(data.GetItemClientCoords(1, left, top));
  const TRDDrawLineInfo& line = *data.DrawItems[data.GetItem(1)->DrawItemNo];
  EXPECT_EQ(button->Left(), left + line.Width);
  EXPECT_EQ(button->Top(), top + line.Height);
  EXPECT_EQ(button->Width(), TRDSmartPopupButton::kSize);
  // Kept inside the view when the item reaches its edge.
  v.doc.SetBounds(0, 0, left + line.Width + 4, top + line.Height + 4);
  v.doc.FormatDocument();
  EXPECT_LE(button->Left() + button->Width(), v.doc.ClientWidth());
  EXPECT_LE(button->Top() + button->Height(), v.doc.ClientHeight());
  // Its look: the line colour round the button's colour.
  TRDSmartPopupProperties properties;
  properties.Color = clYellow;
  properties.LineColor = clRed;
  properties.ButtonType = rdsptSimple;
  v.doc.SetSmartPopupProperties(&properties);
  auto shot = Snapshot(*button);
  EXPECT_EQ(PixelAt(*shot, 0, 5), clRed);
  EXPECT_EQ(PixelAt(*shot, 5, 5), clYellow);
  // Another item moves it there; an item without a place on screen takes it away.
  v.doc.ShowSmartPopupButton(0);
  EXPECT_EQ(v.doc.SmartPopupButton()->ItemNo(), 0);
  v.doc.ShowSmartPopupButton(7);
  EXPECT_EQ(v.doc.SmartPopupButton(), nullptr);
}

TEST(SmartPopup, AClickOrTheShortcutTellsTheViewerAndClearingTakesTheButton) {
  Viewer v;
  TRDSmartPopupProperties properties;
  properties.ButtonType = rdsptShowDialog;
  properties.Hint = "More";
  v.doc.SetSmartPopupProperties(&properties);
  v.doc.ShowSmartPopupButton(0);
  int clicks = 0;
  v.doc.OnSmartPopupClick = [&](TCustomRichDoc*, TRDSmartPopupButton* b) {
    EXPECT_EQ(b, v.doc.SmartPopupButton());
    ++clicks;
  };
  TRDSmartPopupButton& button = *v.doc.SmartPopupButton();
  EXPECT_EQ(button.Hint(), "More");
  SimulateClick(button, 5, 5);
  EXPECT_EQ(clicks, 1);
  SimulateKey(v.doc, VK_DOWN, "", ssShift | ssCtrl);
  EXPECT_EQ(clicks, 2);
  SimulateKey(v.doc, VK_DOWN, "", ssCtrl);  // not the shortcut
  EXPECT_EQ(clicks, 2);
  v.doc.ClearDocument();
  EXPECT_EQ(v.doc.SmartPopupButton(), nullptr);
  v.doc.FormatDocument();
  v.doc.SetSmartPopupProperties(nullptr);
  EXPECT_FALSE(v.doc.HasSmartPopupProperties());
}

}  // namespace

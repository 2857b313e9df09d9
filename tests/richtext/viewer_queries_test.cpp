// What a viewer's document answers about places in it: where items are drawn,
// scrolling a rectangle into view, and what editing may do where (protection); and the
// smart-popup settings the viewer keeps for the editor.
#include <gtest/gtest.h>

#include <string>

#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext/view/smart_popup.h"

namespace {

struct ViewerPlaces : ::testing::Test {
  ViewerPlaces() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.SetBorderStyle(bsNone);
    doc.SetBounds(0, 0, 300, 120);
  }
  TRDStyle style;
  TRichDoc doc;
};

TEST_F(ViewerPlaces, ItemCoordsAreThoseOfTheFirstDrawLineAndFollowTheScroll) {
  for (int i = 0; i < 40; ++i) doc.AddTextParagraph("line " + std::to_string(i), 0, 0);
  TRichDocRDData& data = doc.RDData();
  int left = -1, top = -1;
  EXPECT_FALSE(data.GetItemCoords(3, left, top));  // not laid out yet
  doc.FormatDocument();
  ASSERT_TRUE(data.GetItemCoords(3, left, top));
  EXPECT_EQ(left, data.DrawItems[3]->Left);
  EXPECT_EQ(top, data.DrawItems[3]->Top);
  EXPECT_FALSE(data.GetItemCoords(40, left, top));
  doc.ScrollTo(5, true);
  int clientLeft, clientTop;
  ASSERT_TRUE(data.GetItemClientCoords(3, clientLeft, clientTop));
  EXPECT_EQ(clientTop, top - data.GetVOffs());
  EXPECT_EQ(clientLeft, left);
}

TEST_F(ViewerPlaces, ScrollToRectBringsARectangleIntoViewFromEitherSide) {
  for (int i = 0; i < 60; ++i) doc.AddTextParagraph("line " + std::to_string(i), 0, 0);
  doc.FormatDocument();
  TRichDocRDData& data = doc.RDData();
  const TRDDrawLineInfo& far = *data.DrawItems[50];
  data.ScrollToRect(far.Left, far.Top, far.Height, far.Width);
  // Below: its bottom and one step more show at the bottom of the view.
  const int bottom = far.Top + far.Height - data.GetVOffs();
  EXPECT_LE(bottom + data.GetVSmallStep(), data.GetHeight() + data.GetVSmallStep());
  EXPECT_GE(bottom, data.GetHeight() - 2 * data.GetVSmallStep());
  // Already visible: nothing moves.
  const int offs = data.GetVOffs();
  data.ScrollToRect(far.Left, far.Top, far.Height, far.Width);
  EXPECT_EQ(data.GetVOffs(), offs);
  // Above: its top at the top of the view (to the step).
  const TRDDrawLineInfo& near = *data.DrawItems[10];
  data.ScrollToRect(near.Left, near.Top, near.Height, near.Width);
  EXPECT_LE(data.GetVOffs(), near.Top);
  EXPECT_GT(data.GetVOffs() + data.GetVSmallStep(), near.Top);
  // Taller than the view with its top showing: left alone.
  const int before = data.GetVOffs();
  data.ScrollToRect(0, before + 10, data.GetHeight() * 3, 10);
  EXPECT_EQ(data.GetVOffs(), before);
}

TEST_F(ViewerPlaces, ProtectionComesFromTheTextStyleAndTheObjectsOwnFlag) {
  const int sticky = 1, guarded = 2;
  style.TextStyles()[sticky].Protection = rdprSticking | rdprStickToTop | rdprStickToBottom;
  style.TextStyles()[guarded].Protection = rdprModifyProtect | rdprDeleteProtect;
  doc.AddTextParagraph("top", sticky, 0);
  doc.AddTextContinued("glue", sticky);
  doc.AddTextContinued("free", 0);
  doc.AddTextContinued("fixed", guarded);
  doc.AddTextParagraph("end", sticky, 0);
  doc.FormatDocument();
  TRichDocRDData& data = doc.RDData();
  style.UseSound = true;
  int beeps = 0;
  data.OnBeep = [&] { ++beeps; };
  EXPECT_TRUE(data.IsItemProtected(3, rdprDeleteProtect));
  EXPECT_FALSE(data.IsItemProtected(2, rdprDeleteProtect));
  // Sticky boundaries: before the first item, between two sticking items, after the last.
  EXPECT_TRUE(data.IsStickyBoundary(-1, true));
  EXPECT_TRUE(data.IsStickyBoundary(0, true));
  EXPECT_FALSE(data.IsStickyBoundary(1, true));
  EXPECT_TRUE(data.IsStickyBoundary(4, true));
  EXPECT_EQ(beeps, 0);
  EXPECT_TRUE(data.IsStickyBoundary(0, false));
  EXPECT_EQ(beeps, 1);
  // Inserting: not inside modify-protected text, but at its edges; not at a sticky place.
  EXPECT_FALSE(data.CanInsertAt(3, 3));
  EXPECT_TRUE(data.CanInsertAt(3, 1));
  EXPECT_TRUE(data.CanInsertAt(2, 3));
  EXPECT_FALSE(data.CanInsertAt(0, 4));  // between "top" and "glue"
  EXPECT_FALSE(data.CanInsertAt(1, 1));
  EXPECT_FALSE(data.CanInsertAt(0, 1));  // before the first item
  // A read-only paragraph takes nothing anywhere.
  const int readOnly = style.ParaStyles().Count();
  style.ParaStyles().Add().Options = rdpaoReadOnly;
  data.GetItem(2)->ParaNo = readOnly;
  EXPECT_TRUE(data.IsParaOption(readOnly, rdpaoReadOnly));
  EXPECT_FALSE(data.IsParaOption(0, rdpaoReadOnly));
  EXPECT_FALSE(data.CanInsertAt(2, 2));
  EXPECT_EQ(beeps, 1);  // queries that insert nothing stay silent
}

TEST_F(ViewerPlaces, SmartPopupSettingsAreMadeOnDemandCopiedAndDropped) {
  EXPECT_FALSE(doc.HasSmartPopupProperties());
  TRDSmartPopupProperties& made = doc.SmartPopupProperties();
  EXPECT_EQ(made.ShortCut, 0x6028);  // Shift+Ctrl+Down
  EXPECT_EQ(made.ButtonType, rdsptDropDown);
  EXPECT_EQ(made.HoverColor, clInfoBk);
  TRDSmartPopupProperties mine;
  mine.Hint = "options";
  mine.ButtonType = rdsptShowDialog;
  doc.SetSmartPopupProperties(&mine);
  mine.Hint = "changed later";
  EXPECT_EQ(doc.SmartPopupProperties().Hint, "options");
  EXPECT_EQ(doc.SmartPopupProperties().ButtonType, rdsptShowDialog);
  doc.SetSmartPopupProperties(nullptr);
  EXPECT_FALSE(doc.HasSmartPopupProperties());
  EXPECT_EQ(doc.SmartPopupProperties().Hint, "");
}

}  // namespace

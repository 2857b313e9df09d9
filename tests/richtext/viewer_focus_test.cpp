// Keyboard focus on the items of a viewer, and the items' own mouse notifications.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/standard/edit.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/control_item.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "support/control_snapshot.h"

namespace {

constexpr int kJumpStyle = 4;

struct Viewer {
  Viewer() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.SetBorderStyle(bsNone);
    doc.SetBounds(0, 0, 300, 100);
  }
  TRDStyle style;
  TRichDoc doc;
};

TEST(ItemFocus, TabMovesFromLinkToLinkAndEnterFollowsTheFocusedOne) {
  Viewer v;
  v.doc.AddTextParagraph("plain ", 0, 0);
  v.doc.AddTextContinued("first", kJumpStyle);
  v.doc.AddTextContinued(" and ", 0);
  v.doc.AddTextContinued("second", kJumpStyle);
  v.doc.FormatDocument();
  std::vector<int> jumps;
  v.doc.OnJump = [&](TCustomRichDoc*, int id) { jumps.push_back(id); };
  TRichDocRDData& data = v.doc.RDData();
  EXPECT_EQ(data.FocusedItemNo, -1);
  SimulateKey(v.doc, VK_TAB, "");
  EXPECT_EQ(data.FocusedItemNo, 1);
  SimulateKey(v.doc, VK_TAB, "");
  EXPECT_EQ(data.FocusedItemNo, 3);
  SimulateKey(v.doc, VK_RETURN, "\r");
  EXPECT_EQ(jumps, std::vector<int>{1});
  // Past the last link the focus leaves the items.
  SimulateKey(v.doc, VK_TAB, "");
  EXPECT_EQ(data.FocusedItemNo, -1);
  SimulateKey(v.doc, VK_TAB, "", ssShift);
  EXPECT_EQ(data.FocusedItemNo, 3);
  SimulateKey(v.doc, VK_TAB, "", ssShift);
  EXPECT_EQ(data.FocusedItemNo, 1);
  SimulateKey(v.doc, VK_RETURN, "\r");
  EXPECT_EQ(jumps, (std::vector<int>{1, 0}));
  // A new layout forgets the focus, and so does a click.
  v.doc.FormatDocument();
  EXPECT_EQ(data.FocusedItemNo, -1);
  SimulateKey(v.doc, VK_TAB, "");
  ASSERT_EQ(data.FocusedItemNo, 1);
  SimulateClick(v.doc, 3, 3);
  EXPECT_EQ(data.FocusedItemNo, -1);
}

// A form of three stops: an edit, a viewer whose text holds an edit and then a link, and
// an edit after it.
struct TabForm {
  TabForm() {
    form.SetBounds(0, 0, 400, 300);
    before = new TEdit(&form);
    before->SetParent(&form);
    before->SetBounds(0, 0, 80, 20);
    doc = new TRichDoc(&form);
    doc->SetParent(&form);
    doc->SetStyle(&style);
    doc->SetBounds(0, 30, 300, 150);
    after = new TEdit(&form);
    after->SetParent(&form);
    after->SetBounds(0, 200, 80, 20);
    doc->AddTextParagraph("see ", 0, 0);
    TRichDocRDData& data = doc->RDData();
    auto inner = std::make_unique<TEdit>(nullptr);
    embedded = inner.get();
    data.AddItemAtEnd("",
                      TRDControlItemInfo::CreateWithControl(&data, std::move(inner), rdvaBaseline));
    doc->AddTextContinued(" and ", 0);
    doc->AddTextContinued("a link", kJumpStyle);
    doc->FormatDocument();
    form.Show();
    Application->ProcessMessages();  // let the window become active
    before->SetFocus();
  }
  ~TabForm() { form.Hide(); }
  // Tab (Shift+Tab) on the focused control; where the focus went, with the viewer's
  // focused item.
  std::string Press(TShiftState shift) {
    const std::pair<TWinControl*, std::string> stops[] = {
        {before, "before"}, {embedded, "embedded"}, {doc, "doc"}, {after, "after"}};
    for (const auto& [from, name] : stops) {
      if (!from->Focused()) continue;
      SimulateKey(*from, VK_TAB, shift ? "" : "\t", shift);
      for (const auto& [to, reached] : stops)
        if (to->Focused())
          return to == doc ? reached + " " + std::to_string(doc->RDData().FocusedItemNo) : reached;
    }
    return "none";
  }
  TForm form{nullptr};
  TRDStyle style;
  TEdit* before;
  TRichDoc* doc;
  TEdit* after;
  TEdit* embedded;
};

// Tab from the control before the viewer lands in the control the text holds, on to the
// link after it, and from the last item out of the viewer to the next control;
// Shift+Tab walks the same stops backwards. Each press lands on one new stop, and the
// window's order wraps around as usual.
TEST(ItemFocus, TabGoesThroughTheViewersItemsOneStopAPress) {
  TabForm f;
  if (!f.before->Focused()) GTEST_SKIP() << "no focus without an active window here";
  std::vector<std::string> forward, backward;
  for (int i = 0; i < 4; ++i) forward.push_back(f.Press(0));
  EXPECT_EQ(forward, (std::vector<std::string>{"embedded", "doc 3", "after", "before"}));
  for (int i = 0; i < 4; ++i) backward.push_back(f.Press(ssShift));
  EXPECT_EQ(backward, (std::vector<std::string>{"after", "doc 3", "embedded", "before"}));
}

// A control that takes no focus now is passed over; a click leaves the items alone.
TEST(ItemFocus, TabPassesADisabledControlAndAClickLeavesTheItemsAlone) {
  TabForm f;
  if (!f.before->Focused()) GTEST_SKIP() << "no focus without an active window here";
  f.embedded->SetEnabled(false);
  EXPECT_EQ(f.Press(0), "doc 3");
  f.after->SetFocus();
  EXPECT_EQ(f.Press(ssShift), "doc 3");
  f.before->SetFocus();
  f.doc->RDData().ClearItemFocus();
  SimulateClick(*f.doc, 250, 120);
  EXPECT_EQ(f.doc->RDData().FocusedItemNo, -1);
}

TEST(ItemFocus, TheFocusedLinkIsFramedAndScrolledIntoView) {
  Viewer v;
  for (int i = 0; i < 30; ++i) v.doc.AddTextParagraph("line " + std::to_string(i), 0, 0);
  v.doc.AddTextParagraph("far link", kJumpStyle, 0);
  v.doc.FormatDocument();
  TRichDocRDData& data = v.doc.RDData();
  ASSERT_EQ(data.GetVOffs(), 0);
  SimulateKey(v.doc, VK_TAB, "");
  ASSERT_EQ(data.FocusedItemNo, 30);
  int left, top;
  ASSERT_TRUE(data.GetItemClientCoords(30, left, top));
  EXPECT_GE(top, 0);
  EXPECT_LT(top, data.GetHeight());
  // The dotted frame lies one pixel outside the link's text.
  TBitmap shot;
  shot.SetSize(v.doc.Width(), v.doc.Height());
  PaintTo(v.doc, shot.Canvas(), 0, 0);
  const TRDDrawLineInfo& line = *data.DrawItems[data.GetItem(30)->DrawItemNo];
  int framed = 0;
  for (int x = left - 1; x <= left + line.Width; ++x)
    if (shot.Canvas().Pixels(x, top - 1) != shot.Canvas().Pixels(left + line.Width + 20, top - 1))
      ++framed;
  EXPECT_GT(framed, line.Width / 4);
}

// A hot picture that records what the mouse tells it.
class TRecordingPicture : public TRDHotGraphicItemInfo {
 public:
  using TRDHotGraphicItemInfo::TRDHotGraphicItemInfo;
  bool MouseMove(TShiftState, int x, int y, int itemNo, TCustomRDData*) override {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y) + " #" +
                  std::to_string(itemNo));
    return false;
  }
  bool MouseDown(TMouseButton, TShiftState, int x, int y, int, TCustomRDData*) override {
    log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    return false;
  }
  bool MouseUp(TMouseButton, TShiftState, int x, int y, int, TCustomRDData*) override {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    return false;
  }
  std::vector<std::string> log;
};

TEST(ItemMouse, ItemsHearTheMouseAtTheirOwnCoordinatesAndAHotPictureJumps) {
  Viewer v;
  v.doc.AddTextParagraph("see ", 0, 0);
  TRichDocRDData& data = v.doc.RDData();
  auto owned = std::make_unique<TRecordingPicture>(&data);
  owned->Image = SolidPicture(10, 10, clRed);
  owned->ParaNo = -1;
  TRecordingPicture* picture = owned.get();
  data.AddItemAtEnd("", std::move(owned));
  v.doc.FormatDocument();
  std::vector<int> jumps;
  v.doc.OnJump = [&](TCustomRichDoc*, int id) { jumps.push_back(id); };
  int left, top;
  ASSERT_TRUE(data.GetItemClientCoords(1, left, top));
  SimulateMouseMove(v.doc, left + 3, top + 4);
  EXPECT_EQ(v.doc.Cursor(), crHandPoint);
  SimulateClick(v.doc, left + 5, top + 6);
  EXPECT_EQ(picture->log, (std::vector<std::string>{"move 3,4 #1", "down 5,6", "up 5,6"}));
  EXPECT_EQ(jumps, std::vector<int>{0});
}

TEST(ItemMouse, AHotspotShowsItsHotImageWhileTheMouseIsOverIt) {
  Viewer v;
  TImageList images(nullptr, 10, 10);
  images.Add(*SolidPicture(10, 10, clBlue));
  images.Add(*SolidPicture(10, 10, clLime));
  v.doc.AddTextParagraph("see ", 0, 0);
  TRichDocRDData& data = v.doc.RDData();
  auto hotspot = std::make_unique<TRDHotspotItemInfo>(&data);
  hotspot->ImageList = &images;
  hotspot->ImageIndex = 0;
  hotspot->HotImageIndex = 1;
  hotspot->ParaNo = -1;
  data.AddItemAtEnd("", std::move(hotspot));
  v.doc.FormatDocument();
  int left, top;
  ASSERT_TRUE(data.GetItemClientCoords(1, left, top));
  TBitmap shot;
  shot.SetSize(v.doc.Width(), v.doc.Height());
  PaintTo(v.doc, shot.Canvas(), 0, 0);
  EXPECT_EQ(shot.Canvas().Pixels(left + 5, top + 5), clBlue);
  SimulateMouseMove(v.doc, left + 5, top + 5);
  PaintTo(v.doc, shot.Canvas(), 0, 0);
  EXPECT_EQ(shot.Canvas().Pixels(left + 5, top + 5), clLime);
  SimulateMouseMove(v.doc, 250, 80);
  PaintTo(v.doc, shot.Canvas(), 0, 0);
  EXPECT_EQ(shot.Canvas().Pixels(left + 5, top + 5), clBlue);
}

}  // namespace

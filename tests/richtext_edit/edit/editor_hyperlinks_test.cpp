// Links in the editor: inactive while editing, collected in order in hyperlink mode
// (read-only), and numbered the same when a file is written in either mode.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

constexpr int kJumpStyle = 4;

std::string WriteRTF(TEditFixture& f, std::vector<int>& ids) {
  ids.clear();
  f.data.ExportHooks.OnWriteHyperlink = [&](int id, TRDSaveFormat, std::string& target,
                                            std::string&) {
    ids.push_back(id);
    target = "http://example.org/" + std::to_string(id);
  };
  TMemoryStream stream;
  EXPECT_TRUE(SaveRTFToStream(f.data, stream, TRDRTFSaveParams{}));
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

}  // namespace

TEST(EditorHyperlinks, InactiveWhileEditingAndNumberedAlikeWhenWritten) {
  TEditFixture f;
  f.AddPara({{"see ", 0}, {"first", kJumpStyle}, {" and ", 0}, {"second", kJumpStyle}});
  f.AddPara({{"third", kJumpStyle}});
  f.Format();
  EXPECT_TRUE(f.data.Jumps.empty());  // editing: no link reacts to the mouse

  std::vector<int> ids;
  const std::string editing = WriteRTF(f, ids);
  EXPECT_EQ(ids, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(f.data.Jumps.empty());  // and back to editing after writing

  f.edit.SetReadOnly(true);
  EXPECT_EQ(f.data.Jumps.size(), 3u);
  const std::string readOnly = WriteRTF(f, ids);
  EXPECT_EQ(ids, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(readOnly, editing);
  EXPECT_EQ(f.data.Jumps.size(), 3u);  // a read-only editor stays in hyperlink mode

  f.edit.SetReadOnly(false);
  EXPECT_TRUE(f.data.Jumps.empty());
}

TEST(EditorHyperlinks, WithCtrlHeldTheLinkUnderTheMouseLightsUp) {
  TEditFixture f;
  f.AddPara({{"see ", 0}, {"link", kJumpStyle}});
  f.style.TextStyles().Items(kJumpStyle).HoverColor = clRed;
  f.Format();
  const TRDDrawLineInfo& link = *f.data.DrawItems[1];
  const TRect area = f.edit.DocumentRect();
  const int x = area.Left + link.Left + link.Width / 2, y = area.Top + link.Top + link.Height / 2;
  SimulateMouseMove(f.edit, x, y);
  EXPECT_TRUE(f.data.Jumps.empty());
  EXPECT_FALSE(f.data.State & rdsLit);
  SimulateMouseMove(f.edit, x, y, ssCtrl);
  EXPECT_EQ(f.data.Jumps.size(), 1u);
  EXPECT_TRUE(f.data.State & rdsLit);
  SimulateMouseMove(f.edit, x + 1, y);
  EXPECT_TRUE(f.data.Jumps.empty());
  EXPECT_FALSE(f.data.State & rdsLit);
}

TEST(EditorHyperlinks, TheLinkAtTheCaretIsDrawnHotUntilTheCaretLeavesIt) {
  TEditFixture f;
  f.AddPara({{"see ", 0}, {"link", kJumpStyle}});
  f.style.TextStyles().Items(kJumpStyle).HoverColor = clRed;
  f.Format();
  f.data.PlaceCaretAtItem(1, 3, false);
  EXPECT_EQ(f.data.HighlightedJumpItem, 1);
  f.data.PlaceCaretAtItem(0, 2, false);
  EXPECT_EQ(f.data.HighlightedJumpItem, -1);
  f.edit.EditorOptions |= rdoNoCaretHighlightJumps;
  f.data.PlaceCaretAtItem(1, 3, false);
  EXPECT_EQ(f.data.HighlightedJumpItem, -1);
}

TEST(EditorHyperlinks, CtrlHeldWhenTheFocusGoesLeavesHyperlinkModeBehind) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 420, 320);
  TEditFixture f;
  f.edit.SetParent(&form);
  TRichDocEdit other(nullptr);
  other.SetParent(&form);
  other.SetBounds(0, 200, 100, 50);
  f.AddPara({{"see ", 0}, {"link", kJumpStyle}});
  f.Format();
  form.Show();
  Application->ProcessMessages();  // let the window become active
  f.edit.SetFocus();
  Application->ProcessMessages();
  SimulateKey(f.edit, VK_CONTROL, {}, ssCtrl);
  ASSERT_EQ(f.data.Jumps.size(), 1u);
  // Ctrl is let go over the other control: this editor must not keep its links live.
  other.SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(f.edit.Focused());
  EXPECT_TRUE(f.data.Jumps.empty());
  EXPECT_FALSE(f.data.GetFlags() & rdfCollectJumps);
}

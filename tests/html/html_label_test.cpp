#include "html/html_label.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "html/html_text.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/shell.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

class HtmlLabelTest : public ::testing::Test {
 protected:
  HtmlLabelTest() : form(nullptr) {
    SetShellOpenHandler([this](const std::string& url) {
      opened.push_back(url);
      return true;
    });
    form.SetBounds(50, 50, 500, 300);
    label = new THtmlLabel(&form);
    label->SetParent(&form);
    label->SetBounds(10, 10, 300, 60);
    label->Font().SetName("DejaVu Sans");
    label->Font().SetSize(10);
    label->OnAnchorClick = [this](TComponent*, const std::string& a) { clicked.push_back(a); };
    label->OnAnchorEnter = [this](TComponent*, const std::string& a) { entered.push_back(a); };
    label->OnAnchorExit = [this](TComponent*, const std::string&) { ++exits; };
    form.Show();
  }
  ~HtmlLabelTest() override {
    form.Hide();
    SetShellOpenHandler(nullptr);
  }
  void Click(int x, int y) {
    SimulateMouseMove(*label, x, y);
    SimulateMouseDown(*label, mbLeft, x, y);
    SimulateMouseUp(*label, mbLeft, x, y);
  }
  int Width(const std::string& text) { return label->Canvas().TextWidth(text); }

  TForm form;
  THtmlLabel* label;
  std::vector<std::string> opened, clicked, entered;
  int exits = 0;
};

TEST_F(HtmlLabelTest, LinesOfTheTextRunOnWithoutABreak) {
  label->HTMLText().Add("first");
  label->HTMLText().Add("second");
  EXPECT_EQ(label->GetFullText(), "firstsecond");
  Snapshot(*label);
  EXPECT_EQ(label->TextWidth(), Width("firstsecond") + 2);
  TStringList replaced;
  replaced.SetText("a\r\nb");
  label->SetHTMLText(&replaced);
  EXPECT_EQ(label->GetFullText(), "ab");
  label->SetHTMLText(nullptr);
  EXPECT_EQ(label->GetFullText(), "ab");
}

TEST_F(HtmlLabelTest, AutoSizingSetsTheHeightBeforeAnyPaint) {
  label->SetAutoSizing(true);
  label->HTMLText().SetText("one<BR>two<BR><FONT size=\"5\">three</FONT>");
  const int text_height = label->TextHeight();
  EXPECT_GT(text_height, 0);
  EXPECT_EQ(label->Height(), text_height + 6);
  const int before = label->Height();
  Snapshot(*label);
  EXPECT_EQ(label->Height(), before);  // painting changes nothing
  // A narrower label wraps more and grows.
  label->HTMLText().SetText("many words that wrap in a narrow label");
  const int wide = label->Height();
  label->SetWidth(60);
  EXPECT_GT(label->Height(), wide);
  // Aligned to the left, the height is the aligning's, not the text's.
  THtmlLabel* side = new THtmlLabel(&form);
  side->SetParent(&form);
  side->SetAlign(alLeft);
  const int side_height = side->Height();
  side->SetAutoSizing(true);
  side->HTMLText().SetText("x<BR>y<BR>z");
  EXPECT_EQ(side->Height(), side_height);
}

TEST_F(HtmlLabelTest, AFullGradientOf406PixelsHas101Bands) {
  label->SetBounds(0, 0, 406, 10);
  label->SetTransparent(false);
  label->SetColor(clBlack);
  label->SetColorTo(RGB(0, 0, 255));
  auto bitmap = Snapshot(*label);
  std::set<TColor> colours;
  for (int x = 0; x < 406; ++x) colours.insert(PixelAt(*bitmap, x, 5));
  EXPECT_EQ(colours.size(), 101u);
  EXPECT_EQ(PixelAt(*bitmap, 0, 5), clBlack);
  // Transparent: the background stays; a line type still draws its two rows.
  label->SetTransparent(true);
  label->SetGradientType(gtBottomLine);
  auto line = Snapshot(*label, clWhite);
  EXPECT_EQ(PixelAt(*line, 0, 0), clWhite);
  EXPECT_EQ(PixelAt(*line, 0, 9), clBlack);
  EXPECT_EQ(PixelAt(*line, 0, 8), clBlack);
  EXPECT_EQ(PixelAt(*line, 0, 7), clWhite);
}

TEST_F(HtmlLabelTest, BevelsAndBorder) {
  label->SetTransparent(false);
  label->SetColor(clWhite);
  label->SetBevelOuter(bvRaised);
  label->SetBorderWidth(2);
  label->SetBevelInner(bvLowered);
  auto bitmap = Snapshot(*label);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(*bitmap, 299, 59), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(*bitmap, 1, 1), clWhite);  // the border in the label's colour
  EXPECT_EQ(PixelAt(*bitmap, 3, 3), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(*bitmap, 296, 56), ColorToRGB(clBtnHighlight));
}

TEST_F(HtmlLabelTest, VerticalAlignmentPlacesTheText) {
  label->SetTransparent(false);
  label->SetColor(clWhite);
  label->Font().SetColor(clBlack);
  label->HTMLText().SetText("Text");
  auto ink_top = [&] {
    auto bitmap = Snapshot(*label);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x)
        if (PixelAt(*bitmap, x, y) != clWhite) return y;
    return -1;
  };
  const int top = ink_top();
  label->SetVAlignment(tvaCenter);
  const int centre = ink_top();
  label->SetVAlignment(tvaBottom);
  const int bottom = ink_top();
  EXPECT_LT(top, centre);
  EXPECT_LT(centre, bottom);
  EXPECT_NEAR(centre - top, (60 - label->TextHeight()) / 2, 1);
}

TEST_F(HtmlLabelTest, WebAndMailLinksOpenOtherTargetsAreTheProgramsToHandle) {
  label->HTMLText().SetText(
      "<A href=\"mailto:dl0abc@example.org\">mail</A> <A href=\"word\">word</A> "
      "<A href=\"file:///etc/passwd\">file</A>");
  const int y = 8;  // inside the first line
  Click(1 + Width("ma"), y);
  EXPECT_EQ(opened, (std::vector<std::string>{"mailto:dl0abc@example.org"}));
  EXPECT_TRUE(clicked.empty());
  Click(1 + Width("mail wo"), y);
  Click(1 + Width("mail word fi"), y);
  EXPECT_EQ(clicked, (std::vector<std::string>{"word", "file:///etc/passwd"}));
  EXPECT_EQ(opened.size(), 1u);
}

TEST_F(HtmlLabelTest, TheCursorAndEventsFollowTheLinks) {
  label->AnchorHint = true;
  label->HTMLText().SetText("plain <A href=\"one\">one</A> <A href=\"two\">two</A>");
  const int y = 8;  // inside the first line
  SimulateMouseMove(*label, 2, y);
  EXPECT_EQ(label->Cursor(), crDefault);
  SimulateMouseMove(*label, 1 + Width("plain o"), y);
  EXPECT_EQ(label->Cursor(), crHandPoint);
  EXPECT_EQ(label->Hint(), "one");
  SimulateMouseMove(*label, 1 + Width("plain one t"), y);
  EXPECT_EQ(entered, (std::vector<std::string>{"one", "two"}));
  SimulateMouseMove(*label, 2, y);
  EXPECT_EQ(label->Cursor(), crDefault);
  EXPECT_EQ(exits, 1);
  label->SetHintShowFull(true);
  EXPECT_EQ(label->Hint(), "plain one two");
  label->SetHTMLHint(true);
  EXPECT_EQ(label->Hint(), label->GetFullText());
}

}  // namespace

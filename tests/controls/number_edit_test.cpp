#include "controls/number_edit.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"

namespace {

// Leaving the box is a focus change from the window system; the test calls it directly.
class TLeavingEdit : public TNumberEdit {
 public:
  using TNumberEdit::DoExit;
  using TNumberEdit::TNumberEdit;
};

void Type(TWinControl& edit, const std::string& text) {
  for (char c : text) {
    const TKeyCode key = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ? TKeyCode(c) : 0;
    SimulateKey(edit, key, std::string(1, c));
  }
}

TEST(NumberEditTest, StartsAtZeroSixtyPixelsWide) {
  TNumberEdit edit(nullptr);
  EXPECT_EQ(edit.Text(), "0");
  EXPECT_EQ(edit.Width(), 60);
}

TEST(NumberEditTest, RangeLimitsTheLengthAndLeavingCorrectsToTheNearestBound) {
  TLeavingEdit edit(nullptr);
  edit.SetIntMin(1);
  edit.SetIntMax(99);
  edit.SetText("");
  Type(edit, "150");
  EXPECT_EQ(edit.Text(), "15");

  edit.SetText("0");
  std::string message;
  QueueCall([&message] { AnswerMessageBox(IDOK, &message); });
  edit.DoExit();
  EXPECT_EQ(message, "Wert mu\xDF zwischen 1 und 99 liegen!");
  EXPECT_EQ(edit.Text(), "1");

  edit.SetIntMax(500);
  edit.SetText("501");
  QueueCall([] { AnswerMessageBox(IDOK); });
  edit.DoExit();
  EXPECT_EQ(edit.Text(), "500");
}

TEST(NumberEditTest, WithoutARangeAnyDigitsPassAndEmptyBecomesIntMin) {
  TLeavingEdit edit(nullptr);
  edit.SetIntMin(3);
  edit.SetText("");
  Type(edit, "123456789012");
  EXPECT_EQ(edit.Text(), "123456789012");
  edit.DoExit();  // no message box: it would block here
  EXPECT_EQ(edit.Text(), "123456789012");
  edit.SetText("");
  edit.DoExit();
  EXPECT_EQ(edit.Text(), "3");
}

TEST(NumberEditTest, SignsSeparatorsAndLettersAreRefused) {
  TNumberEdit edit(nullptr);
  edit.SetText("");
  Type(edit, "-1.5,2a B");
  EXPECT_EQ(edit.Text(), "152");
}

// Ctrl+A is the edit's select-all, not a character to refuse: the next digit replaces
// the whole number.
TEST(NumberEditTest, CtrlASelectsAllInsteadOfBeingRefused) {
  TNumberEdit edit(nullptr);
  edit.SetText("123");
  SimulateKey(edit, TKeyCode('A'), "\x01", ssCtrl);
  EXPECT_EQ(edit.Text(), "123");
  Type(edit, "7");
  EXPECT_EQ(edit.Text(), "7");
}

TEST(NumberEditTest, PastedTextIsFilteredLikeTypedText) {
  TNumberEdit edit(nullptr);
  int changes = 0;
  edit.OnChange = [&](TComponent*) { ++changes; };
  edit.SetText("1,5 km");
  EXPECT_EQ(edit.Text(), "15");
  EXPECT_EQ(changes, 1);
}

// The blanks and signs of a paste go before its length is held to IntMax's digits, and
// leaving checks the range of what is left.
TEST(NumberEditTest, APasteIsCutToItsDigitsBeforeItsLength) {
  TLeavingEdit edit(nullptr);
  edit.SetIntMax(240);
  for (const auto& [pasted, kept] : {std::pair{u" 120", "120"}, {u"-2 4 5 ", "245"}}) {
    edit.SetText("");
    const std::u16string text(pasted);
    Clipboard().SetAsBytes(
        CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    SimulateKey(edit, 'V', "", ssCtrl);
    EXPECT_EQ(edit.Text(), kept);
  }
  QueueCall([] { AnswerMessageBox(IDOK); });
  edit.DoExit();
  EXPECT_EQ(edit.Text(), "240");
}

TEST(NumberEditTest, ValueReadsTheTextAndClampsPastTheIntegerRange) {
  TNumberEdit edit(nullptr);
  edit.SetIntMin(7);
  edit.SetText("");
  EXPECT_EQ(edit.IntIst(), 7);
  EXPECT_EQ(edit.Text(), "7");
  edit.SetText("2147483647");
  EXPECT_EQ(edit.IntIst(), INT_MAX);
  edit.SetText("99999999999999999999");
  EXPECT_EQ(edit.IntIst(), INT_MAX);
  EXPECT_EQ(DigitsToInt("2147483648"), INT_MAX);
}

TEST(NumberEditTest, WritingTheValueCutsItToIntMax) {
  TNumberEdit edit(nullptr);
  edit.SetIntIst(1234);
  EXPECT_EQ(edit.Text(), "1234");
  edit.SetIntMax(100);
  edit.SetIntIst(1234);
  EXPECT_EQ(edit.Text(), "100");
  edit.SetIntIst(-5);
  EXPECT_EQ(edit.Text(), "0");
}

TEST(NumberEditTest, AutoHintShowsRangeAndDefaultOnTheSecondLine) {
  TNumberEdit edit(nullptr);
  edit.SetAutoHintText("Bakenintervall");
  EXPECT_EQ(edit.Hint(), "Bakenintervall");
  edit.SetIntMin(5);
  edit.SetIntMax(60);
  edit.SetIntDef(15);
  edit.SetAutoHint(true);
  EXPECT_EQ(edit.Hint(), "Bakenintervall\n\rBereich: 5...60 - Voreinstellung: 15");
  edit.SetAutoHint(false);
  EXPECT_EQ(edit.Hint(), "Bakenintervall");
}

}  // namespace

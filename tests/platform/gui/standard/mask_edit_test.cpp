// The mask edit as a user types into it: literals stay, typing overwrites, the caret
// steps over literals, Ctrl+A and Ctrl+Z work although a key filter is set.
#include "platform/gui/standard/mask_edit.h"

#include <gtest/gtest.h>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/test_support/gui_test_support.h"

namespace {

const std::string kMask =
    "00\xB0"
    "00.00 L";

void Type(TMaskEdit& edit, const std::string& keys) {
  for (char c : keys) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SimulateKey(edit, TKeyCode(upper), std::string(1, c));
  }
}

class MaskEditTest : public ::testing::Test {
 protected:
  MaskEditTest() {
    edit.SetEditMask(kMask);
    edit.SetText(
        "00\xB0"
        "00.00 N");
    // Only digits and the hemisphere letters, as the position fields filter them.
    edit.OnKeyPress = [](TComponent*, char& Key) {
      const bool digit = Key >= '0' && Key <= '9';
      const bool hemisphere = Key == 'n' || Key == 'N' || Key == 's' || Key == 'S';
      if (!digit && !hemisphere && Key != '\b') Key = 0;
    };
    SimulateKey(edit, VK_HOME);
  }
  TMaskEdit edit{nullptr};
};

TEST_F(MaskEditTest, TypingOverwritesAndStepsOverTheLiterals) {
  Type(edit, "523012s");
  EXPECT_EQ(edit.Text(),
            "52\xB0"
            "30.12 S");
  // From the start again: one digit replaces one, the rest stays.
  SimulateKey(edit, VK_HOME);
  Type(edit, "4");
  EXPECT_EQ(edit.Text(),
            "42\xB0"
            "30.12 S");
  // Literals typed where they stand are no characters of their own; the filter drops them.
  Type(edit, "1\xB0.x");
  EXPECT_EQ(edit.Text(),
            "41\xB0"
            "30.12 S");
}

TEST_F(MaskEditTest, EmptyPlacesKeepTheirPositionAsBlanks) {
  SimulateKey(edit, VK_END);
  // The third backspace steps over the blank literal.
  for (int n = 0; n < 3; ++n) SimulateKey(edit, VK_BACK, "\b");
  EXPECT_EQ(edit.Text(),
            "00\xB0"
            "00.    ");
  EXPECT_EQ(edit.Text().size(), kMask.size());
}

TEST_F(MaskEditTest, SelectAllAndUndoReachTheEdit) {
  Type(edit, "5230");
  SimulateKey(edit, TKeyCode('A'), "\x01", ssCtrl);
  SimulateKey(edit, VK_DELETE);
  EXPECT_EQ(edit.Text(), "  \xB0  .    ");
  SimulateKey(edit, TKeyCode('Z'), "\x1A", ssCtrl);
  EXPECT_EQ(edit.Text(),
            "52\xB0"
            "30.00 N");
}

TEST_F(MaskEditTest, TextFromCodeFitsTheMask) {
  edit.SetText(
      "013\xB0"
      "15.00 E");
  EXPECT_EQ(edit.Text().size(), kMask.size());
  edit.SetEditMask(
      "000\xB0"
      "00.00 L");
  edit.SetText(
      "013\xB0"
      "15.00 e");
  EXPECT_EQ(edit.Text(),
            "013\xB0"
            "15.00 E");
}

}  // namespace

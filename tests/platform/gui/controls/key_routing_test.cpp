#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/memo.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

TEST(KeyRouting, AWrappedWidgetTypesTheCharacterOnKeyPressChose) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->OnKeyPress = [](TComponent*, char& key) {
    if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
    if (key == '#') key = 0;
  };
  SimulateKey(*edit, 'D', "d");
  SimulateKey(*edit, '3', "#", ssShift);
  SimulateKey(*edit, '0', "0");
  SimulateKey(*edit, 0, "\xE4");  // a key without a code still types its character
  EXPECT_EQ(edit->Text(), "D0\xE4");
}

TEST(KeyRouting, KeysMapToTheirCodesAndEnterAndEscTypeTheirCharacters) {
  TForm form(nullptr);
  auto* control = new TWinControl(&form);
  control->SetParent(&form);
  std::vector<int> codes;
  std::string typed;
  control->OnKeyDown = [&](TComponent*, TKeyCode& key, TShiftState shift) {
    codes.push_back(key);
    if (shift & ssCtrl) codes.push_back(-1);
  };
  control->OnKeyPress = [&](TComponent*, char& key) { typed += key; };
  SimulateKey(*control, VK_RETURN, "\r");
  SimulateKey(*control, VK_ESCAPE, "\x1b");
  SimulateKey(*control, VK_F1 + 4);
  SimulateKey(*control, VK_LEFT, {}, ssCtrl);
  SimulateKey(*control, 'Z', "z");
  EXPECT_EQ(codes, (std::vector<int>{VK_RETURN, VK_ESCAPE, VK_F1 + 4, VK_LEFT, -1, 'Z'}));
  EXPECT_EQ(typed, "\r\x1bz");
}

TEST(KeyRouting, KeyReleasesReachTheControl) {
  TForm form(nullptr);
  auto* control = new TWinControl(&form);
  control->SetParent(&form);
  std::vector<int> released;
  control->OnKeyUp = [&](TComponent*, TKeyCode& key, TShiftState shift) {
    released.push_back(key);
    if (shift & ssShift) released.push_back(-1);
  };
  SimulateKeyUp(*control, VK_DOWN);
  SimulateKeyUp(*control, 'A', ssShift);
  EXPECT_EQ(released, (std::vector<int>{VK_DOWN, 'A', -1}));
}

// Tab moves the focus on, even out of an edit whose key handler lets only digits through;
// the handler never sees it as a typed character.
TEST(KeyRouting, TabLeavesAnEditThatRefusesEveryOtherCharacter) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* digits = new TEdit(&form);
  digits->SetParent(&form);
  digits->SetBounds(0, 0, 80, 20);
  std::string seen;
  digits->OnKeyPress = [&](TComponent*, char& key) {
    seen += key;
    if (key < '0' || key > '9') key = 0;
  };
  auto* next = new TEdit(&form);
  next->SetParent(&form);
  next->SetBounds(0, 30, 80, 20);
  form.Show();
  Application->ProcessMessages();  // let the window become active
  digits->SetFocus();
  ASSERT_TRUE(digits->Focused());
  SimulateKey(*digits, '1', "1");
  SimulateKey(*digits, VK_TAB, "\t");
  EXPECT_EQ(seen, "1");
  EXPECT_TRUE(next->Focused());
  EXPECT_EQ(digits->Text(), "1");
  form.Hide();
}

// A digit typed over the selected text replaces it, also when the key handler sets the
// same length limit again first, as the number edit does on every key.
TEST(KeyRouting, TypingOverASelectionReplacesItWhenTheLimitIsSetAgain) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetMaxLength(3);
  edit->OnKeyPress = [edit](TComponent*, char&) { edit->SetMaxLength(3); };
  edit->SetText("120");
  edit->SelectAll();
  SimulateKey(*edit, '7', "7");
  EXPECT_EQ(edit->Text(), "7");
}

// A letter typed with Alt is a command under every layout, in Qt's edits and memos as in
// our own controls; AltGr (which comes as Ctrl and Alt together) still types its
// character, and Ctrl keeps the edits' own shortcuts.
TEST(KeyRouting, AltWithALetterTypesNothingWhereAltGrTypesAndCtrlCommands) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  for (TWinControl* control : std::initializer_list<TWinControl*>{edit, memo}) {
    SimulateKey(*control, 'X', "x", ssAlt);
    SimulateUnicodeKey(*control, 'X', u"\u03C7", ssAlt);            // Greek
    SimulateUnicodeKey(*control, 'X', u"\u0447", ssAlt | ssShift);  // Russian
    SimulateKey(*control, 'Q', "@", ssCtrl | ssAlt);
    SimulateUnicodeKey(*control, 'E', u"\u20AC", ssCtrl | ssAlt);
  }
  EXPECT_EQ(edit->TextW(), u"@\u20AC");
  EXPECT_EQ(memo->Text(), "@\x80");
  SimulateKey(*edit, 'A', "\x01", ssCtrl);  // select all
  SimulateKey(*edit, 'Z', "z");
  EXPECT_EQ(edit->Text(), "z");
}

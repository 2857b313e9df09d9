// The editor's key map and text input, driven through the platform's key and input-method
// events on a shown window: which key runs which operation with which modifiers, text of
// other scripts from keys and input methods, and the undo of what the keys did.
#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

// The window outlives the editor on it.
struct TWindow {
  TForm form{nullptr};
};

struct TKeyboard : TWindow, TEditFixture {
  TKeyboard() {
    form.SetBounds(40, 40, 420, 240);
    edit.SetParent(&form);
    edit.SetBounds(10, 10, 380, 180);
    data.OnBeep = [this] { ++beeps; };
    style.DefUnicodeStyle = unicodeStyle;
  }
  void Show() {
    Format();
    form.Show();
    edit.SetFocus();
  }
  void Type(const std::string& text) {
    for (char c : text)
      SimulateKey(edit, TKeyCode(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
  }
  void Key(TKeyCode key, TShiftState shift = 0) {
    SimulateKey(edit, key, key == VK_RETURN ? "\r" : key == VK_BACK ? "\b" : "", shift);
  }
  int beeps = 0;
};

std::string Wide(const std::u16string& s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

}  // namespace

TEST(EditorKeyboard, TheKeysEditAndUndoTakesItAllBack) {
  TKeyboard f;
  f.AddPara({{"", 0}});
  f.Show();
  const std::string empty = DescribeDocument(f.data);
  f.Type("first line, ");
  f.Key(VK_BACK, ssCtrl);  // the comma and the space
  f.Key(VK_RETURN);
  f.Type("second");
  f.Key(VK_RETURN, ssShift);
  f.Type("thirdx");
  f.Key(VK_BACK);
  f.Key(VK_HOME);
  f.Key(VK_DELETE);
  EXPECT_EQ(Texts(f.data), "[first line] | [second] / [hird]");
  // Backspace at the start of the soft line joins it to the line above.
  f.Key(VK_BACK);
  EXPECT_EQ(Texts(f.data), "[first line] | [secondhird]");
  EXPECT_TRUE(f.edit.Modified);
  // Alt+Backspace undoes as Ctrl+Z does; with Shift they redo.
  f.Key(VK_BACK, ssAlt);
  EXPECT_EQ(Texts(f.data), "[first line] | [second] / [hird]");
  f.Key(VK_BACK, ssAlt | ssShift);
  EXPECT_EQ(Texts(f.data), "[first line] | [secondhird]");
  for (int guard = 0; f.data.UndoList->Count() > 0 && guard < 100; ++guard) f.Key('Z', ssCtrl);
  EXPECT_EQ(DescribeDocument(f.data), empty);
  for (int guard = 0; f.data.RedoList->Count() > 0 && guard < 100; ++guard)
    f.Key('Z', ssCtrl | ssShift);
  EXPECT_EQ(Texts(f.data), "[first line] | [secondhird]");
}

// What a user does in an editor window: types, styles a word, copies it (Ctrl+C) and
// pastes it (Ctrl+V, Shift+Insert), cuts a line (Ctrl+X) and pastes it back; undo takes
// every step back to the empty document and redo brings them all again.
TEST(EditorKeyboard, TypedStyledCopiedPastedAndUndoneAllTheWayBack) {
  TKeyboard f;
  const int bold = f.style.TextStyles().Count();
  f.style.TextStyles().Add().Style = fsBold;
  f.AddPara({{"", 0}});
  f.Show();
  const std::string empty = DescribeDocument(f.data);
  f.Type("hello world");
  f.Key(VK_LEFT, ssCtrl | ssShift);
  ASSERT_TRUE(f.edit.ApplyTextStyle(bold));
  f.Key('C', ssCtrl);
  f.Key(VK_END);
  f.Type(" ");
  f.Key('V', ssCtrl);
  f.Key(VK_RETURN);
  f.Key(VK_INSERT, ssShift);
  const std::string pasted = Texts(f.data);
  // The space typed after the bold word is bold too: it goes on in the caret's style.
  EXPECT_EQ(pasted, "[hello ] [world world] | [world]");
  EXPECT_EQ(f.data.GetItemStyle(f.data.GetItemCount() - 1), bold);
  f.Key(VK_HOME, ssShift);
  f.Key('X', ssCtrl);
  EXPECT_EQ(Texts(f.data), "[hello ] [world world] | []");
  f.Key('V', ssCtrl);
  EXPECT_EQ(Texts(f.data), pasted);
  const std::string done = DescribeDocument(f.data);
  for (int guard = 0; f.data.UndoList->Count() > 0 && guard < 100; ++guard) f.Key('Z', ssCtrl);
  EXPECT_EQ(DescribeDocument(f.data), empty);
  for (int guard = 0; f.data.RedoList->Count() > 0 && guard < 100; ++guard)
    f.Key('Z', ssCtrl | ssShift);
  EXPECT_EQ(DescribeDocument(f.data), done);
}

// Live spelling leaves the word being typed alone; it is checked once the caret leaves
// it, by a delimiter typed after it or by a move out of it.
TEST(EditorKeyboard, AWordBeingTypedIsCheckedOnceTheCaretLeavesIt) {
  TKeyboard f;
  f.AddPara({{"fine", 0}});
  f.AddPara({{"more", 0}});
  f.edit.OnSpellingCheck = [](const std::string& word, int) {
    return word == "helo" || word == "wrod";
  };
  f.Show();
  f.edit.StartLiveSpelling();
  CheckSpelling(f.edit);
  f.data.PlaceCaretAtItem(0, 5, false);
  // The space finishes "fine", which is checked at once.
  f.Type(" ");
  CheckSpelling(f.edit);
  f.Type("helo");
  CheckSpelling(f.edit);
  EXPECT_TRUE(MarkedWords(f.data).empty());
  f.Key(VK_LEFT);  // still inside the word
  CheckSpelling(f.edit);
  EXPECT_TRUE(MarkedWords(f.data).empty());
  f.Key(VK_HOME);  // out of it, in the same item
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(f.data), std::multiset<std::string>{"helo"});
  f.Key(VK_END);
  f.Type(" ");
  CheckSpelling(f.edit);
  f.Type("wrox");
  f.Key(VK_BACK);  // corrected inside the word
  f.Type("d");
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(f.data), std::multiset<std::string>{"helo"});
  f.Key(VK_DOWN);  // into the next paragraph
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(f.data), (std::multiset<std::string>{"helo", "wrod"}));
  f.edit.StopLiveSpelling();
}

TEST(EditorKeyboard, ReturnsThatAreNotWantedInsertNothing) {
  TKeyboard f;
  f.AddPara({{"text", 0}});
  f.edit.EditorOptions |= rdoDoNotWantReturns;
  f.Show();
  f.data.PlaceCaretAtItem(0, 3, false);
  f.Key(VK_RETURN);
  EXPECT_EQ(Texts(f.data), "[text]");
  EXPECT_EQ(f.beeps, 1);
  f.edit.EditorOptions = (f.edit.EditorOptions & ~rdoDoNotWantReturns) | rdoDoNotWantShiftReturns;
  f.Key(VK_RETURN, ssShift);
  EXPECT_EQ(Texts(f.data), "[text]");
  f.Key(VK_RETURN);
  EXPECT_EQ(Texts(f.data), "[te] | [xt]");
}

TEST(EditorKeyboard, TypingOverASelectionIsADeletionStepThenOneTypingStep) {
  TKeyboard f;
  f.AddPara({{"replace me", 0}});
  f.Show();
  Select(f, 0, 1, 0, 8);
  f.Type("see");
  EXPECT_EQ(Texts(f.data), "[see me]");
  ASSERT_EQ(f.data.UndoList->Count(), 2);
  f.Key('Z', ssCtrl);  // the typing goes back a character at a time
  f.Key('Z', ssCtrl);
  f.Key('Z', ssCtrl);
  EXPECT_EQ(Texts(f.data), "[ me]");
  f.Key('Z', ssCtrl);
  EXPECT_EQ(Texts(f.data), "[replace me]");
}

TEST(EditorKeyboard, KeysThatCannotMoveTheCaretLetItOut) {
  TKeyboard f;
  f.AddPara({{"only", 0}});
  f.Show();
  std::vector<TRDGetOutDirection> out;
  f.edit.OnCaretGetOut = [&](TCustomRichDocEdit*, TRDGetOutDirection d) { out.push_back(d); };
  f.data.PlaceCaretAtItem(0, 1, false);
  f.Key(VK_HOME);
  f.Key(VK_LEFT);
  f.Key(VK_UP);
  f.Key(VK_END);  // it moves: nobody is told
  f.Key(VK_END);
  f.Key(VK_RIGHT);
  f.Key(VK_DOWN);
  EXPECT_EQ(
      out, (std::vector<TRDGetOutDirection>{rddTop, rddLeft, rddUp, rddBottom, rddRight, rddDown}));
}

TEST(EditorKeyboard, CharactersBeyondTheCodePageGoInThroughTheUnicodeStyle) {
  TKeyboard f;
  f.AddPara({{"", 0}});
  f.Show();
  SimulateUnicodeKey(f.edit, 'F', u"\u0436");  // a Cyrillic letter from its keyboard layout
  SimulateUnicodeKey(f.edit, 'H', u"\u0438");
  EXPECT_EQ(f.edit.CurTextStyleNo(), f.unicodeStyle);
  EXPECT_EQ(f.data.GetItemTextRaw(0), Wide(u"\u0436\u0438"));
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, f.unicodeStyle);
}

TEST(EditorKeyboard, AnInputMethodsCommittedTextGoesInAndItsComposingShowsAtTheCaret) {
  TKeyboard f;
  f.AddPara({{"ab", 0}});
  f.Show();
  f.data.PlaceCaretAtItem(0, 2, false);
  TRect caret;
  ASSERT_TRUE(f.edit.InputMethodCaret(caret));
  const TRect area = f.edit.DocumentRect();
  const int x = caret.Left + 2, y = (caret.Top + caret.Bottom) / 2;
  const TColor plain = RenderedPixel(f.edit, x + 6, y);
  SimulateInputMethod(f.edit, u"", u"\u4f60\u597d");  // still composing
  EXPECT_EQ(Texts(f.data), "[ab]");
  bool drawn = false;
  for (int dx = 0; dx < 20 && !drawn; ++dx) drawn = RenderedPixel(f.edit, x + dx, y) != plain;
  EXPECT_TRUE(drawn);
  SimulateInputMethod(f.edit, u"\u4f60\u597d\u4e16\u754c");
  EXPECT_EQ(f.edit.CaretItemNo(), 1);
  EXPECT_EQ(f.data.GetItemTextRaw(1), Wide(u"\u4f60\u597d\u4e16\u754c"));
  EXPECT_EQ(f.data.GetItemTextRaw(2), "b");
  EXPECT_GE(caret.Left, area.Left);
  f.Key('Z', ssCtrl);
  EXPECT_EQ(Texts(f.data), "[ab]");
}

TEST(EditorKeyboard, TabTypesATabWhereTheEditorWantsTabs) {
  TKeyboard f;
  f.AddPara({{"ab", 0}});
  f.Show();
  f.data.PlaceCaretAtItem(0, 2, false);
  f.style.SpacesInTab = 2;
  SimulateKey(f.edit, VK_TAB, {}, ssCtrl);
  EXPECT_EQ(Texts(f.data), "[a  b]");
  f.style.SpacesInTab = 0;
  SimulateKey(f.edit, VK_TAB, "\t");
  EXPECT_EQ(Texts(f.data), "[a  ] <-12> [b]");
  EXPECT_EQ(f.data.GetItem(1)->GetAssociatedTextStyleNo(), 0);
}

TEST(EditorKeyboard, CtrlMakesTheLinksWorkWhileHeld) {
  TKeyboard f;
  f.AddPara({{"go", 4}});
  f.Show();
  f.Key(VK_CONTROL, ssCtrl);
  EXPECT_TRUE(f.data.GetFlags() & rdfCollectJumps);
  SimulateKeyUp(f.edit, VK_CONTROL);
  EXPECT_FALSE(f.data.GetFlags() & rdfCollectJumps);
}

TEST(EditorKeyboard, AReadOnlyEditorsKeysChangeNothing) {
  TKeyboard f;
  f.AddPara({{"fixed", 0}});
  f.Show();
  f.edit.SetReadOnly(true);
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  f.Key(VK_BACK);
  f.Key(VK_DELETE);
  f.Key(VK_RETURN);
  f.Type("x");
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_FALSE(f.edit.Modified);
}

// A new keyboard language: with rdoAutoSwitchLang the current style's twin in the new
// character set becomes current, made once and found again; a Unicode style stays.
TEST(EditorKeyboard, AutoSwitchLangTakesTheStyleTwinOfTheNewCharset) {
  TEditFixture f;
  f.AddPara({{"text", 0}});
  f.Format();
  const int styles = f.style.TextStyles().Count();
  f.edit.InputLanguageChanged(RUSSIAN_CHARSET);
  EXPECT_EQ(f.edit.CurTextStyleNo(), 0);  // the option is off
  f.edit.EditorOptions |= rdoAutoSwitchLang;
  f.edit.InputLanguageChanged(RUSSIAN_CHARSET);
  const int russian = f.edit.CurTextStyleNo();
  ASSERT_EQ(russian, styles);
  const TFontInfo& twin = f.style.TextStyles().Items(russian);
  EXPECT_EQ(twin.Charset, RUSSIAN_CHARSET);
  EXPECT_FALSE(twin.Standard());
  EXPECT_EQ(twin.FontName, f.style.TextStyles().Items(0).FontName);
  EXPECT_EQ(twin.Size, f.style.TextStyles().Items(0).Size);
  f.edit.InputLanguageChanged(f.style.TextStyles().Items(0).Charset);
  EXPECT_EQ(f.edit.CurTextStyleNo(), 0);
  f.edit.InputLanguageChanged(RUSSIAN_CHARSET);
  EXPECT_EQ(f.edit.CurTextStyleNo(), russian);
  EXPECT_EQ(f.style.TextStyles().Count(), styles + 1);
  f.edit.SetCurTextStyleNo(f.unicodeStyle);
  f.edit.InputLanguageChanged(GREEK_CHARSET);
  EXPECT_EQ(f.edit.CurTextStyleNo(), f.unicodeStyle);
}

// The plain standard controls the custom controls build on: label, panel, shape, image,
// image list, edit and combo box, and drawing a control onto a canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/gui/standard/combo_box.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/memo.h"
#include "platform/gui/standard/panel.h"
#include "platform/gui/standard/shape.h"
#include "platform/gui/standard/shell.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

std::unique_ptr<TBitmap> Shot(TControl& Control) {
  return Snapshot(Control, clWhite);
}

// Text put in as the user does: each character typed on its own key, or all pasted.
void Type(TWinControl& Control, std::u16string_view Text) {
  for (const char16_t c : Text) SimulateUnicodeKey(Control, 0, std::u16string(1, c));
}
void Paste(TWinControl& Control, const std::u16string& Text) {
  Clipboard().SetAsBytes(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(Text.data()),
                                                     Text.size() * sizeof(char16_t)));
  SimulateKey(Control, 'V', "", ssCtrl);
}

TEST(LabelTest, AutoSizeFollowsTheTextAndItsLines) {
  TLabel label(nullptr);
  label.SetCaption("W");
  const int one = label.Width();
  const int line = label.Height();
  label.SetCaption("WWWW");
  EXPECT_GT(label.Width(), 3 * one);
  label.SetCaption("WW\r\nWW");
  EXPECT_EQ(label.Height(), 2 * line);
  label.SetAutoSize(false);
  label.SetCaption("WWWWWWWWWWWWWWWWWWWW");
  EXPECT_EQ(label.Height(), 2 * line);
}

TEST(LabelTest, RightAlignedTextEndsAtTheRightEdge) {
  TLabel label(nullptr);
  label.SetAutoSize(false);
  label.SetBounds(0, 0, 100, 20);
  label.SetColor(clWhite);
  label.Font().SetColor(clBlack);
  label.SetCaption("II");
  label.SetAlignment(taRightJustify);
  auto shot = Shot(label);
  int leftmost = 100;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x)
      if (shot->Canvas().Pixels(x, y) == clBlack) leftmost = std::min(leftmost, x);
  EXPECT_GT(leftmost, 80);
}

TEST(PanelTest, RaisedBevelAroundTheFace) {
  TPanel panel(nullptr);
  panel.SetBounds(0, 0, 40, 20);
  panel.SetColor(clSilver);
  auto shot = Shot(panel);
  EXPECT_EQ(shot->Canvas().Pixels(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(shot->Canvas().Pixels(39, 19), ColorToRGB(clBtnShadow));
  EXPECT_EQ(shot->Canvas().Pixels(20, 10), clSilver);
}

TEST(ShapeTest, CircleIsFilledWithTheBrushInsideThePen) {
  TShape shape(nullptr);
  shape.SetBounds(0, 0, 21, 21);
  shape.SetShape(stCircle);
  shape.Brush().SetColor(clRed);
  shape.Pen().SetColor(clBlue);
  auto shot = Shot(shape);
  EXPECT_EQ(shot->Canvas().Pixels(10, 10), clRed);
  EXPECT_EQ(shot->Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(shot->Canvas().Pixels(10, 0), clBlue);
}

TEST(ImageTest, PictureDrawnAtTheCornerCentredOrStretched) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 20, 20);
  TBitmap& picture = image.Picture().Bitmap();
  picture.SetSize(4, 4);
  picture.Canvas().Brush().SetColor(clGreen);
  picture.Canvas().FillRect(Rect(0, 0, 4, 4));
  image.Invalidate();
  auto shot = Shot(image);
  EXPECT_EQ(shot->Canvas().Pixels(1, 1), clGreen);
  EXPECT_EQ(shot->Canvas().Pixels(10, 10), clWhite);
  image.SetCenter(true);
  shot = Shot(image);
  EXPECT_EQ(shot->Canvas().Pixels(1, 1), clWhite);
  EXPECT_EQ(shot->Canvas().Pixels(10, 10), clGreen);
  image.SetStretch(true);
  EXPECT_EQ(Shot(image)->Canvas().Pixels(19, 19), clGreen);
}

TEST(ImageListTest, PicturesByIndexAtTheListsSize) {
  TImageList list(nullptr, 8, 8);
  TBitmap red;
  red.SetSize(20, 20);
  red.Canvas().Brush().SetColor(clRed);
  red.Canvas().FillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(list.Add(red), 0);
  TBitmap copy;
  list.GetBitmap(0, copy);
  EXPECT_EQ(copy.Width(), 8);
  EXPECT_EQ(copy.Canvas().Pixels(7, 7), clRed);
  list.GetBitmap(3, copy);
  EXPECT_TRUE(copy.Empty());
  TBitmap target;
  target.SetSize(10, 10);
  list.Draw(target.Canvas(), 2, 2, 5);  // out of range: nothing
  list.Draw(target.Canvas(), 2, 2, 0);
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clRed);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clBlack);
}

// A see-through picture stays see-through in the list, and so does the padding of a
// smaller picture: list rows show their own background around a symbol.
TEST(ImageListTest, ASeeThroughPictureKeepsItsBackgroundClear) {
  TImageList list(nullptr, 10, 10);
  TBitmap picture;
  picture.SetSize(6, 6);
  picture.Canvas().Brush().SetColor(clFuchsia);
  picture.Canvas().FillRect(Rect(0, 0, 6, 6));
  picture.Canvas().Brush().SetColor(clRed);
  picture.Canvas().FillRect(Rect(2, 2, 4, 4));
  picture.SetTransparentColor(clFuchsia);
  picture.SetTransparent(true);
  list.Add(picture);
  TBitmap target;
  target.SetSize(12, 12);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect(Rect(0, 0, 12, 12));
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.Canvas().Pixels(3, 3), clRed);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clWhite);  // the picture's clear corner
  EXPECT_EQ(target.Canvas().Pixels(8, 8), clWhite);  // the padding
}

// Disabled, a picture shows its shape engraved: its ink in the shadow colour over a copy
// in the highlight colour one pixel down and right; its white stays see-through.
TEST(ImageListTest, ADisabledPictureShowsItsShapeEngraved) {
  TImageList list(nullptr, 8, 8);
  TBitmap picture;
  picture.SetSize(8, 8);
  picture.Canvas().Brush().SetColor(clWhite);
  picture.Canvas().FillRect(Rect(0, 0, 8, 8));
  picture.Canvas().Brush().SetColor(clRed);
  picture.Canvas().FillRect(Rect(2, 2, 5, 5));
  list.Add(picture);
  TBitmap target;
  target.SetSize(12, 12);
  target.Canvas().Brush().SetColor(clNavy);
  target.Canvas().FillRect(Rect(0, 0, 12, 12));
  list.Draw(target.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(target.Canvas().Pixels(3, 3), ColorToRGB(clBtnShadow));
  EXPECT_EQ(target.Canvas().Pixels(5, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clNavy);
  EXPECT_EQ(target.Canvas().Pixels(7, 7), clNavy);
}

TEST(EditTest, TypingStopsAtMaxLengthButCodeMaySetLongerText) {
  TEdit edit(nullptr);
  int changes = 0;
  edit.OnChange = [&](TComponent*) { ++changes; };
  edit.SetMaxLength(3);
  for (char c : std::string("ABCDE")) SimulateKey(edit, TKeyCode(c), std::string(1, c));
  EXPECT_EQ(edit.Text(), "ABC");
  EXPECT_EQ(changes, 3);
  edit.SetText("longer text");
  EXPECT_EQ(edit.Text(), "longer text");
}

// A folder's name as the file system gives it (UTF-8) stays that name, also after typing;
// the code page's own text stays the code page's.
TEST(EditTest, TextFromCodeKeepsItsEncodingThroughTyping) {
  TEdit edit(nullptr);
  for (const std::string text : {"/tmp/\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA karten/",
                                 "M\xFCller \x80"}) {
    edit.SetText(text);
    EXPECT_EQ(edit.Text(), text);
    SimulateKey(edit, TKeyCode('X'), "x");
    EXPECT_EQ(edit.Text(), "x" + text);
  }
}

// A folder's name typed in any script is the folder of that name: the file system's
// bytes, as the folder dialog gives them, not the code page's '?'.
TEST(EditTest, AFileNameEditTakesWhatIsTypedAsTheFileSystemsBytes) {
  TEdit edit(nullptr);
  edit.SetTextBytes(TTextBytes::FileName);
  const std::string polish =
      "/tmp/\xC5\x81\xC3\xB3"
      "d\xC5\xBA/";
  edit.SetText(polish);
  EXPECT_EQ(edit.Text(), polish);
  SimulateKey(edit, VK_END);
  Type(edit, u"\u03C7\u03AC\u03C1\u03C4\u03B5\u03C2/");
  EXPECT_EQ(edit.Text(), polish + "\xCF\x87\xCE\xAC\xCF\x81\xCF\x84\xCE\xB5\xCF\x82/");
}

// An edit for a callsign takes only the characters it allows, in its case, whether typed
// in any layout or pasted; what was set from code stays as it was.
TEST(EditTest, AllowedCharactersInTheirCaseAreAllThatIsTypedOrPasted) {
  TEdit edit(nullptr);
  edit.SetCharCase(ecUpperCase);
  edit.SetAllowedChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-");
  Type(edit, u"\u0414\u041B1\u0410\u0411\u0426");  // Cyrillic "DL1ABC"
  EXPECT_EQ(edit.Text(), "1");
  SimulateKey(edit, 'D', "d");
  SimulateKey(edit, VK_SPACE, " ");
  Paste(edit, u"l\u00E9 ab-7?");
  EXPECT_EQ(edit.Text(), "1DLAB-7");
  edit.SetText("x y");
  SimulateKey(edit, VK_HOME);
  Type(edit, u"a\u03B1");
  EXPECT_EQ(edit.Text(), "Ax y");
  EXPECT_EQ(edit.CharCase(), ecUpperCase);
}

// A callsign pasted with a blank before it is the whole callsign: the refused blank goes
// before the paste is held to the length.
TEST(EditTest, RefusedCharactersGoBeforeTheLengthIsCounted) {
  TEdit edit(nullptr);
  edit.SetCharCase(ecUpperCase);
  edit.SetAllowedChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-");
  edit.SetMaxLength(9);
  Paste(edit, u" db0abc-10");
  EXPECT_EQ(edit.Text(), "DB0ABC-10");
  Paste(edit, u"X");
  EXPECT_EQ(edit.Text(), "DB0ABC-10");
  SimulateKey(edit, VK_HOME);
  SimulateKey(edit, VK_DELETE);
  Paste(edit, u"\u00E9 ?ZY");
  EXPECT_EQ(edit.Text(), "ZB0ABC-10");
}

// A paste beyond the bytes a text may take on the air keeps what fits, between whole
// characters as the user sees them: never a letter without the mark typed on it.
TEST(EditTest, PastedTextIsCutToTheSentBytesBetweenWholeCharacters) {
  TEdit edit(nullptr);
  edit.SetMaxSentBytes(10);
  struct TCase {
    std::u16string before;  // set from code, the caret at its end
    std::u16string pasted;
    std::u16string kept;
  };
  const TCase cases[] = {
      {u"", u"\u0416\u0416\u0416\u0416\u0416\u0416", u"\u0416\u0416\u0416\u0416\u0416"},
      {u"", u"aaaaaaaae\u0301Z", u"aaaaaaaa"},
      // The code page's letters take a byte each until one beyond it turns all to UTF-8.
      {u"\u00FC\u00FC\u00FC\u00FC\u00FC\u00FC\u00FC\u00FC", u"\u0416",
       u"\u00FC\u00FC\u00FC\u00FC\u00FC\u00FC\u00FC\u00FC"},
      {u"ab", u"\U0001F600\U0001F600\U0001F600", u"ab\U0001F600\U0001F600"},
  };
  for (const TCase& c : cases) {
    edit.SetText(TextToSend(c.before));
    SimulateKey(edit, VK_END);
    Paste(edit, c.pasted);
    EXPECT_EQ(edit.TextW(), c.kept) << TextToSend(c.pasted);
  }
}

// A text too long for its edit shows its start: the left part of the edit looks as with
// only the text's first word in it.
// A memo for a list of calls refuses as the callsign edits do, typed in any layout or
// pasted; a pasted line break stays a line of the memo, and text from code is not cut.
TEST(MemoTest, AllowedCharactersInTheirCaseAreAllThatIsTypedOrPasted) {
  TMemo memo(nullptr);
  memo.SetCharCase(ecUpperCase);
  memo.SetAllowedChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-,");
  Type(memo, u"\u0414\u041B1\u0410\u0411\u0426,dl");  // Cyrillic "DL1ABC"
  EXPECT_EQ(memo.Text(), "1,DL");
  Paste(memo, u"2a\u00E9 b?\n\u03B1n0call");
  EXPECT_EQ(memo.Text(), "1,DL2AB\r\nN0CALL");
  memo.SetText("x y\r\n\xE9");
  EXPECT_EQ(memo.Text(), "x y\r\n\xE9");
}

// However the text comes in, into the empty memo or over all of it, pasted or composed
// by an input method, it is taken as typed.
TEST(MemoTest, WhatFillsTheWholeMemoIsTakenAsTyped) {
  TMemo memo(nullptr);
  memo.SetCharCase(ecUpperCase);
  memo.SetAllowedChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-,");
  Paste(memo, u"dl1abc, db0xyz;");
  EXPECT_EQ(memo.Text(), "DL1ABC,DB0XYZ");
  SimulateKey(memo, TKeyCode('A'), "\x01", ssCtrl);
  Paste(memo, u"n0call ;");
  EXPECT_EQ(memo.Text(), "N0CALL");
  SimulateKey(memo, TKeyCode('A'), "\x01", ssCtrl);
  SimulateInputMethod(memo, u"db0abc ");
  EXPECT_EQ(memo.Text(), "DB0ABC");
}

// A memo whose lines are stored and sent holds them as they go out: in the code page
// while that holds every character, else all in UTF-8, so that its file reads back as
// typed. No character typed or pasted adds a line beyond those the memo shows.
TEST(MemoTest, SentLinesKeepWhatIsTypedInAnyScriptAndReadBackAsTyped) {
  TMemo memo(nullptr);
  memo.SetTextBytes(TTextBytes::Sent);
  Type(memo, u"\u00FC ");
  EXPECT_EQ(memo.Text(), "\xFC ");
  Paste(memo, u"\u03B1\r\n\u0416\u2028x\ry\u000Bz");
  const std::u16string shown = memo.TextW();
  const std::string sent = memo.Text();
  EXPECT_EQ(sent, "\xC3\xBC \xCE\xB1\r\n\xD0\x96\r\nx\r\ny\x0Bz");
  EXPECT_EQ(memo.Lines().Count(), 1 + int(std::count(shown.begin(), shown.end(), u'\n')));
  TMemo reread(nullptr);
  reread.SetTextBytes(TTextBytes::Sent);
  reread.SetText(sent);
  EXPECT_EQ(reread.TextW(), shown);
  EXPECT_EQ(reread.Text(), sent);
}

// A key or a paste the rules changed is one step to undo, as any other: Ctrl+Z gives back
// the text before it, in the edit and in the memo.
TEST(EditTest, AKeyOrPasteTheRulesChangedIsUndoneInOneStep) {
  const auto undo = [](TWinControl& Control) { SimulateKey(Control, 'Z', "\x1A", ssCtrl); };
  TEdit edit(nullptr);
  TMemo memo(nullptr);
  edit.SetCharCase(ecUpperCase);
  edit.SetAllowedChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-,");
  memo.SetCharCase(ecUpperCase);
  memo.SetAllowedChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-,");
  edit.SetText("DL1");
  SimulateKey(edit, VK_END);
  Type(edit, u"A");
  Paste(edit, u"bc ,n0call");
  EXPECT_EQ(edit.Text(), "DL1ABC,N0CALL");
  undo(edit);
  EXPECT_EQ(edit.Text(), "DL1A");
  Type(edit, u"x");
  EXPECT_EQ(edit.Text(), "DL1AX");
  undo(edit);
  EXPECT_EQ(edit.Text(), "DL1A");
  Type(memo, u"D");
  Paste(memo, u"l1abc ,n0call");
  EXPECT_EQ(memo.Text(), "DL1ABC,N0CALL");
  undo(memo);
  EXPECT_EQ(memo.Text(), "D");
  Type(memo, u"x");
  EXPECT_EQ(memo.Text(), "DX");
  undo(memo);
  EXPECT_EQ(memo.Text(), "D");
}

TEST(EditTest, TextFromCodeShowsItsStart) {
  TEdit edit(nullptr);
  edit.SetBounds(0, 0, 60, 21);
  edit.SetText("Start");
  const auto start = Shot(edit);
  edit.SetText("Start of a comment far too long for this narrow edit");
  const auto whole = Shot(edit);
  for (int y = 4; y < 17; ++y)
    for (int x = 4; x < 30; ++x)
      ASSERT_EQ(whole->Canvas().Pixels(x, y), start->Canvas().Pixels(x, y)) << x << "," << y;
}

TEST(ComboBoxTest, RefillingItemsKeepsTheChosenIndexWhileItExists) {
  TComboBox combo(nullptr);
  combo.SetStyle(csDropDownList);
  combo.Items().Add("a");
  combo.Items().Add("b");
  combo.SetItemIndex(1);
  combo.Items().Add("c");
  EXPECT_EQ(combo.ItemIndex(), 1);
  combo.Items().Delete(2);
  combo.Items().Delete(1);
  EXPECT_EQ(combo.ItemIndex(), -1);
}

// OnSelect means the user chose from the list. Qt's editable combo "chooses" the item
// matching the typed text whenever its edit loses the focus, also when the list opens;
// a handler that pumps messages then let the click's release close the list at once.
TEST(ComboBoxTest, FocusLeavingOrTheListOpeningChoosesNothing) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 100);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetBounds(0, 40, 100, 21);
  edit->SetParent(&form);
  combo->Items().Add("deutsch.spk");
  combo->Items().Add("english.spk");
  combo->SetText("english.spk");
  ASSERT_EQ(combo->ItemIndex(), -1);
  int selects = 0;
  combo->OnSelect = [&](TComponent*) { ++selects; };
  form.Show();
  Application->ProcessMessages();  // let the window become active
  combo->SetFocus();
  edit->SetFocus();
  EXPECT_EQ(selects, 0);
  SimulateMouseDown(*combo, mbLeft, combo->Width() - 6, 10);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(selects, 0);
  SimulateMouseUp(*combo, mbLeft, combo->Width() - 6, 10);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "english.spk");
  form.Hide();
}

TEST(ShellTest, LinksGoToTheInstalledHandler) {
  std::string seen;
  SetShellOpenHandler([&](const std::string& url) {
    seen = url;
    return true;
  });
  EXPECT_TRUE(ShellOpen("mailto:a@b.c"));
  EXPECT_EQ(seen, "mailto:a@b.c");
  SetShellOpenHandler(nullptr);
}

TEST(PngFileTest, WritesAPictureAndRefusesAnImpossiblePath) {
  TBitmap picture;
  picture.SetSize(3, 3);
  const auto file = std::filesystem::temp_directory_path() / "velmora_png_test.png";
  SaveBitmapToPng(picture, file.string());
  EXPECT_GT(std::filesystem::file_size(file), 0u);
  std::filesystem::remove(file);
  EXPECT_THROW(SaveBitmapToPng(picture, "/nonexistent-folder/x.png"), EInvalidGraphic);
}

}  // namespace

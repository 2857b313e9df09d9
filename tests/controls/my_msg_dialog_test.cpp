#include "controls/my_msg_dialog.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/test_support/gui_test_support.h"
#include "platform/text/format.h"
#include "platform/text/shown_text.h"

namespace {

// The open message box other than Except, if any.
TfrmMyMsgDialog* OpenBoxOtherThan(const TfrmMyMsgDialog* except) {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    auto* box = dynamic_cast<TfrmMyMsgDialog*>(Screen->Forms(i));
    if (box && box != except && box->Visible()) return box;
  }
  return nullptr;
}

class MyMsgDialogTest : public ::testing::Test {
 protected:
  MyMsgDialogTest() : box(nullptr) { frmMyMsgDialog = &box; }
  ~MyMsgDialogTest() override { frmMyMsgDialog = nullptr; }

  void Prepare(TMyMsgKind kind, const std::string& text) {
    box.SetKind(kind);
    box.SetButtons(kind);
    box.SetText(text);
    box.LayOut();
  }

  TfrmMyMsgDialog box;
};

TEST_F(MyMsgDialogTest, ShortMessageGetsTheWidthOfTheTwoButtonsAndGap) {
  Prepare(mkConfirmation, "Ja?");
  // 2 x 10 + 75 + 75 + 10
  EXPECT_EQ(box.Width(), 180);
  const int content = std::max(32, box.lblInfo->Height());
  EXPECT_EQ(box.Height(), 25 + 3 * 10 + content + 25);
  EXPECT_EQ(box.mbtnYes->Top(), 20 + content);
  EXPECT_EQ(box.mbtnYes->Left(), 90 - 5 - 75);
  EXPECT_EQ(box.mbtnNo->Left(), 90 + 5);
  EXPECT_TRUE(box.mbtnYes->Visible());
  EXPECT_FALSE(box.mbtnOk->Visible());
  EXPECT_EQ(box.DefaultButton(), box.mbtnYes);
  EXPECT_EQ(box.Left(), Screen->Width() / 2 - 90);
  EXPECT_EQ(box.Top(), Screen->Height() / 2 - box.Height() / 2);
}

TEST_F(MyMsgDialogTest, LongLineWidensAndLineBreaksHeightenTheBox) {
  Prepare(mkError, std::string(120, 'W'));
  EXPECT_EQ(box.Width(), 50 + 10 + box.lblInfo->Width());
  EXPECT_GT(box.Width(), 400);
  EXPECT_EQ(box.mbtnOk->Left(), box.Width() / 2 - 75 / 2);
  EXPECT_FALSE(box.mbtnYes->Visible());

  Prepare(mkError, "eins");
  const int one_line = box.Height();
  Prepare(mkError, "eins\r\nzwei\r\ndrei\r\nvier");
  EXPECT_GT(box.lblInfo->Height(), 32);
  EXPECT_EQ(box.Height(), one_line - 32 + box.lblInfo->Height());
}

// A long file name (the settings file's, in its damage message, in Greek) or a long text
// without blanks: the box stays within the screen's work area, the text wrapped to fit
// it, and nothing of the text is lost; the name shows as the file system names it.
TEST_F(MyMsgDialogTest, TextsWiderThanTheScreenAreBrokenToFitIt) {
  std::string folder;
  for (int n = 0; n < 400; ++n) folder += "\xCE\xB1";  // alpha in UTF-8
  const std::string path = "/home/" + folder + "/.config/Velmora/registry";
  const std::string text = Format(ShownText("Die Datei \"%s\" war besch\xE4"
                                            "digt. "),
                                  ShownFileName(path)) +
                           std::string(300, 'W');
  Prepare(mkError, text);
  ASSERT_GT(Screen->WorkAreaWidth(), 0);
  EXPECT_LE(box.Width(), Screen->WorkAreaWidth());
  EXPECT_LE(box.lblInfo->Left() + box.lblInfo->Width(), box.Width());
  EXPECT_GE(box.Left(), 0);
  const int wrapped_height = box.lblInfo->Height();
  // Only the words wider than the screen got line breaks; the rest the label wraps.
  std::u16string joined = box.lblInfo->CaptionW();
  for (size_t at = joined.find(u"\r\n"); at != std::u16string::npos; at = joined.find(u"\r\n"))
    joined.erase(at, 2);
  EXPECT_EQ(joined, u"Die Datei \"/home/" + std::u16string(400, u'\u03B1') +
                        u"/.config/Velmora/registry\" war besch\u00E4digt. " +
                        std::u16string(300, u'W'));
  // Short texts are left as they are, on one line.
  Prepare(mkError, "eins zwei");
  EXPECT_EQ(box.lblInfo->Caption(), "eins zwei");
  EXPECT_GT(wrapped_height, 3 * box.lblInfo->Height());
}

TEST_F(MyMsgDialogTest, VisibleExtraTextAreaWidensAndHeightensTheBox) {
  box.SetKind(mkInformation);
  box.SetButtons(mkInformation);
  box.SetText("Log");
  box.mpnlAdvance->SetVisible(true);
  box.mpnlAdvance->SetBounds(0, 0, 400, 100);
  box.memAdv->SetText("zeile 1\r\nzeile 2");
  box.LayOut();
  const int content = std::max(32, box.lblInfo->Height());
  EXPECT_EQ(box.Width(), 400 + 2 * 10);
  EXPECT_EQ(box.Height(), 25 + 3 * 10 + content + 100 + 10 + 25);
  EXPECT_EQ(box.mpnlAdvance->Left(), 10);
  EXPECT_EQ(box.mpnlAdvance->Top(), 20 + content);
  EXPECT_EQ(box.mbtnOk->Top(), 20 + content + 110);
}

TEST_F(MyMsgDialogTest, HeaderWordComesFromTheHiddenLabels) {
  box.lblHeadWarning->SetCaption("Warning");
  Prepare(mkWarning, "x");
  EXPECT_EQ(box.mlblHead->Caption(), "Warning");
  Prepare(mkConfirmation, "x");
  EXPECT_EQ(box.mlblHead->Caption(), "Best\xE4tigung");
  Prepare(mkError, "x");
  EXPECT_EQ(box.mlblHead->Caption(), "Fehler");
}

TEST_F(MyMsgDialogTest, ConfirmAnswersSixSevenOrThreeForEsc) {
  QueueCall([this] { box.mbtnYes->Click(); });
  EXPECT_EQ(MyConfirm("Alle Stationen l\xF6schen?"), mrYes);
  EXPECT_EQ(box.lblInfo->Caption(), "Alle Stationen l\xF6schen?");
  QueueCall([this] { SimulateClick(*box.mbtnNo, 5, 5); });
  EXPECT_EQ(MyConfirm("Sicher?"), mrNo);
  QueueCall([this] { SimulateKey(*box.mbtnYes, VK_ESCAPE); });
  EXPECT_EQ(MyConfirm("Sicher?"), 3);
  EXPECT_FALSE(box.Visible());
  // Unanswered in a test run, it fails the test at once and answers as Esc does.
  EXPECT_NONFATAL_FAILURE(EXPECT_EQ(MyConfirm("Niemand da?"), 3), "does not answer: Niemand da?");
  EXPECT_FALSE(box.Visible());
}

TEST_F(MyMsgDialogTest, EscClosesErrorAndInformationBoxesToo) {
  QueueCall([this] { SimulateKey(*box.mbtnOk, VK_ESCAPE); });
  MyShowError(
      "Fehler beim \xD6"
      "ffnen");
  EXPECT_EQ(box.ModalResult(), 3);
  QueueCall([this] { SimulateKey(*box.mbtnOk, VK_RETURN); });
  MyShowInfo("Fertig");
  EXPECT_EQ(box.ModalResult(), mrOk);
  EXPECT_FALSE(box.mpnlAdvance->Visible());
}

TEST_F(MyMsgDialogTest, CallWhileABoxIsOpenGetsABoxAndAnAnswerOfItsOwn) {
  box.mbtnOk->SetCaption("OK");  // as a language file would
  std::string second_text;
  std::string second_ok;
  int second_result = -1;
  QueueCall([&] {
    // The first box is open; a timer shows another message.
    QueueCall([&] {
      EXPECT_EQ(box.lblInfo->Caption(), "erste");
      box.mbtnNo->Click();  // the user answers the first box
      QueueCall([&] {
        TfrmMyMsgDialog* second = OpenBoxOtherThan(&box);
        ASSERT_NE(second, nullptr);
        second_text = second->lblInfo->Caption();
        second_ok = second->mbtnOk->Caption();
        second->mbtnOk->Click();
      });
    });
    MyShowInfo("zweite");
    second_result = 1;
  });
  EXPECT_EQ(MyConfirm("erste"), mrNo);
  EXPECT_EQ(second_result, 1);
  EXPECT_EQ(second_text, "zweite");
  EXPECT_EQ(second_ok, "OK");
  EXPECT_EQ(box.lblInfo->Caption(), "erste") << "the first box was not rewritten";
}

TEST(MyMsgDialogWithoutFormTest, CallsWorkBeforeTheBoxIsCreated) {
  ASSERT_EQ(frmMyMsgDialog, nullptr);
  QueueCall([] {
    TfrmMyMsgDialog* box = OpenBoxOtherThan(nullptr);
    ASSERT_NE(box, nullptr);
    box->mbtnYes->Click();
  });
  EXPECT_EQ(MyConfirm("?"), mrYes);
}

}  // namespace

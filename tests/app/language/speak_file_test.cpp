#include "app/language/speak_file.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/app_test_support.h"
#include "app/language/frm_speak.h"
#include "controls/my_button.h"
#include "controls/my_flat_combobox.h"
#include "controls/number_edit.h"
#include "html/html_list_box.h"
#include "lists/ex_page_control.h"
#include "lists/ex_popup_menu.h"
#include "lists/ex_section_list.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/memo.h"
#include "platform/sys/application.h"

namespace {

TEST(SpeakText, LineBreakPlaceholders) {
  EXPECT_EQ(SpeakCrToLineBreak("Zeile 1%cr%Zeile 2%cr%"), "Zeile 1\r\nZeile 2\r\n");
  EXPECT_EQ(SpeakCrToLineBreak("%CR%"), "%CR%");
  EXPECT_EQ(LineBreakToSpeakCr("a\r\nb"), "a%cr%b");
  // The character after a CR goes with it, whatever it is.
  EXPECT_EQ(LineBreakToSpeakCr("a\rxb\r"), "a%cr%b%cr%");
}

TEST(SpeakText, ComparedVersionPart) {
  EXPECT_EQ(SpeakVersionPart("1.2"), "1.2");
  EXPECT_EQ(SpeakVersionPart("1.25"), "1.2");
  EXPECT_EQ(SpeakVersionPart("1.3"), "1.3");
  EXPECT_EQ(SpeakVersionPart("12"), "1");
  EXPECT_EQ(SpeakVersionPart("1."), "1.");
  EXPECT_EQ(SpeakVersionPart(""), "");
}

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {
    Name = "frmTest";
    SetCaption("Test");
    lblInfo = Make<TLabel>("lblInfo");
    lblInfo->SetCaption("Hallo");
    cbxUnit = Make<TMyFlatCombobox>("cbxUnit");
    cbxUnit->Items().SetText("km/h\r\nmph\r\nkts");
    cbxUnit->SetItemIndex(2);
    edtCall = Make<TEdit>("edtCall");
    edtCall->SetText("N0CALL");
    nedtTime = Make<TNumberEdit>("nedtTime");
    nedtTime->SetIntMax(120);
    nedtTime->SetIntDef(15);
    mbtnOk = Make<TMyButton>("mbtnOk");
    mbtnOk->SetCaption("Übernehmen");
    memText = Make<TMemo>("memText");
  }
  template <class T>
  T* Make(const char* Name) {
    auto* control = new T(this);
    control->Name = Name;
    control->SetParent(this);
    return control;
  }
  TLabel* lblInfo;
  TMyFlatCombobox* cbxUnit;
  TEdit* edtCall;
  TNumberEdit* nedtTime;
  TMyButton* mbtnOk;
  TMemo* memText;
};

class SpeakFileTest : public AppFolderTest {
 protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    speak_ = std::make_unique<TfrmSpeak>(nullptr);
    form_ = std::make_unique<TTestForm>(nullptr);
    Application->HelpFile.clear();
  }
  void TearDown() override {
    form_.reset();
    speak_.reset();
    AppFolderTest::TearDown();
  }
  std::unique_ptr<TfrmSpeak> speak_;
  std::unique_ptr<TTestForm> form_;
};

TEST_F(SpeakFileTest, MissingFileIsUnusableButSetsTheHelpFile) {
  EXPECT_EQ(LoadSpeakFile("english.spk", false), kSpeakUnusable);
  EXPECT_EQ(Application->HelpFile, PrgDir() + "Velmora.chm");
}

TEST_F(SpeakFileTest, OtherExtensionIsUnusableAtOnce) {
  WriteSpeakFile("english.txt", "1.2", {});
  EXPECT_EQ(LoadSpeakFile("english.txt", false), kSpeakUnusable);
  EXPECT_EQ(Application->HelpFile, "");
}

// A file that is there but holds no language is said to be destroyed, once, rather than
// passed over for the next language without a word.
TEST_F(SpeakFileTest, ForeignOrDamagedFilesAreUnusableAndReported) {
  auto expect_reported = [&](const std::string& name, bool check_only) {
    std::string text;
    AnswerNextMyMsgBox(&text);
    EXPECT_EQ(LoadSpeakFile(name, check_only), kSpeakUnusable) << name;
    EXPECT_EQ(text, "The SPEAK file \"" + name +
                        "\" is destroyed!\n\r"
                        "Please delete this file from \"" +
                        SpkDir + "\" !")
        << name;
  };
  WriteFile(SpkDir + "plain.spk",
            std::string(64, '-') + "\"###VIRDO-SPK-HEADER###\";\"\";\"\";\"\";\"1.2\";\"1\"\r\n");
  expect_reported("plain.spk", false);
  WriteFile(SpkDir + "empty.spk", "");
  expect_reported("empty.spk", false);
  std::string binary;
  for (int n = 0; n < 5000; ++n) binary += static_cast<char>(n * 7919 % 251);
  WriteFile(SpkDir + "binary.spk", binary);
  expect_reported("binary.spk", false);
  // Checked only (for the list of languages), it is passed over without a word.
  EXPECT_EQ(LoadSpeakFile("binary.spk", true), kSpeakUnusable);
}

// A language file is some tens of kilobytes: one larger than a language can be is neither
// read nor offered, and when chosen it is said why.
TEST_F(SpeakFileTest, AFileTooLargeForALanguageIsNeitherReadNorOffered) {
  WriteSpeakFile("huge.spk", "1.2", {std::string(2 * 1024 * 1024, 'x')});
  EXPECT_EQ(LoadSpeakFile("huge.spk", true), kSpeakUnusable);
  std::string text;
  AnswerNextMyMsgBox(&text);
  EXPECT_EQ(LoadSpeakFile("huge.spk", false), kSpeakUnusable);
  EXPECT_EQ(text, "The SPEAK file \"huge.spk\" was not read: it is larger than 2048 KiB.");
  // Within the bound, a header is judged from the file's head alone.
  WriteSpeakFile("long.spk", "1.2", {std::string(64 * 1024, 'x')});
  EXPECT_EQ(LoadSpeakFile("long.spk", true), kSpeakLoaded);
  WriteFile(SpkDir + "noheader.spk", std::string(8192, 'x'));
  EXPECT_EQ(LoadSpeakFile("noheader.spk", true), kSpeakUnusable);
}

TEST_F(SpeakFileTest, VersionRules) {
  WriteSpeakFile("v125.spk", "1.25", {});
  EXPECT_EQ(LoadSpeakFile("v125.spk", true), kSpeakLoaded);
  for (const char* version : {"1.3", "2.0", "1"}) {
    WriteSpeakFile("other.spk", version, {});
    std::string text;
    AnswerNextMyMsgBox(&text);
    EXPECT_EQ(LoadSpeakFile("other.spk", true), kSpeakWrongVersion) << version;
    EXPECT_EQ(text,
              "This SPEAK file \"other.spk\" is not for Velmora Version 1.2 !\n\r"
              "Please delete this file from \"" +
                  SpkDir + "\" !");
  }
}

TEST_F(SpeakFileTest, CheckOnlyAppliesNothing) {
  WriteSpeakFile("english.spk", "1.2", {R"("frmTest";"lblInfo";"TLabel";"Hello";"")"});
  EXPECT_EQ(LoadSpeakFile("english.spk", true), kSpeakLoaded);
  EXPECT_EQ(form_->lblInfo->Caption(), "Hallo");
  EXPECT_EQ(speak_->SpeakLines->Count(), 0);
  EXPECT_EQ(Application->HelpFile, "");
}

TEST_F(SpeakFileTest, AppliesCaptionsAndHintsByClass) {
  WriteSpeakFile("english.spk", "1.2",
                 {R"("frmTest";"frmTest";"TForm";"Test window";"")",
                  R"("frmTest";"lblInfo";"TLabel";"Hello%cr%World";"A label")",
                  R"("frmTest";"cbxUnit";"TMyFlatCombobox";"km/h%cr%mph%cr%knots";"")",
                  R"("frmTest";"edtCall";"TEdit";"ignored";"Your callsign")",
                  R"("frmTest";"nedtTime";"TNumberEdit";"";"Minutes";"%d to %d, default %d")",
                  R"("frmTest";"mbtnOk";"TMyButton";"";"Apply")",
                  R"("frmTest";"memText";"TMemo";"one%cr%two";"")",
                  R"("frmNone";"lblInfo";"TLabel";"nobody";"")"});
  EXPECT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  EXPECT_EQ(form_->Caption(), "Test window");
  EXPECT_EQ(form_->lblInfo->Caption(), "Hello\r\nWorld");
  EXPECT_EQ(form_->lblInfo->Hint(), "A label");
  EXPECT_TRUE(form_->lblInfo->ShowHint());
  // The combo box takes the new items and keeps the loaded choice.
  EXPECT_EQ(form_->cbxUnit->Items().Count(), 3);
  EXPECT_EQ(form_->cbxUnit->Items()[2], "knots");
  EXPECT_EQ(form_->cbxUnit->ItemIndex(), 2);
  // An edit keeps the loaded callsign.
  EXPECT_EQ(form_->edtCall->Text(), "N0CALL");
  EXPECT_EQ(form_->edtCall->Hint(), "Your callsign");
  EXPECT_EQ(form_->nedtTime->Hint(), "Minutes\n\r0 to 120, default 15");
  EXPECT_FALSE(form_->nedtTime->AutoHint());
  // An empty caption leaves the caption but still sets the hint.
  EXPECT_EQ(form_->mbtnOk->Caption(), "Übernehmen");
  EXPECT_EQ(form_->mbtnOk->Hint(), "Apply");
  EXPECT_TRUE(form_->mbtnOk->ShowHint());
  EXPECT_EQ(form_->memText->Lines().Count(), 2);
  EXPECT_EQ(Application->HelpFile, PrgDir() + "Velmora.chm");
  // The header is gone from the stored lines: re-applying changes nothing.
  EXPECT_EQ(speak_->SpeakLines->Count(), 8);
  ApplySpeakLines();
  EXPECT_EQ(form_->cbxUnit->ItemIndex(), 2);
}

TEST_F(SpeakFileTest, EmptyHintClearsShowHint) {
  form_->lblInfo->SetHint("old");
  form_->lblInfo->SetShowHint(true);
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"lblInfo";"TLabel";"";"")"));
  EXPECT_EQ(form_->lblInfo->Caption(), "Hallo");
  EXPECT_EQ(form_->lblInfo->Hint(), "old");
  EXPECT_FALSE(form_->lblInfo->ShowHint());
}

TEST_F(SpeakFileTest, MenuItemsAndPageTabsTranslate) {
  auto* menu = new TExPopupMenu(form_.get());
  menu->Name = "apmnuTest";
  auto* item = new TMenuItem(form_.get());
  item->Name = "mnuZoom";
  item->Caption =
      "Vergr\xF6\xDF"
      "ern";
  menu->Items().Add(item);
  auto* pages = new TExPageControl(form_.get());
  pages->SetParent(form_.get());
  auto* sheet = new TExTabSheet(form_.get());
  sheet->Name = "atabOne";
  sheet->SetCaption("Eins");
  sheet->SetPageControl(pages);
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"mnuZoom";"TMenuItem";"Zoom in";"Closer")"));
  EXPECT_EQ(item->Caption, "Zoom in");
  EXPECT_EQ(item->Hint, "Closer");
  // The styled menu took the change as a batch and set its items up again at its end.
  EXPECT_TRUE(item->OnAdvancedDrawItem);
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"mnuZoom";"TMenuItem";"";"")"));
  EXPECT_EQ(item->Caption, "Zoom in");
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"atabOne";"TExTabSheet";"One";"First page")"));
  EXPECT_EQ(sheet->Caption(), "One");
  EXPECT_EQ(sheet->Hint(), "First page");
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"atabOne";"TExTabSheet";"Uno";"")"));
  EXPECT_EQ(sheet->Caption(), "Uno");
  EXPECT_FALSE(sheet->ShowHint());
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"atabOne";"TTabSheet";"Un";"")"));
  EXPECT_EQ(sheet->Caption(), "Un");
}

TEST_F(SpeakFileTest, ListItemsAndColumnCaptionsTranslate) {
  auto* pages = new THtmlListBox(form_.get());
  pages->Name = "htmllbxPages";
  pages->SetParent(form_.get());
  pages->Items().SetText("<B>Ger\xE4t</B>\r\nWetter");
  pages->SetItemIndex(1);
  EXPECT_TRUE(
      ApplySpeakLine(R"("frmTest";"htmllbxPages";"THtmlListBox";"<B>Device</B>%cr%Weather";"")"));
  EXPECT_EQ(pages->PlainItems(0), "Device");
  EXPECT_EQ(pages->PlainItems(1), "Weather");
  // The page chosen stays chosen; with fewer items it is gone.
  EXPECT_EQ(pages->ItemIndex(), 1);
  EXPECT_TRUE(ApplySpeakLine(R"("frmTest";"htmllbxPages";"THtmlListBox";"Device";"")"));
  EXPECT_EQ(pages->ItemIndex(), -1);

  auto* list = new TExSectionList(form_.get());
  list->Name = "ExSectionList1";
  list->SetParent(form_.get());
  while (list->Columns.Count() > 0) list->Columns.Delete(0);
  for (const char* caption : {"", "Besitzer", "Uhrzeit"}) list->Columns.Add()->SetCaption(caption);
  // Line n names column n; a line beyond the columns is left out.
  EXPECT_TRUE(ApplySpeakLine(
      R"("frmTest";"ExSectionList1";"TExSectionList";"%cr%Owner%cr%Time%cr%More";"")"));
  EXPECT_EQ(list->Columns.Items(0)->Caption(), "");
  EXPECT_EQ(list->Columns.Items(1)->Caption(), "Owner");
  EXPECT_EQ(list->Columns.Items(2)->Caption(), "Time");
  EXPECT_EQ(list->Columns.Count(), 3);
  EXPECT_TRUE(
      ApplySpeakLine(R"("frmTest";"ExSectionList1";"TListView";"x%cr%Besitzer";"Stations")"));
  EXPECT_EQ(list->Columns.Items(1)->Caption(), "Besitzer");
  EXPECT_EQ(list->Columns.Items(2)->Caption(), "Time");
  EXPECT_EQ(list->Hint(), "Stations");
}

// A file made for another build may name thousands of components this one lacks: they
// are told in one box once the lines are applied, the first by its names and the others
// by their number, and the lines after them are applied. A window that does not exist
// is skipped without a word.
TEST_F(SpeakFileTest, UntranslatedLinesAreReportedInOneBox) {
  std::vector<std::string> lines = {R"("frmTest";"lblInfo";"TTreeView";"x";"")",
                                    R"("frmNone";"lblInfo";"TLabel";"x";"")"};
  for (int n = 0; n < 2000; ++n)
    lines.push_back(R"("frmTest";"lblGone)" + std::to_string(n) + R"(";"TLabel";"x";"")");
  lines.push_back(R"("frmTest";"mbtnOk";"TMyButton";"Apply";"")");
  WriteSpeakFile("english.spk", "1.2", lines);
  // Every box that opens is answered, and its text kept, until the load is through.
  std::vector<std::string> texts;
  std::function<void()> answer = [&texts, &answer] {
    std::string text;
    AnswerMessageBox(IDOK, &text);
    if (!text.empty()) texts.push_back(text);
    QueueCall(answer);
  };
  QueueCall(answer);
  EXPECT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  ForgetQueuedCalls();
  EXPECT_EQ(texts, std::vector<std::string>{"Informationen von \"frmTest:lblGone0\" NICHT \xFC"
                                            "bersetzt!\n\r... und 2000 weitere NICHT \xFC"
                                            "bersetzt!"});
  EXPECT_EQ(form_->mbtnOk->Caption(), "Apply");
}

// The stored lines are sorted once, not line by line, and keep the order line-by-line
// insertion gave: lines equal but for letter case come last loaded first, so the last
// of them in the file is applied first and the first one has the last word.
TEST(StoreSpeakLines, SortsOnceAndEqualLinesComeLastLoadedFirst) {
  TStringList stored;
  stored.SetSorted(true);
  stored.SetDuplicates(dupAccept);
  stored.Add("old");
  TStringList lines;
  for (const char* line : {"b", "A 1", "a 1", "c", "B", "A 1"}) lines.Add(line);
  StoreSpeakLines(lines, stored);
  EXPECT_TRUE(stored.Sorted());
  EXPECT_EQ(stored.Duplicates(), dupAccept);
  TStringList oneByOne;
  oneByOne.SetSorted(true);
  oneByOne.SetDuplicates(dupAccept);
  for (int n = 0; n < lines.Count(); ++n) oneByOne.Add(lines[n]);
  EXPECT_EQ(stored.Text(), oneByOne.Text());
  EXPECT_EQ(stored.Text(), "A 1\r\na 1\r\nA 1\r\nB\r\nb\r\nc\r\n");
}

TEST_F(SpeakFileTest, FailedLoadKeepsThePreviousLanguage) {
  WriteSpeakFile("english.spk", "1.2", {R"("frmTest";"lblInfo";"TLabel";"Hello";"")"});
  ASSERT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  WriteSpeakFile("other.spk", "2.0", {R"("frmTest";"lblInfo";"TLabel";"Servus";"")"});
  AnswerNextMyMsgBox();
  EXPECT_EQ(LoadSpeakFile("other.spk", false), kSpeakWrongVersion);
  EXPECT_EQ(form_->lblInfo->Caption(), "Hello");
  EXPECT_EQ(speak_->SpeakLines->Count(), 1);
}

}  // namespace

namespace {

TEST_F(SpeakFileTest, ExportListsComponentsByTag) {
  form_->lblInfo->SetCaption("Zwei\r\nZeilen");
  form_->edtCall->Tag = -1;
  form_->nedtTime->Tag = 3;
  const std::string plain = speak_->ExportText();
  EXPECT_NE(plain.find(R"("frmTest";"lblInfo";"TLabel";"Zwei%cr%Zeilen";"")"), std::string::npos);
  EXPECT_NE(plain.find(R"("frmTest";"mbtnOk";"TMyButton";"";"";"0")"), std::string::npos);
  EXPECT_EQ(plain.find("edtCall"), std::string::npos);
  EXPECT_EQ(plain.find("nedtTime"), std::string::npos);
  EXPECT_NE(plain.find(R"("###VIRDO-SPK-HEADER###")"), std::string::npos);
  speak_->cbxShowDeactiveComponent->SetChecked(true);
  const std::string all = speak_->ExportText();
  EXPECT_NE(all.find(R"("frmTest";"edtCall";"nil")"), std::string::npos);
  EXPECT_NE(all.find(R"("frmTest";"nedtTime";"TAG-USED-IN-PROGRAMM")"), std::string::npos);
  form_->Tag = -1;
  EXPECT_EQ(speak_->ExportText().find("frmTest"), std::string::npos);
  speak_->cbxShowDeactiveForm->SetChecked(true);
  EXPECT_NE(speak_->ExportText().find(R"("frmTest";"nil")"), std::string::npos);
}

}  // namespace

#include "app/program/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <thread>

#include "app/app_windows.h"
#include "app/language/frm_prg_msg.h"
#include "app/language/frm_speak.h"
#include "app/language/speak_file.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/null_sink_server.h"
#include "app/program/frm_info.h"
#include "app/program/frm_main.h"
#include "app/receive/frm_log.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "app/settings/settings_store.h"
#include "app/shelf/device_windows.h"
#include "app/shelf/window_shape.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "app/stations/station_records.h"
#include "core/csv_ctrl.h"
#include "core/kiss_ax25.h"
#include "core/my_tools.h"
#include "core/tnc_control.h"
#include "html/html_text.h"
#include "platform/gui/standard/program_icon.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/application.h"
#include "platform/sys/child_process.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"
#include "platform/sys/timer.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/format.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

namespace {

class ProgramTest : public AppWindowsTest {
 protected:
  static void SetOwnCall() {
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Station", true);
    reg.WriteString("CallP1", "N0CALL");
  }
};

TEST_F(ProgramTest, WindowsAreMadeInOrder) {
  const char* const order[] = {"frmMain",          "frmMyMsgDialog", "frmSetup",   "frmAprsStnList",
                               "frmAprsStnSelect", "frmAprsStnInfo", "frmAprsMsg", "frmAprs",
                               "frmGpsStatus",     "frmInfo",        "frmSpeak",   "frmPrgMsg",
                               "frmWxStatus",      "frmLog"};
  std::vector<std::string> names;
  for (int n = 0; n < Screen->FormCount(); ++n)
    if (!Screen->Forms(n)->Name.empty()) names.push_back(Screen->Forms(n)->Name);
  ASSERT_GE(names.size(), std::size(order));
  for (size_t n = 0; n < std::size(order); ++n) EXPECT_EQ(names[n], order[n]);
  EXPECT_EQ(frmMain->FormStyle(), fsMDIForm);
  EXPECT_EQ(frmAprs->FormStyle(), fsMDIChild);
  EXPECT_EQ(frmAprs->WindowState(), wsMaximized);
  EXPECT_EQ(SpkDir, PrgDir() + "Speak/");
}

TEST_F(ProgramTest, MissingLanguageFallsBackToEnglish) {
  WriteSpeakFile("english.spk", "1.2",
                 {R"("frmSetup";"lblDevice";"TLabel";"Device";"")",
                  R"("frmPrgMsg";"lblWordStations";"TLabel";"stations";"")"});
  WriteSpeakFile("deutsch.spk", "1.2", {});
  frmSetup->mfcbxSpk->SetText("francais.spk");
  EXPECT_EQ(LoadStartLanguage(), kSpeakLoaded);
  EXPECT_EQ(frmSetup->mfcbxSpk->Text(), "english.spk");
  // The counter's word is composed, not a caption; no map loads to count again.
  EXPECT_EQ(frmAprs->lblStnCount->Caption(), "0 stations");
}

TEST_F(ProgramTest, GermanIsTheLastFallback) {
  WriteSpeakFile("deutsch.spk", "1.2", {});
  EXPECT_EQ(LoadStartLanguage(), kSpeakLoaded);
  EXPECT_EQ(frmSetup->mfcbxSpk->Text(), "deutsch.spk");
}

TEST_F(ProgramTest, NoLanguageFileEndsSilently) {
  SetOwnCall();
  EXPECT_FALSE(StartProgram());
  EXPECT_FALSE(frmMain->Visible());
  EXPECT_FALSE(TncRs232().Rs232Open());
}

TEST_F(ProgramTest, LanguageOfAnotherVersionEndsWithTheMessage) {
  SetOwnCall();
  WriteSpeakFile("deutsch.spk", "2.0", {});
  // Tried as configured (deutsch.spk), then english.spk (missing); deutsch.spk is not
  // tried twice: one version message, then the end.
  std::vector<std::string> texts;
  AnswerMyMsgBoxes(texts, 2);
  EXPECT_FALSE(StartProgram());
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("is not for Velmora Version 1.2"), std::string::npos);
  EXPECT_EQ(texts[1], "No valid speakfile found, Velmora loading abort!");
  EXPECT_FALSE(frmMain->Visible());
  EXPECT_FALSE(TncRs232().Rs232Open());
}

// A damaged language file is reported once, after the language that takes its place is
// loaded, so the box speaks that language.
TEST_F(ProgramTest, ADamagedLanguageFileIsReportedOnceInTheLanguageThatStands) {
  const std::vector<std::string> english = {
      R"("frmMyMsgDialog";"lblHeadError";"TLabel";"Error";"")"};
  WriteSpeakFile("deutsch.spk", "1.2", {});
  std::vector<std::string> texts;
  std::vector<std::string> heads;
  for (const std::string configured : {"english.spk", "mine.spk"}) {
    texts.clear();
    heads.clear();
    WriteFile(SpkDir + configured, std::string(300, '\x17'));
    if (configured != "english.spk") WriteSpeakFile("english.spk", "1.2", english);
    frmSetup->mfcbxSpk->SetText(configured);
    AnswerMyMsgBoxes(texts, 1, &heads);
    EXPECT_EQ(LoadStartLanguage(), kSpeakLoaded);
    ASSERT_EQ(texts.size(), 1u) << configured;
    EXPECT_NE(texts[0].find("The SPEAK file \"" + configured + "\" is destroyed!"),
              std::string::npos);
    EXPECT_EQ(heads[0], configured == "english.spk" ? "Fehler" : "Error");
  }
}

// The English program's first start, with a damaged settings file, without a callsign and
// with its TNC's port gone:
// the language stands before the first box, and every box speaks it, heads included.
TEST_F(ProgramTest, FirstStartInEnglishShowsEveryBoxInEnglish) {
  const std::string shipped = Application->ExeFolder() + "../bin/Speak/english.spk";
  if (!std::filesystem::exists(shipped)) GTEST_SKIP() << "language files not built";
  std::filesystem::copy_file(shipped, SpkDir + "english.spk");
  std::filesystem::create_directories(ConfigFolder());
  WriteFile(ConfigFolder() + "ports", "COM1=/nonexistent/velmora-tty\n");
  {
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", true);
    reg.WriteString("Spk", "english.spk");
    reg.OpenKey("\\Software\\Velmora\\Programm\\Device\\", true);
    reg.WriteInteger("Device", kDeviceTnc3);
    reg.WriteInteger("COM-Port", 0);
    reg.SaveChanges();
  }
  // Damaged at its end: what can be read is used, and the damage is reported.
  std::ofstream(TRegistry::FileName(), std::ios::app) << "not a line of the store\n";
  // The TNC's steps follow one another at once, not after their waits.
  TncControl().Schedule = [](unsigned, std::function<void()> Next) { QueueCall(std::move(Next)); };
  std::vector<std::string> texts, heads;
  AnswerMyMsgBoxes(texts, 3, &heads);
  ASSERT_TRUE(StartProgram());
  for (int pass = 0; texts.size() < 3 && pass < 10000; ++pass) Application->ProcessMessages();
  ASSERT_EQ(texts.size(), 3u) << (texts.empty() ? "" : texts[0]);
  EXPECT_EQ(texts[0].rfind("The settings file \"" + TRegistry::FileName() + "\" was damaged", 0),
            0u)
      << texts[0];
  EXPECT_EQ(heads[0], "Error");
  EXPECT_EQ(texts[1], "For Velmora to work,\r\nplease enter your own callsign in the settings!");
  EXPECT_EQ(heads[1], "Information");
  EXPECT_NE(texts[2].find("OpenRs232: the port cannot be opened!"), std::string::npos) << texts[2];
  EXPECT_EQ(heads[2], "Error");
  EXPECT_EQ(frmInfo->ilblMail->Subject, "Velmora 1.2");
}

// A player that plays nothing and tells what it was given.
class TRecordingPlayer : public TWaveSound {
 public:
  int OutputDeviceCount() const override { return 1; }
  bool Play(const std::string& FileName) override {
    Played.push_back(FileName);
    return true;
  }
  bool Playing() const override { return false; }
  std::vector<std::string> Played;
};

TEST_F(ProgramTest, StartsRunsAndShutsDown) {
  SetOwnCall();
  std::filesystem::create_directories(PrgDir() + "Sound");
  WriteFile(PrgDir() + "Sound/PrgUp.wav", "RIFF");
  TRecordingPlayer player;
  frmAprs->Sounds = std::make_unique<TSoundQueue>(player, frmAprs->SoundDir);
  WriteSpeakFile("english.spk", "1.2", {R"("frmSetup";"lblDevice";"TLabel";"Device";"")"});
  frmSetup->mfcbxSpk->SetText("english.spk");
  ASSERT_TRUE(StartProgram());
  EXPECT_TRUE(frmMain->Visible());
  EXPECT_TRUE(frmMain->MyHint1->Active());
  EXPECT_TRUE(frmInfo->Visible());
  EXPECT_TRUE(frmInfo->Timer1->Enabled());
  EXPECT_FALSE(frmInfo->mbtnClose->Visible());
  EXPECT_EQ(frmSetup->TncInitialised, 1);
  EXPECT_TRUE(frmSetup->timPosDec->Enabled());
  EXPECT_EQ(Application->HelpFile, PrgDir() + "Velmora.chm");
  ASSERT_EQ(player.Played.size(), 1u);
  EXPECT_EQ(player.Played[0], PrgDir() + "Sound/PrgUp.wav");
  frmAprs->Sounds.reset();
  // The splash ends on its timer.
  frmInfo->Timer1->OnTimer(frmInfo->Timer1);
  EXPECT_FALSE(frmInfo->Visible());
  EXPECT_TRUE(frmInfo->mbtnClose->Visible());

  frmSetup->edtTcpFilter->SetText("m/50");
  std::string notice;
  AnswerNextMyMsgBox(&notice);
  frmMain->Close();
  EXPECT_TRUE(frmMain->ShutDownDone());
  EXPECT_EQ(notice, "Setup Version aktualisiert.");
  // No APRS-IS connection existed; the stations are saved all the same.
  EXPECT_TRUE(std::filesystem::exists(PrgDir() + "Stn.dat"));
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", false));
  EXPECT_EQ(reg.ReadString("Spk"), "english.spk");
  EXPECT_EQ(reg.ReadString("TcpFilter"), "m/50");
}

// A logout while a close by hand waits at a box (the notice of new settings a newcomer
// meets at the first close): the box goes, the close goes on and saves, and no later
// box waits.
TEST_F(ProgramTest, ASignalEndsTheBoxThatWaitsAndTheCloseGoesOn) {
  SetOwnCall();
  WriteSpeakFile("english.spk", "1.2", {});
  frmSetup->mfcbxSpk->SetText("english.spk");
  ASSERT_TRUE(StartProgram());
  Application->SetEndRequestHandler([] { Application->Terminate(); });
  std::string box;
  std::function<void()> signal_at_the_box = [&] {
    if (!frmMyMsgDialog->Visible()) {
      QueueCall(signal_at_the_box);
      return;
    }
    box = frmMyMsgDialog->Text();
    std::raise(SIGTERM);
  };
  QueueCall(signal_at_the_box);
  frmSetup->edtTcpFilter->SetText("m/50");
  frmMain->Close();
  Application->SetEndRequestHandler(nullptr);
  ForgetQueuedCalls();
  EXPECT_EQ(box, "Setup Version aktualisiert.");
  EXPECT_FALSE(frmMyMsgDialog->Visible());
  EXPECT_TRUE(frmMain->ShutDownDone());
  EXPECT_TRUE(std::filesystem::exists(PrgDir() + "Stn.dat"));
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", false));
  EXPECT_EQ(reg.ReadString("TcpFilter"), "m/50");
}

// A map folder holding pictures not yet calibrated: the start tells of each once.
TEST_F(ProgramTest, AStartTellsOfEachUncalibratedMapOnce) {
  SetOwnCall();
  const std::string maps = PrgDir() + "NewMaps/";
  std::filesystem::create_directories(maps);
  for (const char* name : {"a.jpg", "b.gif", "c.bmp"}) WriteFile(maps + name, "not calibrated");
  {
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", true);
    reg.WriteString("CrdDir", maps);
  }
  WriteSpeakFile("english.spk", "1.2", {});
  frmSetup->mfcbxSpk->SetText("english.spk");
  std::vector<std::string> texts;
  AnswerMyMsgBoxes(texts, 6);
  ASSERT_TRUE(StartProgram());
  ForgetQueuedCalls();
  ASSERT_EQ(texts.size(), 3u);
  for (const char* name : {"a.jpg", "b.gif", "c.bmp"}) {
    EXPECT_EQ(
        std::count_if(texts.begin(), texts.end(),
                      [&](const std::string& t) { return t.find(name) != std::string::npos; }),
        1)
        << name;
  }
}

// Stations stored at 40N 5E, and the own position 52.5N 13.33E.
class StoredStationsStartTest : public ProgramTest {
 protected:
  void BeforeWindows() override {
    std::string stations;
    for (const char* call : {"DL1AAA", "DL1BBB", "DL1CCC"})
      stations += RecordOf(SampleStation(call, "40", "5")) + "\r\n";
    WriteFile(PrgDir() + "Stn.dat", stations);
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Station", true);
    reg.WriteString("CallP1", "N0CALL");
    reg.WriteString("Lati",
                    "52\xB0"
                    "30.00 N");
    reg.WriteString("Long",
                    "013\xB0"
                    "19.80 E");
  }
};

// The stations show their distance from the own position from the first row on, though
// the load's timer ticks while a box of the start waits (a map without calibration,
// found as the settings are applied).
TEST_F(StoredStationsStartTest, RowsTakeTheOwnPositionFromTheFirst) {
  const std::string maps = PrgDir() + "NewMaps/";
  std::filesystem::create_directories(maps);
  WriteFile(maps + "a.jpg", "not calibrated");
  {
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", true);
    reg.WriteString("CrdDir", maps);
  }
  WriteSpeakFile("english.spk", "1.2", {});
  frmSetup->mfcbxSpk->SetText("english.spk");
  bool box = false;
  std::function<void()> at_the_box = [&] {
    TfrmMyMsgDialog* open = OpenMyMsgBox();
    if (!open) {
      QueueCall(at_the_box);
      return;
    }
    box = true;
    if (frmAprs->timStnLoad->Enabled()) frmAprs->timStnLoad->OnTimer(frmAprs->timStnLoad);
    open->SetModalResult(mrOk);
  };
  QueueCall(at_the_box);
  ASSERT_TRUE(StartProgram());
  ForgetQueuedCalls();
  EXPECT_TRUE(box);
  while (frmAprs->timStnLoad->Enabled()) frmAprs->timStnLoad->OnTimer(frmAprs->timStnLoad);
  const TSectionGroup& rows = *frmAprsStnList->Group();
  ASSERT_EQ(rows.GetCount(), 3);
  for (int row = 0; row < rows.GetCount(); ++row)
    EXPECT_NEAR(StrToFloat(rows.GetItemStrings(row).Get(4)), 1527.3, 1.0) << row;
}

// A user closes the main window while every other window is still open: the program
// must end, not run on invisibly.
TEST_F(ProgramTest, ClosingTheMainWindowEndsTheProgramWithEveryWindowOpen) {
  SetOwnCall();
  WriteSpeakFile("english.spk", "1.2", {});
  frmSetup->mfcbxSpk->SetText("english.spk");
  ASSERT_TRUE(StartProgram());
  for (TForm* form :
       std::initializer_list<TForm*>{frmAprsStnList, frmAprsStnSelect, frmAprsStnInfo, frmAprsMsg,
                                     frmGpsStatus, frmWxStatus, frmLog, frmInfo})
    form->Show();
  bool closed = false;
  QueueCall([&] {
    closed = true;
    AnswerNextMyMsgBox();  // the settings of this new version are saved with a notice
    SimulateCloseButton(*frmMain);
  });
  // Should the close not end the loop, this ends it and the test fails.
  TTimer guard(nullptr);
  guard.SetInterval(5000);
  bool timedOut = false;
  guard.OnTimer = [&](TComponent*) {
    timedOut = true;
    Application->Terminate();
  };
  guard.SetEnabled(true);
  Application->Run();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(timedOut);
  EXPECT_TRUE(frmMain->ShutDownDone());
  // Gone from the screen while the devices are let go, and saved as they were shown.
  for (int n = 0; n < Screen->FormCount(); ++n)
    EXPECT_FALSE(Screen->Forms(n)->Visible()) << Screen->Forms(n)->Name;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Position", false));
  EXPECT_TRUE(reg.ReadBool("GpsShow"));
  EXPECT_TRUE(reg.ReadBool("WxShow"));
}

// No window opens with a part (its title bar above all) off the screen, and a modal
// window is not covered by the stay-on-top ones.
TEST_F(ProgramTest, WindowsOpenOnTheScreenAndModalOnesOnTop) {
  for (int n = 0; n < Screen->FormCount(); ++n) {
    TForm* form = Screen->Forms(n);
    if (form->FormStyle() == fsMDIChild || form == frmMyMsgDialog || form == frmPrgMsg) continue;
    form->SetBounds(-40, -30, form->Width(), form->Height());  // e.g. a saved place
    form->Show();
    EXPECT_GE(form->Left(), 0) << form->Name;
    EXPECT_GE(form->Top(), 0) << form->Name;
    EXPECT_LE(form->Left() + form->Width(), Screen->Width()) << form->Name;
    EXPECT_LE(form->Top() + form->Height(), Screen->Height()) << form->Name;
    form->Hide();
  }
  bool onTop = false;
  QueueCall([&] {
    onTop = StaysOnTop(*frmSetup);
    frmSetup->SetModalResult(mrCancel);
  });
  frmSetup->ShowModal();
  EXPECT_TRUE(onTop);
  EXPECT_FALSE(StaysOnTop(*frmSetup));
}

TEST_F(ProgramTest, AboutBoxClosesOnlyAfterTheSplash) {
  frmInfo->ShowSplash();
  frmInfo->mbtnCloseClick(frmInfo->mbtnClose);
  EXPECT_TRUE(frmInfo->Visible());
  frmInfo->Timer1->OnTimer(frmInfo->Timer1);
  EXPECT_FALSE(frmInfo->Visible());
  frmInfo->Show();
  frmInfo->mbtnCloseClick(frmInfo->mbtnClose);
  EXPECT_FALSE(frmInfo->Visible());
}

TEST_F(ProgramTest, AboutTextUsesTheTranslatedWords) {
  frmPrgMsg->lblWordVersion->SetCaption("Release");
  const std::string text = TfrmInfo::AboutText();
  EXPECT_NE(text.find("<B><FONT size=\"10\" color=\"#000000\">Release 1.2</FONT></B><br><br>"),
            std::string::npos);
  EXPECT_NE(text.find("<FONT size=\"10\" color=\"#000000\">letzte \xC4nderung am 16.12.2008"
                      "</FONT><br><br>"),
            std::string::npos);
  frmInfo->Show();
  EXPECT_NE(HtmlStrip(frmInfo->htmlblInfo->GetFullText()).find("Release 1.2"), std::string::npos);
  frmInfo->Hide();
}

TEST_F(ProgramTest, MessageTextsExpandLineBreaks) {
  EXPECT_EQ(GetPrgMsg(*frmPrgMsg->lblInfOwnCall),
            "F\xFCr die Funktion von Velmora,\r\nbitte das eigene Rufzeichen in den "
            "Einstellungen eingeben!");
  EXPECT_EQ(GetPrgMsg(*frmPrgMsg->lblQueAdd), "Sollen die Daten angehangen werden?");
}

// The language files the build ships beside the program: every line names a component
// that exists, with its class, so applying them shows no message; English translates.
TEST_F(ProgramTest, ShippedLanguageFilesFitTheWindows) {
  const std::string shipped = Application->ExeFolder() + "../bin/Speak/";
  for (const char* name : {"english.spk", "deutsch.spk"}) {
    if (!std::filesystem::exists(shipped + name)) GTEST_SKIP() << "not built: " << shipped;
    std::filesystem::copy_file(shipped + name, SpkDir + name);
    std::string content;
    LoadFileToString(content, SpkDir + name);
    TStringList lines;
    lines.SetText(DecodeString(content, kLanguageKey).substr(kSpeakPreambleLength));
    ASSERT_GT(lines.Count(), 1) << name;
    for (int n = 1; n < lines.Count(); ++n) {
      std::string form, component, cls;
      CsvGetField(0, lines[n], form);
      CsvGetField(1, lines[n], component);
      CsvGetField(2, lines[n], cls);
      TForm* window = nullptr;
      for (int f = 0; f < Screen->FormCount(); ++f)
        if (Screen->Forms(f)->Name == form) window = Screen->Forms(f);
      ASSERT_NE(window, nullptr) << lines[n];
      if (cls == "TForm") continue;
      TComponent* found = nullptr;
      for (int c = 0; c < window->ComponentCount(); ++c)
        if (window->Components(c)->Name == component) found = window->Components(c);
      ASSERT_NE(found, nullptr) << lines[n];
      EXPECT_EQ(found->ClassName(), cls) << lines[n];
    }
  }
  frmSetup->edtCallP1->SetText("N0CALL");
  EXPECT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  EXPECT_EQ(frmSetup->Caption(), "Settings");
  EXPECT_EQ(frmSetup->mbtnChange->Caption(), "Apply");
  EXPECT_EQ(frmSetup->edtCallP1->Text(), "N0CALL");
  EXPECT_EQ(GetPrgMsg(*frmPrgMsg->lblInfOwnCall),
            "For Velmora to work,\r\nplease enter your own callsign in the settings!");
  EXPECT_EQ(LoadSpeakFile("deutsch.spk", false), kSpeakLoaded);
  EXPECT_EQ(frmSetup->Caption(), "Einstellungen");
  EXPECT_EQ(frmSetup->mbtnChange->Caption(),
            "\xDC"
            "bernehmen");
}

}  // namespace

namespace {

// The windows show the program's own icon, drawn by the build: a picture, not a plain
// square of one colour.
TEST_F(ProgramTest, WindowsShowTheProgramsIcon) {
  const std::string built = Application->ExeFolder() + "../bin/Pictures/";
  if (!std::filesystem::exists(built + "Velmora32.png")) GTEST_SKIP() << "not built: " << built;
  std::filesystem::create_directories(PrgDir() + "Pictures");
  for (const auto& file : std::filesystem::directory_iterator(built)) {
    std::filesystem::copy_file(file.path(),
                               PrgDir() + "Pictures/" + file.path().filename().string(),
                               std::filesystem::copy_options::overwrite_existing);
  }
  ASSERT_TRUE(LoadProgramIcon());
  for (TForm* window : std::initializer_list<TForm*>{frmMain, frmAprsMsg, frmLog}) {
    for (const int size : {16, 32, 48}) {
      TBitmap icon;
      ASSERT_TRUE(WindowIconPicture(*window, size, clWhite, icon)) << window->Name;
      std::set<TColor> colours;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) colours.insert(icon.Canvas().Pixels(x, y));
      EXPECT_GT(colours.size(), 3u) << window->Name << " " << size;
      // Round: the corners show what lies behind it.
      EXPECT_EQ(icon.Canvas().Pixels(0, 0), clWhite) << window->Name << " " << size;
      EXPECT_NE(icon.Canvas().Pixels(size / 2, size - 3), clWhite) << window->Name << " " << size;
    }
  }
}

TEST(WindowShape, KeepsWhatIsNotBackground) {
  TBitmap picture;
  picture.SetSize(4, 3);
  picture.Canvas().Brush().SetColor(clFuchsia);
  picture.Canvas().FillRect(Rect(0, 0, 4, 3));
  picture.Canvas().SetPixels(1, 0, clWhite);
  picture.Canvas().SetPixels(2, 0, clWhite);
  picture.Canvas().SetPixels(0, 2, clBlack);
  picture.Canvas().SetPixels(3, 2, clBlack);
  picture.SetTransparentColor(clFuchsia);
  const std::vector<TRect> runs = PictureShapeRects(picture);
  ASSERT_EQ(runs.size(), 3u);
  // Rows from the last to the first, runs from left to right.
  EXPECT_EQ(runs[0], Rect(0, 2, 1, 3));
  EXPECT_EQ(runs[1], Rect(3, 2, 4, 3));
  EXPECT_EQ(runs[2], Rect(1, 0, 3, 1));
  EXPECT_TRUE(PictureShapeRects(TBitmap()).empty());
}

TEST_F(ProgramTest, AboutWindowTakesTheOutlineOfItsPicture) {
  const std::vector<TRect> runs = PictureShapeRects(frmInfo->Image1->Picture().Bitmap());
  ASSERT_FALSE(runs.empty());
  // The round corners are cut: the top row starts further in than the middle row.
  EXPECT_GT(runs.back().Left, 0);
  EXPECT_EQ(runs[runs.size() / 2].Left, 0);
}

}  // namespace

namespace {

// The program as its own process, as a logout meets it: on a pseudo-terminal TNC it
// hears three stations, and a language missing from its folder makes it choose another
// (a changed setting); then SIGTERM, the signal a logout or a shutdown sends, or the end
// of its display. Each run reports how long the program took to end after the signal.
class ProgramEndTest : public AppFolderTest {
 protected:
  // The program beside what it ships with, its TNC on COM1, and no settings yet but the
  // device, the callsign and a language file that is not there.
  void SetUp() override {
    AppFolderTest::SetUp();
    const std::string built = VELMORA_PROGRAM_FOLDER;
    folder = PrgDir();
    std::error_code hard_link_failed;
    std::filesystem::create_hard_link(built + "velmora", folder + "velmora", hard_link_failed);
    if (hard_link_failed) std::filesystem::copy_file(built + "velmora", folder + "velmora");
    std::filesystem::remove_all(folder + "Speak");
    for (const char* shipped : {"Speak", "APRS-Karten", "Symbols", "Pictures", "Server.dat"})
      std::filesystem::create_symlink(built + shipped, folder + shipped);
    std::filesystem::create_directories(ConfigFolder());
    WriteFile(ConfigFolder() + "ports", "COM1=" + tnc.DevicePath() + "\n");
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Device\\", true);
    reg.WriteInteger("Device", 7);  // a TNC without flow control
    reg.WriteInteger("COM-Port", 0);
    reg.OpenKey("\\Software\\Velmora\\Programm\\Station", true);
    reg.WriteString("CallP1", "N0CALL");
    reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", true);
    reg.WriteString("Spk", "francais.spk");
  }

  // Env: more of the program's environment, "NAME='value' " each.
  std::unique_ptr<TChildProcess> StartVelmora(const std::string& Display = {},
                                              const std::string& Env = {}) {
    const std::string screen =
        Display.empty() ? "QT_QPA_PLATFORM=offscreen" : "QT_QPA_PLATFORM=xcb DISPLAY=" + Display;
    return std::make_unique<TChildProcess>("cd '" + folder + "' && XDG_CONFIG_HOME='" +
                                               getenv("XDG_CONFIG_HOME") + "' " + screen + " " +
                                               Env + " exec ./velmora",
                                           folder + "program.txt");
  }

  // Three stations heard, and a message acknowledged on the TNC, which shows that all
  // were heard: frames that come before the program listens are lost, so they are sent
  // again until the acknowledgement comes.
  void HearStations() {
    ASSERT_NE(ReadTncUntil("@K\r"), "") << "the TNC was never put into KISS mode";
    std::vector<uint8_t> frames;
    for (const char* packet :
         {"DL1AAA>APRS:!5230.50N/01320.70E>", "DL1BBB>APRS:!4810.00N/01135.00E>",
          "DL1CCC>APRS:!5055.00N/00657.00E>", "DL1AAA>APRS::N0CALL   :hi{7"}) {
      const std::string line = packet;
      const size_t gt = line.find('>');
      const size_t colon = line.find(':');
      const TKissBuildResult frame = BuildKissFrame(
          line.substr(0, gt), line.substr(gt + 1, colon - gt - 1), line.substr(colon + 1));
      frames.insert(frames.end(), frame.Bytes.begin(), frame.Bytes.end());
    }
    bool acknowledged = false;
    for (int attempt = 0; attempt < 60 && !acknowledged; ++attempt) {
      ASSERT_TRUE(tnc.Send(frames));
      const std::vector<uint8_t> bytes = tnc.Receive(4096, 1000);
      sent.append(bytes.begin(), bytes.end());
      acknowledged = sent.find(":DL1AAA   :ack7") != std::string::npos;
    }
    ASSERT_TRUE(acknowledged) << "no acknowledgement on the TNC";
  }

  // Everything the TNC was sent so far, read until Seen is in it; empty when it never
  // came. Read in small steps, so a test acts on it at once.
  std::string ReadTncUntil(const std::string& Seen) {
    constexpr int kPatienceMs = 120000;  // the sanitized program starts slowly on a busy machine
    constexpr int kStepMs = 20;
    for (int waited = 0; waited < kPatienceMs; waited += kStepMs) {
      const std::vector<uint8_t> bytes = tnc.Receive(1, kStepMs);
      sent.append(bytes.begin(), bytes.end());
      if (sent.find(Seen) != std::string::npos) return sent;
    }
    return {};
  }

  // Ends the program with Signal (or whatever End does) and waits for its end: its exit
  // code, and how long the end took in the figures printed.
  int EndAndWait(TChildProcess& Program, const std::function<void()>& End) {
    const auto start = std::chrono::steady_clock::now();
    End();
    const int code = Program.WaitForExit(120000);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("[ figure ] %s: ended %lld ms after the signal\n",
                ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                static_cast<long long>(took.count()));
    return code;
  }

  // Saved whole: every line a record of 24 fields, the last line ended too.
  void ExpectStationsSaved(const std::vector<std::string>& Calls = {"DL1AAA", "DL1BBB", "DL1CCC"}) {
    ASSERT_TRUE(std::filesystem::exists(folder + "Stn.dat"));
    std::string stations;
    LoadFileToString(stations, folder + "Stn.dat");
    for (const std::string& call : Calls) EXPECT_NE(stations.find(call), std::string::npos) << call;
    ASSERT_GE(stations.size(), 2u);
    EXPECT_EQ(stations.substr(stations.size() - 2), "\r\n");
    for (size_t at = 0, end; (end = stations.find("\r\n", at)) != std::string::npos; at = end + 2) {
      const std::string line = stations.substr(at, end - at);
      size_t separators = 0;
      for (size_t n = line.find("\";\""); n != std::string::npos; n = line.find("\";\"", n + 1))
        ++separators;
      ASSERT_EQ(separators, 23u) << line;
    }
  }
  void ExpectSettingsSaved() {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", false));
    EXPECT_EQ(reg.ReadString("Spk"), "english.spk");
  }
  std::string ProgramLog() {
    std::string log;
    LoadFileToString(log, folder + "program.txt");
    return log;
  }

  // A private display for the program: its name once it takes connections, empty when
  // the server named none.
  std::string StartDisplay() {
    // Its warnings go elsewhere, or they would be read as the display's name.
    display_server = std::make_unique<TChildProcess>(
        "exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>'" + folder + "xvfb.txt'",
        folder + "display.txt");
    std::string display;
    for (int waited = 0; waited < 60000 && display.find('\n') == std::string::npos; waited += 20) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      LoadFileToString(display, folder + "display.txt");
    }
    return display.find('\n') == std::string::npos ? std::string() : ":" + Trim(display);
  }
  // The windows shown on the display, by their ids.
  static std::set<std::string> ShownWindows(const std::string& Display) {
    TStringList ids;
    ids.SetText(RunAndCapture("DISPLAY=" + Display +
                              " xdotool search --onlyvisible --classname . 2>/dev/null"));
    std::set<std::string> shown;
    for (int i = 0; i < ids.Count(); ++i) shown.insert(ids[i]);
    return shown;
  }

  std::string folder;
  TPseudoTerminal tnc;
  std::string sent;  // what the TNC was sent
  std::unique_ptr<TChildProcess> display_server;
};

// A newcomer's first end comes by a logout: the notice of new settings, a box a close
// by hand shows, goes to the log, and the settings are written all the same.
TEST_F(ProgramEndTest, ASignalSavesTheStationsAndTheSettings) {
  auto program = StartVelmora();
  HearStations();
  EXPECT_EQ(EndAndWait(*program, [&] { program->Terminate(); }), 0);
  ExpectStationsSaved();
  ExpectSettingsSaved();
  EXPECT_NE(ProgramLog().find("Velmora: Information: Settings version updated."), std::string::npos)
      << ProgramLog();
}

// A logout that ends the TNC's bridge in the same moment: the box telling that the
// device is gone neither holds the end nor comes before the saves.
TEST_F(ProgramEndTest, TheTncGoingAtTheSignalHoldsNothingUp) {
  auto program = StartVelmora();
  HearStations();
  EXPECT_EQ(EndAndWait(*program,
                       [&] {
                         tnc.HangUp();
                         program->Terminate();
                       }),
            0);
  ExpectStationsSaved();
  ExpectSettingsSaved();
}

// A second signal while the TNC is let go ends the program at once: what the TNC would
// have been sent after the KISS exit (the user's own closing lines) never comes, and
// the stations are saved, a station heard after the first signal among them.
TEST_F(ProgramEndTest, ASecondSignalEndsAtOnce) {
  WriteFile(folder + "TNC-1P deini.ini", "BYE\r\n");
  {
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora\\Programm\\Device\\", true);
    reg.WriteInteger("Device", 6);  // its closing sequence sends the user's lines
  }
  auto program = StartVelmora();
  HearStations();
  program->Terminate();
  ASSERT_NE(ReadTncUntil("\xC0\xFF\xC0"), "") << "the TNC never left KISS mode";
  EXPECT_EQ(EndAndWait(*program, [&] { program->Terminate(); }), 0);
  const std::vector<uint8_t> rest = tnc.Receive(4096, 0);
  sent.append(rest.begin(), rest.end());
  EXPECT_EQ(sent.find("BYE"), std::string::npos);
  ExpectStationsSaved();
  ExpectSettingsSaved();
}

// The display goes away under the running program (a logout without a session manager,
// a remote display that drops): the GUI library would end the process, and the stations
// and settings are saved before.
TEST_F(ProgramEndTest, ALostDisplaySavesTheStationsAndTheSettings) {
  if (!ProgramAvailable("Xvfb")) GTEST_SKIP() << "no Xvfb";
  const std::string display = StartDisplay();
  ASSERT_NE(display, "") << "Xvfb named no display";
  auto program = StartVelmora(display);
  HearStations();
  const int code = EndAndWait(*program, [&] { display_server->Stop(); });
  EXPECT_EQ(code, 1);
  EXPECT_NE(ProgramLog().find("X11 connection broke"), std::string::npos) << ProgramLog();
  ExpectStationsSaved();
  ExpectSettingsSaved();
}

// The TNC's bridge ends, and while the box telling so waits for its click the display
// goes: the reader waiting for that box lets go, and the program ends by itself.
TEST_F(ProgramEndTest, ALostDisplayEndsTheProgramAtTheBoxOfALostDevice) {
  if (!ProgramAvailable("Xvfb") || !ProgramAvailable("xdotool")) GTEST_SKIP() << "no Xvfb";
  const std::string display = StartDisplay();
  ASSERT_NE(display, "") << "Xvfb named no display";
  auto program = StartVelmora(display);
  HearStations();
  const std::set<std::string> before = ShownWindows(display);
  tnc.HangUp();
  bool box = false;
  for (int waited = 0; !box; waited += 20) {
    ASSERT_LT(waited, 120000) << "no box told of the lost TNC";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (const std::string& window : ShownWindows(display)) box |= before.count(window) == 0;
  }
  EXPECT_EQ(EndAndWait(*program, [&] { display_server->Stop(); }), 1) << ProgramLog();
  ExpectStationsSaved();
}

// Frames pour in from the TNC as the display goes: the program ends by itself, with
// the station heard last saved and the TNC's terminal free for the next opener.
TEST_F(ProgramEndTest, ALostDisplayEndsTheProgramWhileFramesPourIn) {
  if (!ProgramAvailable("Xvfb")) GTEST_SKIP() << "no Xvfb";
  const std::string display = StartDisplay();
  ASSERT_NE(display, "") << "Xvfb named no display";
  auto program = StartVelmora(display);
  HearStations();
  // Each round: 200 stations, then one more and its message, acknowledged once heard.
  std::vector<uint8_t> round;
  const auto add = [&round](const std::string& Source, const std::string& Info) {
    const TKissBuildResult frame = BuildKissFrame(Source, "APRS", Info);
    round.insert(round.end(), frame.Bytes.begin(), frame.Bytes.end());
  };
  for (int n = 0; n < 200; ++n)
    add(Format("DL%dX", n), Format("!%02d00.00N/00%d00.00E>", 40 + n % 10, n % 10));
  add("DL1DDD", "!4000.00N/00500.00E>the last");
  add("DL1DDD", ":N0CALL   :bye{8");
  std::atomic<bool> pouring{true};
  std::thread frames([&] {
    while (pouring && tnc.Send(round)) {
    }
  });
  const bool heard = ReadTncUntil(":DL1DDD   :ack8") != "";
  const int code = EndAndWait(*program, [&] { display_server->Stop(); });
  pouring = false;
  frames.join();
  ASSERT_TRUE(heard) << "the last station was never heard";
  EXPECT_EQ(code, 1) << ProgramLog();
  ExpectStationsSaved({"DL1AAA", "DL1BBB", "DL1CCC", "DL1DDD"});
  EXPECT_FALSE(tnc.MarkedExclusive());
}

// A reception sound the audio output cannot take (eight channels of 32-bit float at
// 192 kHz, 4 bytes of a 32-byte frame) is passed over: the spelled call after it is
// heard to its end, and a signal ends the program at once, with nothing at its end
// waiting on the sound server.
TEST_F(ProgramEndTest, ASoundTheOutputRefusesHoldsNothingUp) {
  TNullSinkServer sound;
  if (!sound.Missing().empty()) GTEST_SKIP() << sound.Missing();
  // Its events in English, as they are looked for below.
  TChildProcess streams(sound.Env() + "LC_ALL=C exec pactl subscribe", folder + "streams.txt");
  const auto wave = [](int Tag, int Channels, int Rate, int Bits, const std::string& Samples) {
    std::string out;
    const auto put = [&out](uint32_t Value, int Bytes) {
      for (int i = 0; i < Bytes; ++i) out += static_cast<char>((Value >> (8 * i)) & 0xFF);
    };
    out += "RIFF";
    put(36 + Samples.size(), 4);
    out += "WAVEfmt ";
    put(16, 4), put(Tag, 2), put(Channels, 2), put(Rate, 4);
    put(Rate * Channels * Bits / 8, 4), put(Channels * Bits / 8, 2), put(Bits, 2);
    out += "data";
    put(Samples.size(), 4);
    return out + Samples;
  };
  std::filesystem::create_directories(folder + "Sound/Talk");
  WriteFile(folder + "Sound/NewRx.wav", wave(3, 8, 192000, 32, std::string(4, '\0')));
  WriteFile(folder + "Sound/Talk/D.wav", wave(1, 1, 8000, 16, std::string(1600, '\0')));
  auto program = StartVelmora({}, sound.Env());
  HearStations();
  std::string heard;
  for (int waited = 0; heard.find("'remove' on sink-input") == std::string::npos; waited += 20) {
    ASSERT_LT(waited, TNullSinkServer::kPatienceMs) << "no sound was heard to its end\n"
                                                    << heard << ProgramLog();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    LoadFileToString(heard, folder + "streams.txt");
  }
  EXPECT_EQ(EndAndWait(*program, [&] { program->Terminate(); }), 0) << ProgramLog();
  ExpectStationsSaved();
}

}  // namespace

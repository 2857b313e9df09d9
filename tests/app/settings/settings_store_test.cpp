#include "app/settings/settings_store.h"

#include <gtest/gtest.h>

#include "app/app_windows.h"
#include "app/language/speak_file.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/program/frm_main.h"
#include "app/receive/frm_log.h"
#include "app/settings/frm_setup.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"
#include "platform/test_support/gui_test_support.h"

namespace {

constexpr const char* kOwnCallWarning =
    "F\xFCr die Funktion von Velmora,\r\nbitte das eigene Rufzeichen in den Einstellungen "
    "eingeben!";

class SettingsStoreTest : public AppWindowsTest {
 protected:
  // As the program starts: the language's name first, then the rest, from one store.
  static void LoadFromStore() {
    TRegistry reg;
    LoadLanguageChoice(*frmSetup, reg);
    LoadSettings(*frmSetup, reg);
  }
  // Saves, answering the version notice of a first save.
  void Save(std::string* Notice = nullptr) {
    AnswerNextMyMsgBox(Notice);
    SaveSettings(*frmSetup);
  }
  void Load(std::string* Warning = nullptr) {
    AnswerNextMyMsgBox(Warning);
    LoadFromStore();
  }
  static void WriteValue(const std::string& Key, const std::string& Name, int Value) {
    TRegistry reg;
    reg.OpenKey(Key, true);
    reg.WriteInteger(Name, Value);
  }
  static void WriteText(const std::string& Key, const std::string& Name, const std::string& Value) {
    TRegistry reg;
    reg.OpenKey(Key, true);
    reg.WriteString(Name, Value);
  }
};

TEST_F(SettingsStoreTest, FirstStartShowsDefaultsAndTheCallsignWarning) {
  std::string warning;
  Load(&warning);
  EXPECT_EQ(warning, kOwnCallWarning);
  TfrmSetup& s = *frmSetup;
  EXPECT_EQ(s.mfcbxDevice->ItemIndex(), 0);
  EXPECT_EQ(s.mfcbxPortGps->ItemIndex(), 1);
  EXPECT_EQ(s.mfcbxPortWx->ItemIndex(), 2);
  EXPECT_EQ(s.edtPathP1->Text(), "APRS");
  EXPECT_EQ(s.edtInfoP2->Text(), "Using the new Velmora from Quandel! {Velmora}");
  EXPECT_EQ(s.edtWxStatusP2->Text(), "Velmora - Wetterstation");
  EXPECT_EQ(s.nedtTimPosP1->IntIst(), 15);
  EXPECT_EQ(s.nedtTimStatusP2->IntIst(), 20);
  EXPECT_EQ(s.mfcbxWxSsidP1->ItemIndex(), 11);
  EXPECT_EQ(s.mfcbxWxSsidP1->Text(), "-11");
  EXPECT_TRUE(s.mbtnComp->Down());
  EXPECT_TRUE(s.mbtnSoundCall->Down());
  EXPECT_FALSE(s.mbtnWind->Down());
  EXPECT_EQ(s.nedtStnDelete->IntIst(), 120);
  EXPECT_EQ(s.nedtStnInfoTrans->IntIst(), 15);
  EXPECT_EQ(s.edtCrdDir->Text(), PrgDir() + "APRS-Karten/");
  EXPECT_EQ(s.mfcbxTcpServer->ItemIndex(), -1);
  EXPECT_EQ(s.mfcbxSpk->Text(), "deutsch.spk");
  EXPECT_EQ(s.medtLati->Text(),
            "00\xB0"
            "00.00 N");
  EXPECT_EQ(frmMain->Width(), 750);
  EXPECT_EQ(frmMain->Height(), 550);
  EXPECT_EQ(frmAprs->MonitorHeight(), 50);
  // The settings are applied: beacon timers and bars follow the intervals.
  EXPECT_TRUE(s.timPosP1->Enabled());
  EXPECT_EQ(s.timPosP1->Interval(), 15u * 60000u);
  EXPECT_FALSE(s.timWxP1->Enabled());
  EXPECT_EQ(frmAprs->mpbTimPosP1->Max(), 15 * 60);
}

// Server.dat is a short list: an overlong entry is left out, the list ends at a thousand
// entries, and a file too large to be one is not read at all.
TEST_F(SettingsStoreTest, TheServerListIsBounded) {
  std::string text = "first.example.org:14580\n" + std::string(300, 'x') + "\n";
  for (int i = 0; i < 1500; ++i) text += "s" + std::to_string(i) + ".example.org:14580\n";
  WriteFile(PrgDir() + "Server.dat", text);
  Load();
  const TStrings& items = frmSetup->mfcbxTcpServer->Items();
  ASSERT_EQ(items.Count(), 1000);
  EXPECT_EQ(items[0], "first.example.org:14580");
  EXPECT_EQ(items[1], "s0.example.org:14580");
  frmSetup->mfcbxTcpServer->Items().Clear();
  WriteFile(PrgDir() + "Server.dat", "first.example.org:14580\n" + std::string(5 << 20, 'x'));
  std::vector<std::string> texts;
  AnswerMyMsgBoxes(texts, 2);  // the server list's box, then the callsign warning
  LoadFromStore();
  EXPECT_EQ(frmSetup->mfcbxTcpServer->Items().Count(), 0);
  ASSERT_EQ(texts.size(), 2u);
  texts.pop_back();
  EXPECT_EQ(texts,
            std::vector<std::string>{"The server list \"" + PrgDir() +
                                     "Server.dat\" was not read: it is larger than 256 KiB."});
}

TEST_F(SettingsStoreTest, SaveAndLoadRoundTrip) {
  WriteFile(PrgDir() + "Server.dat",
            "first.example.org:14580 ;one\nsecond.example.org:10152 ;two\n");
  Load();
  TfrmSetup& s = *frmSetup;
  s.mfcbxDevice->SetItemIndex(kDevicePtc2);
  s.mfcbxPort->SetItemIndex(4);
  s.mfcbxWxDevice->SetItemIndex(kWxDeviceText);
  s.mbtnRain->SetDown(true);
  s.edtCallP1->SetText("N0CALL-9");
  s.edtCallP2->SetText("N0CALL-2");
  s.edtStatusP2->SetText("Port zwei");
  // Beacon texts typed: in Greek, and in the code page, whose bytes older settings read.
  const std::u16string greek = u"\u03A3\u03BF 73";
  const std::u16string umlauts =
      u"Gr\u00FC\u00DF"
      "e";
  for (TEdit* edit : {s.edtStatusP1, s.edtInfoP2, s.edtWxStatusP1, s.edtInfoP1}) {
    edit->SetText("");
    SimulateUnicodeKey(*edit, 0, edit == s.edtInfoP1 ? umlauts : greek);
  }
  s.nedtTimPosP2->SetIntIst(42);
  s.mfcbxWxSsidP2->SetItemIndex(0);
  s.medtLati->SetText(
      "52\xB0"
      "30.50 N");
  s.mbtnComp->SetDown(false);
  s.mfcbxSpk->SetText("english.spk");
  s.mfcbxTemp->SetItemIndex(1);
  s.mfcbxTcpServer->SetItemIndex(1);
  s.edtTcpFilter->SetText("r/52/13/100");
  // The map folder, a folder named in Greek typed at the end of the program's.
  const std::string maps = PrgDir() + "\xCF\x87\xCE\xAC\xCF\x81\xCF\x84\xCE\xB5\xCF\x82/";
  ASSERT_TRUE(ForceDirectories(maps));
  s.edtCrdDir->SetText(PrgDir());
  SimulateKey(*s.edtCrdDir, VK_END);
  SimulateUnicodeKey(*s.edtCrdDir, 0, u"\u03C7\u03AC\u03C1\u03C4\u03B5\u03C2/");
  s.nedtVNR->SetIntIst(12345);
  SymCodeP1 = '>';
  frmAprs->mbtnGps->SetDown(true);
  frmAprs->AprsMapFile = "Berlin.jpg";
  frmAprsMsg->MsgNr = 77;
  frmLog->mbtnFilter->SetDown(true);
  frmLog->memFilter->SetText("DL*");
  frmMain->SetBounds(12, 34, 800, 600);
  std::string notice;
  Save(&notice);
  EXPECT_EQ(notice, "Setup Version aktualisiert.");

  // Everything back to other values, then load.
  s.mfcbxDevice->SetItemIndex(0);
  s.edtCallP1->SetText("");
  s.edtStatusP2->SetText("");
  for (TEdit* edit : {s.edtStatusP1, s.edtInfoP2, s.edtWxStatusP1, s.edtInfoP1}) {
    edit->SetText("");
  }
  s.nedtTimPosP2->SetIntIst(1);
  s.mbtnComp->SetDown(true);
  s.mfcbxSpk->SetText("");
  s.mfcbxTcpServer->SetItemIndex(-1);
  s.edtCrdDir->SetText("");
  frmAprs->MapDir = "";
  SymCodeP1 = '-';
  frmAprs->mbtnGps->SetDown(false);
  frmAprsMsg->MsgNr = 0;
  frmLog->mbtnFilter->SetDown(false);
  frmMain->SetBounds(0, 0, 100, 100);
  LoadFromStore();  // a callsign is set: no warning

  EXPECT_EQ(s.mfcbxDevice->ItemIndex(), kDevicePtc2);
  EXPECT_EQ(s.mfcbxPort->ItemIndex(), 4);
  EXPECT_EQ(s.mfcbxWxDevice->ItemIndex(), kWxDeviceText);
  EXPECT_TRUE(s.mbtnRain->Down());
  EXPECT_FALSE(s.mbtnWind->Down());
  EXPECT_EQ(s.edtCallP1->Text(), "N0CALL-9");
  EXPECT_EQ(s.edtCallP2->Text(), "N0CALL-2");
  EXPECT_EQ(s.edtStatusP2->Text(), "Port zwei");
  EXPECT_EQ(s.edtStatusP1->TextW(), greek);
  EXPECT_EQ(s.edtInfoP2->TextW(), greek);
  EXPECT_EQ(s.edtWxStatusP1->TextW(), greek);
  EXPECT_EQ(s.edtInfoP1->TextW(), umlauts);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Station", false));
    EXPECT_EQ(reg.ReadString("InfoP1"),
              "Gr\xFC\xDF"
              "e");
  }
  EXPECT_EQ(s.nedtTimPosP2->IntIst(), 42);
  EXPECT_EQ(s.mfcbxWxSsidP2->ItemIndex(), 0);
  EXPECT_EQ(s.medtLati->Text(),
            "52\xB0"
            "30.50 N");
  EXPECT_FALSE(s.mbtnComp->Down());
  EXPECT_EQ(s.mfcbxSpk->Text(), "english.spk");
  EXPECT_EQ(s.mfcbxTemp->ItemIndex(), 1);
  EXPECT_EQ(s.mfcbxTcpServer->Items().Count(), 2);
  EXPECT_EQ(s.mfcbxTcpServer->ItemIndex(), 1);
  EXPECT_EQ(s.edtTcpFilter->Text(), "r/52/13/100");
  EXPECT_EQ(s.edtCrdDir->Text(), maps);
  EXPECT_EQ(frmAprs->MapDir, maps);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", false));
    EXPECT_EQ(reg.ReadString("CrdDir"), maps);
  }
  EXPECT_EQ(s.nedtVNR->IntIst(), 12345);
  EXPECT_EQ(SymCodeP1, '>');
  EXPECT_TRUE(frmAprs->mbtnGps->Down());
  EXPECT_EQ(frmAprs->AprsMapFile, "Berlin.jpg");
  EXPECT_EQ(frmAprsMsg->MsgNr, 77);
  EXPECT_TRUE(frmLog->mbtnFilter->Down());
  EXPECT_TRUE(frmLog->mpnlFilter->Visible());
  EXPECT_EQ(frmLog->memFilter->Text(), "DL*");
  EXPECT_EQ(frmMain->Left(), 12);
  EXPECT_EQ(frmMain->Top(), 34);
  EXPECT_EQ(frmMain->Width(), 800);
  EXPECT_EQ(frmMain->Height(), 600);
  // The applied fixed position.
  EXPECT_NEAR(s.OwnLat, 52.508333, 1e-6);
  // A second save finds the version and says nothing.
  SaveSettings(*frmSetup);
}

TEST_F(SettingsStoreTest, MaximisedFrameKeepsTheDefaultRestoreSize) {
  Load();
  frmSetup->edtCallP1->SetText("N0CALL");
  frmMain->SetWindowState(wsMaximized);
  Save();
  frmMain->SetWindowState(wsNormal);
  LoadFromStore();
  EXPECT_EQ(frmMain->WindowState(), wsMaximized);
  frmMain->SetWindowState(wsNormal);
  EXPECT_EQ(frmMain->Width(), 750);
  EXPECT_EQ(frmMain->Height(), 550);
}

TEST_F(SettingsStoreTest, WrongTypesAndRangesCountAsAbsent) {
  const std::string device = "\\Software\\Velmora\\Programm\\Device";
  const std::string station = "\\Software\\Velmora\\Programm\\Station";
  WriteText(device, "Device", "5");
  WriteValue(device, "WxWind", 1);
  WriteValue(device, "WxRain", 7);
  WriteValue(device, "COM-Port", 99);
  WriteValue(station, "TimPos1", 500);
  WriteValue(station, "SymCodeP1", 300);
  WriteValue(station, "CallP1", 12);
  WriteText(station, "Power", "viel");
  Load();
  TfrmSetup& s = *frmSetup;
  EXPECT_EQ(s.mfcbxDevice->ItemIndex(), 0);
  EXPECT_TRUE(s.mbtnWind->Down());
  EXPECT_FALSE(s.mbtnRain->Down());
  EXPECT_EQ(s.mfcbxPort->ItemIndex(), 0);
  EXPECT_EQ(s.nedtTimPosP1->IntIst(), 15);
  EXPECT_EQ(SymCodeP1, '-');
  EXPECT_EQ(s.edtCallP1->Text(), "");
  EXPECT_EQ(s.nedtPower->IntIst(), 4);
}

// A call stored in lower case is the call as typed: it goes out, and is answered, in
// upper case.
TEST_F(SettingsStoreTest, ALowerCaseCallIsLoadedAsTyped) {
  const std::string station = "\\Software\\Velmora\\Programm\\Station";
  WriteText(station, "CallP1", "n0call-5");
  WriteText(station, "PathP2", "wide1-1");
  WriteText(station, "InfoP1", "Velmora im Test");
  Load();
  EXPECT_EQ(frmSetup->edtCallP1->Text(), "N0CALL-5");
  EXPECT_EQ(frmSetup->edtPathP2->Text(), "WIDE1-1");
  EXPECT_EQ(frmSetup->edtInfoP1->Text(), "Velmora im Test");
}

TEST_F(SettingsStoreTest, OlderSetupVersionWipesTheStore) {
  WriteText("\\Software\\Velmora", "SetVer", "1.0");
  WriteText("\\Software\\Velmora\\Other", "Stale", "x");
  Load();
  std::string notice;
  Save(&notice);
  EXPECT_EQ(notice, "Setup Version aktualisiert.");
  TRegistry reg;
  EXPECT_FALSE(reg.KeyExists("\\Software\\Velmora\\Other"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Velmora", false));
  EXPECT_EQ(reg.ReadString("SetVer"), "1.1");
  EXPECT_EQ(reg.ReadString("PrgVer"), "1.2");
}

TEST_F(SettingsStoreTest, LanguageChangeKeepsLoadedSettings) {
  WriteText("\\Software\\Velmora\\Programm\\Station", "CallP1", "N0CALL");
  WriteValue("\\Software\\Velmora\\Programm\\Programm", "UnitWindSpeed", 3);
  LoadFromStore();
  WriteSpeakFile(
      "english.spk", "1.2",
      {R"("frmSetup";"edtCallP1";"TEdit";"";"Own callsign of port 1")",
       R"("frmSetup";"mfcbxWindSpeed";"TMyFlatCombobox";"km/h%cr%m/s%cr%mph%cr%kn";"")"});
  ASSERT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  EXPECT_EQ(frmSetup->edtCallP1->Text(), "N0CALL");
  EXPECT_EQ(frmSetup->mfcbxWindSpeed->ItemIndex(), 3);
  EXPECT_EQ(frmSetup->WindFromMph(10), 9);
}

}  // namespace

#include "app/settings/frm_setup.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "app/app_windows.h"
#include "app/language/speak_file.h"
#include "app/map/aprs_symbols.h"
#include "app/map/frm_aprs.h"
#include "app/map/map_view.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/program/frm_main.h"
#include "app/receive/tnc_link.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "core/kiss_link.h"
#include "core/locator.h"
#include "core/my_tools.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/standard/open_dialog.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/string_list.h"

namespace {

using SetupTest = AppWindowsTest;

TEST_F(SetupTest, UnitConversions) {
  TfrmSetup& s = *frmSetup;
  s.mfcbxWindSpeed->SetItemIndex(3);
  EXPECT_EQ(s.WindFromMph(10), 9);
  EXPECT_EQ(s.WindUnitName(), "kts");
  s.mfcbxWindSpeed->SetItemIndex(0);
  EXPECT_EQ(s.WindFromMph(10), 16);
  s.mfcbxRain->SetItemIndex(0);
  EXPECT_EQ(s.RainFromHundredthInch(100), 25);
  s.mfcbxRain->SetItemIndex(1);
  EXPECT_EQ(s.RainFromHundredthInch(100), 100);
  s.mfcbxTemp->SetItemIndex(0);
  EXPECT_EQ(s.TempFromFahrenheit(212), 100);
  EXPECT_EQ(s.TempFromFahrenheit(-40), -40);
  s.mfcbxSpeed->SetItemIndex(1);
  EXPECT_EQ(s.SpeedFromKnots(10), 12);
  s.mfcbxHeight->SetItemIndex(0);
  EXPECT_EQ(s.HeightToFeet(10), 33);
  EXPECT_EQ(s.HeightFromFeet(1000), 305);
  EXPECT_EQ(s.HeightUnitName(), "m");
  // Halves go to the even neighbour: 5 knots is 9.25992 km/h, 2.5 m is 8.2 ft.
  s.mfcbxSpeed->SetItemIndex(0);
  EXPECT_EQ(s.SpeedFromKnots(5), 9);
  s.mfcbxTemp->SetItemIndex(-1);
  EXPECT_EQ(s.TempFromFahrenheit(50), 0);
  EXPECT_EQ(s.TempUnitName(), "?");
}

// The own position is read once for many stations: a moved one counts from the next
// station on.
TEST_F(SetupTest, DistancesFollowTheOwnPosition) {
  TfrmSetup& s = *frmSetup;
  const auto check = [&s](double Lat, double Lon) {
    double distance = -1, bearing = -1, want_distance = -1, want_bearing = -1;
    bool want_ok = false;
    QthDistanceBearing(LatLonToText(s.OwnLon, s.OwnLat), LatLonToText(Lon, Lat), want_distance,
                       want_ok, want_bearing);
    EXPECT_EQ(s.QrbFromOwnPos(Lat, Lon, distance, bearing), want_ok);
    EXPECT_EQ(distance, want_distance);
    EXPECT_EQ(bearing, want_bearing);
    return distance;
  };
  s.OwnLat = 52.5;
  s.OwnLon = 13.4;
  const double from_berlin = check(48.1, 11.6);
  EXPECT_NEAR(from_berlin, 504, 5);
  s.OwnLon = -3.7;
  s.OwnLat = 40.4;
  EXPECT_NE(check(48.1, 11.6), from_berlin);
  // The own position itself: no distance.
  EXPECT_EQ(check(40.4, -3.7), 0);
}

TEST_F(SetupTest, DeviceTable) {
  TfrmSetup& s = *frmSetup;
  ASSERT_EQ(s.mfcbxDevice->Items().Count(), kDeviceCount);
  for (int device = 0; device < kDeviceCount; ++device) {
    s.mfcbxDevice->SetItemIndex(device);
    EXPECT_EQ(s.IsDualPortDevice(), device == 5 || device == 8) << device;
  }
  s.mfcbxDevice->SetItemIndex(0);
  EXPECT_EQ(s.TncIniFileName(true), "");
  s.mfcbxDevice->SetItemIndex(7);
  EXPECT_EQ(s.TncIniFileName(true), PrgDir() + "TNC-1P ini.ini");
  EXPECT_EQ(s.TncIniFileName(false), PrgDir() + "TNC-1P deini.ini");
  s.mfcbxDevice->SetItemIndex(6);
  EXPECT_EQ(s.TncIniFileName(true), PrgDir() + "TNC-1P ini.ini");
  s.mfcbxWxDevice->SetItemIndex(0);
  EXPECT_FALSE(s.IsWxDeviceOn());
  s.mfcbxWxDevice->SetItemIndex(kWxDeviceText);
  EXPECT_TRUE(s.IsWxDeviceOn());
}

TEST_F(SetupTest, CommandFilesFollowTheDevice) {
  TfrmSetup& s = *frmSetup;
  WriteFile(PrgDir() + "TNC-1P ini.ini", "KISS ON\r\n;comment\r\n");
  s.mfcbxDevice->SetItemIndex(7);
  s.mfcbxDeviceChange(s.mfcbxDevice);
  EXPECT_EQ(s.memIni->Lines().Count(), 2);
  EXPECT_EQ(s.memDeini->Lines().Count(), 0);
  EXPECT_TRUE(s.memIni->Visible());
  EXPECT_TRUE(s.mfcbxPort->Visible());
  EXPECT_FALSE(s.mpnlStnP2->Visible());
  EXPECT_FALSE(frmAprsMsg->mbtnTxP2->Visible());
  // A command typed in any script is stored, and sent, as typed: never as '?'.
  SimulateUnicodeKey(*s.memDeini, 0, u"KISS OFF \u03A9");
  s.SaveTncIniFiles();
  std::string saved;
  LoadFileToString(saved, PrgDir() + "TNC-1P deini.ini");
  EXPECT_EQ(saved, "KISS OFF \xCE\xA9\r\n");
  // Device 6 shares the files.
  s.mfcbxDevice->SetItemIndex(6);
  s.mfcbxDeviceChange(s.mfcbxDevice);
  EXPECT_EQ(s.memDeini->Lines().Get(0), "KISS OFF \xCE\xA9");
  EXPECT_EQ(s.memDeini->TextW(), u"KISS OFF \u03A9");
  s.mfcbxDevice->SetItemIndex(kDeviceTnc3);
  s.mfcbxDeviceChange(s.mfcbxDevice);
  EXPECT_TRUE(s.mpnlStnP2->Visible());
  EXPECT_TRUE(frmAprsMsg->mbtnTxP2->Visible());
  // "OFF" hides port, baud rate and memos and builds no file name.
  s.mfcbxDevice->SetItemIndex(0);
  s.mfcbxDeviceChange(s.mfcbxDevice);
  EXPECT_FALSE(s.memIni->Visible());
  EXPECT_FALSE(s.mfcbxBaud->Visible());
  EXPECT_EQ(s.memIni->Lines().Count(), 0);
  s.SaveTncIniFiles();
  EXPECT_FALSE(FileExists(PrgDir() + " ini.ini"));
}

TEST_F(SetupTest, ApplySetsTimersTransparencyAndPosition) {
  TfrmSetup& s = *frmSetup;
  s.nedtTimPosP1->SetIntIst(0);
  s.nedtTimStatusP1->SetIntIst(30);
  s.nedtTimWxP2->SetIntIst(5);
  s.nedtStnInfoTrans->SetIntIst(50);
  s.nedtStnDelete->SetIntIst(0);
  s.medtLati->SetText(
      "52\xB0"
      "30.00 S");
  s.medtLong->SetText(
      "013\xB0"
      "15.00 X");
  s.mfcbxPortGps->SetItemIndex(3);
  s.mfcbxBaudGps->SetItemIndex(1);
  s.ApplySettings();
  EXPECT_FALSE(s.timPosP1->Enabled());
  EXPECT_FALSE(frmAprs->mpbTimPosP1->Visible());
  EXPECT_TRUE(s.timStatusP1->Enabled());
  EXPECT_EQ(s.timStatusP1->Interval(), 30u * 60000u);
  EXPECT_EQ(frmAprs->mpbTimStaP1->Max(), 1800);
  EXPECT_TRUE(s.timWxP2->Enabled());
  EXPECT_TRUE(frmAprsStnInfo->AlphaBlend());
  EXPECT_EQ(frmAprsStnInfo->AlphaBlendValue(), 127);
  EXPECT_FALSE(frmAprs->timStnDelete->Enabled());
  EXPECT_EQ(s.LatMaskToAprs(), "5230.00S");
  EXPECT_EQ(s.LonMaskToAprs(), "01315.00E");
  EXPECT_DOUBLE_EQ(s.OwnLat, -52.5);
  EXPECT_DOUBLE_EQ(s.OwnLon, 13.25);
  EXPECT_EQ(frmGpsStatus->GpsRxMain->ComPort, 4);
  EXPECT_EQ(frmGpsStatus->GpsRxMain->Baudrate, 9600);
  s.nedtStnInfoTrans->SetIntIst(0);
  s.ApplySettings();
  EXPECT_FALSE(frmAprsStnInfo->AlphaBlend());
}

TEST_F(SetupTest, PositionKeys) {
  TfrmSetup& s = *frmSetup;
  for (char key : {'5', 's', 'N', '\b'}) {
    char typed = key;
    s.PosKeyPress(s.medtLati, typed);
    EXPECT_EQ(typed, key);
  }
  for (char key : {'e', 'x', '.', ' '}) {
    char typed = key;
    s.PosKeyPress(s.medtLati, typed);
    EXPECT_EQ(typed, 0) << key;
  }
  char typed = 'w';
  s.PosKeyPress(s.medtLong, typed);
  EXPECT_EQ(typed, 'w');
}

// Typed as a user types it: digits overwrite the zeros, the caret steps over the degree
// sign, the point and the blank.
TEST_F(SetupTest, ThePositionIsTypedIntoTheMask) {
  TfrmSetup& s = *frmSetup;
  auto type = [](TMaskEdit& edit, const std::string& keys) {
    SimulateKey(edit, VK_HOME);
    for (char c : keys) {
      const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      SimulateKey(edit, TKeyCode(upper), std::string(1, c));
    }
  };
  type(*s.medtLati, "523012s");
  type(*s.medtLong, "01324567w");
  EXPECT_EQ(s.medtLati->Text(),
            "52\xB0"
            "30.12 S");
  EXPECT_EQ(s.medtLong->Text(),
            "013\xB0"
            "24.56 W");
  s.ApplySettings();
  EXPECT_NEAR(s.OwnLat, -(52 + 30.12 / 60), 1e-9);
  EXPECT_NEAR(s.OwnLon, -(13 + 24.56 / 60), 1e-9);
}

// The map folder chosen in the settings is the one zooming uses after the apply.
TEST_F(SetupTest, ApplyRebuildsTheMapCatalogueOfTheNewFolder) {
  const std::string folder = PrgDir() + "Other maps/";
  std::filesystem::create_directories(folder);
  TBitmap map;
  map.SetSize(20, 10);
  map.SaveToFile(folder + "Region.bmp");
  WriteFile(folder + "Region.DAT", "50:00.00N/000:00.00E\r\n40:00.00N/020:00.00E\r\nRegion\r\n");
  frmSetup->edtCrdDir->SetText(folder);
  frmSetup->mbtnChangeClick(frmSetup->mbtnChange);
  EXPECT_EQ(frmAprs->MapDir, folder);
  EXPECT_EQ(frmAprs->Map->MapDir, folder);
  ASSERT_EQ(frmAprs->Map->MapCatalog.Count(), 1);
  EXPECT_NE(frmAprs->Map->MapCatalog[0].find("Region.bmp"), std::string::npos);
}

TEST_F(SetupTest, WeatherTextFile) {
  TfrmSetup& s = *frmSetup;
  const std::string file = PrgDir() + "wx.txt";
  WriteFile(file, "Header\r\n270/010g015t068\r\n");
  s.edtWxFile->SetText(" " + file + " ");
  s.ReadWxTextFile();
  EXPECT_EQ(s.WxText, "270/010g015t068");
  EXPECT_TRUE(frmAprs->bmpmWx->Active());

  WriteFile(file, "only one line\r\n");
  std::string text;
  AnswerNextMyMsgBox(&text);
  s.ReadWxTextFile();
  EXPECT_EQ(s.WxText, "");
  EXPECT_EQ(text, "WX-Text file \"" + file + "\" format error!");
  EXPECT_FALSE(frmAprs->bmpmWx->Active());

  // The line goes out as a beacon: a NUL or another control byte in it would cut or
  // garble the packet.
  for (const std::string& line : {std::string("270/010g\0"
                                              "15t068",
                                              15),
                                  std::string("270/010\x1b")}) {
    WriteFile(file, "Header\n" + line + "\n");
    AnswerNextMyMsgBox(&text);
    s.ReadWxTextFile();
    EXPECT_EQ(s.WxText, "");
    EXPECT_EQ(text, "WX-Text file \"" + file + "\" format error!");
  }

  AnswerNextMyMsgBox(&text);
  s.edtWxFile->SetText(file + ".gone");
  s.ReadWxTextFile();
  EXPECT_EQ(text, "WX-Text file \"" + file + ".gone\" not found!");
}

TEST_F(SetupTest, WeatherChoiceShowsPortOrFile) {
  TfrmSetup& s = *frmSetup;
  s.mfcbxWxDevice->SetItemIndex(kWxDeviceWmr918);
  s.mfcbxWxDeviceChange(s.mfcbxWxDevice);
  EXPECT_TRUE(s.mfcbxPortWx->Visible());
  EXPECT_FALSE(s.edtWxFile->Visible());
  s.mfcbxWxDevice->SetItemIndex(kWxDeviceText);
  s.mfcbxWxDeviceChange(s.mfcbxWxDevice);
  EXPECT_FALSE(s.mfcbxPortWx->Visible());
  EXPECT_TRUE(s.edtWxFile->Visible());
  EXPECT_TRUE(s.mbtnWxFile->Visible());
}

// A file named in Greek is listed as it is written, and chosen by that name; one named in
// Latin-1, no UTF-8, by the bytes the file system holds, also once stored and set again
// as the next start does.
TEST_F(SetupTest, LanguageListOffersValidFilesOnly) {
  TfrmSetup& s = *frmSetup;
  const std::string greek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.spk";
  const std::string latin1 =
      "fran\xE7"
      "ais.spk";
  WriteSpeakFile("english.spk", "1.2", {});
  WriteSpeakFile("deutsch.spk", "1.2", {});
  WriteSpeakFile(greek, "1.2", {});
  WriteSpeakFile(latin1, "1.2", {});
  WriteFile(SpkDir + "broken.spk", "not a language file");
  s.mfcbxSpk->SetText("deutsch.spk");
  s.FillLanguageList();
  ASSERT_EQ(s.mfcbxSpk->Items().Count(), 4);
  EXPECT_EQ(s.mfcbxSpk->Items()[0], "deutsch.spk");
  EXPECT_EQ(s.mfcbxSpk->Text(), "deutsch.spk");
  s.mfcbxSpk->SetItemIndex(s.mfcbxSpk->Items().IndexOf(greek));
  EXPECT_EQ(s.mfcbxSpk->TextW(), u"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC.spk");
  EXPECT_EQ(s.mfcbxSpk->Text(), greek);
  s.FillLanguageList();
  EXPECT_EQ(s.mfcbxSpk->Text(), greek);
  s.mfcbxSpk->SetItemIndex(s.mfcbxSpk->Items().IndexOf(latin1));
  EXPECT_EQ(s.mfcbxSpk->Text(), latin1);
  const std::string stored = s.mfcbxSpk->Text();
  s.mfcbxSpk->SetText("english.spk");
  s.mfcbxSpk->SetText(stored);
  EXPECT_EQ(s.mfcbxSpk->Text(), latin1);
  EXPECT_EQ(LoadSpeakFile(s.mfcbxSpk->Text(), true), kSpeakLoaded);
}

// A language typed into the box rather than picked from its list is loaded when the
// settings are applied.
TEST_F(SetupTest, ALanguageTypedIntoTheBoxIsLoadedOnApply) {
  TfrmSetup& s = *frmSetup;
  WriteSpeakFile("english.spk", "1.2", {R"("frmSetup";"lblDevice";"TLabel";"Device";"")"});
  WriteSpeakFile("deutsch.spk", "1.2", {"\"frmSetup\";\"lblDevice\";\"TLabel\";\"Ger\xE4t\";\"\""});
  ASSERT_EQ(LoadSpeakFile("deutsch.spk", false), kSpeakLoaded);
  const auto device = [&s] {
    return static_cast<TLabel*>(s.FindComponent("lblDevice"))->Caption();
  };
  s.mfcbxSpk->SetText("english.spk");
  s.mbtnChange->Click();
  EXPECT_EQ(device(), "Device");
  s.mfcbxSpk->SetText("deutsch.spk");
  s.mbtnOk->Click();
  EXPECT_EQ(device(), "Ger\xE4t");
}

// What is typed, in any layout, is taken as it goes out: an address only in what a
// callsign holds, in upper case; the server filter and symbols in ASCII; a file name in
// the file system's bytes. Nothing typed is left to go out as '?'.
TEST_F(SetupTest, TypedTextIsTakenAsItGoesOut) {
  TfrmSetup& s = *frmSetup;
  struct TCase {
    TEdit* edit;
    std::u16string typed;
    std::string taken;
  };
  const TCase cases[] = {
      {s.edtCallP1, u"dl1\u0394\u039Babc-7 ", "DL1ABC-7"},
      {s.edtCallP2, u"\u0414\u041B1\u0410\u0411\u0426", "1"},
      {s.edtPathP1, u"apRS,wide1-1 \u03A9wide2-2", "APRS,WIDE1-1 WIDE2-2"},
      {s.edtPathP2, u"\u00C4PRS", "PRS"},
      {s.edtTcpFilter, u"r/52/13/100 \u03C0 b/DL*", "r/52/13/100  b/DL*"},
      {s.edtSymCode, u"\u03B1", ""},
      {s.edtSymTab, u"\u03B2", ""},
      {s.edtWxFile, u"/tmp/\u03BA\u03B1\u03B9\u03C1\u03CC\u03C2.txt",
       "/tmp/\xCE\xBA\xCE\xB1\xCE\xB9\xCF\x81\xCF\x8C\xCF\x82.txt"},
  };
  for (const TCase& c : cases) {
    c.edit->SetText("");
    SimulateUnicodeKey(*c.edit, 0, c.typed);
    EXPECT_EQ(c.edit->Text(), c.taken) << c.edit->Name;
  }
}

TEST_F(SetupTest, CallsignsShowOnTheWeatherPage) {
  frmSetup->edtCallP1->SetText(" N0CALL ");
  EXPECT_EQ(frmSetup->lblWxCallP1->Caption(), "N0CALL");
}

TEST_F(SetupTest, PagesAreChosenFromTheList) {
  TfrmSetup& s = *frmSetup;
  for (int n = 0; n < s.apctrlSetup->PageCount(); ++n)
    EXPECT_FALSE(s.apctrlSetup->Pages(n)->TabVisible());
  s.htmllbxSelect->SetItemIndex(5);
  s.htmllbxSelectClick(&s);
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabWx);
  // One sheet shown, no tab row: the sheets reach down to the page's frame.
  for (int n = 0; n < s.apctrlSetup->PageCount(); ++n)
    EXPECT_EQ(s.apctrlSetup->Pages(n)->Visible(), s.apctrlSetup->Pages(n) == s.atabWx) << n;
  EXPECT_EQ(s.apctrlSetup->TabRect(s.atabWx->PageIndex()), TRect{});
  EXPECT_EQ(s.apctrlSetup->DisplayRect().Bottom, s.apctrlSetup->Height() - 2 - 4);
  s.Show();
  EXPECT_EQ(s.htmllbxSelect->ItemIndex(), 0);
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabDev);
  s.Hide();
}

TEST_F(SetupTest, ThePageListShowsItsPicturesAndWorksByMouseAndKeyboard) {
  TfrmSetup& s = *frmSetup;
  // The six pictures the build drew, found by the names the items use.
  s.PictureContainer1->Items().Clear();
  LoadPagePictures(*s.PictureContainer1, VELMORA_PROGRAM_FOLDER);
  s.htmllbxSelect->SetPictureContainer(s.PictureContainer1);
  for (const char* name : {"DEVICE", "GPS", "STATION", "Programm", "Server", "WX"}) {
    THTMLPicture* picture = s.PictureContainer1->FindPicture(name);
    ASSERT_NE(picture, nullptr) << name;
    EXPECT_GE(picture->Width(), 43) << name;
    EXPECT_EQ(picture->FrameCount(), 1) << name;
  }
  s.Show();
  TExTabSheet* const pages[] = {s.atabDev, s.atabGps, s.atabStn, s.atabPrg, s.atabTcp, s.atabWx};
  // Every item is as high as its picture, and a click on it shows its page.
  for (int n = 0; n < 6; ++n) {
    EXPECT_GE(s.htmllbxSelect->ItemHeights(n), 44) << n;
    const TRect item = s.htmllbxSelect->ItemRect(n);
    SimulateClick(*s.htmllbxSelect, 100, (item.Top + item.Bottom) / 2);
    EXPECT_EQ(s.htmllbxSelect->ItemIndex(), n);
    EXPECT_EQ(s.apctrlSetup->ActivePage(), pages[n]) << n;
  }
  s.htmllbxSelect->SetFocus();
  SimulateKey(*s.htmllbxSelect, VK_HOME);
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabDev);
  SimulateKey(*s.htmllbxSelect, VK_DOWN);
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabGps);
  SimulateKey(*s.htmllbxSelect, 'W', "w");
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabWx);
  s.Hide();
}

// The apply sequence waits for the TNC; a close of the main frame meanwhile waits for it.
// Cancel takes back what was typed since the window opened; what was applied stays.
TEST_F(SetupTest, CancelDiscardsTheEditsSinceOpeningOrApplying) {
  TfrmSetup& s = *frmSetup;
  s.edtCallP1->SetText("N0CALL");
  s.mbtnComp->SetDown(true);
  s.mfcbxTemp->SetItemIndex(0);
  SymTabP1 = '/';
  QueueCall([&] {
    s.edtCallP1->SetText("DL9XYZ");
    s.mbtnComp->SetDown(false);
    s.mfcbxTemp->SetItemIndex(1);
    SymTabP1 = '\\';
    s.mbtnAbort->Click();
  });
  EXPECT_EQ(s.ShowModal(), mrAbort);
  EXPECT_EQ(s.edtCallP1->Text(), "N0CALL");
  EXPECT_EQ(s.lblWxCallP1->Caption(), "N0CALL");
  EXPECT_TRUE(s.mbtnComp->Down());
  EXPECT_EQ(s.mfcbxTemp->ItemIndex(), 0);
  EXPECT_EQ(SymTabP1, '/');

  // Closing keeps the edits, as does OK.
  QueueCall([&] {
    s.edtCallP1->SetText("DL9XYZ");
    s.mbtnClose->Click();
  });
  EXPECT_EQ(s.ShowModal(), mrCancel);
  EXPECT_EQ(s.edtCallP1->Text(), "DL9XYZ");
}

TEST_F(SetupTest, ApplyIsNotReentrantAndDefersTheClose) {
  TfrmSetup& s = *frmSetup;
  {
    // A store of this version: the save at the end shows no notice.
    TRegistry reg;
    reg.OpenKey("\\Software\\Velmora", true);
    reg.WriteString("SetVer", "1.1");
  }
  s.TncInitialised = 1;
  bool closedDuringApply = false;
  bool secondApplyRan = false;
  QueueCall([&] {
    EXPECT_TRUE(s.Applying());
    EXPECT_FALSE(s.mbtnChange->Enabled());
    bool canClose = true;
    frmMain->FormCloseQuery(frmMain, canClose);
    closedDuringApply = canClose;
    // A second click while the first runs does nothing.
    const bool before = s.Applying();
    s.mbtnChangeClick(s.mbtnChange);
    secondApplyRan = !before;
  });
  frmMain->Show();
  s.mbtnChangeClick(s.mbtnChange);
  EXPECT_FALSE(closedDuringApply);
  EXPECT_FALSE(secondApplyRan);
  EXPECT_FALSE(s.Applying());
  EXPECT_TRUE(s.mbtnChange->Enabled());
  EXPECT_TRUE(s.timPosDec->Enabled());
  // The deferred close ran the shut-down once the sequence was over.
  EXPECT_TRUE(frmMain->ShutDownDone());
}

}  // namespace

namespace {

TEST_F(SetupTest, SymbolPageChoosesTheOwnSymbol) {
  TfrmSetup& s = *frmSetup;
  ASSERT_EQ(s.memSymName->Lines().Count(), 95);
  SymTabP2 = '/';
  SymCodeP2 = '>';
  s.SymbolClick(s.imgSymP2);
  EXPECT_EQ(s.SymSelectTarget, 2);
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabSym);
  EXPECT_EQ(s.edtSymTab->Text(), "\\");
  EXPECT_EQ(s.edtSymCode->Text(), ">");
  EXPECT_EQ(s.tbarSymCode->Position(), '>' - 32);
  EXPECT_EQ(s.nedtSymNr->IntIst(), '>' - 32);
  EXPECT_EQ(s.lblSymDes->Caption(), "Car [SSID-9]");
  EXPECT_EQ(s.lblSymADes->Caption(), "Car [with overlay]");
  // "!" names both tables, "\"" neither, "{" only the alternate one.
  s.tbarSymCode->SetPosition(1);
  EXPECT_EQ(s.edtSymCode->Text(), "!");
  EXPECT_EQ(s.lblSymDes->Caption(), "Police, Sheriff");
  s.edtSymCode->SetText("\"");
  EXPECT_FALSE(s.mbtnSymSelect->Visible());
  EXPECT_FALSE(s.mbtnSymASelect->Visible());
  s.nedtSymNr->SetIntIst('{' - 32);
  EXPECT_EQ(s.edtSymCode->Text(), "{");
  EXPECT_EQ(s.lblSymADes->Caption(), "Fog");
  EXPECT_FALSE(s.mbtnSymSelect->Visible());
  EXPECT_TRUE(s.mbtnSymASelect->Visible());
  s.edtSymTab->SetText("D");
  s.mbtnSymSelectClick(s.mbtnSymASelect);
  EXPECT_EQ(SymTabP2, 'D');
  EXPECT_EQ(SymCodeP2, '{');
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabStn);
  // The weather images choose nothing.
  s.SymbolClick(s.imgSymWxP1);
  EXPECT_EQ(s.SymSelectTarget, 0);
  EXPECT_EQ(s.apctrlSetup->ActivePage(), s.atabStn);
  SymTabP2 = '/';
  SymCodeP2 = '-';
}

TEST_F(SetupTest, SymbolKeys) {
  TfrmSetup& s = *frmSetup;
  char key = ' ';
  s.edtSymCodeKeyPress(s.edtSymCode, key);
  EXPECT_EQ(key, 0);
  key = '~';
  s.edtSymCodeKeyPress(s.edtSymCode, key);
  EXPECT_EQ(key, '~');
  key = '#';
  s.edtSymTabKeyPress(s.edtSymTab, key);
  EXPECT_EQ(key, '\\');
  key = '7';
  s.edtSymTabKeyPress(s.edtSymTab, key);
  EXPECT_EQ(key, '7');
}

}  // namespace

namespace {

TEST_F(SetupTest, WeatherFileIsChosenWithTheFileChooser) {
  TfrmSetup& s = *frmSetup;
  EXPECT_EQ(s.OpenDialog->Filter, "Text [*.txt]|*.txt");
  const std::string file = PrgDir() + "wetter.txt";
  WriteFile(file, "x\r\n");
  AnswerNextOpenDialog(true, file);
  s.ButtonClick(s.mbtnWxFile);
  EXPECT_EQ(s.edtWxFile->Text(), file);
  AnswerNextOpenDialog(false);
  s.ButtonClick(s.mbtnWxFile);
  EXPECT_EQ(s.edtWxFile->Text(), file);
}

}  // namespace

namespace {

TEST_F(SetupTest, RangeTextFollowsPowerHeightAndGain) {
  TfrmSetup& s = *frmSetup;
  // The start values: 4 W, 1 m, 0 dB.
  EXPECT_EQ(s.lblRangeResult->Caption(), "-> RNG0002");
  s.nedtHeight->SetIntIst(100);
  EXPECT_EQ(s.lblRangeResult->Caption(), "-> RNG0017");
  s.nedtPower->SetIntIst(0);
  EXPECT_EQ(s.lblRangeResult->Caption(), "-> RNG0000");
  s.mfcbxHeight->SetItemIndex(1);
  s.UnitChange(s.mfcbxHeight);
  EXPECT_EQ(s.lblRangeHeight->Caption(), "ft");
}

}  // namespace

namespace {

TEST_F(SetupTest, OwnSymbolsAreDrawnFromTheSheets) {
  ASSERT_TRUE(LoadSymbolSheets(VELMORA_PROGRAM_FOLDER));
  TfrmSetup& s = *frmSetup;
  s.ShowSymbolImages();
  EXPECT_EQ(s.imgSymP1->Picture().Bitmap().Width(), kSymbolPixels);
  EXPECT_EQ(s.imgSymWxP2->Picture().Bitmap().Height(), kSymbolPixels);
  s.SymbolClick(s.imgSymP1);
  EXPECT_EQ(s.imgSym->Picture().Bitmap().Width(), kSymbolPixels);
  EXPECT_EQ(s.imgSymA->Picture().Bitmap().Width(), kSymbolPixels);
}

}  // namespace

namespace {

// The language list opens with a click on its button, as every choice list does.
TEST_F(SetupTest, TheLanguageListOpensWithTheMouse) {
  WriteSpeakFile("english.spk", "1.2", {});
  WriteSpeakFile("deutsch.spk", "1.2", {});
  TfrmSetup& s = *frmSetup;
  s.Show();
  ASSERT_EQ(s.mfcbxSpk->Items().Count(), 2);
  SimulateMouseDown(*s.mfcbxDevice, mbLeft, s.mfcbxDevice->Width() - 6, 10);
  EXPECT_TRUE(s.mfcbxDevice->DroppedDown());
  SimulateMouseUp(*s.mfcbxDevice, mbLeft, s.mfcbxDevice->Width() - 6, 10);
  // The page chosen by a click on its row, as a user does.
  const TRect row = s.htmllbxSelect->ItemRect(3);
  SimulateClick(*s.htmllbxSelect, row.Left + 20, row.Top + row.Height() / 2);
  TMyFlatCombobox& list = *s.mfcbxSpk;
  ASSERT_TRUE(list.Visible());
  // Anywhere on the drawn button, its left edge included.
  SimulateMouseDown(list, mbLeft, list.Width() - 18, list.Height() / 2);
  EXPECT_TRUE(list.DroppedDown());
  SimulateMouseUp(list, mbLeft, list.Width() - 18, list.Height() / 2);
  s.Hide();
}

}  // namespace

namespace {

// The TNC is a pseudo-terminal on COM1. The control's waits are held until the test
// runs them, so the disconnect of a second apply is still running when the apply
// switches KISS mode on again, however long each device type's sequence takes.
class ApplyTncTest : public AppWindowsTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    std::filesystem::create_directories(ConfigFolder() / "Velmora");
    std::ofstream(ConfigFolder() / "Velmora" / "ports") << "COM1=" << tnc_.DevicePath() << "\n";
    TncControl().Schedule = [this](unsigned, std::function<void()> next) {
      waits_.push_back(std::move(next));
    };
    frmSetup->mfcbxDevice->SetItemIndex(GetParam());
    frmSetup->mfcbxDeviceChange(frmSetup->mfcbxDevice);
    frmSetup->mfcbxPort->SetItemIndex(0);
  }
  static std::filesystem::path ConfigFolder() { return std::getenv("XDG_CONFIG_HOME"); }

  // Runs the held waits to the end of every sequence; returns what the TNC received.
  std::string RunTnc() {
    std::string heard;
    auto take = [&] {
      while (TncRs232().PendingWrites() > 0) DelayMs(1);
      for (uint8_t b : tnc_.Receive(4096, 20)) heard += static_cast<char>(b);
    };
    while (!waits_.empty()) {
      take();
      auto next = std::move(waits_.front());
      waits_.pop_front();
      next();
    }
    take();
    return heard;
  }

  TPseudoTerminal tnc_;
  std::deque<std::function<void()>> waits_;
};

std::string KissOnBytes(int Device) {
  if (Device <= 3) return "KISS ON\rRESTART\r";
  if (Device <= 5)
    return "\x1B"
           "PAC\r\x1BKISS\r";
  return "\x1B@K\r";
}

// Applying the settings takes the TNC out of KISS mode and puts it back; a second apply
// must end, like the first, with the port open and the KISS-on command sent after the
// KISS exit frame.
TEST_P(ApplyTncTest, ApplyingTwiceLeavesTheTncInKissMode) {
  TfrmSetup& s = *frmSetup;
  s.TncInitialised = 0;
  s.mbtnChangeClick(s.mbtnChange);
  std::string heard = RunTnc();
  EXPECT_NE(heard.find(KissOnBytes(GetParam())), std::string::npos);
  ASSERT_EQ(KissLink.KissActive, 1);

  s.TncInitialised = 1;
  s.mbtnChangeClick(s.mbtnChange);
  heard = RunTnc();
  const size_t exit = heard.find("\xC0\xFF\xC0");
  ASSERT_NE(exit, std::string::npos) << heard;
  EXPECT_NE(heard.find(KissOnBytes(GetParam()), exit), std::string::npos) << heard;
  EXPECT_NE(TncRs232().Rs232Open(), 0);
  EXPECT_EQ(KissLink.KissActive, 1);
  EXPECT_FALSE(TncControl().Busy());
}

INSTANTIATE_TEST_SUITE_P(EveryDevice, ApplyTncTest, ::testing::Range(1, 10));

}  // namespace

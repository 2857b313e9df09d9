// Writes pictures of the windows a new user meets first to window_screenshots/ in the
// test pictures folder (support/scratch_files.h), for a person to look at (run under a
// real display, they show its fonts): the map window with stations on the map of Europe
// and their packets in the monitor, the messaging window with a message received, the
// detail window of a weather station, the weather window and the settings window's fixed
// position.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_windows.h"
#include "app/map/aprs_symbols.h"
#include "app/map/frm_aprs.h"
#include "app/map/map_test_support.h"
#include "app/map/map_view.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"
#include "support/scratch_files.h"

namespace {

void Save(TControl& Control, const std::string& Name) {
  const std::string file = PictureFolder("window_screenshots") + Name + ".png";
  SaveBitmapToPng(*Snapshot(Control, clWhite), file);
  EXPECT_TRUE(std::filesystem::exists(file)) << file;
}

class WindowScreenshotsTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    ASSERT_TRUE(LoadSymbolSheets(ShippedDataFolder()));
    frmSetup->edtCallP1->SetText("N0CALL");
    frmAprs->MapDir = ShippedDataFolder() + "APRS-Karten/";
    frmAprs->AprsMapFile = frmAprs->MapDir + "Europa.jpg";
    frmAprs->LoadMapFromSettings();
    KissLink.KissActive = 1;
  }
  void TearDown() override {
    KissLink.KissActive = 0;
    AppWindowsTest::TearDown();
  }
  static void Receive(const char* Source, const char* Info) {
    KissLink.KissRxBytes(BuildKissFrame(Source, "APRS,WIDE1-1", Info).Bytes);
  }
};

TEST_F(WindowScreenshotsTest, WhatANewUserSeesFirst) {
  frmAprs->SetBounds(0, 0, 900, 640);
  Receive("DL1ABC-9", "!5230.50N/01320.70E>Mobile");
  Receive("DB0XYZ", "!5010.00N/00840.00E#Digi");
  Receive("F5WX", "!4852.00N/00220.00E_270/010g015t050r001p005P004h80b10120Weather");
  Receive("G4BUS-2", "!5130.00N/00007.00WUBus");
  Save(*frmAprs, "map_window");

  Receive("DL1ABC-9", ":N0CALL   :Hallo aus Berlin{1");
  frmAprsMsg->Show();
  Save(*frmAprsMsg, "messaging_window");

  frmAprsStnInfo->ShowStationInfo(MakeStationKey("", "F5WX"));
  ASSERT_TRUE(frmAprsStnInfo->mpnlWx->Visible());
  Save(*frmAprsStnInfo, "detail_window_weather_station");
  // Five seconds later: dew point and wind chill.
  frmAprsStnInfo->Timer1Timer(frmAprsStnInfo->Timer1);
  Save(*frmAprsStnInfo, "detail_window_dew_point_and_wind_chill");

  TWxData data;
  data.Wind = {true, 225, 3.2, 6.5, 8.1};
  data.TempOut.Valid = true;
  data.TempOut.Cur = 8.5;
  data.HumOut.Valid = true;
  data.HumOut.Cur = 72;
  frmWxStatus->ShowWxData(data);
  Save(*frmWxStatus, "weather_window");

  frmSetup->htmllbxSelect->SetItemIndex(2);
  frmSetup->htmllbxSelectClick(frmSetup);
  SimulateKey(*frmSetup->medtLati, VK_HOME);
  for (char c : std::string("523012n"))
    SimulateKey(*frmSetup->medtLati, TKeyCode(c), std::string(1, c));
  Save(*frmSetup, "settings_window_station_page");
  EXPECT_EQ(frmSetup->medtLati->Text(),
            "52\xB0"
            "30.12 N");
}

}  // namespace

#include "devices/gps_status.h"

#include <gtest/gtest.h>

#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "controls/my_progress_bar.h"
#include "devices/gps_rx.h"
#include "devices/nmea_test_support.h"
#include "devices/sat_tracking_diagram.h"
#include "platform/gui/standard/label.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/pump.h"
#include "platform/sys/timer.h"
#include "support/control_snapshot.h"

namespace {

std::string Rmc(const char* Status, const char* Lat, const char* Lon, const char* Speed = "000.0") {
  return Nmea(std::string("GPRMC,235959,") + Status + "," + Lat + "," + Lon + "," + Speed +
              ",084.4,061226,003.1,W") +
         "\r\n";
}

const std::string kGsa = Nmea("GPGSA,A,3,04,16,18,,,,,,,,,,2.5,1.3,2.1") + "\r\n";
const std::string kGsv = Nmea("GPGSV,2,1,05,04,90,000,00,16,45,090,39,18,45,270,40,22,10,180,00") +
                         "\r\n" + Nmea("GPGSV,2,2,05,30,00,000,00") + "\r\n";

// The window with what it tells the other windows recorded.
struct TWindowBench : TGpsStatusViews {
  TWindowBench() { Form.SetViews(this); }
  void ShowOwnPosition() override {
    ++OwnPositionCalls;
    Followed.push_back(Form.HasGpsPosition() ? Form.GpsLat : -999);
  }
  void SetGpsLamp(int Picture) override { Lamp = Picture; }
  void EnableSetGpsPos(bool On) override { SetGpsPosEnabled = On; }
  void Feed(const std::string& Text) { Form.GpsRxMain->FeedText(Text); }

  TfrmGpsStatus Form;
  int OwnPositionCalls = 0;
  std::vector<double> Followed;
  int Lamp = -1;
  bool SetGpsPosEnabled = false;
};

// Each number centred under its bar, below it and inside the panel, and clear of its
// neighbours' (in a row of its own where they would run together).
void ExpectNumbersApart(const TfrmGpsStatus& Form) {
  for (int k = 0; k < kGpsSignalBars; ++k) {
    const TLabel& label = *Form.lblS[k];
    const TMyProgressBar& bar = *Form.mpbS[k];
    EXPECT_LE(std::abs(2 * label.Left() + label.Width() - 2 * bar.Left() - bar.Width()), 2) << k;
    EXPECT_GE(label.Top(), bar.Top() + bar.Height()) << k;
    EXPECT_LE(label.Top() + label.Height(), Form.mpnlSignal->Height()) << k;
    if (k == 0) continue;
    const TLabel& left = *Form.lblS[k - 1];
    const bool rowsApart =
        left.Top() >= label.Top() + label.Height() || label.Top() >= left.Top() + left.Height();
    EXPECT_TRUE(rowsApart || left.Left() + left.Width() < label.Left()) << k;
  }
}

}  // namespace

TEST(GpsStatus, AValidFixGivesTheOwnPositionAndFillsTheWindow) {
  TWindowBench bench;
  EXPECT_EQ(bench.Form.mpnlStatus->Caption(), kGpsStatusNoReceiver);
  bench.Feed(Rmc("A", "5230.00,S", "01300.00,W", "001.6"));
  bench.Feed(Nmea("GPGGA,235959,5230.00,S,01300.00,W,6,03,0.9,45.5,M,46.9,M,2.0,0042") + "\r\n");
  bench.Feed(kGsa + kGsv);
  EXPECT_TRUE(bench.Form.GpsDataOk);
  EXPECT_EQ(bench.Lamp, 1);

  bench.Form.RefreshGpsStatus();
  TfrmGpsStatus& f = bench.Form;
  EXPECT_TRUE(f.HasGpsPosition());
  EXPECT_TRUE(bench.SetGpsPosEnabled);
  EXPECT_NEAR(f.GpsLat, -52.5, 1e-9);
  EXPECT_NEAR(f.GpsLon, -13.0, 1e-9);
  EXPECT_EQ(bench.Followed, std::vector<double>{f.GpsLat});
  EXPECT_EQ(f.mpnlStatus->Caption(), "06.12.2026 - 23:59:59 UTC");
  EXPECT_EQ(f.mpnlLati->Caption(),
            "52\xB0"
            "30.00 S");
  EXPECT_EQ(f.mpnlLong->Caption(),
            "013\xB0"
            "00.00 W");
  EXPECT_EQ(f.mpnlLoc->Caption(), "ID37MM");
  EXPECT_EQ(f.mpnlGPS->Caption(), "GPS-6");
  EXPECT_EQ(f.mpnlPDOP->Caption(), "2.5m");
  EXPECT_EQ(f.mpnlHDOP->Caption(), "1.3m");
  EXPECT_EQ(f.mpnlVDOP->Caption(), "2.1m");
  EXPECT_EQ(f.stdMain->CaptionSpeed, "2 kts");
  EXPECT_EQ(f.stdMain->CaptionDirection, "84\xB0");
  EXPECT_EQ(f.stdMain->CaptionHeight, "45.5m");
  EXPECT_EQ(f.stxtDGPSAge->Caption(), "2.0s");
  EXPECT_EQ(f.stxtDGPSID->Caption(), "0042");
  EXPECT_EQ(f.lblS[1]->Caption(), "16");
  EXPECT_EQ(f.lblS[5]->Caption(), "00");
  EXPECT_EQ(f.mpbS[2]->Position(), 40);
  EXPECT_EQ(f.mpbS[1]->Hint(),
            "Satellit 16 (GPS) wird f\xFCr die Berechnung verwendet\n\rSignalst\xE4rke: 39 dBHz\n\r"
            "Azimut: 90\xB0 Elevation: 45\xB0");
  EXPECT_EQ(f.mpbS[3]->Hint().substr(0, 28), "Satellit 22 (GPS) in Sicht\n\r");
  EXPECT_EQ(f.mpbS[6]->Hint(), "");
}

// The bar hints come in the program's language; a translation is no format pattern, so
// one asking for more numbers than there are, or for text, cannot break the window.
TEST(GpsStatus, SignalBarHintsAreTranslated) {
  struct TEnglish : TWindowBench {
    std::string StatusText(const char* Text) const override {
      if (Text == kGpsSatInUse) return "Satellite %d used for the fix";
      if (Text == kGpsSatSignal) return "Signal %d dBHz %s";
      if (Text == kGpsSatPlace) return "Azimuth %d, elevation %d, %d";
      return Text;
    }
  } bench;
  bench.Feed(kGsa + kGsv);
  bench.Form.RefreshGpsStatus();
  EXPECT_EQ(
      bench.Form.mpbS[1]->Hint(),
      "Satellite 16 (GPS) used for the fix\n\rSignal 39 dBHz %s\n\rAzimuth 90, elevation 45, %d");
}

// A receiver of three systems, GPS on two signals, Galileo with numbers GPS uses too,
// BeiDou numbered from 201: one bar a satellite, in use by its own system's GSA, and
// no two numbers under the bars running together.
TEST(GpsStatus, EverySystemsSatellitesHaveABarEach) {
  TWindowBench gps;
  gps.Feed(kGsa + kGsv);
  gps.Form.RefreshGpsStatus();
  ExpectNumbersApart(gps.Form);
  for (const TLabel* label : gps.Form.lblS) EXPECT_EQ(label->Top(), gps.Form.lblS[0]->Top());

  TWindowBench bench;
  TfrmGpsStatus& f = bench.Form;
  for (const char* body :
       {"GNGSA,A,3,10,24,,,,,,,,,,,1.4,0.8,1.1,1", "GNGSA,A,3,02,,,,,,,,,,,,1.4,0.8,1.1,3",
        "GNGSA,A,3,203,214,,,,,,,,,,,1.4,0.8,1.1,4",
        "GPGSV,1,1,03,02,08,330,22,10,62,210,41,24,33,300,35,1",
        "GPGSV,1,1,02,10,62,210,45,24,33,300,38,8", "GAGSV,1,1,02,02,50,060,39,10,30,220,34,7",
        "GBGSV,1,1,04,203,35,130,30,214,60,240,36,222,52,350,35,237,10,300,20,1",
        "GPGSV,1,1,03,02,08,330,22,10,62,210,41,24,33,300,35,1"})
    bench.Feed(Nmea(body) + "\r\n");
  f.RefreshGpsStatus();
  std::vector<std::string> captions;
  for (const TLabel* label : f.lblS) captions.push_back(label->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"02", "10", "24", "02", "10", "203", "214", "222",
                                                "237", "00", "00", "00"}));
  EXPECT_EQ(f.mpbS[1]->Position(), 45);  // GPS 10 at its stronger signal
  const std::string inUse = "wird f\xFCr die Berechnung verwendet";
  auto used = [&](int Bar) { return f.mpbS[Bar]->Hint().find(inUse) != std::string::npos; };
  EXPECT_EQ((std::vector<bool>{used(0), used(1), used(2), used(3), used(4), used(5), used(7)}),
            (std::vector<bool>{false, true, true, true, false, true, false}));
  // The two satellites 2 are told apart by their systems.
  EXPECT_EQ(f.mpbS[0]->Hint().substr(0, 18), "Satellit 2 (GPS) i");
  EXPECT_EQ(f.mpbS[3]->Hint().substr(0, 22), "Satellit 2 (Galileo) w");
  ExpectNumbersApart(f);
}

TEST(GpsStatus, AReceiverWithoutAFixNeverMovesTheOwnPosition) {
  TWindowBench bench;
  // At a cold start the receiver knows no time either: the status shows none.
  bench.Feed(Nmea("GNRMC,,V,,,,,,,,,,N,V") + "\r\n");
  bench.Form.RefreshGpsStatus();
  EXPECT_EQ(bench.Form.mpnlStatus->Caption(), kGpsStatusNoReceiver);
  bench.Feed(Rmc("V", ",", ","));
  bench.Feed(Nmea("GPGGA,235959,,,,,0,00,99.9,,M,,M,,") + "\r\n");
  bench.Form.RefreshGpsStatus();
  EXPECT_TRUE(bench.Form.GpsDataOk);
  EXPECT_FALSE(bench.Form.HasGpsPosition());
  EXPECT_EQ(bench.OwnPositionCalls, 0);
  EXPECT_EQ(bench.Form.mpnlGPS->Caption(), "FIX");
  EXPECT_EQ(bench.Form.mpnlLati->Caption(), "");

  // A fix, then the fix is lost: the map hears once that the position is gone.
  bench.Feed(Rmc("A", "4807.038,N", "01131.000,E"));
  bench.Form.RefreshGpsStatus();
  bench.Feed(Rmc("V", "4807.038,N", "01131.000,E"));
  bench.Form.RefreshGpsStatus();
  bench.Form.RefreshGpsStatus();
  EXPECT_EQ(bench.Followed, (std::vector<double>{48 + 7.038 / 60, -999}));
  EXPECT_FALSE(bench.Form.HasGpsPosition());
}

TEST(GpsStatus, ErrorsTimeOutsAndStop) {
  TWindowBench bench;
  TfrmGpsStatus& f = bench.Form;
  bench.Feed(Rmc("A", "4807.038,N", "01131.000,E"));
  f.RefreshGpsStatus();
  ASSERT_TRUE(f.HasGpsPosition());

  bench.Feed("$GPRMC,garbage*00\r\n");
  EXPECT_TRUE(f.GpsDataError);
  EXPECT_FALSE(f.HasGpsPosition());
  EXPECT_EQ(f.mpnlStatus->Caption(), kGpsStatusDataError);
  EXPECT_EQ(bench.Lamp, 2);
  EXPECT_FALSE(bench.SetGpsPosEnabled);
  f.RefreshGpsStatus();  // resets, then the still valid RMC fills it again
  EXPECT_FALSE(f.GpsDataError);
  EXPECT_TRUE(f.GpsPositionValid);

  for (int tick = 0; tick < 3; ++tick) f.GpsRxMain->TimeOutTick();
  EXPECT_EQ(f.mpnlStatus->Caption(), kGpsStatusLost);
  EXPECT_FALSE(f.HasGpsPosition());
  EXPECT_EQ(f.GpsLat, 0);

  // Switching one sentence kind off treats it as not valid.
  bench.Feed(Rmc("A", "4807.038,N", "01131.000,E"));
  f.mbtnRMC->SetDown(false);
  f.RefreshGpsStatus();
  EXPECT_FALSE(f.GpsPositionValid);
}

TEST(GpsStatus, SpeedBelowTwoKnotsHidesTheCourse) {
  TWindowBench bench;
  bench.Feed(Rmc("A", "4807.038,N", "01131.000,E", "001.4"));
  bench.Form.RefreshGpsStatus();
  EXPECT_EQ(bench.Form.stdMain->CaptionDirection, "0\xB0");
}

TEST(GpsStatus, TheTestButtonFeedsTheRecordedSentences) {
  TWindowBench bench;
  bench.Form.Memo1.Add(Nmea("GPRMC,120000,A,4807.038,N,01131.000,E,000.0,084.4,061226,,"));
  bench.Form.Memo1.Add("not nmea");
  int errors = 0;
  bench.Form.GpsRxMain->SetOnDataError([&](TComponent*) { ++errors; });
  bench.Form.Button1Click(nullptr);
  EXPECT_EQ(errors, 1);
  bench.Form.RefreshGpsStatus();
  EXPECT_TRUE(bench.Form.GpsPositionValid);
}

TEST(GpsStatus, TheOwnPositionFollowsAReceiverOnASerialPort) {
  TPseudoTerminal receiver;
  TWindowBench bench;
  TfrmGpsStatus& f = bench.Form;
  f.GpsRxMain->Device = receiver.DevicePath();
  f.Button2Click(nullptr);
  ASSERT_TRUE(f.GpsRxMain->Run());
  EXPECT_EQ(f.mpnlStatus->Caption(), kGpsStatusWaiting);
  EXPECT_TRUE(f.Timer1->Enabled());

  receiver.Send(Rmc("A", "4807.038,N", "01131.000,E"));
  ASSERT_TRUE(PumpUntil([&] { return f.GpsDataOk; }));
  f.Timer1Timer(nullptr);
  receiver.Send(Rmc("A", "4808.038,N", "01131.000,E"));
  ASSERT_TRUE(PumpUntil([&] {
    f.Timer1Timer(nullptr);
    return f.GpsLat > 48.13;
  }));
  // The activation told the map there is no position yet; then it follows the fixes.
  EXPECT_EQ(bench.Followed.front(), -999);
  std::erase(bench.Followed, -999);
  ASSERT_GE(bench.Followed.size(), 2u);
  EXPECT_NEAR(bench.Followed.front(), 48 + 7.038 / 60, 1e-9);
  EXPECT_NEAR(bench.Followed.back(), 48 + 8.038 / 60, 1e-9);

  f.Button2Click(nullptr);
  EXPECT_FALSE(f.GpsRxMain->Run());
  EXPECT_FALSE(f.Timer1->Enabled());
  EXPECT_FALSE(f.HasGpsPosition());
  EXPECT_EQ(f.mpnlStatus->Caption(), kGpsStatusNoReceiver);
}

TEST(GpsStatus, TheCopyButtonWaitsForAFix) {
  TPseudoTerminal receiver;
  TWindowBench bench;
  TfrmGpsStatus& f = bench.Form;
  f.GpsRxMain->Device = receiver.DevicePath();
  f.Button2Click(nullptr);
  ASSERT_TRUE(f.GpsRxMain->Run());

  // A receiver that talks correctly but has no fix, as a multi-system one sends it.
  const std::string noFix = Nmea("GNRMC,101010.00,V,,,,,,,091226,,,N,V") + "\r\n" +
                            Nmea("GNGGA,101010.00,,,,,0,00,99.99,,,,,,") + "\r\n" +
                            Nmea("GNGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99,1") + "\r\n";
  int lines = 0;
  f.GpsRxMain->SetOnNewData([&](TComponent*, const std::string&) { ++lines; });
  for (int round = 1; round <= 2; ++round) {
    receiver.Send(noFix);
    ASSERT_TRUE(PumpUntil([&] { return lines == 3 * round; }));
    EXPECT_TRUE(f.GpsDataOk);
    EXPECT_FALSE(bench.SetGpsPosEnabled);
    f.Timer1Timer(nullptr);
    EXPECT_FALSE(bench.SetGpsPosEnabled);
  }

  // The fix comes: the button follows the position, and goes with it.
  receiver.Send(Nmea("GNRMC,101011.00,A,5230.00000,N,01324.00000,E,0.1,,091226,,,A,V") + "\r\n");
  ASSERT_TRUE(PumpUntil([&] {
    f.Timer1Timer(nullptr);
    return f.HasGpsPosition();
  }));
  EXPECT_TRUE(bench.SetGpsPosEnabled);
  receiver.Send(Nmea("GNRMC,101012.00,V,,,,,,,091226,,,N,V") + "\r\n");
  ASSERT_TRUE(PumpUntil([&] {
    f.Timer1Timer(nullptr);
    return !f.HasGpsPosition();
  }));
  EXPECT_FALSE(bench.SetGpsPosEnabled);
  receiver.Send(noFix);
  ASSERT_TRUE(PumpUntil([&] { return lines == 11; }));
  EXPECT_FALSE(bench.SetGpsPosEnabled);
  f.Button2Click(nullptr);
}

TEST(SatTrackingDiagram, SymbolsFixAndColours) {
  TSatTrackingDiagram plot(nullptr);
  EXPECT_EQ(plot.Width(), 100);
  TGpsGSV gsv;
  gsv.Valid = true;
  gsv.InView = 14;  // more than the twelve slots: twelve symbols
  for (int k = 0; k < 12; ++k) gsv.Sat[k] = {std::uint8_t(k + 1), 10, 30, std::uint16_t(30 * k)};
  gsv.Sat[0] = {5, 90, 0, 0};   // overhead, heard nothing, not in use: white
  gsv.Sat[1] = {7, 90, 40, 0};  // overhead too, drawn after: in use
  TGpsGSA gsa;
  gsa.Valid = true;
  gsa.Fix = '1';
  plot.SetGpsGSV(gsv);
  plot.SetGpsGSA(gsa);
  auto shot = Snapshot(plot);
  // In the middle, left of the number, inside the symbol of the second overhead one:
  // not in use, but heard.
  EXPECT_EQ(PixelAt(*shot, 50 - 8, 50 + 4), plot.SatNoInUse());
  gsv.Sat[1].Prn = 5;  // same number as the first: the white one shows again
  gsv.Sat[1].Snr = 0;
  plot.SetGpsGSV(gsv);
  shot = Snapshot(plot);
  EXPECT_EQ(PixelAt(*shot, 50 - 8, 50 + 4), clWhite);
  gsa.Prn[0] = 5;
  plot.SetGpsGSA(gsa);
  shot = Snapshot(plot);
  EXPECT_EQ(PixelAt(*shot, 50 - 8, 50 + 4), plot.SatInUse());

  // "NO FIX" in red at the top left.
  int red = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 45; ++x) red += PixelAt(*shot, x, y) == clRed;
  }
  EXPECT_GT(red, 5);

  plot.ClearData();
  EXPECT_FALSE(plot.GpsGSV().Valid);
  shot = Snapshot(plot);
  EXPECT_EQ(PixelAt(*shot, 50 - 8, 50 + 4), plot.Color2());

  // A satellite below the horizon stands on it, inside the plot.
  TGpsGSV low;
  low.Valid = true;
  low.InView = 1;
  low.Sat[0] = {9, -60, 30, 90};
  plot.SetGpsGSV(low);
  shot = Snapshot(plot);
  EXPECT_EQ(PixelAt(*shot, 89 - 8, 50 + 4), plot.SatNoInUse());
}

#include <gtest/gtest.h>

#include "../app_windows.h"
#include "app/settings/frm_setup.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/stn_info_weather.h"
#include "controls/thermometer_scale.h"
#include "core/aprs_position.h"
#include "core/locator.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "station_records.h"

namespace {

class StationInfoTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    info = frmAprsStnInfo;
    ASSERT_NE(info, nullptr);
    info->Stations = &stations;
    info->OnRangeCircle = [this](const std::string& key, const std::string& group) {
      ranges.push_back(key + " " + group);
    };
    frmSetup->OwnLat = 52.4;
    frmSetup->OwnLon = 13.4;
    for (TMyFlatCombobox* box : {frmSetup->mfcbxSpeed, frmSetup->mfcbxWindSpeed,
                                 frmSetup->mfcbxTemp, frmSetup->mfcbxHeight, frmSetup->mfcbxRain}) {
      box->SetItemIndex(0);  // km/h, km/h, degrees C, m, mm
    }
  }
  void TearDown() override {
    ShownKey.clear();
    AppWindowsTest::TearDown();
  }
  std::string Show(const std::string& Record) {
    stations.Add(Record);
    std::string key;
    CsvGetField(0, Record, key);
    info->ShowStationInfo(key);
    return key;
  }
  static TAprsInfo Mobile() {
    TAprsInfo station = SampleStation("N0CALL-9");
    station.Course = 90;
    station.Speed = 20;
    station.Altitude = 1000;
    station.Comment = "/PHG5132 Mobile";
    station.MicEMsg = 2;
    station.PosFormat = 'E';
    station.HeardVia = "DB0ABC";
    station.AprsTime = "071230z";
    return station;
  }
  static TAprsInfo Weather(const std::string& Comment) {
    TAprsInfo station = SampleStation("WX1");
    station.SymCode = '_';
    station.MicEMsg = 32;
    station.Comment = Comment;
    return station;
  }

  TfrmAprsStnInfo* info = nullptr;
  TStationList stations;
  std::vector<std::string> ranges;
};

}  // namespace

TEST_F(StationInfoTest, AMovingStation) {
  const std::string key = Show(RecordOf(Mobile()));
  EXPECT_EQ(ShownKey, key);
  EXPECT_TRUE(info->Visible());
  EXPECT_EQ(info->lblCall->Caption(), "N0CALL-9 [DB0ABC]");
  EXPECT_EQ(info->lblAprsDesAdr->Caption(), "to APRS");
  EXPECT_EQ(info->lblAprsDesAdr->Left(), info->lblCall->Left() + info->lblCall->Width() + 5);
  EXPECT_EQ(info->lblTrx->Caption(), "Mic-E");
  EXPECT_EQ(info->lblMsgTyp->Caption(), "En Route");
  EXPECT_EQ(info->lblMsgTyp->Left(), info->lblTrx->Left() + info->lblTrx->Width() + 5);
  EXPECT_EQ(info->lblTime->Caption(), "07.12.26 - 08:30:15 [071230z]");
  EXPECT_EQ(info->lblPos->Caption(), DegToLatText(52.5) + " / " + DegToLonText(13.4));
  EXPECT_EQ(info->lblLoc->Caption(), LatLonToMaidenhead(52.5, 13.4));
  EXPECT_EQ(info->lblQra->Caption(), "QRB: 11.1 km");
  EXPECT_EQ(info->lblVia->Caption(), "WIDE1-1");
  EXPECT_EQ(info->lblStnComment->Caption(), "Mobile");
  EXPECT_EQ(ranges, std::vector<std::string>{key + " PHG5132"});
  EXPECT_EQ(info->ShownPhgText(), "PHG5132");
  EXPECT_EQ(info->PanelMode(), 1);
  EXPECT_TRUE(info->mpnlAdv->Visible());
  EXPECT_FALSE(info->mpnlWx->Visible());
  EXPECT_EQ(info->Compass->Degrees(), 90);
  EXPECT_EQ(info->mpnlDeg->Caption(), "90\xB0");
  EXPECT_EQ(info->mpnlDegWord->Caption(), CompassName(90));
  EXPECT_EQ(info->mpnlSpeed->Caption(), "37 km/h");
  EXPECT_EQ(info->mpnlAlt->Caption(), "305 m");
  EXPECT_EQ(info->mpnlStnInfo->Left(), info->mpnlAdv->Width() - 1);
  EXPECT_EQ(info->mpnlAX25->Width(), info->mpnlStnInfo->Width() + info->mpnlAdv->Width() - 1);
  EXPECT_EQ(info->ClientWidth(), info->mpnlAX25->Width());
  EXPECT_EQ(info->mpnlTop->Width(), info->ClientWidth());
  EXPECT_EQ(info->memAx25->Text(),
            "fm N0CALL-9 to APRS via WIDE1-1 ctl UI pid F0\r\n!5230.00N/01324.00E>");
  EXPECT_TRUE(info->Timer1->Enabled());
}

TEST_F(StationInfoTest, AFixedStationWithAStatusAndAStationWithoutCourse) {
  TAprsInfo fixed = SampleStation("DB0XYZ");
  fixed.Altitude = 500;
  fixed.Comment = "RNG0050 Digi";
  Show(WithStatus(RecordOf(fixed), ">Net tonight"));
  EXPECT_EQ(info->lblCall->Caption(), "DB0XYZ [direkt]");
  EXPECT_EQ(info->lblTrx->Caption(), "ASCII");
  EXPECT_EQ(info->lblTime->Caption(), "07.12.26 - 08:30:15");
  EXPECT_EQ(info->lblStnComment->Caption(), "Digi");
  EXPECT_EQ(info->ShownPhgText(), "RNG0050");
  EXPECT_EQ(info->lblStnStatus->Caption(), "Net tonight");
  EXPECT_EQ(info->PanelMode(), 0);
  EXPECT_FALSE(info->mpnlAdv->Visible());
  EXPECT_EQ(info->mpnlStnInfo->Left(), 0);
  EXPECT_EQ(info->mpnlAlt->Caption(), "152 m");
  EXPECT_EQ(info->mpnlSpeed->Caption(), "");
  EXPECT_EQ(info->memAx25->Lines().Count(), 3);
  EXPECT_EQ(info->memAx25->Lines()[2], ">Net tonight");

  // Altitude and speed but course 0: no motion panel, the texts are still filled.
  TAprsInfo parked = Mobile();
  parked.SrcCall = "N0CALL-7";
  parked.Course = 0;
  Show(RecordOf(parked));
  EXPECT_EQ(info->PanelMode(), 0);
  EXPECT_FALSE(info->mpnlAdv->Visible());
  EXPECT_EQ(info->mpnlDeg->Caption(), "");
  EXPECT_EQ(info->mpnlSpeed->Caption(), "37 km/h");
  EXPECT_EQ(info->mpnlAlt->Caption(), "305 m");
}

TEST_F(StationInfoTest, ObjectsAndItemsNameTheirOwner) {
  TAprsInfo object = SampleStation("My Obj");
  object.OwnerCall = "N0CALL";
  object.ObjState = '*';
  object.PosFormat = 'C';
  Show(RecordOf(object));
  EXPECT_EQ(info->lblCall->Caption(), "My Obj [direkt]");
  EXPECT_EQ(info->lblTrx->Caption(), "COMP");
  EXPECT_EQ(info->lblStnStatus->Caption(), "Object owner: N0CALL");
  EXPECT_EQ(ShownKey, "AAprsN0CALLMy32Obj");

  TAprsInfo item = object;
  item.SrcCall = "Aid";
  item.ObjState = '!';
  item.PosFormat = ']';
  Show(RecordOf(item));
  EXPECT_EQ(info->lblStnStatus->Caption(), "Item owner: N0CALL");
  EXPECT_EQ(info->lblTrx->Caption(), "TM-D700");
}

TEST_F(StationInfoTest, AWeatherStation) {
  Show(RecordOf(Weather("225/004g010t050r005p010P010h85b10132Davis")));
  EXPECT_EQ(info->PanelMode(), 2);
  EXPECT_TRUE(info->mpnlWx->Visible());
  EXPECT_FALSE(info->mpnlAdv->Visible());
  EXPECT_EQ(info->mpnlWx->Left(), info->mpnlAdv->Left());
  EXPECT_EQ(info->mpnlStnInfo->Left(), info->mpnlWx->Width() - 1);
  EXPECT_EQ(info->lblMsgTyp->Caption(), "Complete Weather Report");
  EXPECT_EQ(info->CompassWind->Degrees(), 225);
  EXPECT_EQ(info->Hydro->Degrees(), 85);
  EXPECT_EQ(info->mpnlHydroWord->Caption(), "85%");
  EXPECT_EQ(info->mpnlBarometic->Caption(), "1013.2 hPa");
  EXPECT_EQ(info->mpnlTendenz->Caption(), "ver\xE4nderlich");
  EXPECT_EQ(info->mpnlWindDeg->Caption(), "225\xB0");
  EXPECT_EQ(info->mpnlWindDegWord->Caption(), CompassName(225));
  EXPECT_EQ(info->mpnlWindSpeed->Caption(), "6 km/h");
  EXPECT_EQ(info->mpnlWindSpeedPeak->Caption(), "16 km/h");
  EXPECT_EQ(info->mpnlTemp->Caption(),
            "10\xB0"
            "C");
  EXPECT_EQ(info->mpnlRain1H->Caption(), "1 mm");
  EXPECT_EQ(info->mpnlRain24h->Caption(), "3 mm");
  EXPECT_EQ(info->lblStnComment->Caption(), "Davis");
  EXPECT_EQ(info->lblStnStatus->Caption(), "");
  // 50 F on the temperature track; dew point (85 %, 10 C: 7.6 C = 46 F) and wind chill.
  EXPECT_EQ(info->mpnlTemp->Top(), ThermometerValueTop(info->mpnlTS->Top(), info->mpnlTS->Height(),
                                                       info->mpnlTemp->Height(), 50));
  EXPECT_EQ(info->mpnlDewPoint->Caption(),
            "8\xB0"
            "C");
  // The dew point takes the temperature's place; the wind chill, shown with it, stands
  // beside it, clear of the dew point's value and of the humidity dial.
  EXPECT_EQ(info->mpnlDewPoint->Left(), info->mpnlTemp->Left());
  EXPECT_EQ(info->mpnlDPTS->Left(), info->mpnlTS->Left());
  EXPECT_GT(info->mpnlWCTS->Left(), info->mpnlDewPoint->BoundsRect().Right);
  EXPECT_GT(info->mpnlWindChill->Left(), info->mpnlWCTS->BoundsRect().Right);
  EXPECT_LE(info->mpnlWindChill->BoundsRect().Right, info->Hydro->Left());
  EXPECT_LE(info->mpnlWindChill->BoundsRect().Right, info->mpnlBarometic->Left());

  // The temperature shows first, then dew point and wind chill take turns with it.
  EXPECT_TRUE(info->mpnlTemp->Visible());
  EXPECT_FALSE(info->mpnlDewPoint->Visible());
  info->Timer1Timer(info->Timer1);
  EXPECT_FALSE(info->mpnlTS->Visible());
  EXPECT_TRUE(info->mpnlDewPoint->Visible());
  EXPECT_TRUE(info->mpnlWindChill->Visible());
  info->mpnlTempChangeClick(info->mpnlDPTS);
  EXPECT_TRUE(info->mpnlTemp->Visible());
}

TEST_F(StationInfoTest, WeatherFromTheStatusKeepsTheWholeComment) {
  Show(WithStatus(RecordOf(Weather("Davis Vantage")), "_12071230c180s002g005t068h50b09980 rest"));
  EXPECT_EQ(info->PanelMode(), 2);
  EXPECT_EQ(info->lblStnComment->Caption(), "Davis Vantage");
  EXPECT_EQ(info->lblStnStatus->Caption(), "12071230 rest");
  EXPECT_EQ(info->mpnlTendenz->Caption(), "Regen");

  // Nothing to read anywhere: waiting for a weather report.
  Show(RecordOf(Weather("Davis")));
  EXPECT_EQ(info->PanelMode(), 0);
  EXPECT_EQ(info->lblMsgTyp->Caption(), "Wait For Positionless Weather Report");
}

// A report without humidity, pressure, rain or gust shows no value for them: a zero
// there would read as a measurement.
TEST_F(StationInfoTest, ValuesAReportDoesNotCarryShowNoZero) {
  Show(RecordOf(Weather("225/004t050")));
  EXPECT_EQ(info->PanelMode(), 2);
  EXPECT_EQ(info->mpnlWindDeg->Caption(), "225\xB0");
  EXPECT_EQ(info->mpnlTemp->Caption(),
            "10\xB0"
            "C");
  EXPECT_EQ(info->mpnlHydroWord->Caption(), "");
  EXPECT_EQ(info->mpnlBarometic->Caption(), "");
  EXPECT_EQ(info->mpnlTendenz->Caption(), "");
  EXPECT_EQ(info->mpnlRain1H->Caption(), "");
  EXPECT_EQ(info->mpnlRain24h->Caption(), "");
  EXPECT_EQ(info->mpnlWindSpeedPeak->Caption(), "");
  EXPECT_EQ(info->mpnlDewPoint->Caption(), "");
  EXPECT_EQ(info->mpnlWindChill->Caption(), "");

  // Only a pressure: no wind, no temperature either.
  stations.Clear();
  Show(RecordOf(Weather("b10132")));
  EXPECT_EQ(info->mpnlBarometic->Caption(), "1013.2 hPa");
  EXPECT_EQ(info->mpnlWindDeg->Caption(), "");
  EXPECT_EQ(info->mpnlWindDegWord->Caption(), "");
  EXPECT_EQ(info->mpnlWindSpeed->Caption(), "");
  EXPECT_EQ(info->mpnlTemp->Caption(), "");
}

// Dots are "not reported", not zero; a negative temperature and 100 % humidity read;
// warm air with wind shows no wind chill above the temperature.
TEST_F(StationInfoTest, DotsNegativesFullHumidityAndWarmWind) {
  Show(RecordOf(Weather(".../...g010t081h00")));
  EXPECT_EQ(info->PanelMode(), 2);
  EXPECT_EQ(info->mpnlWindDeg->Caption(), "");
  EXPECT_EQ(info->mpnlWindDegWord->Caption(), "");
  EXPECT_EQ(info->mpnlWindSpeed->Caption(), "");
  EXPECT_EQ(info->mpnlHydroWord->Caption(), "100%");
  const std::string air =
      "27\xB0"
      "C";
  EXPECT_EQ(info->mpnlTemp->Caption(), air);
  EXPECT_EQ(info->mpnlDewPoint->Caption(), air);
  EXPECT_EQ(info->mpnlWindChill->Caption(), air);

  stations.Clear();
  Show(RecordOf(Weather(".../...g...t-14")));
  EXPECT_EQ(info->mpnlTemp->Caption(),
            "-26\xB0"
            "C");
  EXPECT_EQ(info->mpnlWindSpeedPeak->Caption(), "");
  EXPECT_EQ(info->mpnlWindChill->Caption(), "");
  EXPECT_EQ(info->lblStnComment->Caption(), "");

  // Nothing reported at all: no weather panel of invented values.
  stations.Clear();
  Show(RecordOf(Weather(".../...g...t...")));
  EXPECT_EQ(info->PanelMode(), 0);
}

TEST_F(StationInfoTest, TheHiddenTrackBarTriesTheGaugeOut) {
  Show(RecordOf(Weather("225/004t050")));
  EXPECT_FALSE(info->TrackBar1->Visible());
  info->imgRainDblClick(info->imgRain);
  EXPECT_TRUE(info->TrackBar1->Visible());
  info->TrackBar1->SetPosition(20);
  EXPECT_EQ(info->mpnlRain1H->Caption(), "5 mm");   // 0.20 inch
  EXPECT_EQ(info->mpnlRain24h->Caption(), "8 mm");  // 0.30 inch
  info->TrackBar1->SetPosition(5000);
  EXPECT_EQ(info->TrackBar1->Position(), 999);
}

TEST_F(StationInfoTest, PressureWordsAndTheDecimalSeparator) {
  const std::string record = RecordOf(Weather("225/004t050b10132"));
  Show(record);
  EXPECT_EQ(info->mpnlTendenz->Caption(), "ver\xE4nderlich");
  // The same station with a pressure below any word keeps the word it had.
  stations.Clear();
  Show(RecordOf(Weather("225/004t050b09500")));
  EXPECT_EQ(info->mpnlBarometic->Caption(), "950.0 hPa");
  EXPECT_EQ(info->mpnlTendenz->Caption(), "ver\xE4nderlich");

  const char separator = DecimalSeparator;
  DecimalSeparator = ',';
  stations.Clear();
  Show(record);
  DecimalSeparator = separator;
  EXPECT_EQ(info->mpnlBarometic->Caption(), "1013,2 hPa");
}

TEST_F(StationInfoTest, AnotherStationClearsEverythingOfThePreviousOne) {
  Show(RecordOf(Weather("225/004g010t050r005p010P010h85b10132")));
  TAprsInfo plain = SampleStation("N1ABC");
  plain.MicEMsg = 40;  // beyond the message texts: the label is not set
  Show(RecordOf(plain));
  EXPECT_EQ(info->PanelMode(), 0);
  EXPECT_EQ(info->lblMsgTyp->Caption(), "");
  EXPECT_EQ(info->mpnlTendenz->Caption(), "");
  EXPECT_EQ(info->mpnlBarometic->Caption(), "");
  EXPECT_EQ(info->mpnlRain1H->Caption(), "");
  EXPECT_EQ(info->imgRain->Picture().Graphic(), nullptr);

  // A key that is not in the list shows the window empty, arranged without side panel.
  ranges.clear();
  info->ShowStationInfo("AAprsNOBODY");
  EXPECT_EQ(ShownKey, "AAprsNOBODY");
  EXPECT_EQ(ranges, std::vector<std::string>{"AAprsNOBODY "});
  EXPECT_TRUE(info->Visible());
  EXPECT_EQ(info->lblCall->Caption(), "");
  EXPECT_EQ(info->memAx25->Text(), "");
  EXPECT_EQ(info->PanelMode(), 0);
  EXPECT_EQ(info->ShownRecord(), "");

  info->HideStationInfo();
  EXPECT_FALSE(info->Visible());
  EXPECT_EQ(ShownKey, "");
}

TEST_F(StationInfoTest, PacketTextsAreShownAsTyped) {
  TAprsInfo station = SampleStation("N2&X");
  station.Comment = "<b>bold</b> & <font color=red>Kambrio</font>";
  station.Header = "fm N2&X to APRS ctl UI pid F0";
  Show(RecordOf(station));
  EXPECT_EQ(info->lblCall->Caption(), "N2&X [direkt]");
  EXPECT_EQ(info->lblStnComment->Caption(), "<b>bold</b> & <font color=red>Kambrio</font>");
  EXPECT_FALSE(info->lblStnComment->ShowAccelChar());
  EXPECT_FALSE(info->lblCall->ShowAccelChar());
  EXPECT_EQ(info->memAx25->Lines()[0], "fm N2&X to APRS ctl UI pid F0");
  EXPECT_FALSE(info->imgKambrio->Visible());  // the memo holds no comment

  station.Data = "!5230.00N/01324.00E>kambrio";
  stations.Clear();
  Show(RecordOf(station));
  EXPECT_TRUE(info->imgKambrio->Visible());
}

TEST_F(StationInfoTest, ButtonsAndSwitches) {
  std::string message_to;
  std::vector<std::string> zooms;
  info->OnMessageTo = [&](const std::string& call) { message_to = call; };
  info->OnZoom = [&](bool in, double lat, double lon) {
    zooms.push_back((in ? "in " : "out ") + FloatToStr(lat) + " " + FloatToStr(lon));
  };
  Show(RecordOf(Mobile()));
  info->mbtnTxMsg->Click();
  EXPECT_EQ(message_to, "N0CALL-9");
  info->mbtnZoomIn->Click();
  info->mbtnZoomOut->Click();
  EXPECT_EQ(zooms, (std::vector<std::string>{"in 52.5 13.4", "out 52.5 13.4"}));

  EXPECT_FALSE(info->mbtnShowLock->Down());
  EXPECT_TRUE(info->mbtnFollowRx->Down());
  ASSERT_TRUE(info->mbtnShowAx25->Down());
  const int height = info->ClientHeight();
  info->mbtnShowAx25->Click();
  EXPECT_FALSE(info->mpnlAX25->Visible());
  EXPECT_EQ(info->ClientHeight(), height - info->mpnlAX25->Height());

  info->mbtnClose->Click();
  EXPECT_FALSE(info->Visible());
  EXPECT_FALSE(info->Timer1->Enabled());
}

TEST_F(StationInfoTest, TheWindowStaysOnTheScreen) {
  Show(RecordOf(Mobile()));
  info->SetBounds(-40, -10, info->Width(), info->Height());
  info->KeepStnInfoOnScreen();
  EXPECT_EQ(info->Left(), 0);
  EXPECT_EQ(info->Top(), 0);
  info->SetBounds(Screen->Width() - 10, Screen->Height() - 10, info->Width(), info->Height());
  info->KeepStnInfoOnScreen();
  EXPECT_EQ(info->Left(), Screen->Width() - info->Width());
  EXPECT_EQ(info->Top(), Screen->Height() - info->Height());
}

TEST_F(StationInfoTest, AWeatherStationAsPainted) {
  Show(RecordOf(Weather("225/004g010t050r010p020P015h85b10132")));
  TBitmap picture;
  picture.SetSize(info->Width(), info->Height());
  PaintTo(*info, picture.Canvas(), 0, 0);
  TCanvas& canvas = picture.Canvas();
  // The rain gauge: the hour's rain (10 of a scale of 20) in light red at the bottom of
  // the glass, the rest of the day (15) in light blue above it, the empty glass white on
  // top.
  const int x = info->mpnlWx->Left() + info->imgRain->Left() + 8;
  const int top = info->mpnlWx->Top() + info->imgRain->Top();
  const int bottom = top + info->imgRain->Height();
  EXPECT_EQ(canvas.Pixels(x, bottom - 8), TColor{kRainHourColor});
  EXPECT_EQ(canvas.Pixels(x, bottom - 38), TColor{kRainDayColor});
  EXPECT_EQ(canvas.Pixels(x, top + 14), clWhite);
  // Outside the glass the gauge is transparent: no magenta reaches the window.
  EXPECT_NE(canvas.Pixels(info->mpnlWx->Left() + info->imgRain->Left(), top),
            TColor{kRainGaugeBack});
  // The dials sit on their round faces; the corners round them show the window.
  for (TDial* dial : std::initializer_list<TDial*>{info->CompassWind, info->Hydro}) {
    const int left = info->mpnlWx->Left() + dial->Left();
    const int dialTop = info->mpnlWx->Top() + dial->Top();
    EXPECT_NE(canvas.Pixels(left, dialTop), clFuchsia) << dial->Name;
    EXPECT_NE(canvas.Pixels(left + dial->Width() - 1, dialTop + dial->Height() - 1), clFuchsia)
        << dial->Name;
  }
  // The thermometer's track is a scale: its freezing mark lies where a value panel
  // showing 32 F has its middle.
  const TRect track = info->mpnlTS->BoundsRect();
  const int freezing = info->mpnlWx->Top() + track.Top +
                       ThermometerScaleY(track.Height(), info->mpnlTemp->Height(), 32);
  const TColor mark =
      canvas.Pixels(info->mpnlWx->Left() + track.Left + track.Width() / 2, freezing);
  EXPECT_GT(GetBValue(mark), 150);
  EXPECT_LT(GetRValue(mark), 60);
}

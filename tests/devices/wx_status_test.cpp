#include "devices/wx_status.h"

#include <gtest/gtest.h>

#include <cmath>

#include "controls/compass.h"
#include "controls/hydro.h"
#include "controls/my_panel.h"

namespace {

struct TCelsiusWindow : TWxStatusSettings {
  TCelsiusWindow() { Form.SetSettings(this); }
  int TempFromFahrenheit(int F) const override { return int(std::nearbyint((F - 32) / 1.8)); }
  std::string TempUnitName() const override {
    return "\xB0"
           "C";
  }
  int WindFromMph(int Mph) const override { return int(std::nearbyint(Mph * 1.609344)); }
  std::string WindUnitName() const override { return "km/h"; }
  int MarkerTopFor(int F) {
    Form.SetThermoBar(F);
    return Form.mpnlTemp->Top();
  }
  TfrmWxStatus Form;
};

TWxData FullRecord() {
  TWxData d;
  d.Wind.Valid = true;
  d.Wind.Dir = 248;
  d.Wind.Peak1Min = 4.4704;  // 10 mph
  d.Wind.Peak5Min = 8.9408;  // 20 mph
  d.TempOut.Valid = true;
  d.TempOut.Cur = 20;
  d.HumOut.Valid = true;
  d.HumOut.Cur = 56;
  d.Baro.Valid = true;
  d.Baro.Rel = 1013.25;
  return d;
}

}  // namespace

TEST(WxStatus, ShowsAFullRecordInTheChosenUnits) {
  TCelsiusWindow w;
  EXPECT_EQ(w.Form.ClientWidth(), 153);
  EXPECT_EQ(w.Form.ClientHeight(), 141);
  w.Form.ShowWxData(FullRecord());
  EXPECT_EQ(w.Form.CompassWind->Degrees(), 248);
  EXPECT_EQ(w.Form.mpnlWindDeg->Caption(), "248\xB0");
  EXPECT_EQ(w.Form.mpnlWindDegWord->Caption(), "WSW");
  EXPECT_EQ(w.Form.mpnlWindSpeed->Caption(), "16 km/h");
  EXPECT_EQ(w.Form.mpnlWindSpeedPeak->Caption(), "32 km/h");
  EXPECT_EQ(w.Form.mpnlTemp->Caption(),
            "20\xB0"
            "C");  // 68 F
  EXPECT_EQ(w.Form.Hydro->Degrees(), 56);
  EXPECT_EQ(w.Form.mpnlHydroWord->Caption(), "56%");
  EXPECT_EQ(w.Form.mpnlBarometic->Caption(), "1013.2 hPa");  // %0.1f of 1013.25
}

TEST(WxStatus, MissingValuesShowPlaceholders) {
  TCelsiusWindow w;
  w.Form.ShowWxData(FullRecord());
  w.Form.ShowWxData(TWxData{});
  EXPECT_EQ(w.Form.CompassWind->Degrees(), 0);
  for (TMyPanel* p : {w.Form.mpnlWindDeg, w.Form.mpnlWindDegWord, w.Form.mpnlWindSpeed,
                      w.Form.mpnlWindSpeedPeak, w.Form.mpnlHydroWord}) {
    EXPECT_EQ(p->Caption(), "---") << p->Name;
  }
  EXPECT_EQ(w.Form.Hydro->Degrees(), 0);
  EXPECT_EQ(w.Form.mpnlBarometic->Caption(), "----");
  // No outdoor temperature is no 0 degrees: the marker shows no reading.
  EXPECT_EQ(w.Form.mpnlTemp->Caption(), "---");
  const int top = w.Form.mpnlTemp->Top();
  EXPECT_EQ(top, w.MarkerTopFor(32));
}

TEST(WxStatus, TheThermometerMarkerStopsAtBothEnds) {
  TCelsiusWindow w;
  const TMyPanel& scale = *w.Form.mpnlTS;
  const int lowest = scale.Top() + scale.Height() - w.Form.mpnlTemp->Height();
  const int travel = scale.Height() - w.Form.mpnlTemp->Height();
  EXPECT_EQ(w.MarkerTopFor(-40), lowest);
  EXPECT_EQ(w.MarkerTopFor(-60), lowest);
  EXPECT_EQ(w.MarkerTopFor(122), lowest - travel);
  // 60 degrees C (140 F): at the top, still labelled 60.
  TWxData hot;
  hot.TempOut.Valid = true;
  hot.TempOut.Cur = 60;
  w.Form.ShowWxData(hot);
  EXPECT_EQ(w.Form.mpnlTemp->Top(), lowest - travel);
  EXPECT_EQ(w.Form.mpnlTemp->Caption(),
            "60\xB0"
            "C");
  EXPECT_EQ(w.MarkerTopFor(41), lowest - int(std::nearbyint(travel / 162.0 * 81)));
}

TEST(WxStatus, ShowingTheWindowFetchesTheCurrentRecord) {
  struct TRecord : TWxStatusSettings {
    bool GetWxData(TWxData& Data) const override {
      ++fetched;
      Data = FullRecord();
      return true;
    }
    mutable int fetched = 0;
  } record;
  TfrmWxStatus form;
  form.SetSettings(&record);
  form.Show();
  EXPECT_EQ(record.fetched, 1);
  EXPECT_EQ(form.mpnlHydroWord->Caption(), "56%");
  EXPECT_EQ(form.mpnlTemp->Caption(),
            "68\xB0"
            "F");
  EXPECT_EQ(form.mpnlWindSpeed->Caption(), "10 mph");
  form.mbtnCloseClick(nullptr);
  EXPECT_FALSE(form.Visible());
}

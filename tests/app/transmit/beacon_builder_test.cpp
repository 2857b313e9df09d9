// The beacon texts: range, positions and the weather text, checked against the APRS
// forms and against our own position decoder.
#include <gtest/gtest.h>

#include <limits>

#include "app/transmit/beacon_builder.h"
#include "core/aprs_data.h"
#include "devices/wx_data.h"

namespace {

TWxData Weather() {
  TWxData d;
  d.Wind = {true, 220, 1.5, 1.8, 2.2, 0};
  d.TempOut = {true, 25, 0, 0, 0};
  d.HumOut = {true, 50, 0, 0, 0};
  d.Baro = {true, 1010, 1013.25, 0};
  d.Rain1h = {true, 25.4, 0};
  d.Rain24h = {true, 1.0, 0};
  return d;
}

constexpr TWxTextSwitches kAllOn{true, true, true, true};

}  // namespace

TEST(BeaconBuilder, RangeTextFollowsTheRangeFormulaWithinFourDigits) {
  EXPECT_EQ(BuildRngText(4, 3, 0), "RNG0002");  // sqrt(6 * sqrt(0.2)) = 1.64
  EXPECT_EQ(BuildRngText(0, 100, 3), "RNG0000");
  EXPECT_EQ(BuildRngText(50, 100, 6), "RNG0025");  // sqrt(200 * sqrt(9.95)) = 25.1
  EXPECT_EQ(BuildRngText(1e9, 1e9, 30), "RNG9999");
  EXPECT_EQ(BuildRngText(-5, 100, 0), "RNG0000");
  EXPECT_EQ(BuildRngText(10, -3, 0), "RNG0000");
}

TEST(BeaconBuilder, PlainPositionIsTheAprsFormWithTheSymbolBetweenAndAfter) {
  EXPECT_EQ(BuildUncompressedPos(49.058333333, -72.029166667, '/', '>'), "4903.50N/07201.75W>");
  EXPECT_EQ(BuildUncompressedPos(-33.5, 151.25, '\\', 'k'), "3330.00S\\15115.00Ek");
  // Rounding up to a whole minute carries into the degrees, never "60.00".
  EXPECT_EQ(BuildUncompressedPos(48.9999999, 7.9999999, '/', '-'), "4900.00N/00800.00E-");
  EXPECT_EQ(BuildUncompressedPos(90, 180, '/', '-'), "9000.00N/18000.00E-");
  EXPECT_EQ(BuildUncompressedPos(90.5, 0, '/', '-'), "");
  EXPECT_EQ(BuildUncompressedPos(0, -181, '/', '-'), "");
  EXPECT_EQ(BuildUncompressedPos(0, std::numeric_limits<double>::quiet_NaN(), '/', '-'), "");
}

TEST(BeaconBuilder, CompressedPositionDecodesBackToThePosition) {
  const std::string block = BuildCompressedPos(49.5, -72.75, '/', '>');
  // The compressed example of the APRS protocol reference (chapter 9), give or take
  // the rounding of the last longitude unit.
  EXPECT_EQ(block.substr(0, 8), "/5L!!<*e");
  EXPECT_EQ(block.substr(9), "> TO");
  for (auto [lat, lon] :
       {std::pair{52.5084, 13.345}, std::pair{-33.86, 151.21}, std::pair{0.001, -0.001}}) {
    const TAprsData d = DecodeAprsData("APRS", "=" + BuildCompressedPos(lat, lon, '/', '-'));
    ASSERT_TRUE(d.HasPosition);
    EXPECT_EQ(d.PosFormat, 'C');
    EXPECT_NEAR(d.Lat, lat, 1e-5);
    EXPECT_NEAR(d.Lon, lon, 1e-5);
    EXPECT_EQ(d.SymCode, '-');
  }
  EXPECT_EQ(BuildCompressedPos(-91, 0, '/', '-'), "");
}

TEST(BeaconBuilder, WeatherTextInAprsUnitsAndOrder) {
  // 1.8 m/s = 4.03 mph, 2.2 m/s = 4.92 mph; 25 C = 77 F; 25.4 mm = r100; 1013.25 hPa
  // = 10132.5 tenths, rounded to the even 10132.
  EXPECT_EQ(BuildWxText(Weather(), kAllOn), "220/004g005t077r100p004h50b10132");
  EXPECT_EQ(BuildWxText(Weather(), {}), ".../...g...t077");
  EXPECT_EQ(BuildWxText(Weather(), {false, true, false, false}), ".../...g...t077r100p004");
}

TEST(BeaconBuilder, WeatherTextNeverLeavesTheAprsFieldForms) {
  TWxData d = Weather();
  d.TempOut.Cur = -20.5;  // -4.9 F
  d.HumOut.Cur = 100;
  EXPECT_EQ(BuildWxText(d, kAllOn), "220/004g005t-05r100p004h00b10132");
  d.TempOut.Cur = -60;  // -76 F
  d.HumOut.Cur = 0;
  EXPECT_EQ(BuildWxText(d, {}).substr(11), "t-76");
  EXPECT_EQ(BuildWxText(d, {false, false, true, false}).substr(15), "h01");
  d.Wind.Peak5Min = 500;  // a broken sensor's gust: the field stops at 999
  d.Rain1h.Value = 1000;
  EXPECT_EQ(BuildWxText(d, kAllOn).substr(0, 11), "220/004g999");
  EXPECT_NE(BuildWxText(d, kAllOn).find("r999"), std::string::npos);
}

TEST(BeaconBuilder, MissingValuesAreSentAsPlaceholders) {
  TWxData d;  // nothing heard yet
  EXPECT_EQ(BuildWxText(d, kAllOn), ".../...g...t...r...p...h..b.....");
}

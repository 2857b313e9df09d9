#include "devices/wx_calc.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The dew point the other way round: the temperature at which the air of the given
// humidity would be saturated, found by bisection on the Magnus vapour pressure.
double DewPointBySaturation(double HumidityPercent, double T) {
  auto saturation = [](double t) { return 6.1078 * std::exp(17.5043 * t / (241.2 + t)); };
  const double vapour = HumidityPercent / 100 * saturation(T);
  double low = -100, high = T;
  for (int i = 0; i < 200; ++i) {
    const double mid = (low + high) / 2;
    (saturation(mid) < vapour ? low : high) = mid;
  }
  return low;
}

}  // namespace

TEST(WxCalc, DewPointMatchesTheSaturationTemperature) {
  for (int h : {1, 5, 30, 50, 75, 99, 100}) {
    for (double t : {-25.0, -5.5, 0.0, 12.3, 20.0, 35.0}) {
      EXPECT_NEAR(DewPoint(std::uint8_t(h), t), DewPointBySaturation(h, t), 1e-6) << h << " " << t;
    }
  }
  EXPECT_NEAR(DewPoint(50, 20), 9.26, 0.01);  // the usual table value
  EXPECT_EQ(DewPoint(0, 20), 0);
  EXPECT_EQ(DewPoint(100, 20), 20);  // saturated air is at its dew point
}

TEST(WxCalc, WindChillStartsAt5KilometresPerHour) {
  EXPECT_EQ(WindChill(-10, 1.3), -10);  // 4.68 km/h
  const double v = 1.4 * 3.6;           // 5.04 km/h
  EXPECT_NEAR(WindChill(-10, 1.4),
              13.12 - 6.215 - 11.37 * std::pow(v, 0.16) - 3.965 * std::pow(v, 0.16), 1e-9);
  // Published table: -10 degrees at 30 km/h feels like -19.5 (rounded -20).
  EXPECT_NEAR(WindChill(-10, 30 / 3.6), -19.5, 0.05);
  EXPECT_NEAR(WindChill(0, 20 / 3.6), -5.2, 0.05);
}

// Wind never warms: over the whole range the chill is at most the air temperature, and
// above 10 degrees (where the index is not defined) it is the air temperature.
TEST(WxCalc, WindChillIsNeverAboveTheAirTemperature) {
  for (double t = -40; t <= 45; t += 0.5) {
    for (double wind = 0; wind <= 60; wind += 0.7) {
      const double chill = WindChill(t, wind);
      EXPECT_LE(chill, t) << t << " " << wind;
      if (t > 10) {
        EXPECT_EQ(chill, t) << t << " " << wind;
      }
    }
  }
}

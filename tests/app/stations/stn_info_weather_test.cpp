#include <gtest/gtest.h>

#include "app/stations/stn_info_weather.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"

TEST(PhgRng, AValidPhgGroupIsTakenOutOfTheComment) {
  std::string comment = "/PHG5132 Hello";
  EXPECT_EQ(ExtractPhgRng(comment), "PHG5132");
  EXPECT_EQ(comment, "/ Hello");

  comment = "PHG5132 Hello";
  EXPECT_EQ(ExtractPhgRng(comment), "PHG5132");
  EXPECT_EQ(comment, "Hello");

  comment = "xPHG1998";
  EXPECT_EQ(ExtractPhgRng(comment), "PHG1998");
  EXPECT_EQ(comment, "x");
}

TEST(PhgRng, AnInvalidPhgGroupLeavesTheCommentAndHidesAnRng) {
  for (const char* text :
       {"/PHG9X32 Hello", "PHG513", "PHG5139 x", "PHG51/2", "PHG5:32", "PHGA132"}) {
    std::string comment = text;
    EXPECT_EQ(ExtractPhgRng(comment), "") << text;
    EXPECT_EQ(comment, text);
  }
  std::string comment = "PHG5X32 RNG0050";
  EXPECT_EQ(ExtractPhgRng(comment), "");
  EXPECT_EQ(comment, "PHG5X32 RNG0050");
}

TEST(PhgRng, RngNeedsFourDigits) {
  std::string comment = "RNG0050 Digi";
  EXPECT_EQ(ExtractPhgRng(comment), "RNG0050");
  EXPECT_EQ(comment, "Digi");
  for (const char* text : {"RNG005", "RNG00A0 x", "no group"}) {
    comment = text;
    EXPECT_EQ(ExtractPhgRng(comment), "") << text;
    EXPECT_EQ(comment, text);
  }
}

TEST(PressureWords, EachRangeAndItsEdges) {
  auto word = [](int tenths) { return PressureWordText(PressureTendencyWord(tenths)); };
  EXPECT_EQ(PressureTendencyWord(9500), -1);
  EXPECT_EQ(PressureTendencyWord(9594), -1);  // 959.4 rounds to 959
  EXPECT_EQ(word(9596), "Sturm");
  EXPECT_EQ(word(9754), "Sturm");
  EXPECT_EQ(word(9760), "viel Regen");
  EXPECT_EQ(word(9905), "viel Regen");  // 990.5 rounds to even 990
  EXPECT_EQ(word(10000), "Regen");
  EXPECT_EQ(word(10132), "ver\xE4nderlich");
  EXPECT_EQ(word(10210),
            "\xFC"
            "berwiegend sonnig");
  EXPECT_EQ(word(10400), "sonnig, best\xE4ndig");
  EXPECT_EQ(word(10410), "sehr trocken");
}

TEST(Thermometer, ValuesMapOntoTheTrackAndPinAtItsEnds) {
  // Track 4..154, value panel 14 high: -40 F at the bottom (140), 122 F at the top (4).
  EXPECT_EQ(ThermometerValueTop(4, 150, 14, -40), 140);
  EXPECT_EQ(ThermometerValueTop(4, 150, 14, 122), 4);
  EXPECT_EQ(ThermometerValueTop(4, 150, 14, 41), 72);
  EXPECT_EQ(ThermometerValueTop(4, 150, 14, 200), 4);
  EXPECT_EQ(ThermometerValueTop(4, 150, 14, -90), 140);
  EXPECT_EQ(ThermometerFahrenheit(0), 32);
  EXPECT_EQ(ThermometerFahrenheit(-60), -40);
  EXPECT_EQ(ThermometerFahrenheit(60), 122);
}

TEST(RainGauge, ScaleSteps) {
  EXPECT_EQ(RainScaleTop(0), 20);
  EXPECT_EQ(RainScaleTop(20), 20);
  EXPECT_EQ(RainScaleTop(21), 40);
  EXPECT_EQ(RainScaleTop(40), 40);
  EXPECT_EQ(RainScaleTop(41), 60);
  EXPECT_EQ(RainScaleTop(5000), 1000);  // capped at 999
}

TEST(RainGauge, NoRainDrawsAnEmptyWhiteGlassOnMagenta) {
  TBitmap gauge;
  gauge.SetSize(36, 74);
  EXPECT_EQ(DrawRainGauge(gauge, 0, 0), 0);
  EXPECT_EQ(gauge.Canvas().Pixels(0, 0), TColor{kRainGaugeBack});  // outside the glass
  EXPECT_EQ(gauge.Canvas().Pixels(8, 40), clWhite);
  EXPECT_EQ(gauge.Canvas().Pixels(8, 68), clWhite);
  EXPECT_EQ(gauge.TransparentColor(), TColor{kRainGaugeBack});
}

TEST(RainGauge, HourInRedUnderTheRestOfTheDayInBlue) {
  TBitmap gauge;
  gauge.SetSize(36, 74);
  // Scale 20 over 74 - 12 = 62 pixels: the hour (5) fills 16, the day (10) 31.
  EXPECT_EQ(DrawRainGauge(gauge, 5, 10), 10);
  EXPECT_EQ(gauge.Canvas().Pixels(8, 62), TColor{kRainHourColor});
  EXPECT_EQ(gauge.Canvas().Pixels(8, 45), TColor{kRainDayColor});
  EXPECT_EQ(gauge.Canvas().Pixels(8, 15), clWhite);
  // The right half of each cylinder is shaded darker.
  EXPECT_NE(gauge.Canvas().Pixels(28, 62), TColor{kRainHourColor});

  // A day total below the hour's is drawn as the hour's.
  EXPECT_EQ(DrawRainGauge(gauge, 10, 4), 10);
  EXPECT_EQ(gauge.Canvas().Pixels(8, 45), TColor{kRainHourColor});
  EXPECT_EQ(DrawRainGauge(gauge, 0, 5000), 999);
}

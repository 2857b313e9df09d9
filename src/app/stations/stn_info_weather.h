// The drawings and words of the station detail window's weather and range texts: the
// PHG/RNG group of a comment, the weather word of a pressure, the thermometer scale and
// the rain gauge picture.
#pragma once

#include <string>

class TBitmap;

// Takes a valid "PHGphgd" group (power, height, gain, directivity) out of Comment, or,
// when the comment holds no "PHG" at all, an "RNGrrrr" group; the comment is then
// left-trimmed. Returns the group, or empty (Comment unchanged) when there is none or
// the PHG group is not valid.
std::string ExtractPhgRng(std::string& Comment);

// The weather word of a pressure in tenths of hPa, as the number of the word: 0
// "Sturm" up to 6 "sehr trocken" (4 "veränderlich" for 10132); -1 below 960 hPa, where
// the window keeps the word it showed. The words are translated texts, one a line, as
// PressureWordText gives them.
constexpr int kPressureWordCount = 7;
int PressureTendencyWord(int PressureTenths);
std::string PressureWordText(int Word);

// Thermometers span -40 .. 122 degrees F.
constexpr int kThermoMinF = -40;
constexpr int kThermoMaxF = 122;
// Top of the value panel of a thermometer for F degrees Fahrenheit, pinned at the ends.
int ThermometerValueTop(int TrackTop, int TrackHeight, int ValueHeight, double F);
// A derived temperature (dew point, wind chill) in degrees C as whole degrees F within
// the thermometer's span.
int ThermometerFahrenheit(double Celsius);

// Top of the rain gauge's scale in 1/100 inch for the rain since midnight: 20, then
// steps of 20 (up to the cap of 999).
int RainScaleTop(int RainMidnight);
// The gauge on Picture (its size kept): the hour's rain in light red under the rest of
// the day in light blue, in a white glass, on magenta, the transparent colour. Rain in
// 1/100 inch. Returns the rain since midnight as drawn: capped at 999 and at least
// the hour's.
int DrawRainGauge(TBitmap& Picture, int Rain1h, int RainMidnight);

constexpr unsigned kRainGaugeBack = 0xFF00FF;
constexpr unsigned kRainHourColor = 0x8080FF;
constexpr unsigned kRainDayColor = 0xF0CAA6;

// The texts of the own beacons: the range text, the position with its symbol in plain
// and compressed form, and the weather text of the weather beacon.
//
//   "RNG0002"                                   range in miles
//   "4903.50N/07201.75W>"                        plain position, symbol table '/', code '>'
//   "/5L!!<*e7> TO"                              compressed position
//   "220/004g005t077r000p000h50b09900"           weather
//
// Everything here is a pure function. What goes on the air must be valid APRS, so the
// builders never write a form a receiver would misread: a position outside the globe
// gives an empty text, a missing or out-of-range weather value its placeholder or the
// nearest value the field can hold.
#pragma once

#include <string>

struct TWxData;

// "RNG" and at least four digits of sqrt(2 h sqrt(P / 10 * 10^(G / 10) / 2)), rounded
// (halves to even), at most 9999; power in watts, height in feet, gain in dB. Negative
// or non-numeric inputs count as 0.
std::string BuildRngText(double PowerWatts, double HeightFeet, double GainDb);

// "DDMM.MMN" + SymTab + "DDDMM.MME" + SymCode; empty when the position is not on the
// globe (or not a number).
std::string BuildUncompressedPos(double Lat, double Lon, char SymTab, char SymCode);
// SymTab + the 4 + 4 base-91 characters + SymCode + " TO"; empty like the plain form.
std::string BuildCompressedPos(double Lat, double Lon, char SymTab, char SymCode);

// The weather switches of the settings window.
struct TWxTextSwitches {
  bool Wind = false;      // mbtnWind
  bool Rain = false;      // mbtnRain
  bool Humidity = false;  // mbtnHuminity
  bool Baro = false;      // mbtnBaro
};

// The weather part of the weather beacon from the station's record (metric) in APRS
// units: wind "ddd/sssgggg" in mph (".../...g..." when off), "t" in degrees F, rain "r"
// and "p" in hundredths of an inch, "h" in percent, "b" in tenths of hPa. A value the
// station marks invalid is sent as its dots placeholder. Temperatures below zero take
// the APRS form "t-05", humidity 100 % is "h00", and values beyond a field's digits
// stop at its largest value.
std::string BuildWxText(const TWxData& Data, const TWxTextSwitches& Switches);

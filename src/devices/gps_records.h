// The GPS records: what the NMEA decoder keeps of the four sentence kinds the program
// uses. Each record lives from one sentence to the next: a new sentence of its kind
// overwrites the fields it carries, and `Valid` says whether the receiver has sent
// one since it started or last fell silent.
//
// Positions are kept as the receiver sent them, e.g. $GPRMC,...,4916.45,N,12311.12,W,...
// gives Lat "4916.45" (ddmm.mm), Lon "12311.12" (dddmm.mm), NS 'N', EW 'W'. Characters
// are 0 for an empty field.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/sys/date_time.h"

// GGA ($GPGGA, $GNGGA ... from any talker): fix data.
struct TGpsGGA {
  TDateTime DateTime = 0;  // the computer's local calendar day + the sentence's UTC time
  std::string Raw;
  std::string Lat;
  std::string Lon;
  char NS = 0;
  char EW = 0;
  char Quality = 0;  // '0' invalid, '1' GPS, '2' DGPS
  double HDOP = 0;
  double Altitude = 0;  // metres above mean sea level
  double GeoidSep = 0;  // metres
  double DgpsAge = 0;   // seconds
  std::uint8_t Sats = 0;
  std::uint16_t DgpsStation = 0;
  bool FixValid = false;
  bool Valid = false;
};

// The satellite systems, numbered as NMEA 0183 4.11 numbers them in the last field of a
// GSA sentence. A satellite number means a satellite only with its system: Galileo 11
// and GPS 11 are two satellites.
enum class TGnssSystem : std::uint8_t {
  None = 0,
  Gps = 1,  // with SBAS (33-64) and QZSS (193-200) as GPS receivers report them
  Glonass = 2,
  Galileo = 3,
  BeiDou = 4,
  Qzss = 5,
  NavIC = 6,
};

// A GSA sentence names at most twelve satellites; a receiver of several systems sends
// one sentence per system, one after the other.
constexpr int kGsaSystems = 6;

// GSA: dilution of precision and the satellites used in the solution.
struct TGpsGSA {
  std::string Raw;
  char Mode = 0;  // 'A' automatic, 'M' manual
  char Fix = 0;   // '1' none, '2' 2D, '3' 3D
  // Twelve per sentence of a run of GSA sentences, 0 for an empty field. Numbers go
  // past 255 (Galileo 301-336 on some receivers).
  std::array<std::uint16_t, 12 * kGsaSystems> Prn{};
  std::array<TGnssSystem, 12 * kGsaSystems> System{};  // of each Prn entry
  double PDOP = 0;
  double HDOP = 0;
  double VDOP = 0;
  bool FixValid = false;
  bool Valid = false;
};

// One satellite in view; all zero is an empty slot.
struct TGpsSat {
  std::uint16_t Prn = 0;
  std::int8_t Elevation = 0;  // degrees, -90 to 90: a satellite just below the horizon is < 0
  std::uint8_t Snr = 0;       // dB
  std::uint16_t Azimuth = 0;  // degrees true
  TGnssSystem System = TGnssSystem::None;
};

// GSV: satellites in view, four per message, up to three messages.
struct TGpsGSV {
  std::string Raw1;
  std::string Raw2;
  std::string Raw3;
  std::array<TGpsSat, 12> Sat{};  // slot k (1-based, as the receiver counts) is Sat[k - 1]
  std::uint8_t InView = 0;
  bool Valid = false;
};

// RMC: recommended minimum data.
struct TGpsRMC {
  TDateTime DateTime = 0;  // the sentence's UTC date and time
  bool TimeValid = false;  // the last sentence carried a date and time that exist
  std::string Raw;
  std::string Lat;
  std::string Lon;
  char NS = 0;
  char EW = 0;
  char VarEW = 0;
  double Speed = 0;      // knots over ground
  double Course = 0;     // degrees true
  double Variation = 0;  // degrees
  bool Active = false;   // status "A": the receiver vouches for the data
  bool Valid = false;
};

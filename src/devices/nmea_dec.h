// NMEA 0183 decoding for the GPS receiver: checks sentences, fills the GPS records
// (gps_records.h) and reports every line through events.
//
// A sentence is "$" address "," fields "*" two hex digits of the XOR of everything
// between "$" and "*", at most 82 characters, e.g.
//   $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
// Received text is cut into lines at CR or LF; text without a line end is held until
// it arrives, or until it passes 100 characters, when it is reported as a bad line.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "devices/gps_records.h"
#include "platform/sys/component.h"

// Results of CheckNmeaSentence.
constexpr int kNmeaFormatError = -1;
constexpr int kNmeaChecksumError = -2;
constexpr int kNmeaOther = 0;  // correct, of a kind not decoded here (or without a comma)
constexpr int kNmeaGGA = 1;
constexpr int kNmeaGSA = 2;
constexpr int kNmeaGSV = 3;
constexpr int kNmeaRMC = 4;

constexpr std::size_t kNmeaMaxSentence = 82;
constexpr std::size_t kNmeaMaxIntDigits = 9;
constexpr double kNmeaFloatLimit = 1e6;
// GSV sequences kept at once: seven systems on up to four signals each.
constexpr std::size_t kMaxGsvSequences = 28;
constexpr std::size_t kNmeaMaxPartialLine = 100;

using TOnNewData = std::function<void(TComponent* Sender, const std::string& strNewRxData)>;
using TOnNewDataOk = std::function<void(TComponent* Sender, const std::string& strNmeaMsg)>;

// For "$...*": the XOR of the characters between "$" and "*" as two upper-case hex
// digits; anything else gives "".
void NmeaChecksum(const std::string& Sentence, std::string& Result);
// Field Index (0 is the address, e.g. "$GPGGA"); fields end at ',' and the last at '*'.
// An index past the last field gives "".
void GetNmeaField(int Index, const std::string& Sentence, std::string& Result);
// First character, 0 for an empty field.
char NmeaFieldAsChar(const std::string& Field);
// The field's whole number: digits, a minus sign before them at most; 0, no value,
// for anything else (a blank, a plus sign, more than nine digits).
int NmeaFieldAsInt(const std::string& Field);
// The field's decimal number: digits with at most one point and a minus sign before
// them; 0, no value, for anything else (an exponent, a blank) and for a million or more,
// which no receiver measures (a caption of 1e308 metres would run 300 characters).
double NmeaFieldAsFloat(const std::string& Field);
// One of the results above, for the sentence with blanks and control characters at
// either end removed. Hex digits of either case match. A sentence with nothing between
// "$" and "*", or without two hex digits after "*", is a format error.
int CheckNmeaSentence(const std::string& Sentence);
// The two-letter talker of an address such as "$GNGGA" ("GN"): the kind of a sentence is
// its type, whichever system sends it. "" for a maker's own "$P..." sentence or an
// address that is not "$", two capitals and a three-capital type.
std::string NmeaTalker(const std::string& Address);
// The system of satellite Prn in a sentence of Talker. SystemId is the id ending a GSA
// sentence of NMEA 4.11 (1 GPS ... 6 NavIC), 0 where there is none; without it the
// talker names the system ("GL" GLONASS, "GA" Galileo, "GB"/"BD" BeiDou, "GQ" QZSS,
// "GI" NavIC), and for "GP", "GN" and the rest the number ranges older receivers use
// do: 65-96 GLONASS, 201-237 BeiDou, any other GPS. None for Prn 0.
TGnssSystem NmeaSatSystem(const std::string& Talker, int SystemId, int Prn);
// The GSA record names Sat among the satellites used: the same number of the same system.
bool IsSatInUse(const TGpsGSA& Gsa, const TGpsSat& Sat);

class TNmeaDec : public TComponent {
 public:
  explicit TNmeaDec(TComponent* AOwner = nullptr);

  // Checks one line, fills the record of its kind and fires the events; an empty line
  // does nothing at all.
  void DecodeNmeaSentence(const std::string& Sentence);
  // Splits received text into lines and decodes each.
  void FeedNmeaText(const std::string& Text);
  // Marks all four records stale (time-out, stop); the values stay.
  void ClearValid();

  // Timer ticks since the last decoded non-empty line (counted up by the receiver).
  int SilentTicks = 0;
  std::string PartialLine;

  TNotifyEvent OnDataError;
  TOnNewData OnNewData;
  TOnNewDataOk OnNewDataOk;

  // Local date and time, for the calendar day of GGA sentences; tests set their own.
  std::function<TDateTime()> Clock = Now;

  TGpsGGA GGA;
  TGpsGSA GSA;
  // The satellites in view of every talker ($GPGSV, $GLGSV, $GAGSV ...), each with its
  // share of the slots, each satellite once whatever signals it is heard on; InView is
  // their sum.
  TGpsGSV GSV;
  TGpsRMC RMC;

  std::string ClassName() const override { return "TNmeaDec"; }

 private:
  // One GSV sequence as its talker last sent it: newer receivers send one per signal
  // (NMEA 4.11 ends each sentence with a signal id, e.g. 1 for GPS L1 C/A, 8 for L5).
  struct TGsvShare {
    std::string Talker;
    std::string Signal;  // "" from a receiver that names none
    TGpsGSV Sequence;
  };
  // One talker's satellites, each once, from all its sequences.
  struct TTalkerSky {
    std::string Talker;
    std::vector<TGpsSat> Sats;
    int InView = 0;
  };
  std::vector<TGsvShare> gsv_sequences_;  // in the order first heard
  int gsa_run_ = 0;                       // GSA sentences in a row so far

  void DecodeGGA(const std::string& S);
  void DecodeGSA(const std::string& S);
  void DecodeGSV(const std::string& S);
  void DecodeRMC(const std::string& S);
  static void DecodeGsvSequence(const std::string& S, TGpsGSV& Sequence);
  void JoinGsvShares();
  static std::vector<TTalkerSky> SkyByTalker(const std::vector<TGsvShare>& Shares);
};

#include "devices/nmea_dec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "devices/nmea_test_support.h"
#include "platform/sys/date_time.h"

namespace {

const std::string kGga =
    Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,3.5,0120");
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

// Records what the decoder reports, in order.
struct TEventLog {
  explicit TEventLog(TNmeaDec& Dec) {
    Dec.OnDataError = [this](TComponent*) { Events.push_back("error"); };
    Dec.OnNewDataOk = [this](TComponent*, const std::string& Msg) {
      Events.push_back("ok " + Msg);
    };
    Dec.OnNewData = [this](TComponent*, const std::string& Line) {
      Events.push_back("data " + Line);
    };
  }
  std::vector<std::string> Events;
};

}  // namespace

TEST(NmeaSentence, ChecksumAndFields) {
  std::string sum;
  NmeaChecksum("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*", sum);
  EXPECT_EQ(sum, "6A");
  NmeaChecksum("GPRMC,1*", sum);
  EXPECT_EQ(sum, "");
  NmeaChecksum("$GPRMC,1", sum);
  EXPECT_EQ(sum, "");

  std::string f;
  GetNmeaField(0, kRmc, f);
  EXPECT_EQ(f, "$GPRMC");
  GetNmeaField(11, kRmc, f);
  EXPECT_EQ(f, "W");  // the last field ends at '*'
  GetNmeaField(12, kRmc, f);
  EXPECT_EQ(f, "");
  GetNmeaField(-1, kRmc, f);
  EXPECT_EQ(f, "$GPRMC");
  EXPECT_EQ(NmeaFieldAsChar(""), 0);
  EXPECT_EQ(NmeaFieldAsInt("08"), 8);
  EXPECT_EQ(NmeaFieldAsInt("0.9"), 0);
  EXPECT_EQ(NmeaFieldAsInt("99999999999999"), 0);
}

TEST(NmeaSentence, CheckGivesKindOrError) {
  EXPECT_EQ(CheckNmeaSentence(kGga), kNmeaGGA);
  EXPECT_EQ(CheckNmeaSentence(Nmea("GPGSA,A,3")), kNmeaGSA);
  EXPECT_EQ(CheckNmeaSentence(Nmea("GPGSV,1,1,00")), kNmeaGSV);
  EXPECT_EQ(CheckNmeaSentence("  " + kRmc + "\r\n"), kNmeaRMC);
  EXPECT_EQ(CheckNmeaSentence(Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K")), kNmeaOther);
  EXPECT_EQ(CheckNmeaSentence(Nmea("GPTXT")), kNmeaOther);    // no comma
  EXPECT_EQ(CheckNmeaSentence(Nmea("gpgga,1")), kNmeaOther);  // the address compares exactly

  std::string lower = kRmc;
  lower.back() = 'a';
  EXPECT_EQ(CheckNmeaSentence(lower), kNmeaRMC);
  std::string wrong = kRmc;
  wrong.back() = 'B';
  EXPECT_EQ(CheckNmeaSentence(wrong), kNmeaChecksumError);
  std::string flipped = kRmc;
  flipped[10] = '9';
  EXPECT_EQ(CheckNmeaSentence(flipped), kNmeaChecksumError);

  EXPECT_EQ(CheckNmeaSentence(""), kNmeaFormatError);
  EXPECT_EQ(CheckNmeaSentence("$*00"), kNmeaFormatError);  // nothing between '$' and '*'
  EXPECT_EQ(CheckNmeaSentence("$GPGGA,1*G0"), kNmeaFormatError);
  EXPECT_EQ(CheckNmeaSentence("$GPGGA,1*0"), kNmeaFormatError);
  EXPECT_EQ(CheckNmeaSentence(kRmc.substr(1)), kNmeaFormatError);
  EXPECT_EQ(CheckNmeaSentence(kRmc.substr(0, kRmc.size() - 3)), kNmeaFormatError);

  // 82 characters are the most a sentence may have.
  const std::string body82 = "GPVTG," + std::string(82 - 4 - 6, 'x');
  ASSERT_EQ(Nmea(body82).size(), 82u);
  EXPECT_EQ(CheckNmeaSentence(Nmea(body82)), kNmeaOther);
  EXPECT_EQ(CheckNmeaSentence(Nmea(body82 + "x")), kNmeaFormatError);
}

TEST(NmeaSentence, TheKindIsTheTypeWhicheverSystemTalks) {
  // GPS, GLONASS, Galileo, BeiDou (both its ids), QZSS, NavIC and combined solutions.
  for (const char* talker : {"GP", "GL", "GA", "BD", "GB", "GQ", "GI", "GN"}) {
    const std::string t = talker;
    EXPECT_EQ(CheckNmeaSentence(Nmea(t + "GGA,1")), kNmeaGGA) << t;
    EXPECT_EQ(CheckNmeaSentence(Nmea(t + "GSA,A,3")), kNmeaGSA) << t;
    EXPECT_EQ(CheckNmeaSentence(Nmea(t + "GSV,1,1,00")), kNmeaGSV) << t;
    EXPECT_EQ(CheckNmeaSentence(Nmea(t + "RMC,1")), kNmeaRMC) << t;
    EXPECT_EQ(NmeaTalker("$" + t + "RMC"), t);
  }
  // A maker's own sentence is no standard one, even when its name ends in one.
  EXPECT_EQ(CheckNmeaSentence(Nmea("PGRMC,1")), kNmeaOther);
  EXPECT_EQ(CheckNmeaSentence(Nmea("PUBX,00,1")), kNmeaOther);
  for (const char* address : {"GNRMCX", "GRMC", "G1RMC", "gnRMC", "GNrmc"}) {
    EXPECT_EQ(CheckNmeaSentence(Nmea(std::string(address) + ",1")), kNmeaOther) << address;
  }
}

TEST(NmeaDecoder, AMultiSystemReceiverGivesItsFix) {
  // A u-blox style combined solution; sentence bodies as the NMEA 0183 4.10 layouts give.
  TNmeaDec dec;
  TEventLog log(dec);
  dec.FeedNmeaText(Nmea("GNRMC,083559.00,A,5230.1234,N,01324.5678,E,0.004,77.52,091226,,,A,V") +
                   "\r\n" +
                   Nmea("GNGGA,083559.00,5230.1234,N,01324.5678,E,1,17,0.78,36.3,M,44.6,M,,") +
                   "\r\n" + Nmea("GNGSA,A,3,10,32,24,12,25,15,,,,,,,1.36,0.78,1.11,1") + "\r\n");
  EXPECT_TRUE(dec.RMC.Valid && dec.RMC.Active);
  EXPECT_EQ(dec.RMC.Lat, "5230.1234");
  EXPECT_EQ(dec.RMC.EW, 'E');
  EXPECT_TRUE(dec.GGA.Valid && dec.GGA.FixValid);
  EXPECT_EQ(dec.GGA.Sats, 17);
  EXPECT_TRUE(dec.GSA.Valid);
  EXPECT_EQ(dec.GSA.Fix, '3');
  EXPECT_EQ(dec.GSA.Prn[5], 15);
  EXPECT_DOUBLE_EQ(dec.GSA.VDOP, 1.11);  // the system id after it is no DOP
  EXPECT_EQ(log.Events[0], "ok $GNRMC");

  // One GSA per system, one after the other: the satellites of all of them are in use.
  dec.FeedNmeaText(Nmea("GNGSA,A,3,66,67,75,76,,,,,,,,,1.36,0.78,1.11,2") + "\r\n" +
                   Nmea("GNGSA,A,3,02,11,,,,,,,,,,,1.36,0.78,1.11,3") + "\r\n");
  auto used = [&dec](int Prn) { return std::count(dec.GSA.Prn.begin(), dec.GSA.Prn.end(), Prn); };
  for (int prn : {10, 32, 15, 66, 76, 2, 11}) EXPECT_EQ(used(prn), 1) << prn;
  EXPECT_EQ(dec.GSA.Fix, '3');
  // The next fix starts the list anew.
  dec.FeedNmeaText(Nmea("GNRMC,083600.00,A,5230.1234,N,01324.5678,E,0.004,77.52,091226,,,A,V") +
                   "\r\n" + Nmea("GNGSA,A,3,10,,,,,,,,,,,,1.36,0.78,1.11,1") + "\r\n");
  EXPECT_EQ(used(10), 1);
  EXPECT_EQ(used(66), 0);
  EXPECT_EQ(used(0), int(dec.GSA.Prn.size()) - 1);
}

TEST(NmeaDecoder, EveryTalkersSatellitesHaveTheirShare) {
  TNmeaDec dec;
  const std::vector<std::string> gps = {
      "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
      "GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00",
      "GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00"};
  const std::vector<std::string> glonass = {
      "GLGSV,2,1,07,65,35,045,30,66,60,120,33,72,12,330,21,73,05,010,",
      "GLGSV,2,2,07,80,44,200,28,81,20,260,25,82,71,300,36"};
  // Newer receivers end a sentence with a signal id; it is no fourth satellite.
  const std::string galileo = "GAGSV,1,1,03,02,45,100,38,08,30,200,35,30,12,300,,7";
  const std::string beidou = "BDGSV,1,1,02,201,40,080,31,207,22,150,29";
  for (const auto& body : gps) dec.DecodeNmeaSentence(Nmea(body));
  for (const auto& body : glonass) dec.DecodeNmeaSentence(Nmea(body));
  dec.DecodeNmeaSentence(Nmea(galileo));
  dec.DecodeNmeaSentence(Nmea(beidou));

  const TGpsGSV& v = dec.GSV;
  EXPECT_TRUE(v.Valid);
  EXPECT_EQ(v.InView, 11 + 7 + 3 + 2);
  auto prns = [&v] {
    std::vector<int> p;
    for (const TGpsSat& sat : v.Sat) p.push_back(sat.Prn);
    return p;
  };
  // One slot per system in turn until the twelve are out: 4 GPS, 3 GLONASS, all 3
  // Galileo, both BeiDou, each system's in the order sent.
  EXPECT_EQ(prns(), (std::vector<int>{3, 4, 6, 13, 65, 66, 72, 2, 8, 30, 201, 207}));
  EXPECT_EQ(v.Sat[7].Elevation, 45);
  EXPECT_EQ(v.Sat[7].Azimuth, 100);
  EXPECT_EQ(v.Sat[7].Snr, 38);
  EXPECT_EQ(v.Sat[9].Snr, 0);
  EXPECT_EQ(v.Raw1, Nmea(beidou));

  // A shorter GLONASS sequence leaves the others' satellites; its share passes on.
  dec.DecodeNmeaSentence(Nmea("GLGSV,1,1,01,88,10,010,20"));
  EXPECT_EQ(prns(), (std::vector<int>{3, 4, 6, 13, 14, 16, 88, 2, 8, 30, 201, 207}));
  EXPECT_EQ(v.InView, 11 + 1 + 3 + 2);
  EXPECT_EQ(v.Raw1, Nmea("GLGSV,1,1,01,88,10,010,20"));
  EXPECT_EQ(v.Raw2, "");

  // One system alone has all twelve slots; a time-out forgets who talked.
  dec.ClearValid();
  EXPECT_FALSE(dec.GSV.Valid);
  for (const auto& body : gps) dec.DecodeNmeaSentence(Nmea(body));
  EXPECT_EQ(prns(), (std::vector<int>{3, 4, 6, 13, 14, 16, 18, 19, 22, 24, 27, 0}));
  EXPECT_EQ(v.InView, 11);
}

// NMEA 4.11 receivers send one GSV sequence per signal, each ending in its signal id.
TEST(NmeaDecoder, ATalkersSignalsShowEachSatelliteOnce) {
  TNmeaDec dec;
  const std::vector<std::string> l1 = {
      "GPGSV,2,1,06,10,62,210,41,32,45,075,38,24,33,300,35,12,20,140,30,1",
      "GPGSV,2,2,06,25,70,020,44,15,11,250,,1"};
  const std::string l5 = "GPGSV,1,1,03,10,62,210,45,25,70,020,40,30,12,190,27,8";
  const std::string galileo = "GAGSV,1,1,02,10,50,060,39,11,30,220,34,7";
  auto prns = [&dec] {
    std::vector<int> p;
    for (const TGpsSat& sat : dec.GSV.Sat) p.push_back(sat.Prn);
    return p;
  };
  for (const auto& body : l1) dec.DecodeNmeaSentence(Nmea(body));
  dec.DecodeNmeaSentence(Nmea(l5));
  // Each satellite once: L5 adds only the one L1 does not carry.
  const std::vector<int> sky = {10, 32, 24, 12, 25, 15, 30, 0, 0, 0, 0, 0};
  EXPECT_EQ(prns(), sky);
  EXPECT_EQ(dec.GSV.InView, 7);
  EXPECT_EQ(dec.GSV.Raw1, Nmea(l5));
  // Neither sequence wipes the other, sentence by sentence.
  for (int round = 0; round < 2; ++round) {
    for (const auto& body : l1) {
      dec.DecodeNmeaSentence(Nmea(body));
      EXPECT_EQ(prns(), sky) << body;
    }
    dec.DecodeNmeaSentence(Nmea(l5));
    EXPECT_EQ(prns(), sky);
  }
  // A satellite heard on both signals shows its stronger one.
  EXPECT_EQ(dec.GSV.Sat[0].Snr, 45);
  EXPECT_EQ(dec.GSV.Sat[4].Snr, 44);
  // Galileo 10 is another satellite than GPS 10.
  dec.DecodeNmeaSentence(Nmea(galileo));
  EXPECT_EQ(prns(), (std::vector<int>{10, 32, 24, 12, 25, 15, 30, 10, 11, 0, 0, 0}));
  EXPECT_EQ(dec.GSV.Sat[0].System, TGnssSystem::Gps);
  EXPECT_EQ(dec.GSV.Sat[7].System, TGnssSystem::Galileo);
  EXPECT_EQ(dec.GSV.InView, 9);
  // A receiver that names no signal has one sequence per talker, as before.
  dec.DecodeNmeaSentence(Nmea("GPGSV,1,1,01,07,10,020,30"));
  EXPECT_EQ(prns(), (std::vector<int>{10, 32, 24, 12, 25, 15, 30, 7, 10, 11, 0, 0}));
  // A signal id is one hex digit: any other last field names no signal.
  for (const char* last : {"12", "X", "-1", "1 "}) {
    dec.DecodeNmeaSentence(Nmea(std::string("GPGSV,1,1,01,09,10,020,30,") + last));
    EXPECT_EQ(prns(), (std::vector<int>{10, 32, 24, 12, 25, 15, 30, 9, 10, 11, 0, 0})) << last;
  }
}

// Crafted sentences cannot make the decoder keep more sequences than receivers send:
// talkers heard first give way to new ones.
TEST(NmeaDecoder, GsvSequencesStayBounded) {
  TNmeaDec dec;
  for (char first = 'A'; first <= 'Z'; ++first) {
    for (char second = 'A'; second <= 'Z'; ++second) {
      for (const char* signal : {"1", "7", "F"}) {
        dec.DecodeNmeaSentence(
            Nmea(std::string(1, first) + second + "GSV,1,1,01,07,10,020,30," + signal));
      }
    }
  }
  EXPECT_EQ(dec.GSV.InView, (kMaxGsvSequences + 2) / 3);
  EXPECT_EQ(dec.GSV.Sat[0].Prn, 7);
}

// A satellite is in use when the GSA sentences of its own system name its number.
TEST(NmeaDecoder, InUseIsMarkedBySystem) {
  TNmeaDec dec;
  auto inUse = [&dec](TGnssSystem System, int Prn) {
    return IsSatInUse(dec.GSA, TGpsSat{std::uint8_t(Prn), 0, 0, 0, System});
  };
  // NMEA 4.11: the system id ends each $GNGSA.
  for (const char* body :
       {"GNGSA,A,3,10,32,,,,,,,,,,,1.36,0.78,1.11,1", "GNGSA,A,3,02,11,,,,,,,,,,,1.36,0.78,1.11,3",
        "GNGSA,A,3,203,,,,,,,,,,,,1.36,0.78,1.11,4"})
    dec.DecodeNmeaSentence(Nmea(body));
  EXPECT_TRUE(inUse(TGnssSystem::Gps, 10));
  EXPECT_FALSE(inUse(TGnssSystem::Galileo, 10));
  EXPECT_TRUE(inUse(TGnssSystem::Galileo, 2));
  EXPECT_FALSE(inUse(TGnssSystem::Gps, 2));
  EXPECT_TRUE(inUse(TGnssSystem::BeiDou, 203));
  EXPECT_FALSE(inUse(TGnssSystem::Gps, 0));
  // Each satellite of a GSV sentence takes its talker's system.
  dec.DecodeNmeaSentence(Nmea("GAGSV,1,1,02,10,50,060,39,02,30,220,34,7"));
  EXPECT_FALSE(IsSatInUse(dec.GSA, dec.GSV.Sat[0]));
  EXPECT_TRUE(IsSatInUse(dec.GSA, dec.GSV.Sat[1]));

  // Older receivers: the talker names the system, or the number's range does.
  for (const char* body :
       {"GPGSA,A,3,02,,,,,,,,,,,,1.5,0.9,1.2", "GLGSA,A,3,02,,,,,,,,,,,,1.5,0.9,1.2",
        "GNGSA,A,3,66,201,05,,,,,,,,,,1.5,0.9,1.2"})
    dec.DecodeNmeaSentence(Nmea(body));
  EXPECT_TRUE(inUse(TGnssSystem::Gps, 2));
  EXPECT_TRUE(inUse(TGnssSystem::Glonass, 2));
  EXPECT_FALSE(inUse(TGnssSystem::Galileo, 2));
  EXPECT_TRUE(inUse(TGnssSystem::Glonass, 66));
  EXPECT_TRUE(inUse(TGnssSystem::BeiDou, 201));
  EXPECT_TRUE(inUse(TGnssSystem::Gps, 5));
  // A $GPGSV of such a receiver numbers its GLONASS satellites from 65 as well.
  dec.DecodeNmeaSentence(Nmea("GPGSV,1,1,02,66,50,060,39,201,30,220,34"));
  ASSERT_EQ(dec.GSV.Sat[2].Prn, 66);  // after the two Galileo satellites heard first
  EXPECT_EQ(dec.GSV.Sat[2].System, TGnssSystem::Glonass);
  EXPECT_EQ(dec.GSV.Sat[3].System, TGnssSystem::BeiDou);

  // Six systems' GSA sentences in a row are one fix.
  for (int id = 1; id <= 6; ++id)
    dec.DecodeNmeaSentence(
        Nmea("GNGSA,A,3,0" + std::to_string(id) + ",,,,,,,,,,,,1.5,0.9,1.2," + std::to_string(id)));
  EXPECT_TRUE(inUse(TGnssSystem::Gps, 1));
  EXPECT_TRUE(inUse(TGnssSystem::NavIC, 6));
  EXPECT_FALSE(inUse(TGnssSystem::Gps, 6));
}

TEST(NmeaDecoder, GgaFillsTheRecordWithTheLocalDate) {
  TNmeaDec dec;
  dec.Clock = [] { return EncodeDate(2026, 12, 6) + EncodeTime(23, 59, 0, 0); };
  dec.DecodeNmeaSentence(kGga);
  const TGpsGGA& g = dec.GGA;
  EXPECT_TRUE(g.Valid);
  EXPECT_TRUE(g.FixValid);
  EXPECT_EQ(g.Raw, kGga);
  EXPECT_EQ(g.Lat, "4807.038");
  EXPECT_EQ(g.Lon, "01131.000");
  EXPECT_EQ(g.NS, 'N');
  EXPECT_EQ(g.EW, 'E');
  EXPECT_EQ(g.Quality, '1');
  EXPECT_EQ(g.Sats, 8);
  EXPECT_DOUBLE_EQ(g.HDOP, 0.9);
  EXPECT_DOUBLE_EQ(g.Altitude, 545.4);
  EXPECT_DOUBLE_EQ(g.GeoidSep, 46.9);
  EXPECT_DOUBLE_EQ(g.DgpsAge, 3.5);
  EXPECT_EQ(g.DgpsStation, 120);
  EXPECT_NEAR(g.DateTime, EncodeDate(2026, 12, 6) + EncodeTime(12, 35, 19, 0), 1e-8);

  // After midnight UTC but before midnight local time: the local date with the UTC time.
  dec.DecodeNmeaSentence(Nmea("GPGGA,000010.00,4807.038,N,01131.000,E,0,00,,,M,,M,,"));
  EXPECT_NEAR(dec.GGA.DateTime, EncodeDate(2026, 12, 6) + EncodeTime(0, 0, 10, 0), 1e-8);
  EXPECT_TRUE(dec.GGA.Valid);
  EXPECT_FALSE(dec.GGA.FixValid);
  EXPECT_DOUBLE_EQ(dec.GGA.HDOP, 0);
}

// Values receivers send beside the usual ones, and fields that are no numbers at all:
// a field that does not parse, or does not fit its place, is no value.
TEST(NmeaDecoder, OddFieldsAreTakenAsTheyAreOrNotAtAll) {
  TNmeaDec dec;
  dec.DecodeNmeaSentence(Nmea("GAGSV,1,1,04,301,-05,200,30,302,95,400,42,+7,1,2,3,88,1e1,0x1, 20"));
  const TGpsSat& galileo = dec.GSV.Sat[0];
  EXPECT_EQ(galileo.Prn, 301);
  EXPECT_EQ(galileo.Elevation, -5);
  EXPECT_EQ(galileo.Azimuth, 200);
  EXPECT_EQ(galileo.Snr, 30);
  EXPECT_EQ(dec.GSV.Sat[1].Prn, 302);
  EXPECT_EQ(dec.GSV.Sat[1].Elevation, 0);
  EXPECT_EQ(dec.GSV.Sat[1].Azimuth, 0);
  EXPECT_EQ(dec.GSV.Sat[2].Prn, 88);  // "+7" named no satellite
  EXPECT_EQ(dec.GSV.Sat[2].Elevation, 0);
  EXPECT_EQ(dec.GSV.Sat[2].Azimuth, 0);
  EXPECT_EQ(dec.GSV.Sat[2].Snr, 0);
  dec.DecodeNmeaSentence(Nmea("GNGSA,A,3,301,,,,,,,,,,,,1.5,0.9,1.2,3"));
  EXPECT_TRUE(IsSatInUse(dec.GSA, galileo));

  dec.DecodeNmeaSentence(
      Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,300,1e0,1e308,M,-46.9,M,2.,70000"));
  const TGpsGGA& g = dec.GGA;
  EXPECT_EQ(g.Sats, 0);
  EXPECT_EQ(g.HDOP, 0);
  EXPECT_EQ(g.Altitude, 0);
  EXPECT_DOUBLE_EQ(g.GeoidSep, -46.9);
  EXPECT_DOUBLE_EQ(g.DgpsAge, 2);
  EXPECT_EQ(g.DgpsStation, 0);
  dec.DecodeNmeaSentence(
      Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9," + std::string(20, '9') + ".0,M,,M,,"));
  EXPECT_EQ(g.Altitude, 0);
  dec.DecodeNmeaSentence(Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,.9,-12.5,M,,M,,"));
  EXPECT_DOUBLE_EQ(g.HDOP, 0.9);
  EXPECT_DOUBLE_EQ(g.Altitude, -12.5);
  for (const char* odd : {"-", ".", "1.2.3", " 1", "1 ", "nan", "inf", "0x1"})
    EXPECT_EQ(NmeaFieldAsFloat(odd), 0) << odd;
  EXPECT_EQ(NmeaFieldAsInt("123456789"), 123456789);
  for (const char* odd : {"1234567890", "-", "+1", " 1", "$1F", "1.0"})
    EXPECT_EQ(NmeaFieldAsInt(odd), 0) << odd;
}

TEST(NmeaDecoder, RmcAndGsa) {
  TNmeaDec dec;
  dec.DecodeNmeaSentence(kRmc);
  const TGpsRMC& r = dec.RMC;
  EXPECT_TRUE(r.Valid);
  EXPECT_TRUE(r.Active);
  EXPECT_EQ(r.Lat, "4807.038");
  EXPECT_EQ(r.NS, 'N');
  EXPECT_EQ(r.Lon, "01131.000");
  EXPECT_EQ(r.EW, 'E');
  EXPECT_DOUBLE_EQ(r.Speed, 22.4);
  EXPECT_DOUBLE_EQ(r.Course, 84.4);
  EXPECT_DOUBLE_EQ(r.Variation, 3.1);
  EXPECT_EQ(r.VarEW, 'W');
  EXPECT_NEAR(r.DateTime, EncodeDate(1994, 3, 23) + EncodeTime(12, 35, 19, 0), 1e-8);
  EXPECT_TRUE(r.TimeValid);

  // A void fix keeps the fields it does not carry; an impossible date, or none at all
  // (a cold start), is no time.
  const TDateTime before = r.DateTime;
  dec.DecodeNmeaSentence(Nmea("GPRMC,256199,V,,,,,,,310299,,"));
  EXPECT_FALSE(r.Active);
  EXPECT_EQ(r.Lat, "");
  EXPECT_EQ(r.NS, 0);
  EXPECT_EQ(r.DateTime, before);
  EXPECT_FALSE(r.TimeValid);
  dec.DecodeNmeaSentence(kRmc);
  dec.DecodeNmeaSentence(Nmea("GNRMC,,V,,,,,,,,,,N,V"));
  EXPECT_FALSE(r.TimeValid);

  dec.DecodeNmeaSentence(Nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
  const TGpsGSA& a = dec.GSA;
  EXPECT_TRUE(a.Valid);
  EXPECT_TRUE(a.FixValid);
  EXPECT_EQ(a.Mode, 'A');
  EXPECT_EQ(a.Fix, '3');
  const decltype(a.Prn) prn{4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0};
  EXPECT_EQ(a.Prn, prn);
  EXPECT_DOUBLE_EQ(a.PDOP, 2.5);
  EXPECT_DOUBLE_EQ(a.HDOP, 1.3);
  EXPECT_DOUBLE_EQ(a.VDOP, 2.1);
}

TEST(NmeaDecoder, GsvSetsFillAndClearTheirSlots) {
  TNmeaDec dec;
  for (const char* body : {"GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
                           "GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00",
                           "GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00"}) {
    dec.DecodeNmeaSentence(Nmea(body));
  }
  const TGpsGSV& v = dec.GSV;
  EXPECT_TRUE(v.Valid);
  EXPECT_EQ(v.InView, 11);
  EXPECT_EQ(v.Sat[0].Prn, 3);
  EXPECT_EQ(v.Sat[5].Prn, 16);
  EXPECT_EQ(v.Sat[5].Elevation, 57);
  EXPECT_EQ(v.Sat[5].Azimuth, 208);
  EXPECT_EQ(v.Sat[5].Snr, 39);
  EXPECT_EQ(v.Sat[10].Prn, 27);
  EXPECT_EQ(v.Sat[11].Prn, 0);  // a short last message leaves zeros
  EXPECT_FALSE(v.Raw3.empty());

  // A fourth message of a larger set changes no slot.
  const auto before = v.Sat;
  dec.DecodeNmeaSentence(Nmea("GPGSV,4,4,14,30,10,100,20"));
  EXPECT_EQ(v.InView, 14);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(v.Sat[k].Prn, before[k].Prn) << k;

  // A set of one message clears slots 5 to 12 and the second and third sentences.
  dec.DecodeNmeaSentence(Nmea("GPGSV,1,1,02,07,10,020,30,08,20,040,31"));
  EXPECT_EQ(v.Sat[0].Prn, 7);
  EXPECT_EQ(v.Sat[2].Prn, 0);
  for (int k = 4; k < 12; ++k) EXPECT_EQ(v.Sat[k].Prn, 0) << k;
  EXPECT_EQ(v.Raw2, "");
  EXPECT_EQ(v.Raw3, "");
}

TEST(NmeaDecoder, EventsFollowTheCheck) {
  TNmeaDec dec;
  TEventLog log(dec);
  const std::string vtg = Nmea("gpvtg,054.7,T");
  dec.DecodeNmeaSentence(kRmc);
  dec.DecodeNmeaSentence(vtg);
  dec.DecodeNmeaSentence("$GPRMC,bad*ZZ");
  dec.DecodeNmeaSentence("");
  EXPECT_EQ(log.Events, (std::vector<std::string>{"ok $GPRMC", "data " + kRmc, "ok $GPVTG",
                                                  "data " + vtg, "error", "data $GPRMC,bad*ZZ"}));
  EXPECT_FALSE(dec.GGA.Valid);  // a kind not decoded fills nothing
}

TEST(NmeaDecoder, LinesAreCutAtCrOrLf) {
  // A sentence split at any point decodes once, after its line end.
  for (std::size_t cut = 0; cut <= kGga.size(); ++cut) {
    TNmeaDec dec;
    TEventLog log(dec);
    dec.FeedNmeaText(kGga.substr(0, cut));
    dec.FeedNmeaText(kGga.substr(cut));
    EXPECT_TRUE(log.Events.empty()) << cut;
    dec.FeedNmeaText("\r\n");
    EXPECT_EQ(log.Events.size(), 2u) << cut;
    EXPECT_TRUE(dec.GGA.Valid) << cut;
  }

  TNmeaDec dec;
  TEventLog log(dec);
  dec.SilentTicks = 5;
  dec.FeedNmeaText("\r\n\r\n\n\r");
  EXPECT_TRUE(log.Events.empty());
  EXPECT_EQ(dec.SilentTicks, 5);  // empty lines are no sign of life
  dec.FeedNmeaText(kRmc + "\r" + kGga + "\n");
  EXPECT_EQ(log.Events.size(), 4u);
  EXPECT_EQ(dec.SilentTicks, 0);
}

TEST(NmeaDecoder, TextWithoutLineEndsIsReportedPast100Characters) {
  TNmeaDec dec;
  TEventLog log(dec);
  for (int i = 0; i < 99; ++i) dec.FeedNmeaText("x");
  dec.FeedNmeaText("y");
  EXPECT_TRUE(log.Events.empty());
  dec.FeedNmeaText("z\r");  // the whole piece up to the line end joins first
  ASSERT_EQ(log.Events.size(), 2u);
  EXPECT_EQ(log.Events[0], "error");
  EXPECT_EQ(log.Events[1], "data " + std::string(99, 'x') + "yz");
  EXPECT_EQ(dec.PartialLine, "");
  dec.FeedNmeaText(std::string(100, 'x'));
  EXPECT_EQ(log.Events.size(), 2u);
  dec.FeedNmeaText("yz$GP");  // the piece that passes 100 goes out whole
  EXPECT_EQ(log.Events.size(), 4u);
  EXPECT_EQ(log.Events[3], "data " + std::string(100, 'x') + "yz$GP");

  // One big chunk without line ends stays bounded too.
  dec.FeedNmeaText(std::string(100000, 'q'));
  EXPECT_LE(dec.PartialLine.size(), kNmeaMaxPartialLine);
}

TEST(NmeaDecoder, EveryTruncatedLineIsAnErrorAndNothingBreaks) {
  // Every prefix of every line of a recorded fix, as a receiver losing power would send.
  for (const char* log : {"nmea_fix.log", "nmea_nofix.log"}) {
    for (const std::string& line : LogLines(log)) {
      ASSERT_GE(CheckNmeaSentence(line), 0) << line;
      for (std::size_t n = 1; n < line.size(); ++n) {
        TNmeaDec dec;
        int errors = 0;
        dec.OnDataError = [&](TComponent*) { ++errors; };
        dec.FeedNmeaText(line.substr(0, n) + "\r\n");
        EXPECT_EQ(errors, 1) << line.substr(0, n);
        EXPECT_FALSE(dec.GGA.Valid || dec.GSA.Valid || dec.GSV.Valid || dec.RMC.Valid);
      }
    }
  }
}

TEST(NmeaDecoder, CorrectSentencesWithGarbageFieldsNeverBreakTheDecoder) {
  std::mt19937 random(7);
  const std::string alphabet = ",.*$-0123456789AVNSEW\xFF\x01 ";
  TNmeaDec dec;
  for (int round = 0; round < 3000; ++round) {
    std::string body = std::vector<const char*>{"GPGGA,", "GPGSA,", "GPGSV,", "GPRMC,"}[round % 4];
    const int length = int(random() % 70);
    for (int i = 0; i < length; ++i) body += alphabet[random() % alphabet.size()];
    dec.FeedNmeaText(Nmea(body) + "\r\n");
    std::string noise(random() % 40, '\0');
    for (char& c : noise) c = char(random());
    dec.FeedNmeaText(noise);
  }
  for (int k = 0; k < 12; ++k) EXPECT_LE(dec.GSV.Sat[k].Prn, 255);
  EXPECT_LE(dec.PartialLine.size(), kNmeaMaxPartialLine);
}

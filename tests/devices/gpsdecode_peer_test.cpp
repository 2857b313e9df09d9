// The NMEA decoding compared with gpsd's own decoder: gpsdecode (Debian gpsd-clients)
// reads the same recorded logs and reports positions (TPV) and skies (SKY) as JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "devices/gps_fix.h"
#include "devices/nmea_dec.h"
#include "devices/nmea_test_support.h"
#include "platform/sys/child_process.h"
#include "support/c_numbers.h"

namespace {

// gpsdecode's JSON reports of a log, one a line; none when gpsdecode is not installed.
std::vector<std::string> GpsdecodeLines(const char* Log) {
  std::vector<std::string> lines;
  if (!ProgramAvailable("gpsdecode")) return lines;
  const std::string output =
      RunAndCapture("LC_ALL=C gpsdecode < '" + LogPath(Log) + "' 2>/dev/null");
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The first number after "Key": in a JSON text.
bool Number(const std::string& Json, const std::string& Key, double& Value) {
  const std::string tag = "\"" + Key + "\":";
  const std::size_t at = Json.find(tag);
  if (at == std::string::npos) return false;
  const std::size_t start = at + tag.size();
  const std::size_t end = Json.find_first_not_of("-0123456789.", start);
  if (end == start) return false;
  Value = CNumber(Json.substr(start, end - start));
  return true;
}

// Our fixes, one per RMC, with the GGA altitude of the same second.
struct TOurFix {
  double Lat = 0, Lon = 0, SpeedKnots = 0, Course = 0, Altitude = 0;
};

}  // namespace

// A GPS receiver, and one of several systems ($GN, $GL, $GA, $GB talkers).
class GpsdecodeLog : public ::testing::TestWithParam<const char*> {};
INSTANTIATE_TEST_SUITE_P(Receivers, GpsdecodeLog,
                         ::testing::Values("nmea_fix.log", "nmea_gnss.log"));

TEST_P(GpsdecodeLog, PositionsSpeedsAndAltitudesAgree) {
  const auto peer = GpsdecodeLines(GetParam());
  if (peer.empty()) GTEST_SKIP() << "gpsdecode is not installed";

  TNmeaDec dec;
  std::vector<TOurFix> ours;
  for (const std::string& line : LogLines(GetParam())) {
    dec.DecodeNmeaSentence(line);
    if (CheckNmeaSentence(line) == kNmeaGGA) {
      TOurFix f;
      ASSERT_TRUE(RmcFixPosition(dec.RMC, f.Lat, f.Lon));
      f.SpeedKnots = dec.RMC.Speed;
      f.Course = dec.RMC.Course;
      f.Altitude = dec.GGA.Altitude;
      ours.push_back(f);
    }
  }
  int compared = 0;
  for (const std::string& json : peer) {
    if (json.find("\"class\":\"TPV\"") == std::string::npos) continue;
    double lat, lon, speed, track, alt;
    ASSERT_TRUE(Number(json, "lat", lat) && Number(json, "lon", lon)) << json;
    bool found = false;
    for (const TOurFix& f : ours) {
      if (std::abs(f.Lat - lat) > 1e-8 || std::abs(f.Lon - lon) > 1e-8) continue;
      found = true;
      ASSERT_TRUE(Number(json, "speed", speed) && Number(json, "track", track) &&
                  Number(json, "altMSL", alt));
      EXPECT_NEAR(f.SpeedKnots * 1852.0 / 3600, speed, 1e-3);
      EXPECT_NEAR(f.Course, track, 1e-6);
      EXPECT_NEAR(f.Altitude, alt, 1e-6);
    }
    EXPECT_TRUE(found) << json;
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

TEST(GpsdecodePeer, SatellitesInViewAndInUseAgree) {
  const auto peer = GpsdecodeLines("nmea_fix.log");
  if (peer.empty()) GTEST_SKIP() << "gpsdecode is not installed";
  TNmeaDec dec;
  for (const std::string& line : LogLines("nmea_fix.log")) dec.DecodeNmeaSentence(line);

  const std::string* sky = nullptr;
  for (const std::string& json : peer) {
    if (json.find("\"class\":\"SKY\"") != std::string::npos) sky = &json;
  }
  ASSERT_NE(sky, nullptr);
  double pdop, hdop, vdop;
  ASSERT_TRUE(Number(*sky, "pdop", pdop) && Number(*sky, "hdop", hdop) &&
              Number(*sky, "vdop", vdop));
  EXPECT_NEAR(dec.GSA.PDOP, pdop, 1e-9);
  EXPECT_NEAR(dec.GSA.HDOP, hdop, 1e-9);
  EXPECT_NEAR(dec.GSA.VDOP, vdop, 1e-9);

  int seen = 0;
  for (std::size_t at = sky->find("{\"PRN\":"); at != std::string::npos;
       at = sky->find("{\"PRN\":", at + 1), ++seen) {
    const std::string satellite = sky->substr(at, sky->find('}', at) - at);
    double prn, el, az, ss;
    ASSERT_TRUE(Number(satellite, "PRN", prn) && Number(satellite, "el", el) &&
                Number(satellite, "az", az) && Number(satellite, "ss", ss));
    ASSERT_LT(seen, 12);
    const TGpsSat& ourSat = dec.GSV.Sat[seen];
    EXPECT_EQ(ourSat.Prn, prn);
    EXPECT_EQ(ourSat.Elevation, el);
    EXPECT_EQ(ourSat.Azimuth, az);
    EXPECT_EQ(ourSat.Snr, ss);
    // gpsd counts a listed satellite as used only while it hears it (SNR above 0).
    const bool used = satellite.find("\"used\":true") != std::string::npos;
    if (ourSat.Snr > 0) {
      EXPECT_EQ(used, IsSatInUse(dec.GSA, ourSat)) << int(ourSat.Prn);
    }
  }
  EXPECT_EQ(seen, dec.GSV.InView);
}

// With several systems the twelve slots hold some of each; every one is a satellite
// gpsd sees there (gpsd numbers Galileo and BeiDou apart, so they are matched by their
// place in the sky), and GPS and GLONASS agree on their numbers and on being used.
TEST(GpsdecodePeer, EverySystemsSatellitesAgree) {
  const auto peer = GpsdecodeLines("nmea_gnss.log");
  if (peer.empty()) GTEST_SKIP() << "gpsdecode is not installed";
  TNmeaDec dec;
  for (const std::string& line : LogLines("nmea_gnss.log")) dec.DecodeNmeaSentence(line);
  double most = 0;
  std::vector<std::string> satellites;
  for (const std::string& json : peer) {
    double seen = 0;
    if (json.find("\"class\":\"SKY\"") == std::string::npos || !Number(json, "nSat", seen) ||
        seen <= most)
      continue;
    most = seen;
    satellites.clear();
    for (std::size_t at = json.find("{\"PRN\":"); at != std::string::npos;
         at = json.find("{\"PRN\":", at + 1))
      satellites.push_back(json.substr(at, json.find('}', at) - at));
  }
  EXPECT_EQ(dec.GSV.InView, most);
  std::vector<int> systems;
  for (const TGpsSat& ourSat : dec.GSV.Sat) {
    ASSERT_NE(ourSat.Prn, 0);
    const auto match = std::find_if(satellites.begin(), satellites.end(), [&](const auto& sat) {
      double el, az, ss;
      return Number(sat, "el", el) && Number(sat, "az", az) && Number(sat, "ss", ss) &&
             el == ourSat.Elevation && az == ourSat.Azimuth && ss == ourSat.Snr;
    });
    ASSERT_NE(match, satellites.end()) << int(ourSat.Prn);
    double prn, gnss;
    ASSERT_TRUE(Number(*match, "PRN", prn) && Number(*match, "gnssid", gnss));
    if (std::find(systems.begin(), systems.end(), int(gnss)) == systems.end())
      systems.push_back(int(gnss));
    if (prn > 96) continue;
    EXPECT_EQ(ourSat.Prn, prn);
    const bool used = match->find("\"used\":true") != std::string::npos;
    EXPECT_EQ(used, IsSatInUse(dec.GSA, ourSat)) << int(ourSat.Prn);
  }
  EXPECT_EQ(systems.size(), 4u);
}

TEST(GpsdecodePeer, NoFixGivesNoPosition) {
  const auto peer = GpsdecodeLines("nmea_nofix.log");
  if (peer.empty()) GTEST_SKIP() << "gpsdecode is not installed";
  for (const std::string& json : peer) {
    if (json.find("\"class\":\"TPV\"") != std::string::npos) {
      EXPECT_EQ(json.find("\"lat\""), std::string::npos) << json;
    }
  }
  TNmeaDec dec;
  double lat = 0, lon = 0;
  for (const std::string& line : LogLines("nmea_nofix.log")) {
    dec.DecodeNmeaSentence(line);
    EXPECT_FALSE(RmcFixPosition(dec.RMC, lat, lon)) << line;
  }
  EXPECT_TRUE(dec.RMC.Valid);
  EXPECT_FALSE(dec.RMC.Active);
}

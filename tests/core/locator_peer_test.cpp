// Locators, distances and bearings against hamlib's rotctl (Debian libhamlib-utils),
// its dummy rotator "-m 1" answering "l" (locator to longitude and latitude), "L"
// (position to locator) and "B" (distance and bearing). rotctl measures 10008 km per
// 90 degrees of arc; its distances are scaled to our 111.1361111 km per degree.
// rotctl runs, and its numbers are read, in the C locale. Skipped where rotctl is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "core/locator.h"
#include "platform/sys/child_process.h"
#include "support/c_numbers.h"

namespace {

constexpr double kRotctlKmPerDegree = 10008.0 / 90;

std::vector<std::string> Rotctl(const std::string& arguments) {
  std::vector<std::string> words;
  std::istringstream stream(RunAndCapture("LC_ALL=C rotctl -m 1 " + arguments + " 2>/dev/null"));
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

bool RotctlMissing() {
  return Rotctl("l JN49GA").size() != 2;
}

std::string Fixed(double value) {
  TCNumbers c;
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

TEST(LocatorPeer, LocatorsAgreeWithRotctl) {
  if (RotctlMissing()) GTEST_SKIP() << "rotctl is not installed";
  std::mt19937 random(99);
  std::uniform_real_distribution<double> lat_of(-89.9, 89.9), lon_of(-179.9, 179.9);
  for (int i = 0; i < 12; ++i) {
    const double lat = lat_of(random), lon = lon_of(random);
    const std::string ours = LatLonToMaidenhead(lat, lon);
    const std::vector<std::string> theirs = Rotctl("L " + Fixed(lon) + " " + Fixed(lat) + " 6");
    ASSERT_EQ(theirs.size(), 1u);
    EXPECT_EQ(ours, theirs[0]) << lat << " " << lon;
    double our_lon = 0, our_lat = 0;
    ASSERT_TRUE(MaidenheadToLatLon(ours, our_lon, our_lat));
    const std::vector<std::string> centre = Rotctl("l " + ours);
    ASSERT_EQ(centre.size(), 2u);
    EXPECT_NEAR(our_lon, CNumber(centre[0]), 2e-6) << ours;
    EXPECT_NEAR(our_lat, CNumber(centre[1]), 2e-6) << ours;
  }
}

TEST(LocatorPeer, DistanceAndBearingAgreeWithRotctl) {
  if (RotctlMissing()) GTEST_SKIP() << "rotctl is not installed";
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat_of(-80, 80), lon_of(-179.9, 179.9);
  for (int i = 0; i < 12; ++i) {
    const double lon1 = lon_of(random), lat1 = lat_of(random);
    const double lon2 = lon_of(random), lat2 = lat_of(random);
    double distance = 0, bearing = 0;
    DistanceBearing(distance, bearing, lon1, lat1, lon2, lat2);
    const std::vector<std::string> theirs =
        Rotctl("B " + Fixed(lon1) + " " + Fixed(lat1) + " " + Fixed(lon2) + " " + Fixed(lat2));
    ASSERT_EQ(theirs.size(), 2u);
    const double their_km = CNumber(theirs[0]) / kRotctlKmPerDegree * kKmPerDegree;
    EXPECT_NEAR(distance, their_km, 0.01 + their_km * 1e-6);
    EXPECT_NEAR(bearing, CNumber(theirs[1]), 0.5);  // rotctl rounds to whole degrees
  }
  double distance = 0, bearing = 0;
  bool ok = false;
  QthDistanceBearing("JN49GA", "JN49GB", distance, ok, bearing);
  const std::vector<std::string> theirs = Rotctl("B 8.541667 49.020833 8.541667 49.0625");
  ASSERT_EQ(theirs.size(), 2u);
  EXPECT_NEAR(distance, CNumber(theirs[0]) / kRotctlKmPerDegree * kKmPerDegree, 0.001);
}

}  // namespace

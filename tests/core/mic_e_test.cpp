#include "core/mic_e.h"

#include <gtest/gtest.h>

namespace {

TEST(MicE, DigitDestinationIsSouthEastWithoutOffset) {
  EXPECT_EQ(MicELatitude("123456"), "1234.56");
  EXPECT_EQ(MicENorthSouth('4'), 'S');
  EXPECT_EQ(MicELonOffset('5'), 0);
  EXPECT_EQ(MicEEastWest('6'), 'E');
  EXPECT_EQ(MicEEastWest('L'), 'E');
}

TEST(MicE, LetterDestinationIsNorthWestWithOffset) {
  EXPECT_EQ(MicELatitude("QRSTUV"), "1234.56");
  EXPECT_EQ(MicENorthSouth('T'), 'N');
  EXPECT_EQ(MicELonOffset('U'), 100);
  EXPECT_EQ(MicEEastWest('V'), 'W');
  EXPECT_EQ(MicELatitude("T2SP0W"), "4230.07");
  EXPECT_EQ(MicELatitude("QRSTUZ"), "1234.5 ");
  EXPECT_EQ(MicELatitude("ABCDEK"), "0123.4 ");
}

TEST(MicE, UnusableCharactersGiveNothing) {
  EXPECT_EQ(MicEDigit('M'), '\0');
  EXPECT_EQ(MicENorthSouth('a'), '\0');
  EXPECT_EQ(MicEEastWest('A'), '\0');
  EXPECT_EQ(MicELonOffset('A'), 0);
  EXPECT_FALSE(MicELatitude("T2SP0"));
  EXPECT_FALSE(MicELatitude(""));
}

TEST(MicE, MessageCodes) {
  EXPECT_EQ(MicEMessageCode("PPP"), 1);
  EXPECT_EQ(MicEMessageCode("PP0"), 2);
  EXPECT_EQ(MicEMessageCode("P0P"), 3);
  EXPECT_EQ(MicEMessageCode("T2SP0W"), 3);
  EXPECT_EQ(MicEMessageCode("0PP"), 5);
  EXPECT_EQ(MicEMessageCode("00P"), 7);
  EXPECT_EQ(MicEMessageCode("000"), kMicEEmergency);
  EXPECT_EQ(MicEMessageCode("LL0"), kMicEEmergency);
  EXPECT_EQ(MicEMessageCode("APP"), 11);
  EXPECT_EQ(MicEMessageCode("K00"), 14);
  EXPECT_EQ(MicEMessageCode("AM0"), 10);  // custom plus an unusable character
  EXPECT_EQ(MicEMessageCode("M00"), 0);
  EXPECT_EQ(MicEMessageCode("PP"), 0);  // short destination: the missing bit is unusable
  EXPECT_EQ(MicEMessageCode(""), 0);
}

TEST(MicE, LongitudeWrapsTheProtocolRanges) {
  auto info = [](int d, int m, int h) {
    return std::string{static_cast<char>(d + 28), static_cast<char>(m + 28),
                       static_cast<char>(h + 28)};
  };
  EXPECT_EQ(MicELongitude(info(72, 1, 75), 0), "07201.75");
  EXPECT_EQ(MicELongitude(info(84, 1, 75), 100), "10401.75");  // 184 -> 104
  EXPECT_EQ(MicELongitude(info(92, 1, 75), 100), "00201.75");  // 192 -> 2
  EXPECT_EQ(MicELongitude(info(72, 61, 75), 0), "07201.75");   // minutes 60 and up wrap
  EXPECT_EQ(MicELongitude("c51", 0), "07125.21");
  EXPECT_FALSE(MicELongitude(info(72, 1, 100), 0));
  EXPECT_FALSE(MicELongitude(info(201, 1, 5), 0));
  EXPECT_FALSE(MicELongitude(std::string("\x10\x10\x10"), 0));  // below the offset: wraps high
  EXPECT_FALSE(MicELongitude("c5", 0));
}

TEST(MicE, SpeedAndCourse) {
  auto info = [](int sp, int dc, int se) {
    return std::string{'x',
                       'x',
                       'x',
                       static_cast<char>(sp + 28),
                       static_cast<char>(dc + 28),
                       static_cast<char>(se + 28)};
  };
  double speed = -1;
  int course = -1;
  MicESpeedCourse(info(0, 33, 33), speed, course);
  EXPECT_EQ(speed, 3);
  EXPECT_EQ(course, 333);
  MicESpeedCourse(info(0, 7, 60), speed, course);
  EXPECT_EQ(course, 360);
  MicESpeedCourse(info(0, 0, 90), speed, course);
  EXPECT_EQ(course, 90);
  MicESpeedCourse(info(85, 20, 0), speed, course);
  EXPECT_EQ(speed, 52);
  MicESpeedCourse(info(80, 0, 0), speed, course);  // 800 knots and up wrap to 0
  EXPECT_EQ(speed, 0);
  // "c51!f?": 57 knots (direwolf prints 66 MPH), course 35.
  MicESpeedCourse("c51!f?", speed, course);
  EXPECT_EQ(speed, 57);
  EXPECT_EQ(course, 35);
  for (std::string_view s : {"", "c5", "c51", "c51!", "c51!f"}) {
    speed = course = -1;
    MicESpeedCourse(s, speed, course);
    EXPECT_EQ(speed, 0) << s;
    EXPECT_EQ(course, 0) << s;
  }
}

TEST(MicE, Base91Altitude) {
  EXPECT_EQ(Base91Altitude("!!!"), -32808);  // -10000 m
  EXPECT_EQ(Base91Altitude("\"3x"), 20);     // 6 m
  EXPECT_EQ(Base91Altitude("!!"), std::nullopt);
}

}  // namespace

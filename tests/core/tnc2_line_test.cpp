#include "core/tnc2_line.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Split(std::string_view line) {
  TReceivedPacket packet{"left over", "left over", {}};
  const bool split = SplitIsLine(line, packet);
  EXPECT_EQ(split, !packet.Header.empty());
  if (!split) return {};
  return {packet.Header, packet.Data};
}

TEST(Tnc2Line, Builds) {
  EXPECT_EQ(Tnc2Line("N0CALL", "APRS,WIDE1-1", ">hi"), "N0CALL>APRS,WIDE1-1:>hi");
  EXPECT_EQ(Tnc2Line("N0CALL", "APRS", ""), "N0CALL>APRS:");
}

// Whatever a received packet holds, the line built from it stays one line.
TEST(Tnc2Line, PartsEndAtTheirFirstLineBreak) {
  EXPECT_EQ(Tnc2Line("X\nEVIL>APRS:forged", "APRS", ">hi"), "X>APRS:>hi");
  EXPECT_EQ(Tnc2Line("N0CALL", "APRS,WIDE1-1\r\nEVIL", ">hi"), "N0CALL>APRS,WIDE1-1:>hi");
  EXPECT_EQ(Tnc2Line("N0CALL", "APRS", std::string_view(">a\0b", 4)), "N0CALL>APRS:>a");
  EXPECT_EQ(Tnc2Line("N0CALL", "APRS", ">a\rEVIL>APRS:b"), "N0CALL>APRS:>a");
  EXPECT_EQ(LinePart("\nall gone"), "");
  EXPECT_EQ(LinePart("clean \t\x7F\xFF"), "clean \t\x7F\xFF");
}

TEST(Tnc2Line, SplitsIntoInternetHeaderAndData) {
  EXPECT_EQ(Split("N0CALL>APRS,TCPIP*,qAC,T2TEST:!4903.50N/07201.75W-"),
            (std::vector<std::string>{"ig N0CALL to APRS via TCPIP*,qAC,T2TEST",
                                      "!4903.50N/07201.75W-"}));
  EXPECT_EQ(Split("N0CALL>APRS:>status"),
            (std::vector<std::string>{"ig N0CALL to APRS", ">status"}));
  EXPECT_EQ(Split("N0CALL>APRS::N0CALL-1 :hello: there"),
            (std::vector<std::string>{"ig N0CALL to APRS", ":N0CALL-1 :hello: there"}));
  EXPECT_EQ(Split("  N0CALL > APRS , WIDE1-1 :x  "),
            (std::vector<std::string>{"ig N0CALL to APRS via WIDE1-1", "x"}));
  EXPECT_EQ(Split("N0CALL>APRS,:x"), (std::vector<std::string>{"ig N0CALL to APRS", "x"}));
}

TEST(Tnc2Line, NotATnc2Line) {
  EXPECT_TRUE(Split("").empty());
  EXPECT_TRUE(Split("# aprsc 2.1.4 7 Dec 2026 T2TEST 1.2.3.4:14580").empty());
  // A comment line is none, whatever follows its '#'.
  EXPECT_TRUE(Split("# EVIL1>APRS:!4903.50N/07201.75W-").empty());
  EXPECT_TRUE(Split("#EVIL2>APRS:>x").empty());
  EXPECT_TRUE(Split("  #EVIL3>APRS:>x").empty());
  EXPECT_TRUE(Split("N0CALL APRS:x").empty());  // no '>'
  EXPECT_TRUE(Split("N0CALL>APRS").empty());    // no ':'
  EXPECT_TRUE(Split(":N0CALL>APRS").empty());   // the '>' stands after the ':'
  // Every prefix of a real line splits cleanly.
  const std::string line = "N0CALL>APRS,TCPIP*:!4903.50N/07201.75W-";
  for (size_t n = 0; n <= line.size(); ++n) {
    std::vector<std::string> lines = Split(line.substr(0, n));
    EXPECT_TRUE(lines.empty() || lines.size() == 2u) << n;
  }
}

}  // namespace

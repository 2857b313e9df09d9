// The station's two style sheets: the monitor's and the message lists'.
#include "app/monitor/station_styles.h"

#include <gtest/gtest.h>

#include "app/messages/msg_lists.h"
#include "app/monitor/monitor_styles.h"
#include "richtext/styles/rd_style.h"

namespace {

TEST(StationStyles, MonitorSheet) {
  TRDStyle sheet;
  MakeMonitorStyles(sheet);
  ASSERT_EQ(sheet.TextStyles().Count(), 2 * kMonitorStyleCount);
  const std::vector<std::string> names = sheet.TextStyles().StyleNames();
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + kMonitorStyleCount),
            (std::vector<std::string>{"Normal text", "RS232", "KISS", "IG_HEAD", "IG_DATA",
                                      "P1_HEAD", "P1_DATA", "P2_HEAD", "P2_DATA"}));
  // Each style's Unicode twin looks as the style does.
  for (int n = 0; n < kMonitorStyleCount; ++n) {
    const TFontInfo& style = sheet.TextStyles()[n];
    const TFontInfo& twin = sheet.TextStyles()[UnicodeMonitorStyle(n)];
    EXPECT_FALSE(style.Unicode) << n;
    EXPECT_TRUE(twin.Unicode) << n;
    EXPECT_EQ(twin.StyleName(), style.StyleName() + " Unicode");
    EXPECT_TRUE(twin.Color == style.Color && twin.Style == style.Style &&
                twin.FontName == style.FontName && twin.Size == style.Size)
        << n;
  }
  EXPECT_EQ(sheet.TextStyles()[1].FontName, "Courier New");
  EXPECT_EQ(sheet.TextStyles()[1].Color, clBlue);
  EXPECT_EQ(sheet.TextStyles()[3].FontName, "Tahoma");
  EXPECT_EQ(sheet.TextStyles()[3].Style, fsBold);
  EXPECT_EQ(sheet.TextStyles()[3].Color, clNavy);
  EXPECT_EQ(sheet.TextStyles()[4].Color, 13762560);
  EXPECT_EQ(sheet.TextStyles()[6].Color, 45824);
  EXPECT_EQ(sheet.TextStyles()[7].Color, clTeal);
  EXPECT_EQ(sheet.TextStyles()[8].Color, 12697856);
  ASSERT_EQ(sheet.ParaStyles().Count(), 2);
  EXPECT_EQ(sheet.ParaStyles()[0].Options, rdpaoNoWrap);
  EXPECT_EQ(sheet.ParaStyles()[1].Alignment, rdaCenter);
}

TEST(StationStyles, MessageListSheet) {
  TRDStyle sheet;
  MakeMessageStyles(sheet);
  ASSERT_EQ(sheet.TextStyles().Count(), 3);
  EXPECT_TRUE(sheet.TextStyles()[mtsHeadingUnicode].Unicode);
  EXPECT_EQ(sheet.TextStyles()[mtsHeadingUnicode].Size, 11);
  EXPECT_EQ(sheet.TextStyles()[0].FontName, "Courier New");
  EXPECT_EQ(sheet.TextStyles()[0].Size, 8);
  EXPECT_EQ(sheet.TextStyles()[0].Color, 10658466);
  EXPECT_EQ(sheet.TextStyles()[1].VShift, 10);
  EXPECT_EQ(sheet.TextStyles()[1].Size, 11);
  EXPECT_EQ(sheet.ParaStyles().StyleNames(),
            (std::vector<std::string>{"FrameHeader", "MSG", "MSG ACK", "MSG NOACK"}));
  EXPECT_EQ(sheet.ParaStyles()[2].Background.Color, clMoneyGreen);
  EXPECT_EQ(sheet.ParaStyles()[3].Background.Color, 14145535);
}

}  // namespace

#include "core/digi_path.h"

#include <gtest/gtest.h>

TEST(DigiPath, BlanksAndDoubleCommasBecomeOneComma) {
  EXPECT_EQ(NormalizeDigiPath("WIDE1-1 WIDE2-2"), "WIDE1-1,WIDE2-2");
  EXPECT_EQ(NormalizeDigiPath("  APRS,, ,WIDE1-1  "), "APRS,WIDE1-1");
  EXPECT_EQ(NormalizeDigiPath(",WIDE1-1,"), ",WIDE1-1,");
  EXPECT_EQ(NormalizeDigiPath(""), "");
}

// Start-up of the component units: no visual-styles library here, and the tool bar's
// message registered under its name.
#include "lists/visual_styles.h"

#include <gtest/gtest.h>

#include "platform/sys/application.h"

TEST(VisualStylesTest, TheLoadersFindNoLibraryAndTheToolBarMessageIsRegistered) {
  StartComponentUnits();
  EXPECT_FALSE(BtnXPVS.Loaded());
  EXPECT_FALSE(APXPVS.Loaded());
  // Above the system's own events, and the same number for the same name.
  EXPECT_GE(TBCompactWinHide, 1000);
  EXPECT_EQ(RegisterWindowMessage("TBCompactWinHide"), TBCompactWinHide);
  EXPECT_NE(RegisterWindowMessage("TBCompactWinShow"), TBCompactWinHide);
  StartComponentUnits();
  EXPECT_EQ(RegisterWindowMessage("TBCompactWinHide"), TBCompactWinHide);
}

#include "lists/text_fit.h"

#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"

namespace {

// A cell's text that is wider than its column ends in "..." and keeps its start, so a
// centred column never cuts it at both ends.
TEST(TextFit, ATextTooWideForItsRoomEndsInAnEllipsis) {
  TBitmap bitmap;
  bitmap.SetSize(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  const std::string path = "DB0ABC,WIDE1,WIDE2-1";
  EXPECT_EQ(FitText(canvas, path, canvas.TextWidth(path)), path);
  const std::string cut = FitText(canvas, path, canvas.TextWidth(path) / 2);
  ASSERT_GE(cut.size(), 4u);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_EQ(path.rfind(cut.substr(0, cut.size() - 3), 0), 0u);
  EXPECT_LE(canvas.TextWidth(cut), canvas.TextWidth(path) / 2);
  EXPECT_EQ(FitText(canvas, path, 0), "...");
}

}  // namespace

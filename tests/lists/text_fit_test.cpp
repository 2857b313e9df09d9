#include "lists/text_fit.h"

#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/unicode_text.h"

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

// The cut keeps the longest start that fits, at every room of a long received comment,
// and never splits a character beyond the two-byte plane.
TEST(TextFit, ACutKeepsTheLongestStartThatFits) {
  TBitmap bitmap;
  bitmap.SetSize(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  std::u16string comment;
  for (int n = 0; n < 60; ++n) comment += n % 7 == 3 ? u"\U0001F4E1" : u"wx ";
  const int full = TextWidthW(canvas, comment);
  for (int room = 0; room < full; room += 7) {
    const std::u16string cut = FitText(canvas, comment, room);
    ASSERT_GE(cut.size(), 3u);
    const std::u16string start = cut.substr(0, cut.size() - 3);
    EXPECT_EQ(comment.rfind(start, 0), 0u) << room;
    if (!start.empty()) {
      EXPECT_FALSE(start.back() >= 0xD800 && start.back() <= 0xDBFF) << room;
      EXPECT_LE(TextWidthW(canvas, cut), room) << room;
    }
    // One character more would not have fitted.
    size_t longer = start.size() + 1;
    if (comment[start.size()] >= 0xD800 && comment[start.size()] <= 0xDBFF) ++longer;
    EXPECT_GT(TextWidthW(canvas, comment.substr(0, longer) + u"..."), room) << room;
  }
}

}  // namespace

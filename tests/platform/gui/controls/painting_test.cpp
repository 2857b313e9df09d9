#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/image.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "test_controls.h"

namespace {

// Draws a 2-pixel green frame on a yellow face.
class TFramedControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    Canvas().Brush().SetColor(clYellow);
    Canvas().FillRect(ClientRect());
    TRect r = ClientRect();
    Frame3D(Canvas(), r, clGreen, clGreen, 2);
  }
};

class TThrowingBox : public TBox {
 public:
  using TBox::TBox;

 protected:
  void Paint() override { throw std::runtime_error("paint failed"); }
};

struct Painting : ::testing::Test {
  Painting() {
    form.SetBounds(0, 0, 120, 100);
    form.SetColor(clWhite);
    form.Show();
  }
  ~Painting() override { form.Hide(); }
  TForm form{nullptr};
};

}  // namespace

TEST_F(Painting, TheParentPaintsItsWindowlessChildrenInZOrder) {
  auto* a = new TBox(&form, &form, Bounds(10, 10, 30, 30), clRed);
  auto* b = new TBox(&form, &form, Bounds(30, 30, 30, 30), clBlue);
  EXPECT_EQ(RenderedPixel(form, 5, 5), clWhite);
  EXPECT_EQ(RenderedPixel(form, 15, 15), clRed);
  EXPECT_EQ(RenderedPixel(form, 35, 35), clBlue);
  EXPECT_EQ(RenderedPixel(form, 59, 59), clBlue);
  EXPECT_EQ(RenderedPixel(form, 60, 60), clWhite);

  a->BringToFront();
  EXPECT_EQ(RenderedPixel(form, 35, 35), clRed);
  a->Hide();
  EXPECT_EQ(RenderedPixel(form, 35, 35), clBlue);
  b->SetLeft(70);
  EXPECT_EQ(RenderedPixel(form, 35, 35), clWhite);
  EXPECT_EQ(RenderedPixel(form, 75, 35), clBlue);
}

TEST_F(Painting, AChildPaintsOnlyInsideItsBoundsWithItsOwnOrigin) {
  class TOverflowing : public TBox {
   public:
    using TBox::TBox;

   protected:
    void Paint() override {
      Canvas().Brush().SetColor(Fill);
      Canvas().FillRect(Rect(-50, -50, 500, 500));
      Canvas().SetPixels(0, 0, clBlack);
    }
  };
  new TOverflowing(&form, &form, Bounds(20, 20, 10, 10), clLime);
  EXPECT_EQ(RenderedPixel(form, 20, 20), clBlack);
  EXPECT_EQ(RenderedPixel(form, 29, 29), clLime);
  EXPECT_EQ(RenderedPixel(form, 19, 25), clWhite);
  EXPECT_EQ(RenderedPixel(form, 30, 25), clWhite);
}

TEST_F(Painting, ACustomControlPaintsItselfBelowItsWindowlessChildren) {
  auto* custom = new TFramedControl(&form);
  custom->SetBounds(10, 10, 50, 40);
  custom->SetParent(&form);
  new TBox(&form, custom, Bounds(20, 20, 5, 5), clRed);
  EXPECT_EQ(RenderedPixel(*custom, 0, 0), clGreen);
  EXPECT_EQ(RenderedPixel(*custom, 1, 1), clGreen);
  EXPECT_EQ(RenderedPixel(*custom, 2, 2), clYellow);
  EXPECT_EQ(RenderedPixel(*custom, 22, 22), clRed);
  EXPECT_EQ(RenderedPixel(form, 32, 32), clRed);  // seen through the form, too
}

TEST_F(Painting, AFailingPaintIsReportedAndTheOtherChildrenStillPaint) {
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  new TThrowingBox(&form, &form, Bounds(0, 0, 30, 10), clRed);
  new TBox(&form, &form, Bounds(20, 0, 10, 10), clBlue);  // above the failing one
  const TColor seen = RenderedPixel(form, 25, 5);
  Application->OnException = nullptr;
  EXPECT_EQ(seen, clBlue);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported[0], "paint failed");
}

// A picture as large as a map is drawn only in the parts repainted; each part must show
// the picture's own pixels at their place, under the children above it.
TEST_F(Painting, ALargePictureRepaintedInPartsShowsItsOwnPixels) {
  form.SetBounds(0, 0, 400, 320);
  TBitmap picture;
  picture.SetSize(300, 260);
  for (int y = 0; y < picture.Height(); ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      row[4 * x] = 90;                                // blue
      row[4 * x + 1] = static_cast<std::uint8_t>(y);  // green
      row[4 * x + 2] = static_cast<std::uint8_t>(x);  // red
    }
  }
  auto* image = new TImage(&form);
  image->SetBounds(10, 20, 300, 260);
  image->Picture().SetGraphic(&picture);
  image->SetParent(&form);
  new TBox(&form, &form, Bounds(50, 50, 10, 10), clRed);

  EXPECT_EQ(RenderedPixel(form, 10, 20), RGB(0, 0, 90));
  EXPECT_EQ(RenderedPixel(form, 10 + 255, 20 + 200), RGB(255, 200, 90));
  EXPECT_EQ(RenderedPixel(form, 10 + 299, 20 + 259), RGB(299 % 256, 259 % 256, 90));
  EXPECT_EQ(RenderedPixel(form, 55, 55), clRed);
  EXPECT_EQ(RenderedPixel(form, 60, 55), RGB(50, 35, 90));
  EXPECT_EQ(RenderedPixel(form, 310, 100), clWhite);
  EXPECT_EQ(RenderedPixel(form, 9, 100), clWhite);
}

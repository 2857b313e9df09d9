// TPicture: loading by extension through the format registry.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/picture.h"
#include "platform/text/streams.h"

namespace {

std::string Fixture(const std::string& name) {
  return std::string(VELMORA_TEST_DATA) + "/jpeg/" + name;
}

std::string SaveBitmap(const std::string& name, int width, int height) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  const std::string path = ::testing::TempDir() + name;
  bitmap.SaveToFile(path);
  return path;
}

// A picture kind of the test's own: a 7 x 3 graphic that reads nothing.
class TTestGraphic : public TGraphic {
 public:
  int Width() const override { return 7; }
  int Height() const override { return 3; }
  void Draw(TCanvas&, const TRect&) const override {}
  void LoadFromStream(TStream&) override { ++loads; }
  void SaveToStream(TStream&) const override {}
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TTestGraphic>(); }
  static inline int loads = 0;
};

}  // namespace

TEST(Picture, ChoosesTheFormatByExtensionWhateverItsCase) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromFile(Fixture("blocks.jpg"));
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 32);

  const std::string bmp = SaveBitmap("velmora_picture.BMP", 5, 4);
  picture.LoadFromFile(bmp);
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Height(), 4);
  EXPECT_EQ(changes, 2);
  std::remove(bmp.c_str());
}

TEST(Picture, JpegExtensionWithFourLetters) {
  const std::string path = ::testing::TempDir() + "velmora_picture.jpeg";
  {
    TMemoryStream stream;
    stream.LoadFromFile(Fixture("blocks_grey.jpg"));
    stream.SaveToFile(path);
  }
  TPicture picture;
  picture.LoadFromFile(path);
  EXPECT_EQ(picture.Width(), 32);
  std::remove(path.c_str());
}

TEST(Picture, FailedLoadsKeepWhatThePictureHeld) {
  TPicture picture;
  picture.LoadFromFile(Fixture("blocks.jpg"));
  EXPECT_THROW(picture.LoadFromFile("map.xyz"), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile("no_extension"), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(::testing::TempDir() + "velmora_missing.bmp"), EFOpenError);
  // A file whose content does not match its extension.
  const std::string wrong = ::testing::TempDir() + "velmora_wrong.bmp";
  {
    TMemoryStream stream;
    stream.LoadFromFile(Fixture("blocks.jpg"));
    stream.SaveToFile(wrong);
  }
  EXPECT_THROW(picture.LoadFromFile(wrong), EInvalidGraphic);
  std::remove(wrong.c_str());
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 32);
}

TEST(Picture, RegisteredFormatsLoadUntilUnregistered) {
  const std::string path = SaveBitmap("velmora_picture.tst", 1, 1);
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile(path), EInvalidGraphic);
  TPicture::RegisterFileFormat("TST", "Test pictures",
                               [] { return std::make_unique<TTestGraphic>(); });
  picture.LoadFromFile(path);
  EXPECT_EQ(TTestGraphic::loads, 1);
  EXPECT_EQ(picture.Width(), 7);
  TPicture::UnregisterFileFormat(".tst");
  EXPECT_THROW(picture.LoadFromFile(path), EInvalidGraphic);
  std::remove(path.c_str());
}

TEST(Picture, BitmapReplacesAnyOtherGraphic) {
  TPicture picture;
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
  picture.LoadFromFile(Fixture("blocks.jpg"));
  TBitmap& bitmap = picture.Bitmap();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(picture.Graphic(), &bitmap);
  bitmap.SetSize(3, 2);
  EXPECT_EQ(&picture.Bitmap(), &bitmap);  // a bitmap stays
  EXPECT_EQ(picture.Width(), 3);

  TBitmap other;
  other.SetSize(9, 9);
  picture.SetGraphic(&other);
  EXPECT_EQ(picture.Width(), 9);
  EXPECT_NE(picture.Graphic(), &other);  // a copy
  picture.SetGraphic(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);
}

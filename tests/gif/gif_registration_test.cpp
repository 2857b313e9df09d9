// The codec behind the platform's picture class and the clipboard.
#include <gtest/gtest.h>

#include "gif/gif_registration.h"
#include "gif/gif_settings.h"
#include "gif_test_support.h"
#include "platform/gui/graphics/picture.h"
#include "platform/gui/standard/clipboard.h"

namespace {

TEST(GifRegistration, AGifLoadsThroughThePictureClassLikeAnyFormat) {
  RegisterGIFFormat();
  TPicture picture;
  picture.LoadFromFile(GifFixturePath("table_16.gif"));
  ASSERT_NE(dynamic_cast<TGIFPicture*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 23);
  EXPECT_EQ(picture.Height(), 17);
  // The map draws it like any picture: the first frame.
  TBitmap map;
  map.SetSize(23, 17);
  map.Canvas().StretchDraw(Bounds(0, 0, 23, 17), *picture.Graphic());
  const TGifDump dump = ParseGifDump(ReadFileBytes(GifFixturePath("table_16.dump")));
  const TDumpColor& c = dump.GlobalMap[dump.Frames[0].Pixels[0]];
  EXPECT_EQ(map.Canvas().Pixels(0, 0), RGB(c.Red, c.Green, c.Blue));
  // Bad data is an invalid graphic, as with every format.
  EXPECT_THROW(picture.LoadFromFile(GifFixturePath("malformed/min_code_size_12.gif")),
               EInvalidGraphic);
  UnregisterGIFFormat();
  EXPECT_THROW(picture.LoadFromFile(GifFixturePath("table_16.gif")), EInvalidGraphic);
}

TEST(GifRegistration, CopyPutsABitmapAndTheGifOnTheClipboard) {
  RegisterGIFFormat();
  TGIFPicture source;
  LoadBytes(source, ReadFileBytes(GifFixturePath("anim_local.gif")));
  SaveToClipboardFormat(source);
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard().HasFormat(GIFClipboardFormat));
  TGIFPicture pasted;
  LoadFromClipboardFormat(pasted, GIFClipboardFormat);
  EXPECT_EQ(SaveBytes(pasted), SaveBytes(source));
  TGIFPicture from_bitmap;
  LoadFromClipboardFormat(from_bitmap, CF_BITMAP);
  EXPECT_EQ(from_bitmap.Images.Count(), 1);
  EXPECT_EQ(from_bitmap.Width(), source.Width());
  EXPECT_THROW(LoadFromClipboardFormat(from_bitmap, 12345), GIFException);
  // The picture class pastes the GIF format as a GIF, as it loads a ".gif" file.
  TPicture picture;
  ASSERT_TRUE(TPicture::SupportsClipboardFormat(GIFClipboardFormat));
  picture.LoadFromClipboardFormat(GIFClipboardFormat);
  auto* gif = dynamic_cast<TGIFPicture*>(picture.Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(SaveBytes(*gif), SaveBytes(source));
  UnregisterGIFFormat();
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(GIFClipboardFormat));
  EXPECT_THROW(picture.LoadFromClipboardFormat(GIFClipboardFormat), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic(), gif);  // kept
}

TEST(GifRegistration, ANewPictureTakesTheModuleDefaults) {
  TGIFPicture picture;
  EXPECT_EQ(picture.DrawOptions, 0x060F);
  EXPECT_EQ(picture.ColorReduction, ReduceWeb216);
  EXPECT_EQ(picture.ReductionBits, 8);
  EXPECT_EQ(picture.DitherMode, DitherNearest);
  EXPECT_EQ(picture.Compression, CompressLZW);
  EXPECT_EQ(picture.AnimationSpeed, 100);
  EXPECT_EQ(picture.ShownFrame, -1);
  EXPECT_EQ(picture.BackgroundColor, clNone);
}

}  // namespace

// Pictures as record bodies: hexadecimal text and sized binary blocks, with sizes that
// ask for more than the stream holds.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/text/streams.h"
#include "richtext/base/picture_routines.h"
#include "richtext/styles/graphic_streams.h"
#include "richtext/support/raster_canvas.h"

namespace {

void MakePicture(TBitmap& bitmap) {
  bitmap.SetSize(3, 2);
  bitmap.Canvas().SetPixels(0, 0, clRed);
  bitmap.Canvas().SetPixels(2, 1, clBlue);
}

TEST(GraphicStreams, HexRoundTrip) {
  TBitmap picture;
  MakePicture(picture);
  std::string hex;
  GraphicToHex(picture, hex);
  EXPECT_EQ(hex.substr(0, 4), "424D");  // "BM"
  TBitmap loaded;
  EXPECT_TRUE(LoadGraphicFromHex(hex, loaded));
  EXPECT_EQ(loaded.Width(), 3);
  EXPECT_EQ(loaded.Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(loaded.Canvas().Pixels(2, 1), clBlue);
  EXPECT_FALSE(LoadGraphicFromHex(hex.substr(1), loaded));
  EXPECT_THROW(LoadGraphicFromHex("0000", loaded), EInvalidGraphic);
}

TEST(GraphicStreams, SizedBlocks) {
  TBitmap picture;
  MakePicture(picture);
  TMemoryStream stream;
  stream.WriteBuffer("xy", 2);
  WriteSizedGraphic(stream, picture);
  EXPECT_EQ(stream.Position(), stream.Size());
  stream.SetPosition(2);
  TBitmap loaded;
  EXPECT_TRUE(ReadSizedGraphic(stream, loaded));
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(loaded.Canvas().Pixels(2, 1), clBlue);

  // Every shorter stream asks for more than it holds and is refused untouched.
  const std::string whole(static_cast<const char*>(stream.Memory()) + 2, size_t(stream.Size() - 2));
  for (size_t length = 0; length < whole.size(); ++length) {
    TMemoryStream cut;
    cut.WriteBuffer(whole.data(), int64_t(length));
    cut.SetPosition(0);
    TBitmap untouched;
    EXPECT_FALSE(ReadSizedGraphic(cut, untouched)) << length;
    EXPECT_TRUE(untouched.Empty());
  }
  TMemoryStream huge;
  huge.WriteBuffer("\xFF\xFF\xFF\xFF", 4);
  huge.SetPosition(0);
  EXPECT_FALSE(ReadSizedGraphic(huge, loaded));
}

TEST(GraphicStreams, BytesAsAPicture) {
  TBitmap picture;
  MakePicture(picture);
  TMemoryStream stream;
  picture.SaveToStream(stream);
  TBitmap loaded;
  LoadGraphicFromString(
      std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size())), loaded);
  EXPECT_EQ(loaded.Height(), 2);
}

TEST(PictureRoutines, TransparencyAndScaledDrawing) {
  TBitmap bitmap;
  MakePicture(bitmap);
  EXPECT_FALSE(IsTransparentGraphic(bitmap));
  bitmap.SetTransparent(true);
  EXPECT_TRUE(IsTransparentGraphic(bitmap));
  TJPEGImage jpeg;
  EXPECT_FALSE(IsTransparentGraphic(jpeg));
  TRDResolution printer;
  printer.DevicePixelsPerInchX = 192;
  printer.DevicePixelsPerInchY = 288;
  TRasterCanvas canvas(10, 10);
  DrawGraphicScaled(canvas, 5, 6, -1, 10, printer, bitmap, true);
  DrawGraphicScaled(canvas, -5, 6, -1, -1, printer, bitmap, false);
  DrawGraphicScaled(canvas, 5, 6, 1, 1, printer, jpeg, false);  // only bitmaps without stretching
  EXPECT_EQ(canvas.Log,
            (std::vector<std::string>{"StretchDraw 5,6,11,36", "StretchDraw 0,6,6,12"}));
}

}  // namespace

#include "richtext/model/rtf_picture.h"

#include <cmath>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/text/streams.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/model/picture_budget.h"
#include "richtext/styles/rdf_routines.h"

namespace {

// BMP files start with a 14-byte file header, which RTF leaves out.
constexpr size_t kBmpFileHeaderSize = 14;
// Our bitmaps are 96 pixels per inch: 15 twips a pixel.
constexpr int kTwipsPerPixel = 15;
// The standard header in front of a Windows metafile's records.
constexpr std::size_t kMetafileHeaderSize = 18;

std::string Bytes(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string Scaling(int width, int height, int targetWidth, int targetHeight) {
  if ((targetWidth <= 0 && targetHeight <= 0) || width <= 0 || height <= 0) return "";
  if (targetWidth <= 0) targetWidth = width;
  if (targetHeight <= 0) targetHeight = height;
  return "\\picscalex" + std::to_string(std::lround(targetWidth * 100.0 / width)) + "\\picscaley" +
         std::to_string(std::lround(targetHeight * 100.0 / height));
}

std::string BitmapBody(const TBitmap& bitmap) {
  TMemoryStream bmp;
  bitmap.SaveToStream(bmp);
  const std::string bytes = Bytes(bmp);
  const int bits = bitmap.PixelFormat() == pf32bit ? 32 : 24;
  const int stride = (bitmap.Width() * bits + 31) / 32 * 4;
  return "\\dibitmap0\\wbmwidthbytes" + std::to_string(stride) + "\\picw" +
         std::to_string(bitmap.Width()) + "\\pich" + std::to_string(bitmap.Height()) +
         "\\picwgoal" + std::to_string(bitmap.Width() * kTwipsPerPixel) + "\\pichgoal" +
         std::to_string(bitmap.Height() * kTwipsPerPixel) + " " +
         StringToHex(std::string_view(bytes).substr(kBmpFileHeaderSize));
}

std::string SizedBlip(const char* kind, const TGraphic& graphic, const std::string& bytes) {
  return std::string(kind) + "\\picw" + std::to_string(graphic.Width()) + "\\pich" +
         std::to_string(graphic.Height()) + " " + StringToHex(bytes);
}

// A drawing keeps its records: sizes in hundredths of a millimetre and twips, and a Windows
// metafile without the placeable header, which RTF leaves out.
std::string MetafileBody(const TMetafile& drawing) {
  TMemoryStream stream;
  drawing.SaveToStream(stream);
  std::string bytes = Bytes(stream);
  const auto hundredthsMm = [](int pixels) {
    return std::to_string(std::lround(pixels * 2540.0 / 96));
  };
  std::string kind = "\\emfblip";
  if (!drawing.Enhanced()) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    bytes.erase(0, WindowsMetafileRecordsStart({data, bytes.size()}) - kMetafileHeaderSize);
    kind = "\\wmetafile8";
  }
  return kind + "\\picw" + hundredthsMm(drawing.Width()) + "\\pich" +
         hundredthsMm(drawing.Height()) + "\\picwgoal" +
         std::to_string(drawing.Width() * kTwipsPerPixel) + "\\pichgoal" +
         std::to_string(drawing.Height() * kTwipsPerPixel) + " " + StringToHex(bytes);
}

// Pictures of other kinds are drawn on white.
void DrawOnBitmap(const TGraphic& graphic, TBitmap& bitmap) {
  bitmap.SetSize(graphic.Width(), graphic.Height());
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(Rect(0, 0, graphic.Width(), graphic.Height()));
  bitmap.Canvas().Draw(0, 0, graphic);
}

// A bitmap of our own, as a bitmap or as PNG.
std::string DrawnBody(const TBitmap& bitmap, TRDRTFOptions options) {
  if (options & rdrtfSaveBitmapDefault) return BitmapBody(bitmap);
  return SizedBlip("\\pngblip", bitmap, BitmapToPng(bitmap));
}

std::string Group(const std::string& scaling, const std::string& body) {
  return "{\\pict" + scaling + body + "}";
}

}  // namespace

std::string RTFPictureGroup(const TGraphic& graphic, TRDRTFOptions options, int targetWidth,
                            int targetHeight) {
  const std::string scaling = Scaling(graphic.Width(), graphic.Height(), targetWidth, targetHeight);
  // A picture left out is written as it was read, when it was read from RTF.
  if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(&graphic)) {
    const TRDPictureSource& source = frame->Source();
    if (source.RTFFormat.empty()) return "";
    return Group(scaling, source.RTFFormat + " " + StringToHex(source.Data));
  }
  if (graphic.Empty()) return "";
  // A PNG picture keeps its bytes; other bitmaps are written as the bitmaps they are.
  if (const auto* png = dynamic_cast<const TPngImage*>(&graphic)) {
    TMemoryStream bytes;
    png->SaveToStream(bytes);
    return Group(scaling, SizedBlip("\\pngblip", graphic, Bytes(bytes)));
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic))
    return Group(scaling, BitmapBody(*bitmap));
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic);
      jpeg && (options & rdrtfSaveJpegAsJpeg)) {
    TMemoryStream bytes;
    jpeg->SaveToStream(bytes);
    return Group(scaling, SizedBlip("\\jpegblip", graphic, Bytes(bytes)));
  }
  if (const auto* drawing = dynamic_cast<const TMetafile*>(&graphic))
    return Group(scaling, MetafileBody(*drawing));
  TBitmap bitmap;
  DrawOnBitmap(graphic, bitmap);
  return Group(scaling, DrawnBody(bitmap, options));
}

std::string RTFImageListPictureGroup(const TImageList& list, int index, TRDRTFOptions options) {
  if (index < 0 || index >= list.Count()) return "";
  TBitmap bitmap;
  list.GetBitmap(index, bitmap);
  if (bitmap.Empty()) return "";
  return Group("", DrawnBody(bitmap, options));
}

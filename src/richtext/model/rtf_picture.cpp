#include "richtext/model/rtf_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/bmp_codec.h"
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

// What a picture's SaveToStream writes: the bytes its kind stores it as.
std::string StoredBytes(const TGraphic& graphic) {
  TMemoryStream stream;
  graphic.SaveToStream(stream);
  return Bytes(stream);
}

std::string Scaling(int width, int height, int targetWidth, int targetHeight) {
  if ((targetWidth <= 0 && targetHeight <= 0) || width <= 0 || height <= 0) return "";
  if (targetWidth <= 0) targetWidth = width;
  if (targetHeight <= 0) targetHeight = height;
  return "\\picscalex" + std::to_string(std::lround(targetWidth * 100.0 / width)) + "\\picscaley" +
         std::to_string(std::lround(targetHeight * 100.0 / height));
}

// A picture group's kind and size keywords, and its data (written in hexadecimal).
struct TRTFPictureBody {
  std::string Keywords;
  std::string_view Data;
};

// Bits per pixel of a DIB whose header was read (the oldest, 12-byte form keeps them at
// 10, the others at 14).
int DibBitsPerPixel(std::string_view dib) {
  const auto u16 = [dib](std::size_t at) {
    return int(std::uint8_t(dib[at])) | int(std::uint8_t(dib[at + 1])) << 8;
  };
  return u16(0) == 12 ? u16(10) : u16(14);
}

// A BMP file as RTF holds it: its DIB without the file header, shown at width x height.
TRTFPictureBody DibBody(std::string_view bmp, int width, int height) {
  const std::string_view dib = bmp.substr(std::min(kBmpFileHeaderSize, bmp.size()));
  const TDibSize size = DibSize({reinterpret_cast<const std::uint8_t*>(dib.data()), dib.size()});
  const std::int64_t stride = (std::int64_t(size.Width) * DibBitsPerPixel(dib) + 31) / 32 * 4;
  return {"\\dibitmap0\\wbmwidthbytes" + std::to_string(stride) + "\\picw" +
              std::to_string(size.Width) + "\\pich" + std::to_string(size.Height) + "\\picwgoal" +
              std::to_string(std::int64_t(width) * kTwipsPerPixel) + "\\pichgoal" +
              std::to_string(std::int64_t(height) * kTwipsPerPixel),
          dib};
}

TRTFPictureBody SizedBlip(const char* kind, int width, int height, std::string_view bytes) {
  return {std::string(kind) + "\\picw" + std::to_string(width) + "\\pich" + std::to_string(height),
          bytes};
}

// A drawing keeps its records: sizes in hundredths of a millimetre and twips, and a Windows
// metafile without the placeable header, which RTF leaves out.
TRTFPictureBody MetafileBody(std::string_view bytes, int width, int height) {
  const std::span<const std::uint8_t> data{reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size()};
  const auto hundredthsMm = [](int pixels) {
    return std::to_string(std::lround(pixels * 2540.0 / 96));
  };
  std::string kind = "\\emfblip";
  if (!IsEnhancedMetafile(data)) {
    const std::size_t start = WindowsMetafileRecordsStart(data);
    bytes.remove_prefix(start >= kMetafileHeaderSize ? start - kMetafileHeaderSize : 0);
    kind = "\\wmetafile8";
  }
  return {kind + "\\picw" + hundredthsMm(width) + "\\pich" + hundredthsMm(height) + "\\picwgoal" +
              std::to_string(std::int64_t(width) * kTwipsPerPixel) + "\\pichgoal" +
              std::to_string(std::int64_t(height) * kTwipsPerPixel),
          bytes};
}

// The body of a picture of the kind of Kind, stored as Bytes (see StoredBytes) and shown
// at width x height; nullopt for a kind RTF holds only drawn. Raises EInvalidGraphic for
// a bitmap whose header cannot be read.
std::optional<TRTFPictureBody> StoredBody(const TGraphic& kind, std::string_view bytes, int width,
                                          int height) {
  if (dynamic_cast<const TPngImage*>(&kind)) return SizedBlip("\\pngblip", width, height, bytes);
  if (dynamic_cast<const TBitmap*>(&kind)) return DibBody(bytes, width, height);
  if (dynamic_cast<const TJPEGImage*>(&kind)) return SizedBlip("\\jpegblip", width, height, bytes);
  if (dynamic_cast<const TMetafile*>(&kind)) return MetafileBody(bytes, width, height);
  return std::nullopt;
}

// Pictures of other kinds are drawn on white.
void DrawOnBitmap(const TGraphic& graphic, TBitmap& bitmap) {
  bitmap.SetSize(graphic.Width(), graphic.Height());
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(Rect(0, 0, graphic.Width(), graphic.Height()));
  bitmap.Canvas().Draw(0, 0, graphic);
}

std::string Group(const std::string& scaling, const TRTFPictureBody& body) {
  return "{\\pict" + scaling + body.Keywords + " " + StringToHex(body.Data) + "}";
}

// A bitmap of our own, as a bitmap or as PNG.
std::string DrawnGroup(const std::string& scaling, const TBitmap& bitmap, TRDRTFOptions options) {
  if (options & rdrtfSaveBitmapDefault) {
    const std::string bmp = StoredBytes(bitmap);
    return Group(scaling, DibBody(bmp, bitmap.Width(), bitmap.Height()));
  }
  const std::string png = BitmapToPng(bitmap);
  return Group(scaling, SizedBlip("\\pngblip", bitmap.Width(), bitmap.Height(), png));
}

// A picture left out, written from the bytes it keeps: with the keywords it was read
// with from RTF, else as a picture of its class is written. "" when it keeps none, or
// bytes of a kind RTF holds only drawn.
std::string FrameGroup(const std::string& scaling, const TRDPictureFrame& frame) {
  const TRDPictureSource& source = frame.Source();
  const TRDGraphicClass graphicClass = FindGraphicClass(source.RDFClass);
  if (!graphicClass) return "";
  try {
    std::optional<TRTFPictureBody> body =
        StoredBody(*graphicClass(), source.Data, frame.Width(), frame.Height());
    if (!body) return "";
    if (!source.RTFFormat.empty()) body->Keywords = source.RTFFormat;
    return Group(scaling, *body);
  } catch (const EInvalidGraphic&) {
    return "";
  }
}

}  // namespace

std::string RTFPictureGroup(const TGraphic& graphic, TRDRTFOptions options, int targetWidth,
                            int targetHeight) {
  const std::string scaling = Scaling(graphic.Width(), graphic.Height(), targetWidth, targetHeight);
  if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(&graphic))
    return FrameGroup(scaling, *frame);
  if (graphic.Empty()) return "";
  // Pictures keep their bytes: a PNG picture its PNG, a bitmap its rows, a drawing its
  // records; a JPEG picture is drawn unless it is to stay JPEG.
  if (!dynamic_cast<const TJPEGImage*>(&graphic) || (options & rdrtfSaveJpegAsJpeg)) {
    const std::string bytes = StoredBytes(graphic);
    if (const auto body = StoredBody(graphic, bytes, graphic.Width(), graphic.Height()))
      return Group(scaling, *body);
  }
  TBitmap bitmap;
  DrawOnBitmap(graphic, bitmap);
  return DrawnGroup(scaling, bitmap, options);
}

std::string RTFImageListPictureGroup(const TImageList& list, int index, TRDRTFOptions options) {
  if (index < 0 || index >= list.Count()) return "";
  TBitmap bitmap;
  list.GetBitmap(index, bitmap);
  if (bitmap.Empty()) return "";
  return DrawnGroup("", bitmap, options);
}

#include "richtext/model/rtf_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

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

// How a picture is placed on one axis: the size its goal gives and the scale (per cent)
// that takes that to the size shown. Readers show goal x scale; ours in whole pixels,
// Round(goal / 100 x scale) but at most a page (kMaxGoal), and only for a scale other
// than 100 where the picture is not a drawing (at 100 it shows the picture's own size);
// it takes goals up to a page. The goal is the picture's own size where a whole per cent
// (up to 1000) scales that to the size shown exactly; otherwise (a picture of thousands
// of pixels shown at a few dozen needs less than one per cent, one shown at a page's
// side more than a page of goal at 100) a goal of its own at 50, 99 or 101 per cent,
// whose whole pixels give the size shown back exactly. A picture larger than a page
// shown at its own size is written without goals: its own size is then the reader's,
// and the other side is scaled from its own size too.
constexpr std::int64_t kMaxGoal = 31680 / kTwipsPerPixel;
constexpr long kMaxScale = 1000;
// The largest scale our reader takes: a pixel to a page.
constexpr long kMaxReadScale = 100 * 31680;

struct TRTFPlacement {
  std::int64_t Goal = 0;  // pixels
  int Scale = 100;
};

// What our reader shows of a side of base pixels at a scale other than 100.
double ReadBack(std::int64_t base, long scale) {
  return std::nearbyint(std::min(double(base) / 100.0 * double(scale), double(kMaxGoal)));
}

TRTFPlacement Placement(int own, int shown) {
  if (shown <= 0 || shown == own) return {std::max(own, 0), 100};
  if (own <= 0) return {shown, 100};
  const long scale = std::lround(shown * 100.0 / own);
  if (own <= kMaxGoal && scale >= 1 && scale <= kMaxScale && scale != 100 &&
      ReadBack(own, scale) == shown)
    return {own, int(scale)};
  for (int near : {50, 99, 101})
    if (const std::int64_t goal = std::llround(shown * 100.0 / near);
        goal >= 1 && goal <= kMaxGoal && ReadBack(goal, near) == shown)
      return {goal, near};
  return {kMaxGoal,
          int(std::clamp(std::lround(shown * 100.0 / double(kMaxGoal)), 101L, kMaxScale))};
}

// A side placed without goals: the scale our reader takes from its own size to the size
// shown (one past it where a page bounds what it shows).
TRTFPlacement OwnScale(int own, int shown) {
  if (shown <= 0 || shown == own || own <= 0) return Placement(own, shown);
  const long scale = std::lround(shown * 100.0 / own);
  for (const long near : {scale, scale + 1, scale - 1})
    if (near >= 1 && near <= kMaxReadScale && near != 100 && ReadBack(own, near) == shown)
      return {own, int(near)};
  return {own, int(std::clamp(scale, 1L, kMaxReadScale))};
}

// The picture's own size placed at target (a side of 0: its own).
struct TRTFPlacing {
  TRTFPlacing(int width, int height, int targetWidth, int targetHeight)
      : Width(width),
        Height(height),
        X(Placement(width, targetWidth)),
        Y(Placement(height, targetHeight)) {
    if (X.Goal > kMaxGoal || Y.Goal > kMaxGoal) {
      X = OwnScale(width, targetWidth);
      Y = OwnScale(height, targetHeight);
    }
  }
  // A picture shown at its goal's size writes no scale: 100 is what readers take without
  // one, and ours gives the picture a size of its own where it reads a goal, which would
  // otherwise write a scale the second time only.
  std::string Scaling() const {
    if (X.Scale == 100 && Y.Scale == 100) return "";
    return "\\picscalex" + std::to_string(X.Scale) + "\\picscaley" + std::to_string(Y.Scale);
  }
  bool OwnGoal() const { return X.Goal == Width && Y.Goal == Height; }
  std::string GoalKeywords() const {
    if (X.Goal > kMaxGoal || Y.Goal > kMaxGoal) return "";
    return "\\picwgoal" + std::to_string(X.Goal * kTwipsPerPixel) + "\\pichgoal" +
           std::to_string(Y.Goal * kTwipsPerPixel);
  }
  int Width, Height;
  TRTFPlacement X, Y;
};

// A picture group's kind and size keywords, and its data (written in hexadecimal).
struct TRTFPictureBody {
  std::string Keywords;
  std::string Data;
};

// Bits per pixel of a DIB whose header was read (the oldest, 12-byte form keeps them at
// 10, the others at 14).
int DibBitsPerPixel(std::string_view dib) {
  const auto u16 = [dib](std::size_t at) {
    return int(std::uint8_t(dib[at])) | int(std::uint8_t(dib[at + 1])) << 8;
  };
  return u16(0) == 12 ? u16(10) : u16(14);
}

// A BMP file as RTF holds it: its DIB without the file header, the rows right after the
// colour table, where readers take them from (a file may have them elsewhere). Rows cut
// short (a picture left out keeps them as read) stay as they are.
std::string PackedDib(std::string_view bmp) {
  constexpr std::size_t kBmpFileHeaderSize = 14;
  try {
    const std::vector<std::uint8_t> packed =
        PackedDibOfBmpFile({reinterpret_cast<const std::uint8_t*>(bmp.data()), bmp.size()});
    return std::string(packed.begin(), packed.end());
  } catch (const EInvalidGraphic&) {
    return std::string(bmp.substr(std::min(kBmpFileHeaderSize, bmp.size())));
  }
}

TRTFPictureBody DibBody(std::string_view bmp, const TRTFPlacing& placing) {
  std::string dib = PackedDib(bmp);
  const TDibSize size = DibSize({reinterpret_cast<const std::uint8_t*>(dib.data()), dib.size()});
  const std::int64_t stride = (std::int64_t(size.Width) * DibBitsPerPixel(dib) + 31) / 32 * 4;
  return {"\\dibitmap0\\wbmwidthbytes" + std::to_string(stride) + "\\picw" +
              std::to_string(size.Width) + "\\pich" + std::to_string(size.Height) +
              placing.GoalKeywords(),
          std::move(dib)};
}

// PNG and JPEG give their pixels; a goal only where it is not their own size.
TRTFPictureBody SizedBlip(const char* kind, const TRTFPlacing& placing, std::string_view bytes) {
  return {std::string(kind) + "\\picw" + std::to_string(placing.Width) + "\\pich" +
              std::to_string(placing.Height) + (placing.OwnGoal() ? "" : placing.GoalKeywords()),
          std::string(bytes)};
}

// A drawing keeps its records: sizes in hundredths of a millimetre and twips, and a Windows
// metafile without the placeable header, which RTF leaves out.
TRTFPictureBody MetafileBody(std::string_view bytes, const TRTFPlacing& placing) {
  const std::span<const std::uint8_t> data{reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size()};
  const auto hundredthsMm = [](std::int64_t pixels) {
    return std::to_string(std::llround(double(pixels) * 2540.0 / 96));
  };
  std::string kind = "\\emfblip";
  if (!IsEnhancedMetafile(data)) {
    const std::size_t start = WindowsMetafileRecordsStart(data);
    bytes.remove_prefix(start >= kMetafileHeaderSize ? start - kMetafileHeaderSize : 0);
    kind = "\\wmetafile8";
  }
  return {kind + "\\picw" + hundredthsMm(placing.X.Goal) + "\\pich" + hundredthsMm(placing.Y.Goal) +
              placing.GoalKeywords(),
          std::string(bytes)};
}

// The body of a picture of the kind of Kind, stored as Bytes (see StoredBytes); nullopt
// for a kind RTF holds only drawn. Raises EInvalidGraphic for a bitmap whose header
// cannot be read.
std::optional<TRTFPictureBody> StoredBody(const TGraphic& kind, std::string_view bytes,
                                          const TRTFPlacing& placing) {
  if (dynamic_cast<const TPngImage*>(&kind)) return SizedBlip("\\pngblip", placing, bytes);
  if (dynamic_cast<const TBitmap*>(&kind)) return DibBody(bytes, placing);
  if (dynamic_cast<const TJPEGImage*>(&kind)) return SizedBlip("\\jpegblip", placing, bytes);
  if (dynamic_cast<const TMetafile*>(&kind)) return MetafileBody(bytes, placing);
  return std::nullopt;
}

// A bitmap's rows after its colour table; its pixels as written where those take no more
// bytes (rows that began inside the table grow by the entries they covered): read again,
// the bitmap keeps the file only where it is smaller than its pixels, and is then written
// as the first time. A bitmap whose runs leave pixels to the reader is written as PNG:
// readers differ on those pixels (ours gives them the first colour, others show nothing
// of a bitmap whose runs claim far more pixels than they set).
TRTFPictureBody BitmapBody(const TBitmap& bitmap, const TRTFPlacing& placing) {
  TRTFPictureBody body = DibBody(StoredBytes(bitmap), placing);
  const auto dib =
      std::span(reinterpret_cast<const std::uint8_t*>(body.Data.data()), body.Data.size());
  if (!DibSetsEveryPixel(dib)) return SizedBlip("\\pngblip", placing, BitmapToPng(bitmap));
  const int bits = bitmap.PixelFormat() == pf32bit ? 32 : 24;
  const std::int64_t infoHeader = 40;
  const std::int64_t pixels =
      infoHeader + (std::int64_t(bitmap.Width()) * bits + 31) / 32 * 4 * bitmap.Height();
  if (std::int64_t(body.Data.size()) < pixels) return body;
  TMemoryStream written;
  WriteBmp(bitmap, written);
  return DibBody(Bytes(written), placing);
}

// Pictures of other kinds are drawn on white.
void DrawOnBitmap(const TGraphic& graphic, TBitmap& bitmap) {
  bitmap.SetSize(graphic.Width(), graphic.Height());
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(Rect(0, 0, graphic.Width(), graphic.Height()));
  bitmap.Canvas().Draw(0, 0, graphic);
}

std::string Group(const TRTFPlacing& placing, const TRTFPictureBody& body) {
  return "{\\pict" + placing.Scaling() + body.Keywords + " " + StringToHex(body.Data) + "}";
}

// A bitmap of our own, as a bitmap or as PNG.
std::string DrawnGroup(const TRTFPlacing& placing, const TBitmap& bitmap, TRDRTFOptions options) {
  if (options & rdrtfSaveBitmapDefault) {
    const std::string bmp = StoredBytes(bitmap);
    return Group(placing, DibBody(bmp, placing));
  }
  const std::string png = BitmapToPng(bitmap);
  return Group(placing, SizedBlip("\\pngblip", placing, png));
}

// A picture left out, written from the bytes it keeps as a picture of its class is.
// "" when it keeps none, or bytes of a kind RTF holds only drawn.
std::string FrameGroup(const TRTFPlacing& placing, const TRDPictureFrame& frame) {
  const TRDPictureSource& source = frame.Source();
  const TRDGraphicClass graphicClass = FindGraphicClass(source.RDFClass);
  if (!graphicClass || source.Data.empty()) return "";
  try {
    const std::optional<TRTFPictureBody> body = StoredBody(*graphicClass(), source.Data, placing);
    return body ? Group(placing, *body) : "";
  } catch (const EInvalidGraphic&) {
    return "";
  }
}

}  // namespace

std::string RTFPictureGroup(const TGraphic& graphic, TRDRTFOptions options, int targetWidth,
                            int targetHeight) {
  const TRTFPlacing placing(graphic.Width(), graphic.Height(), targetWidth, targetHeight);
  if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(&graphic))
    return FrameGroup(placing, *frame);
  if (graphic.Empty() && !dynamic_cast<const TMetafile*>(&graphic)) return "";
  // Pictures keep their bytes: a PNG picture its PNG, a bitmap its rows, a drawing its
  // records; a JPEG picture is drawn unless it is to stay JPEG.
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic);
      bitmap && !dynamic_cast<const TPngImage*>(&graphic))
    return Group(placing, BitmapBody(*bitmap, placing));
  if (!dynamic_cast<const TJPEGImage*>(&graphic) || (options & rdrtfSaveJpegAsJpeg)) {
    const std::string bytes = StoredBytes(graphic);
    if (const auto body = StoredBody(graphic, bytes, placing)) return Group(placing, *body);
  }
  if (graphic.Empty()) return "";
  TBitmap bitmap;
  DrawOnBitmap(graphic, bitmap);
  return DrawnGroup(placing, bitmap, options);
}

std::string RTFImageListPictureGroup(const TImageList& list, int index, TRDRTFOptions options) {
  if (index < 0 || index >= list.Count()) return "";
  TBitmap bitmap;
  list.GetBitmap(index, bitmap);
  if (bitmap.Empty()) return "";
  return DrawnGroup(TRTFPlacing(bitmap.Width(), bitmap.Height(), 0, 0), bitmap, options);
}

#include "richtext_edit/rtf/rtf_picture.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/model/picture_budget.h"
#include "richtext_edit/rtf/rtf_bitmaps.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"

namespace {

constexpr int kMapModeIsotropic = 7, kMapModeAnisotropic = 8;
constexpr double kHundredthsMmPerInch = 2540.0;
constexpr double kTwipsPerInch = 1440.0;

std::span<const std::uint8_t> Bytes(const TMemoryStream& stream, std::int64_t from = 0) {
  const auto* data = static_cast<const std::uint8_t*>(stream.Memory());
  if (from >= stream.Size()) return {};
  return {data + from, std::size_t(stream.Size() - from)};
}

int RoundToInt(double value) {
  return int(std::clamp(std::nearbyint(value), -2147483647.0, 2147483647.0));
}

// Fills the room kept in front of \dibitmap data with a bitmap file header, so the data
// stream holds a complete BMP file for whoever saves it.
void WriteBitmapFileHeader(TMemoryStream& data) {
  constexpr std::uint32_t kInfoHeaderOffset = TRDRTFPicture::kBitmapFileHeaderSize;
  auto* bytes = static_cast<std::uint8_t*>(data.Memory());
  const auto put32 = [bytes](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, std::uint32_t(data.Size()));
  put32(6, 0);
  put32(10, std::uint32_t(kInfoHeaderOffset + DibInfoSize(Bytes(data, kInfoHeaderOffset))));
}

// A picture of the kind of graphic left out, width x height pixels: a frame that keeps
// the picture's data, which are the bytes such a graphic stores (a \dibitmap's behind
// its file header, a BMP file).
std::unique_ptr<TGraphic> LeftOut(int width, int height, const TRDRTFPicture& picture,
                                  const TGraphic& graphic) {
  const auto data = Bytes(picture.Data);
  return std::make_unique<TRDPictureFrame>(
      width, height,
      TRDPictureSource{GraphicClassName(graphic), std::string(data.begin(), data.end())});
}

// A picture decoded from picture's data, kept when its pixels fit the budget; else left
// out, a frame of its size in its place.
std::unique_ptr<TGraphic> Fitting(std::unique_ptr<TGraphic> graphic, const TRDRTFPicture& picture,
                                  TRDPictureBudget& budget) {
  if (budget.Take(DecodedPicturePixels(*graphic))) return graphic;
  return LeftOut(graphic->Width(), graphic->Height(), picture, *graphic);
}

// Loads picture's data into graphic when the pixels they claim fit the budget: as their
// header claims them before decoding, or as decoded for data without such a header.
std::unique_ptr<TGraphic> Priced(std::unique_ptr<TGraphic> graphic, TRDRTFPicture& picture,
                                 TRDPictureBudget& budget) {
  const auto load = [&] {
    picture.Data.Seek(0, soBeginning);
    graphic->LoadFromStream(picture.Data);
  };
  const std::optional<TPictureClaim> claimed = ClaimedPicture(*graphic, Bytes(picture.Data));
  if (!claimed) {
    load();
    return Fitting(std::move(graphic), picture, budget);
  }
  if (!budget.Take(claimed->Pixels))
    return LeftOut(claimed->Size.cx, claimed->Size.cy, picture, *graphic);
  load();
  return graphic;
}

// A device bitmap left out is kept as the BMP file it makes, as a bitmap keeps it.
std::unique_ptr<TGraphic> DdbLeftOut(const TRDDdbFormat& format, TRDRTFPicture& picture) {
  const std::vector<std::uint8_t> dib = DdbAsDib(format, Bytes(picture.Data));
  picture.Data.SetSize(0);
  picture.StartDib();
  picture.Data.WriteBuffer(dib.data(), std::int64_t(dib.size()));
  WriteBitmapFileHeader(picture.Data);
  return std::make_unique<TRDPictureFrame>(
      format.Width, format.Height,
      TRDPictureSource{GraphicClassName(TBitmap()),
                       std::string(static_cast<const char*>(picture.Data.Memory()),
                                   std::size_t(picture.Data.Size()))});
}

std::unique_ptr<TGraphic> DecodePictureData(TRDRTFPicture& picture, int pixelsPerInch,
                                            bool extractMetafileBitmaps, TRDPictureBudget& budget) {
  std::unique_ptr<TGraphic> graphic;
  switch (picture.PicType) {
    case rtf_pt_EnhancedMetafile:
      if (extractMetafileBitmaps)
        graphic = ExtractEnhancedMetafileBitmap(Bytes(picture.Data), budget);
      if (!graphic)
        graphic = Fitting(std::make_unique<TMetafile>(Bytes(picture.Data), true), picture, budget);
      break;
    case rtf_pt_WindowsMetafile:
      if (picture.PicW >= 1 && picture.PicH >= 1 &&
          (picture.MetafileMapMode == kMapModeIsotropic ||
           picture.MetafileMapMode == kMapModeAnisotropic)) {
        picture.Width = RoundToInt(picture.PicW / kHundredthsMmPerInch * pixelsPerInch);
        picture.Height = RoundToInt(picture.PicH / kHundredthsMmPerInch * pixelsPerInch);
      }
      if (extractMetafileBitmaps)
        graphic = ExtractWindowsMetafileBitmap(Bytes(picture.Data), budget);
      if (!graphic)
        graphic = Fitting(std::make_unique<TMetafile>(Bytes(picture.Data), false), picture, budget);
      break;
    case rtf_pt_Png:
      if (PngGraphicClass) graphic = Priced(PngGraphicClass(), picture, budget);
      break;
    case rtf_pt_Jpeg: {
      auto jpeg = std::make_unique<TJPEGImage>();
      jpeg->SetDecoding(TJpegDecoding::AsShown);
      graphic = Priced(std::move(jpeg), picture, budget);
      break;
    }
    case rtf_pt_Dib:
      // Run-length rows may claim millions of pixels in a few bytes: priced as claimed,
      // from the header.
      if (picture.Data.Size() < TRDRTFPicture::kBitmapFileHeaderSize)
        throw EInvalidGraphic("Bitmap header too short");
      WriteBitmapFileHeader(picture.Data);
      graphic = Priced(std::make_unique<TBitmap>(), picture, budget);
      break;
    case rtf_pt_Ddb: {
      TRDDdbFormat format;
      format.Width = picture.PicW;
      format.Height = picture.PicH;
      format.WidthBytes = picture.BitmapWidthBytes;
      format.BitsPixel = picture.BitmapBitsPixel;
      format.Planes = picture.BitmapPlanes;
      if (!budget.Take(std::int64_t(std::max(format.Width, 0)) * std::max(format.Height, 0)))
        return DdbLeftOut(format, picture);
      graphic = DecodeDdb(format, Bytes(picture.Data));
      break;
    }
    default:
      break;  // Macintosh and OS/2 pictures: reported without a graphic
  }
  return graphic;
}

}  // namespace

void TRDRTFPicture::StartDib() {
  PicType = rtf_pt_Dib;
  if (Data.Size() < kBitmapFileHeaderSize) Data.SetSize(kBitmapFileHeaderSize);
  Data.Seek(kBitmapFileHeaderSize, soBeginning);
}

std::unique_ptr<TGraphic> CreatePictureGraphic(TRDRTFPicture& picture, int pixelsPerInch,
                                               bool extractMetafileBitmaps,
                                               TRDPictureBudget& budget) {
  std::unique_ptr<TGraphic> graphic;
  // One damaged picture costs only itself: the document around it is still read.
  try {
    graphic = DecodePictureData(picture, pixelsPerInch, extractMetafileBitmaps, budget);
  } catch (const EInvalidGraphic&) {
    graphic = nullptr;
  }
  if (picture.PicWGoal != 0 && picture.PicHGoal != 0) {
    picture.Width = RoundToInt(picture.PicWGoal * double(pixelsPerInch) / kTwipsPerInch);
    picture.Height = RoundToInt(picture.PicHGoal * double(pixelsPerInch) / kTwipsPerInch);
  }
  // A picture whose bytes give no size of their own (a Windows metafile of records alone)
  // has the size it was placed at; so has such a picture left out.
  if (graphic && graphic->Empty() && picture.Width > 0 && picture.Height > 0) {
    if (auto* drawing = dynamic_cast<TMetafile*>(graphic.get()))
      drawing->SetSize(picture.Width, picture.Height);
    else if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(graphic.get()))
      graphic = std::make_unique<TRDPictureFrame>(picture.Width, picture.Height, frame->Source());
  }
  return graphic;
}

#include "richtext_edit/rtf/rtf_picture.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
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

// The stand-in for a bitmap of the given size left out of the document.
std::unique_ptr<TGraphic> LeftOut(int width, int height) {
  return std::make_unique<TRDPictureFrame>(width, height);
}

// A bitmap decoded elsewhere, kept when its pixels fit the budget.
std::unique_ptr<TGraphic> Budgeted(std::unique_ptr<TGraphic> graphic, TRDPictureBudget& budget) {
  if (!graphic || budget.Take(std::int64_t(graphic->Width()) * graphic->Height())) return graphic;
  return LeftOut(graphic->Width(), graphic->Height());
}

// The keywords that give a picture's kind and sizes, as they were read (its scale is
// the item's, written with it).
std::string FormatKeywords(const TRDRTFPicture& picture) {
  const auto word = [](const char* name, int value) {
    return std::string("\\") + name + std::to_string(value);
  };
  std::string format;
  switch (picture.PicType) {
    case rtf_pt_EnhancedMetafile:
      format = "\\emfblip";
      break;
    case rtf_pt_Png:
      format = "\\pngblip";
      break;
    case rtf_pt_Jpeg:
      format = "\\jpegblip";
      break;
    case rtf_pt_WindowsMetafile:
      format = word("wmetafile", picture.MetafileMapMode);
      break;
    case rtf_pt_Dib:
      format = "\\dibitmap0";
      break;
    case rtf_pt_Ddb:
      format = "\\wbitmap0";
      break;
    default:
      break;  // Macintosh and OS/2 pictures are never shown, so never left out
  }
  if (picture.PicType == rtf_pt_Dib || picture.PicType == rtf_pt_Ddb)
    format += word("wbmbitspixel", picture.BitmapBitsPixel) +
              word("wbmplanes", picture.BitmapPlanes) +
              word("wbmwidthbytes", picture.BitmapWidthBytes);
  if (picture.PicBmp) format += "\\picbmp";
  return format + word("picw", picture.PicW) + word("pich", picture.PicH) +
         word("picwgoal", picture.PicWGoal) + word("pichgoal", picture.PicHGoal);
}

// What a picture left out keeps to be written again: its kind, sizes and data as read
// (a \dibitmap's without the room kept for the file header).
TRDPictureSource SourceOf(const TRDRTFPicture& picture) {
  const auto data =
      Bytes(picture.Data, picture.PicType == rtf_pt_Dib ? TRDRTFPicture::kBitmapFileHeaderSize : 0);
  return {FormatKeywords(picture), "", std::string(data.begin(), data.end())};
}

std::unique_ptr<TGraphic> DecodePictureData(TRDRTFPicture& picture, int pixelsPerInch,
                                            bool extractMetafileBitmaps, TRDPictureBudget& budget) {
  std::unique_ptr<TGraphic> graphic;
  switch (picture.PicType) {
    case rtf_pt_EnhancedMetafile:
      if (extractMetafileBitmaps)
        graphic = ExtractEnhancedMetafileBitmap(Bytes(picture.Data), budget);
      if (!graphic) graphic = std::make_unique<TMetafile>(Bytes(picture.Data), true);
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
      if (!graphic) graphic = std::make_unique<TMetafile>(Bytes(picture.Data), false);
      break;
    case rtf_pt_Png:
      if (PngGraphicClass) {
        graphic = PngGraphicClass();
        picture.Data.Seek(0, soBeginning);
        graphic->LoadFromStream(picture.Data);
      }
      graphic = Budgeted(std::move(graphic), budget);
      break;
    case rtf_pt_Jpeg:
      graphic = std::make_unique<TJPEGImage>();
      picture.Data.Seek(0, soBeginning);
      graphic->LoadFromStream(picture.Data);
      graphic = Budgeted(std::move(graphic), budget);
      break;
    case rtf_pt_Dib: {
      if (picture.Data.Size() < TRDRTFPicture::kBitmapFileHeaderSize)
        throw EInvalidGraphic("Bitmap header too short");
      const auto dib = Bytes(picture.Data, TRDRTFPicture::kBitmapFileHeaderSize);
      // Run-length rows may claim millions of pixels in a few bytes: priced as claimed.
      const TDibSize size = DibSize(dib);
      if (!budget.Take(size.Pixels())) return LeftOut(size.Width, size.Height);
      auto bitmap = std::make_unique<TBitmap>();
      ReadPackedDib(dib, *bitmap);
      graphic = std::move(bitmap);
      WriteBitmapFileHeader(picture.Data);  // the data decoded, so its header is sound
      break;
    }
    case rtf_pt_Ddb: {
      TRDDdbFormat format;
      format.Width = picture.PicW;
      format.Height = picture.PicH;
      format.WidthBytes = picture.BitmapWidthBytes;
      format.BitsPixel = picture.BitmapBitsPixel;
      format.Planes = picture.BitmapPlanes;
      if (!budget.Take(std::int64_t(std::max(format.Width, 0)) * std::max(format.Height, 0)))
        return LeftOut(format.Width, format.Height);
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
  // A picture left out keeps the place it was given, and what it was read from.
  if (const auto* frame = dynamic_cast<TRDPictureFrame*>(graphic.get())) {
    const bool placed = picture.Width > 0 && picture.Height > 0;
    graphic = std::make_unique<TRDPictureFrame>(placed ? picture.Width : frame->Width(),
                                                placed ? picture.Height : frame->Height(),
                                                SourceOf(picture));
  }
  // A drawing has the size it was placed at, where its file gives none of its own.
  auto* drawing = dynamic_cast<TMetafile*>(graphic.get());
  if (drawing && drawing->Empty() && picture.Width > 0 && picture.Height > 0)
    drawing->SetSize(picture.Width, picture.Height);
  return graphic;
}

#include "richtext/model/picture_budget.h"

#include <algorithm>
#include <limits>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/text/streams.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"

bool TRDPictureBudget::Take(std::int64_t pixels) {
  if (pixels > limit_ - held_) return false;
  held_ += pixels;
  return true;
}

namespace {

// The pixels the pictures of document hold decoded, those in its tables' cells too.
std::int64_t HeldPicturePixels(TCustomRDData& document) {
  std::int64_t pixels = 0;
  for (int i = 0; i < document.GetItemCount(); ++i) {
    const TCustomRDItemInfo& item = *document.GetItem(i);
    if (const auto* picture = dynamic_cast<const TRDGraphicItemInfo*>(&item);
        picture && picture->Image)
      pixels += DecodedPicturePixels(*picture->Image);
    for (int d = 0; d < item.GetSubDocCount(); ++d)
      if (TCustomRDData* cell = item.GetSubDoc(d)) pixels += HeldPicturePixels(*cell);
  }
  return pixels;
}

}  // namespace

TRDPictureRead::TRDPictureRead(TCustomRDData& document) : budget_(document.PictureBudget()) {
  if (budget_.reads_++ == 0) budget_.held_ = HeldPicturePixels(*document.GetAbsoluteRootData());
}

TRDPictureRead::~TRDPictureRead() {
  --budget_.reads_;
}

void TRDPictureFrame::Draw(TCanvas& Canvas, const TRect& Rect) const {
  // The canvas is the caller's: its pen and brush are as they were afterwards.
  TPen pen;
  TBrush brush;
  pen.Assign(Canvas.Pen());
  brush.Assign(Canvas.Brush());
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Pen().SetColor(clGray);
  Canvas.Pen().SetWidth(1);
  Canvas.Pen().SetStyle(psSolid);
  Canvas.Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  Canvas.Pen().Assign(pen);
  Canvas.Brush().Assign(brush);
}

void TRDPictureFrame::SaveToStream(TStream& Stream) const {
  Stream.WriteBuffer(source_.Data.data(), std::int64_t(source_.Data.size()));
}

namespace {

TPictureClaim SizeClaim(TSize size) {
  return {size, std::int64_t(std::max(size.cx, 0)) * std::max(size.cy, 0)};
}

}  // namespace

std::optional<TPictureClaim> ClaimedPicture(const TGraphic& Kind,
                                            std::span<const std::uint8_t> Bytes) {
  constexpr std::size_t kBmpFileHeaderSize = 14;
  if (dynamic_cast<const TPngImage*>(&Kind)) {
    const std::optional<TSize> size = PngSize(Bytes);
    return size ? std::optional(SizeClaim(*size)) : std::nullopt;
  }
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&Kind)) {
    const std::optional<TJpegCost> cost = JpegCost(Bytes);
    if (!cost) return std::nullopt;
    TPictureClaim claim = SizeClaim(cost->Size);
    if (!cost->Decodable())
      claim.Pixels = std::numeric_limits<std::int64_t>::max();
    else if (jpeg->Decoding() == TJpegDecoding::AsShown)
      claim.Pixels = 0;
    return claim;
  }
  if (!dynamic_cast<const TBitmap*>(&Kind) || Bytes.size() <= kBmpFileHeaderSize ||
      Bytes[0] != 'B' || Bytes[1] != 'M')
    return std::nullopt;
  const std::span<const std::uint8_t> dib = Bytes.subspan(kBmpFileHeaderSize);
  const TDibSize size = DibSize(dib);
  TPictureClaim claim = SizeClaim(TSize{size.Width, size.Height});
  if (!DibRunsCarryItsSize(dib, dib.size()))
    claim.Pixels = std::numeric_limits<std::int64_t>::max();
  return claim;
}

std::int64_t DecodedPicturePixels(const TGraphic& Graphic) {
  if (const auto* drawing = dynamic_cast<const TMetafile*>(&Graphic))
    return drawing->BitmapClaim().Kept;
  if (dynamic_cast<const TRDPictureFrame*>(&Graphic)) return 0;
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&Graphic);
      jpeg && jpeg->Decoding() == TJpegDecoding::AsShown)
    return 0;
  return std::int64_t(std::max(Graphic.Width(), 0)) * std::max(Graphic.Height(), 0);
}

bool PictureLeavesOut(const TGraphic& Graphic) {
  if (dynamic_cast<const TRDPictureFrame*>(&Graphic)) return true;
  const auto* drawing = dynamic_cast<const TMetafile*>(&Graphic);
  return drawing && drawing->BitmapClaim().LeftOut;
}

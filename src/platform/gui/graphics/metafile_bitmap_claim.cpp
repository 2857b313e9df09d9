// How much of its bitmaps a metafile's player keeps, read from the records before any is
// decoded: the document that holds the picture counts them as its own pixels, and says
// when some are left out.
#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/metafile_player_impl_qt.h"

namespace {

using metafile_play::TRecord;

// What the player would take of the bitmaps a picture's records draw: each as its header
// claims, while they fit the picture's budget.
class TBitmapClaim {
 public:
  void Dib(std::span<const std::uint8_t> info) {
    try {
      Add(DibSize(info).Pixels());
    } catch (const EInvalidGraphic&) {
      // never decoded, so never drawn
    }
  }
  // A device bitmap's size at At: width and height after a 16-bit type.
  void Ddb(const TRecord& r, std::size_t at) {
    Add(std::int64_t(std::max(r.I16(at + 2), 0)) * std::max(r.I16(at + 4), 0));
  }
  // The DIB an enhanced record points to by the offset and size at At.
  void EnhancedDib(const TRecord& r, std::size_t at) {
    const std::uint32_t infoAt = r.U32(at), infoSize = r.U32(at + 4);
    if (infoSize != 0 && r.Has(infoAt, infoSize)) Dib(r.Bytes(infoAt, infoSize));
  }
  // The packed DIB that ends a Windows record from At.
  void WindowsDib(const TRecord& r, std::size_t at) {
    if (r.Has(at, 12)) Dib(r.Bytes(at, r.Size() - at));
  }
  TMetafileBitmapClaim Result() const { return result_; }

 private:
  void Add(std::int64_t pixels) {
    if (pixels > left_) {
      result_.LeftOut = true;
      return;
    }
    left_ -= pixels;
    result_.Kept += pixels;
  }
  std::int64_t left_ = kMaxPictureBitmapPixels;
  TMetafileBitmapClaim result_;
};

// The records that draw a bitmap, by the offsets their player reads it at.
void ClaimEnhancedRecord(std::uint32_t type, const TRecord& r, TBitmapClaim& claim) {
  switch (type) {
    case 76:  // BitBlt, StretchBlt, AlphaBlend
    case 77:
    case 114:
      claim.EnhancedDib(r, 84);
      break;
    case 78:  // MaskBlt: the bitmap and its mask
      claim.EnhancedDib(r, 84);
      claim.EnhancedDib(r, 112);
      break;
    case 79:  // PlgBlt
      claim.EnhancedDib(r, 96);
      claim.EnhancedDib(r, 124);
      break;
    case 80:  // SetDIBitsToDevice, StretchDIBits
    case 81:
      claim.EnhancedDib(r, 48);
      break;
    default:
      break;
  }
}

void ClaimWindowsRecord(std::uint32_t function, const TRecord& r, TBitmapClaim& claim) {
  switch (function) {
    case 0x0F43:  // StretchDIB
      claim.WindowsDib(r, 22);
      break;
    case 0x0D33:  // SetDIBitsToDevice
      claim.WindowsDib(r, 18);
      break;
    case 0x0B41:  // DIBStretchBlt, StretchBlt: without a bitmap at 22 bytes
      if (r.Size() != 22) claim.WindowsDib(r, 20);
      break;
    case 0x0B23:
      if (r.Size() != 22) claim.Ddb(r, 20);
      break;
    case 0x0940:  // DIBBitBlt, BitBlt: without a bitmap at 18 bytes
      if (r.Size() != 18) claim.WindowsDib(r, 16);
      break;
    case 0x0922:
      if (r.Size() != 18) claim.Ddb(r, 16);
      break;
    default:
      break;
  }
}

}  // namespace

TMetafileBitmapClaim MetafileBitmapClaim(std::span<const std::uint8_t> Data, bool Enhanced) {
  const TRecord data(Data);
  TBitmapClaim claim;
  if (Enhanced) {
    if (!IsEnhancedMetafile(Data)) return {};
    for (std::size_t offset = 0; data.Has(offset, 8);) {
      const std::uint32_t type = data.U32(offset), size = data.U32(offset + 4);
      if (type == 14 || size < 8 || !data.Has(offset, size)) break;
      ClaimEnhancedRecord(type, data.Sub(offset, size), claim);
      offset += size;
    }
  } else {
    std::size_t offset = WindowsMetafileRecordsStart(Data);
    if (offset == 0) return {};
    while (data.Has(offset, 6)) {
      const std::uint64_t size = std::uint64_t(data.U32(offset)) * 2;
      const std::uint32_t function = data.U16(offset + 4);
      if (function == 0 || size < 6 || !data.Has(offset, std::size_t(size))) break;
      ClaimWindowsRecord(function, data.Sub(offset + 6, std::size_t(size) - 6), claim);
      offset += std::size_t(size);
    }
  }
  return claim.Result();
}

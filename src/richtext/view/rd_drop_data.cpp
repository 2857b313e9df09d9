#include "richtext/view/rd_drop_data.h"

#include <algorithm>
#include <cstdint>

#include "richtext/formats/rd_transfer.h"

std::string DroppedRichDoc(const TDataObject& data) {
  std::string block;
  if (!data.GetData(kRichDocMimeType, block) || block.size() < 4) return {};
  const std::uint32_t length =
      std::uint32_t(std::uint8_t(block[0])) | std::uint32_t(std::uint8_t(block[1])) << 8 |
      std::uint32_t(std::uint8_t(block[2])) << 16 | std::uint32_t(std::uint8_t(block[3])) << 24;
  return block.substr(4, std::min<std::size_t>(length, block.size() - 4));
}

std::string DroppedRTF(const TDataObject& data) {
  std::string rtf;
  if (data.GetData("text/rtf", rtf) || data.GetData("application/rtf", rtf)) return rtf;
  return {};
}

std::string DroppedText(const TDataObject& data) {
  std::string text;
  if (!data.GetData("text/plain", text)) return {};
  return text.substr(0, text.find('\0'));
}

TDropEffect ChooseDropEffect(TDropEffects allowed, TShiftState shift, bool sameDocument) {
  if ((allowed & deMove) && !(shift & ssCtrl) && sameDocument) return deMove;
  if (allowed & deCopy) return deCopy;
  if (allowed & deLink) return deLink;
  return deNone;
}

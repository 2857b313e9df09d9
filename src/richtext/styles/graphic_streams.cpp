#include "richtext/styles/graphic_streams.h"

#include <cstdint>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/styles/rdf_routines.h"

namespace {

constexpr int64_t kSizeFieldBytes = 4;

void WriteSize(TStream& stream, std::uint32_t size) {
  const std::uint8_t bytes[kSizeFieldBytes] = {std::uint8_t(size), std::uint8_t(size >> 8),
                                               std::uint8_t(size >> 16), std::uint8_t(size >> 24)};
  stream.WriteBuffer(bytes, kSizeFieldBytes);
}

}  // namespace

void GraphicToHex(const TGraphic& graphic, std::string& s) {
  TMemoryStream stream;
  graphic.SaveToStream(stream);
  StreamToHex(stream, s);
}

bool LoadGraphicFromHex(std::string_view hex, TGraphic& graphic) {
  TMemoryStream stream;
  if (!HexToStream(hex, stream)) return false;
  stream.SetPosition(0);
  graphic.LoadFromStream(stream);
  return true;
}

void LoadGraphicFromString(std::string_view s, TGraphic& graphic) {
  TMemoryStream stream;
  stream.WriteBuffer(s.data(), int64_t(s.size()));
  stream.SetPosition(0);
  graphic.LoadFromStream(stream);
}

void WriteSizedGraphic(TStream& stream, const TGraphic& graphic) {
  const int64_t sizePosition = stream.Position();
  WriteSize(stream, 0);
  graphic.SaveToStream(stream);
  const int64_t end = stream.Position();
  stream.SetPosition(sizePosition);
  WriteSize(stream, std::uint32_t(end - sizePosition - kSizeFieldBytes));
  stream.SetPosition(end);
}

bool ReadSizedGraphic(TStream& stream, TGraphic& graphic) {
  std::uint8_t bytes[kSizeFieldBytes];
  if (stream.Read(bytes, kSizeFieldBytes) != kSizeFieldBytes) return false;
  const std::uint32_t size = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) |
                             (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
  if (int64_t(size) > stream.Size() - stream.Position()) return false;
  TMemoryStream body;
  if (size > 0) body.CopyFrom(stream, int64_t(size));  // a count of 0 would copy everything
  body.SetPosition(0);
  graphic.LoadFromStream(body);
  return true;
}

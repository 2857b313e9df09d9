#include "richtext/base/rd_marker_block.h"

#include <cstdint>
#include <string>

#include "platform/text/streams.h"

namespace {

constexpr size_t kMarkerBytes = 17;

void PutInt(std::string& out, int v) {
  for (int i = 0; i < 4; ++i) out.push_back(char(std::uint32_t(v) >> (8 * i)));
}

int GetInt(std::string_view s, size_t at) {
  std::uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= std::uint32_t(std::uint8_t(s[at + i])) << (8 * i);
  return int(v);
}

}  // namespace

void SaveMarkerBlock(TStream& stream, const std::vector<TRDMarkerState>& markers,
                     bool includeSize) {
  std::string out;
  if (includeSize) PutInt(out, int(kMarkerBytes * markers.size() + 8));
  PutInt(out, 0);
  PutInt(out, int(markers.size()));
  for (const TRDMarkerState& m : markers) {
    PutInt(out, m.ListNo);
    PutInt(out, m.Level);
    out.push_back(m.Reset ? 1 : 0);
    PutInt(out, m.StartFrom);
    PutInt(out, m.Counter);
  }
  stream.WriteBuffer(out.data(), int64_t(out.size()));
}

bool LoadMarkerBlock(std::string_view bytes, std::vector<TRDMarkerState>& markers) {
  markers.clear();
  if (bytes.size() < 8) return false;
  const int count = GetInt(bytes, 4);
  // The count is believed only as far as the bytes go.
  if (count < 0 || size_t(count) > (bytes.size() - 8) / kMarkerBytes) return false;
  markers.reserve(size_t(count));
  for (size_t at = 8; markers.size() < size_t(count); at += kMarkerBytes)
    markers.push_back(TRDMarkerState{GetInt(bytes, at), GetInt(bytes, at + 4), bytes[at + 8] != 0,
                                     GetInt(bytes, at + 9), GetInt(bytes, at + 13)});
  return true;
}

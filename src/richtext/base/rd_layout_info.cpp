#include "richtext/base/rd_layout_info.h"

#include <vector>

#include "platform/text/streams.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/style_types.h"

namespace {

constexpr int kShortBody = 25;
constexpr int kLongBody = 41;

void PutInt(std::vector<std::uint8_t>& out, int v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
}

int GetInt(const std::uint8_t* p) {
  return int(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
             std::uint32_t(p[3]) << 24);
}

int ReadInt(TStream& stream) {
  std::uint8_t bytes[4];
  stream.ReadBuffer(bytes, 4);
  return GetInt(bytes);
}

}  // namespace

void TRDLayoutInfo::SaveToStream(TStream& stream, bool includeSize) const {
  const int body = Extension1 != 0 || Extension2 != 0 ? kLongBody : kShortBody;
  std::vector<std::uint8_t> out;
  if (includeSize) PutInt(out, body + 8);
  PutInt(out, 0);
  PutInt(out, body);
  for (int v : {LeftMargin, RightMargin, TopMargin, BottomMargin, MinTextWidth, MaxTextWidth})
    PutInt(out, v);
  out.push_back(BiDiMode);
  if (body == kLongBody)
    for (int v : {Extension2, Extension1, Extension3, Extension4}) PutInt(out, v);
  stream.WriteBuffer(out.data(), int64_t(out.size()));
}

void TRDLayoutInfo::LoadFromStream(TStream& stream, bool includeSize) {
  if (includeSize) ReadInt(stream);
  ReadInt(stream);
  const int body = ReadInt(stream);
  if (body < kShortBody) throw ERichDocError("Invalid RDF format");
  if (body > stream.Size() - stream.Position()) throw EReadError("Stream read error");
  std::vector<std::uint8_t> bytes(static_cast<size_t>(body));
  stream.ReadBuffer(bytes.data(), body);
  const std::uint8_t* p = bytes.data();
  LeftMargin = ClampToPage(GetInt(p));
  RightMargin = ClampToPage(GetInt(p + 4));
  TopMargin = ClampToPage(GetInt(p + 8));
  BottomMargin = ClampToPage(GetInt(p + 12));
  MinTextWidth = ClampToPage(GetInt(p + 16));
  MaxTextWidth = ClampToPage(GetInt(p + 20));
  BiDiMode = p[24];
  if (body - kShortBody >= 16) {
    Extension2 = GetInt(p + 25);
    Extension1 = GetInt(p + 29);
    Extension3 = GetInt(p + 33);
    Extension4 = GetInt(p + 37);
  }
  Loaded = true;
}

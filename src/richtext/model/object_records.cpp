#include "richtext/model/object_records.h"

#include <cstdint>

#include "platform/text/streams.h"
#include "richtext/model/item_info.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rdf_item_record.h"
#include "richtext/styles/rdf_routines.h"

void WriteRDFObjectRecord(TStream& stream, const TCustomRDItemInfo& item, TCustomRDData* rdData,
                          const std::string& name, const std::string& className, bool withBody,
                          bool forceSameAsPrev, const std::function<void(TStream&)>& writeBody) {
  const bool binary = rdData && (rdData->GetRDFOptions() & rdfoSaveBinary);
  const int readMode = !withBody ? kRDFSaveNoBody : binary ? kRDFSaveBinary : kRDFSaveText;
  const int lineCount = item.GetRDFExtraPropertyCount() + (withBody ? 3 : 1);
  StreamWriteLine(stream, RDFItemHeader(item, rdData, lineCount, readMode, forceSameAsPrev));
  StreamWriteLine(stream, EncodeRDFLineBreaks(name));
  if (withBody) StreamWriteLine(stream, className);
  item.SaveRDFExtraProperties(stream);
  if (!withBody) return;
  TMemoryStream body;
  writeBody(body);
  if (binary) {
    const auto size = std::uint32_t(body.Size());
    const std::uint8_t bytes[4] = {std::uint8_t(size), std::uint8_t(size >> 8),
                                   std::uint8_t(size >> 16), std::uint8_t(size >> 24)};
    stream.WriteBuffer(bytes, 4);
    stream.WriteBuffer(body.Memory(), body.Size());
  } else {
    std::string hex;
    StreamToHex(body, hex);
    StreamWriteLine(stream, hex);
  }
}

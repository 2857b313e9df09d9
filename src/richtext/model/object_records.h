// Document-file records of objects in the text (pictures, controls): the header, the name
// line, with a body the class-name line, the extra properties, then the body as one
// hexadecimal line or, in binary files, as a 4-byte size and the bytes (no line end).
//
//   -3 4 0 0 0 0 0        picture of 4 lines, save type 0 (hexadecimal body)
//   (name line)
//   TBitmap
//   spacing=3
//   424D...
#pragma once

#include <functional>
#include <string>

#include "richtext/base/rdf_format.h"

class TCustomRDData;
class TCustomRDItemInfo;
class TStream;

// writeBody writes the body bytes (without size or line end); binary says which form.
void WriteRDFObjectRecord(TStream& stream, const TCustomRDItemInfo& item, TCustomRDData* rdData,
                          const std::string& name, const std::string& className, bool withBody,
                          bool forceSameAsPrev, const std::function<void(TStream&)>& writeBody);

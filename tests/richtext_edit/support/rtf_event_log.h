// Records what an RTF reader reports as one line per event, so tests compare whole
// event sequences:
//   "text NewPara: abc", "utext Continue: €", "table start", "picture 2 96x96 graphic 4x2",
//   "object 0 3 bytes", "header start", "page", "marker", "end".
#pragma once

#include <string>
#include <vector>

#include "richtext_edit/rtf/rtf_reader.h"

class TRTFEventLog {
 public:
  // Hooks every event of reader; with unicode, \u text is reported as Unicode.
  explicit TRTFEventLog(TRDRTFReader& reader, bool unicode = true);

  std::vector<std::string> Lines;
  // The concatenated text of all text events, paragraphs ended by '\n'.
  std::string Text() const;
  bool AcceptPictures = true;
  bool AcceptObjects = true;
  bool SupportHeaders = true;
  std::vector<std::unique_ptr<TGraphic>> Pictures;  // the graphics taken

 private:
  std::string text_;
};

// Reads rtf (bytes) with reader.
TRDRTFErrorCode ReadRTF(TRDRTFReader& reader, const std::string& rtf);
std::string LoadTestFile(const std::string& relativePath);
const char* PositionName(TRDRTFPosition position);

// The layout block of a document: margins, text widths and reading direction, with four
// further values that only printing fills. It travels inside document files (as hex text
// or raw bytes) in this binary form, all integers 32-bit little-endian:
//
//   [total size = body length + 8]   only when the writer is asked for it
//   0
//   body length L: 25, or 41 when extension 1 or 2 is not 0
//   LeftMargin RightMargin TopMargin BottomMargin MinTextWidth MaxTextWidth   (24 bytes)
//   BiDiMode                                                                  (1 byte)
//   extension 2, extension 1, extension 3, extension 4                        (L = 41 only)
#pragma once

#include <cstdint>

class TStream;

class TRDLayoutInfo {
 public:
  bool Loaded = false;
  int LeftMargin = 0;
  int RightMargin = 0;
  int TopMargin = 0;
  int BottomMargin = 0;
  int MinTextWidth = 0;
  int MaxTextWidth = 0;
  std::uint8_t BiDiMode = 0;
  int Extension1 = 0;
  int Extension2 = 0;
  int Extension3 = -1;
  int Extension4 = 0;

  void SaveToStream(TStream& stream, bool includeSize) const;
  // Raises ERichDocError "Invalid RDF format" for a body shorter than 25 bytes, and
  // EReadError when the stream holds fewer bytes than the block says.
  void LoadFromStream(TStream& stream, bool includeSize);
};

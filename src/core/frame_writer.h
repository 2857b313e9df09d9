// Where a link's outgoing frames go: the TNC's serial port (TRs232), or a test's capture.
#pragma once

#include <cstdint>
#include <span>

class TFrameWriter {
 public:
  virtual ~TFrameWriter() = default;
  // Writes one whole frame; true when all of it went out.
  virtual bool WriteFrame(std::span<const uint8_t> Bytes) = 0;
};

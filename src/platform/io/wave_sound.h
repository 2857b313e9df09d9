// Wave-file output: plays one file at a time and says when it has finished.
//
// This build has no audio backend linked, so there is no output device: Play plays
// nothing and reports failure, and callers that ask OutputDeviceCount first queue
// nothing at all. The operations are virtual so that a backend can take their place.
#pragma once

#include <functional>
#include <string>

class TWaveSound {
 public:
  virtual ~TWaveSound() = default;

  // Wave output devices the system offers.
  virtual int OutputDeviceCount() const;
  // Opens and starts FileName; false when it cannot be played.
  virtual bool Play(const std::string& FileName);
  virtual bool Playing() const;

  // A file has finished playing (called on the GUI thread, only when assigned).
  std::function<void()> OnNotify;
};

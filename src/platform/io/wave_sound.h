// Wave-file output: plays one file at a time and says when it has finished, that is
// once all of it has been heard: the next file then never starts on top of it.
//
// Backed by the system's audio output; files of PCM samples (8, 16 or 32 bits, or 32-bit
// float). Where there is no output (a server, a test machine), OutputDeviceCount is 0
// and Play plays nothing and reports failure. The operations are virtual so that tests
// can stand in for the device.
#pragma once

#include <functional>
#include <memory>
#include <string>

class TWaveSound {
 public:
  TWaveSound();
  virtual ~TWaveSound();
  TWaveSound(const TWaveSound&) = delete;
  TWaveSound& operator=(const TWaveSound&) = delete;

  // Wave output devices the system offers.
  virtual int OutputDeviceCount() const;
  // Opens and starts FileName, ending the file before; false when it cannot be played.
  virtual bool Play(const std::string& FileName);
  virtual bool Playing() const;

  // A file has finished playing (called on the GUI thread, only when assigned).
  std::function<void()> OnNotify;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;  // made on the first Play
};

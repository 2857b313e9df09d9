// Wave-file output: plays one file at a time and says when it has finished, that is
// once all of it has been heard: the next file then never starts on top of it.
//
// Backed by the desktop's sound server (PulseAudio, or PipeWire's server for its clients);
// files of PCM samples (8, 16 or 32 bits, or 32-bit float). Where there is no server (a
// server machine, a test machine), OutputDeviceCount is 0 and Play plays nothing and
// reports failure. A server that went away and came back (restarted on resume, for a
// new headset, by a desktop update) is connected to again for the next file; a file
// that falls in the outage ends unheard. The operations are virtual so that tests can
// stand in for the device.
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

  // Wave output devices the sound server offers; a server that does not answer within
  // two seconds offers none.
  virtual int OutputDeviceCount() const;
  // Starts FileName, ending the file before; false when it cannot be played. Never
  // waits on the sound server.
  virtual bool Play(const std::string& FileName);
  virtual bool Playing() const;

  // A file has finished playing (called on the GUI thread, only when assigned).
  std::function<void()> OnNotify;

 private:
  struct Impl;
  Impl& Output() const;
  mutable std::unique_ptr<Impl> impl_;  // made when first asked for
};

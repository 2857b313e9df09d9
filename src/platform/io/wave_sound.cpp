#include "platform/io/wave_sound.h"

int TWaveSound::OutputDeviceCount() const {
  return 0;
}

bool TWaveSound::Play(const std::string&) {
  return false;
}

bool TWaveSound::Playing() const {
  return false;
}

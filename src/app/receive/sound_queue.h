// Short wave files played one after the other through one player, so that sounds never
// cut each other off: the start sound, the sound of a new station record and callsigns
// spelled from one file per character ("Talk\N.wav", "Talk\0.wav", ...).
#pragma once

#include <string>

#include "platform/text/string_list.h"

class TWaveSound;

class TSoundQueue {
 public:
  // SoundDir ends with a path delimiter: the program folder + "Sound/". Without an output
  // device nothing is ever queued.
  TSoundQueue(TWaveSound& Player, std::string SoundDir);
  ~TSoundQueue();

  // Full names of the files waiting to be played.
  TStringList SoundQueue;

  // 0 "PrgUp.wav" (program start), 2 "NewRx.wav" (new station record).
  void PlaySound(int Index);
  // Queues the spelling of Call, upper-cased: digits, letters, ',' and '.' by their own
  // file, a blank as "100ms.wav", '-' as "STROKE.wav"; other characters are skipped.
  void SpeakCallsign(const std::string& Call);
  // Plays the next queued file; also the player's end-of-playback handler.
  void PlaySoundQueue();

  bool SoundAvailable() const { return sound_available_; }

 private:
  void Enqueue(const std::string& FileName);
  void PlayWhenIdle();

  TWaveSound& player_;
  const std::string sound_dir_;
  const bool sound_available_;
};

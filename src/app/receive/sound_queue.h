// Short wave files played one after the other through one player, so that sounds never
// cut each other off: the start sound, the sound of a new station record and callsigns
// spelled from one file per character ("Talk\N.wav", "Talk\0.wav", ...).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/text/string_list.h"

class TWaveSound;

// Calls (a sound, or a callsign's spelling) that wait beyond this many are dropped, the
// oldest first: on a busy feed the spoken calls would lag further and further behind.
constexpr int kMaxWaitingCalls = 8;

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
  // Plays the next queued file (a file that cannot be played is passed over); also the
  // player's end-of-playback handler.
  void PlaySoundQueue();

  bool SoundAvailable() const { return sound_available_; }

 private:
  // Queues the files of one call that exist.
  void EnqueueCall(const std::vector<std::string>& FileNames);
  void DropOldestWaitingCall();
  void PlayWhenIdle();

  TWaveSound& player_;
  const std::string sound_dir_;
  const bool sound_available_;
  // Files left of each queued call, in the order of SoundQueue; the first call may have
  // begun to play.
  std::deque<int> call_files_;
  bool first_call_begun_ = false;
};

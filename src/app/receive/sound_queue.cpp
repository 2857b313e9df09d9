#include "app/receive/sound_queue.h"

#include <cctype>
#include <vector>

#include "platform/io/wave_sound.h"
#include "platform/sys/files.h"

namespace {

const char* const kSoundFiles[] = {"PrgUp.wav", nullptr, "NewRx.wav"};
constexpr const char* kTalkFolder = "Talk/";

// The file that says character c, empty for characters that are not spoken.
std::string SpokenFile(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ',' || c == '.') {
    return std::string(1, c) + ".wav";
  }
  if (c == ' ') return "100ms.wav";
  if (c == '-') return "STROKE.wav";
  return "";
}

}  // namespace

TSoundQueue::TSoundQueue(TWaveSound& Player, std::string SoundDir)
    : player_(Player),
      sound_dir_(std::move(SoundDir)),
      sound_available_(Player.OutputDeviceCount() > 0) {
  player_.OnNotify = [this] { PlaySoundQueue(); };
}

TSoundQueue::~TSoundQueue() {
  player_.OnNotify = nullptr;
}

void TSoundQueue::EnqueueCall(const std::vector<std::string>& FileNames) {
  int files = 0;
  for (const std::string& name : FileNames) {
    if (!FileExists(name)) continue;
    SoundQueue.Add(name);
    ++files;
  }
  if (files == 0) return;
  call_files_.push_back(files);
  const auto waiting = [this] {
    return static_cast<int>(call_files_.size()) - (first_call_begun_ ? 1 : 0);
  };
  while (waiting() > kMaxWaitingCalls) DropOldestWaitingCall();
}

// The call playing is heard to its end; the next one goes.
void TSoundQueue::DropOldestWaitingCall() {
  const size_t call = first_call_begun_ ? 1 : 0;
  const int first_file = first_call_begun_ ? call_files_.front() : 0;
  for (int n = 0; n < call_files_[call]; ++n) SoundQueue.Delete(first_file);
  call_files_.erase(call_files_.begin() + static_cast<std::ptrdiff_t>(call));
}

void TSoundQueue::PlayWhenIdle() {
  if (!player_.Playing()) PlaySoundQueue();
}

void TSoundQueue::PlaySound(int Index) {
  if (!sound_available_ || Index < 0 || Index >= static_cast<int>(std::size(kSoundFiles)) ||
      kSoundFiles[Index] == nullptr) {
    return;
  }
  EnqueueCall({sound_dir_ + kSoundFiles[Index]});
  PlayWhenIdle();
}

void TSoundQueue::SpeakCallsign(const std::string& Call) {
  if (!sound_available_) return;
  std::vector<std::string> files;
  for (char c : Call) {
    const std::string file =
        SpokenFile(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (!file.empty()) files.push_back(sound_dir_ + kTalkFolder + file);
  }
  EnqueueCall(files);
  PlayWhenIdle();
}

void TSoundQueue::PlaySoundQueue() {
  while (SoundQueue.Count() > 0) {
    const std::string file = SoundQueue[0];
    SoundQueue.Delete(0);
    first_call_begun_ = --call_files_.front() > 0;
    if (!first_call_begun_) call_files_.pop_front();
    if (player_.Play(file)) return;
  }
}

#include "app/receive/sound_queue.h"

#include <cctype>

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

void TSoundQueue::Enqueue(const std::string& FileName) {
  if (FileExists(FileName)) SoundQueue.Add(FileName);
}

void TSoundQueue::PlayWhenIdle() {
  if (!player_.Playing()) PlaySoundQueue();
}

void TSoundQueue::PlaySound(int Index) {
  if (!sound_available_ || Index < 0 || Index >= static_cast<int>(std::size(kSoundFiles)) ||
      kSoundFiles[Index] == nullptr) {
    return;
  }
  Enqueue(sound_dir_ + kSoundFiles[Index]);
  PlayWhenIdle();
}

void TSoundQueue::SpeakCallsign(const std::string& Call) {
  if (!sound_available_) return;
  for (char c : Call) {
    const std::string file =
        SpokenFile(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (!file.empty()) Enqueue(sound_dir_ + kTalkFolder + file);
  }
  PlayWhenIdle();
}

void TSoundQueue::PlaySoundQueue() {
  if (SoundQueue.Count() == 0) return;
  const std::string file = SoundQueue[0];
  SoundQueue.Delete(0);
  player_.Play(file);
}

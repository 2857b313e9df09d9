// Helpers of the GIF codec tests: fixtures, pictures from and to bytes, collected
// warnings, and the reader of giflib's `gifbuild -d` dumps that the peer tests compare
// against.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "gif/gif_painter.h"
#include "gif/gif_picture.h"

std::string GifFixturePath(const std::string& Name);
std::string ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::string& Bytes);

// Warnings raised while a picture worked, in order.
struct TWarningLog {
  explicit TWarningLog(TGIFPicture& Picture);
  std::vector<std::string> Messages;
};

void LoadBytes(TGIFPicture& Picture, const std::string& Bytes);
std::string SaveBytes(const TGIFPicture& Picture);

// Little-endian byte strings for hand-built fixtures.
std::string Bytes(std::initializer_list<int> Values);

struct TDumpColor {
  int Red = 0, Green = 0, Blue = 0;
  friend bool operator==(const TDumpColor&, const TDumpColor&) = default;
};

struct TDumpFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Interlaced = false;
  std::vector<TDumpColor> LocalMap;
  std::vector<std::uint8_t> Pixels;
  bool HasControl = false;
  int Disposal = 0, Delay = 0, TransparentIndex = -1;
  bool UserInput = false;
  std::vector<std::string> Comments;
  int Loop = -1;  // the looping block's count, -1 without one
};

struct TGifDump {
  int Width = 0, Height = 0, Background = 0, Aspect = 0;
  std::vector<TDumpColor> GlobalMap;
  std::vector<TDumpFrame> Frames;
};

TGifDump ParseGifDump(const std::string& Text);

// Time passes only when the painter sleeps or waits.
class TFakeClock : public TGIFClock {
 public:
  std::int64_t Now() override { return now_; }
  void Sleep(int Milliseconds) override {
    Sleeps.push_back(Milliseconds);
    now_ += Milliseconds;
  }
  void Advance(int Milliseconds) { now_ += Milliseconds; }
  bool Wait(TGIFEvent& Event, int Milliseconds) override {
    if (Milliseconds < 0) return Event.WaitFor(-1);  // endless: only Stop ends it
    Waits.push_back(Milliseconds);
    now_ += Milliseconds;
    return Event.WaitFor(0);
  }
  std::vector<int> Sleeps;
  std::vector<int> Waits;

 private:
  std::atomic<std::int64_t> now_{0};
};

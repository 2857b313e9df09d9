#include "gif/gif_dither.h"

#include <algorithm>
#include <cstdlib>

namespace {
int Clamp(int Value) {
  return std::clamp(Value, 0, 255);
}
int Luminance(int Red, int Green, int Blue) {
  return Red * 77 + Green * 150 + Blue * 29;
}
}  // namespace

int TSlowColorLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int key = (Red << 16) | (Green << 8) | Blue;
  if (key != last_key_) {
    int best = 0;
    int best_distance = -1;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const int dr = Red - palette_[i].peRed;
      const int dg = Green - palette_[i].peGreen;
      const int db = Blue - palette_[i].peBlue;
      const int distance = dr * dr + dg * dg + db * db;
      if (best_distance < 0 || distance < best_distance) {
        best = static_cast<int>(i);
        best_distance = distance;
      }
    }
    last_key_ = key;
    last_index_ = best;
  }
  const TPaletteEntry& entry = palette_[last_index_];
  R = entry.peRed;
  G = entry.peGreen;
  B = entry.peBlue;
  return last_index_;
}

int TNetscapeColorLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int r = (Red + 3) / 51;
  const int g = (Green + 3) / 51;
  const int b = (Blue + 3) / 51;
  R = r * 51;
  G = g * 51;
  B = b * 51;
  return r * 36 + g * 6 + b;
}

int TGrayScaleLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int y = Luminance(Red, Green, Blue) >> 8;
  R = G = B = y;
  return y;
}

int TMonochromeLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const bool white = Luminance(Red, Green, Blue) >= 32513;
  R = G = B = white ? 255 : 0;
  return white ? 1 : 0;
}

int TDitherEngine::Dither(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int index = lookup_.Lookup(Red, Green, Blue, R, G, B);
  Column += Direction;
  return index;
}

void TDitherEngine::NextLine() {
  Direction = -Direction;
  Column = Direction > 0 ? 0 : Width - 1;
}

TErrorDiffusionDitherer::TErrorDiffusionDitherer(int Width, TColorLookup& Lookup, int Divisor,
                                                 std::vector<TDitherWeight> Kernel)
    : TDitherEngine(Width, Lookup), divisor_(Divisor), kernel_(std::move(Kernel)) {
  for (const TDitherWeight& w : kernel_) {
    margin_ = std::max(margin_, std::abs(w.DX));
    rows_ = std::max(rows_, w.DY + 1);
  }
  for (auto& channel : errors_)
    channel.assign(rows_, std::vector<int>(static_cast<std::size_t>(Width) + 2 * margin_, 0));
}

int TErrorDiffusionDitherer::Corrected(int Channel, int Value) const {
  const int error = errors_[Channel][0][Column + margin_];
  return Clamp(Value + (error + divisor_ / 2) / divisor_);
}

int TErrorDiffusionDitherer::Dither(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int corrected[3] = {Corrected(0, Red), Corrected(1, Green), Corrected(2, Blue)};
  const int index = lookup_.Lookup(corrected[0], corrected[1], corrected[2], R, G, B);
  const int error[3] = {corrected[0] - R, corrected[1] - G, corrected[2] - B};
  for (int c = 0; c < 3; ++c) {
    if (error[c] == 0) continue;
    for (const TDitherWeight& w : kernel_)
      errors_[c][w.DY][Column + margin_ + w.DX * Direction] += error[c] * w.Weight;
  }
  Column += Direction;
  return index;
}

void TErrorDiffusionDitherer::NextLine() {
  for (auto& channel : errors_) {
    std::rotate(channel.begin(), channel.begin() + 1, channel.end());
    std::fill(channel.back().begin(), channel.back().end(), 0);
  }
  TDitherEngine::NextLine();
}

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int Width, TColorLookup& Lookup)
    : TErrorDiffusionDitherer(Width, Lookup, 16, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}) {}

TStuckiDitherer::TStuckiDitherer(int Width, TColorLookup& Lookup)
    : TErrorDiffusionDitherer(Width, Lookup, 42,
                              {{1, 0, 8},
                               {2, 0, 4},
                               {-2, 1, 2},
                               {-1, 1, 4},
                               {0, 1, 8},
                               {1, 1, 4},
                               {2, 1, 2},
                               {-2, 2, 1},
                               {-1, 2, 2},
                               {0, 2, 4},
                               {1, 2, 2},
                               {2, 2, 1}}) {}

TSierraDitherer::TSierraDitherer(int Width, TColorLookup& Lookup)
    : TErrorDiffusionDitherer(Width, Lookup, 32,
                              {{1, 0, 5},
                               {2, 0, 3},
                               {-2, 1, 2},
                               {-1, 1, 4},
                               {0, 1, 5},
                               {1, 1, 4},
                               {2, 1, 2},
                               {-1, 2, 2},
                               {0, 2, 3},
                               {1, 2, 2}}) {}

TJaJuNiDitherer::TJaJuNiDitherer(int Width, TColorLookup& Lookup)
    : TErrorDiffusionDitherer(Width, Lookup, 48,
                              {{1, 0, 7},
                               {2, 0, 5},
                               {-2, 1, 3},
                               {-1, 1, 5},
                               {0, 1, 7},
                               {1, 1, 5},
                               {2, 1, 3},
                               {-2, 2, 1},
                               {-1, 2, 3},
                               {0, 2, 5},
                               {1, 2, 3},
                               {2, 2, 1}}) {}

TSteveArcheDitherer::TSteveArcheDitherer(int Width, TColorLookup& Lookup)
    : TErrorDiffusionDitherer(Width, Lookup, 200,
                              {{2, 0, 32},
                               {-3, 1, 12},
                               {-1, 1, 26},
                               {1, 1, 30},
                               {3, 1, 16},
                               {-2, 2, 12},
                               {0, 2, 26},
                               {2, 2, 12},
                               {-3, 3, 5},
                               {-1, 3, 12},
                               {1, 3, 12},
                               {3, 3, 5}}) {}

TBurkesDitherer::TBurkesDitherer(int Width, TColorLookup& Lookup)
    : TErrorDiffusionDitherer(
          Width, Lookup, 32,
          {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}) {}

std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMode Mode, int Width, TColorLookup& Lookup) {
  switch (Mode) {
    case DitherNearest:
      return std::make_unique<TDitherEngine>(Width, Lookup);
    case DitherFloydSteinberg:
      return std::make_unique<TFloydSteinbergDitherer>(Width, Lookup);
    case DitherStucki:
      return std::make_unique<TStuckiDitherer>(Width, Lookup);
    case DitherSierra:
      return std::make_unique<TSierraDitherer>(Width, Lookup);
    case DitherJarvisJudiceNinke:
      return std::make_unique<TJaJuNiDitherer>(Width, Lookup);
    case DitherStevensonArce:
      return std::make_unique<TSteveArcheDitherer>(Width, Lookup);
    case DitherBurkes:
      return std::make_unique<TBurkesDitherer>(Width, Lookup);
  }
  return nullptr;
}

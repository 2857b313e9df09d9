// Colour lookups (colour -> palette index) and error-diffusion ditherers, used to bring
// true-colour pixels down to a palette of at most 256 colours.
//
// Every ditherer scans serpentine: the first row left to right, the next right to left.
// A caller starts each row at Column, steps by Direction while Column stays inside the
// row, and calls NextLine after the row.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gif/gif_palette.h"
#include "gif/gif_types.h"

class TColorLookup {
 public:
  virtual ~TColorLookup() = default;
  // The palette index for the colour, with the palette's colour in R, G, B.
  virtual int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) = 0;
  virtual int Colors() const = 0;
};

// Nearest palette entry by squared distance.
class TSlowColorLookup : public TColorLookup {
 public:
  explicit TSlowColorLookup(TGIFPalette Palette) : palette_(std::move(Palette)) {}
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  int Colors() const override { return static_cast<int>(palette_.size()); }

 private:
  TGIFPalette palette_;
  int last_key_ = -1;
  int last_index_ = 0;
};

// The web palette (6 levels of 51 per channel): computed, not searched.
class TNetscapeColorLookup : public TColorLookup {
 public:
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  int Colors() const override { return 216; }
};

class TGrayScaleLookup : public TColorLookup {
 public:
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  int Colors() const override { return 256; }
};

class TMonochromeLookup : public TColorLookup {
 public:
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  int Colors() const override { return 2; }
};

// Nearest colour without error diffusion; the base of every ditherer.
class TDitherEngine {
 public:
  TDitherEngine(int Width, TColorLookup& Lookup) : Width(Width), lookup_(Lookup) {}
  virtual ~TDitherEngine() = default;
  // Maps one pixel and moves Column by Direction. Returns the palette index.
  virtual int Dither(int Red, int Green, int Blue, int& R, int& G, int& B);
  virtual void NextLine();

  int Direction = 1;
  int Column = 0;
  const int Width;

 protected:
  TColorLookup& lookup_;
};

// One weight of a diffusion kernel: DX columns ahead in the scan direction, DY rows down.
struct TDitherWeight {
  int DX;
  int DY;
  int Weight;
};

// Error diffusion with a fixed kernel. Error rows carry margins on both sides, so the
// kernel never tests the row ends.
class TErrorDiffusionDitherer : public TDitherEngine {
 public:
  TErrorDiffusionDitherer(int Width, TColorLookup& Lookup, int Divisor,
                          std::vector<TDitherWeight> Kernel);
  int Dither(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  void NextLine() override;

 private:
  int Corrected(int Channel, int Value) const;
  const int divisor_;
  const std::vector<TDitherWeight> kernel_;
  int margin_ = 0;
  int rows_ = 1;
  // errors_[channel][row] holds Width + 2 x margin accumulated errors.
  std::vector<std::vector<int>> errors_[3];
};

class TFloydSteinbergDitherer : public TErrorDiffusionDitherer {
 public:
  TFloydSteinbergDitherer(int Width, TColorLookup& Lookup);
};
class TStuckiDitherer : public TErrorDiffusionDitherer {
 public:
  TStuckiDitherer(int Width, TColorLookup& Lookup);
};
class TSierraDitherer : public TErrorDiffusionDitherer {
 public:
  TSierraDitherer(int Width, TColorLookup& Lookup);
};
class TJaJuNiDitherer : public TErrorDiffusionDitherer {
 public:
  TJaJuNiDitherer(int Width, TColorLookup& Lookup);
};
class TSteveArcheDitherer : public TErrorDiffusionDitherer {
 public:
  TSteveArcheDitherer(int Width, TColorLookup& Lookup);
};
class TBurkesDitherer : public TErrorDiffusionDitherer {
 public:
  TBurkesDitherer(int Width, TColorLookup& Lookup);
};

// The ditherer of a dither mode; null for an unknown mode.
std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMode Mode, int Width, TColorLookup& Lookup);

// A list of equally sized pictures, drawn by index (icons of a kind, tool glyphs).
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/component.h"

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* AOwner, int AWidth = 16, int AHeight = 16);
  ~TImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }
  // Adds a copy of Image, cut or padded to the list's size; returns its index.
  int Add(const TBitmap& Image);
  void Clear() { images_.clear(); }
  // Draws picture Index with its top-left at (X, Y); an index out of range draws nothing.
  // A picture drawn disabled shows its shape only, engraved: every pixel that is not
  // white in clBtnShadow over a copy in clBtnHighlight one pixel down and right.
  void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true) const;
  // Copies picture Index into Image; an index out of range empties it.
  void GetBitmap(int Index, TBitmap& Image) const;

  std::string ClassName() const override { return "TImageList"; }

 private:
  int width_;
  int height_;
  std::vector<std::unique_ptr<TBitmap>> images_;
};

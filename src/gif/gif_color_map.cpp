#include "gif/gif_color_map.h"

#include <algorithm>
#include <numeric>

#include "gif/gif_frame.h"
#include "gif/gif_picture.h"
#include "gif/gif_types.h"
#include "platform/text/streams.h"

namespace {
TGIFColor ToGIFColor(TColor Color) {
  return {static_cast<std::uint8_t>(GetRValue(Color)), static_cast<std::uint8_t>(GetGValue(Color)),
          static_cast<std::uint8_t>(GetBValue(Color))};
}
}  // namespace

void TGIFColorMap::Assign(const TGIFColorMap& Source) {
  if (&Source == this) return;
  entries_ = Source.entries_;
  Optimized = Source.Optimized;
  Changed();
}

void TGIFColorMap::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  Optimized = false;
}

int TGIFColorMap::Add(TColor Color) {
  if (Count() >= MaxGIFColors) Error("Color table overflow");
  entries_.push_back(ToGIFColor(Color));
  Optimized = false;
  Changed();
  return Count() - 1;
}

int TGIFColorMap::AddUnique(TColor Color) {
  const int index = IndexOf(Color);
  return index >= 0 ? index : Add(Color);
}

int TGIFColorMap::IndexOf(TColor Color) const {
  const TGIFColor wanted = ToGIFColor(Color);
  if (Optimized) {
    for (int i = 0; i < Count(); ++i)
      if (entries_[i] == wanted) return i;
  } else {
    for (int i = Count() - 1; i >= 0; --i)
      if (entries_[i] == wanted) return i;
  }
  return -1;
}

void TGIFColorMap::Delete(int Index) {
  if (Index < 0 || Index >= Count()) Error("Invalid color index");
  entries_.erase(entries_.begin() + Index);
  Optimized = false;
  Changed();
}

TColor TGIFColorMap::Colors(int Index) {
  if (Index < 0 || Index >= Count()) {
    if (entries_.empty()) Error("Color table is empty");
    Warning("Invalid color index");
    Index = 0;
  }
  const TGIFColor& c = entries_[Index];
  return RGB(c.Red, c.Green, c.Blue);
}

int TGIFColorMap::BitsPerPixel() const {
  return Colors2bpp(Count());
}

void TGIFColorMap::ImportPalette(const TGIFPalette& Palette) {
  const std::size_t count = std::min<std::size_t>(Palette.size(), MaxGIFColors);
  entries_.resize(count);
  for (std::size_t i = 0; i < count; ++i)
    entries_[i] = {Palette[i].peRed, Palette[i].peGreen, Palette[i].peBlue};
  Changed();
}

TGIFPalette TGIFColorMap::ExportPalette() const {
  TGIFPalette palette(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    palette[i] = {entries_[i].Red, entries_[i].Green, entries_[i].Blue, PC_NOCOLLAPSE};
  return palette;
}

void TGIFColorMap::LoadFromStream(TStream& Stream, int Count) {
  Clear();
  std::vector<TGIFColor> entries(Count);
  static_assert(sizeof(TGIFColor) == 3);
  ReadCheck(Stream, entries.data(), Count * 3);
  entries_ = std::move(entries);
}

void TGIFColorMap::SaveToStream(TStream& Stream, int PaddedCount) const {
  if (!entries_.empty()) Stream.WriteBuffer(entries_.data(), Count() * 3);
  const TGIFColor zero;
  for (int i = Count(); i < PaddedCount; ++i) Stream.WriteBuffer(&zero, 3);
}

bool TGIFColorMap::Optimize() {
  if (Count() <= 1) return false;
  Optimized = true;
  TColorUsage usage{};
  GetUsage(usage);
  std::vector<int> order(Count());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return usage[a] > usage[b]; });
  bool moved = false;
  for (int i = 0; i < Count(); ++i) moved = moved || order[i] != i;
  if (!moved) return true;

  TColorRemap map{};
  for (int i = 0; i < Count(); ++i) map[order[i]] = static_cast<std::uint8_t>(i);
  Remap(map);
  std::vector<TGIFColor> sorted;
  for (int index : order) {
    if (usage[index] == 0) break;  // unused colours are dropped
    sorted.push_back(entries_[index]);
  }
  entries_ = std::move(sorted);
  Changed();
  return true;
}

// --- global table -----------------------------------------------------------------

bool TGIFGlobalColorMap::Optimize() {
  if (owner_->Image()->Images.Count() == 0) return false;
  return TGIFColorMap::Optimize();
}

void TGIFGlobalColorMap::Warning(const std::string& Message) {
  owner_->Warning(Message);
}

// The screen's background colour is used too: disposal to background and the screen
// around the frames show it.
void TGIFGlobalColorMap::GetUsage(TColorUsage& Usage) {
  TGIFPicture& image = *owner_->Image();
  for (int i = 0; i < image.Images.Count(); ++i) {
    TGIFSubImage& frame = image.Images[i];
    if (&frame.ActiveColorMap() == this) frame.CountColorUsage(Usage);
  }
  if (owner_->BackgroundColorIndex < Count()) ++Usage[owner_->BackgroundColorIndex];
}

void TGIFGlobalColorMap::Remap(const TColorRemap& Map) {
  if (owner_->BackgroundColorIndex < Count())
    owner_->BackgroundColorIndex = Map[owner_->BackgroundColorIndex];
  TGIFPicture& image = *owner_->Image();
  for (int i = 0; i < image.Images.Count(); ++i) {
    TGIFSubImage& frame = image.Images[i];
    if (&frame.ActiveColorMap() == this) frame.RemapColors(Map);
  }
}

void TGIFGlobalColorMap::Changed() {
  owner_->Image()->GlobalPaletteChanged();
}

// --- local table ------------------------------------------------------------------

void TGIFLocalColorMap::Warning(const std::string& Message) {
  owner_->Warning(Message);
}

void TGIFLocalColorMap::GetUsage(TColorUsage& Usage) {
  owner_->CountColorUsage(Usage);
}

void TGIFLocalColorMap::Remap(const TColorRemap& Map) {
  owner_->RemapColors(Map);
}

void TGIFLocalColorMap::Changed() {
  owner_->PaletteChanged();
}

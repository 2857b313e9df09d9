// GIF colour tables: the global table of the logical screen and the local table of a
// frame. Entries are red, green, blue triples as in the file; at most 256 of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gif/gif_palette.h"
#include "platform/gui/graphics/geometry.h"

class TStream;
class TGIFHeader;
class TGIFSubImage;

struct TGIFColor {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

constexpr int MaxGIFColors = 256;

// Use count of every entry, indexed by colour index.
using TColorUsage = std::array<int, MaxGIFColors>;
// Old index -> new index.
using TColorRemap = std::array<std::uint8_t, MaxGIFColors>;

class TGIFColorMap {
 public:
  virtual ~TGIFColorMap() = default;

  // Copies count, sort flag and entries, then Changed.
  void Assign(const TGIFColorMap& Source);
  void Clear();
  // Appends Color; "Color table overflow" past 256 entries. Returns the new index.
  int Add(TColor Color);
  int AddUnique(TColor Color);
  // Most used first when Optimized, else searched from the last entry down; -1 if absent.
  int IndexOf(TColor Color) const;
  void Delete(int Index);
  // Entry as a colour; an index outside the table warns and uses entry 0.
  TColor Colors(int Index);
  const TGIFColor& Entry(int Index) const { return entries_[Index]; }
  int Count() const { return static_cast<int>(entries_.size()); }
  int BitsPerPixel() const;

  bool Optimized = false;

  void ImportPalette(const TGIFPalette& Palette);
  TGIFPalette ExportPalette() const;
  // Count entries of 3 bytes each.
  void LoadFromStream(TStream& Stream, int Count);
  // The entries, then zero triples up to PaddedCount entries.
  void SaveToStream(TStream& Stream, int PaddedCount) const;

  // Sorts the entries by use, most used first, rewriting the pixels that use them and
  // dropping unused entries. False when there was nothing to sort.
  virtual bool Optimize();

  virtual void Warning(const std::string& Message) = 0;
  virtual void GetUsage(TColorUsage& Usage) = 0;
  virtual void Remap(const TColorRemap& Map) = 0;
  virtual void Changed() = 0;

 private:
  std::vector<TGIFColor> entries_;
};

class TGIFGlobalColorMap : public TGIFColorMap {
 public:
  explicit TGIFGlobalColorMap(TGIFHeader* Owner) : owner_(Owner) {}
  bool Optimize() override;
  void Warning(const std::string& Message) override;
  void GetUsage(TColorUsage& Usage) override;
  void Remap(const TColorRemap& Map) override;
  void Changed() override;

 private:
  TGIFHeader* owner_;
};

class TGIFLocalColorMap : public TGIFColorMap {
 public:
  explicit TGIFLocalColorMap(TGIFSubImage* Owner) : owner_(Owner) {}
  void Warning(const std::string& Message) override;
  void GetUsage(TColorUsage& Usage) override;
  void Remap(const TColorRemap& Map) override;
  void Changed() override;

 private:
  TGIFSubImage* owner_;
};

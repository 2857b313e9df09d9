#include "gif/gif_color_reduction.h"

#include <array>

#include "gif/gif_dither.h"
#include "platform/gui/graphics/bitmap.h"

// --- fixed palettes -------------------------------------------------------------------------

namespace {

constexpr int kStaticColors = 20;
constexpr int kStaticHalf = 10;
constexpr int kWebLevel = 51;

// The static colours of the system palette, as every palette display reserves them.
constexpr std::array<TPaletteEntry, kStaticColors> kStaticPalette{{
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
}};

TPaletteEntry Grey(int Level) {
  const auto y = static_cast<std::uint8_t>(Level);
  return {y, y, y, PC_NOCOLLAPSE};
}

}  // namespace

TGIFPalette WebPalette() {
  TGIFPalette palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette.push_back({static_cast<std::uint8_t>(r * kWebLevel),
                           static_cast<std::uint8_t>(g * kWebLevel),
                           static_cast<std::uint8_t>(b * kWebLevel), 0});
  return palette;
}

TGIFPalette CreateGrayScalePalette() {
  TGIFPalette palette;
  for (int i = 0; i < 256; ++i) palette.push_back(Grey(i));
  return palette;
}

TGIFPalette CreateGray4Palette() {
  return {Grey(0), Grey(128), Grey(192), Grey(255)};
}

TGIFPalette CreateMonochromePalette() {
  return {Grey(0), Grey(255)};
}

TGIFPalette CreateWindows20Palette() {
  TGIFPalette palette(kStaticPalette.begin(), kStaticPalette.end());
  for (auto& entry : palette) entry.peFlags = PC_NOCOLLAPSE;
  return palette;
}

TGIFPalette CreateHalftonePalette() {
  const TGIFPalette statics = CreateWindows20Palette();
  TGIFPalette palette(statics.begin(), statics.begin() + kStaticHalf);
  for (TPaletteEntry entry : WebPalette()) {
    entry.peFlags = PC_NOCOLLAPSE;
    palette.push_back(entry);
  }
  // Twenty greys between the cube's six.
  for (int i = 1; i <= 20; ++i) palette.push_back(Grey(i * 255 / 21));
  palette.insert(palette.end(), statics.begin() + kStaticHalf, statics.end());
  return palette;
}

// --- pixel access -------------------------------------------------------------------------------

TDIBReader::TDIBReader(const TBitmap& Bitmap)
    : bitmap_(Bitmap),
      width_(Bitmap.Width()),
      height_(Bitmap.Height()),
      bytes_per_pixel_(Bitmap.PixelFormat() == pf24bit ? 3 : 4) {}

void TDIBReader::Pixel(int X, int Y, int& Red, int& Green, int& Blue) const {
  const std::uint8_t* p = bitmap_.ScanLine(Y) + static_cast<std::size_t>(X) * bytes_per_pixel_;
  Blue = p[0];
  Green = p[1];
  Red = p[2];
}

TDIBWriter::TDIBWriter(TBitmap& Bitmap, const TGIFPalette& Palette, int Width, int Height)
    : bitmap_(Bitmap), palette_(Palette), width_(Width), height_(Height) {
  if (Width <= 0 || Height <= 0) Error("Invalid image dimensions");
  indices_.assign(static_cast<std::size_t>(Width) * Height, 0);
}

std::uint8_t* TDIBWriter::ScanLine(int Row) {
  if (Row < 0 || Row >= height_) Error("Invalid pixel coordinates");
  return indices_.data() + static_cast<std::size_t>(Row) * width_;
}

void TDIBWriter::Finish() {
  bitmap_.SetPixelFormat(pf32bit);
  bitmap_.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* src = indices_.data() + static_cast<std::size_t>(y) * width_;
    std::uint8_t* dst = bitmap_.ScanLine(y);
    for (int x = 0; x < width_; ++x, dst += 4) {
      // Indices past the palette's end show black, as an unused palette entry would.
      const TPaletteEntry entry = src[x] < palette_.size() ? palette_[src[x]] : TPaletteEntry{};
      dst[0] = entry.peBlue;
      dst[1] = entry.peGreen;
      dst[2] = entry.peRed;
      dst[3] = 0xFF;
    }
  }
}

// --- octree quantizer
// -----------------------------------------------------------------------------

namespace {

struct TOctreeNode {
  bool IsLeaf = false;
  long long PixelCount = 0;
  long long RedSum = 0;
  long long GreenSum = 0;
  long long BlueSum = 0;
  TOctreeNode* Next = nullptr;  // next reducible node of the same level
  std::unique_ptr<TOctreeNode> Child[8];
};

class TColorQuantizer {
 public:
  TColorQuantizer(int MaxColors, int ColorBits) : max_colors_(MaxColors), color_bits_(ColorBits) {}

  void AddColor(int Red, int Green, int Blue) {
    AddColor(tree_, Red, Green, Blue, 0);
    while (leaf_count_ > max_colors_) Reduce();
  }

  void GetPalette(TGIFPalette& Palette) const { CollectLeaves(tree_.get(), Palette); }

 private:
  void AddColor(std::unique_ptr<TOctreeNode>& Node, int Red, int Green, int Blue, int Level) {
    if (!Node) {
      Node = std::make_unique<TOctreeNode>();
      Node->IsLeaf = Level == color_bits_;
      if (Node->IsLeaf) {
        ++leaf_count_;
      } else {
        Node->Next = reducible_[Level];
        reducible_[Level] = Node.get();
      }
    }
    if (Node->IsLeaf) {
      ++Node->PixelCount;
      Node->RedSum += Red;
      Node->GreenSum += Green;
      Node->BlueSum += Blue;
      return;
    }
    const int shift = 7 - Level;
    const int child =
        (((Red >> shift) & 1) << 2) | (((Green >> shift) & 1) << 1) | ((Blue >> shift) & 1);
    AddColor(Node->Child[child], Red, Green, Blue, Level + 1);
  }

  void Reduce() {
    int level = color_bits_ - 1;
    while (level > 0 && !reducible_[level]) --level;
    TOctreeNode* node = reducible_[level];
    reducible_[level] = node->Next;
    int children = 0;
    for (auto& child : node->Child) {
      if (!child) continue;
      node->PixelCount += child->PixelCount;
      node->RedSum += child->RedSum;
      node->GreenSum += child->GreenSum;
      node->BlueSum += child->BlueSum;
      child.reset();
      ++children;
    }
    node->IsLeaf = true;
    leaf_count_ -= children - 1;
  }

  static void CollectLeaves(const TOctreeNode* Node, TGIFPalette& Palette) {
    if (!Node) return;
    if (Node->IsLeaf) {
      TPaletteEntry entry;
      if (Node->PixelCount > 0) {
        entry.peRed = static_cast<std::uint8_t>(Node->RedSum / Node->PixelCount);
        entry.peGreen = static_cast<std::uint8_t>(Node->GreenSum / Node->PixelCount);
        entry.peBlue = static_cast<std::uint8_t>(Node->BlueSum / Node->PixelCount);
      }
      Palette.push_back(entry);
      return;
    }
    for (const auto& child : Node->Child) CollectLeaves(child.get(), Palette);
  }

  const int max_colors_;
  const int color_bits_;
  int leaf_count_ = 0;
  std::unique_ptr<TOctreeNode> tree_;
  TOctreeNode* reducible_[9] = {};
};

}  // namespace

TGIFPalette CreateOptimizedPaletteFromBitmap(const TBitmap& Bitmap, int Colors, int ColorBits,
                                             bool WithWindowsColors) {
  constexpr int kWindowsOctreeColors = 256 - kStaticColors;
  const int max_colors = WithWindowsColors ? kWindowsOctreeColors : Colors;
  TColorQuantizer quantizer(max_colors, ColorBits);
  const TDIBReader reader(Bitmap);
  int r = 0, g = 0, b = 0;
  for (int y = 0; y < reader.Height(); ++y)
    for (int x = 0; x < reader.Width(); ++x) {
      reader.Pixel(x, y, r, g, b);
      quantizer.AddColor(r, g, b);
    }
  TGIFPalette octree;
  quantizer.GetPalette(octree);
  if (!WithWindowsColors) return octree;
  const TGIFPalette statics = CreateWindows20Palette();
  TGIFPalette palette(statics.begin(), statics.begin() + kStaticHalf);
  octree.resize(kWindowsOctreeColors);
  palette.insert(palette.end(), octree.begin(), octree.end());
  palette.insert(palette.end(), statics.begin() + kStaticHalf, statics.end());
  return palette;
}

// --- reduction
// -------------------------------------------------------------------------------------

namespace {

constexpr int kOctreeColorBits = 8;

// Palette and lookup of a reduction; false for an unknown reduction.
bool PaletteFor(const TBitmap& Bitmap, TColorReduction Reduction, int ReductionBits,
                const TGIFPalette* CustomPalette, TGIFPalette& Palette,
                std::unique_ptr<TColorLookup>& Lookup) {
  switch (Reduction) {
    case ReduceWindows20:
      Palette = CreateWindows20Palette();
      break;
    case ReduceHalftone256:
      Palette = CreateHalftonePalette();
      break;
    case ReduceGray4:
      Palette = CreateGray4Palette();
      break;
    case ReduceMonochrome:
      Palette = CreateMonochromePalette();
      Lookup = std::make_unique<TMonochromeLookup>();
      return true;
    case ReduceGray256:
      Palette = CreateGrayScalePalette();
      Lookup = std::make_unique<TGrayScaleLookup>();
      return true;
    case ReduceWeb216:
      Palette = WebPalette();
      Lookup = std::make_unique<TNetscapeColorLookup>();
      return true;
    case ReduceOptimized:
      Palette = CreateOptimizedPaletteFromBitmap(Bitmap, 1 << std::clamp(ReductionBits, 1, 8),
                                                 kOctreeColorBits, false);
      break;
    case ReduceOptimizedWindows:
      Palette = CreateOptimizedPaletteFromBitmap(Bitmap, 256, kOctreeColorBits, true);
      break;
    case ReduceCustomPalette:
      if (!CustomPalette) return false;
      Palette = *CustomPalette;
      break;
    default:
      return false;
  }
  Lookup = std::make_unique<TSlowColorLookup>(Palette);
  return true;
}

}  // namespace

std::unique_ptr<TBitmap> ReduceColors(const TBitmap& Bitmap, TColorReduction ColorReduction,
                                      TDitherMode DitherMode, int ReductionBits,
                                      const TGIFPalette* CustomPalette) {
  auto result = std::make_unique<TBitmap>();
  if (ColorReduction == ReduceNone) {
    result->Assign(Bitmap);
    result->SetPixelFormat(pf24bit);
    return result;
  }
  TGIFPalette palette;
  std::unique_ptr<TColorLookup> lookup;
  if (!PaletteFor(Bitmap, ColorReduction, ReductionBits, CustomPalette, palette, lookup) ||
      lookup->Colors() == 0 || Bitmap.Empty())
    return result;
  const TDIBReader reader(Bitmap);
  std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(DitherMode, reader.Width(), *lookup);
  if (!ditherer) return result;
  TDIBWriter writer(*result, palette, reader.Width(), reader.Height());
  int red = 0, green = 0, blue = 0, r = 0, g = 0, b = 0;
  for (int y = 0; y < reader.Height(); ++y) {
    std::uint8_t* row = writer.ScanLine(y);
    while (ditherer->Column >= 0 && ditherer->Column < reader.Width()) {
      const int x = ditherer->Column;
      reader.Pixel(x, y, red, green, blue);
      row[x] = static_cast<std::uint8_t>(ditherer->Dither(red, green, blue, r, g, b));
    }
    ditherer->NextLine();
  }
  writer.Finish();
  return result;
}

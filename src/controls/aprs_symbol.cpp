#include "controls/aprs_symbol.h"

#include <unordered_map>

#include "platform/gui/graphics/unicode_text.h"
#include "platform/text/cp1252.h"

namespace {

// Pixels of the pictures that the map shows through.
constexpr TColor kTransparent = clFuchsia;
constexpr int kMargin = 2;  // round the label text
constexpr int kDotSize = 6;
constexpr int kSymbolSize = 20;
constexpr int kEmptySize = 32;  // what a marker without any style takes
constexpr int kLabelCorner = 6;
constexpr int kNewSize = 10;

std::unique_ptr<TBitmap> TransparentPicture(int Width, int Height) {
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(Width, Height);
  picture->SetTransparentColor(kTransparent);
  picture->SetTransparent(true);
  TCanvas& canvas = picture->Canvas();
  canvas.Pen().SetColor(kTransparent);
  canvas.Brush().SetColor(kTransparent);
  canvas.FillRect(Rect(0, 0, Width, Height));
  return picture;
}

// The white dot with its black rim, the same for every marker. Kept for the program's
// life, like the label canvas: pictures must not outlive the application object.
const TBitmap& DotPicture() {
  static const TBitmap* dot = [] {
    TBitmap* picture = TransparentPicture(kDotSize, kDotSize).release();
    TCanvas& canvas = picture->Canvas();
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetColor(clWhite);
    canvas.Ellipse(0, 0, kDotSize, kDotSize);
    return picture;
  }();
  return *dot;
}

// Labels by text and colour: a station heard again draws the one it had, and equal
// texts share one. Labels no marker holds any more go when the cache has doubled.
class TLabelPictures {
 public:
  std::shared_ptr<const TBitmap> Get(const std::string& Text, TColor Color, int Width, int Height) {
    std::string key = Text;
    key.append(reinterpret_cast<const char*>(&Color), sizeof Color);
    auto found = labels_.find(key);
    if (found != labels_.end()) return found->second;
    if (labels_.size() >= 2 * kept_ + kMinPurge) Purge();
    std::shared_ptr<const TBitmap> label = Draw(Text, Color, Width, Height);
    labels_.emplace(std::move(key), label);
    return label;
  }

 private:
  static constexpr size_t kMinPurge = 1024;

  static std::shared_ptr<const TBitmap> Draw(const std::string& Text, TColor Color, int Width,
                                             int Height) {
    std::shared_ptr<TBitmap> label = TransparentPicture(Width, Height);
    TCanvas& canvas = label->Canvas();
    canvas.Font().Assign(AprsSymbolLabelCanvas().Font());
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetColor(Color);
    canvas.RoundRect(0, 0, Width, Height, kLabelCorner, kLabelCorner);
    // On the box's own colour: the text needs no background of its own.
    canvas.Brush().SetStyle(bsClear);
    TextOutW(canvas, kMargin, kMargin, ReceivedTextToUtf16(Text));
    // A label has a few dozen colours; packed it takes an eighth of the memory, and the
    // map keeps one per station it has shown.
    label->Compact();
    return label;
  }

  void Purge() {
    std::erase_if(labels_, [](const auto& entry) { return entry.second.use_count() == 1; });
    kept_ = labels_.size();
  }

  std::unordered_map<std::string, std::shared_ptr<const TBitmap>> labels_;
  size_t kept_ = 0;
};

// Label texts measured once: a map load makes every marker anew.
TSize LabelExtent(const std::string& Text) {
  constexpr size_t kMaxExtents = 1 << 18;
  // Sized for a feed's worth of stations at once: under the start-up burst every text is
  // new, and growing step by step would hash each of them again a dozen times.
  constexpr size_t kFirstExtents = 1 << 16;
  static auto* extents = [] {
    auto* made = new std::unordered_map<std::string, TSize>;
    made->reserve(kFirstExtents);
    return made;
  }();
  if (extents->size() >= kMaxExtents) extents->clear();
  // Looked up once: under a feed of new stations most texts are new.
  auto [entry, added] = extents->try_emplace(Text);
  if (added) {
    try {
      const TCanvas& canvas = AprsSymbolLabelCanvas();
      entry->second = {NameWidthW(canvas, ReceivedTextToUtf16(Text)), canvas.TextHeight("")};
    } catch (...) {
      extents->erase(entry);
      throw;
    }
  }
  return entry->second;
}

TLabelPictures& LabelPictures() {
  static auto* labels = new TLabelPictures;
  return *labels;
}

const TBitmap& EmptyBitmap() {
  static const TBitmap* empty = new TBitmap;
  return *empty;
}

}  // namespace

TColor AprsSymbolLabelColor(int Port) {
  switch (Port) {
    case 2:
      return 0xB3FFFF;
    case -1:
      return 0xD5FFD5;
    default:
      return 0xFFE9E9;
  }
}

const TCanvas& AprsSymbolLabelCanvas() {
  static const TBitmap* measure = new TBitmap;
  return measure->Canvas();
}

TAprsSymbol::TAprsSymbol(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(Left(), Top(), kNewSize, kNewSize);
}

void TAprsSymbol::Forget() {
  symbol_bitmap_.reset();
  label_.reset();
  label_extent_ = {};
  label_measured_ = false;
  sym_draw_style_ = 0;
  symbol_shown_ = false;
  port_ = 0;
  text_ = kNewText;
  x_ = 0;
  y_ = 0;
  SetBounds(0, 0, kNewSize, kNewSize);
}

TAprsSymbol::~TAprsSymbol() = default;

const TBitmap& TAprsSymbol::SymbolBitmap() const {
  return symbol_bitmap_ ? *symbol_bitmap_ : EmptyBitmap();
}

void TAprsSymbol::SetSymDrawStyle(TSymDrawStyles Value) {
  if (Value == 0) Value = dsPoint;
  if (Value == sym_draw_style_) return;
  sym_draw_style_ = Value;
  Rebuild(text_, x_, y_, symbol_bitmap_, port_);
  Invalidate();
}

void TAprsSymbol::SetSymbol(const std::string& Text, int X, int Y, const TBitmap* Bitmap,
                            int Port) {
  std::shared_ptr<const TBitmap> copy;
  if (Bitmap) {
    auto own = std::make_shared<TBitmap>();
    own->Assign(*Bitmap);
    copy = std::move(own);
  }
  Rebuild(Text, X, Y, std::move(copy), Port);
}

void TAprsSymbol::SetSymbol(const std::string& Text, int X, int Y,
                            std::shared_ptr<const TBitmap> Bitmap, int Port) {
  Rebuild(Text, X, Y, std::move(Bitmap), Port);
}

void TAprsSymbol::Rebuild(const std::string& Text, int X, int Y,
                          std::shared_ptr<const TBitmap> Bitmap, int Port) {
  const bool point = (sym_draw_style_ & dsPoint) != 0;
  const bool symbol = (sym_draw_style_ & dsSymbol) != 0;
  const bool call = (sym_draw_style_ & dsCall) != 0;

  int labelTop = 0;
  int width = kEmptySize;
  int height = kEmptySize;
  const int dot = point ? kDotSize : 0;
  if (point) {
    labelTop = dot + 1;
    width = dot;
    height = dot;
  }
  if (symbol) {
    labelTop += kSymbolSize;
    height = labelTop;
    width = kSymbolSize;
  }
  if (call) {
    // Measured once per text: a station heard again mostly keeps its name.
    if (!label_measured_ || Text != text_) {
      label_extent_ = LabelExtent(Text);
      label_measured_ = true;
    }
    const TSize extent = label_extent_;
    height = extent.cy + labelTop + 2 * kMargin;
    width = extent.cx + 2 * kMargin;
  }
  const int halfWidth = width / 2;
  const int halfHeight = height / 2;

  int left = Left();
  int top = Top();
  if (point) {
    left = X - halfWidth;
    top = Y - dot / 2;
  } else if (symbol) {
    left = X - halfWidth;
    top = Y - kSymbolSize / 2;
  } else if (call) {
    left = X - halfWidth;
    top = Y - halfHeight;
  }

  // The label is drawn anew only for another text or colour; a move copies the marker
  // to its new place from the pictures it has.
  if (Text != text_ || Port != port_) label_.reset();
  port_ = Port;
  text_ = Text;
  x_ = X;
  y_ = Y;
  symbol_shown_ = Bitmap != nullptr;
  if (Bitmap) symbol_bitmap_ = std::move(Bitmap);
  SetBounds(left, top, width, height);
  Invalidate();
  BringToFront();
}

int TAprsSymbol::FaceParts(TFacePart (&Parts)[kMaxFaceParts]) const {
  const bool point = (sym_draw_style_ & dsPoint) != 0;
  const bool symbol = (sym_draw_style_ & dsSymbol) != 0;
  const bool call = (sym_draw_style_ & dsCall) != 0;
  const int halfWidth = Width() / 2;
  const int dot = point ? kDotSize : 0;
  int count = 0;
  if (point) Parts[count++] = {&DotPicture(), Point(halfWidth - kDotSize / 2, 0)};
  if (call) {
    const int labelTop = (point ? dot + 1 : 0) + (symbol ? kSymbolSize : 0);
    if (!label_) {
      label_ =
          LabelPictures().Get(text_, AprsSymbolLabelColor(port_), Width(), Height() - labelTop);
    }
    Parts[count++] = {label_.get(), Point(0, labelTop)};
  }
  if (symbol && symbol_shown_ && symbol_bitmap_) {
    Parts[count++] = {symbol_bitmap_.get(), Point(halfWidth - kSymbolSize / 2, dot)};
  }
  return count;
}

void TAprsSymbol::Click() {
  BringToFront();
  TGraphicControl::Click();
}

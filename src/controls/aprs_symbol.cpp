#include "controls/aprs_symbol.h"

namespace {

// Pixels of the buffer that the map shows through.
constexpr TColor kTransparent = clFuchsia;
constexpr int kMargin = 2;  // round the label text
constexpr int kDotSize = 6;
constexpr int kSymbolSize = 20;
constexpr int kEmptySize = 32;  // what a marker without any style builds
constexpr int kLabelCorner = 6;

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

TAprsSymbol::TAprsSymbol(TComponent* AOwner)
    : TGraphicControl(AOwner),
      draw_buffer_(std::make_unique<TBitmap>()),
      symbol_bitmap_(std::make_unique<TBitmap>()) {
  SetBounds(Left(), Top(), 10, 10);
}

TAprsSymbol::~TAprsSymbol() = default;

void TAprsSymbol::SetSymDrawStyle(TSymDrawStyles Value) {
  if (Value == 0) Value = dsPoint;
  if (Value == sym_draw_style_) return;
  sym_draw_style_ = Value;
  // The stored picture is handed back in; SetSymbol copies it only when it differs.
  SetSymbol(text_, x_, y_, symbol_bitmap_.get(), port_);
  Invalidate();
}

void TAprsSymbol::SetSymbol(const std::string& Text, int X, int Y, const TBitmap* Bitmap,
                            int Port) {
  port_ = Port;
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
  TCanvas& measure = draw_buffer_->Canvas();
  if (call) {
    height = measure.TextHeight(Text) + labelTop + 2 * kMargin;
    width = measure.TextWidth(Text) + 2 * kMargin;
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

  TBitmap work;
  work.SetSize(width, height);
  work.SetTransparentColor(kTransparent);
  work.SetTransparent(true);
  TCanvas& canvas = work.Canvas();
  canvas.Font().Assign(measure.Font());
  canvas.Pen().SetColor(kTransparent);
  canvas.Brush().SetColor(kTransparent);
  canvas.FillRect(Rect(0, 0, width, height));
  if (point) {
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetColor(clWhite);
    canvas.Ellipse(halfWidth - dot / 2, 0, halfWidth + dot / 2, dot);
  }
  if (call) {
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetColor(AprsSymbolLabelColor(Port));
    canvas.RoundRect(0, labelTop, width, height, kLabelCorner, kLabelCorner);
    canvas.TextOut(kMargin, kMargin + labelTop, Text);
  }
  if (symbol && Bitmap) canvas.Draw(halfWidth - kSymbolSize / 2, dot, *Bitmap);

  text_ = Text;
  x_ = X;
  y_ = Y;
  if (Bitmap && Bitmap != symbol_bitmap_.get()) symbol_bitmap_->Assign(*Bitmap);
  draw_buffer_->Assign(work);
  SetBounds(left, top, width, height);
  Invalidate();
  BringToFront();
}

void TAprsSymbol::Click() {
  BringToFront();
  TGraphicControl::Click();
}

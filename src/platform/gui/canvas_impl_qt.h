// Platform-internal: the state behind a TCanvas, shared by its drawing and text halves.
#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <optional>

#include "platform/gui/canvas.h"
#include "platform/gui/canvas_qt.h"

struct TCanvas::Impl {
  QPainter* attached = nullptr;   // a control's painter during its paint
  QImage* image = nullptr;        // a bitmap's pixels
  std::unique_ptr<QPainter> own;  // open on `image` between direct accesses
  std::function<void()> imageChanged;

  // The font last turned into Qt terms, with its metrics.
  std::optional<TFont> metricsFont;
  QFont qfont;
  std::optional<QFontMetrics> metrics;

  // The painter to draw with, or null when the canvas has nowhere to draw.
  QPainter* Painter() {
    if (attached) return attached;
    if (!image || image->isNull()) return nullptr;
    if (!own) {
      if (imageChanged) imageChanged();
      own = std::make_unique<QPainter>(image);
    }
    return own.get();
  }

  void UseFont(const TFont& font) {
    if (metricsFont && metricsFont->SameAs(font)) return;
    qfont = ToQFont(font);
    metrics.emplace(qfont);
    metricsFont.emplace();
    metricsFont->Assign(font);
  }
};

// Platform-internal: the state behind a TCanvas, shared by its drawing and text halves.
#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/pair_advances_qt.h"

struct TCanvas::Impl {
  QPainter* attached = nullptr;   // a control's painter during its paint
  QImage* image = nullptr;        // a bitmap's pixels
  std::unique_ptr<QPainter> own;  // open on `image` between direct accesses
  std::function<void()> imageChanged;
  // Runs before the image is read or drawn on (a bitmap kept packed unpacks).
  std::function<void()> imageWanted;

  QImage* WantedImage() {
    if (imageWanted) imageWanted();
    return image;
  }

  // The font last turned into Qt terms, with its metrics.
  std::optional<TFont> metricsFont;
  QFont qfont;
  std::optional<QFontMetrics> metrics;
  int lineHeight = 0;  // metrics->height(), which asks the font engine at every call

  // The painter to draw with, or null when the canvas has nowhere to draw.
  QPainter* Painter() {
    if (attached) return attached;
    if (!own && imageWanted) imageWanted();
    if (!image || image->isNull()) return nullptr;
    if (!own) {
      if (imageChanged) imageChanged();
      own = std::make_unique<QPainter>(image);
    }
    return own.get();
  }

  // The painter set up for text in Font, or null when nothing is drawn.
  QPainter* TextPainter(const TFont& Font);

  // Fonts last turned into Qt terms, the latest first: text that switches between a few
  // fonts (markup) would otherwise build each of them anew at every switch.
  struct CachedFont {
    TFont font;
    QFont qfont;
    QFontMetrics metrics;
    int height;
    std::shared_ptr<const TPairAdvances> pairs;  // made when a name is measured
  };
  static constexpr std::size_t kCachedFonts = 8;
  std::vector<CachedFont> fonts;

  void UseFont(const TFont& font) {
    // The colour is no part of a Qt font: markup that only recolours keeps its font.
    if (metricsFont && metricsFont->SameFace(font)) return;
    auto found = std::find_if(fonts.begin(), fonts.end(),
                              [&](const CachedFont& c) { return c.font.SameFace(font); });
    if (found == fonts.end()) {
      if (fonts.size() >= kCachedFonts) fonts.pop_back();
      QFont made = ToQFont(font);
      const QFontMetrics metrics_of_made(made);
      fonts.insert(fonts.begin(),
                   CachedFont{{}, made, metrics_of_made, metrics_of_made.height(), {}});
      fonts.front().font.Assign(font);
    } else if (found != fonts.begin()) {
      std::rotate(fonts.begin(), found, found + 1);
    }
    qfont = fonts.front().qfont;
    metrics.emplace(fonts.front().metrics);
    lineHeight = fonts.front().height;
    metricsFont.emplace();
    metricsFont->Assign(font);
  }
};

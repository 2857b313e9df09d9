#include "platform/gui/graphics/wide_text.h"

#include <QChar>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/cluster_advances_qt.h"
#include "platform/gui/graphics/text_shaping_qt.h"

namespace {

QString ToQ(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

// Text for the shaping font. A control character is drawn as nothing, as the plain font
// draws it, where the shaping font would show a box: it goes as a zero-width space, which
// joins nothing either.
QString ToShapedQ(std::u16string_view text) {
  QString q = ToQ(text);
  for (QChar& c : q)
    if (IsControl(c.unicode()) && c != u'\t') c = QChar(0x200B);
  return q;
}

QFont StretchedQFont(const TFont& font, int stretch) {
  QFont q = ToQFont(font);
  if (stretch != 100) q.setStretch(std::clamp(stretch, 1, 4000));
  return q;
}

// A layout measures text again and again, so plain characters are measured once: the
// font for text that needs no shaping is set up without it (no kerning, no ligatures for
// simple scripts), so the width of such a text is the sum of its characters' advances,
// and drawing agrees.
QFont PlainQFont(const TFont& font, int stretch) {
  QFont q = StretchedQFont(font, stretch);
  q.setKerning(false);
  q.setStyleStrategy(QFont::StyleStrategy(q.styleStrategy() | QFont::PreferNoShaping));
  return q;
}

// Without shaping Qt draws joining letters (Arabic) in their isolated forms and leaves
// marks and conjuncts unplaced: a text that holds them is measured and drawn shaped.
// Character spacing goes between the clusters shaping makes, so joined letters keep
// their forms.
QFont ShapingQFont(const TFont& font, int extra, int stretch) {
  QFont q = StretchedQFont(font, stretch);
  q.setKerning(false);
  if (extra != 0) q.setLetterSpacing(QFont::AbsoluteSpacing, extra);
  return q;
}

constexpr std::int16_t kUnknown = -1;
constexpr std::int16_t kShaped = -2;  // needs the whole text: marks, surrogates, bidi
constexpr std::int16_t kTab = -3;     // as wide as the way to the next tab stop

// A run of text that needs shaping is measured in pieces that shape independently: the
// glyphs, and so the advances, of a piece are the same alone as within the text, so the
// width of a prefix is the sum of the whole pieces before it and the prefix of its own
// piece. Pieces end at blanks; a run without blanks longer than this is cut where no
// character joins, attaches or conjoins across the cut.
constexpr size_t kLongPiece = 32;
// A run where no such place comes within this many units (one unbroken chain of joining
// letters, a letter under a pile of marks) is cut anyway, if need be between two marks: a
// width there may be off by the difference of one letter form, where measuring every
// prefix whole would cost the square of the run's length.
constexpr size_t kForcedCut = 128;
// The measured pieces are kept for the next layout of the same text (a keystroke lays out
// its line again); the cache is emptied when it holds this many.
constexpr size_t kMaxCachedPieces = 16384;
// So are the widths of shaped texts measured whole,
constexpr size_t kMaxCachedWidths = 16384;
// and, fewer as they are larger, the glyphs shaped texts are drawn with.
constexpr size_t kMaxCachedRuns = 2048;

// Where the piece starting at `from` ends.
size_t PieceEnd(std::u16string_view text, size_t from) {
  size_t at = from + 1;
  for (; at < text.size(); ++at) {
    const size_t length = at - from;
    if (IsIndependentCut(text, at, length < kLongPiece)) return at;
    if (length >= kForcedCut && !QChar(text[at]).isLowSurrogate()) return at;
  }
  return at;
}

// Nothing turns text of left-to-right and neutral characters around on a line that is not
// right to left; otherwise it is laid out and drawn shaped.
bool KeepsTextOrder(const TTextRunDirection& direction) {
  return direction.Line != TTextDirection::RightToLeft;
}

struct TPieceHash {
  using is_transparent = void;
  size_t operator()(std::u16string_view piece) const {
    return std::hash<std::u16string_view>{}(piece);
  }
};

}  // namespace

struct TPreparedFont::Impl {
  Impl(const TFont& font, int extra, int stretch)
      : qfont(PlainQFont(font, stretch)),
        metrics(qfont),
        shaping_qfont(ShapingQFont(font, extra, stretch)),
        shaping_metrics(shaping_qfont),
        shaping_metrics_exact(shaping_qfont),
        tab_stop(std::max(1, metrics.horizontalAdvance(QStringLiteral("\t")))),
        extra(extra),
        clusters(TClusterAdvances::For(shaping_qfont.key())) {}
  QFont qfont;
  QFontMetrics metrics;
  QFont shaping_qfont;
  QFontMetrics shaping_metrics;
  QFontMetricsF shaping_metrics_exact;
  int tab_stop;
  int extra;  // character spacing
  // Per UTF-16 unit, by its page of 256, each page filled on first use: a layout that
  // prepares its fonts afresh (a new window) touches a few pages, not the whole range.
  std::array<std::unique_ptr<std::array<std::int16_t, 256>>, 256> advance_pages;
  // Prefix widths of shaped pieces, each prefix measured as drawn alone.
  std::unordered_map<std::u16string, std::vector<int>, TPieceHash, std::equal_to<>> pieces;
  // Widths of shaped texts: a line's pieces are measured again for its least width, for
  // every fit and after a scroll bar came, and a text's words come back.
  std::unordered_map<std::u16string, int, TPieceHash, std::equal_to<>> shaped_widths;
  // Advances of the clusters of texts measured cluster by cluster, shared with every
  // other preparing of the same font on this thread.
  std::shared_ptr<TClusterAdvances> clusters;

  // The glyphs of the font's own face (not of a fallback), by the character's page of 256,
  // each page filled on first use: 0 where the face has none.
  QRawFont face;
  std::array<std::unique_ptr<std::array<quint32, 256>>, 256> glyph_pages;
  // A run of glyphs drawn, its parts kept for the next one.
  QGlyphRun run;
  std::vector<quint32> run_glyphs;
  std::vector<QPointF> run_positions;
  // Shaped texts as drawn on a line of each direction (auto, left to right, right to
  // left): the glyph runs Qt shaped them into, and where their baseline lies below the
  // top of the line. A repaint draws the same pieces again.
  struct TShapedRuns {
    QList<QGlyphRun> runs;
    qreal ascent = 0;
  };
  std::unordered_map<std::u16string, TShapedRuns, TPieceHash, std::equal_to<>> shaped_runs[3];

  int Advance(char16_t ch) {
    auto& page = advance_pages[ch >> 8];
    if (!page) {
      page = std::make_unique<std::array<std::int16_t, 256>>();
      page->fill(kUnknown);
    }
    std::int16_t& a = (*page)[ch & 0xFF];
    if (a == kUnknown) {
      const QChar c(ch);
      if (ch == u'\t') {
        a = kTab;
      } else if (::NeedsShaping(ch)) {
        a = kShaped;
      } else {
        // A control character is drawn as nothing within a text, though the font may
        // have a glyph for it.
        const int width =
            IsControl(ch) ? metrics.horizontalAdvance(QString(c)) : metrics.horizontalAdvance(c);
        a = std::int16_t(std::min(width, 0x7FFF));
      }
    }
    return a;
  }

  quint32 Glyph(char16_t ch) {
    auto& page = glyph_pages[ch >> 8];
    if (!page) {
      if (!face.isValid()) face = QRawFont::fromFont(qfont);
      page = std::make_unique<std::array<quint32, 256>>();
      QChar characters[256];
      for (int i = 0; i < 256; ++i) characters[i] = QChar(char16_t((ch & 0xFF00) | i));
      int count = 256;
      if (!face.isValid() || !face.glyphIndexesForChars(characters, 256, page->data(), &count))
        page->fill(0);
    }
    return (*page)[ch & 0xFF];
  }

  // Text that needs no shaping as one run of glyphs of the font's own face, placed by the
  // advances it is measured with: drawn so, Qt neither lays it out nor shapes it, as
  // QPainter::drawText would at every call. False for text with a character the face
  // lacks (a fallback font draws it), a tab or another control character, and for spaced
  // text that is underlined or struck out (its lines go character by character). Width is
  // the run's.
  bool PlainRun(std::u16string_view text, int& width) {
    run_glyphs.clear();
    run_positions.clear();
    width = 0;
    if (extra != 0 && (qfont.underline() || qfont.strikeOut())) return false;
    for (char16_t ch : text) {
      const int a = Advance(ch);
      const quint32 glyph = a < 0 || IsControl(ch) ? 0 : Glyph(ch);
      if (glyph == 0) return false;
      run_glyphs.push_back(glyph);
      run_positions.emplace_back(width, 0);
      width += a + extra;
    }
    return true;
  }

  // The run PlainRun made, its baseline starting at Origin.
  void DrawRun(QPainter& painter, QPointF origin) {
    if (run_glyphs.empty()) return;
    if (run.rawFont() != face) {
      run.setRawFont(face);
      run.setUnderline(qfont.underline());
      run.setStrikeOut(qfont.strikeOut());
    }
    run.setRawData(run_glyphs.data(), run_positions.data(), int(run_glyphs.size()));
    painter.drawGlyphRun(origin, run);
  }

  const TShapedRuns& ShapedRuns(std::u16string_view text, TTextDirection direction) {
    auto& kept = shaped_runs[size_t(direction)];
    if (auto found = kept.find(text); found != kept.end()) return found->second;
    if (kept.size() >= kMaxCachedRuns) kept.clear();
    // Laid out as QPainter::drawText lays out a text: one line from the left.
    QTextLayout layout(ToShapedQ(text), shaping_qfont);
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(ToQDirection(direction));
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    TShapedRuns shaped;
    if (line.isValid()) shaped = {line.glyphRuns(), line.ascent()};
    return kept.emplace(text, std::move(shaped)).first->second;
  }

  // Tab stops stand at whole multiples of the tab width from the start of the text.
  int TabAdvance(int width) const { return tab_stop - width % tab_stop; }
  // How far a plain character, or a tab, takes a text that is `width` wide. A tab reaches
  // its stop, spaced or not, as in shaped text.
  int PlainAdvance(int a, int width) const { return a == kTab ? TabAdvance(width) : a + extra; }

  bool NeedsShaping(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [this](char16_t ch) { return Advance(ch) == kShaped; });
  }

  // Whether text is measured cluster by cluster: unspaced (spacing goes between clusters
  // as shaping makes them), of nothing but characters whose clusters add up.
  bool ByClusters(std::u16string_view text) {
    return extra == 0 && clusters->ByClusters(text, shaping_metrics_exact);
  }

  int ShapedWidth(std::u16string_view text) {
    if (ByClusters(text)) return clusters->Width(text, shaping_metrics_exact);
    if (auto found = shaped_widths.find(text); found != shaped_widths.end()) return found->second;
    if (shaped_widths.size() >= kMaxCachedWidths) shaped_widths.clear();
    const int width = shaping_metrics.horizontalAdvance(ToShapedQ(text));
    shaped_widths.emplace(text, width);
    return width;
  }

  const std::vector<int>& PieceExtents(std::u16string_view piece) {
    if (auto found = pieces.find(piece); found != pieces.end()) return found->second;
    if (pieces.size() >= kMaxCachedPieces) pieces.clear();
    std::vector<int> extents(piece.size());
    if (ByClusters(piece))
      clusters->PrefixWidths(piece, shaping_metrics_exact, extents);
    else
      for (size_t i = 0; i < piece.size(); ++i)
        extents[i] = shaping_metrics.horizontalAdvance(ToShapedQ(piece.substr(0, i + 1)));
    return pieces.emplace(piece, std::move(extents)).first->second;
  }

  // The width of a piece of a long text that needs shaping, measured whole: added up from
  // its clusters, or the last of its prefix widths when they were measured.
  int PieceWidth(std::u16string_view piece) {
    if (ByClusters(piece)) return clusters->Width(piece, shaping_metrics_exact);
    const auto found = pieces.find(piece);
    return found != pieces.end() ? found->second.back() : ShapedWidth(piece);
  }

  // Extents from `from` on, where the text before `from` is `width` wide and ends where
  // the text can be cut.
  void ShapedExtents(std::u16string_view text, size_t from, int width, std::vector<int>& out) {
    while (from < text.size()) {
      if (text[from] == u'\t') {
        width += PlainAdvance(kTab, width);
        out[from++] = width;
        continue;
      }
      const size_t end = PieceEnd(text, from);
      const std::vector<int>& piece = PieceExtents(text.substr(from, end - from));
      for (size_t i = 0; i < piece.size(); ++i) out[from + i] = width + piece[i];
      width += piece.back();
      from = end;
    }
  }
};

TPreparedFont::TPreparedFont(const TFont& Font, int CharacterExtra, int Stretch)
    : impl_(std::make_unique<Impl>(Font, CharacterExtra, Stretch)) {
  const QFontMetrics& m = impl_->metrics;
  metrics_.Height = m.height();
  metrics_.Ascent = m.ascent();
  metrics_.Descent = m.height() - m.ascent();
  metrics_.AveCharWidth = m.averageCharWidth();
  metrics_.ExternalLeading = std::max(0, m.leading());
  metrics_.UnderlinePosition = std::max(1, m.underlinePos());
  metrics_.LineWidth = std::max(1, m.lineWidth());
}

TPreparedFont::~TPreparedFont() = default;

int TPreparedFont::TextWidth(std::u16string_view Text) const {
  int width = 0;
  for (char16_t ch : Text) {
    const int a = impl_->Advance(ch);
    // A long text is the sum of its pieces, each measured whole.
    if (a == kShaped)
      return Text.size() <= kLongPiece ? impl_->ShapedWidth(Text)
                                       : TPrefixWidths(*this, Text).Width(Text.size());
    width += impl_->PlainAdvance(a, width);
  }
  return width;
}

TPreparedFont::TPrefixWidths::TPrefixWidths(const TPreparedFont& Font, std::u16string_view Text)
    : font_(*Font.impl_), text_(Text) {}

void TPreparedFont::TPrefixWidths::ScanPlain(size_t Count) {
  while (!shaped_ && plain_.size() <= Count) {
    const size_t i = plain_.size() - 1;
    const int a = font_.Advance(text_[i]);
    if (a == kShaped) {
      shaped_ = true;
      break;
    }
    const int width = plain_.back();
    if (i > 0 && IsIndependentCut(text_, i, true)) {
      cut_ = i;
      width_at_cut_ = width;
    }
    plain_.push_back(width + font_.PlainAdvance(a, width));
  }
}

void TPreparedFont::TPrefixWidths::CutTo(size_t Count) {
  while (ends_.empty() || ends_.back() < Count) {
    const size_t from = ends_.empty() ? cut_ : ends_.back();
    int width = widths_.empty() ? width_at_cut_ : widths_.back();
    // A tab reaches its stop from wherever the text before it ends.
    const bool tab = text_[from] == u'\t';
    const size_t end = tab ? from + 1 : PieceEnd(text_, from);
    width +=
        tab ? font_.PlainAdvance(kTab, width) : font_.PieceWidth(text_.substr(from, end - from));
    ends_.push_back(end);
    widths_.push_back(width);
  }
}

int TPreparedFont::TPrefixWidths::Width(size_t Count) {
  ScanPlain(Count);
  // Plain on to Count: the sum of its characters' advances.
  if (Count < plain_.size()) return plain_[Count];
  if (Count <= kLongPiece) return font_.ShapedWidth(text_.substr(0, Count));
  // Whole pieces up to the one Count ends in; the part of that one before Count, measured
  // as the last piece of a text that ends there.
  CutTo(Count);
  const size_t k = size_t(std::lower_bound(ends_.begin(), ends_.end(), Count) - ends_.begin());
  if (ends_[k] == Count) return widths_[k];
  const size_t from = k == 0 ? cut_ : ends_[k - 1];
  const int before = k == 0 ? width_at_cut_ : widths_[k - 1];
  return before + font_.PieceWidth(text_.substr(from, Count - from));
}

void TPreparedFont::PrefixExtents(std::u16string_view Text, std::vector<int>& Extents) const {
  Extents.resize(Text.size());
  int width = 0;
  size_t i = 0;
  size_t lastCut = 0;  // where the plain text could last be cut, and its width there
  int widthAtCut = 0;
  for (; i < Text.size(); ++i) {
    const int a = impl_->Advance(Text[i]);
    if (a == kShaped) break;
    if (i > 0 && IsIndependentCut(Text, i, true)) {
      lastCut = i;
      widthAtCut = width;
    }
    width += impl_->PlainAdvance(a, width);
    Extents[i] = width;
  }
  // From the first character that needs shaping on, the text is measured piece by piece
  // from the last place before it where it can be cut (a joining form or a mark depends on
  // what stands before it).
  if (i < Text.size()) impl_->ShapedExtents(Text, lastCut, widthAtCut, Extents);
}

void TPreparedFont::Place(std::u16string_view Text, TPlacement& Placement,
                          const TTextRunDirection& Direction) const {
  const size_t n = Text.size();
  Placement.Slots.assign(n, 0);
  Placement.Advances.assign(n, 0);
  Placement.RightToLeft.assign(n, false);
  const bool shaped = impl_->NeedsShaping(Text) || !KeepsTextOrder(Direction);
  if (!shaped) {
    std::vector<int> extents;
    PrefixExtents(Text, extents);
    for (size_t k = 0; k < n; ++k) {
      Placement.Slots[k] = int(k);
      Placement.Advances[k] = extents[k] - (k > 0 ? extents[k - 1] : 0);
    }
    return;
  }
  // As drawn: the shaping font, on a line of the direction given.
  const TShapedLine line =
      ShapeLine(impl_->shaping_qfont, ToShapedQ(Text), ToQDirection(Direction.Line), nullptr);
  int slot = 0;
  qreal x = 0;
  for (const TShapedCluster* c : line.shown) {
    bool first = true;
    for (int k = c->from; k < c->to; ++k) {
      if (size_t(k) >= n) continue;
      Placement.Slots[size_t(k)] = slot;
      Placement.RightToLeft[size_t(k)] = c->right_to_left;
      // Rounded where the cells meet, so that the advances add up to the line's width.
      if (first) Placement.Advances[size_t(slot)] = qRound(x + c->width) - qRound(x);
      first = false;
      ++slot;
    }
    x += c->width;
  }
}

bool TPreparedFont::IsLeftToRight(char16_t Ch) {
  switch (QChar(Ch).direction()) {
    case QChar::DirL:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirLRI:
      return true;
    default:
      return false;
  }
}

bool TPreparedFont::IsRightToLeft(char16_t Ch) {
  switch (QChar(Ch).direction()) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirRLI:
      return true;
    default:
      return false;
  }
}

TPreparedFont::TScript TPreparedFont::ScriptOf(char16_t Ch) {
  switch (QChar(Ch).script()) {
    case QChar::Script_Common:
    case QChar::Script_Inherited:
    case QChar::Script_Unknown:
      return TScript::Common;
    case QChar::Script_Arabic:
      return TScript::Arabic;
    default:
      return TScript::Other;
  }
}

void CanvasTextOutW(TCanvas& Canvas, const TPreparedFont& Font, TColor Color, int X, int Y,
                    std::u16string_view Text, std::span<const int> Advances, const TRect* Clip,
                    bool Opaque, const TTextRunDirection& Direction) {
  TCanvas::Impl& impl = TCanvasAccess::ImplOf(Canvas);
  QPainter* painter = impl.Painter();
  if (!painter) return;
  TPreparedFont::Impl& font = *Font.impl_;
  // Text turned around on its line is shaped: brackets there take their mirrored forms.
  const bool shaped = font.NeedsShaping(Text) || (Advances.empty() && !KeepsTextOrder(Direction));
  const QString text = shaped ? ToShapedQ(Text) : ToQ(Text);
  const QFont& qfont = shaped ? font.shaping_qfont : font.qfont;
  const int baseline = Y + font.metrics.ascent();
  // The common cases, text in a colour, unclipped, at the advances it is measured with:
  // drawn as glyph runs, plain ones made from the font's tables, shaped ones kept from
  // their first drawing, and set up without saving the painter's state (whatever draws
  // next sets the pen and the composition mode it needs).
  int plainWidth = 0;
  const bool plain = !shaped && font.PlainRun(Text, plainWidth);
  const bool shapedRuns =
      shaped && std::none_of(Text.begin(), Text.end(), [](char16_t ch) { return ch == u'\t'; });
  if (Advances.empty() && !Clip && Color != clNone && (plain || shapedRuns)) {
    if (painter->compositionMode() != QPainter::CompositionMode_SourceOver)
      painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Opaque && Canvas.Brush().Style() == bsSolid && Canvas.Brush().Color() != clNone)
      painter->fillRect(
          QRect(X, Y, plain ? plainWidth : Font.TextWidth(Text), font.metrics.height()),
          ToQColor(Canvas.Brush().Color()));
    const QColor colour = ToQColor(Color);
    const QPen& pen = painter->pen();
    if (pen.style() != Qt::SolidLine || pen.color() != colour ||
        pen.brush().style() != Qt::SolidPattern)
      painter->setPen(colour);
    if (plain) {
      font.DrawRun(*painter, QPointF(X, baseline));
    } else {
      const TPreparedFont::Impl::TShapedRuns& runs = font.ShapedRuns(Text, Direction.Line);
      for (const QGlyphRun& run : runs.runs)
        painter->drawGlyphRun(QPointF(X, baseline - runs.ascent), run);
    }
    return;
  }
  // Plain text is spaced out character by character; the shaping font spaces by itself.
  std::vector<int> spaced;
  if (Advances.empty() && font.extra != 0 && !shaped && !Text.empty()) {
    Font.PrefixExtents(Text, spaced);
    for (size_t i = spaced.size(); i-- > 1;) spaced[i] -= spaced[i - 1];
    Advances = spaced;
  }
  painter->save();
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Set whatever the painter took from its device (a widget's own direction).
  painter->setLayoutDirection(ToQDirection(Direction.Line));
  if (Clip) painter->setClipRect(ToQRect(*Clip), Qt::IntersectClip);
  if (Opaque && Canvas.Brush().Style() == bsSolid && Canvas.Brush().Color() != clNone) {
    int width = 0;
    if (Advances.empty())
      width = Font.TextWidth(Text);
    else
      for (int a : Advances) width += a;
    const QRect box = Clip ? ToQRect(*Clip) : QRect(X, Y, width, font.metrics.height());
    painter->fillRect(box, ToQColor(Canvas.Brush().Color()));
  }
  if (Color != clNone) {
    painter->setFont(qfont);
    painter->setPen(ToQColor(Color));
    if (Advances.empty()) {
      painter->drawText(QPoint(X, baseline), text);
    } else if (shaped) {
      const std::vector<double> advances(Advances.begin(), Advances.end());
      DrawShapedTextWithAdvances(*painter, qfont, QPointF(X, baseline), text, advances);
    } else {
      int x = X;
      for (qsizetype i = 0; i < text.size(); ++i) {
        painter->drawText(QPoint(x, baseline), QString(text[i]));
        if (size_t(i) < Advances.size()) x += Advances[size_t(i)];
      }
    }
  }
  painter->restore();
}

void CanvasIntersectClip(TCanvas& Canvas, const TRect& Rect) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter())
    painter->setClipRect(ToQRect(Rect), Qt::IntersectClip);
}

void CanvasMoveOrigin(TCanvas& Canvas, int X, int Y) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter()) painter->translate(X, Y);
}

void CanvasSaveState(TCanvas& Canvas) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter()) painter->save();
}

void CanvasRestoreState(TCanvas& Canvas) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter()) painter->restore();
}

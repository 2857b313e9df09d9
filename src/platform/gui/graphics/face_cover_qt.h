// Leaving out the pictures of a composed layer that nothing of would show: on a map of
// tens of thousands of markers most lie wholly under others, and composing the layer
// anew (a map load, a window uncovered) drew every one of them.
//
// A picture child is left out of a piece of the layer only when every pixel of it that
// shows lies under fully opaque pixels of children above it there; drawn over with
// opaque pixels, what it would have drawn is gone, so the piece comes out the same.
#pragma once

#include <QImage>
#include <QRect>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

// What a picture covers when drawn over others, in its own coordinates: the bounds of
// its pixels that are not clear, and a large rectangle of fully opaque ones (empty when
// there is none).
struct TFaceCover {
  QRect shown;
  QRect opaque;
};

// The cover of an image, worked out from its pixels (TBitmapAccess::Cover keeps a
// bitmap's).
TFaceCover FaceCoverOf(const QImage& Image);

// The pixels of one piece of the layer that are covered so far, from the top child down.
class TCoverMask {
 public:
  explicit TCoverMask(const QRect& Area);
  // Whether every pixel of Rect (inside Area) is covered; an empty Rect is.
  bool Covers(const QRect& Rect) const;
  // Covers the pixels of Rect (the part inside Area).
  void Add(const QRect& Rect);
  // Whether every pixel of Area is covered: nothing beneath shows any more.
  bool Full() const { return uncovered_ == 0; }
  // Calls Take(X, Y) for each pixel of Rect (the part inside Area) that is not covered
  // yet, row by row from the left; those it returns true for become covered.
  template <class TTake>
  void CoverWhere(const QRect& Rect, TTake Take) {
    const QRect r = Rect & area_;
    if (r.isEmpty()) return;
    const int first = r.left() - area_.left();
    const int end = r.right() + 1 - area_.left();
    for (int y = r.top(); y <= r.bottom(); ++y) {
      if (RowFull(y - area_.top())) continue;
      std::uint64_t* row =
          bits_.data() + static_cast<size_t>(y - area_.top()) * static_cast<size_t>(words_per_row_);
      bool added = false;
      for (int word = first / 64; word * 64 < end; ++word) {
        const int from = std::max(first, word * 64) - word * 64;
        const int to = std::min(end, word * 64 + 64) - word * 64;
        const std::uint64_t span = (to == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1) &
                                   ~((std::uint64_t{1} << from) - 1);
        std::uint64_t open = span & ~row[word];
        std::uint64_t taken = 0;
        while (open != 0) {
          const int bit = std::countr_zero(open);
          open &= open - 1;
          if (Take(area_.left() + word * 64 + bit, y)) taken |= std::uint64_t{1} << bit;
        }
        row[word] |= taken;
        uncovered_ -= std::popcount(taken);
        added = added || taken != 0;
      }
      if (added) NoteRow(y - area_.top());
    }
  }

 private:
  // Rows (from Area's top) whose pixels are all covered are marked apart: on a piece
  // nearly covered, asking whether a child's rectangle is looks at few rows.
  bool RowFull(int Row) const {
    return (full_rows_[static_cast<size_t>(Row) / 64] >> (Row % 64) & 1) != 0;
  }
  // Marks Row when it has become full.
  void NoteRow(int Row);

  QRect area_;
  int words_per_row_;
  std::uint64_t last_word_;  // the bits of the last word of a row that lie in Area
  std::vector<std::uint64_t> bits_;
  std::vector<std::uint64_t> full_rows_;
  std::int64_t uncovered_;
};

#include "platform/gui/graphics/face_cover_qt.h"

#include <algorithm>
#include <bit>

namespace {

// The alpha of every pixel of a row, whatever the image's format.
class TAlphaRows {
 public:
  explicit TAlphaRows(const QImage& Image) : image_(Image) {
    if (image_.format() == QImage::Format_Indexed8) {
      for (QRgb entry : image_.colorTable())
        table_.push_back(static_cast<std::uint8_t>(qAlpha(entry)));
      table_.resize(256, 255);
    } else if (image_.format() != QImage::Format_ARGB32 &&
               image_.format() != QImage::Format_ARGB32_Premultiplied) {
      image_ = image_.convertToFormat(QImage::Format_ARGB32);
    }
    row_.resize(static_cast<size_t>(image_.width()));
  }
  const std::vector<std::uint8_t>& Row(int Y) {
    if (!table_.empty()) {
      const uchar* from = image_.constScanLine(Y);
      for (size_t x = 0; x < row_.size(); ++x) row_[x] = table_[from[x]];
    } else {
      const auto* from = reinterpret_cast<const QRgb*>(image_.constScanLine(Y));
      for (size_t x = 0; x < row_.size(); ++x) row_[x] = static_cast<std::uint8_t>(qAlpha(from[x]));
    }
    return row_;
  }

 private:
  QImage image_;
  std::vector<std::uint8_t> table_;
  std::vector<std::uint8_t> row_;
};

}  // namespace

TFaceCover FaceCoverOf(const QImage& Image) {
  if (!Image.hasAlphaChannel()) return {Image.rect(), Image.rect()};
  TAlphaRows alpha(Image);
  const int width = Image.width();
  int left = width, right = -1, top = -1, bottom = -1;
  // The largest opaque rectangle: per row, the opaque run above each column is a bar of
  // a histogram, and the largest rectangle under the bars ends on this row.
  std::vector<int> heights(static_cast<size_t>(width) + 1, 0);
  std::vector<int> stack;
  QRect opaque;
  for (int y = 0; y < Image.height(); ++y) {
    const std::vector<std::uint8_t>& row = alpha.Row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t a = row[static_cast<size_t>(x)];
      heights[static_cast<size_t>(x)] = a == 255 ? heights[static_cast<size_t>(x)] + 1 : 0;
      if (a == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      if (top < 0) top = y;
      bottom = y;
    }
    stack.clear();
    for (int x = 0; x <= width; ++x) {
      const int h = heights[static_cast<size_t>(x)];  // the bar past the end is 0
      while (!stack.empty() && heights[static_cast<size_t>(stack.back())] >= h) {
        const int bar = heights[static_cast<size_t>(stack.back())];
        stack.pop_back();
        const int first = stack.empty() ? 0 : stack.back() + 1;
        if (bar * (x - first) > opaque.width() * opaque.height()) {
          opaque = QRect(first, y - bar + 1, x - first, bar);
        }
      }
      stack.push_back(x);
    }
  }
  if (right < 0) return {};
  return {QRect(QPoint(left, top), QPoint(right, bottom)), opaque};
}

namespace {

// Bits [First, End) of a row of words.
template <class TWordOp>
bool ForBits(int First, int End, TWordOp Op) {
  for (int word = First / 64; word * 64 < End; ++word) {
    const int from = std::max(First, word * 64) - word * 64;
    const int to = std::min(End, word * 64 + 64) - word * 64;
    const std::uint64_t mask = (to == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1) &
                               ~((std::uint64_t{1} << from) - 1);
    if (!Op(static_cast<size_t>(word), mask)) return false;
  }
  return true;
}

}  // namespace

TCoverMask::TCoverMask(const QRect& Area)
    : area_(Area),
      words_per_row_((std::max(0, Area.width()) + 63) / 64),
      last_word_(Area.width() % 64 == 0 ? ~std::uint64_t{0}
                                        : (std::uint64_t{1} << (Area.width() % 64)) - 1),
      bits_(static_cast<size_t>(words_per_row_) * static_cast<size_t>(std::max(0, Area.height())),
            0),
      full_rows_((static_cast<size_t>(std::max(0, Area.height())) + 63) / 64, 0),
      uncovered_(Area.isEmpty() ? 0 : std::int64_t{Area.width()} * Area.height()) {}

void TCoverMask::NoteRow(int Row) {
  const std::uint64_t* row =
      bits_.data() + static_cast<size_t>(Row) * static_cast<size_t>(words_per_row_);
  for (int word = 0; word + 1 < words_per_row_; ++word) {
    if (row[word] != ~std::uint64_t{0}) return;
  }
  if (row[words_per_row_ - 1] != last_word_) return;
  full_rows_[static_cast<size_t>(Row) / 64] |= std::uint64_t{1} << (Row % 64);
}

bool TCoverMask::Covers(const QRect& Rect) const {
  const QRect r = Rect & area_;
  if (r.isEmpty() || uncovered_ == 0) return true;
  const int first = r.left() - area_.left();
  const int end = r.right() + 1 - area_.left();
  // Rows already full need no look at their pixels.
  const bool rowsFull =
      ForBits(r.top() - area_.top(), r.bottom() + 1 - area_.top(),
              [&](size_t word, std::uint64_t mask) { return (full_rows_[word] & mask) == mask; });
  if (rowsFull) return true;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    if (RowFull(y - area_.top())) continue;
    const size_t base = static_cast<size_t>(y - area_.top()) * static_cast<size_t>(words_per_row_);
    const bool full = ForBits(first, end, [&](size_t word, std::uint64_t mask) {
      return (bits_[base + word] & mask) == mask;
    });
    if (!full) return false;
  }
  return true;
}

void TCoverMask::Add(const QRect& Rect) {
  const QRect r = Rect & area_;
  if (r.isEmpty()) return;
  const int first = r.left() - area_.left();
  const int end = r.right() + 1 - area_.left();
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const size_t base = static_cast<size_t>(y - area_.top()) * static_cast<size_t>(words_per_row_);
    ForBits(first, end, [&](size_t word, std::uint64_t mask) {
      uncovered_ -= std::popcount(mask & ~bits_[base + word]);
      bits_[base + word] |= mask;
      return true;
    });
    NoteRow(y - area_.top());
  }
}

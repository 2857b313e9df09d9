#include "platform/gui/graphics/bidi_levels.h"

#include <QChar>
#include <algorithm>
#include <utility>

namespace {

using TDir = QChar::Direction;

// The class of the character starting at unit i; the low half of a pair is set apart as
// a boundary neutral, which takes the level of the unit before it.
TDir ClassAt(std::u16string_view text, size_t i) {
  const char16_t ch = text[i];
  if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1]))
    return QChar::direction(QChar::surrogateToUcs4(ch, text[i + 1]));
  if (QChar::isLowSurrogate(ch) && i > 0 && QChar::isHighSurrogate(text[i - 1]))
    return QChar::DirBN;
  return QChar(ch).direction();
}

bool IsRemoved(TDir d) {
  switch (d) {
    case QChar::DirBN:
    case QChar::DirLRE:
    case QChar::DirRLE:
    case QChar::DirLRO:
    case QChar::DirRLO:
    case QChar::DirPDF:
      return true;
    default:
      return false;
  }
}

bool IsIsolateMark(TDir d) {
  return d == QChar::DirLRI || d == QChar::DirRLI || d == QChar::DirFSI || d == QChar::DirPDI;
}

// Blanks the line rules put back at the paragraph's level.
bool IsTrailingBlank(TDir d) {
  return d == QChar::DirWS || IsIsolateMark(d) || IsRemoved(d);
}

// The strong direction a resolved class stands for beside neutrals: numbers count as
// right to left; none for a neutral.
TDir StrongOf(TDir d) {
  switch (d) {
    case QChar::DirL:
      return QChar::DirL;
    case QChar::DirR:
    case QChar::DirEN:
    case QChar::DirAN:
      return QChar::DirR;
    default:
      return QChar::DirON;
  }
}

// A bracket normalised so that canonically equal ones match.
char16_t Canonical(char16_t ch) {
  if (ch == 0x3008) return 0x2329;
  if (ch == 0x3009) return 0x232A;
  return ch;
}

// The closing bracket an opening one pairs with; 0 for any other character.
char16_t ClosingOf(char16_t ch) {
  const QChar c(ch);
  if (c.category() != QChar::Punctuation_Open || !c.hasMirrored()) return 0;
  return Canonical(c.mirroredChar().unicode());
}

bool IsClosing(char16_t ch) {
  const QChar c(ch);
  return c.category() == QChar::Punctuation_Close && c.hasMirrored();
}

// The rules over one run sequence: the classes of the units that take part (removed
// characters left out), with their units and original classes alongside.
class TRunSequence {
 public:
  TRunSequence(std::u16string_view text, std::vector<TDir> classes, std::vector<size_t> units,
               TDir embedding)
      : text_(text),
        original_(classes),
        t_(std::move(classes)),
        units_(std::move(units)),
        e_(embedding) {}

  std::vector<TDir> Resolve() {
    WeakTypes();
    BracketPairs();
    Neutrals();
    return std::move(t_);
  }

 private:
  void WeakTypes() {
    const size_t n = t_.size();
    // W1: a mark takes the class of what it follows.
    for (size_t k = 0; k < n; ++k)
      if (t_[k] == QChar::DirNSM) t_[k] = k == 0 ? e_ : t_[k - 1];
    // W2, W3: digits after Arabic letters are Arabic numbers; Arabic letters are R.
    TDir strong = e_;
    for (size_t k = 0; k < n; ++k) {
      if (t_[k] == QChar::DirL || t_[k] == QChar::DirR || t_[k] == QChar::DirAL) strong = t_[k];
      if (t_[k] == QChar::DirEN && strong == QChar::DirAL) t_[k] = QChar::DirAN;
    }
    for (TDir& t : t_)
      if (t == QChar::DirAL) t = QChar::DirR;
    // W4: one separator between two numbers of a kind joins them.
    for (size_t k = 1; k + 1 < n; ++k) {
      const TDir a = t_[k - 1], b = t_[k + 1];
      if (t_[k] == QChar::DirES && a == QChar::DirEN && b == QChar::DirEN) t_[k] = QChar::DirEN;
      if (t_[k] == QChar::DirCS && a == b && (a == QChar::DirEN || a == QChar::DirAN)) t_[k] = a;
    }
    // W5: terminators next to a European number belong to it.
    for (size_t k = 0; k < n;) {
      if (t_[k] != QChar::DirET) {
        ++k;
        continue;
      }
      size_t end = k;
      while (end < n && t_[end] == QChar::DirET) ++end;
      if ((k > 0 && t_[k - 1] == QChar::DirEN) || (end < n && t_[end] == QChar::DirEN))
        std::fill(t_.begin() + std::ptrdiff_t(k), t_.begin() + std::ptrdiff_t(end), QChar::DirEN);
      k = end;
    }
    // W6, W7: other separators are neutral; European numbers after L read as L.
    strong = e_;
    for (TDir& t : t_) {
      if (t == QChar::DirES || t == QChar::DirET || t == QChar::DirCS) t = QChar::DirON;
      if (t == QChar::DirL || t == QChar::DirR) strong = t;
      if (t == QChar::DirEN && strong == QChar::DirL) t = QChar::DirL;
    }
  }

  // N0: a pair of brackets takes the direction of what it encloses.
  void BracketPairs() {
    constexpr size_t kMaxDepth = 63;
    std::vector<std::pair<char16_t, size_t>> open;  // closing bracket wanted, position
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t k = 0; k < t_.size(); ++k) {
      if (t_[k] != QChar::DirON) continue;
      const char16_t ch = text_[units_[k]];
      if (const char16_t closing = ClosingOf(ch)) {
        if (open.size() == kMaxDepth) break;
        open.emplace_back(closing, k);
      } else if (IsClosing(ch)) {
        for (size_t s = open.size(); s-- > 0;)
          if (open[s].first == Canonical(ch)) {
            pairs.emplace_back(open[s].second, k);
            open.resize(s);
            break;
          }
      }
    }
    std::sort(pairs.begin(), pairs.end());
    const TDir opposite = e_ == QChar::DirL ? QChar::DirR : QChar::DirL;
    for (const auto& [o, c] : pairs) {
      bool same = false, other = false;
      for (size_t k = o + 1; k < c; ++k) {
        const TDir s = StrongOf(t_[k]);
        same = same || s == e_;
        other = other || s == opposite;
      }
      TDir to = QChar::DirON;
      if (same) {
        to = e_;
      } else if (other) {
        TDir before = e_;
        for (size_t k = o; k-- > 0;)
          if (StrongOf(t_[k]) != QChar::DirON) {
            before = StrongOf(t_[k]);
            break;
          }
        to = before == opposite ? opposite : e_;
      }
      if (to == QChar::DirON) continue;
      for (size_t k : {o, c}) {
        t_[k] = to;
        for (size_t m = k + 1; m < t_.size() && original_[m] == QChar::DirNSM; ++m) t_[m] = to;
      }
    }
  }

  // N1, N2: neutrals between two of one direction take it, others the embedding's.
  void Neutrals() {
    const size_t n = t_.size();
    for (size_t k = 0; k < n;) {
      if (StrongOf(t_[k]) != QChar::DirON) {
        ++k;
        continue;
      }
      size_t end = k;
      while (end < n && StrongOf(t_[end]) == QChar::DirON) ++end;
      const TDir before = k == 0 ? e_ : StrongOf(t_[k - 1]);
      const TDir after = end == n ? e_ : StrongOf(t_[end]);
      std::fill(t_.begin() + std::ptrdiff_t(k), t_.begin() + std::ptrdiff_t(end),
                before == after ? before : e_);
      k = end;
    }
  }

  std::u16string_view text_;
  std::vector<TDir> original_;
  std::vector<TDir> t_;
  std::vector<size_t> units_;
  TDir e_;
};

}  // namespace

TTextDirection FirstStrongDirection(std::u16string_view Text) {
  int isolated = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    switch (ClassAt(Text, i)) {
      case QChar::DirL:
        if (isolated == 0) return TTextDirection::LeftToRight;
        break;
      case QChar::DirR:
      case QChar::DirAL:
        if (isolated == 0) return TTextDirection::RightToLeft;
        break;
      case QChar::DirLRI:
      case QChar::DirRLI:
      case QChar::DirFSI:
        ++isolated;
        break;
      case QChar::DirPDI:
        isolated = std::max(0, isolated - 1);
        break;
      default:
        break;
    }
  }
  return TTextDirection::Auto;
}

namespace {

// Whether a text holds right-to-left letters, marks and neutrals alone: no numbers, no
// left-to-right letter, no embedding. In a right-to-left paragraph every unit of it ends
// at the paragraph's level (marks take the letter's class, neutrals stand between
// right-to-left ends), as the common line of a Hebrew or Arabic paragraph does.
bool IsRightToLeftOnly(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t ch) {
    switch (QChar(ch).direction()) {
      case QChar::DirR:
      case QChar::DirAL:
      case QChar::DirNSM:
      case QChar::DirWS:
      case QChar::DirON:
      case QChar::DirS:
      case QChar::DirB:
      case QChar::DirCS:
      case QChar::DirES:
      case QChar::DirET:
        return true;
      default:
        return false;
    }
  });
}

}  // namespace

void ResolveBiDiLevels(std::u16string_view Text, int ParagraphLevel,
                       std::vector<std::uint8_t>& Levels) {
  const size_t n = Text.size();
  const std::uint8_t paragraph = std::uint8_t(ParagraphLevel & 1);
  Levels.assign(n, paragraph);
  if (paragraph == 1 && IsRightToLeftOnly(Text)) return;
  std::vector<TDir> original(n);
  std::vector<TDir> classes;
  std::vector<size_t> units;
  classes.reserve(n);
  units.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const TDir d = ClassAt(Text, i);
    original[i] = d;
    if (IsRemoved(d)) continue;
    classes.push_back(IsIsolateMark(d) ? QChar::DirON : d);
    units.push_back(i);
  }
  const std::vector<TDir> resolved =
      TRunSequence(Text, std::move(classes), units, paragraph ? QChar::DirR : QChar::DirL)
          .Resolve();
  // I1, I2: the implicit levels.
  for (size_t k = 0; k < resolved.size(); ++k) {
    const TDir t = resolved[k];
    std::uint8_t level = paragraph;
    if (paragraph == 0)
      level += t == QChar::DirR ? 1 : (t == QChar::DirAN || t == QChar::DirEN) ? 2 : 0;
    else
      level += (t == QChar::DirL || t == QChar::DirAN || t == QChar::DirEN) ? 1 : 0;
    Levels[units[k]] = level;
  }
  // Removed characters sit at the level of the unit before them.
  for (size_t i = 1; i < n; ++i)
    if (IsRemoved(original[i])) Levels[i] = Levels[i - 1];
  // L1: tabs, and blanks before a tab or at the line's end, at the paragraph's level.
  bool trailing = true;
  for (size_t i = n; i-- > 0;) {
    const TDir d = original[i];
    if (d == QChar::DirS || d == QChar::DirB) {
      Levels[i] = paragraph;
      trailing = true;
    } else if (trailing && IsTrailingBlank(d)) {
      Levels[i] = paragraph;
    } else {
      trailing = false;
    }
  }
}

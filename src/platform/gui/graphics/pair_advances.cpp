#include "platform/gui/graphics/pair_advances_qt.h"

#include <QFontMetricsF>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gui/graphics/cluster_advances_qt.h"

namespace {

// Fonts whose advances are kept; past them the set starts again.
constexpr size_t kMaxKeptFonts = 16;
// Longer names are measured shaped: a name's places are gathered on the stack.
constexpr size_t kLongestName = 64;

constexpr char16_t CharacterAt(int slot) {
  if (slot < 26) return char16_t(u'A' + slot);
  if (slot < 36) return char16_t(u'0' + slot - 26);
  return slot == 36 ? u'-' : u' ';
}

}  // namespace

int TPairAdvances::Slot(char16_t ch) {
  if (ch >= u'A' && ch <= u'Z') return ch - u'A';
  if (ch >= u'0' && ch <= u'9') return 26 + (ch - u'0');
  if (ch == u'-') return 36;
  return ch == u' ' ? 37 : -1;
}

std::shared_ptr<const TPairAdvances> TPairAdvances::For(const QFont& Font) {
  thread_local std::unordered_map<QString, std::shared_ptr<const TPairAdvances>> kept;
  const QString key = Font.key();
  if (auto found = kept.find(key); found != kept.end()) return found->second;
  if (kept.size() >= kMaxKeptFonts) kept.clear();
  return kept.emplace(key, std::shared_ptr<const TPairAdvances>(new TPairAdvances(Font)))
      .first->second;
}

TPairAdvances::TPairAdvances(const QFont& Font) {
  const QFontMetricsF metrics(Font);
  for (int a = 0; a < kCharacters; ++a)
    advance_[a] = Measured(std::u16string{CharacterAt(a)}, metrics);
  for (int a = 0; a < kCharacters; ++a) {
    for (int b = 0; b < kCharacters; ++b) {
      kerning_[a][b] = Measured(std::u16string{CharacterAt(a), CharacterAt(b)}, metrics) -
                       advance_[a] - advance_[b];
    }
  }
  // Each character a between every other one: "a0a1a...a" holds every pair with a, both
  // ways round, each within three characters.
  by_pairs_ = true;
  std::vector<int> places;
  std::u16string sample;
  for (int a = 0; a < kCharacters && by_pairs_; ++a) {
    places.assign(1, a);
    for (int b = 0; b < kCharacters; ++b) places.insert(places.end(), {b, a});
    sample.clear();
    for (int slot : places) sample += CharacterAt(slot);
    by_pairs_ = Measured(sample, metrics) == Sum(places.data(), places.size());
  }
}

std::int64_t TPairAdvances::Sum(const int* Places, size_t Count) const {
  std::int64_t width = 0;
  for (size_t i = 0; i < Count; ++i) {
    width += advance_[Places[i]];
    if (i > 0) width += kerning_[Places[i - 1]][Places[i]];
  }
  return width;
}

std::optional<int> TPairAdvances::Width(std::u16string_view Text) const {
  if (!by_pairs_ || Text.size() > kLongestName) return std::nullopt;
  int places[kLongestName];
  for (size_t i = 0; i < Text.size(); ++i) {
    places[i] = Slot(Text[i]);
    if (places[i] < 0) return std::nullopt;
  }
  return RoundedWidth(Sum(places, Text.size()));
}

#include "platform/gui/graphics/cluster_advances_qt.h"

#include <QChar>
#include <algorithm>

namespace {

constexpr char16_t kJoiner = 0x200D;  // makes the letters on either side join
constexpr char16_t kLam = 0x0644;
constexpr char16_t kBeh = 0x0628;  // joins on both sides
// Fonts a thread keeps the advances of, and clusters of more than one unit a font keeps;
// past them the set starts again.
constexpr size_t kMaxKeptFonts = 64;
constexpr size_t kMaxKeptClusters = 16384;
// The sample of a check is shaped in parts of about this many units, cut at blanks: each
// part one run, as a text of its length is shaped.
constexpr size_t kSamplePart = 1024;

// Hamza to ghain and feh to yeh: the letters of Arabic proper.
bool IsArabicLetter(char16_t ch) {
  return (ch >= 0x0621 && ch <= 0x063A) || (ch >= 0x0641 && ch <= 0x064A);
}
// Fathatan to sukun: the vowel marks.
bool IsArabicVowel(char16_t ch) {
  return ch >= 0x064B && ch <= 0x0652;
}
bool IsAlef(char16_t ch) {
  return ch == 0x0622 || ch == 0x0623 || ch == 0x0625 || ch == 0x0627;
}
bool IsLatinLetterOrDigit(char16_t ch) {
  return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
}

// What a character's clusters are measured by: never alone, always (a blank, Hebrew: no
// Hebrew letter joins its neighbours or, with kerning off, moves them), or once the
// font's Arabic or Latin letters are known to add up.
enum class TAlone { Never, Always, Arabic, Latin };

TAlone AloneOf(char16_t ch) {
  if (ch == u' ') return TAlone::Always;
  if (IsLatinLetterOrDigit(ch)) return TAlone::Latin;
  if (ch < 0x0590) return TAlone::Never;
  if (IsArabicLetter(ch) || IsArabicVowel(ch)) return TAlone::Arabic;
  return QChar(ch).script() == QChar::Script_Hebrew ? TAlone::Always : TAlone::Never;
}

// Where the cluster starting at `from` ends: a character with the marks after it.
size_t ClusterEnd(std::u16string_view text, size_t from) {
  size_t end = from + 1;
  while (end < text.size() && QChar(text[end]).isMark()) ++end;
  return end;
}

// How the cluster that starts with ch joins; marks alone join nothing. Of the characters
// measured by clusters only Arabic letters join.
QChar::JoiningType JoiningOf(char16_t ch) {
  if (!IsArabicLetter(ch)) return QChar::Joining_None;
  return QChar(ch).joiningType();
}

bool JoinsBefore(QChar::JoiningType type) {
  return type == QChar::Joining_Dual || type == QChar::Joining_Right ||
         type == QChar::Joining_Causing;
}
bool JoinsAfter(QChar::JoiningType type) {
  return type == QChar::Joining_Dual || type == QChar::Joining_Left ||
         type == QChar::Joining_Causing;
}

// The form of a cluster between two others: bit 1 when it joins the one before, bit 0 the
// one after.
int FormOf(QChar::JoiningType before, QChar::JoiningType own, QChar::JoiningType after) {
  return (JoinsBefore(own) && JoinsAfter(before) ? 2 : 0) |
         (JoinsAfter(own) && JoinsBefore(after) ? 1 : 0);
}

// Lam with alef after it (vowels between or not): a ligature.
bool HasLamAlef(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != kLam) continue;
    size_t k = i + 1;
    while (k < text.size() && IsArabicVowel(text[k])) ++k;
    if (k < text.size() && IsAlef(text[k])) return true;
  }
  return false;
}

// Every pair of the letters that join, as a word of its own and between two letters that
// join on both sides, and every vowel on a letter in each form; lam before alef left out.
std::u16string ArabicSample() {
  std::vector<char16_t> letters;
  for (char16_t ch = 0x0621; ch <= 0x064A; ++ch)
    if (IsArabicLetter(ch)) letters.push_back(ch);
  std::u16string sample;
  for (char16_t a : letters)
    for (char16_t b : letters) {
      if (a == kLam && IsAlef(b)) continue;
      sample += {a, b, u' ', kBeh, a, b, kBeh, u' '};
    }
  for (char16_t v = 0x064B; v <= 0x0652; ++v) sample += {kBeh, v, u' ', kBeh, kBeh, v, kBeh, u' '};
  return sample;
}

// Every pair of Latin letters and digits.
std::u16string LatinSample() {
  std::u16string letters;
  for (char16_t ch = u'0'; ch <= u'z'; ++ch)
    if (IsLatinLetterOrDigit(ch)) letters += ch;
  std::u16string sample;
  for (char16_t a : letters)
    for (char16_t b : letters) sample += {a, b, u' '};
  return sample;
}

QString ToQ(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

int RoundedWidth(std::int64_t Units) {
  return int((Units + 32) >> 6);
}

std::int32_t Measured(std::u16string_view Text, const QFontMetricsF& Metrics) {
  return std::int32_t(qRound(Metrics.horizontalAdvance(ToQ(Text)) * 64));
}

std::shared_ptr<TClusterAdvances> TClusterAdvances::For(const QString& FontKey) {
  thread_local std::unordered_map<std::u16string, std::shared_ptr<TClusterAdvances>> kept;
  const std::u16string key = FontKey.toStdU16String();
  if (auto found = kept.find(key); found != kept.end()) return found->second;
  if (kept.size() >= kMaxKeptFonts) kept.clear();
  return kept.emplace(key, std::make_shared<TClusterAdvances>()).first->second;
}

bool TClusterAdvances::ByClusters(std::u16string_view Text, const QFontMetricsF& Metrics) {
  bool arabic = false, latin = false;
  // Latin letters and digits are checked among themselves: a word that mixes them with
  // right-to-left letters or marks is shaped whole.
  bool wordLatin = false, wordOther = false;
  for (char16_t ch : Text) {
    const TAlone alone = AloneOf(ch);
    if (alone == TAlone::Never) return false;
    if (ch == u' ') {
      wordLatin = wordOther = false;
      continue;
    }
    (alone == TAlone::Latin ? wordLatin : wordOther) = true;
    if (wordLatin && wordOther) return false;
    arabic = arabic || alone == TAlone::Arabic;
    latin = latin || alone == TAlone::Latin;
  }
  if (arabic && (HasLamAlef(Text) || !Agrees(arabic_, ArabicSample, Metrics))) return false;
  return !latin || Agrees(latin_, LatinSample, Metrics);
}

std::int32_t TClusterAdvances::Advance(std::u16string_view Cluster, int Form,
                                       const QFontMetricsF& Metrics) {
  const auto measure = [&] {
    std::u16string shown;
    if (Form & 2) shown += kJoiner;
    shown += Cluster;
    if (Form & 1) shown += kJoiner;
    return Measured(shown, Metrics);
  };
  if (Cluster.size() > 1) {
    key_.assign(1, char16_t(u'0' + Form));
    key_ += Cluster;
    if (auto found = clusters_.find(key_); found != clusters_.end()) return found->second;
    if (clusters_.size() >= kMaxKeptClusters) clusters_.clear();
    return clusters_.emplace(key_, measure()).first->second;
  }
  auto& page = pages_[Cluster[0] >> 8];
  if (!page) {
    page = std::make_unique<std::array<std::array<std::int32_t, 4>, 256>>();
    for (auto& forms : *page) forms.fill(-1);
  }
  std::int32_t& advance = (*page)[Cluster[0] & 0xFF][size_t(Form)];
  if (advance < 0) advance = measure();
  return advance;
}

int TClusterAdvances::Width(std::u16string_view Text, const QFontMetricsF& Metrics) {
  return RoundedWidth(Sum(Text, Metrics));
}

std::int64_t TClusterAdvances::Sum(std::u16string_view Text, const QFontMetricsF& Metrics) {
  std::int64_t width = 0;
  QChar::JoiningType before = QChar::Joining_None;
  for (size_t from = 0, end = 0; from < Text.size(); from = end) {
    end = ClusterEnd(Text, from);
    const QChar::JoiningType own = JoiningOf(Text[from]);
    const QChar::JoiningType after = end < Text.size() ? JoiningOf(Text[end]) : QChar::Joining_None;
    width += Advance(Text.substr(from, end - from), FormOf(before, own, after), Metrics);
    before = own;
  }
  return width;
}

void TClusterAdvances::PrefixWidths(std::u16string_view Text, const QFontMetricsF& Metrics,
                                    std::vector<int>& Out) {
  std::int64_t width = 0;  // the clusters before the current one, in their forms
  QChar::JoiningType before = QChar::Joining_None;
  for (size_t from = 0, end = 0; from < Text.size(); from = end) {
    end = ClusterEnd(Text, from);
    const QChar::JoiningType own = JoiningOf(Text[from]);
    const QChar::JoiningType after = end < Text.size() ? JoiningOf(Text[end]) : QChar::Joining_None;
    // A prefix that ends within or with this cluster ends the text there.
    const int last = FormOf(before, own, QChar::Joining_None);
    for (size_t i = from; i < end; ++i)
      Out[i] = RoundedWidth(width + Advance(Text.substr(from, i + 1 - from), last, Metrics));
    width += Advance(Text.substr(from, end - from), FormOf(before, own, after), Metrics);
    before = own;
  }
}

bool TClusterAdvances::Agrees(TCheck& Check, std::u16string (*MakeSample)(),
                              const QFontMetricsF& Metrics) {
  if (Check == TCheck::Unknown) {
    const std::u16string sample = MakeSample();
    std::int64_t shaped = 0, added = 0;
    for (size_t from = 0; from < sample.size();) {
      size_t end = std::min(sample.size(), from + kSamplePart);
      while (end < sample.size() && sample[end - 1] != u' ') ++end;
      const std::u16string_view part = std::u16string_view(sample).substr(from, end - from);
      shaped += Measured(part, Metrics);
      added += Sum(part, Metrics);
      from = end;
    }
    Check = shaped == added ? TCheck::Agrees : TCheck::Differs;
  }
  return Check == TCheck::Agrees;
}

// Platform-internal: texts measured cluster by cluster. A text of Hebrew letters and
// points, of Arabic letters and vowels, of Latin letters and digits, and blanks is as wide
// as its clusters (a letter with the marks on it), each shaped alone in the form its
// neighbours give it (Arabic letters join: initial, medial, final or isolated), add up
// to: a paragraph of a thousand distinct words costs a few hundred shapings, not a
// thousand. What a font's clusters measure is a fact of the font, kept for every layout
// that prepares the font again (a new window does).
//
// That a text adds up so is checked once a thread for each font, for the joining and the
// Latin letters: a sample of every pair of them, shaped whole, must be as wide as its
// clusters add up to (a font whose letters take contextual forms or ligate, as a Naskh
// face's do, is measured word by word). Lam and alef make a ligature in every Arabic
// face: a text that holds the pair is shaped whole, and so is a word that mixes Latin
// letters or digits with right-to-left ones (the shaper takes them as one run).
//
// Example: in DejaVu Sans the word U+0628 U+0627 is beh in its initial form and alef in
// its final form, each measured once for the font between zero-width joiners.
#pragma once

#include <QFontMetricsF>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Text shaped whole by Metrics: its width in 1/64 pixel, as Qt sums advances.
std::int32_t Measured(std::u16string_view Text, const QFontMetricsF& Metrics);
// A width in 1/64 pixel rounded to pixels as Qt rounds a text's width.
int RoundedWidth(std::int64_t Units);

class TClusterAdvances {
 public:
  // The advances kept for the font whose key is FontKey (QFont::key of the shaping font),
  // one set a thread.
  static std::shared_ptr<TClusterAdvances> For(const QString& FontKey);

  // Whether Text is measured cluster by cluster in the font Metrics measures with.
  bool ByClusters(std::u16string_view Text, const QFontMetricsF& Metrics);
  // The width of Text in pixels: its clusters' advances summed, rounded as Qt rounds a
  // text's width.
  int Width(std::u16string_view Text, const QFontMetricsF& Metrics);
  // Out[i]: the width of the first i + 1 units in pixels, each prefix as the text that
  // ends there (its last cluster, or the part of it, in the form of a text's last).
  void PrefixWidths(std::u16string_view Text, const QFontMetricsF& Metrics, std::vector<int>& Out);

 private:
  enum class TCheck : std::uint8_t { Unknown, Agrees, Differs };
  struct TKeyHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view key) const {
      return std::hash<std::u16string_view>{}(key);
    }
  };

  // The advance of a cluster in a form (bit 1: it joins the cluster before it, bit 0: the
  // one after it), in 1/64 pixel, measured when first asked.
  std::int32_t Advance(std::u16string_view Cluster, int Form, const QFontMetricsF& Metrics);
  // The clusters' advances of Text summed, in 1/64 pixel.
  std::int64_t Sum(std::u16string_view Text, const QFontMetricsF& Metrics);
  // Whether the letters that take forms (Arabic) or may ligate (Latin) add up in this
  // font; asked once, on the first text that holds them.
  bool Agrees(TCheck& Check, std::u16string (*MakeSample)(), const QFontMetricsF& Metrics);

  // Single-unit clusters by their page of 256, each page filled on first use (-1: not
  // measured): the advance in each form.
  std::array<std::unique_ptr<std::array<std::array<std::int32_t, 4>, 256>>, 256> pages_;
  // Longer clusters by their form (one unit) and their text.
  std::unordered_map<std::u16string, std::int32_t, TKeyHash, std::equal_to<>> clusters_;
  std::u16string key_;  // for a lookup in clusters_, kept for its room
  TCheck arabic_ = TCheck::Unknown;
  TCheck latin_ = TCheck::Unknown;
};

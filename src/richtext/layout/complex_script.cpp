#include "richtext/layout/complex_script.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "richtext/base/code_pages.h"

namespace {

constexpr int kPlacementTolerance = 2;

bool Place(TRDCanvas& canvas, std::string_view s, TRDItemOptions options, unsigned flags,
           TRDCharacterPlacement& placement) {
  if (IsUnicodeItem(options))
    return canvas.GetCharacterPlacementW(RawUnicodeToWideString(s), flags, placement);
  return canvas.GetCharacterPlacementA(s, flags, placement);
}

}  // namespace

bool InitCharPlacementResults(TRDCanvas& canvas, std::string_view s, TRDItemOptions options,
                              int width, TRDCharacterPlacement& placement,
                              std::vector<int>& displayMap) {
  const int n = GetItemTextLength(s, options);
  int reportedWidth = 0, reportedHeight = 0;
  bool measured = false;
  if (IsUnicodeItem(options) || canvas.FontHasLigatures()) {
    TRDCharacterPlacement ligated;
    if (Place(canvas, s, options, GCP_REORDER_GLYPHSHAPE_LIGATE_DIACRITIC, ligated)) {
      reportedWidth = ligated.Width;
      reportedHeight = ligated.Height;
      measured = true;
    }
  }
  if (!Place(canvas, s, options, GCP_REORDER_GLYPHSHAPE_DIACRITIC, placement)) return false;
  if (!measured) {
    reportedWidth = placement.Width;
    reportedHeight = placement.Height;
  }
  // The size is reported as two 16-bit halves.
  if (std::abs(int(std::int16_t(reportedWidth)) - width) >= kPlacementTolerance ||
      std::int16_t(reportedHeight) <= 0)
    return false;
  // A placement that does not cover every character is of no use.
  if (int(placement.Order.size()) < n || int(placement.Dx.size()) < n) return false;
  displayMap.assign(size_t(n), -1);
  for (int k = 0; k < n; ++k)
    if (placement.Order[size_t(k)] >= 0 && placement.Order[size_t(k)] < n)
      displayMap[size_t(placement.Order[size_t(k)])] = k;
  return true;
}

bool IsReorderedText(TRDCanvas& canvas, std::string_view s, TRDItemOptions options) {
  TRDCharacterPlacement placement;
  return Place(canvas, s, options, GCP_REORDER_GLYPHSHAPE_DIACRITIC, placement) &&
         std::find(placement.Class.begin(), placement.Class.end(), GCPCLASS_RIGHTTOLEFT) !=
             placement.Class.end();
}

bool GetCharacterPositions(TRDCanvas& canvas, std::string_view s, std::vector<int>& positions,
                           TRDItemOptions options, int width) {
  const int n = GetItemTextLength(s, options);
  positions.assign(size_t(n) + 1, -1);
  TRDCharacterPlacement placement;
  std::vector<int> map;
  if (!InitCharPlacementResults(canvas, s, options, width, placement, map)) return false;
  bool passedOver = false;
  int x = 0;
  for (int i = 0; i < n; ++i) {
    const int j = map[size_t(i)];
    if (j < 0) {
      passedOver = true;
      continue;
    }
    int w = placement.Dx[size_t(i)];
    if (IsUnicodeItem(options) && IsZeroWidthChar(RawUnicodeAt(s, size_t(j)))) w = 0;
    const bool rightToLeft =
        size_t(j) < placement.Class.size() && placement.Class[size_t(j)] == GCPCLASS_RIGHTTOLEFT;
    if (rightToLeft) {
      positions[size_t(j) + 1] = x;
      if (j == 0) positions[0] = x + w;
    } else {
      positions[size_t(j) + 1] = x + w + 1;
      if (j == 0) positions[0] = x;
    }
    x += w;
  }
  if (passedOver) {
    if (positions[0] == -1) positions[0] = 0;
    for (size_t k = 1; k < positions.size(); ++k)
      if (positions[k] == -1) positions[k] = positions[k - 1];
  }
  return true;
}

bool GetReorderedSelectionBounds(TRDCanvas& canvas, std::string_view s, int offs, int count,
                                 TRDItemOptions options, int width, int& left, int& right) {
  std::vector<int> positions;
  if (!GetCharacterPositions(canvas, s, positions, options, width)) return false;
  const int first = offs - 1, last = offs - 1 + count;
  if (first < 0 || last < 0 || size_t(first) >= positions.size() ||
      size_t(last) >= positions.size())
    return false;
  left = positions[size_t(first)];
  right = positions[size_t(last)];
  if (right < left) std::swap(left, right);
  return true;
}

bool GetCharacterCellBounds(TRDCanvas& canvas, std::string_view s, int offs, int count,
                            TRDItemOptions options, int width, int& left, int& right) {
  TRDCharacterPlacement placement;
  std::vector<int> map;
  if (!InitCharPlacementResults(canvas, s, options, width, placement, map)) return false;
  int x = 0, from = INT_MAX, to = INT_MIN;
  for (size_t i = 0; i < map.size(); ++i) {
    if (map[i] >= offs - 1 && map[i] < offs - 1 + count) {
      from = std::min(from, x);
      to = std::max(to, x + placement.Dx[i]);
    }
    x += placement.Dx[i];
  }
  if (from > to) return false;
  left = from;
  right = to;
  return true;
}

bool DrawReorderedText(int x, int y, int width, int height, std::string_view s, TRDCanvas& canvas,
                       int from, int to, TRDItemOptions options) {
  TRDCharacterPlacement placement;
  std::vector<int> map;
  if (!InitCharPlacementResults(canvas, s, options, width, placement, map)) return false;
  const int n = int(map.size());
  from = std::max(from, 1);
  to = std::min(to, n);
  if (to - from + 1 <= 0) return true;
  std::vector<bool> pending(size_t(n), false);
  for (int c = from; c <= to; ++c) pending[size_t(c - 1)] = true;
  const std::u16string wide = IsUnicodeItem(options) ? RawUnicodeToWideString(s) : std::u16string();
  for (;;) {
    bool progressed = false;
    int passed = 0;
    for (int i = 0; i < n; ++i) {
      const int c = map[size_t(i)];
      if (c < 0 || !pending[size_t(c)]) {
        passed += placement.Dx[size_t(i)];
        continue;
      }
      // A run: characters c, c + 1 ... standing at the display positions i, i + 1 ...
      int runWidth = 0;
      int k = 0;
      while (i + k < n && map[size_t(i + k)] == c + k && c + k <= to - 1 &&
             pending[size_t(c + k)]) {
        pending[size_t(c + k)] = false;
        runWidth += placement.Dx[size_t(i + k)];
        ++k;
      }
      const TRect clip{x + passed, y, x + passed + runWidth, y + height};
      if (IsUnicodeItem(options))
        canvas.ExtTextOutW(x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, wide, {});
      else
        canvas.ExtTextOutA(x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, s, {});
      progressed = true;
      break;
    }
    if (!progressed || std::none_of(pending.begin(), pending.end(), [](bool p) { return p; }))
      break;
  }
  return true;
}

bool DrawReorderedTextIfNeeded(int x, int y, int width, int height, std::string_view s,
                               TRDCanvas& canvas, int from, int to, TRDItemOptions options,
                               bool reordered) {
  return reordered && DrawReorderedText(x, y, width, height, s, canvas, from, to, options);
}

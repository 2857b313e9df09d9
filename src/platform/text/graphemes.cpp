#include "platform/text/graphemes.h"

#include <QTextBoundaryFinder>

std::vector<size_t> CharacterStarts(std::u16string_view Text) {
  std::vector<size_t> starts;
  if (Text.empty()) return starts;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme,
                             reinterpret_cast<const QChar*>(Text.data()), qsizetype(Text.size()));
  for (qsizetype at = 0; at >= 0 && size_t(at) < Text.size(); at = finder.toNextBoundary())
    starts.push_back(size_t(at));
  return starts;
}

#include "core/digi_path.h"

std::string NormalizeDigiPath(std::string_view Path) {
  while (!Path.empty() && static_cast<unsigned char>(Path.front()) <= ' ') Path.remove_prefix(1);
  while (!Path.empty() && static_cast<unsigned char>(Path.back()) <= ' ') Path.remove_suffix(1);
  std::string normal;
  normal.reserve(Path.size());
  for (char c : Path) {
    if (c == ' ') c = ',';
    if (c == ',' && !normal.empty() && normal.back() == ',') continue;
    normal += c;
  }
  return normal;
}

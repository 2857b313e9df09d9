#include "platform/text/local_texts.h"

#include <mutex>
#include <string_view>
#include <utility>

namespace {

std::mutex texts_lock;
std::map<std::string, std::string> local_texts;

// The conversions of Text's "%" directives in order ("%0.3d %s" gives "ds"); "%%" is a
// per-cent sign, no directive.
std::string Directives(const std::string& Text) {
  std::string conversions;
  for (size_t n = 0; n < Text.size(); ++n) {
    if (Text[n] != '%') continue;
    size_t at = n + 1;
    while (at < Text.size() && std::string_view("-0123456789.").find(Text[at]) != std::string::npos)
      ++at;
    if (at >= Text.size()) break;
    if (Text[at] != '%') conversions += Text[at];
    n = at;
  }
  return conversions;
}

}  // namespace

std::string LocalText(const std::string& Text) {
  const std::lock_guard<std::mutex> lock(texts_lock);
  const auto found = local_texts.find(Text);
  return found == local_texts.end() ? Text : found->second;
}

void SetLocalTexts(const std::map<std::string, std::string>& Texts) {
  std::map<std::string, std::string> usable;
  for (const auto& [key, wording] : Texts)
    if (Directives(key) == Directives(wording)) usable.emplace(key, wording);
  const std::lock_guard<std::mutex> lock(texts_lock);
  local_texts = std::move(usable);
}

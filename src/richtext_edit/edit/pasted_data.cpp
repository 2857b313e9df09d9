#include "richtext_edit/edit/pasted_data.h"

#include "platform/gui/controls/file_group_descriptor.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

bool StartsWithNoCase(const std::string& s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

}  // namespace

bool RichDocBlockDocument(const std::string& block, std::string& document) {
  document.clear();
  if (block.size() < 4) return false;
  const std::uint32_t length =
      std::uint32_t(std::uint8_t(block[0])) | std::uint32_t(std::uint8_t(block[1])) << 8 |
      std::uint32_t(std::uint8_t(block[2])) << 16 | std::uint32_t(std::uint8_t(block[3])) << 24;
  if (length > block.size() - 4) return false;
  document.assign(block, 4, length);
  return true;
}

std::string HtmlSourceBasePath(const std::string& html) {
  static const std::string kKey = "SourceURL:";
  const std::size_t key = html.find(kKey);
  if (key == std::string::npos) return {};
  const std::size_t start = key + kKey.size();
  const std::size_t end = html.find_first_of(std::string("\0\n\r", 3), start);
  std::string url = html.substr(start, end == std::string::npos ? std::string::npos : end - start);
  // The header's text is UTF-8 already, as file names are here.
  if (StartsWithNoCase(url, "file://")) url.erase(0, 7);
  const std::size_t slash = url.rfind('/');
  if (slash == std::string::npos) return {};
  url.erase(slash + 1);
  return url;
}

std::vector<std::string> DroppedLinks(const std::string& uriList) {
  std::vector<std::string> links;
  std::size_t pos = 0;
  while (pos < uriList.size()) {
    std::size_t end = uriList.find('\n', pos);
    if (end == std::string::npos) end = uriList.size();
    std::size_t first = pos, last = end;
    while (first < last && std::isspace(static_cast<unsigned char>(uriList[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(uriList[last - 1]))) --last;
    const std::string line = uriList.substr(first, last - first);
    pos = end + 1;
    if (line.empty() || line[0] == '#' || StartsWithNoCase(line, "file:")) continue;
    if (line.find('\0') != std::string::npos) continue;
    links.push_back(line);
  }
  return links;
}

std::string UTF8ToRawUnicode(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  auto unit = [&out](char32_t u) {
    out.push_back(char(u & 0xFF));
    out.push_back(char((u >> 8) & 0xFF));
  };
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = lead < 0x80                   ? 0
                : lead >= 0xC2 && lead < 0xE0 ? 1
                : lead >= 0xE0 && lead < 0xF0 ? 2
                : lead >= 0xF0 && lead < 0xF5 ? 3
                                              : -1;
    char32_t cp = extra == 0   ? lead
                  : extra == 1 ? lead & 0x1F
                  : extra == 2 ? lead & 0x0F
                               : lead & 0x07;
    std::size_t used = 1;
    for (int k = 0; k < extra; ++k, ++used) {
      if (i + used >= utf8.size() || (static_cast<unsigned char>(utf8[i + used]) & 0xC0) != 0x80) {
        extra = -1;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + used]) & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are malformed too.
    if (extra < 0 || (extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
      unit(0xFFFD);
      i += extra < 0 ? std::max<std::size_t>(used, 1) : used;
      continue;
    }
    if (cp >= 0x10000) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
    i += used;
  }
  return out;
}

std::string DroppedLinkText(const std::string& link, const std::string& descriptor) {
  std::vector<std::string> names;
  if (!DecodeFileGroupDescriptor(descriptor, names) || names.empty() || names[0].size() < 5)
    return link;
  std::string name = std::move(names[0]);
  name.resize(name.size() - 4);
  return name;
}

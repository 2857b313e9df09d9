#include "richtext/base/item_text.h"

#include <algorithm>

#include "richtext/base/rich_doc_error.h"

namespace {

int CharSize(TRDItemOptions options) {
  return IsUnicodeItem(options) ? 2 : 1;
}

// Byte range [first, first + length) of characters index .. index + count - 1, cut to s.
void ByteRange(std::string_view s, int index, int count, TRDItemOptions options, size_t& first,
               size_t& length) {
  const long long size = CharSize(options);
  long long start = (std::max(index, 1) - 1LL) * size;
  long long end = (index - 1LL + std::max(count, 0)) * size;
  const long long total = (long long)(s.size()) / size * size;
  start = std::min(start, total);
  end = std::clamp(end, start, total);
  first = size_t(start);
  length = size_t(end - start);
}

}  // namespace

void CheckUnicodeByteLength(size_t byteLength) {
  if (byteLength % 2 != 0) throw ERichDocError("Can't perform Unicode operation");
}

int GetItemTextLength(std::string_view s, TRDItemOptions options) {
  return int(s.size() / size_t(CharSize(options)));
}

std::string CopyItemText(std::string_view s, int index, int count, TRDItemOptions options) {
  size_t first, length;
  ByteRange(s, index, count, options, first, length);
  return std::string(s.substr(first, length));
}

void DeleteItemText(std::string& s, int index, int count, TRDItemOptions options) {
  size_t first, length;
  ByteRange(s, index, count, options, first, length);
  s.erase(first, length);
}

void InsertItemText(std::string_view sub, std::string& s, int index, TRDItemOptions options) {
  size_t first, length;
  ByteRange(s, index, 0, options, first, length);
  s.insert(first, sub);
}

bool IsItemTextSpace(std::string_view s, int index, TRDItemOptions options) {
  if (index < 1 || index > GetItemTextLength(s, options)) return false;
  if (!IsUnicodeItem(options)) return s[size_t(index - 1)] == ' ';
  size_t byte = size_t(index - 1) * 2;
  return s[byte] == ' ' && s[byte + 1] == '\0';
}

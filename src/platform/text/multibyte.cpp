#include "platform/text/multibyte.h"

#include <errno.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

const char* IconvName(int codePage) {
  switch (codePage) {
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "CP950";
    case 1361:
      return "JOHAB";
    default:
      return nullptr;
  }
}

// One open converter per code page, direction and thread: opening one costs far more
// than converting a short text, and a converter keeps state, so threads may not share it.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd_;
  }

 private:
  iconv_t cd_;
};

constexpr int kPages = 5;
int PageIndex(int codePage) {
  switch (codePage) {
    case 932:
      return 0;
    case 936:
      return 1;
    case 949:
      return 2;
    case 950:
      return 3;
    default:
      return 4;
  }
}

Converter& Decoder(int codePage) {
  thread_local std::array<std::unique_ptr<Converter>, kPages> decoders;
  auto& slot = decoders[size_t(PageIndex(codePage))];
  if (!slot) slot = std::make_unique<Converter>("UTF-16LE", IconvName(codePage));
  return *slot;
}

Converter& Encoder(int codePage) {
  thread_local std::array<std::unique_ptr<Converter>, kPages> encoders;
  auto& slot = encoders[size_t(PageIndex(codePage))];
  if (!slot) slot = std::make_unique<Converter>(IconvName(codePage), "UTF-16LE");
  return *slot;
}

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

bool IsMultiByteCodePage(int codePage) {
  return IconvName(codePage) != nullptr;
}

std::u16string MultiByteToUtf16(int codePage, std::string_view text) {
  std::u16string out;
  if (!IsMultiByteCodePage(codePage) || text.empty()) return out;
  Converter& converter = Decoder(codePage);
  if (!converter.ok()) return out;
  iconv_t cd = converter.get();
  // Every byte gives at most one UTF-16 unit.
  std::u16string buffer(text.size(), u'\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* outPtr = reinterpret_cast<char*>(buffer.data());
  size_t outLeft = buffer.size() * sizeof(char16_t);
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1)) break;
    if (errno == E2BIG) break;  // cannot happen: the buffer is large enough
    // EILSEQ or EINVAL (a lead byte at the end): one replacement, then on from the next
    // byte, so that a damaged character never swallows the text after it.
    const char16_t replacement = 0xFFFD;
    std::memcpy(outPtr, &replacement, sizeof replacement);
    outPtr += sizeof replacement;
    outLeft -= sizeof replacement;
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  buffer.resize(buffer.size() - outLeft / sizeof(char16_t));
  return buffer;
}

std::string Utf16ToMultiByte(int codePage, std::u16string_view text) {
  std::string out;
  if (!IsMultiByteCodePage(codePage) || text.empty()) return out;
  Converter& converter = Encoder(codePage);
  if (!converter.ok()) return out;
  iconv_t cd = converter.get();
  // A character takes at most two bytes in these pages; '?' for a pair is one.
  std::string buffer(text.size() * 2, '\0');
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  size_t inLeft = text.size() * sizeof(char16_t);
  char* outPtr = buffer.data();
  size_t outLeft = buffer.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1)) break;
    if (errno == E2BIG) break;
    // A character the page lacks, or a lone surrogate: '?' for the whole character.
    char16_t unit;
    std::memcpy(&unit, in, sizeof unit);
    size_t skip = sizeof(char16_t);
    if (IsHighSurrogate(unit) && inLeft >= 2 * sizeof(char16_t)) {
      char16_t next;
      std::memcpy(&next, in + sizeof unit, sizeof next);
      if (IsLowSurrogate(next)) skip *= 2;
    }
    *outPtr++ = '?';
    --outLeft;
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  buffer.resize(buffer.size() - outLeft);
  return buffer;
}

#include "platform/text/code_pages.h"

#include <cstdint>

#include "platform/text/code_page_tables.h"
#include "platform/text/multibyte.h"

namespace {

constexpr int kOemCodePage = 437;
constexpr int kMacCodePage = 10000;

}  // namespace

int CharsetToCodePage(int charset) {
  switch (charset) {
    case ANSI_CHARSET:
      return 1252;
    case SHIFTJIS_CHARSET:
      return 932;
    case HANGEUL_CHARSET:
      return 949;
    case JOHAB_CHARSET:
      return 1361;
    case GB2312_CHARSET:
      return 936;
    case CHINESEBIG5_CHARSET:
      return 950;
    case GREEK_CHARSET:
      return 1253;
    case TURKISH_CHARSET:
      return 1254;
    case VIETNAMESE_CHARSET:
      return 1258;
    case HEBREW_CHARSET:
      return 1255;
    case ARABIC_CHARSET:
      return 1256;
    case BALTIC_CHARSET:
      return 1257;
    case RUSSIAN_CHARSET:
      return 1251;
    case THAI_CHARSET:
      return 874;
    case EASTEUROPE_CHARSET:
      return 1250;
    case MAC_CHARSET:
      return CP_MACCP;
    case OEM_CHARSET:
      return CP_OEMCP;
    default:
      return CP_ACP;
  }
}

int ResolveCodePage(int codePage) {
  switch (codePage) {
    case CP_ACP:
      return kSystemCodePage;
    case CP_OEMCP:
      return kOemCodePage;
    case CP_MACCP:
      return kMacCodePage;
    default:
      return SingleByteCodePageTable(codePage) || IsMultiByteCodePage(codePage) ? codePage
                                                                                : kSystemCodePage;
  }
}

const char16_t* UpperHalfOfCodePage(int codePage) {
  switch (codePage) {
    case CP_ACP:
      return SingleByteCodePageTable(kSystemCodePage);
    case CP_OEMCP:
      return SingleByteCodePageTable(kOemCodePage);
    case CP_MACCP:
      return SingleByteCodePageTable(kMacCodePage);
    default:
      return SingleByteCodePageTable(codePage);
  }
}

std::u16string CodePageToUtf16(int codePage, std::string_view text) {
  if (IsMultiByteCodePage(codePage)) return MultiByteToUtf16(codePage, text);
  const char16_t* table = UpperHalfOfCodePage(codePage);
  if (!table) table = UpperHalfOfCodePage(CP_ACP);
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t b = std::uint8_t(text[i]);
    out[i] = b < 0x80 ? char16_t(b) : table[b - 0x80];
  }
  return out;
}

#include "richtext/model/rtf_save_context.h"

#include <algorithm>
#include <cmath>

#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"

int TRDRTFFontTable::Find(const std::string& fontName, int charset) const {
  for (int i = 0; i < Count(); ++i) {
    const TRDRTFFontTableItem& item = *Get(i);
    if (item.Charset == charset && AnsiCompareText(item.FontName, fontName) == 0) return i;
  }
  return -1;
}

int TRDRTFFontTable::AddUnique(const std::string& fontName, int charset) {
  const int index = Find(fontName, charset);
  if (index >= 0) return index;
  auto item = std::make_unique<TRDRTFFontTableItem>();
  item->FontName = fontName;
  item->Charset = charset;
  return Add(std::move(item));
}

int TRDRTFSaveContext::Twips(int pixels) const {
  return int(std::lround(pixels * TwipsPerPixel));
}

int TRDRTFSaveContext::FileCharset(int charset) const {
  if (charset == SYMBOL_CHARSET) return charset;
  return CodePageToCharset(charset == DEFAULT_CHARSET ? DefCodePage : CharsetToCodePage(charset));
}

int TRDRTFSaveContext::ColorIndex(TColor color) const {
  return std::max(ColorList.IndexOfColor(color), 0);
}

int TRDRTFSaveContext::ListOverrideFor(const TCustomRDItemInfo& marker, int listNo) const {
  if (auto it = RestartOverrideNo.find(&marker); it != RestartOverrideNo.end()) return it->second;
  if (listNo >= 0 && size_t(listNo) < ListOverrideNo.size()) return ListOverrideNo[size_t(listNo)];
  return 0;
}

int RTFListLevelCodePage(const TRDListLevel& level, const TRDStyle& rdStyle) {
  const int charset = level.ShownFont().Charset;
  if (charset != DEFAULT_CHARSET) return CharsetToCodePage(charset);
  return rdStyle.DefCodePage == CP_ACP ? kSystemCodePage : rdStyle.DefCodePage;
}

std::string RTFFontProperties(const TRDFont& font, const TRDRTFSaveContext& context) {
  std::string out =
      "\\f" + std::to_string(std::max(
                  context.FontTable.Find(font.Name, context.FileCharset(font.Charset)), 0));
  if (font.Style & fsBold) out += "\\b";
  if (font.Style & fsItalic) out += "\\i";
  if (font.Style & fsUnderline) out += "\\ul";
  if (font.Style & fsStrikeOut) out += "\\strike";
  out += "\\fs" + std::to_string(font.Size() * 2);
  if (font.Color != clWindowText) out += "\\cf" + std::to_string(context.ColorIndex(font.Color));
  return out + " ";
}

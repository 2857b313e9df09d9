#include "richtext_edit/rtf/rtf_document_tables.h"

#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"

TRDRTFFont& TRDRTFFontList::Add(int number) {
  by_number_.Added(number, Count());
  fonts_.emplace_back();
  fonts_.back().Number = number;
  return fonts_.back();
}

void TRDRTFFontList::CutCharsetSuffixes() {
  struct Suffix {
    int charset;
    const char* text;
  };
  static constexpr Suffix kSuffixes[] = {{RUSSIAN_CHARSET, " cyr"},
                                         {EASTEUROPE_CHARSET, " ce"},
                                         {GREEK_CHARSET, " greek"},
                                         {TURKISH_CHARSET, " tur"},
                                         {BALTIC_CHARSET, " baltic"}};
  for (auto& font : fonts_) {
    for (const auto& suffix : kSuffixes) {
      const std::string_view text = suffix.text;
      if (font.Charset != suffix.charset || font.Name.size() < text.size()) continue;
      if (SameText(std::string_view(font.Name).substr(font.Name.size() - text.size()), text))
        font.Name.resize(font.Name.size() - text.size());
    }
  }
}

void TRDRTFColorList::OrIntoLast(int value, int shift) {
  if (colors_.empty()) return;
  TColor& last = colors_.back();
  if (last == clWindowText) last = clBlack;
  last |= TColor(value & 0xFF) << shift;
}

void TRDRTFColorList::DeleteLast() {
  if (!colors_.empty()) colors_.pop_back();
}

TRDRTFStyleSheetEntry& TRDRTFStyleSheet::Add() {
  entries_.push_back(std::make_unique<TRDRTFStyleSheetEntry>());
  entries_.back()->Next = entries_.back().get();
  by_number_.Added(entries_.back()->Number, Count() - 1);
  return *entries_.back();
}

void TRDRTFStyleSheet::SetLastNumber(int number) {
  TRDRTFStyleSheetEntry* entry = Last();
  if (!entry) return;
  by_number_.Renumbered(entry->Number, number, Count() - 1);
  entry->Number = number;
}

const TRDRTFStyleSheetEntry* TRDRTFStyleSheet::FindNumber(int number) const {
  const int index = by_number_.Find(number);
  return index >= 0 ? entries_[std::size_t(index)].get() : nullptr;
}

#include "richtext_edit/rtf/rtf_lists.h"

#include <type_traits>

std::uint8_t LevelNfcToNumberType(int nfc) {
  switch (nfc) {
    case 1:
      return 5;  // upper roman
    case 2:
      return 4;  // lower roman
    case 3:
      return 3;  // upper letter
    case 4:
      return 2;  // lower letter
    case 23:
    case 255:
      return 6;  // bullet, or no number: the level's text alone
    default:
      return 1;  // decimal and every numbering we do not draw
  }
}

TRDRTFListLevel97* TRDRTFListTable97::LastLevel() {
  TRDRTFList97* list = Last();
  return list && !list->Levels.empty() ? &list->Levels.back() : nullptr;
}

TRDRTFList97& TRDRTFListTable97::Add() {
  by_id_.Added(0, Count());
  return lists_.emplace_back();
}

void TRDRTFListTable97::SetLastListID(int listID) {
  if (lists_.empty()) return;
  by_id_.Renumbered(lists_.back().ListID, listID, Count() - 1);
  lists_.back().ListID = listID;
}

TRDRTFListOverrideLevel97* TRDRTFListOverrideTable97::LastLevel() {
  TRDRTFListOverride97* item = Last();
  return item && !item->Levels.empty() ? &item->Levels.back() : nullptr;
}

TRDRTFListOverride97& TRDRTFListOverrideTable97::Add() {
  by_number_.Added(0, Count());
  return overrides_.emplace_back();
}

void TRDRTFListOverrideTable97::SetLastNumber(int number) {
  if (overrides_.empty()) return;
  by_number_.Renumbered(overrides_.back().Number, number, Count() - 1);
  overrides_.back().Number = number;
}

template <class S>
static void CutCounted(S& text) {
  if (text.empty()) return;
  const std::size_t count =
      std::size_t(static_cast<std::make_unsigned_t<typename S::value_type>>(text[0]));
  if (text.size() > count + 1) text.resize(count + 1);
}

void CutCountedText(std::string& text) {
  CutCounted(text);
}
void CutCountedText(std::u16string& text) {
  CutCounted(text);
}

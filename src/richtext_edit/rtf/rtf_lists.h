// Word 97 list tables of an RTF file: \listtable holds the list definitions with their
// levels, \listoverridetable the overrides that paragraphs name with \ls.
//
// Example: "{\list\listid7{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}}}" is list 7
// whose first level is a bullet (NumberType 6) with the level text "\x01" + bullet.
#pragma once

#include <string>
#include <vector>

#include "richtext_edit/rtf/rtf_first_index.h"
#include "richtext_edit/rtf/rtf_properties.h"

struct TRDRTFListLevel97 : TRDRTFCustomMarkerProperties {
  bool Old = false, Legal = false, NoRestart = false;
  std::string Text;      // first character: the length of the rest
  std::string Numbers;   // positions of the level numbers in Text
  std::u16string TextW;  // the level text in Unicode, when any \u occurred in it
  std::uint8_t Follow = 0;
  int LeftIndent = 0, FirstIndent = 0, TabPos = 0;
  bool FontSizeSet = false;
  bool IndentsFromParagraph = false;  // the import took the indents from a paragraph
};

// \levelnfc value as a marker NumberType.
std::uint8_t LevelNfcToNumberType(int nfc);

struct TRDRTFList97 {
  int ListID = 0;
  int TemplateID = 0;
  bool Simple = false;
  std::string Name;
  std::vector<TRDRTFListLevel97> Levels;
};

class TRDRTFListTable97 {
 public:
  int Count() const { return int(lists_.size()); }
  const TRDRTFList97& operator[](int index) const { return lists_[std::size_t(index)]; }
  TRDRTFList97& Add();
  TRDRTFList97* Last() { return lists_.empty() ? nullptr : &lists_.back(); }
  TRDRTFListLevel97* LastLevel();
  // \listid: the ID of the last list.
  void SetLastListID(int listID);
  // Index of the first list with that \listid, or -1.
  int IndexOfListID(int listID) const { return by_id_.Find(listID); }
  void Clear() {
    lists_.clear();
    by_id_.Clear();
  }

 private:
  std::vector<TRDRTFList97> lists_;
  TRDRTFFirstIndex by_id_;
};

struct TRDRTFListOverrideLevel97 {
  bool StartAtOverridden = false;
  int StartAt = 1;
};

struct TRDRTFListOverride97 {
  int ListIndex = -1;
  int Number = 0;
  int Count = 0;
  std::vector<TRDRTFListOverrideLevel97> Levels;
};

class TRDRTFListOverrideTable97 {
 public:
  int Count() const { return int(overrides_.size()); }
  const TRDRTFListOverride97& operator[](int index) const { return overrides_[std::size_t(index)]; }
  TRDRTFListOverride97& Add();
  TRDRTFListOverride97* Last() { return overrides_.empty() ? nullptr : &overrides_.back(); }
  TRDRTFListOverrideLevel97* LastLevel();
  // \ls inside an override: the number of the last override.
  void SetLastNumber(int number);
  // Index of the first override with that \ls number, or -1.
  int IndexOfNumber(int number) const { return by_number_.Find(number); }
  void Clear() {
    overrides_.clear();
    by_number_.Clear();
  }

 private:
  std::vector<TRDRTFListOverride97> overrides_;
  TRDRTFFirstIndex by_number_;
};

// \leveltext and \levelnumbers: the first character counts the characters that follow;
// anything after them (the closing ';') is cut. An empty text stays empty.
void CutCountedText(std::string& text);
void CutCountedText(std::u16string& text);

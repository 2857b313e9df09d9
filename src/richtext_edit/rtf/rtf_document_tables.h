// The document-wide tables of an RTF file: fonts (\fonttbl), colours (\colortbl) and
// the stylesheet (\stylesheet). They fill while their destinations are read and stay
// valid until the reader's next read.
//
// Example: "{\fonttbl{\f0\fswiss\fcharset204 Arial Cyr;}}" gives font 0 "Arial" (the
// charset suffix is cut when the table ends), family 2, charset 204.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "richtext_edit/rtf/rtf_first_index.h"
#include "richtext_edit/rtf/rtf_properties.h"

struct TRDRTFFont {
  int Number = 0;
  std::string Name;
  std::uint8_t Family = 0;  // 0 nil, 1 roman, 2 swiss, 3 modern, 4 script, 5 decor, 6 tech, 7 bidi
  std::uint8_t Charset = 1;
};

class TRDRTFFontList {
 public:
  int Count() const { return int(fonts_.size()); }
  TRDRTFFont& operator[](int index) { return fonts_[std::size_t(index)]; }
  const TRDRTFFont& operator[](int index) const { return fonts_[std::size_t(index)]; }
  TRDRTFFont& Add(int number);
  TRDRTFFont* Last() { return fonts_.empty() ? nullptr : &fonts_.back(); }
  // Index of the first font with that \f number, or -1.
  int IndexOfNumber(int number) const { return by_number_.Find(number); }
  void Clear() {
    fonts_.clear();
    by_number_.Clear();
  }
  // Cuts " Cyr", " CE", " Greek", " Tur" and " Baltic" from names of fonts whose charset
  // says the same, so that they name the installed font.
  void CutCharsetSuffixes();

 private:
  std::vector<TRDRTFFont> fonts_;
  TRDRTFFirstIndex by_number_;
};

// The colour table; entries in file order, the automatic entry as clWindowText.
class TRDRTFColorList {
 public:
  int Count() const { return int(colors_.size()); }
  TColor operator[](int index) const { return colors_[std::size_t(index)]; }
  bool IsValidIndex(int index) const { return index >= 0 && index < Count(); }
  void AddAutomatic() { colors_.push_back(clWindowText); }
  // \red, \green, \blue: shift 0, 8, 16. An automatic entry first becomes black.
  void OrIntoLast(int value, int shift);
  void DeleteLast();
  void Clear() { colors_.clear(); }

 private:
  std::vector<TColor> colors_;
};

struct TRDRTFStyleSheetEntry {
  TRDRTFParaProperties ParaProps;
  TRDRTFCharProperties CharProps;
  bool Additive = false;
  bool Hidden = false;
  int Number = 0;
  std::uint8_t Kind = 1;  // 0 character style, 1 paragraph style, 2 section style
  const TRDRTFStyleSheetEntry* BasedOn = nullptr;
  const TRDRTFStyleSheetEntry* Next = nullptr;  // the entry itself when created
  std::string Name;
};

class TRDRTFStyleSheet {
 public:
  int Count() const { return int(entries_.size()); }
  const TRDRTFStyleSheetEntry& operator[](int index) const { return *entries_[std::size_t(index)]; }
  TRDRTFStyleSheetEntry& Add();
  TRDRTFStyleSheetEntry* Last() { return entries_.empty() ? nullptr : entries_.back().get(); }
  // \s, \cs, \ds: the number of the last entry.
  void SetLastNumber(int number);
  // The first entry with that number, or null.
  const TRDRTFStyleSheetEntry* FindNumber(int number) const;
  void Clear() {
    entries_.clear();
    by_number_.Clear();
  }

 private:
  // Entries refer to each other; they keep their addresses as the sheet grows.
  std::vector<std::unique_ptr<TRDRTFStyleSheetEntry>> entries_;
  TRDRTFFirstIndex by_number_;
};

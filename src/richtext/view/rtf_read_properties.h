// The RTF import options of a viewer, made on the first read of its RTFReadProperties;
// the import that uses them belongs to the RTF reader (ReadRTF of rtf_import.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "richtext/base/rich_doc_error.h"

enum TRDReaderUnicode : std::uint8_t { rdruMixed, rdruNoUnicode, rdruOnlyUnicode };
enum TRDReaderStyleMode : std::uint8_t { rdrsUseSpecified, rdrsUseClosest, rdrsAddIfNeeded };
enum TRDRTFHighlight : std::uint8_t { rtfhlIgnore, rtfhlFixedColors, rtfhlColorTable };

class TRDRTFReaderProperties {
 public:
  virtual ~TRDRTFReaderProperties() = default;
  TRDRTFReaderProperties() = default;
  TRDRTFReaderProperties(const TRDRTFReaderProperties&) = default;
  TRDRTFReaderProperties& operator=(const TRDRTFReaderProperties&) = default;

  TRDReaderUnicode UnicodeMode = rdruNoUnicode;
  TRDReaderStyleMode TextStyleMode = rdrsUseClosest;
  TRDReaderStyleMode ParaStyleMode = rdrsUseClosest;
  bool IgnorePictures = false;
  bool IgnoreTables = false;
  bool UseHypertextStyles = false;
  bool SkipHiddenText = true;
  bool AutoHideTableGridLines = false;
  bool LineBreaksAsParagraphs = false;
  bool ExtractMetafileBitmaps = true;
  TRDRTFHighlight ConvertHighlight = rtfhlColorTable;
  bool StoreImagesFileNames = false;
  bool BasePathLinks = true;
  // Where relative picture files and link targets of the RTF being read lie (a paste
  // sets it to the source's location, reading a file to its folder); empty for none.
  std::string BasePath;

  // Whether the import may give a paragraph the paragraph style styleNo of the document
  // (hypertext: the paragraph starts with a link); every style may be used when empty.
  // Not copied by Assign.
  std::function<void(int styleNo, bool hypertext, bool& accept)> OnAcceptStyle;

  // Called by the import for every control word before the reader acts on it: text
  // put in text is read as if it stood in the file, and clearing doDefault makes the
  // reader ignore the word. Does nothing here; an import with words of its own
  // overrides it.
  virtual void TranslateKeyword(const std::string& /*keyword*/, int /*param*/, bool /*hasParam*/,
                                std::string& /*text*/, bool& /*doDefault*/) {}

  int TextStyleNo() const { return text_style_no_; }
  void SetTextStyleNo(int value) { text_style_no_ = Checked(value); }
  int ParaStyleNo() const { return para_style_no_; }
  void SetParaStyleNo(int value) { para_style_no_ = Checked(value); }

  // The options an import copies from another viewer's set.
  void Assign(const TRDRTFReaderProperties& source) {
    UnicodeMode = source.UnicodeMode;
    TextStyleMode = source.TextStyleMode;
    ParaStyleMode = source.ParaStyleMode;
    IgnorePictures = source.IgnorePictures;
    IgnoreTables = source.IgnoreTables;
    SkipHiddenText = source.SkipHiddenText;
    para_style_no_ = source.para_style_no_;
    text_style_no_ = source.text_style_no_;
    UseHypertextStyles = source.UseHypertextStyles;
    LineBreaksAsParagraphs = source.LineBreaksAsParagraphs;
    ExtractMetafileBitmaps = source.ExtractMetafileBitmaps;
    ConvertHighlight = source.ConvertHighlight;
  }

 private:
  static int Checked(int value) {
    if (value < 0) throw ERichDocError("Value must not be negative");
    return value;
  }
  int text_style_no_ = 0;
  int para_style_no_ = 0;
};

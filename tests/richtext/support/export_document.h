// A small document for the writers' tests: a style sheet with plain, bold, italic, red,
// sub- and superscript and Unicode text styles and a centred paragraph style, and a list
// marker item that answers the writers' list questions like the real marker does.
#pragma once

#include <memory>
#include <string>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"

enum ExportStyle { kPlain, kBold, kItalic, kRed, kSub, kUnicode, kStyleCount };

class ExportDocument : public TCustomRDData {
 public:
  ExportDocument() {
    while (style.TextStyles().Count() < kStyleCount) style.TextStyles().Add();
    for (int i = 0; i < kStyleCount; ++i) {
      TFontInfo& text = style.TextStyles().Items(i);
      text.FontName = "Arial";
      text.Size = 10;
      text.Style = 0;
      text.Color = clWindowText;
      text.Jump = false;
    }
    style.TextStyles().Items(kBold).Style = fsBold;
    style.TextStyles().Items(kItalic).Style = fsItalic;
    style.TextStyles().Items(kRed).Color = clRed;
    style.TextStyles().Items(kSub).VShift = -30;
    style.TextStyles().Items(kUnicode).Unicode = true;
    style.TextStyles().Items(kUnicode).FontName = "Times New Roman";
    style.DefCodePage = 1252;
    SetRDStyle(&style);
  }
  ~ExportDocument() override { Clear(); }

  void Para(const std::string& text, int styleNo = kPlain, int paraNo = 0) {
    AddText(text, styleNo, paraNo);
  }
  void More(const std::string& text, int styleNo) { AddText(text, styleNo, -1); }
  void UnicodePara(std::u16string_view text) { AddText(WideStringToRawUnicode(text), kUnicode, 0); }

  std::string RTF(TRDRTFOptions options = rdrtfDuplicateUnicode);
  // Pictures of the HTML exports are saved in ImageFolder (ending with '/').
  std::string HTML(TRDSaveOptions options = 0, const std::string& title = "Doc");
  std::string HTMLEx(TRDSaveOptions options = 0, const std::string& title = "Doc");

  TRDStyle style;
  std::string ImageFolder;
};

// A list marker as the writers see it (the real marker item also draws and numbers).
class ExportMarker : public TCustomRDItemInfo {
 public:
  ExportMarker(TCustomRDData* data, int listNo, int level, int counter, bool reset = false,
               int startFrom = 1)
      : TCustomRDItemInfo(data) {
    StyleNo = rdsListMarker;
    info_.ListNo = listNo;
    info_.Level = level;
    info_.Counter = counter;
    info_.Reset = reset;
    info_.StartFrom = startFrom;
  }
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* data) const override {
    return std::make_unique<ExportMarker>(data, info_.ListNo, info_.Level, info_.Counter);
  }
  bool GetListMarkerInfo(TRDListMarkerInfo& info) const override {
    info = info_;
    return true;
  }

 private:
  TRDListMarkerInfo info_;
};

// Writes text into a scratch file and returns its path.

// The break line: a horizontal line across the whole text width, the separator of the
// station's message lists. It is drawn on screen and printed in five styles and written
// as an hr tag, an RTF bordered paragraph, a run of '-' or '=' and an RDF record.
//
// Example: a break of LineWidth 3 as plain text 4 characters wide is "====".
#pragma once

#include "richtext/model/nontext_items.h"

enum TRDBreakStyle : std::uint8_t { rdbrsLine, rdbrsRectangle, rdbrs3D, rdbrsDotted, rdbrsDashed };

class TRDBreakItemInfo : public TRDFullLineItemInfo {
 public:
  using TRDFullLineItemInfo::TRDFullLineItemInfo;
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  std::uint8_t LineWidth = 1;
  TRDBreakStyle Style = rdbrsLine;
  TColor Color = clNone;  // clNone: the colour of text style 0

  bool QueryItemFlag(std::uint8_t code) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  void PaintFullWidth(int left, int right, int top, TRDCanvas& canvas, TRDItemPaintState state,
                      TRDStyle& rdStyle) const override;
  void Print(TRDCanvas& canvas, int x, int y, int right, TRDColorMode colorMode,
             const TRDResolution& resolution, TRDStyle& rdStyle,
             const TRDDrawLineInfo* drawItem) const override;
  void AssignProperties(const TCustomRDItemInfo& source) override;
  std::string GetRDFHeaderExtra(TCustomRDData* rdData) const override;
  bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) override;
  void SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
               bool forceSameAsPrev) const override;
  void SaveHTML(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& text,
                TRDHTMLSaveContext& context) const override;
  std::string GetHTML(TCustomRDData* rdData, bool useCSS, TRDSaveOptions saveOptions) const;
  void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
               TRDRTFSaveContext& context) const override;
  std::string GetRTF(int level, const TRDColorList& colorList, double twipsPerPixel) const;
  void CollectRTFTables(TRDRTFSaveContext& context) const override;
  std::string AsText(int lineWidth, TCustomRDData* rdData) const override;

 private:
  // The shapes, shared by screen and printer; w the line width, margin the 5-pixel inset.
  void DrawShape(TRDCanvas& canvas, int left, int right, int top, int w, int margin, int frameWidth,
                 TColor color, TColor shadow, TColor face) const;
};

// A 3-D frame: top-left lines in topColor, bottom-right in bottomColor, width rounds.
void DrawFrame3D(TRDCanvas& canvas, TRect rect, TColor topColor, TColor bottomColor, int width);

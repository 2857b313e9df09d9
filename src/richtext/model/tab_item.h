// The tab item: a tab character laid out to the next tab stop of its paragraph (the
// formatter sets its width), measured and drawn in its text style, with an optional
// leader repeated across it.
#pragma once

#include "richtext/model/nontext_items.h"

class TRDTabItemInfo : public TRDRectItemInfo {
 public:
  using TRDRectItemInfo::TRDRectItemInfo;
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  int TextStyleNo = kFollowParaStyleNo;
  std::string Leader;

  int GetAssociatedTextStyleNo() const override { return TextStyleNo; }
  void SetAssociatedTextStyleNo(int value) override { TextStyleNo = value; }
  // TextStyleNo, or the paragraph's default style (0 when it has none).
  int ActualTextStyleNo(const TRDStyle& rdStyle) const;

  bool QueryItemFlag(std::uint8_t code) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  void AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int docWidth, int& width, int& height,
                        int& descent) const override;
  void Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state, TRDStyle& rdStyle,
             const TRDDrawLineInfo& drawItem) const override;
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
  std::string GetHTML(const TRDStyle* rdStyle, TRDSaveOptions saveOptions) const;
  void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
               TRDRTFSaveContext& context) const override;
  std::string AsText(int lineWidth, TCustomRDData* rdData) const override;
  void MarkStylesInUse(TRDStyleUsage& usage) const override;
  void UpdateStyles(const TRDStyleUsage& usage) override;

 private:
  void DrawTab(int x, int y, int width, int height, TRDCanvas& canvas, TRDItemPaintState state,
               TRDStyle& rdStyle, bool printing, TRDColorMode colorMode) const;
};

// The list marker: the item in front of a paragraph of a bulleted or numbered list. It
// names a list style and a level; the level says whether it shows bullet characters, a
// number (in decimal, letters or Roman numerals, through the level's format text), a
// picture or an image-list image, and where marker and text stand.
#pragma once

#include <string>

#include "richtext/model/nontext_items.h"
#include "richtext/styles/list_style.h"

class TRDMarkerList;

class TRDMarkerItemInfo : public TRDRectItemInfo, public TRDNoHTMLImageSizeProperty {
 public:
  explicit TRDMarkerItemInfo(TCustomRDData* rdData);
  static std::unique_ptr<TRDMarkerItemInfo> CreateMarker(TCustomRDData* rdData, int listNo,
                                                         int level, int startFrom, bool reset);
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;
  // A level read from a file, kept to the levels numbering has room for (-1 stays "no
  // level"), so that level arithmetic cannot overflow.
  static int BoundedLevel(int level);

  // The box, set by sizing: MarkerLeft is its offset from the item's position (negative:
  // the marker hangs to the left of the text).
  mutable int MarkerWidth = 0;
  mutable int MarkerHeight = 0;
  mutable int MarkerLeft = 0;
  mutable int MarkerDescent = 0;
  int IndexInList = -1;
  int ListNo = -1;
  int Level = 0;
  int Counter = 1;
  bool Reset = false;
  int StartFrom = 1;
  std::string DisplayString;

  // The level shown (a level beyond the list's last is the last); none without a list.
  const TRDListLevel* GetLevelInfo(const TRDStyle* rdStyle) const;
  int GetIndexInList(const TRDMarkerList* list);
  void CalcDisplayString(const TRDStyle& rdStyle, const TRDMarkerList& list, int index);

  void AssignProperties(const TCustomRDItemInfo& source) override;
  bool QueryItemFlag(std::uint8_t code) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  int GetWidth() const override { return MarkerWidth; }
  int GetHeight() const override { return MarkerHeight; }
  int GetDescent() const override { return MarkerDescent; }
  int GetHorzSpacing() const override { return MarkerLeft; }
  int GetVertSpacing() const override { return 0; }
  int GetMinWidth(const TRDResolution* resolution, TCustomRDData* rdData) const override;
  void AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int docWidth, int& width, int& height,
                        int& descent) const override;
  int GetImageWidth(const TRDStyle* rdStyle) const override;
  int GetImageHeight(const TRDStyle* rdStyle) const override;
  void Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state, TRDStyle& rdStyle,
             const TRDDrawLineInfo& drawItem) const override;
  void Print(TRDCanvas& canvas, int x, int y, int right, TRDColorMode colorMode,
             const TRDResolution& resolution, TRDStyle& rdStyle,
             const TRDDrawLineInfo* drawItem) const override;
  bool PrintToBitmap(TBitmap& bitmap, const TRect& box, bool useCopy,
                     const TRDDrawLineInfo* drawLine, int partIndex, TRDColorMode colorMode,
                     TRDStyle& rdStyle) const override;
  void MovingToUndoList(int itemNo, TCustomRDData* rdData) override;
  void MovingFromUndoList(int itemNo, TCustomRDData* rdData) override;
  void MarkStylesInUse(TRDStyleUsage& usage) const override;
  void UpdateStyles(const TRDStyleUsage& usage) override;
  bool SetExtraIntProperty(TRDExtraItemProperty prop, int value) override;
  bool GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const override;
  int GetRDFExtraPropertyCount() const override;
  void SaveRDFExtraProperties(TStream& stream) const override;
  std::string GetRDFHeaderExtra(TCustomRDData* rdData) const override;
  bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) override;
  void SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
               bool forceSameAsPrev) const override;
  bool ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode, int lineNo,
                   int lineCount, std::string& name, int& readType, int& readState) override;
  std::string AsText(int lineWidth, TCustomRDData* rdData) const override;
  // Unicode bullets as they are; everything else as AsText.
  std::string AsUnicodeText(int lineWidth, TCustomRDData* rdData) const override;
  bool GetListMarkerInfo(TRDListMarkerInfo& info) const override;
  // Text markers write a "{\listtext" group and the list paragraph's "\ls" and "\ilvl";
  // picture and image-list markers their picture.
  void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
               TRDRTFSaveContext& context) const override;
  // Only when the writer puts markers into the text (rdsoMarkersInline); otherwise the
  // writer's list tags stand for them.
  void SaveHTML(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& text,
                TRDHTMLSaveContext& context) const override;
  std::string GetHTMLListItemStyle(TCustomRDData* rdData,
                                   TRDHTMLSaveContext& context) const override;

 private:
  // The image-list index shown: counting through the list for image-list counters.
  int ImageListIndex(const TRDListLevel& level) const;
  // Where the level's image is saved for an HTML export, "" when it has none.
  std::string SaveLevelImage(const TRDListLevel& level, TCustomRDData& data,
                             TRDHTMLSaveContext& context) const;
  std::string TextHTML(const TRDListLevel& level, TCustomRDData& data,
                       const TRDHTMLSaveContext& context) const;
  // Sizes the box on canvas; with minWidthOnly only the width the marker needs.
  int CalcSize(TRDCanvas* canvas, const TRDStyle& rdStyle, const TRDResolution* printing,
               bool minWidthOnly) const;
  void Draw(TRDCanvas& canvas, int x, int y, const TRDStyle& rdStyle) const;
};

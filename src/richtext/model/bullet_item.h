// Pictures of an image list in the text: TRDBulletItemInfo shows image ImageIndex of a
// list it does not own; TRDHotspotItemInfo is a link that shows HotImageIndex while the
// mouse is over it. In document files the list is named by its Tag, which the
// application resolves when the file is read.
//
// Example: a bullet of list Tag 7, image 2, is written with the header extra "7 2".
#pragma once

#include "richtext/model/nontext_items.h"

class TImageList;

class TRDBulletItemInfo : public TRDRectItemInfo, public TRDNoHTMLImageSizeProperty {
 public:
  explicit TRDBulletItemInfo(TCustomRDData* rdData);
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  TImageList* ImageList = nullptr;  // not owned
  int ImageIndex = 0;
  std::string Alt;

  virtual int GetImageIndex(bool /*hot*/) const { return ImageIndex; }
  int GetImageWidth(const TRDStyle* = nullptr) const override;
  int GetImageHeight(const TRDStyle* = nullptr) const override;
  int GetWidth() const override { return GetImageWidth() + 2 * Spacing(); }
  int GetHeight() const override { return GetImageHeight() + 2 * Spacing(); }
  int GetMinWidth(const TRDResolution* resolution, TCustomRDData* rdData) const override;
  bool QueryItemFlag(std::uint8_t code) const override;
  void Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state, TRDStyle& rdStyle,
             const TRDDrawLineInfo& drawItem) const override;
  bool PrintToBitmap(TBitmap& bitmap, const TRect& box, bool useCopy,
                     const TRDDrawLineInfo* drawLine, int partIndex, TRDColorMode colorMode,
                     TRDStyle& rdStyle) const override;
  void AssignProperties(const TCustomRDItemInfo& source) override;

  std::string GetRDFHeaderExtra(TCustomRDData* rdData) const override;
  bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) override;
  int GetRDFExtraPropertyCount() const override;
  void SaveRDFExtraProperties(TStream& stream) const override;
  bool SetExtraIntProperty(TRDExtraItemProperty prop, int value) override;
  bool GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const override;
  bool SetExtraStrProperty(TRDExtraItemStrProperty prop, const std::string& value) override;
  bool GetExtraStrProperty(TRDExtraItemStrProperty prop, std::string& value) const override;
  void SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
               bool forceSameAsPrev) const override;
  bool ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode, int lineNo,
                   int lineCount, std::string& name, int& readType, int& readState) override;
  void SaveHTML(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& text,
                TRDHTMLSaveContext& context) const override;
  void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
               TRDRTFSaveContext& context) const override;

 protected:
  // An index read from a file that the list does not hold: 0 with the option to convert
  // large indexes, else the record fails. Either way the data is warned.
  static bool CheckImageIndex(int& index, const TImageList* list, TCustomRDData* rdData);
};

class TRDHotspotItemInfo : public TRDBulletItemInfo {
 public:
  explicit TRDHotspotItemInfo(TCustomRDData* rdData);
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  int HotImageIndex = 0;

  int GetImageIndex(bool hot) const override { return hot ? HotImageIndex : ImageIndex; }
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  void Execute(TCustomRDData* rdData) override;
  void AssignProperties(const TCustomRDItemInfo& source) override;
  std::string GetRDFHeaderExtra(TCustomRDData* rdData) const override;
  bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) override;
};

// Picture index of list drawn at (x, y), blended half and half with blend (not clNone)
// as a selected image is; nothing for an index the list does not hold.
void DrawImageListImage(TRDCanvas& canvas, const TImageList& list, int index, int x, int y,
                        TColor blend);

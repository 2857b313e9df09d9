// Pictures in the text: TRDGraphicItemInfo shows a picture it owns (explicitly sized or
// at its own size), TRDHotGraphicItemInfo is the same as a link. On paper a picture may
// be cut across pages: its drawing line is then a TRDMultiImagePrintInfo whose parts are
// the slices printed on successive pages.
//
// Example: a 40 x 30 picture with Spacing 3 takes 46 x 36 pixels in its line.
#pragma once

#include <memory>
#include <string>

#include "richtext/model/multi_draw_item.h"
#include "richtext/model/nontext_items.h"
#include "richtext/model/rd_animate.h"

class TGraphic;
class TRDAnimator;

// One slice of a picture cut across pages: ImgTop and ImgHeight in the picture's own
// (screen) pixels, Height the slice on the device.
class TRDImagePrintPart : public TRDMultiDrawItemPart {
 public:
  int ImgTop = 0;
  int ImgHeight = 0;
};

// The drawing line of a picture or control printed in slices.
class TRDMultiImagePrintInfo : public TRDMultiDrawItemInfo {
 public:
  TRDMultiImagePrintInfo(const TRDRectItemInfo& item, const TRDResolution& resolution);
  const TRDRectItemInfo& Item;
  TRDResolution Resolution;

  TRDImagePrintPart* Part(int index) const {
    return static_cast<TRDImagePrintPart*>(PartsList.Get(index));
  }
  bool InitSplit() override;
  bool CanSplitFirst(int deviceHeight) const override;
  // Raises "Internal printing error" when there is no part to cut.
  bool SplitAt(int deviceHeight) override;

 private:
  int ToScreen(int deviceY) const;
  int ToDevice(int screenY) const;
};

class TRDGraphicItemInfo : public TRDRectItemInfo,
                           public TRDNoHTMLImageSizeProperty,
                           public TRDAnimatedPicture {
 public:
  explicit TRDGraphicItemInfo(TCustomRDData* rdData);
  ~TRDGraphicItemInfo() override;
  // Takes the picture.
  static std::unique_ptr<TRDGraphicItemInfo> CreateWithGraphic(TCustomRDData* rdData,
                                                               std::unique_ptr<TGraphic> graphic,
                                                               TRDVAlign vAlign);
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  std::unique_ptr<TGraphic> Image;
  // A copy used for drawing where the picture itself cannot be (none on true-colour
  // displays).
  std::unique_ptr<TGraphic> ImageCopy;
  int ImageWidth = 0;   // 0: the picture's own
  int ImageHeight = 0;  // 0: the picture's own
  int Interval = 0;     // hundredths of a second between animation frames
  std::string Alt;
  std::string ImageFileName;
  TRDAnimator* Animator() const { return animator_; }

  const TGraphic* GetImage() const override { return Image.get(); }
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
  std::unique_ptr<TRDDrawLineInfo> CreatePrintingDrawItem(
      TCustomRDData* rdData, const TRDResolution& resolution) const override;
  void AssignProperties(const TCustomRDItemInfo& source) override;
  void CreateAnimator(TCustomRDData* rdData) override;
  void UpdateAnimator(TCustomRDItemInfo& source, TCustomRDData* rdData) override;

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

  // Frames of an animated bitmap are ImageWidth x ImageHeight cells of the picture.
  const TBitmap* AnimationBitmap() const override;
  int FrameWidth() const override { return GetImageWidth(); }
  int FrameHeight() const override { return GetImageHeight(); }
  int FrameInterval() const override { return Interval; }

 protected:
  bool HasExplicitSize() const { return ImageWidth > 0 || ImageHeight > 0; }

 private:
  // Loads the body into Image; a picture that cannot be read becomes the sheet's invalid
  // picture (with a warning) and the record is still read.
  bool LoadBody(const std::string& body, TCustomRDData* rdData, int readMode);
  // The size lines of the record: the explicit size, or for a drawing the size shown
  // (its bytes may not give it).
  int SavedImageWidth() const;
  int SavedImageHeight() const;
  void DrawCurrentFrame(TRDCanvas& canvas, int x, int y) const;
  void SetAnimator(TRDAnimator* animator);
  TRDAnimator* animator_ = nullptr;
};

class TRDHotGraphicItemInfo : public TRDGraphicItemInfo {
 public:
  explicit TRDHotGraphicItemInfo(TCustomRDData* rdData);
  static std::unique_ptr<TRDHotGraphicItemInfo> CreateWithGraphic(TCustomRDData* rdData,
                                                                  std::unique_ptr<TGraphic> graphic,
                                                                  TRDVAlign vAlign);
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  void Execute(TCustomRDData* rdData) override;
};

// A frame of width 1 in color with a clear brush: the current-item and selection marks of
// objects in the text.
void DrawObjectFrame(TRDCanvas& canvas, TColor color, int x1, int y1, int x2, int y2);
// The selection colour of an object: focused or not.
TColor ObjectSelectionColor(const TRDStyle& rdStyle, TRDItemPaintState state);

// Window controls in the text. The item owns its control, a real widget placed on the
// viewer (its Parent) that moves with the document as it scrolls; the item only draws
// the current-item and selection frames around it. On paper the control is printed as a
// picture of itself.
//
// Document files hold a control either by name only (the application supplies it again
// when the file is read) or with a body: the state of a control of a class the program
// registered for documents. No other class is ever created from a file.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "richtext/base/export_hooks.h"
#include "richtext/model/nontext_items.h"

class TBitmap;
class TControl;

// A control class documents may hold with a body: how to make one, and its state as
// bytes and back (Load answers false for bytes it cannot read).
struct TRDControlClass {
  std::string Name;  // the class name the control reports
  std::function<std::unique_ptr<TControl>()> Create;
  std::function<std::string(const TControl&)> Save;
  std::function<bool(TControl&, std::string_view)> Load;
};
void RegisterRDControlClass(TRDControlClass controlClass);
// nullptr for a class not registered (names compared exactly).
const TRDControlClass* FindRDControlClass(std::string_view name);

class TRDControlItemInfo : public TRDRectItemInfo {
 public:
  explicit TRDControlItemInfo(TCustomRDData* rdData);
  ~TRDControlItemInfo() override;
  // Takes the control.
  static std::unique_ptr<TRDControlItemInfo> CreateWithControl(TCustomRDData* rdData,
                                                               std::unique_ptr<TControl> control,
                                                               TRDVAlign vAlign);
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  std::unique_ptr<TControl> Control;
  bool ResizeEnabled = false;
  bool ControlVisible = true;
  int PercentWidth = 0;  // 1..100: that share of the document width

  bool OwnsControl(const TControl* control) const { return control && control == Control.get(); }
  bool CanFocusControl() const;

  int GetImageWidth(const TRDStyle* = nullptr) const override;
  int GetImageHeight(const TRDStyle* = nullptr) const override;
  int GetWidth() const override { return GetImageWidth() + 2 * Spacing(); }
  int GetHeight() const override { return GetImageHeight() + 2 * Spacing(); }
  int GetMinWidth(const TRDResolution* resolution, TCustomRDData* rdData) const override;
  bool QueryItemFlag(std::uint8_t code) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  // Puts the control at (x, y) of its parent's client area (plus the spacing).
  void MoveToPosition(int x, int y, bool refresh) override;
  void AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int docWidth, int& width, int& height,
                        int& descent) const override;
  void Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state, TRDStyle& rdStyle,
             const TRDDrawLineInfo& drawItem) const override;
  bool PrintToBitmap(TBitmap& bitmap, const TRect& box, bool useCopy,
                     const TRDDrawLineInfo* drawLine, int partIndex, TRDColorMode colorMode,
                     TRDStyle& rdStyle) const override;
  std::unique_ptr<TRDDrawLineInfo> CreatePrintingDrawItem(
      TCustomRDData* rdData, const TRDResolution& resolution) const override;
  void NotifyData(TCustomRDData* rdData, std::string& text) override;
  void MovingToUndoList(int itemNo, TCustomRDData* rdData) override;
  void MovingFromUndoList(int itemNo, TCustomRDData* rdData) override;
  void AssignProperties(const TCustomRDItemInfo& source) override;

  int GetRDFExtraPropertyCount() const override;
  void SaveRDFExtraProperties(TStream& stream) const override;
  bool SetExtraIntProperty(TRDExtraItemProperty prop, int value) override;
  bool GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const override;
  void SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
               bool forceSameAsPrev) const override;
  bool ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode, int lineNo,
                   int lineCount, std::string& name, int& readType, int& readState) override;

  // The application's text for the control (the export hook OnSaveComponentToFile).
  void SaveHTML(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& text,
                TRDHTMLSaveContext& context) const override;
  void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
               TRDRTFSaveContext& context) const override;
  std::string AsText(int lineWidth, TCustomRDData* rdData) const override;

  // The application's picture of a control for printing, when it wants to give one.
  static inline std::function<std::unique_ptr<TBitmap>(TControl& control)> OnPrintComponent;

 private:
  void AdoptControl(std::unique_ptr<TControl> control, TCustomRDData* rdData);
  bool LoadBody(const std::string& body, int readMode);
  std::string ComponentText(TCustomRDData* rdData, TRDSaveFormat format,
                            const std::string& path) const;
};

// A picture of a window control as it looks on screen, its own size; none for a control
// without a window.
std::unique_ptr<TBitmap> GetControlImage(TControl& control);

// The documents between the formatted data and a viewer window. TRDControlData is a
// formatted document shown in a window, with keyboard focus on items; TRichDocRDData is
// the document of one viewer: it answers every question about settings from the
// viewer's properties, fires the viewer's events and owns the per-document objects.
#pragma once

#include <cstdint>
#include <memory>

#include "richtext/layout/formatted_data.h"

class TCustomRichDoc;
class TRDAnimatorList;
class TRDPlatformCanvas;

class TRDControlData : public TCustomRDFormattedData {
 public:
  // The item with the keyboard focus (-1: none) and the document that holds it.
  int FocusedItemNo = -1;
  TCustomRDData* FocusedItemData = nullptr;

  void SetFocusedItem(int itemNo, TCustomRDData* data);
  void ClearItemFocus();
  // Gives the focus to the next (previous) item that takes it and scrolls it into view;
  // false, with no item focused, when there is none further that way.
  bool MoveFocus(bool forward);
  // The control in the text (also inside a cell) that has the keyboard focus becomes
  // the focused item; false when none has it.
  bool FocusItemOfFocusedControl();
  // The focused item acts (a link jumps); false when no item has the focus.
  bool ExecuteFocusedItem();
  // A dotted frame around the draw lines of the focused item, on a canvas whose (0, 0)
  // is the document area's top-left corner.
  void PaintItemFocus(TRDCanvas& canvas);
  // Forgets the focused item too.
  void Deselect(bool notify) override;
  void ClearFormatting() override;
};

class TRichDocRDData : public TRDControlData {
 public:
  explicit TRichDocRDData(TCustomRichDoc& richDoc);
  ~TRichDocRDData() override;

  TCustomRichDoc& RichDoc() const { return rich_doc_; }

  TRDOptions GetOptions() const override;
  void SetOptions(TRDOptions value) override;
  TRDFOptions GetRDFOptions() const override;
  TRDRTFOptions GetRTFOptions() const override;
  void SetRDFOptions(TRDFOptions value) override;
  TRDStyle* GetRDStyle() const override;
  TRDBiDiMode GetBiDiMode() const override;
  std::string GetDelimiters() const override;
  std::uint16_t GetFlags() const override;
  void SetFlags(std::uint16_t value) override;
  int GetMaxLength() const override;

  int GetAreaWidth() const override;
  int GetAreaHeight() const override;
  int GetLeftMargin() const override;
  int GetRightMargin() const override;
  int GetTopMargin() const override;
  int GetBottomMargin() const override;
  int GetMinTextWidth() const override;
  int GetMaxTextWidth() const override;
  int GetWidth() const override;
  int GetHeight() const override;
  void SetDocumentAreaSize(int width, int height, bool redraw) override;
  void AdjustVScrollUnits() override;
  int GetHOffs() const override;
  int GetVOffs() const override;
  void ScrollTo(int y, bool redraw) override;
  void HScrollTo(int x) override;
  int GetVSmallStep() const override;
  TRDBackground* GetBackground() override;
  TColor GetBackgroundColor() const override;
  TRDCanvas& GetCanvas() override;
  int GetVAlignOffset() const override;
  void GetOrigin(int& x, int& y) const override;
  bool IsControlFocused() const override;
  void InvalidateControl() override;
  void Clear() override;

  TCursor GetNormalCursor() const override;
  void SetShownCursor(TCursor cursor) override;
  void DoJumpHover(int id) override;
  void DoJump(int jumpNo) override;
  void DoRDMouseDown(TMouseButton button, TShiftState shift, int itemNo, int x, int y) override;
  void DoRDMouseUp(TMouseButton button, TShiftState shift, int itemNo, int x, int y) override;
  void DoRDRightClick(const std::string& word, int styleNo, int x, int y) override;
  void DoRDDblClick(const std::string& word, int styleNo) override;
  bool IsDblClickEventAssigned() const override;
  void SetControlFocus() override;
  void InvalidateClientRect(const TRect& rect) override;
  std::string GetItemHint(int itemNo) override;
  void ShowItemHint(const std::string& hint) override;
  void DoMouseSelected() override;
  TCPEventKind GetCPEventKind() const override;
  void DoCheckpointVisible(TRDCPInfo* checkpoint) override;
  bool IsCopyEventAssigned() const override;
  void DoCopy() override;
  // The viewer drags its selection unless rdoDisallowDrag is set.
  bool CanStartDrag() const override;
  void RequestDrag() override;

  // The animators of the document's pictures, made on demand.
  TRDAnimatorList& Animators();
  TRDAnimatorList* GetAnimators() override;
  TWinControl* GetParentControl() override;
  TRDRTFReaderProperties* GetRTFReadProperties() override;
  TRDAnimatorList* AnimatorsIfAny() const { return animators_.get(); }
  bool AnimationsWanted = false;

 private:
  TCustomRichDoc& rich_doc_;
  // Measures for formatting: over the viewer's canvas, which outside a paint only
  // measures.
  std::unique_ptr<TRDPlatformCanvas> format_canvas_;
  std::unique_ptr<TRDAnimatorList> animators_;
};

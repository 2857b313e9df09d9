#include "richtext/view/rich_doc_data.h"

#include <algorithm>

#include "richtext/model/rd_animate.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext/view/rich_doc.h"

namespace {

constexpr int kMaxScrollUnits = 32000;
constexpr int kDefaultStep = 10;

}  // namespace

TRichDocRDData::TRichDocRDData(TCustomRichDoc& richDoc)
    : rich_doc_(richDoc), format_canvas_(std::make_unique<TRDPlatformCanvas>(richDoc.Canvas())) {
  OnSelect = [this] {
    if (rich_doc_.OnSelect) rich_doc_.OnSelect(&rich_doc_);
  };
}

TRichDocRDData::~TRichDocRDData() {
  animators_.reset();
  Clear();
}

TRDOptions TRichDocRDData::GetOptions() const {
  return rich_doc_.Options;
}

void TRichDocRDData::SetOptions(TRDOptions value) {
  rich_doc_.Options = value;
}

TRDFOptions TRichDocRDData::GetRDFOptions() const {
  return rich_doc_.RDFOptions;
}

void TRichDocRDData::SetRDFOptions(TRDFOptions value) {
  rich_doc_.RDFOptions = value;
}

TRDRTFOptions TRichDocRDData::GetRTFOptions() const {
  return rich_doc_.RTFOptions;
}

TRDStyle* TRichDocRDData::GetRDStyle() const {
  return rich_doc_.Style();
}

TRDBiDiMode TRichDocRDData::GetBiDiMode() const {
  return rich_doc_.BiDiMode();
}

std::string TRichDocRDData::GetDelimiters() const {
  return rich_doc_.Delimiters;
}

std::uint16_t TRichDocRDData::GetFlags() const {
  return rich_doc_.Flags;
}

void TRichDocRDData::SetFlags(std::uint16_t value) {
  rich_doc_.Flags = value;
}

int TRichDocRDData::GetMaxLength() const {
  return rich_doc_.MaxLength;
}

int TRichDocRDData::GetAreaWidth() const {
  return rich_doc_.ScrollWidth();
}

int TRichDocRDData::GetAreaHeight() const {
  return rich_doc_.ScrollHeight() * rich_doc_.VSmallStep();
}

int TRichDocRDData::GetLeftMargin() const {
  return rich_doc_.LeftMargin;
}

int TRichDocRDData::GetRightMargin() const {
  return rich_doc_.RightMargin;
}

int TRichDocRDData::GetTopMargin() const {
  return rich_doc_.TopMargin;
}

int TRichDocRDData::GetBottomMargin() const {
  return rich_doc_.BottomMargin;
}

int TRichDocRDData::GetMinTextWidth() const {
  return rich_doc_.MinTextWidth;
}

int TRichDocRDData::GetMaxTextWidth() const {
  return rich_doc_.MaxTextWidth;
}

int TRichDocRDData::GetWidth() const {
  return rich_doc_.DocClientWidth();
}

int TRichDocRDData::GetHeight() const {
  return rich_doc_.DocClientHeight();
}

void TRichDocRDData::SetDocumentAreaSize(int width, int height, bool redraw) {
  const int step = rich_doc_.VSmallStep();
  rich_doc_.UpdateScrollRanges(width, (height + step - 1) / step, true, true);
  if (redraw && (rich_doc_.Options & rdoFormatInvalidate)) rich_doc_.Invalidate();
}

void TRichDocRDData::AdjustVScrollUnits() {
  if (!rich_doc_.VScrollVisible()) return;
  const int height = DocumentHeight;
  const int view = std::max(1, rich_doc_.DocClientHeight());
  int step = rich_doc_.VSmallStep();
  // Never taller than the view (which may have become shorter since): the last step would
  // start past the last view of the document's end, and the step before it end short of
  // it.
  if (height / step > kMaxScrollUnits || step > std::max(kDefaultStep, view)) {
    step = kDefaultStep;
    if (height / step > kMaxScrollUnits) {
      step = height / kMaxScrollUnits;
      if (height / step > kMaxScrollUnits) ++step;
      step = std::min(step, view);
    }
  } else if (step > kDefaultStep && height / kDefaultStep <= kMaxScrollUnits) {
    step = kDefaultStep;
  }
  if (step != rich_doc_.VSmallStep()) rich_doc_.TRDScroller::SetVSmallStep(step);
}

int TRichDocRDData::GetHOffs() const {
  return rich_doc_.HScrollPos();
}

int TRichDocRDData::GetVOffs() const {
  return rich_doc_.VScrollPos() * rich_doc_.VSmallStep() - GetVAlignOffset();
}

void TRichDocRDData::ScrollTo(int y, bool redraw) {
  rich_doc_.ScrollTo(y / rich_doc_.VSmallStep(), redraw);
}

void TRichDocRDData::HScrollTo(int x) {
  rich_doc_.HScrollTo(x);
}

int TRichDocRDData::GetVSmallStep() const {
  return rich_doc_.VSmallStep();
}

TRDBackground* TRichDocRDData::GetBackground() {
  return &rich_doc_.Background();
}

TColor TRichDocRDData::GetBackgroundColor() const {
  return rich_doc_.BackgroundColor();
}

TRDCanvas& TRichDocRDData::GetCanvas() {
  return *format_canvas_;
}

int TRichDocRDData::GetVAlignOffset() const {
  int offset = 0;
  if (rich_doc_.VAlign == tlCenter)
    offset = (GetHeight() - DocumentHeight) / 2;
  else if (rich_doc_.VAlign == tlBottom)
    offset = GetHeight() - DocumentHeight;
  return std::max(0, offset);
}

void TRichDocRDData::GetOrigin(int& x, int& y) const {
  x = 0;
  y = GetVAlignOffset();
}

bool TRichDocRDData::IsControlFocused() const {
  return rich_doc_.IsFocusedOrEditorFocused();
}

void TRichDocRDData::InvalidateControl() {
  rich_doc_.Invalidate();
}

void TRichDocRDData::Clear() {
  if (animators_ && rich_doc_.AnimationMode() == rdaniOnFormat) rich_doc_.StopAnimation();
  if (animators_) animators_->FreeAll();
  TRDControlData::Clear();
}

TRDAnimatorList& TRichDocRDData::Animators() {
  if (!animators_) {
    animators_ = std::make_unique<TRDAnimatorList>();
    animators_->OnAnimatorAdded = [this] {
      if (AnimationsWanted) rich_doc_.StartAnimation();
    };
  }
  return *animators_;
}

TRDAnimatorList* TRichDocRDData::GetAnimators() {
  return rich_doc_.AnimationMode() == rdaniDisabled ? nullptr : &Animators();
}

TWinControl* TRichDocRDData::GetParentControl() {
  return &rich_doc_;
}

TRDRTFReaderProperties* TRichDocRDData::GetRTFReadProperties() {
  return &rich_doc_.RTFReadProperties();
}

TCursor TRichDocRDData::GetNormalCursor() const {
  return rich_doc_.NormalCursor;
}

void TRichDocRDData::SetShownCursor(TCursor cursor) {
  rich_doc_.ShowCursor(cursor);
}

void TRichDocRDData::DoJumpHover(int id) {
  if (rich_doc_.OnRDMouseMove) rich_doc_.OnRDMouseMove(&rich_doc_, id);
}

void TRichDocRDData::DoJump(int jumpNo) {
  if (rich_doc_.OnJump) rich_doc_.OnJump(&rich_doc_, jumpNo);
}

void TRichDocRDData::DoRDMouseDown(TMouseButton button, TShiftState shift, int itemNo, int x,
                                   int y) {
  if (!rich_doc_.OnRDMouseDown) return;
  const TPoint p = rich_doc_.FromDocumentArea(x, y);
  rich_doc_.OnRDMouseDown(&rich_doc_, button, shift, itemNo, p.X, p.Y);
}

void TRichDocRDData::DoRDMouseUp(TMouseButton button, TShiftState shift, int itemNo, int x, int y) {
  if (!rich_doc_.OnRDMouseUp) return;
  const TPoint p = rich_doc_.FromDocumentArea(x, y);
  rich_doc_.OnRDMouseUp(&rich_doc_, button, shift, itemNo, p.X, p.Y);
}

void TRichDocRDData::DoRDRightClick(const std::string& word, int styleNo, int x, int y) {
  if (!rich_doc_.OnRDRightClick) return;
  const TPoint p = rich_doc_.ClientToScreen(rich_doc_.FromDocumentArea(x, y));
  rich_doc_.OnRDRightClick(&rich_doc_, word, styleNo, p.X, p.Y);
}

void TRichDocRDData::DoRDDblClick(const std::string& word, int styleNo) {
  if (rich_doc_.OnRDDblClick) rich_doc_.OnRDDblClick(&rich_doc_, word, styleNo);
}

bool TRichDocRDData::IsDblClickEventAssigned() const {
  return bool(rich_doc_.OnRDDblClick);
}

void TRichDocRDData::SetControlFocus() {
  rich_doc_.SetFocus();
}

void TRichDocRDData::InvalidateClientRect(const TRect& rect) {
  const TPoint p = rich_doc_.FromDocumentArea(rect.Left, rect.Top);
  rich_doc_.InvalidateRect(Rect(p.X, p.Y, p.X + rect.Width(), p.Y + rect.Height()));
}

std::string TRichDocRDData::GetItemHint(int itemNo) {
  std::string hint = TRDControlData::GetItemHint(itemNo);
  if (rich_doc_.OnItemHint) rich_doc_.OnItemHint(&rich_doc_, this, itemNo, hint);
  return hint;
}

void TRichDocRDData::ShowItemHint(const std::string& hint) {
  rich_doc_.ShowItemHint(hint);
}

void TRichDocRDData::DoMouseSelected() {
  OfferSelectionAsPrimary(*this);
}

TCPEventKind TRichDocRDData::GetCPEventKind() const {
  return rich_doc_.CPEventKind;
}

void TRichDocRDData::DoCheckpointVisible(TRDCPInfo* checkpoint) {
  if (rich_doc_.OnCheckpointVisible) rich_doc_.OnCheckpointVisible(&rich_doc_, checkpoint);
}

bool TRichDocRDData::IsCopyEventAssigned() const {
  return bool(rich_doc_.OnCopy);
}

void TRichDocRDData::DoCopy() {
  if (rich_doc_.OnCopy) rich_doc_.OnCopy(&rich_doc_);
}

bool TRichDocRDData::CanStartDrag() const {
  return !(GetOptions() & rdoDisallowDrag);
}

void TRichDocRDData::RequestDrag() {
  rich_doc_.ArmDrag();
}

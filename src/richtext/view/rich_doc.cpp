#include "richtext/view/rich_doc.h"

#include <algorithm>
#include <utility>

#include "platform/gui/controls/focus_entry.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/graphics/wide_text.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/sys/timer.h"
#include "platform/text/streams.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/rd_animate.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/live_spelling.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext/view/rtf_read_properties.h"
#include "richtext/view/smart_popup.h"

namespace {

constexpr unsigned kAutoScrollInterval = 100;
// How often the spelling worker is handed the next item and its marks taken in, ms.
constexpr unsigned kSpellingInterval = 20;
constexpr int kMaxScrollUnits = 32000;

// Blank, the punctuation a word ends at, the typographic quotes, the signs and the
// no-break space.
const std::string kDefaultDelimiters = " .;,:(){}\"/\\<>!?[]\x91\x92\x93\x94-+*=\xA0";

}  // namespace

TCustomRichDoc::TCustomRichDoc(TComponent* AOwner)
    : TCustomRichDoc(AOwner,
                     [](TCustomRichDoc& doc) { return std::make_unique<TRichDocRDData>(doc); }) {}

TCustomRichDoc::TCustomRichDoc(TComponent* AOwner, const TDataFactory& MakeData)
    : TRDScroller(AOwner),
      RDFOptions(rdfoSavePicturesBody | rdfoSaveControlsBody | rdfoSaveBinary |
                 rdfoSaveDocProperties | rdfoLoadDocProperties),
      Delimiters(kDefaultDelimiters),
      rd_data_(MakeData(*this)),
      background_(std::make_unique<TRDBackground>(false)),
      auto_scroll_timer_(new TTimer(this)),
      animation_timer_(new TTimer(this)),
      deferred_timer_(new TTimer(this)),
      spelling_timer_(new TTimer(this)) {
  SetBounds(Left(), Top(), 100, 40);
  SetBorderStyle(bsSingle);
  SetColor(clNone);
  auto_scroll_timer_->SetEnabled(false);
  auto_scroll_timer_->SetInterval(kAutoScrollInterval);
  auto_scroll_timer_->OnTimer = [this](TComponent*) { AutoScrollTick(); };
  animation_timer_->SetEnabled(false);
  animation_timer_->OnTimer = [this](TComponent*) { AnimationTick(); };
  deferred_timer_->SetEnabled(false);
  // The shortest period that runs at all (0 would stop the timer).
  deferred_timer_->SetInterval(1);
  deferred_timer_->OnTimer = [this](TComponent*) { DispatchDeferred(); };
  spelling_timer_->SetEnabled(false);
  spelling_timer_->SetInterval(kSpellingInterval);
  spelling_timer_->OnTimer = [this](TComponent*) {
    if (live_spelling_) live_spelling_->Pump();
  };
}

TCustomRichDoc::~TCustomRichDoc() {
  if (freed_while_dragging_) *freed_while_dragging_ = true;
  destroying_ = true;
  StopLiveSpelling();  // the worker is joined before the document goes
  auto_scroll_timer_->SetEnabled(false);
  animation_timer_->SetEnabled(false);
  ClearFormatting();
  rd_data_->Clear();
  rd_data_.reset();
}

void TCustomRichDoc::SetStyle(TRDStyle* Value) {
  style_ = Value;
  Invalidate();
}

void TCustomRichDoc::SetAllowSelection(bool Value) {
  Options = Value ? Options | rdoAllowSelection : Options & ~rdoAllowSelection;
}

void TCustomRichDoc::SetSingleClick(bool Value) {
  Options = Value ? Options | rdoSingleClick : Options & ~rdoSingleClick;
}

TRDRTFReaderProperties& TCustomRichDoc::RTFReadProperties() {
  if (!rtf_read_properties_) rtf_read_properties_ = std::make_unique<TRDRTFReaderProperties>();
  return *rtf_read_properties_;
}

TRDSmartPopupProperties& TCustomRichDoc::SmartPopupProperties() {
  if (!smart_popup_) smart_popup_ = std::make_unique<TRDSmartPopupProperties>();
  return *smart_popup_;
}

void TCustomRichDoc::SetSmartPopupProperties(const TRDSmartPopupProperties* Value) {
  if (!Value) {
    FreeSmartPopupButton();
    smart_popup_.reset();
    return;
  }
  SmartPopupProperties() = *Value;
  if (smart_popup_button_) {
    smart_popup_button_->SetHint(Value->Hint);
    smart_popup_button_->SetShowHint(!Value->Hint.empty());
    smart_popup_button_->Invalidate();
  }
}

void TCustomRichDoc::ShowSmartPopupButton(int ItemNo) {
  if (!smart_popup_button_ || smart_popup_button_->ItemNo() != ItemNo) {
    FreeSmartPopupButton();
    smart_popup_button_ = new TRDSmartPopupButton(*this, SmartPopupProperties(), ItemNo);
    smart_popup_button_->OnClick = [this](TComponent*) {
      if (OnSmartPopupClick) OnSmartPopupClick(this, smart_popup_button_);
    };
  }
  PlaceSmartPopupButton();
}

void TCustomRichDoc::FreeSmartPopupButton() {
  delete std::exchange(smart_popup_button_, nullptr);
}

// At the right and bottom edges of the item's first draw item, kept inside the view.
void TCustomRichDoc::PlaceSmartPopupButton() {
  if (!smart_popup_button_) return;
  const int itemNo = smart_popup_button_->ItemNo();
  int left, top;
  if (itemNo < 0 || itemNo >= rd_data_->GetItemCount() ||
      rd_data_->GetItem(itemNo)->DrawItemNo < 0 ||
      !rd_data_->GetItemClientCoords(itemNo, left, top)) {
    FreeSmartPopupButton();
    return;
  }
  const TRDDrawLineInfo& line = *rd_data_->DrawItems[rd_data_->GetItem(itemNo)->DrawItemNo];
  const int size = TRDSmartPopupButton::kSize;
  const int x = std::clamp(left + line.Width, 0, std::max(0, ClientWidth() - size));
  const int y = std::clamp(top + line.Height, 0, std::max(0, ClientHeight() - size));
  smart_popup_button_->SetBounds(x, y, size, size);
  smart_popup_button_->SetVisible(true);
}

TColor TCustomRichDoc::BackgroundColor() const {
  if (Color() != clNone) return Color();
  return style_ ? style_->Color : clWindow;
}

namespace {

// What a writer put into the stream, as the whole new content of the file; false when the
// writer wrote nothing because it could not.
bool SaveStreamAtomically(const std::string& fileName, bool written, const TMemoryStream& stream) {
  if (!written) return false;
  SaveFileAtomically(
      fileName, std::string_view(static_cast<const char*>(stream.Memory()), size_t(stream.Size())));
  return true;
}

}  // namespace

bool TCustomRichDoc::SaveText(const std::string& FileName, int LineWidth) {
  TMemoryStream stream;
  return SaveStreamAtomically(
      FileName, SaveTextToStream(*rd_data_, stream, LineWidth, false, false, false, false), stream);
}

bool TCustomRichDoc::SaveTextW(const std::string& FileName, int LineWidth) {
  TMemoryStream stream;
  return SaveStreamAtomically(
      FileName, SaveTextToStream(*rd_data_, stream, LineWidth, false, false, true, true), stream);
}

bool TCustomRichDoc::SaveTextUTF8(const std::string& FileName, int LineWidth) {
  TMemoryStream stream;
  return SaveStreamAtomically(
      FileName, SaveTextToStreamUTF8(*rd_data_, stream, LineWidth, false, false), stream);
}

bool TCustomRichDoc::SaveRTF(const std::string& FileName, bool SelectionOnly) {
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.Path = ExtractFilePath(FileName);
  params.SelectionOnly = SelectionOnly;
  params.PageColor = BackgroundColor();
  params.Options = RTFOptions;
  return SaveStreamAtomically(FileName, SaveRTFToStream(*rd_data_, stream, params), stream);
}

TRDLayoutInfo TCustomRichDoc::LayoutInfo() const {
  TRDLayoutInfo layout;
  layout.LeftMargin = LeftMargin;
  layout.RightMargin = RightMargin;
  layout.TopMargin = TopMargin;
  layout.BottomMargin = BottomMargin;
  layout.MinTextWidth = MinTextWidth;
  layout.MaxTextWidth = MaxTextWidth;
  layout.BiDiMode = std::uint8_t(BiDiMode());
  return layout;
}

void TCustomRichDoc::ApplyLayoutInfo(const TRDLayoutInfo& Layout) {
  LeftMargin = Layout.LeftMargin;
  RightMargin = Layout.RightMargin;
  TopMargin = Layout.TopMargin;
  BottomMargin = Layout.BottomMargin;
  MinTextWidth = Layout.MinTextWidth;
  MaxTextWidth = Layout.MaxTextWidth;
  // A direction this viewer does not know leaves its own.
  if (Layout.BiDiMode <= std::uint8_t(rdbdRightToLeft)) SetBiDiMode(TRDBiDiMode(Layout.BiDiMode));
}

bool TCustomRichDoc::SaveRDFToStream(TStream& Stream, bool SelectionOnly) {
  const TRDLayoutInfo layout = LayoutInfo();
  TRDFSaveContext context;
  context.BackColor = Color();
  context.Background = background_.get();
  context.DocProperties = &DocProperties;
  context.Layout = &layout;
  return ::SaveRDFToStream(*rd_data_, Stream, SelectionOnly, context);
}

bool TCustomRichDoc::LoadRDFFromStream(TStream& Stream) {
  TColor color = Color();
  TRDLayoutInfo layout;
  std::vector<std::string> properties;
  TRDFLoadContext context;
  context.TextStylesReadMode = RDFTextStylesReadMode;
  context.ParaStylesReadMode = RDFParaStylesReadMode;
  context.BackColor = &color;
  context.Background = background_.get();
  context.DocProperties = &properties;
  context.Layout = &layout;
  ClearFormatting();
  const bool read = ::LoadRDFFromStream(*rd_data_, Stream, context);
  // What the options let in replaces the viewer's own; the rest stays.
  if (RDFOptions & rdfoLoadBack) SetColor(color);
  if ((RDFOptions & rdfoLoadLayout) && layout.Loaded) ApplyLayoutInfo(layout);
  if (RDFOptions & rdfoLoadDocProperties) DocProperties = std::move(properties);
  return read;
}

bool TCustomRichDoc::SaveRDF(const std::string& FileName, bool SelectionOnly) {
  TMemoryStream stream;
  return SaveStreamAtomically(FileName, SaveRDFToStream(stream, SelectionOnly), stream);
}

bool TCustomRichDoc::LoadRDF(const std::string& FileName) {
  TMemoryStream stream;
  stream.LoadFromFile(FileName);
  return LoadRDFFromStream(stream);
}

bool TCustomRichDoc::SaveHTML(const std::string& FileName, const std::string& Title,
                              const std::string& ImagePrefix, TRDSaveOptions Options) {
  TMemoryStream stream;
  const TRDHTMLSaveParams params = HTMLSaveParams(FileName, Title, ImagePrefix, Options);
  return SaveStreamAtomically(FileName, SaveHTMLToStream(*rd_data_, stream, params), stream);
}

bool TCustomRichDoc::SaveHTMLEx(const std::string& FileName, const std::string& Title,
                                const std::string& ImagePrefix, TRDSaveOptions Options) {
  TMemoryStream stream;
  const TRDHTMLSaveParams params = HTMLSaveParams(FileName, Title, ImagePrefix, Options);
  return SaveStreamAtomically(FileName, SaveHTMLExToStream(*rd_data_, stream, params), stream);
}

TRDHTMLSaveParams TCustomRichDoc::HTMLSaveParams(const std::string& fileName,
                                                 const std::string& title,
                                                 const std::string& imagePrefix,
                                                 TRDSaveOptions options) const {
  TRDHTMLSaveParams params;
  params.Path = ExtractFilePath(fileName);
  params.ImagePrefix = imagePrefix;
  params.Title = title;
  params.Options = options;
  params.PageColor = BackgroundColor();
  params.LeftMargin = LeftMargin;
  params.TopMargin = TopMargin;
  params.RightMargin = RightMargin;
  params.BottomMargin = BottomMargin;
  params.BackgroundStyle = background_->Style;
  params.BackgroundPicture = background_->GetBitmap();
  return params;
}

void TCustomRichDoc::SetBackgroundBitmap(const TGraphic* Value) {
  background_->AssignImage(Value);
  RedrawOnScroll = background_->ScrollNeedsFullRedraw();
  if (Options & rdoFormatInvalidate) Invalidate();
}

void TCustomRichDoc::SetBackgroundStyle(int Value) {
  background_->Style = TBackgroundStyle(Value);
  RedrawOnScroll = background_->ScrollNeedsFullRedraw();
  if (Options & rdoFormatInvalidate) Invalidate();
}

void TCustomRichDoc::ColorChanged() {
  Invalidate();
}

void TCustomRichDoc::SetVSmallStep(int Value) {
  // More than 32000 steps cannot be reached by a scroll bar.
  if (VScrollVisible() && Value > 0 && rd_data_->DocumentHeight / Value > kMaxScrollUnits) return;
  TRDScroller::SetVSmallStep(Value);
}

void TCustomRichDoc::AddTextParagraph(const std::string& s, int StyleNo, int ParaNo) {
  rd_data_->AddText(s, StyleNo, ParaNo);
}

void TCustomRichDoc::AddTextContinued(const std::string& s, int StyleNo) {
  rd_data_->AddTextWithTag(s, StyleNo, -1, TRDTag{});
}

void TCustomRichDoc::ReplaceItemText(int ItemNo, const std::string& s) {
  rd_data_->Items.SetString(ItemNo, s);
}

void TCustomRichDoc::Format(bool keepPosition, bool force, bool formatTail, bool pass1,
                            bool pass2) {
  rd_data_->FormatItems(keepPosition, force, false, 0, nullptr, formatTail, pass1, pass2);
}

void TCustomRichDoc::AfterFormat() {
  if (Options & rdoFormatInvalidate) Invalidate();
  PlaceSmartPopupButton();
}

void TCustomRichDoc::FormatDocument() {
  Format(false, true, false, true, false);
  AfterFormat();
  if (animation_mode_ == rdaniOnFormat) StartAnimation();
}

void TCustomRichDoc::FormatKeepSelection() {
  Format(true, true, false, true, true);
  AfterFormat();
}

void TCustomRichDoc::FormatTail() {
  Format(false, true, true, true, false);
  AfterFormat();
}

void TCustomRichDoc::FormatChangedItems(int First, int Last) {
  rd_data_->FormatChangedParas(First, Last);
  AfterFormat();
}

void TCustomRichDoc::ClearFormatting() {
  auto_scroll_timer_->SetEnabled(false);
  rd_data_->ClearFormatting();
}

void TCustomRichDoc::ClearDocument() {
  FreeSmartPopupButton();
  ClearFormatting();
  rd_data_->Clear();
}

void TCustomRichDoc::DeleteItemRange(int First, int Count) {
  // An item whose part is edited in an editor of its own closes that editor before it
  // goes: closing while the document is half deleted would lay out and focus a document
  // whose items are no longer there.
  if (const TCustomRDItemInfo* chosen = rd_data_->GetChosenItem()) {
    const int itemNo = rd_data_->GetItemNo(chosen);
    if (itemNo >= First && itemNo < First + Count) DestroyInplaceEditor();
  }
  rd_data_->DeleteItemsFormatted(First, Count);
}

void TCustomRichDoc::FormatAfterDeletion() {
  if (!rd_data_->FollowKeptLayout()) {
    FormatTail();
    return;
  }
  AfterFormat();
}

void TCustomRichDoc::GetSelectionRange(int& StartItemNo, int& StartOffs, int& EndItemNo,
                                       int& EndOffs, bool Normalize) const {
  rd_data_->GetSelectionBounds(StartItemNo, StartOffs, EndItemNo, EndOffs, Normalize);
}

void TCustomRichDoc::SetSelectionRange(int StartItemNo, int StartOffs, int EndItemNo, int EndOffs) {
  rd_data_->SetSelectionBounds(StartItemNo, StartOffs, EndItemNo, EndOffs);
}

void TCustomRichDoc::SelectAll() {
  rd_data_->SelectAll();
  Invalidate();
}

void TCustomRichDoc::Deselect() {
  rd_data_->Deselect(true);
  Invalidate();
}

void TCustomRichDoc::BoundsChanged(const TRect& OldBounds) {
  // A view at the end of its laid-out document, which it follows, keeps following it at
  // its new size (a monitor made shorter goes on showing what comes in); any other keeps
  // the line at its top.
  const bool following = (Options & rdoScrollToEnd) && rd_data_->DrawItems.Count() > 0 &&
                         VScrollPos() == GetVScrollMax();
  TRDScroller::BoundsChanged(OldBounds);
  if (ItemCount() > 0)
    Format(true, false, false, false, false);
  else
    UpdateScrollBars();
  if (following) ScrollTo(GetVScrollMax(), false);
  Invalidate();
}

void TCustomRichDoc::PaintWithoutStyle() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(BackgroundColor());
  canvas.Brush().SetStyle(bsSolid);
  canvas.FillRect(Rect(0, 0, Width(), Height()));
  canvas.Font().SetName("MS Sans Serif");
  canvas.Font().SetSize(8);
  canvas.Font().SetColor(clWindowText);
  TRect r = Rect(0, 0, Width(), Height());
  canvas.TextRect(
      r, "Style is not defined\rCreate a TRDStyle object and assign it to " + Name + ".Style",
      tfWordBreak | tfNoPrefix);
}

bool TCustomRichDoc::PaintsWholeBackground() const {
  return BackgroundColor() != clNone && !background_->HasVisibleImage();
}

void TCustomRichDoc::Paint() {
  if (!style_) {
    PaintWithoutStyle();
    PaintFrame();
    return;
  }
  const TRect area = DocumentRect();
  // Where the background covers the document area, the window is not filled first: the
  // face around it (frame, scroll bars and their corner) is filled here instead. The
  // choice holds from the next paint on; until then this one fills what it must.
  const bool whole = PaintsWholeBackground();
  if (OpaqueFace() && !whole) FillFaceBackground(Canvas(), TRect{});
  if (OpaqueFace() != whole) SetOpaqueFace(whole);
  const int w = std::max(1, area.Width()), h = std::max(1, area.Height());
  // Straight onto the window: the window system keeps it off screen until it is whole,
  // and a picture of our own in between would only be copied there.
  if (!paint_canvas_) paint_canvas_ = std::make_unique<TRDPlatformCanvas>(Canvas());
  TRDPlatformCanvas& document = *paint_canvas_;
  // The document leaves the canvas' own pen and brush as they were, for the frame and the
  // paint event after it.
  TPen pen;
  TBrush brush;
  pen.Assign(Canvas().Pen());
  brush.Assign(Canvas().Brush());
  struct TDocumentArea {
    TRDPlatformCanvas& canvas;
    ~TDocumentArea() { canvas.RestoreState(); }
  };
  try {
    document.SaveState();
    TDocumentArea restore{document};
    document.IntersectClipRect(area);
    CanvasMoveOrigin(Canvas(), area.Left, area.Top);
    const TRect clip = Rect(0, 0, w, h);
    rd_data_->DrawBackground(document, clip);
    rd_data_->PaintTo(document, clip);
    rd_data_->PaintXorDraw(document);
    rd_data_->PaintItemFocus(document);
    PaintOverDocument(document);
  } catch (const std::exception& e) {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(clWhite);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Font().SetName("Arial");
    canvas.Font().SetSize(10);
    canvas.Font().SetColor(clRed);
    canvas.TextOut(0, 0, std::string("Error:") + e.what());
  }
  Canvas().Pen().Assign(pen);
  Canvas().Brush().Assign(brush);
  if (whole) FillFaceBackground(Canvas(), area);
  PaintFrame();
  if (OnPaint) {
    TRDPlatformCanvas canvas(Canvas());
    OnPaint(this, canvas, false);
  }
}

TPoint TCustomRichDoc::ToDocumentArea(int X, int Y) const {
  const TRect area = DocumentRect();
  return Point(X - area.Left, Y - area.Top);
}

TPoint TCustomRichDoc::FromDocumentArea(int X, int Y) const {
  const TRect area = DocumentRect();
  return Point(X + area.Left, Y + area.Top);
}

void TCustomRichDoc::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TRDScroller::MouseDown(Button, Shift, X, Y);
  last_mouse_ = Point(X, Y);
  last_shift_ = Shift;
  if (Button == mbLeft) {
    auto_scroll_dx_ = auto_scroll_dy_ = 0;
    auto_scroll_timer_->SetEnabled(true);
  }
  if (!style_) return;
  // The keyboard goes on from where the user clicks, not from the item Tab reached.
  if (Button == mbLeft) rd_data_->ClearItemFocus();
  const TPoint p = ToDocumentArea(X, Y);
  rd_data_->MouseDown(Button, Shift, p.X, p.Y);
}

void TCustomRichDoc::FollowMouseForAutoScroll(TShiftState Shift, int X, int Y) {
  last_mouse_ = Point(X, Y);
  last_shift_ = Shift;
  const TRect area = DocumentRect();
  auto step = [](int v, int low, int high) {
    if (v < low - 20) return -10;
    if (v < low) return -1;
    if (v > high + 20) return 10;
    if (v > high) return 1;
    return 0;
  };
  auto_scroll_dy_ = step(Y, area.Top, area.Bottom);
  auto_scroll_dx_ = step(X, area.Left, area.Right);
}

void TCustomRichDoc::MouseMove(TShiftState Shift, int X, int Y) {
  TRDScroller::MouseMove(Shift, X, Y);
  FollowMouseForAutoScroll(Shift, X, Y);
  if (FollowDragRequest(Shift, X, Y)) return;
  const TPoint p = ToDocumentArea(X, Y);
  rd_data_->MouseMove(Shift, p.X, p.Y);
}

void TCustomRichDoc::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TRDScroller::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) auto_scroll_timer_->SetEnabled(false);
  if (!style_) return;
  if (Button == mbLeft) EndDragRequest(X, Y);
  const TPoint p = ToDocumentArea(X, Y);
  rd_data_->MouseUp(Button, Shift, p.X, p.Y);
}

void TCustomRichDoc::ShowCursor(TCursor Cursor) {
  // The viewer's own cursors in the shapes the platform has.
  if (Cursor == crJump) Cursor = crHandPoint;
  if (Cursor == crRDFlipArrow) Cursor = crArrow;
  SetCursor(Cursor);
}

void TCustomRichDoc::ShowItemHint(const std::string& Hint) {
  SetHint(Hint);
  if (Hint.empty()) {
    CancelHint();
    return;
  }
  // Below the cursor, where the pointer does not cover it.
  const TPoint pointer = ClientToScreen(last_mouse_);
  ShowHintWindow(ApplicationHintWindow(), Point(pointer.X, pointer.Y + 20), pointer,
                 Screen->Width() / 2, Hint);
}

namespace {

TShortCut ShortCutOf(TKeyCode Key, TShiftState Shift) {
  TShortCut shortCut = TShortCut(Key & 0xFF);
  if (Shift & ssShift) shortCut |= scShift;
  if (Shift & ssCtrl) shortCut |= scCtrl;
  if (Shift & ssAlt) shortCut |= scAlt;
  return shortCut;
}

}  // namespace

void TCustomRichDoc::KeyDown(TKeyCode& Key, TShiftState Shift) {
  const bool copyKey = (Key == 'C' || Key == VK_INSERT) && (Shift & ssCtrl) && !(Shift & ssAlt);
  if (copyKey) {
    CopySelection();
    Key = 0;
    return;
  }
  // Tab (or Ctrl+Tab) goes from item to item; past the last one Tab leaves the viewer,
  // passing over the controls in its text, which it reached as items.
  if (IsItemTabKey(Key, Shift)) {
    const bool forward = !(Shift & ssShift);
    if (rd_data_->MoveFocus(forward) || (!(Shift & ssCtrl) && FocusNextOutside(forward))) {
      Key = 0;
      return;
    }
  }
  if (smart_popup_button_ && smart_popup_ && ShortCutOf(Key, Shift) == smart_popup_->ShortCut) {
    smart_popup_button_->Activate();
    Key = 0;
    return;
  }
  if (Key == VK_RETURN && rd_data_->ExecuteFocusedItem()) {
    Key = 0;
    return;
  }
  TRDScroller::KeyDown(Key, Shift);
}

bool TCustomRichDoc::IsItemTabKey(TKeyCode Key, TShiftState Shift) const {
  return Key == VK_TAB && !(Shift & ssAlt) &&
         ((TabNavigation == rdtnTab && !(Shift & ssCtrl)) ||
          (TabNavigation == rdtnCtrlTab && (Shift & ssCtrl)));
}

// Tab in a control of the text goes on from that control's item to the next one that
// takes the focus, and past the last one out of the viewer.
void TCustomRichDoc::DialogKey(TKeyCode& Key, TShiftState Shift) {
  TRDScroller::DialogKey(Key, Shift);
  if (!IsItemTabKey(Key, Shift) || !rd_data_->FocusItemOfFocusedControl()) return;
  const bool forward = !(Shift & ssShift);
  if (!rd_data_->MoveFocus(forward) && !FocusNextOutside(forward)) return;
  Key = 0;
}

void TCustomRichDoc::DoVScrolled() {
  if (OnCheckpointVisible && CPEventKind != cpeNone) rd_data_->NotifyCheckpointVisible();
  PlaceSmartPopupButton();
  TRDScroller::DoVScrolled();
}

void TCustomRichDoc::DoHScrolled() {
  PlaceSmartPopupButton();
  TRDScroller::DoHScrolled();
}

void TCustomRichDoc::AutoScrollTick() {
  if (drop_scroll_dy_ != 0) {
    ScrollTo(VScrollPos() + drop_scroll_dy_, true);
    return;
  }
  if (auto_scroll_dy_ != 0) ScrollTo(VScrollPos() + auto_scroll_dy_, true);
  if (auto_scroll_dx_ != 0) HScrollTo(HScrollPos() + auto_scroll_dx_ * VSmallStep());
  if (auto_scroll_dx_ != 0 || auto_scroll_dy_ != 0)
    MouseMove(last_shift_, last_mouse_.X, last_mouse_.Y);
}

void TCustomRichDoc::DblClick() {
  TRDScroller::DblClick();
  auto_scroll_timer_->SetEnabled(false);
  if (!style_) return;
  const TPoint p = ToDocumentArea(last_mouse_.X, last_mouse_.Y);
  rd_data_->DblClick(p.X, p.Y);
}

void TCustomRichDoc::DoEnter() {
  TRDScroller::DoEnter();
  if (GetInplaceEditor()) return;
  // Tab into the viewer goes on to its first focusable item (Shift+Tab to its last): a
  // link takes the focus frame, a control in the text the focus itself. A click leaves
  // the items alone.
  const TFocusEntry entry = LastFocusEntry();
  if (TabNavigation != rdtnNone && entry != TFocusEntry::Other) {
    rd_data_->ClearItemFocus();
    rd_data_->MoveFocus(entry == TFocusEntry::Tab);
  }
  if (HasSelection()) Invalidate();
}

void TCustomRichDoc::DoExit() {
  TRDScroller::DoExit();
  if (HasSelection()) Invalidate();
}

void TCustomRichDoc::SetAnimationMode(TRDAnimationMode Value) {
  animation_mode_ = Value;
  if (Value == rdaniDisabled) ResetAnimation();
}

void TCustomRichDoc::StartAnimation() {
  rd_data_->AnimationsWanted = true;
  TRDAnimatorList* list = rd_data_->AnimatorsIfAny();
  if (!list || list->Count() == 0 || list->Active) return;
  list->Active = true;
  list->LastInterval = list->MinInterval;
  animation_timer_->SetInterval(unsigned(std::max(1, list->MinInterval)));
  animation_timer_->SetEnabled(true);
}

void TCustomRichDoc::StopAnimation() {
  rd_data_->AnimationsWanted = false;
  TRDAnimatorList* list = rd_data_->AnimatorsIfAny();
  if (!list || !list->Active) return;
  list->Active = false;
  animation_timer_->SetEnabled(false);
}

void TCustomRichDoc::ResetAnimation() {
  StopAnimation();
  if (TRDAnimatorList* list = rd_data_->AnimatorsIfAny()) list->FreeAll();
}

void TCustomRichDoc::AnimationTick() {
  TRDAnimatorList* list = rd_data_->AnimatorsIfAny();
  if (!list || !list->Active) return;
  TRichDocRDData& data = *rd_data_;
  auto visible = [&](const TRDAnimator& animator) {
    const int d = animator.Item->DrawItemNo;
    if (d < 0 || d >= data.DrawItems.Count()) return false;
    const TRDDrawLineInfo& line = *data.DrawItems[d];
    const int top = line.Top - data.GetVOffs();
    return top < data.GetHeight() && top + line.Height > 1;
  };
  // No drawing here: the paint shows the new frame.
  auto invalidate = [&](const TRDAnimator&) { Invalidate(); };
  if (list->Tick(visible, invalidate) && list->Count() > 0) {
    animation_timer_->SetInterval(unsigned(std::max(1, list->MinInterval)));
  }
}

void TCustomRichDoc::PostDeferredEvent(std::unique_ptr<TRDMessageData> Data) {
  deferred_.push_back(std::move(Data));
  deferred_timer_->SetEnabled(true);
}

void TCustomRichDoc::DispatchDeferred() {
  deferred_timer_->SetEnabled(false);
  while (!deferred_.empty()) {
    std::unique_ptr<TRDMessageData> data = std::move(deferred_.front());
    deferred_.pop_front();
    switch (data->Kind) {
      case 0:
        if (OnRDDblClick) {
          auto& d = static_cast<TRDDblClickMessageData&>(*data);
          OnRDDblClick(this, d.ClickedWord, d.StyleNo);
        }
        break;
      case 1:
        if (OnJump) OnJump(this, static_cast<TRDJumpMessageData&>(*data).Id);
        break;
      case 2:
      case 3: {
        auto& d = static_cast<TRDMouseUpDownMessageData&>(*data);
        auto& event = data->Kind == 2 ? OnRDMouseUp : OnRDMouseDown;
        if (event) event(this, d.Button, d.Shift, d.ItemNo, d.X, d.Y);
        break;
      }
      case 4:
        Click();
        break;
      case 5:
        DblClick();
        break;
      case 6: {
        auto& d = static_cast<TRDMouseMoveMessageData&>(*data);
        MouseMove(d.Shift, d.X, d.Y);
        break;
      }
      case 7:
      case 8: {
        auto& d = static_cast<TRDDNDMessageData&>(*data);
        auto& event = data->Kind == 7 ? OnDragDrop : OnEndDrag;
        if (event) event(this, d.Other, d.Pt.X, d.Pt.Y);
        break;
      }
      default:
        break;
    }
  }
}

void TCustomRichDoc::StartLiveSpelling() {
  if (!OnSpellingCheck) return;
  if (!live_spelling_)
    live_spelling_ = std::make_unique<TRDWordEnumThread>(*rd_data_, OnSpellingCheck,
                                                         [this](int) { Invalidate(); });
  live_spelling_->Start();
  spelling_timer_->SetEnabled(true);
}

void TCustomRichDoc::StopLiveSpelling() {
  spelling_timer_->SetEnabled(false);
  if (!live_spelling_) return;
  live_spelling_.reset();  // joins the worker and clears the marks
  Invalidate();
}

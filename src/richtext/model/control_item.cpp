#include "richtext/model/control_item.h"

#include <algorithm>
#include <vector>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/text_routines.h"
#include "richtext/model/html_save_context.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/object_records.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rtf_save_context.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

std::vector<TRDControlClass>& ControlClasses() {
  static std::vector<TRDControlClass> classes;
  return classes;
}

constexpr int kPercentMinWidth = 20;

}  // namespace

void RegisterRDControlClass(TRDControlClass controlClass) {
  for (TRDControlClass& known : ControlClasses())
    if (known.Name == controlClass.Name) {
      known = std::move(controlClass);
      return;
    }
  ControlClasses().push_back(std::move(controlClass));
}

const TRDControlClass* FindRDControlClass(std::string_view name) {
  for (const TRDControlClass& known : ControlClasses())
    if (known.Name == name) return &known;
  return nullptr;
}

std::unique_ptr<TBitmap> GetControlImage(TControl& control) {
  if (!dynamic_cast<TWinControl*>(&control)) return nullptr;
  auto image = std::make_unique<TBitmap>();
  image->SetSize(control.Width(), control.Height());
  PaintTo(control, image->Canvas(), 0, 0);
  return image;
}

TRDControlItemInfo::TRDControlItemInfo(TCustomRDData* rdData) : TRDRectItemInfo(rdData) {
  StyleNo = rdsComponent;
}

TRDControlItemInfo::~TRDControlItemInfo() = default;

std::unique_ptr<TRDControlItemInfo> TRDControlItemInfo::CreateWithControl(
    TCustomRDData* rdData, std::unique_ptr<TControl> control, TRDVAlign vAlign) {
  auto item = std::make_unique<TRDControlItemInfo>(rdData);
  item->Control = std::move(control);
  item->VAlign = vAlign;
  return item;
}

std::unique_ptr<TCustomRDItemInfo> TRDControlItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDControlItemInfo>(rdData);
}

bool TRDControlItemInfo::CanFocusControl() const {
  const auto* control = dynamic_cast<const TWinControl*>(Control.get());
  return control && control->Enabled() && control->Visible() && control->TabStop();
}

int TRDControlItemInfo::GetImageWidth(const TRDStyle*) const {
  return Control ? Control->Width() : 0;
}

int TRDControlItemInfo::GetImageHeight(const TRDStyle*) const {
  return Control ? Control->Height() : 0;
}

int TRDControlItemInfo::GetMinWidth(const TRDResolution* resolution, TCustomRDData*) const {
  const int width = PercentWidth != 0 ? kPercentMinWidth : GetWidth();
  return resolution ? ScreenToDeviceX(width, *resolution) : width;
}

bool TRDControlItemInfo::QueryItemFlag(std::uint8_t code) const {
  switch (code) {
    case 1:
      return Control != nullptr;
    case 3:
    case 7:
    case 9:
      return true;
    case 8:
      return ResizeEnabled && PercentWidth == 0;
    default:
      return TRDRectItemInfo::QueryItemFlag(code);
  }
}

bool TRDControlItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  if (code == 2) return CanFocusControl();
  if (code == 4) return false;
  if (code == 5) return PercentWidth >= 1 && PercentWidth <= 100;
  return TRDRectItemInfo::QueryItemFlagEx(code, rdStyle);
}

void TRDControlItemInfo::MoveToPosition(int x, int y, bool refresh) {
  if (!Control) return;
  const int s = Spacing();
  if (Control->Left() != x + s || Control->Top() != y + s)
    Control->SetBounds(x + s, y + s, Control->Width(), Control->Height());
  if (refresh) Control->Invalidate();
  Control->SetVisible(ControlVisible);
}

void TRDControlItemInfo::AdjustToDocWidth(TRDCanvas&, TRDStyle&, int docWidth, int& width,
                                          int& height, int& descent) const {
  descent = GetDescent();
  if (!Control || PercentWidth < 1 || PercentWidth > 100) return;
  const int share = docWidth * PercentWidth / 100;
  Control->SetWidth(std::max(0, share - 2 * Spacing()));
  width = share;
  height = Control->Height() + 2 * Spacing();
}

void TRDControlItemInfo::Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state,
                               TRDStyle& rdStyle, const TRDDrawLineInfo&) const {
  if (!ControlVisible) return;
  const int right = x + GetWidth(), bottom = y + GetHeight();
  if ((state & rdipsCurrent) && rdStyle.CurrentItemColor != clNone)
    DrawObjectFrame(canvas, rdStyle.CurrentItemColor, x - 1, y - 1, right + 1, bottom + 1);
  if (state & rdipsSelected) {
    const TColor color = ObjectSelectionColor(rdStyle, state);
    if (color != clNone) DrawObjectFrame(canvas, color, x, y, right, bottom);
  }
}

bool TRDControlItemInfo::PrintToBitmap(TBitmap& bitmap, const TRect& box, bool,
                                       const TRDDrawLineInfo* drawLine, int partIndex, TRDColorMode,
                                       TRDStyle&) const {
  if (!ControlVisible || !Control) return false;
  std::unique_ptr<TBitmap> image =
      OnPrintComponent ? OnPrintComponent(*Control) : GetControlImage(*Control);
  if (!image) return false;
  if (MinHeightOnPage > 0) {
    int y0 = 0;
    if (const auto* info = dynamic_cast<const TRDMultiImagePrintInfo*>(drawLine);
        info && partIndex >= 0 && partIndex < info->PartsList.Count())
      y0 = -info->Part(partIndex)->ImgTop;
    bitmap.Canvas().Draw(box.Left, box.Top + y0, *image);
    return true;
  }
  // Centred in the item; an image larger than the item is shrunk into it, as a box
  // enlarged to the image would be.
  const int width = std::max(box.Width(), image->Width());
  const int height = std::max(box.Height(), image->Height());
  const TRect at = Bounds((width - image->Width()) / 2, (height - image->Height()) / 2,
                          image->Width(), image->Height());
  if (width == box.Width() && height == box.Height()) {
    bitmap.Canvas().Draw(box.Left + at.Left, box.Top + at.Top, *image);
  } else {
    const auto x = [&](int v) { return box.Left + RDMulDiv(v, box.Width(), width); };
    const auto y = [&](int v) { return box.Top + RDMulDiv(v, box.Height(), height); };
    bitmap.Canvas().StretchDraw(Rect(x(at.Left), y(at.Top), x(at.Right), y(at.Bottom)), *image);
  }
  return true;
}

std::unique_ptr<TRDDrawLineInfo> TRDControlItemInfo::CreatePrintingDrawItem(
    TCustomRDData* rdData, const TRDResolution& resolution) const {
  if (MinHeightOnPage == 0) return TRDRectItemInfo::CreatePrintingDrawItem(rdData, resolution);
  auto info = std::make_unique<TRDMultiImagePrintInfo>(*this, resolution);
  info->Width = ScreenToDeviceX(GetWidth(), resolution);
  info->Height = ScreenToDeviceY(GetHeight(), resolution);
  return info;
}

void TRDControlItemInfo::NotifyData(TCustomRDData* rdData, std::string& text) {
  if (Control) {
    Control->Hide();
    Control->SetParent(rdData ? rdData->GetParentControl() : nullptr);
  }
  TRDRectItemInfo::NotifyData(rdData, text);
}

void TRDControlItemInfo::MovingToUndoList(int itemNo, TCustomRDData* rdData) {
  if (Control) Control->SetParent(nullptr);
  if (rdData) rdData->DoControlAction(rdcaMoveToUndoList, itemNo, Control.get());
  TRDRectItemInfo::MovingToUndoList(itemNo, rdData);
}

void TRDControlItemInfo::MovingFromUndoList(int itemNo, TCustomRDData* rdData) {
  if (!rdData) return;
  rdData->DoControlAction(rdcaMoveFromUndoList, itemNo, Control.get());
  if (Control) Control->SetParent(rdData->GetParentControl());
}

void TRDControlItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDRectItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDControlItemInfo*>(&source)) {
    ResizeEnabled = s->ResizeEnabled;
    ControlVisible = s->ControlVisible;
    PercentWidth = s->PercentWidth;
  }
}

int TRDControlItemInfo::GetRDFExtraPropertyCount() const {
  return TRDRectItemInfo::GetRDFExtraPropertyCount() + (MinHeightOnPage > 0) + ResizeEnabled +
         !ControlVisible;
}

void TRDControlItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TRDRectItemInfo::SaveRDFExtraProperties(stream);
  if (MinHeightOnPage > 0) WriteRDFExtraIntProperty(stream, rdepMinHeightOnPage, MinHeightOnPage);
  if (ResizeEnabled) WriteRDFExtraIntProperty(stream, rdepResizable, 1);
  if (!ControlVisible) WriteRDFExtraIntProperty(stream, rdepVisible, 0);
}

bool TRDControlItemInfo::SetExtraIntProperty(TRDExtraItemProperty prop, int value) {
  switch (prop) {
    case rdepMinHeightOnPage:
      MinHeightOnPage = value;
      return true;
    case rdepResizable:
      ResizeEnabled = value != 0;
      return true;
    case rdepVisible:
      ControlVisible = value != 0;
      return true;
    default:
      return TRDRectItemInfo::SetExtraIntProperty(prop, value);
  }
}

bool TRDControlItemInfo::GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const {
  switch (prop) {
    case rdepMinHeightOnPage:
      value = MinHeightOnPage;
      return true;
    case rdepResizable:
      value = ResizeEnabled;
      return true;
    case rdepVisible:
      value = ControlVisible;
      return true;
    default:
      return TRDRectItemInfo::GetExtraIntProperty(prop, value);
  }
}

void TRDControlItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo,
                                 const std::string& name, bool forceSameAsPrev) const {
  const TRDControlClass* controlClass =
      Control ? FindRDControlClass(Control->ClassName()) : nullptr;
  const bool withBody = rdData && (rdData->GetRDFOptions() & rdfoSaveControlsBody) && controlClass;
  if (withBody) rdData->DoControlAction(rdcaBeforeRDFSave, itemNo, Control.get());
  WriteRDFObjectRecord(
      stream, *this, rdData, name, withBody ? controlClass->Name : "", withBody, forceSameAsPrev,
      [&](TStream& body) { StreamWriteString(body, controlClass->Save(*Control)); });
  if (withBody) rdData->DoControlAction(rdcaAfterRDFSave, itemNo, Control.get());
}

void TRDControlItemInfo::AdoptControl(std::unique_ptr<TControl> control, TCustomRDData* rdData) {
  Control = std::move(control);
  if (!Control) return;
  Control->SetVisible(false);
  Control->SetParent(rdData ? rdData->GetParentControl() : nullptr);
}

bool TRDControlItemInfo::LoadBody(const std::string& body, int readMode) {
  const TRDControlClass* controlClass = FindRDControlClass(Control->ClassName());
  if (!controlClass) return false;
  if (readMode == kRDFSaveBinary) return controlClass->Load(*Control, body);
  TMemoryStream bytes;
  if (!HexToStream(body, bytes)) return false;
  return controlClass->Load(
      *Control, std::string_view(static_cast<const char*>(bytes.Memory()), size_t(bytes.Size())));
}

bool TRDControlItemInfo::ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode,
                                     int lineNo, int lineCount, std::string& name, int& readType,
                                     int& readState) {
  const TRDFOptions options = rdData ? rdData->GetRDFOptions() : 0;
  // An item left without a control is kept only when the reader is told to pass over
  // controls it does not know.
  auto noControl = [&] {
    if (rdData) rdData->SetRDFWarnings(rdData->GetRDFWarnings() | rdfwUnknownControls);
    return (options & rdfoIgnoreUnknownCtrls) != 0;
  };
  bool result = true;
  if (readMode == kRDFSaveNoBody) {
    if (lineNo != 0) {
      ReadRDFExtraProperty(*this, line);
      return true;
    }
    name = DecodeRDFLineBreaks(line);
    AdoptControl(rdData ? rdData->DoRDFControlNeeded(name, Tag) : nullptr, rdData);
    return Control ? true : noControl();
  }
  if (lineNo == 0) {
    name = DecodeRDFLineBreaks(line);
  } else if (lineNo == 1) {
    if (const TRDControlClass* controlClass = FindRDControlClass(line))
      AdoptControl(controlClass->Create(), rdData);
  } else if (lineNo == lineCount - 1) {
    result = Control ? LoadBody(line, readMode) : noControl();
    readState = 2;
  } else {
    ReadRDFExtraProperty(*this, line);
  }
  if (readMode == kRDFSaveBinary && lineNo == lineCount - 2) readType = 1;
  return result;
}

// --- export ----------------------------------------------------------------------------------

std::string TRDControlItemInfo::ComponentText(TCustomRDData* rdData, TRDSaveFormat format,
                                              const std::string& path) const {
  if (!rdData || !Control) return "";
  const TRDExportHooks& hooks = rdData->GetAbsoluteRootData()->ExportHooks;
  return hooks.OnSaveComponentToFile ? hooks.OnSaveComponentToFile(rdData, *Control, format, path)
                                     : std::string();
}

void TRDControlItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                                  TRDHTMLSaveContext& context) const {
  StreamWriteString(stream, ComponentText(rdData, rdsfHTML, context.Path));
}

void TRDControlItemInfo::SaveRTF(TStream& stream, TCustomRDData* rdData, int,
                                 TRDRTFSaveContext& context) const {
  StreamWriteString(stream, ComponentText(rdData, rdsfRTF, context.Path));
}

std::string TRDControlItemInfo::AsText(int, TCustomRDData* rdData) const {
  return ComponentText(rdData, rdsfText, "");
}

// Beside the control items that take them: handing a control on needs the whole class.
std::unique_ptr<TControl> TCustomRDData::DoRDFControlNeeded(const std::string& name,
                                                            const TRDTag& tag) {
  if (TCustomRDData* root = GetRootData(); root != this) return root->DoRDFControlNeeded(name, tag);
  return OnRDFControlNeeded ? OnRDFControlNeeded(name, tag) : nullptr;
}

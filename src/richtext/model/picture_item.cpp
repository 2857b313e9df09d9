#include "richtext/model/picture_item.h"

#include <algorithm>
#include <optional>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/text/streams.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/model/html_image.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/object_records.h"
#include "richtext/model/picture_budget.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rtf_picture.h"
#include "richtext/model/rtf_save_context.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

// --- printing in slices -----------------------------------------------------------------------

TRDMultiImagePrintInfo::TRDMultiImagePrintInfo(const TRDRectItemInfo& item,
                                               const TRDResolution& resolution)
    : Item(item), Resolution(resolution) {}

int TRDMultiImagePrintInfo::ToScreen(int deviceY) const {
  return RDMulDiv(deviceY, Resolution.ScreenPixelsPerInchY, Resolution.DevicePixelsPerInchY);
}

int TRDMultiImagePrintInfo::ToDevice(int screenY) const {
  return RDMulDiv(screenY, Resolution.DevicePixelsPerInchY, Resolution.ScreenPixelsPerInchY);
}

bool TRDMultiImagePrintInfo::InitSplit() {
  PartsList.Clear();
  if (Item.MinHeightOnPage == 0) return false;
  auto part = std::make_unique<TRDImagePrintPart>();
  part->ImgHeight = Item.GetImageHeight(nullptr);
  part->Height = ToDevice(part->ImgHeight);
  PartsList.Add(std::move(part));
  return true;
}

bool TRDMultiImagePrintInfo::CanSplitFirst(int deviceHeight) const {
  const int y = ToScreen(deviceHeight);
  const int m = Item.MinHeightOnPage;
  if (y < 1 || !Item.QueryItemFlagEx(0, nullptr) || m < 1 || y < m) return false;
  const int height = Item.GetImageHeight(nullptr);
  return height - y >= m || y > height;
}

bool TRDMultiImagePrintInfo::SplitAt(int deviceHeight) {
  const int m = Item.MinHeightOnPage;
  if (m < 1) return false;
  if (PartsList.Count() == 0) throw ERichDocError("Internal printing error");
  TRDImagePrintPart& last = *Part(PartsList.Count() - 1);
  if (m >= last.ImgHeight) return false;
  const int y = ToScreen(deviceHeight);
  const int rest = last.ImgHeight - y;
  if (rest < m || m > y) return false;
  last.ImgHeight = y;
  last.Height = ToDevice(y);
  auto part = std::make_unique<TRDImagePrintPart>();
  part->ImgTop = last.ImgTop + y;
  part->ImgHeight = rest;
  part->Height = ToDevice(rest);
  PartsList.Add(std::move(part));
  return true;
}

// --- frames ----------------------------------------------------------------------------------

void DrawObjectFrame(TRDCanvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
  canvas.PenColor = color;
  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;
  canvas.BrushStyle = bsClear;
  canvas.Rectangle(x1, y1, x2, y2);
  canvas.BrushStyle = bsSolid;
}

TColor ObjectSelectionColor(const TRDStyle& rdStyle, TRDItemPaintState state) {
  return (state & rdipsFocused) ? rdStyle.SelColor : rdStyle.InactiveSelColor;
}

// --- the picture item ------------------------------------------------------------------------

TRDGraphicItemInfo::TRDGraphicItemInfo(TCustomRDData* rdData) : TRDRectItemInfo(rdData) {
  StyleNo = rdsPicture;
}

TRDGraphicItemInfo::~TRDGraphicItemInfo() {
  delete animator_;  // leaves its list on the way
}

std::unique_ptr<TRDGraphicItemInfo> TRDGraphicItemInfo::CreateWithGraphic(
    TCustomRDData* rdData, std::unique_ptr<TGraphic> graphic, TRDVAlign vAlign) {
  auto item = std::make_unique<TRDGraphicItemInfo>(rdData);
  item->Image = std::move(graphic);
  item->VAlign = vAlign;
  return item;
}

std::unique_ptr<TCustomRDItemInfo> TRDGraphicItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDGraphicItemInfo>(rdData);
}

int TRDGraphicItemInfo::GetImageWidth(const TRDStyle*) const {
  if (ImageWidth > 0) return ImageWidth;
  return Image ? Image->Width() : 0;
}

int TRDGraphicItemInfo::GetImageHeight(const TRDStyle*) const {
  if (ImageHeight > 0) return ImageHeight;
  return Image ? Image->Height() : 0;
}

int TRDGraphicItemInfo::GetMinWidth(const TRDResolution* resolution, TCustomRDData*) const {
  return resolution ? ScreenToDeviceX(GetWidth(), *resolution) : GetWidth();
}

bool TRDGraphicItemInfo::QueryItemFlag(std::uint8_t code) const {
  switch (code) {
    case 1:
    case 8:
      return Image != nullptr;
    case 3:
    case 4:
      return true;
    case 9:
      return animator_ != nullptr;
    default:
      return TRDRectItemInfo::QueryItemFlag(code);
  }
}

const TBitmap* TRDGraphicItemInfo::AnimationBitmap() const {
  return dynamic_cast<const TBitmap*>(Image.get());
}

void TRDGraphicItemInfo::DrawCurrentFrame(TRDCanvas& canvas, int x, int y) const {
  const auto* animator = dynamic_cast<const TRDBitmapAnimator*>(animator_);
  const TBitmap* bitmap = AnimationBitmap();
  if (!animator || !bitmap) return;
  int column = 0, row = 0;
  animator->FrameCell(column, row);
  TBitmap frame;
  frame.SetSize(FrameWidth(), FrameHeight());
  frame.Canvas().Draw(-column * FrameWidth(), -row * FrameHeight(), *bitmap);
  frame.SetTransparent(bitmap->Transparent());
  if (bitmap->TransparentMode() == tmFixed) frame.SetTransparentColor(bitmap->TransparentColor());
  canvas.Draw(x, y, frame);
}

void TRDGraphicItemInfo::Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state,
                               TRDStyle& rdStyle, const TRDDrawLineInfo&) const {
  const int s = Spacing();
  const int w = GetImageWidth(), h = GetImageHeight();
  x += s;
  y += s;
  if (animator_) {
    DrawCurrentFrame(canvas, x, y);
  } else if (const TGraphic* picture = ImageCopy ? ImageCopy.get() : Image.get()) {
    if (HasExplicitSize())
      canvas.StretchDraw(Rect(x, y, x + w, y + h), *picture);
    else
      canvas.Draw(x, y, *picture);
  }
  if ((state & rdipsCurrent) && rdStyle.CurrentItemColor != clNone)
    DrawObjectFrame(canvas, rdStyle.CurrentItemColor, x - s - 1, y - s - 1, x + w + s + 1,
                    y + h + s + 1);
  if (state & rdipsSelected) {
    const TColor color = ObjectSelectionColor(rdStyle, state);
    if (color != clNone) DrawObjectFrame(canvas, color, x - s, y - s, x + w + s, y + h + s);
  }
}

bool TRDGraphicItemInfo::PrintToBitmap(TBitmap& bitmap, const TRect& box, bool useCopy,
                                       const TRDDrawLineInfo* drawLine, int partIndex, TRDColorMode,
                                       TRDStyle&) const {
  if (!Image) return false;
  int y0 = 0;
  if (const auto* info = dynamic_cast<const TRDMultiImagePrintInfo*>(drawLine);
      info && partIndex >= 0 && partIndex < info->PartsList.Count())
    y0 = -info->Part(partIndex)->ImgTop;
  const TGraphic& shown = useCopy && ImageCopy ? *ImageCopy : *Image;
  if (!HasExplicitSize()) {
    bitmap.Canvas().Draw(box.Left, box.Top + y0, shown);
    return true;
  }
  // Stretched into the item straight away, not drawn at its own size first: a large
  // picture sized down costs only the bitmap. A part of a picture sized to another width
  // keeps the picture's own height.
  const bool ownSize = (ImageWidth == 0 || ImageWidth == Image->Width()) &&
                       (ImageHeight == 0 || ImageHeight == Image->Height());
  const bool wholeStretched = (useCopy && ImageCopy) || ownSize || partIndex < 0;
  const int height = wholeStretched ? box.Height() : Image->Height();
  bitmap.Canvas().StretchDraw(Bounds(box.Left, box.Top + y0, box.Width(), height), shown);
  return true;
}

std::unique_ptr<TRDDrawLineInfo> TRDGraphicItemInfo::CreatePrintingDrawItem(
    TCustomRDData* rdData, const TRDResolution& resolution) const {
  const bool stretchedHeight = Image && ImageHeight > 0 && ImageHeight != Image->Height();
  if (!QueryItemFlagEx(0, rdData ? rdData->GetRDStyle() : nullptr) || MinHeightOnPage == 0 ||
      stretchedHeight)
    return TRDRectItemInfo::CreatePrintingDrawItem(rdData, resolution);
  auto info = std::make_unique<TRDMultiImagePrintInfo>(*this, resolution);
  info->Width = ScreenToDeviceX(GetWidth(), resolution);
  info->Height = ScreenToDeviceY(GetHeight(), resolution);
  return info;
}

void TRDGraphicItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDRectItemInfo::AssignProperties(source);
  const auto* s = dynamic_cast<const TRDGraphicItemInfo*>(&source);
  if (!s) return;
  Alt = s->Alt;
  ImageFileName = s->ImageFileName;
  ImageWidth = s->ImageWidth;
  ImageHeight = s->ImageHeight;
  NoHTMLImageSize = s->NoHTMLImageSize;
  Interval = s->Interval;
  Image = s->Image ? s->Image->Clone() : nullptr;
  ImageCopy = s->ImageCopy ? s->ImageCopy->Clone() : nullptr;
}

void TRDGraphicItemInfo::SetAnimator(TRDAnimator* animator) {
  animator_ = animator;
  if (animator_) animator_->Holder = &animator_;
}

void TRDGraphicItemInfo::CreateAnimator(TCustomRDData* rdData) {
  TRDAnimatorList* list = rdData ? rdData->GetAnimators() : nullptr;
  if (!list) {
    delete animator_;
    return;
  }
  RDMakeAnimator(*this, rdData, *list);
  SetAnimator(list->Find(this));
}

void TRDGraphicItemInfo::UpdateAnimator(TCustomRDItemInfo& source, TCustomRDData* rdData) {
  auto* s = dynamic_cast<TRDGraphicItemInfo*>(&source);
  if (!animator_ && s && s->animator_) {
    TRDAnimator* taken = s->animator_;
    s->animator_ = nullptr;
    taken->Item = this;
    SetAnimator(taken);
  }
  CreateAnimator(rdData);
}

// --- document-file records -------------------------------------------------------------------

namespace {

const TBitmap* AsBitmap(const std::unique_ptr<TGraphic>& graphic) {
  return dynamic_cast<const TBitmap*>(graphic.get());
}

// A drawing's bytes may give no size of their own (a Windows metafile of records alone,
// as RTF holds one): its record says the size it is shown at.
bool IsDrawing(const TGraphic* graphic) {
  if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(graphic))
    return frame->Source().RDFClass == GraphicClassName(TMetafile());
  return dynamic_cast<const TMetafile*>(graphic) != nullptr;
}

}  // namespace

int TRDGraphicItemInfo::SavedImageWidth() const {
  return IsDrawing(Image.get()) ? GetImageWidth() : ImageWidth;
}

int TRDGraphicItemInfo::SavedImageHeight() const {
  return IsDrawing(Image.get()) ? GetImageHeight() : ImageHeight;
}

int TRDGraphicItemInfo::GetRDFExtraPropertyCount() const {
  int count = TRDRectItemInfo::GetRDFExtraPropertyCount() + (SavedImageWidth() > 0) +
              (SavedImageHeight() > 0) + (MinHeightOnPage > 0) + NoHTMLImageSizeLineCount() +
              (Interval > 0) + !ImageFileName.empty() + !Alt.empty();
  if (const TBitmap* bitmap = AsBitmap(Image); bitmap && bitmap->Transparent())
    count += 2 + (bitmap->TransparentMode() == tmFixed);
  return count;
}

void TRDGraphicItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TRDRectItemInfo::SaveRDFExtraProperties(stream);
  if (const int width = SavedImageWidth(); width > 0)
    WriteRDFExtraIntProperty(stream, rdepImageWidth, width);
  if (const int height = SavedImageHeight(); height > 0)
    WriteRDFExtraIntProperty(stream, rdepImageHeight, height);
  if (MinHeightOnPage > 0) WriteRDFExtraIntProperty(stream, rdepMinHeightOnPage, MinHeightOnPage);
  SaveNoHTMLImageSize(stream);
  if (Interval > 0) WriteRDFExtraIntProperty(stream, rdepAnimationInterval, Interval);
  if (const TBitmap* bitmap = AsBitmap(Image); bitmap && bitmap->Transparent()) {
    WriteRDFExtraIntProperty(stream, rdepTransparent, 1);
    WriteRDFExtraIntProperty(stream, rdepTransparentMode, int(bitmap->TransparentMode()));
    if (bitmap->TransparentMode() == tmFixed)
      WriteRDFExtraIntProperty(stream, rdepTransparentColor, int(bitmap->TransparentColor()));
  }
  if (!ImageFileName.empty()) WriteRDFExtraStrProperty(stream, rdespImageFileName, ImageFileName);
  if (!Alt.empty()) WriteRDFExtraStrProperty(stream, rdespAlt, Alt);
}

bool TRDGraphicItemInfo::SetExtraIntProperty(TRDExtraItemProperty prop, int value) {
  if (SetNoHTMLImageSize(prop, value)) return true;
  auto* bitmap = dynamic_cast<TBitmap*>(Image.get());
  switch (prop) {
    case rdepImageWidth:
      ImageWidth = value;
      return true;
    case rdepImageHeight:
      ImageHeight = value;
      return true;
    case rdepMinHeightOnPage:
      MinHeightOnPage = value;
      return true;
    case rdepAnimationInterval:
      Interval = value;
      return true;
    case rdepTransparent:
      if (bitmap) bitmap->SetTransparent(value != 0);
      return bitmap != nullptr;
    case rdepTransparentMode:
      if (bitmap) bitmap->SetTransparentMode(value == int(tmFixed) ? tmFixed : tmAuto);
      return bitmap != nullptr;
    case rdepTransparentColor:
      if (bitmap) bitmap->SetTransparentColor(TColor(value));
      return bitmap != nullptr;
    default:
      return TRDRectItemInfo::SetExtraIntProperty(prop, value);
  }
}

bool TRDGraphicItemInfo::GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const {
  if (GetNoHTMLImageSize(prop, value)) return true;
  const TBitmap* bitmap = AsBitmap(Image);
  switch (prop) {
    case rdepImageWidth:
      value = ImageWidth;
      return true;
    case rdepImageHeight:
      value = ImageHeight;
      return true;
    case rdepMinHeightOnPage:
      value = MinHeightOnPage;
      return true;
    case rdepAnimationInterval:
      value = Interval;
      return true;
    case rdepTransparent:
      if (bitmap) value = bitmap->Transparent();
      return bitmap != nullptr;
    case rdepTransparentMode:
      if (bitmap) value = int(bitmap->TransparentMode());
      return bitmap != nullptr;
    case rdepTransparentColor:
      if (bitmap) value = int(bitmap->TransparentColor());
      return bitmap != nullptr;
    default:
      return TRDRectItemInfo::GetExtraIntProperty(prop, value);
  }
}

bool TRDGraphicItemInfo::SetExtraStrProperty(TRDExtraItemStrProperty prop,
                                             const std::string& value) {
  if (prop == rdespAlt)
    Alt = value;
  else if (prop == rdespImageFileName)
    ImageFileName = value;
  else
    return TRDRectItemInfo::SetExtraStrProperty(prop, value);
  return true;
}

bool TRDGraphicItemInfo::GetExtraStrProperty(TRDExtraItemStrProperty prop,
                                             std::string& value) const {
  if (prop == rdespAlt)
    value = Alt;
  else if (prop == rdespImageFileName)
    value = ImageFileName;
  else
    return TRDRectItemInfo::GetExtraStrProperty(prop, value);
  return true;
}

void TRDGraphicItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int,
                                 const std::string& name, bool forceSameAsPrev) const {
  // A picture of a kind no reader knows is written without its body, so the record stays
  // readable (the application supplies the picture again by name). A picture left out
  // is written as the body it was read from.
  const auto* frame = dynamic_cast<const TRDPictureFrame*>(Image.get());
  const std::string className = frame   ? frame->Source().RDFClass
                                : Image ? GraphicClassName(*Image)
                                        : std::string();
  const bool withBody =
      rdData && (rdData->GetRDFOptions() & rdfoSavePicturesBody) && !className.empty();
  WriteRDFObjectRecord(stream, *this, rdData, name, className, withBody, forceSameAsPrev,
                       [this](TStream& body) { Image->SaveToStream(body); });
}

// A picture's pixels are taken from the document's budget (see picture_budget.h): one
// that does not fit is left out, a frame of its size in its place.
bool TRDGraphicItemInfo::LoadBody(const std::string& body, TCustomRDData* rdData, int readMode) {
  try {
    TMemoryStream stream;
    if (readMode == kRDFSaveBinary)
      stream.WriteBuffer(body.data(), std::int64_t(body.size()));
    else if (!HexToStream(body, stream))
      return false;
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Image.get()))
      jpeg->SetDecoding(TJpegDecoding::AsShown);
    const std::optional<TPictureClaim> claimed = ClaimedPicture(
        *Image, {static_cast<const std::uint8_t*>(stream.Memory()), std::size_t(stream.Size())});
    // The record's size lines come before its body.
    const auto load = [&] {
      stream.SetPosition(0);
      Image->LoadFromStream(stream);
      if (auto* drawing = dynamic_cast<TMetafile*>(Image.get()); drawing && drawing->Empty())
        drawing->SetSize(ImageWidth, ImageHeight);
    };
    if (!claimed) load();
    const int width = std::max(claimed ? claimed->Size.cx : Image->Width(), 0);
    const int height = std::max(claimed ? claimed->Size.cy : Image->Height(), 0);
    const std::int64_t pixels = claimed ? claimed->Pixels : DecodedPicturePixels(*Image);
    if (rdData && !rdData->PictureBudget().Take(pixels)) {
      Image = std::make_unique<TRDPictureFrame>(
          width, height,
          TRDPictureSource{
              GraphicClassName(*Image),
              std::string(static_cast<const char*>(stream.Memory()), std::size_t(stream.Size()))});
    } else if (claimed) {
      load();
    }
    if (rdData && PictureLeavesOut(*Image))
      rdData->SetRDFWarnings(rdData->GetRDFWarnings() | rdfwPicturesLeftOut);
    return true;
  } catch (const std::exception&) {
    TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr;
    Image = rdStyle ? rdStyle->InvalidPicture().Clone() : nullptr;
    if (rdData) rdData->SetRDFWarnings(rdData->GetRDFWarnings() | rdfwInvalidPicture);
    return true;
  }
}

bool TRDGraphicItemInfo::ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode,
                                     int lineNo, int lineCount, std::string& name, int& readType,
                                     int& readState) {
  bool result = true;
  if (readMode == kRDFSaveNoBody) {
    if (lineNo == 0) {
      name = DecodeRDFLineBreaks(line);
      if (rdData) Image = rdData->DoRDFPictureNeeded(name, Tag);
      return true;
    }
    const std::string oldFileName = ImageFileName;
    ReadRDFExtraProperty(*this, line);
    if (ImageFileName != oldFileName && !ImageFileName.empty() && !Image && rdData)
      Image = rdData->DoRDFPictureNeeded(ImageFileName, Tag);
    return true;
  }
  if (lineNo == 0) {
    name = DecodeRDFLineBreaks(line);
  } else if (lineNo == 1) {
    if (TRDGraphicClass graphicClass = FindGraphicClass(line)) {
      Image = RDCreateGraphicProc(graphicClass);
    } else {
      const TRDFOptions options = rdData ? rdData->GetRDFOptions() : 0;
      if (rdData) rdData->SetRDFWarnings(rdData->GetRDFWarnings() | rdfwUnknownPictureFormat);
      result = (options & rdfoIgnoreUnknownPicFmt) != 0;
    }
  } else if (lineNo == lineCount - 1) {
    if (Image) result = LoadBody(line, rdData, readMode);
    readState = 2;
  } else {
    ReadRDFExtraProperty(*this, line);
  }
  if (readMode == kRDFSaveBinary && lineNo == lineCount - 2) readType = 1;
  return result;
}

// --- export ----------------------------------------------------------------------------------

void TRDGraphicItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                                  TRDHTMLSaveContext& context) const {
  if (!rdData) return;
  std::string location;
  if (!ImageFileName.empty() && (context.SaveOptions & rdsoUseImageFileNames))
    location = HTMLFileLocation(ImageFileName, context.Path);
  else if (Image && !Image->Empty() && !dynamic_cast<const TRDPictureFrame*>(Image.get()))
    location =
        context.SaveImage(*rdData, *Image, dynamic_cast<const TJPEGImage*>(Image.get()) != nullptr);
  if (location.empty()) return;
  std::vector<std::string> attrs{HTMLNoBorderAttr(context)};
  if (WritesHTMLImageSize(context.SaveOptions) || HasExplicitSize())
    attrs.push_back(HTMLSizeAttrs(GetImageWidth(), GetImageHeight(), context));
  if (!Alt.empty() || context.UseCSS) attrs.push_back(HTMLAltAttr(Alt, *rdData, context));
  attrs.push_back(HTMLSpacingAttrs(Spacing(), context));
  if (!Hint.empty()) attrs.push_back(HTMLTitleAttr(Hint, *rdData, context));
  if (const std::string css = GetHTMLVerticalAlignStyle(*this); context.UseCSS && !css.empty())
    attrs.push_back("style=" + QuotedHTMLAttr(css));
  StreamWriteString(
      stream, HTMLImageTag(GetHTMLAlignAttr(VAlign, context.SaveOptions) + JoinHTMLAttrs(attrs),
                           location, context));
}

void TRDGraphicItemInfo::SaveRTF(TStream& stream, TCustomRDData*, int,
                                 TRDRTFSaveContext& context) const {
  if (!Image) return;
  const int width = HasExplicitSize() ? GetImageWidth() : 0;
  const int height = HasExplicitSize() ? GetImageHeight() : 0;
  StreamWriteString(stream, RTFPictureGroup(*Image, context.Options, width, height));
}

// --- the picture as a link -------------------------------------------------------------------

TRDHotGraphicItemInfo::TRDHotGraphicItemInfo(TCustomRDData* rdData) : TRDGraphicItemInfo(rdData) {
  StyleNo = rdsHotPicture;
}

std::unique_ptr<TRDHotGraphicItemInfo> TRDHotGraphicItemInfo::CreateWithGraphic(
    TCustomRDData* rdData, std::unique_ptr<TGraphic> graphic, TRDVAlign vAlign) {
  auto item = std::make_unique<TRDHotGraphicItemInfo>(rdData);
  item->Image = std::move(graphic);
  item->VAlign = vAlign;
  return item;
}

std::unique_ptr<TCustomRDItemInfo> TRDHotGraphicItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDHotGraphicItemInfo>(rdData);
}

bool TRDHotGraphicItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  if (code == 1 || code == 2 || code == 4) return true;
  if (code == 3) return false;
  return TRDGraphicItemInfo::QueryItemFlagEx(code, rdStyle);
}

void TRDHotGraphicItemInfo::Execute(TCustomRDData* rdData) {
  if (rdData) rdData->DoJump(rdData->FirstJumpNo + JumpID);
}

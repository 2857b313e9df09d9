#include "richtext/model/bullet_item.h"

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/text/streams.h"
#include "richtext/model/html_image.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/object_records.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rdf_item_record.h"
#include "richtext/model/rtf_picture.h"
#include "richtext/model/rtf_save_context.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

void DrawImageListImage(TRDCanvas& canvas, const TImageList& list, int index, int x, int y,
                        TColor blend) {
  if (index < 0 || index >= list.Count()) return;
  TBitmap image;
  list.GetBitmap(index, image);
  if (blend != clNone) {
    const TColor rgb = ColorToRGB(blend);
    const int red = rgb & 0xFF, green = (rgb >> 8) & 0xFF, blue = (rgb >> 16) & 0xFF;
    const TColor transparent = image.Transparent() ? ColorToRGB(image.TransparentColor()) : clNone;
    image.SetPixelFormat(pf32bit);
    for (int row = 0; row < image.Height(); ++row) {
      std::uint8_t* p = image.ScanLine(row);
      for (int column = 0; column < image.Width(); ++column, p += 4) {
        const TColor pixel = TColor(p[2] | p[1] << 8 | p[0] << 16);
        if (pixel == transparent) continue;  // the see-through parts stay see-through
        p[0] = std::uint8_t((p[0] + blue) / 2);
        p[1] = std::uint8_t((p[1] + green) / 2);
        p[2] = std::uint8_t((p[2] + red) / 2);
      }
    }
  }
  canvas.Draw(x, y, image);
}

TRDBulletItemInfo::TRDBulletItemInfo(TCustomRDData* rdData) : TRDRectItemInfo(rdData) {
  StyleNo = rdsBullet;
}

std::unique_ptr<TCustomRDItemInfo> TRDBulletItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDBulletItemInfo>(rdData);
}

int TRDBulletItemInfo::GetImageWidth(const TRDStyle*) const {
  return ImageList ? ImageList->Width() : 0;
}

int TRDBulletItemInfo::GetImageHeight(const TRDStyle*) const {
  return ImageList ? ImageList->Height() : 0;
}

int TRDBulletItemInfo::GetMinWidth(const TRDResolution* resolution, TCustomRDData*) const {
  return resolution ? ScreenToDeviceX(GetWidth(), *resolution) : GetWidth();
}

bool TRDBulletItemInfo::QueryItemFlag(std::uint8_t code) const {
  if (code == 1) return ImageList != nullptr;
  if (code == 3) return true;
  return TRDRectItemInfo::QueryItemFlag(code);
}

void TRDBulletItemInfo::Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state,
                              TRDStyle& rdStyle, const TRDDrawLineInfo&) const {
  const int s = Spacing();
  if (ImageList) {
    const TColor blend = (state & rdipsSelected) ? ObjectSelectionColor(rdStyle, state) : clNone;
    DrawImageListImage(canvas, *ImageList, GetImageIndex(state & rdipsHover), x + s, y + s, blend);
  }
  if ((state & rdipsCurrent) && rdStyle.CurrentItemColor != clNone)
    DrawObjectFrame(canvas, rdStyle.CurrentItemColor, x, y, x + GetWidth(), y + GetHeight());
}

bool TRDBulletItemInfo::PrintToBitmap(TBitmap& bitmap, const TRect& box, bool,
                                      const TRDDrawLineInfo*, int, TRDColorMode, TRDStyle&) const {
  if (!ImageList || ImageIndex < 0 || ImageIndex >= ImageList->Count()) return false;
  ImageList->Draw(bitmap.Canvas(), box.Left, box.Top, ImageIndex);
  return true;
}

void TRDBulletItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDRectItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDBulletItemInfo*>(&source)) {
    ImageList = s->ImageList;
    ImageIndex = s->ImageIndex;
    NoHTMLImageSize = s->NoHTMLImageSize;
    Alt = s->Alt;
  }
}

std::string TRDBulletItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return std::to_string(ImageList ? ImageList->Tag : 0) + " " + std::to_string(ImageIndex);
}

bool TRDBulletItemInfo::CheckImageIndex(int& index, const TImageList* list, TCustomRDData* rdData) {
  if (!list || index < list->Count()) return true;
  const TRDFOptions options = rdData ? rdData->GetRDFOptions() : 0;
  if (rdData) rdData->SetRDFWarnings(rdData->GetRDFWarnings() | rdfwLargeImageIndex);
  if (!(options & rdfoConvLargeImageIdxToZero)) return false;
  index = 0;
  return true;
}

bool TRDBulletItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) {
  int tag = 0;
  if (!RDFReadInteger(rest, tag) || !RDFReadInteger(rest, ImageIndex)) return false;
  ImageList = rdData ? rdData->DoRDFImageListNeeded(tag) : nullptr;
  return CheckImageIndex(ImageIndex, ImageList, rdData);
}

int TRDBulletItemInfo::GetRDFExtraPropertyCount() const {
  return TRDRectItemInfo::GetRDFExtraPropertyCount() + NoHTMLImageSizeLineCount() + !Alt.empty();
}

void TRDBulletItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TRDRectItemInfo::SaveRDFExtraProperties(stream);
  SaveNoHTMLImageSize(stream);
  if (!Alt.empty()) WriteRDFExtraStrProperty(stream, rdespAlt, Alt);
}

bool TRDBulletItemInfo::SetExtraIntProperty(TRDExtraItemProperty prop, int value) {
  return SetNoHTMLImageSize(prop, value) || TRDRectItemInfo::SetExtraIntProperty(prop, value);
}

bool TRDBulletItemInfo::GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const {
  return GetNoHTMLImageSize(prop, value) || TRDRectItemInfo::GetExtraIntProperty(prop, value);
}

bool TRDBulletItemInfo::SetExtraStrProperty(TRDExtraItemStrProperty prop,
                                            const std::string& value) {
  if (prop != rdespAlt) return TRDRectItemInfo::SetExtraStrProperty(prop, value);
  Alt = value;
  return true;
}

bool TRDBulletItemInfo::GetExtraStrProperty(TRDExtraItemStrProperty prop,
                                            std::string& value) const {
  if (prop != rdespAlt) return TRDRectItemInfo::GetExtraStrProperty(prop, value);
  value = Alt;
  return true;
}

void TRDBulletItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int,
                                const std::string& name, bool forceSameAsPrev) const {
  WriteRDFObjectRecord(stream, *this, rdData, name, "", false, forceSameAsPrev, nullptr);
}

bool TRDBulletItemInfo::ReadRDFLine(const std::string& line, TCustomRDData*, int, int lineNo, int,
                                    std::string& name, int&, int&) {
  ReadRDFNameOrExtraProperty(*this, line, lineNo, name);
  return true;
}

void TRDBulletItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                                 TRDHTMLSaveContext& context) const {
  if (!rdData || !ImageList || ImageIndex < 0 || ImageIndex >= ImageList->Count()) return;
  const std::string location = SaveImageListImageForHTML(*rdData, context, *ImageList, ImageIndex);
  std::vector<std::string> attrs{HTMLNoBorderAttr(context)};
  if (WritesHTMLImageSize(context.SaveOptions))
    attrs.push_back(HTMLSizeAttrs(ImageList->Width(), ImageList->Height(), context));
  if (const std::string css = GetHTMLVerticalAlignStyle(*this); context.UseCSS && !css.empty())
    attrs.push_back("style=" + QuotedHTMLAttr(css));
  if (!Alt.empty() || context.UseCSS) attrs.push_back(HTMLAltAttr(Alt, *rdData, context));
  if (!Hint.empty()) attrs.push_back(HTMLTitleAttr(Hint, *rdData, context));
  attrs.push_back(HTMLSpacingAttrs(Spacing(), context));
  StreamWriteString(stream, HTMLImageTag(JoinHTMLAttrs(attrs), location, context));
}

void TRDBulletItemInfo::SaveRTF(TStream& stream, TCustomRDData*, int,
                                TRDRTFSaveContext& context) const {
  if (ImageList)
    StreamWriteString(stream, RTFImageListPictureGroup(*ImageList, ImageIndex, context.Options));
}

TRDHotspotItemInfo::TRDHotspotItemInfo(TCustomRDData* rdData) : TRDBulletItemInfo(rdData) {
  StyleNo = rdsHotspot;
}

std::unique_ptr<TCustomRDItemInfo> TRDHotspotItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDHotspotItemInfo>(rdData);
}

bool TRDHotspotItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  if (code == 1 || code == 2 || code == 4) return true;
  if (code == 3) return ImageIndex != HotImageIndex;
  return TRDBulletItemInfo::QueryItemFlagEx(code, rdStyle);
}

void TRDHotspotItemInfo::Execute(TCustomRDData* rdData) {
  if (rdData) rdData->DoJump(rdData->FirstJumpNo + JumpID);
}

void TRDHotspotItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDBulletItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDHotspotItemInfo*>(&source))
    HotImageIndex = s->HotImageIndex;
}

std::string TRDHotspotItemInfo::GetRDFHeaderExtra(TCustomRDData* rdData) const {
  return TRDBulletItemInfo::GetRDFHeaderExtra(rdData) + " " + std::to_string(HotImageIndex);
}

bool TRDHotspotItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) {
  if (!TRDBulletItemInfo::ReadRDFHeader(rest, rdData)) return false;
  if (!RDFReadInteger(rest, HotImageIndex)) HotImageIndex = ImageIndex;
  return CheckImageIndex(HotImageIndex, ImageList, rdData);
}

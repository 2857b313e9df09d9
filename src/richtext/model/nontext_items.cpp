#include "richtext/model/nontext_items.h"

#include "richtext/model/item_kinds.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rdf_routines.h"

void TRDNonTextItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TCustomRDItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDNonTextItemInfo*>(&source))
    DeleteProtect = s->DeleteProtect;
}

int TRDNonTextItemInfo::GetRDFExtraPropertyCount() const {
  return TCustomRDItemInfo::GetRDFExtraPropertyCount() + (DeleteProtect ? 1 : 0);
}

void TRDNonTextItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TCustomRDItemInfo::SaveRDFExtraProperties(stream);
  if (DeleteProtect) WriteRDFExtraIntProperty(stream, rdepDeleteProtect, 1);
}

bool TRDNonTextItemInfo::SetExtraIntProperty(TRDExtraItemProperty prop, int value) {
  if (prop != rdepDeleteProtect) return TCustomRDItemInfo::SetExtraIntProperty(prop, value);
  DeleteProtect = value != 0;
  return true;
}

bool TRDNonTextItemInfo::GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const {
  if (prop != rdepDeleteProtect) return TCustomRDItemInfo::GetExtraIntProperty(prop, value);
  value = DeleteProtect ? 1 : 0;
  return true;
}

bool TRDFullLineItemInfo::QueryItemFlag(std::uint8_t code) const {
  return code == 0 || TRDNonTextItemInfo::QueryItemFlag(code);
}

void TRDRectItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDNonTextItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDRectItemInfo*>(&source)) {
    MinHeightOnPage = s->MinHeightOnPage;
    VAlign = s->VAlign;
    VShift = s->VShift;
    VShiftAbs = s->VShiftAbs;
    spacing_ = s->spacing_;
  }
}

std::string TRDRectItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return std::to_string(int(VAlign));
}

bool TRDRectItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData*) {
  if (rest.empty() || rest.front() == '\r' || rest.front() == '\n') {
    VAlign = rdvaBaseline;
    return true;
  }
  int value;
  if (!RDFReadInteger(rest, value) || value < rdvaBaseline || value > rdvaAbsMiddle) return false;
  VAlign = TRDVAlign(value);
  return true;
}

int TRDRectItemInfo::GetRDFExtraPropertyCount() const {
  return TRDNonTextItemInfo::GetRDFExtraPropertyCount() + (VShift != 0) + VShiftAbs +
         (spacing_ != 1);
}

void TRDRectItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TRDNonTextItemInfo::SaveRDFExtraProperties(stream);
  if (VShift != 0) WriteRDFExtraIntProperty(stream, rdepVShift, VShift);
  if (VShiftAbs) WriteRDFExtraIntProperty(stream, rdepVShiftAbs, 1);
  if (spacing_ != 1) WriteRDFExtraIntProperty(stream, rdepSpacing, spacing_);
}

bool TRDRectItemInfo::SetExtraIntProperty(TRDExtraItemProperty prop, int value) {
  switch (prop) {
    case rdepVShift:
      VShift = value;
      return true;
    case rdepVShiftAbs:
      VShiftAbs = value != 0;
      return true;
    case rdepSpacing:
      SetSpacing(value);
      return true;
    default:
      return TRDNonTextItemInfo::SetExtraIntProperty(prop, value);
  }
}

bool TRDRectItemInfo::GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const {
  switch (prop) {
    case rdepVShift:
      value = VShift;
      return true;
    case rdepVShiftAbs:
      value = VShiftAbs ? 1 : 0;
      return true;
    case rdepSpacing:
      value = spacing_;
      return true;
    default:
      return TRDNonTextItemInfo::GetExtraIntProperty(prop, value);
  }
}

bool TRDNoHTMLImageSizeProperty::SetNoHTMLImageSize(TRDExtraItemProperty prop, int value) {
  if (prop != rdepNoHTMLImageSize) return false;
  NoHTMLImageSize = value != 0;
  return true;
}

bool TRDNoHTMLImageSizeProperty::GetNoHTMLImageSize(TRDExtraItemProperty prop, int& value) const {
  if (prop != rdepNoHTMLImageSize) return false;
  value = NoHTMLImageSize ? 1 : 0;
  return true;
}

void TRDNoHTMLImageSizeProperty::SaveNoHTMLImageSize(TStream& stream) const {
  if (NoHTMLImageSize) WriteRDFExtraIntProperty(stream, rdepNoHTMLImageSize, 1);
}

bool TRDNoHTMLImageSizeProperty::WritesHTMLImageSize(TRDSaveOptions saveOptions) const {
  return (saveOptions & rdsoPictureSizes) && !NoHTMLImageSize;
}

std::string GetHTMLVerticalAlignStyle(const TRDRectItemInfo& item) {
  const int height = item.GetHeight();
  if (item.VShift == 0 || height == 0 || item.VAlign != rdvaBaseline) return "";
  return "vertical-align : " +
         std::to_string(item.VShiftAbs ? item.VShift : RDMulDiv(height, item.VShift, 100));
}

std::string GetHTMLAlignAttr(TRDVAlign vAlign, TRDSaveOptions saveOptions) {
  const char* value = nullptr;
  switch (vAlign) {
    case rdvaMiddle:
      value = "middle";
      break;
    case rdvaAbsTop:
      value = "abstop";
      break;
    case rdvaAbsBottom:
      value = "absbottom";
      break;
    case rdvaAbsMiddle:
      value = "absmiddle";
      break;
    default:
      return "";
  }
  return " align=" +
         ((saveOptions & rdsoXHTML) ? "\"" + std::string(value) + "\"" : std::string(value));
}

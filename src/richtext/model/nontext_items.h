// The item classes between the base and the concrete objects: every item that is not
// text (with its deletion protection), items that take a whole line, and inline
// rectangular objects with vertical alignment, shift and spacing.
#pragma once

#include "richtext/model/item_info.h"

class TRDNonTextItemInfo : public TCustomRDItemInfo {
 public:
  using TCustomRDItemInfo::TCustomRDItemInfo;
  bool DeleteProtect = false;  // RDF "unremovable"

  virtual int GetHeight() const { return 0; }
  virtual int GetWidth() const { return 0; }
  virtual int GetDescent() const { return 0; }
  virtual void MoveToPosition(int, int, bool) {}

  void AssignProperties(const TCustomRDItemInfo& source) override;
  int GetRDFExtraPropertyCount() const override;
  void SaveRDFExtraProperties(TStream& stream) const override;
  bool SetExtraIntProperty(TRDExtraItemProperty prop, int value) override;
  bool GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const override;
};

class TRDFullLineItemInfo : public TRDNonTextItemInfo {
 public:
  using TRDNonTextItemInfo::TRDNonTextItemInfo;
  bool QueryItemFlag(std::uint8_t code) const override;
};

enum TRDVAlign : std::uint8_t {
  rdvaBaseline,
  rdvaMiddle,
  rdvaAbsTop,
  rdvaAbsBottom,
  rdvaAbsMiddle
};

class TRDRectItemInfo : public TRDNonTextItemInfo {
 public:
  using TRDNonTextItemInfo::TRDNonTextItemInfo;
  int MinHeightOnPage = 0;
  TRDVAlign VAlign = rdvaBaseline;
  int VShift = 0;
  bool VShiftAbs = false;

  int Spacing() const { return spacing_; }
  void SetSpacing(int value) { spacing_ = value < 0 ? 0 : value; }
  int GetSpacing() const { return spacing_; }
  int GetHorzSpacing() const override { return spacing_; }
  int GetVertSpacing() const override { return spacing_; }

  void AssignProperties(const TCustomRDItemInfo& source) override;
  std::string GetRDFHeaderExtra(TCustomRDData* rdData) const override;
  bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) override;
  int GetRDFExtraPropertyCount() const override;
  void SaveRDFExtraProperties(TStream& stream) const override;
  bool SetExtraIntProperty(TRDExtraItemProperty prop, int value) override;
  bool GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const override;

 private:
  int spacing_ = 1;
};

// The "nohtmlsize" setting that pictures, image-list pictures and list markers share: an
// HTML export leaves out the size of the item's image. It is the integer extra property
// rdepNoHTMLImageSize, stored in document files only when set.
class TRDNoHTMLImageSizeProperty {
 public:
  bool NoHTMLImageSize = false;

 protected:
  // True when prop is this property, which is then set or read.
  bool SetNoHTMLImageSize(TRDExtraItemProperty prop, int value);
  bool GetNoHTMLImageSize(TRDExtraItemProperty prop, int& value) const;
  int NoHTMLImageSizeLineCount() const { return NoHTMLImageSize ? 1 : 0; }
  void SaveNoHTMLImageSize(TStream& stream) const;
  // Whether an img of the item carries width and height: asked for by the save options
  // and not refused by the item.
  bool WritesHTMLImageSize(TRDSaveOptions saveOptions) const;
};

// "vertical-align : N" for a shifted object at the baseline, else "".
std::string GetHTMLVerticalAlignStyle(const TRDRectItemInfo& item);
// " align=..." for the vertical alignments HTML knows, else "".
std::string GetHTMLAlignAttr(TRDVAlign vAlign, TRDSaveOptions saveOptions);

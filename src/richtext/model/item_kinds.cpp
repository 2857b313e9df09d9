#include "richtext/model/item_kinds.h"

#include <algorithm>

#include "platform/text/sysutils.h"
#include "richtext/styles/rdf_routines.h"

namespace {

constexpr const char* kIntPropertyNames[] = {
    "",           "vshift",    "vshiftabs",       "width",   "height",    "transparent",
    "tmode",      "tcolor",    "minheightonpage", "spacing", "resizable", "unremovable",
    "nohtmlsize", "ainterval", "visible"};
constexpr const char* kStrPropertyNames[] = {"", "hint", "alt", "filename"};

// The largest length in pixels a file may give an object (a side, a shift, a part's
// height), the largest gap around it and the longest pause between animation frames
// (hundredths of a second): the sizes, sums and timers made of them stay in range.
constexpr int kMaxObjectLength = 32767;
constexpr int kMaxSpacing = 1000;
constexpr int kMaxAnimationInterval = 100000;

// A number of the file bounded where it is read, whatever the file says.
int BoundedValue(TRDExtraItemProperty prop, int value) {
  switch (prop) {
    case rdepVShift:
      return std::clamp(value, -kMaxObjectLength, kMaxObjectLength);
    case rdepImageWidth:
    case rdepImageHeight:
    case rdepMinHeightOnPage:
      return std::clamp(value, 0, kMaxObjectLength);
    case rdepSpacing:
      return std::clamp(value, 0, kMaxSpacing);
    case rdepAnimationInterval:
      return std::clamp(value, 0, kMaxAnimationInterval);
    default:
      return value;
  }
}

}  // namespace

std::unique_ptr<TCustomRDItemInfo> CreateTextItem(TCustomRDData* rdData) {
  return std::make_unique<TRDTextItemInfo>(rdData);
}

TRDItemClass RichDocTextItemClass = CreateTextItem;

TRDExtraItemProperty GetExtraIntPropertyByName(std::string_view name) {
  for (int i = 1; i <= rdepVisible; ++i)
    if (name == kIntPropertyNames[i]) return TRDExtraItemProperty(i);
  return rdepUnknown;
}

TRDExtraItemStrProperty GetExtraStrPropertyByName(std::string_view name) {
  for (int i = 1; i <= rdespImageFileName; ++i)
    if (name == kStrPropertyNames[i]) return TRDExtraItemStrProperty(i);
  return rdespUnknown;
}

const char* ExtraIntPropertyName(TRDExtraItemProperty prop) {
  return kIntPropertyNames[prop];
}
const char* ExtraStrPropertyName(TRDExtraItemStrProperty prop) {
  return kStrPropertyNames[prop];
}

void ReadRDFExtraProperty(TCustomRDItemInfo& item, std::string_view line) {
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  std::string name(line.substr(0, equals));
  std::string value(line.substr(equals + 1));
  if (TRDExtraItemProperty prop = GetExtraIntPropertyByName(name); prop != rdepUnknown)
    item.SetExtraIntProperty(prop, BoundedValue(prop, StrToIntDef(value, 0)));
  else if (TRDExtraItemStrProperty strProp = GetExtraStrPropertyByName(name);
           strProp != rdespUnknown)
    item.SetExtraStrProperty(strProp, DecodeRDFLineBreaks(value));
  else
    item.SetExtraCustomProperty(name, value);
}

void ReadRDFNameOrExtraProperty(TCustomRDItemInfo& item, std::string_view line, int lineNo,
                                std::string& name) {
  if (lineNo == 0)
    name = DecodeRDFLineBreaks(line);
  else
    ReadRDFExtraProperty(item, line);
}

void WriteRDFExtraIntProperty(TStream& stream, TRDExtraItemProperty prop, int value) {
  StreamWriteLine(stream, std::string(ExtraIntPropertyName(prop)) + "=" + std::to_string(value));
}

void WriteRDFExtraStrProperty(TStream& stream, TRDExtraItemStrProperty prop,
                              const std::string& value) {
  StreamWriteLine(stream,
                  std::string(ExtraStrPropertyName(prop)) + "=" + EncodeRDFLineBreaks(value));
}

TRDItemOptions AdjustItemOptionsForSave(TRDItemOptions options, bool forceSameAsPrev) {
  if (!forceSameAsPrev) return options;
  return TRDItemOptions((options | rdioContinuesPara) &
                        ~(rdioPageBreakBefore | rdioLineBreakBefore));
}

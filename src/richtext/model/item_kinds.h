// Item kinds, the class text items are made with, and the extra-property lines of
// document-file item records ("spacing=3", "hint=text"): what the items and their
// document need, apart from the factory that knows every concrete item (item_factory.h).
//
// Kind codes (an item's StyleNo): >= 0 text in that text style, -1 break line,
// -3 picture, -4 hotspot, -5 control, -6 bullet, -10 hot picture, -11 list marker,
// -12 tab; codes of -10 and below may be registered for further kinds (the table item of
// the editing library registers -60).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "richtext/model/item_info.h"

constexpr int rdsBreak = -1;
constexpr int rdsPicture = -3;
constexpr int rdsHotspot = -4;
constexpr int rdsComponent = -5;
constexpr int rdsBullet = -6;
constexpr int rdsHotPicture = -10;
constexpr int rdsListMarker = -11;
constexpr int rdsTab = -12;

// An item class: its virtual constructor.
using TRDItemClass = std::unique_ptr<TCustomRDItemInfo> (*)(TCustomRDData* rdData);

// The class text items are created with (TRDTextItemInfo unless replaced).
extern TRDItemClass RichDocTextItemClass;
std::unique_ptr<TCustomRDItemInfo> CreateTextItem(TCustomRDData* rdData);

// Extra-property keys and ids; 0 for an unknown name (compared case-sensitively).
TRDExtraItemProperty GetExtraIntPropertyByName(std::string_view name);
TRDExtraItemStrProperty GetExtraStrPropertyByName(std::string_view name);
const char* ExtraIntPropertyName(TRDExtraItemProperty prop);
const char* ExtraStrPropertyName(TRDExtraItemStrProperty prop);
// One "name=value" line; a line without "=" is ignored, a malformed number becomes 0.
void ReadRDFExtraProperty(TCustomRDItemInfo& item, std::string_view line);
// A line of an object record whose first line is the item's name and whose further
// lines are its extra properties (bullets, list markers).
void ReadRDFNameOrExtraProperty(TCustomRDItemInfo& item, std::string_view line, int lineNo,
                                std::string& name);
void WriteRDFExtraIntProperty(TStream& stream, TRDExtraItemProperty prop, int value);
// String values travel with their line breaks coded (EncodeRDFLineBreaks).
void WriteRDFExtraStrProperty(TStream& stream, TRDExtraItemStrProperty prop,
                              const std::string& value);
// The options an item writes when it is forced to continue the previous paragraph.
TRDItemOptions AdjustItemOptionsForSave(TRDItemOptions options, bool forceSameAsPrev);

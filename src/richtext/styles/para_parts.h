// The small pieces a paragraph style is built from: side offsets (TRDRect), visible
// sides (TRDBooleanRect), the border with its drawing, the background rectangle and the
// tab stops; and the property masks that name a paragraph style's properties.
//
// Example: a rdbDouble border of Width 1 and InternalWidth 1 draws two 1-pixel frames 2
// pixels apart and takes GetTotalWidth() == 3 pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "richtext/base/rd_canvas.h"
#include "richtext/base/text_routines.h"
#include "richtext/styles/style_info.h"

class TStream;

// Gaps in pixels between the text rectangle and a border or background edge.
struct TRDRect {
  int Top = 0;
  int Left = 0;
  int Right = 0;
  int Bottom = 0;

  void SetAll(int value) { Top = Left = Right = Bottom = value; }
  void AssignValidProperties(const TRDRect& source, bool validLeft, bool validTop, bool validRight,
                             bool validBottom);
  void AssignToRect(TRect& r) const;
  void AssignToRectIfGreater(TRect& r) const;
  void InflateRect(TRect& r) const;
  void InflateRectScaled(TRect& r, const TRDResolution& scale) const;
  bool IsEqualEx(const TRDRect& other, bool ignoreLeft, bool ignoreTop, bool ignoreRight,
                 bool ignoreBottom) const;
  int SimilarityValue(const TRDRect& other, int weight) const;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);
  friend bool operator==(const TRDRect&, const TRDRect&) = default;
};

// The visible sides of a border.
struct TRDBooleanRect {
  bool Top = true;
  bool Left = true;
  bool Right = true;
  bool Bottom = true;

  TRDBooleanRect() = default;
  explicit TRDBooleanRect(bool value) { SetAll(value); }
  void SetAll(bool value) { Top = Left = Right = Bottom = value; }
  void SetValues(bool left, bool top, bool right, bool bottom);
  bool IsEqualToValues(bool left, bool top, bool right, bool bottom) const;
  bool IsAllEqualTo(bool value) const { return IsEqualToValues(value, value, value, value); }
  void AssignValidProperties(const TRDBooleanRect& source, bool validLeft, bool validTop,
                             bool validRight, bool validBottom);
  bool IsEqualEx(const TRDBooleanRect& other, bool ignoreLeft, bool ignoreTop, bool ignoreRight,
                 bool ignoreBottom) const;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);
  friend bool operator==(const TRDBooleanRect&, const TRDBooleanRect&) = default;
};

// Properties of a paragraph style for masks and ignore lists (0..35).
enum TRDParaInfoProperty : std::uint8_t {
  rdpiFirstIndent,
  rdpiLeftIndent,
  rdpiRightIndent,
  rdpiSpaceBefore,
  rdpiSpaceAfter,
  rdpiAlignment,
  rdpiNextParaNo,
  rdpiDefStyleNo,
  rdpiLineSpacing,
  rdpiLineSpacingType,
  rdpiBackground_Color,
  rdpiBackground_BO_Left,
  rdpiBackground_BO_Top,
  rdpiBackground_BO_Right,
  rdpiBackground_BO_Bottom,
  rdpiBorder_Color,
  rdpiBorder_Style,
  rdpiBorder_Width,
  rdpiBorder_InternalWidth,
  rdpiBorder_BO_Left,
  rdpiBorder_BO_Top,
  rdpiBorder_BO_Right,
  rdpiBorder_BO_Bottom,
  rdpiBorder_Vis_Left,
  rdpiBorder_Vis_Top,
  rdpiBorder_Vis_Right,
  rdpiBorder_Vis_Bottom,
  rdpiNoWrap,
  rdpiReadOnly,
  rdpiStyleProtect,
  rdpiDoNotWantReturns,
  rdpiKeepLinesTogether,
  rdpiKeepWithNext,
  rdpiTabs,
  rdpiBiDiMode,
  rdpiCustom
};
// The two halves of a full mask: rdpiFirstIndent..rdpiBorder_Vis_Bottom (bit = property)
// and rdpiNoWrap..rdpiBiDiMode (bit = property - rdpiNoWrap).
using TRDParaInfoProperties1 = std::uint32_t;
using TRDParaInfoProperties2 = std::uint32_t;
struct TRDParaInfoProperties {
  TRDParaInfoProperties1 Props1 = 0;
  TRDParaInfoProperties2 Props2 = 0;
  bool Has(TRDParaInfoProperty p) const;
  void Include(TRDParaInfoProperty p);
  TRDParaInfoProperties operator|(const TRDParaInfoProperties& o) const {
    return {Props1 | o.Props1, Props2 | o.Props2};
  }
  TRDParaInfoProperties operator&(const TRDParaInfoProperties& o) const {
    return {Props1 & o.Props1, Props2 & o.Props2};
  }
  TRDParaInfoProperties operator~() const;
  bool Empty() const { return Props1 == 0 && Props2 == 0; }
  friend bool operator==(const TRDParaInfoProperties&, const TRDParaInfoProperties&) = default;
};
TRDParaInfoProperties RDParaProps(std::initializer_list<TRDParaInfoProperty> props);
extern const TRDParaInfoProperties RDAllParaInfoProperties;

enum TRDBorderStyle : std::uint8_t {
  rdbNone,
  rdbSingle,
  rdbDouble,
  rdbTriple,
  rdbThickInside,
  rdbThickOutside
};

class TRDBorder {
 public:
  TColor Color = clWindowText;
  TRDBorderStyle Style = rdbNone;
  int Width = 1;
  int InternalWidth = 1;
  TRDBooleanRect VisibleBorders;
  TRDRect BorderOffsets;

  // For printing and preview, scaled to the device.
  void Draw(TRect rect, TRDCanvas& canvas, TRDColorMode colorMode,
            const TRDResolution& scale) const;
  void DrawUnscaled(const TRect& rect, TRDCanvas& canvas) const;
  int GetTotalWidth() const;
  int GetCSSWidth() const;
  bool IsEqual(const TRDBorder& other) const;
  bool IsEqualEx(const TRDBorder& other, const TRDParaInfoProperties& ignoreList) const;
  void AssignValidProperties(const TRDBorder& source, const TRDParaInfoProperties& validProps);
  int SimilarityValue(const TRDBorder& other) const;
  bool HasVisibleSides() const;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);

 private:
  void DrawLines(TRect rect, TRDCanvas& canvas, TColor color, int width, int internalWidth,
                 int unit) const;
};

class TRDBackgroundRect {
 public:
  TColor Color = clNone;
  TRDRect BorderOffsets;

  void Draw(const TRect& rect, TRDCanvas& canvas, bool printing, TRDColorMode colorMode) const;
  void InflateRect(TRect& r) const { BorderOffsets.InflateRect(r); }
  void InflateRectScaled(TRect& r, const TRDResolution& scale) const {
    BorderOffsets.InflateRectScaled(r, scale);
  }
  bool IsEqual(const TRDBackgroundRect& other) const {
    return Color == other.Color && BorderOffsets == other.BorderOffsets;
  }
  bool IsEqualEx(const TRDBackgroundRect& other, const TRDParaInfoProperties& ignoreList) const;
  void AssignValidProperties(const TRDBackgroundRect& source,
                             const TRDParaInfoProperties& validProps);
  int SimilarityValue(const TRDBackgroundRect& other) const;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);
};

enum TRDTabAlign : std::uint8_t { rdtaLeft, rdtaRight, rdtaCenter };

struct TRDTabInfo {
  TRDTabAlign Align = rdtaLeft;
  int Position = 0;
  std::string Leader;

  bool IsEqual(const TRDTabInfo& other) const;
  int SimilarityValue(const TRDTabInfo& other) const;
  std::string GetDisplayName() const;
};

// Tab stops of a paragraph, kept sorted by position.
class TRDTabInfos {
 public:
  int Count() const { return int(tabs_.size()); }
  const TRDTabInfo& Items(int index) const;
  // Appends a tab stop and returns its index after sorting.
  int Add(int position, TRDTabAlign align = rdtaLeft, const std::string& leader = "");
  // A new position re-sorts the stops.
  void SetPosition(int index, int position);
  void SetAlign(int index, TRDTabAlign align);
  void SetLeader(int index, const std::string& leader);
  void Delete(int index);
  void Clear() { tabs_.clear(); }
  bool IsEqual(const TRDTabInfos& other) const;
  int SimilarityValue(const TRDTabInfos& other) const;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);

 private:
  void Sort();
  void Check(int index) const;
  std::vector<TRDTabInfo> tabs_;
};

// Paragraph styles: indents, spacing, line spacing, alignment, reading direction,
// wrapping and protection options, a border, a background and tab stops; their drawing,
// comparisons, similarity score, INI keys and CSS.
//
// Every item carries its paragraph's style index into the sheet's ParaStyles; an index
// outside the collection yields the invalid paragraph (red border, 1-pixel indents).
// CSS example of a percent line spacing of 105: " line-height: 1.05;".
#pragma once

#include <cstdint>
#include <string>

#include "richtext/styles/para_parts.h"
#include "richtext/styles/style_info.h"

class TStream;

enum TRDLineSpacingType : std::uint8_t { rdlsPercent, rdlsSpaceBetween };
enum TRDAlignment : std::uint8_t { rdaLeft, rdaRight, rdaCenter, rdaJustify };

using TRDParaOptions = std::uint8_t;
constexpr TRDParaOptions rdpaoNoWrap = 1 << 0;
constexpr TRDParaOptions rdpaoReadOnly = 1 << 1;
constexpr TRDParaOptions rdpaoStyleProtect = 1 << 2;
constexpr TRDParaOptions rdpaoDoNotWantReturns = 1 << 3;
constexpr TRDParaOptions rdpaoKeepLinesTogether = 1 << 4;
constexpr TRDParaOptions rdpaoKeepWithNext = 1 << 5;

class TCustomRDParaInfo : public TCustomRDInfo {
 public:
  explicit TCustomRDParaInfo(TCustomRDInfos* collection);

  int FirstIndent = 0;
  int LeftIndent = 0;
  int RightIndent = 0;
  int SpaceBefore = 0;
  int SpaceAfter = 0;
  int LineSpacing = 100;
  TRDLineSpacingType LineSpacingType = rdlsPercent;
  TRDAlignment Alignment = rdaLeft;
  TRDBorder Border;
  TRDBackgroundRect Background;
  TRDParaOptions Options = 0;
  TRDBiDiMode BiDiMode = rdbdUnspecified;
  TRDTabInfos Tabs;

  void Assign(const TCustomRDInfo& source) override;
  void DefineProperties(TRDPropertyFiler& filer) override;
  bool ExtraLineSpacing() const;
  void AssignSelectedProperties(const TCustomRDParaInfo& source,
                                const TRDParaInfoProperties& props);
  bool IsEqual(const TCustomRDParaInfo& value, const TRDParaInfoProperties& ignoreList) const;
  bool IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const override;
  int SimilarityValue(const TCustomRDInfo& value) const override;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);
  std::string GetCSS(const TCustomRDParaInfo* baseStyle, bool multiline, bool ignoreLeftAlignment,
                     bool ignoreLeftIndents) const;
  void SaveCSSToStream(TStream& stream, const TCustomRDParaInfo* baseStyle, bool multiline,
                       bool ignoreLeftAlignment, bool ignoreLeftIndents) const;

 private:
  TRDRect CSSPadding() const;
};

class TParaInfo : public TCustomRDParaInfo {
 public:
  explicit TParaInfo(TCustomRDInfos* collection) : TCustomRDParaInfo(collection) {}

  int NextParaNo = -1;
  int DefStyleNo = -1;
  TRDParaInfoProperties1 ModifiedProperties1 = 0;
  TRDParaInfoProperties2 ModifiedProperties2 = 0;

  void Assign(const TCustomRDInfo& source) override;
  void DefineProperties(TRDPropertyFiler& filer) override;
  bool IsEqual(const TCustomRDParaInfo& value, const TRDParaInfoProperties& ignoreList) const;
  bool IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const override;
  bool IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList& mapping) const override;
  void TranslateReferences(const TRDIntegerList& mapping,
                           const TRDIntegerList* textStyleMapping) override;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);
};

class TParaInfos : public TCustomRDInfos {
 public:
  using TCustomRDInfos::TCustomRDInfos;

  TParaInfo& Add();
  // The style at index; outside 0..Count-1 the invalid paragraph (red single border of
  // width 2, 1-pixel indents and spaces), made at the first such request.
  TParaInfo& Items(int index) const;
  TParaInfo& operator[](int index) const { return Items(index); }
  int FindSuchStyle(int baseParaNo, const TParaInfo& style,
                    const TRDParaInfoProperties& mask) const;

 private:
  mutable std::unique_ptr<TCustomRDInfo> invalid_item_;
};

std::unique_ptr<TCustomRDInfo> CreateParaInfo(TCustomRDInfos* collection);

// List styles: for each nesting level what the marker is (bullet, picture, image-list
// image, number in one of several systems, Unicode bullet), how it is formatted and where
// marker and text stand, with their comparison, INI keys and HTML list tags.
//
// Example: a level saved with KeyFormat "%s" as level 0 writes its list type under
// "LvlListType0".
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "richtext/base/rd_canvas.h"
#include "richtext/styles/style_info.h"

class TImageList;
using TCustomImageList = TImageList;
class TGraphic;
class TStream;

enum TRDListType : std::uint8_t {
  rdlstBullet,
  rdlstPicture,
  rdlstImageList,
  rdlstDecimal,
  rdlstLowerAlpha,
  rdlstUpperAlpha,
  rdlstLowerRoman,
  rdlstUpperRoman,
  rdlstImageListCounter,
  rdlstUnicodeBullet
};
enum TRDMarkerAlignment : std::uint8_t { rdmaLeft, rdmaRight, rdmaCenter };

using TRDListLevelOptions = std::uint8_t;
constexpr TRDListLevelOptions rdloContinuous = 1 << 0;
constexpr TRDListLevelOptions rdloLevelReset = 1 << 1;
constexpr TRDListLevelOptions rdloLegalStyleNumbering = 1 << 2;

// A marker font: Arial 8 unless set otherwise.
struct TRDMarkerFont : TRDFont {
  TRDMarkerFont();
  bool IsDefault() const;
  bool IsEqual(const TRDMarkerFont& other) const;
};

class TRDListLevel {
 public:
  TRDListLevel();
  ~TRDListLevel();
  TRDListType ListType = rdlstBullet;
  TCustomImageList* ImageList = nullptr;
  int ImageIndex = 0;
  std::string FormatString = "\xB7";
  std::u16string FormatStringW;
  int LeftIndent = 0;
  int FirstIndent = 10;
  int MarkerIndent = 0;
  TRDMarkerAlignment MarkerAlignment = rdmaLeft;
  TRDListLevelOptions Options = rdloContinuous | rdloLevelReset;
  int StartFrom = 1;

  // The marker picture for rdlstPicture, or none. Setting copies the picture and makes
  // the copy transparent; none or an empty picture frees the level's own.
  const TGraphic* Picture() const { return picture_.get(); }
  void SetPicture(const TGraphic* picture);
  bool HasPicture() const;

  // The marker font, made at the first write; none until then.
  const std::optional<TRDMarkerFont>& Font() const { return font_; }
  TRDMarkerFont& GetFont();
  void SetFont(const TRDMarkerFont* font);
  // The font the marker is shown and written in: its own, else the default marker font.
  const TRDMarkerFont& ShownFont() const;

  void Assign(const TRDListLevel& source);
  void DefineProperties(TRDPropertyFiler& filer);
  bool UsesFont() const;
  bool HasNumbering() const {
    return ListType >= rdlstDecimal && ListType <= rdlstImageListCounter;
  }
  bool HasTextNumbering() const { return ListType >= rdlstDecimal && ListType <= rdlstUpperRoman; }
  std::string GetDisplayName() const;
  bool IsSimpleEqual(const TRDListLevel& value) const;
  int SimilarityValue(const TRDListLevel& value) const;
  std::string GetIndentCSS() const;
  // "<ol ...>" or "<ul ...>" without a line end; previousLeftIndent is the LeftIndent of
  // the level above (0 for level 0). XHTML quotes the list's number type.
  std::string HTMLOpenTag(bool useCSS, int previousLeftIndent, bool xhtml = false) const;
  std::string HTMLCloseTag() const;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);

 private:
  bool FontsEqual(const TRDListLevel& value) const;
  bool PicturesEqual(const TRDListLevel& value) const;
  std::optional<TRDMarkerFont> font_;
  std::unique_ptr<TGraphic> picture_;
};

class TRDListInfo : public TCustomRDInfo {
 public:
  explicit TRDListInfo(TCustomRDInfos* collection);

  std::vector<std::unique_ptr<TRDListLevel>> Levels;
  bool OneLevelPreview = false;

  TRDListLevel& AddLevel();
  void Assign(const TCustomRDInfo& source) override;
  void DefineProperties(TRDPropertyFiler& filer) override;
  // The list identifier, drawn at random from 1..0x7FFFFFFE on first request.
  int GetListID();
  void SetListID(int id) { list_id_ = id; }
  bool HasNumberedLevels() const;
  bool HasTextNumberedLevels() const;
  bool IsSimpleEqual(const TCustomRDInfo& value, bool ignoreID) const override;
  bool IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList& mapping) const override;
  int SimilarityValue(const TCustomRDInfo& value) const override;
  void SaveToINI(TRDIniFile& ini, const std::string& section, const std::string& keyFormat) const;
  void LoadFromINI(const TRDIniFile& ini, const std::string& section, const std::string& keyFormat);

 private:
  friend class TRDListInfos;
  int ListIDOrZero() const { return list_id_; }
  int list_id_ = 0;
};

class TRDListInfos : public TCustomRDInfos {
 public:
  using TCustomRDInfos::TCustomRDInfos;

  TRDListInfo& Add();
  // A bad index raises the list-index error (there is no invalid list style).
  TRDListInfo& Items(int index) const;
  TRDListInfo& operator[](int index) const { return Items(index); }
  // Every level referring to imageList forgets it.
  void RemoveImageList(const TCustomImageList* imageList);

 protected:
  bool CanMergeInto(const TCustomRDInfos& source, int targetIndex,
                    const TRDIntegerList& mapping) const override;
  int AppendCopy(const TCustomRDInfo& source) override;
};

std::unique_ptr<TCustomRDInfo> CreateListInfo(TCustomRDInfos* collection);

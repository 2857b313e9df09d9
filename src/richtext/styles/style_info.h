// The common base of text, paragraph and list styles and of their collections, with the
// merge of one collection into another (reading a document with its own styles).
//
// A style is an item of a collection owned by the style sheet. Collections create their
// items through a factory, so that a sheet may use its own style classes; indices are
// 0-based and an item knows its collection and index.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "richtext/base/rd_lists.h"
#include "richtext/base/style_types.h"

class TCustomRDInfos;
class TRDIniFile;
class TRDPropertyFiler;
class TRDStyle;

// Unit switches read by the comparisons and the merge.
extern bool RichDocCompareStyleNames;  // False: names do not take part in equality
extern bool RichDocResetStandardFlag;  // True: styles appended by a merge are not standard

class TCustomRDInfo {
 public:
  explicit TCustomRDInfo(TCustomRDInfos* collection);
  virtual ~TCustomRDInfo() = default;
  TCustomRDInfo(const TCustomRDInfo&) = delete;
  TCustomRDInfo& operator=(const TCustomRDInfo&) = delete;

  // The four base properties. Styles inside style templates refuse to be given them.
  int BaseStyleNo() const { return base_style_no_; }
  virtual void SetBaseStyleNo(int value) { base_style_no_ = value; }
  const std::string& StyleName() const { return style_name_; }
  virtual void SetStyleName(const std::string& value) { style_name_ = value; }
  bool Standard() const { return standard_; }
  virtual void SetStandard(bool value) { standard_ = value; }
  TRDStyleTemplateId StyleTemplateId() const { return style_template_id_; }
  virtual void SetStyleTemplateId(TRDStyleTemplateId value) { style_template_id_ = value; }

  TCustomRDInfos* Collection() const { return collection_; }
  int Index() const;
  std::string GetDisplayName() const { return style_name_; }

  // Copies the base properties; descendants copy their own first.
  virtual void Assign(const TCustomRDInfo& source);
  // The published properties, for the component stream; descendants add theirs.
  virtual void DefineProperties(TRDPropertyFiler& filer);
  virtual bool IsSimpleEqual(const TCustomRDInfo& value, bool ignoreReferences) const;
  // Asked of a source style with a target style as value while merging; may reset the
  // target's reference to the next style when it lies beyond mapping.
  virtual bool IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList& mapping) const;
  virtual int SimilarityValue(const TCustomRDInfo& value) const;

  // After a merge appended this style: references translated through the mappings.
  virtual void TranslateReferences(const TRDIntegerList& mapping,
                                   const TRDIntegerList* textStyleMapping);

 protected:
  // Styles inside style templates take no base properties from an Assign.
  virtual bool AcceptsBaseProperties() const { return true; }
  void AssignBase(const TCustomRDInfo& source);
  bool NamesEqualIfCompared(const TCustomRDInfo& value) const;
  // A reference to another style (an index, -1 for none) after a merge appended this style:
  // translated through mapping, -1 when it lies beyond it.
  static void TranslateReference(int& reference, const TRDIntegerList& mapping);
  // Whether a target style's reference, seen through mapping, is ours; a reference beyond
  // mapping is reset to -1 and matches, as does none.
  static bool MappedReferenceMatches(int& theirs, int ours, const TRDIntegerList& mapping);
  // "StyleName", "BaseStyleNo", "Standard" through keyFormat.
  void SaveBaseToINI(TRDIniFile& ini, const std::string& section,
                     const std::string& keyFormat) const;
  void LoadBaseFromINI(const TRDIniFile& ini, const std::string& section,
                       const std::string& keyFormat, const std::string& defaultName);

 private:
  TCustomRDInfos* collection_;
  int base_style_no_ = -1;
  std::string style_name_;
  bool standard_ = true;
  TRDStyleTemplateId style_template_id_ = -1;
};

// The index of the first style of infos equal to style apart from ignore: the base style
// when it is equal, otherwise the first in order; -1 when none is.
template <class TInfos, class TStyle, class TIgnore>
int FindEqualStyle(const TInfos& infos, int baseNo, const TStyle& style, const TIgnore& ignore) {
  if (baseNo >= 0 && baseNo < infos.Count() && infos.Items(baseNo).IsEqual(style, ignore))
    return baseNo;
  for (int i = 0; i < infos.Count(); ++i)
    if (i != baseNo && infos.Items(i).IsEqual(style, ignore)) return i;
  return -1;
}

// The merge modes of MergeWith.
enum class TRDStyleMergeMode { Merge = 0, MapToClosest = 1, Append = 2 };

class TCustomRDInfos {
 public:
  using TItemFactory = std::function<std::unique_ptr<TCustomRDInfo>(TCustomRDInfos*)>;
  TCustomRDInfos(TItemFactory factory, TRDStyle* owner);
  virtual ~TCustomRDInfos() = default;
  TCustomRDInfos(const TCustomRDInfos&) = delete;
  TCustomRDInfos& operator=(const TCustomRDInfos&) = delete;

  int Count() const { return int(items_.size()); }
  // The style at index (0..Count-1; the caller checks).
  TCustomRDInfo& At(int index) const { return *items_[size_t(index)]; }
  TCustomRDInfo& AddItem();
  void Delete(int index);
  void Clear() { items_.clear(); }
  int IndexOf(const TCustomRDInfo* item) const;
  TRDStyle* Owner() const { return owner_; }
  // The style names in index order (AssignTo a string list).
  std::vector<std::string> StyleNames() const;
  // Replaces the items by copies of source's.
  void AssignItems(const TCustomRDInfos& source);

  // Fills mapping with one entry per source style: the index here that stands for it.
  void MergeWith(const TCustomRDInfos& source, TRDStyleMergeMode mode, TRDIntegerList& mapping,
                 const TRDIntegerList* textStyleMapping);

 protected:
  // May target be chosen for source in merge mode 0 (list styles refuse some)?
  virtual bool CanMergeInto(const TCustomRDInfos& source, int targetIndex,
                            const TRDIntegerList& mapping) const;
  // The closest target for merge mode 1; -1 when there is none.
  virtual int FindClosest(const TCustomRDInfo& source) const;
  int FindClosestAmong(const TCustomRDInfo& source,
                       const std::function<bool(const TCustomRDInfo&)>& allowed) const;
  // Appends a copy of source for a merge.
  virtual int AppendCopy(const TCustomRDInfo& source);

 private:
  TItemFactory factory_;
  TRDStyle* owner_;
  std::vector<std::unique_ptr<TCustomRDInfo>> items_;
};

#include "richtext/styles/style_info.h"

#include "richtext/base/ini_file.h"
#include "richtext/styles/component_stream.h"

bool RichDocCompareStyleNames = false;
bool RichDocResetStandardFlag = true;

TCustomRDInfo::TCustomRDInfo(TCustomRDInfos* collection) : collection_(collection) {}

int TCustomRDInfo::Index() const {
  return collection_ ? collection_->IndexOf(this) : -1;
}

void TCustomRDInfo::Assign(const TCustomRDInfo& source) {
  AssignBase(source);
}

void TCustomRDInfo::DefineProperties(TRDPropertyFiler& filer) {
  std::string name = style_name_;
  int baseNo = base_style_no_, templateId = style_template_id_;
  bool standard = standard_;
  filer.String("StyleName", name, "");
  filer.Integer("BaseStyleNo", baseNo, -1);
  filer.Boolean("Standard", standard, true);
  filer.Integer("StyleTemplateId", templateId, -1);
  if (!filer.Reading()) return;
  // Through the setters: styles inside templates refuse them.
  if (name != style_name_) SetStyleName(name);
  if (baseNo != base_style_no_) SetBaseStyleNo(baseNo);
  if (standard != standard_) SetStandard(standard);
  if (templateId != style_template_id_) SetStyleTemplateId(templateId);
}

void TCustomRDInfo::AssignBase(const TCustomRDInfo& source) {
  if (!AcceptsBaseProperties()) return;
  SetStyleName(source.style_name_);
  SetBaseStyleNo(source.base_style_no_);
  SetStandard(source.standard_);
  SetStyleTemplateId(source.style_template_id_);
}

bool TCustomRDInfo::IsSimpleEqual(const TCustomRDInfo&, bool) const {
  return false;
}

bool TCustomRDInfo::IsSimpleEqualEx(TCustomRDInfo&, const TRDIntegerList&) const {
  return false;
}

int TCustomRDInfo::SimilarityValue(const TCustomRDInfo&) const {
  return 0;
}

bool TCustomRDInfo::NamesEqualIfCompared(const TCustomRDInfo& value) const {
  return !RichDocCompareStyleNames || style_name_ == value.style_name_;
}

void TCustomRDInfo::TranslateReference(int& reference, const TRDIntegerList& mapping) {
  if (reference >= 0) reference = reference < mapping.Count() ? mapping[reference] : -1;
}

bool TCustomRDInfo::MappedReferenceMatches(int& theirs, int ours, const TRDIntegerList& mapping) {
  if (theirs < 0) return true;
  if (theirs < mapping.Count()) return mapping[theirs] == ours;
  theirs = -1;
  return true;
}

void TCustomRDInfo::TranslateReferences(const TRDIntegerList& mapping, const TRDIntegerList*) {
  TranslateReference(base_style_no_, mapping);
}

void TCustomRDInfo::SaveBaseToINI(TRDIniFile& ini, const std::string& section,
                                  const std::string& keyFormat) const {
  ini.WriteString(section, FormatKey(keyFormat, "StyleName"), style_name_);
  if (base_style_no_ != -1)
    ini.WriteInteger(section, FormatKey(keyFormat, "BaseStyleNo"), base_style_no_);
  if (!standard_) ini.WriteInteger(section, FormatKey(keyFormat, "Standard"), 0);
}

void TCustomRDInfo::LoadBaseFromINI(const TRDIniFile& ini, const std::string& section,
                                    const std::string& keyFormat, const std::string& defaultName) {
  SetStyleName(ini.ReadString(section, FormatKey(keyFormat, "StyleName"), defaultName));
  SetBaseStyleNo(ini.ReadInteger(section, FormatKey(keyFormat, "BaseStyleNo"), -1));
  SetStandard(ini.ReadInteger(section, FormatKey(keyFormat, "Standard"), 1) != 0);
}

TCustomRDInfos::TCustomRDInfos(TItemFactory factory, TRDStyle* owner)
    : factory_(std::move(factory)), owner_(owner) {}

TCustomRDInfo& TCustomRDInfos::AddItem() {
  items_.push_back(factory_(this));
  return *items_.back();
}

void TCustomRDInfos::Delete(int index) {
  if (index < 0 || index >= Count()) throw ERDListIndexError(index);
  items_.erase(items_.begin() + index);
}

int TCustomRDInfos::IndexOf(const TCustomRDInfo* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[size_t(i)].get() == item) return i;
  return -1;
}

std::vector<std::string> TCustomRDInfos::StyleNames() const {
  std::vector<std::string> names;
  for (const auto& item : items_) names.push_back(item->StyleName());
  return names;
}

void TCustomRDInfos::AssignItems(const TCustomRDInfos& source) {
  if (&source == this) return;
  items_.clear();
  for (int i = 0; i < source.Count(); ++i) AddItem().Assign(source.At(i));
}

bool TCustomRDInfos::CanMergeInto(const TCustomRDInfos&, int, const TRDIntegerList&) const {
  return true;
}

int TCustomRDInfos::FindClosestAmong(
    const TCustomRDInfo& source, const std::function<bool(const TCustomRDInfo&)>& allowed) const {
  int best = -1;
  int bestValue = 0;
  for (int j = 0; j < Count(); ++j) {
    if (!allowed(At(j))) continue;
    int value = source.SimilarityValue(At(j));
    if (best < 0 || value > bestValue) {
      best = j;
      bestValue = value;
    }
  }
  return best;
}

int TCustomRDInfos::FindClosest(const TCustomRDInfo& source) const {
  return FindClosestAmong(source, [](const TCustomRDInfo&) { return true; });
}

int TCustomRDInfos::AppendCopy(const TCustomRDInfo& source) {
  AddItem().Assign(source);
  return Count() - 1;
}

void TCustomRDInfos::MergeWith(const TCustomRDInfos& source, TRDStyleMergeMode mode,
                               TRDIntegerList& mapping, const TRDIntegerList* textStyleMapping) {
  mapping.Clear();
  const int firstAppended = Count();
  for (int i = 0; i < source.Count(); ++i) {
    const TCustomRDInfo& style = source.At(i);
    int target = -1;
    if (mode == TRDStyleMergeMode::Merge) {
      if (i < Count() && CanMergeInto(source, i, mapping) && style.IsSimpleEqualEx(At(i), mapping))
        target = i;
      for (int j = 0; target < 0 && j < Count(); ++j)
        if (CanMergeInto(source, j, mapping) && style.IsSimpleEqualEx(At(j), mapping)) target = j;
    } else if (mode == TRDStyleMergeMode::MapToClosest) {
      target = FindClosest(style);
    }
    // Mapping to nothing would leave items with a style number of another kind, so an
    // empty collection takes the style even when only mapping was asked for.
    if (target < 0) target = AppendCopy(style);
    mapping.AddValue(target);
  }
  for (int j = firstAppended; j < Count(); ++j) {
    if (RichDocResetStandardFlag) At(j).SetStandard(false);
    At(j).TranslateReferences(mapping, textStyleMapping);
  }
}

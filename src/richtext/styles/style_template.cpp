#include "richtext/styles/style_template.h"

#include <algorithm>
#include <random>

#include "richtext/base/rich_doc_error.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr TRDStyleTemplateId kMaxTemplateId = 0x7FFFFFFE;
constexpr int kMaxNameCounter = 0x7FFFFFFF;
const char* const kNormalName = "Normal";

// The generated-name format with its first "%d" replaced by n (nothing else interpreted).
std::string FormatName(const std::string& format, int n) {
  std::string name = format;
  size_t pos = name.find("%d");
  if (pos != std::string::npos) name.replace(pos, 2, std::to_string(n));
  return name;
}

TRDParaInfoProperties ParaPropsOf(TRDParaInfoProperties1 p1, TRDParaInfoProperties2 p2) {
  return {p1, p2};
}

}  // namespace

void RaiseNotValidInTemplate() {
  throw ERichDocError("This property is not valid here");
}

TRDStyleTemplate::TRDStyleTemplate(TRDStyleTemplateCollection* collection)
    : collection_(collection),
      text_style_(std::make_unique<TRDSTFontInfo>(this)),
      para_style_(std::make_unique<TRDSTParaInfo>(this)),
      list_style_(std::make_unique<TRDSTListInfo>(this)) {}

TRDStyleTemplate::~TRDStyleTemplate() {
  LeaveParent();
  for (TRDStyleTemplate* child : children_) {
    child->parent_id_ = -1;
    child->parent_ = nullptr;
  }
  if (collection_ && collection_->normal_ == this) collection_->normal_ = nullptr;
}

void TRDStyleTemplate::LeaveParent() {
  if (parent_) std::erase(parent_->children_, this);
  parent_ = nullptr;
}

int TRDStyleTemplate::Index() const {
  return collection_ ? collection_->IndexOf(this) : -1;
}

void TRDStyleTemplate::SetName(const std::string& value) {
  if (collection_ && name_ == kNormalName && collection_->normal_ == this)
    collection_->normal_ = nullptr;
  name_ = value;
  if (collection_ && name_ == kNormalName) collection_->normal_ = this;
}

TRDStyleTemplateId TRDStyleTemplate::Id() {
  static thread_local std::mt19937 generator{std::random_device{}()};
  while (id_ < 1) {
    TRDStyleTemplateId candidate = std::uniform_int_distribution<int>(1, kMaxTemplateId)(generator);
    if (!collection_ || collection_->FindById(candidate) < 0) id_ = candidate;
  }
  return id_;
}

void TRDStyleTemplate::SetParentId(TRDStyleTemplateId value) {
  if (value == parent_id_) return;
  const bool loading = collection_ && collection_->owner_ && collection_->owner_->Loading;
  if (!loading && parent_id_ >= 1) LeaveParent();
  parent_id_ = value;
  parent_ = nullptr;
  if (loading || value <= 0 || !collection_) return;
  int index = collection_->FindById(value);
  if (index < 0) return;
  TRDStyleTemplate* candidate = &collection_->Items(index);
  for (TRDStyleTemplate* t = candidate; t; t = t->parent_) {
    if (t == this) {
      parent_id_ = -1;
      throw ERichDocError("Circular references are not allowed");
    }
  }
  parent_ = candidate;
  parent_->children_.push_back(this);
}

void TRDStyleTemplate::UpdateParent() {
  LeaveParent();
  if (parent_id_ <= 0 || !collection_) return;
  int index = collection_->FindById(parent_id_);
  if (index < 0) return;
  TRDStyleTemplate* candidate = &collection_->Items(index);
  // A damaged sheet could name a descendant as parent; such a link is not made.
  for (TRDStyleTemplate* t = candidate; t; t = t->parent_)
    if (t == this) return;
  parent_ = candidate;
  parent_->children_.push_back(this);
}

void TRDStyleTemplate::Assign(const TRDStyleTemplate& source) {
  if (&source == this) return;
  text_style_->Assign(*source.text_style_);
  para_style_->Assign(*source.para_style_);
  SetName(source.name_);
  ValidTextProperties = source.ValidTextProperties;
  ValidParaProperties1 = source.ValidParaProperties1;
  ValidParaProperties2 = source.ValidParaProperties2;
  if (collection_ && collection_ == source.collection_) SetParentId(source.parent_id_);
}

void TRDStyleTemplate::AssignTo(TCustomRDInfo& dest) {
  if (auto* text = dynamic_cast<TCustomRDFontInfo*>(&dest)) {
    ApplyToTextStyle(*text, nullptr, true);
  } else if (auto* para = dynamic_cast<TCustomRDParaInfo*>(&dest)) {
    ApplyToParaStyle(*para, true);
  } else {
    throw EConvertError("Cannot assign a TRDStyleTemplate to a list style");
  }
}

TRDFontInfoProperties TRDStyleTemplate::CollectText(TCustomRDFontInfo& target,
                                                    TRDFontInfoProperties wanted) {
  TRDFontInfoProperties applied = 0;
  for (TRDStyleTemplate* t = this; t; t = t->parent_) {
    TRDFontInfoProperties props = wanted & t->ValidTextProperties & ~applied;
    if (props) target.AssignSelectedProperties(*t->text_style_, props);
    applied |= props;
  }
  return applied;
}

TRDParaInfoProperties TRDStyleTemplate::CollectPara(TCustomRDParaInfo& target,
                                                    TRDParaInfoProperties wanted) {
  TRDParaInfoProperties applied;
  for (TRDStyleTemplate* t = this; t; t = t->parent_) {
    TRDParaInfoProperties props =
        wanted & ParaPropsOf(t->ValidParaProperties1, t->ValidParaProperties2) & ~applied;
    if (!props.Empty()) target.AssignSelectedProperties(*t->para_style_, props);
    applied = applied | props;
  }
  return applied;
}

void TRDStyleTemplate::ApplyToTextStyle(TCustomRDFontInfo& textStyle,
                                        const TCustomRDParaInfo* paraStyle, bool overrideAll) {
  auto* fontInfo = dynamic_cast<TFontInfo*>(&textStyle);
  TRDFontInfoProperties wanted = RDAllFontInfoProperties;
  if (!overrideAll && fontInfo) wanted &= ~fontInfo->ModifiedProperties;
  TRDFontInfoProperties applied = CollectText(textStyle, wanted);
  if (paraStyle && paraStyle->StyleTemplateId() >= 1 && collection_) {
    int index = collection_->FindById(paraStyle->StyleTemplateId());
    if (index >= 0) {
      TRDStyleTemplate& paraTemplate = collection_->Items(index);
      TRDFontInfoProperties wanted2 = RDAllFontInfoProperties & ~applied;
      if (fontInfo && fontInfo->StyleTemplateId() != paraTemplate.Id())
        wanted2 &= ~fontInfo->ModifiedProperties;
      applied |= paraTemplate.CollectText(textStyle, wanted2);
    }
  }
  if (!fontInfo) return;
  if (overrideAll) {
    fontInfo->ModifiedProperties &= ~applied;
    fontInfo->SetStyleTemplateId(Id());
  }
  TRDFontInfoProperties rest = RDAllFontInfoProperties & ~applied & ~fontInfo->ModifiedProperties;
  if (!rest || !collection_) return;
  if (TRDStyleTemplate* normal = collection_->normal_)
    normal->CollectText(textStyle, rest);
  else if (collection_->owner_ && collection_->owner_->TextStyles().Count() > 0)
    textStyle.AssignSelectedProperties(collection_->owner_->TextStyles().Items(0), rest);
}

void TRDStyleTemplate::ApplyToParaStyle(TCustomRDParaInfo& paraStyle, bool overrideAll) {
  auto* paraInfo = dynamic_cast<TParaInfo*>(&paraStyle);
  TRDParaInfoProperties wanted = RDAllParaInfoProperties;
  if (!overrideAll && paraInfo)
    wanted = wanted & ~ParaPropsOf(paraInfo->ModifiedProperties1, paraInfo->ModifiedProperties2);
  TRDParaInfoProperties applied = CollectPara(paraStyle, wanted);
  if (!paraInfo) return;
  if (overrideAll) {
    paraInfo->ModifiedProperties1 &= ~applied.Props1;
    paraInfo->ModifiedProperties2 &= ~applied.Props2;
    paraInfo->SetStyleTemplateId(Id());
  }
  TRDParaInfoProperties rest =
      RDAllParaInfoProperties & ~applied &
      ~ParaPropsOf(paraInfo->ModifiedProperties1, paraInfo->ModifiedProperties2);
  if (rest.Empty() || !collection_) return;
  if (TRDStyleTemplate* normal = collection_->normal_)
    normal->CollectPara(paraStyle, rest);
  else if (collection_->owner_ && collection_->owner_->ParaStyles().Count() > 0)
    paraStyle.AssignSelectedProperties(collection_->owner_->ParaStyles().Items(0), rest);
}

TRDStyleTemplateCollection::TRDStyleTemplateCollection(TRDStyle* owner) : owner_(owner) {}

TRDStyleTemplateCollection::~TRDStyleTemplateCollection() {
  Clear();
}

TRDStyleTemplate& TRDStyleTemplateCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERDListIndexError(index);
  return *items_[size_t(index)];
}

TRDStyleTemplate& TRDStyleTemplateCollection::Add() {
  items_.push_back(std::make_unique<TRDStyleTemplate>(this));
  TRDStyleTemplate& item = *items_.back();
  if (!owner_ || !owner_->Loading) MakeUniqueName(item);
  return item;
}

void TRDStyleTemplateCollection::MakeUniqueName(TRDStyleTemplate& item) {
  if (Count() == 1) name_counter_ = 0;
  std::string name;
  bool taken;
  do {
    if (name_counter_ == kMaxNameCounter) name_counter_ = 0;
    ++name_counter_;
    name = FormatName(DefStyleName, name_counter_);
    taken = false;
    for (const auto& other : items_)
      if (other.get() != &item && other->Name() == name) taken = true;
  } while (taken && name.find(std::to_string(name_counter_)) != std::string::npos);
  item.SetName(name);
}

void TRDStyleTemplateCollection::Delete(int index) {
  Items(index);
  items_.erase(items_.begin() + index);
}

void TRDStyleTemplateCollection::Clear() {
  while (!items_.empty()) items_.pop_back();
  normal_ = nullptr;
}

int TRDStyleTemplateCollection::FindById(TRDStyleTemplateId id) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[size_t(i)]->id_ == id && id >= 1) return i;
  return -1;
}

int TRDStyleTemplateCollection::IndexOf(const TRDStyleTemplate* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[size_t(i)].get() == item) return i;
  return -1;
}

void TRDStyleTemplateCollection::AssignStyleTemplates(const TRDStyleTemplateCollection& source,
                                                      bool copyIds) {
  if (&source == this) return;
  Clear();
  for (int i = 0; i < source.Count(); ++i) Add().Assign(source.Items(i));
  for (int i = 0; i < source.Count(); ++i) {
    TRDStyleTemplate& sourceItem = source.Items(i);
    if (copyIds) items_[size_t(i)]->SetIdDirectly(sourceItem.id_);
  }
  for (int i = 0; i < source.Count(); ++i) {
    TRDStyleTemplate& sourceItem = source.Items(i);
    if (copyIds) {
      items_[size_t(i)]->SetParentId(sourceItem.parent_id_);
    } else if (sourceItem.parent_) {
      int parentIndex = source.IndexOf(sourceItem.parent_);
      items_[size_t(i)]->SetParentId(Items(parentIndex).Id());
    }
  }
}

void TRDStyleTemplateCollection::ResetTextStyle(TCustomRDFontInfo& textStyle,
                                                const TCustomRDParaInfo* paraStyle) {
  if (normal_) {
    normal_->ApplyToTextStyle(textStyle, paraStyle, true);
    return;
  }
  if (owner_ && owner_->TextStyles().Count() > 0) textStyle.Assign(owner_->TextStyles().Items(0));
  if (auto* fontInfo = dynamic_cast<TFontInfo*>(&textStyle)) {
    fontInfo->ModifiedProperties = 0;
    fontInfo->SetStyleTemplateId(-1);
  }
}

void TRDStyleTemplateCollection::ResetParaStyle(TCustomRDParaInfo& paraStyle) {
  if (normal_) {
    normal_->ApplyToParaStyle(paraStyle, true);
    return;
  }
  if (owner_ && owner_->ParaStyles().Count() > 0) paraStyle.Assign(owner_->ParaStyles().Items(0));
  if (auto* paraInfo = dynamic_cast<TParaInfo*>(&paraStyle)) {
    paraInfo->ModifiedProperties1 = 0;
    paraInfo->ModifiedProperties2 = 0;
    paraInfo->SetStyleTemplateId(-1);
  }
}

void TRDStyleTemplateCollection::UpdateParents() {
  for (auto& item : items_) item->UpdateParent();
}

// Style templates: named bundles of text and paragraph properties that inherit from a
// parent template. A template defines only the properties marked valid in it; applying
// it to a style copies the effective properties, keeps what the user changed by hand (the
// style's ModifiedProperties) and fills what no template defines from the template named
// "Normal" or, without one, from style 0 of the sheet.
//
// Example: two templates made in a sheet that is not loading are named "Style 1" and
// "Style 2".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "richtext/styles/list_style.h"
#include "richtext/styles/para_style.h"
#include "richtext/styles/text_style.h"

class TRDStyle;
class TRDStyleTemplate;
class TRDStyleTemplateCollection;

// The style objects inside a template refuse the four base properties.
[[noreturn]] void RaiseNotValidInTemplate();

template <class TInfo>
class TRDSTInfo : public TInfo {
 public:
  explicit TRDSTInfo(TRDStyleTemplate* owner) : TInfo(nullptr), owner_(owner) {}
  TRDStyleTemplate* Owner() const { return owner_; }
  void SetBaseStyleNo(int) override { RaiseNotValidInTemplate(); }
  void SetStyleName(const std::string&) override { RaiseNotValidInTemplate(); }
  void SetStandard(bool) override { RaiseNotValidInTemplate(); }
  void SetStyleTemplateId(TRDStyleTemplateId) override { RaiseNotValidInTemplate(); }

 protected:
  bool AcceptsBaseProperties() const override { return false; }

 private:
  TRDStyleTemplate* owner_;
};

class TRDSTFontInfo : public TRDSTInfo<TCustomRDFontInfo> {
 public:
  using TRDSTInfo::TRDSTInfo;
};

class TRDSTParaInfo : public TRDSTInfo<TCustomRDParaInfo> {
 public:
  using TRDSTInfo::TRDSTInfo;
};

class TRDSTListInfo : public TRDSTInfo<TRDListInfo> {
 public:
  using TRDSTInfo::TRDSTInfo;
};

class TRDStyleTemplate {
 public:
  explicit TRDStyleTemplate(TRDStyleTemplateCollection* collection);
  ~TRDStyleTemplate();
  TRDStyleTemplate(const TRDStyleTemplate&) = delete;
  TRDStyleTemplate& operator=(const TRDStyleTemplate&) = delete;

  TRDSTFontInfo& TextStyle() { return *text_style_; }
  TRDSTParaInfo& ParaStyle() { return *para_style_; }
  TRDSTListInfo& ListStyle() { return *list_style_; }
  TRDFontInfoProperties ValidTextProperties = 0;
  TRDParaInfoProperties1 ValidParaProperties1 = 0;
  TRDParaInfoProperties2 ValidParaProperties2 = 0;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  // The identifier, drawn at random (unique in the collection) at the first request.
  TRDStyleTemplateId Id();
  void SetIdDirectly(TRDStyleTemplateId id) { id_ = id; }
  TRDStyleTemplateId ParentId() const { return parent_id_; }
  // Raises "Circular references are not allowed" (after resetting to -1) when the new
  // parent is this template or one of its descendants.
  void SetParentId(TRDStyleTemplateId value);
  TRDStyleTemplate* Parent() const { return parent_; }
  const std::vector<TRDStyleTemplate*>& Children() const { return children_; }
  std::string GetDisplayName() const { return name_; }
  int Index() const;

  void Assign(const TRDStyleTemplate& source);
  // Applying to a style (AssignTo with OverrideAll).
  void AssignTo(TCustomRDInfo& dest);
  void ApplyToTextStyle(TCustomRDFontInfo& textStyle, const TCustomRDParaInfo* paraStyle,
                        bool overrideAll);
  void ApplyToParaStyle(TCustomRDParaInfo& paraStyle, bool overrideAll);
  void UpdateParent();

 private:
  friend class TRDStyleTemplateCollection;
  TRDFontInfoProperties CollectText(TCustomRDFontInfo& target, TRDFontInfoProperties wanted);
  TRDParaInfoProperties CollectPara(TCustomRDParaInfo& target, TRDParaInfoProperties wanted);
  void LeaveParent();

  TRDStyleTemplateCollection* collection_;
  std::unique_ptr<TRDSTFontInfo> text_style_;
  std::unique_ptr<TRDSTParaInfo> para_style_;
  std::unique_ptr<TRDSTListInfo> list_style_;
  std::string name_;
  TRDStyleTemplateId id_ = -1;
  TRDStyleTemplateId parent_id_ = -1;
  TRDStyleTemplate* parent_ = nullptr;
  std::vector<TRDStyleTemplate*> children_;
};

class TRDStyleTemplateCollection {
 public:
  explicit TRDStyleTemplateCollection(TRDStyle* owner);
  ~TRDStyleTemplateCollection();

  TRDStyle* Owner() const { return owner_; }
  // The format of generated names; its first "%d" takes the counter.
  std::string DefStyleName = "Style %d";

  int Count() const { return int(items_.size()); }
  TRDStyleTemplate& Items(int index) const;
  TRDStyleTemplate& Add();
  void Delete(int index);
  void Clear();
  int FindById(TRDStyleTemplateId id) const;
  int IndexOf(const TRDStyleTemplate* item) const;
  TRDStyleTemplate* NormalStyleTemplate() const { return normal_; }

  void Assign(const TRDStyleTemplateCollection& source) { AssignStyleTemplates(source, false); }
  void AssignStyleTemplates(const TRDStyleTemplateCollection& source, bool copyIds);
  void ResetTextStyle(TCustomRDFontInfo& textStyle, const TCustomRDParaInfo* paraStyle);
  void ResetParaStyle(TCustomRDParaInfo& paraStyle);
  void UpdateParents();

 private:
  friend class TRDStyleTemplate;
  void MakeUniqueName(TRDStyleTemplate& item);
  TRDStyle* owner_;
  std::vector<std::unique_ptr<TRDStyleTemplate>> items_;
  TRDStyleTemplate* normal_ = nullptr;
  int name_counter_ = 0;
};

#include "lists/ex_section_columns.h"

#include <algorithm>

#include "lists/ex_section_list.h"

// --- column -----------------------------------------------------------------------------

TExSectionColumn::TExSectionColumn(TExSectionColumns& Collection, int Index)
    : collection_(Collection) {
  // The hidden group column has no header section: later columns sit one to the left.
  TExSectionList* list = Collection.List();
  SectionIndex = Index;
  if (list && Index > list->GroupColumn && list->GroupColumnDisplay() == gdHidden) --SectionIndex;
  DisplayOrder = SectionIndex;
  font_.OnChange = [this] {
    if (collection_.OnRefresh) collection_.OnRefresh();
  };
  header_font_.OnChange = [this] { Changed(); };
}

int TExSectionColumn::Index() const {
  return collection_.IndexOf(this);
}

std::string TExSectionColumn::DisplayName() const {
  return caption_.empty() ? "Data column " + std::to_string(Index()) : caption_;
}

void TExSectionColumn::SetWidth(int Value) {
  width_ = Value;
  Changed();
}

void TExSectionColumn::SetVisible(bool Value) {
  visible_ = Value;
  Changed();
}

void TExSectionColumn::Changed() {
  collection_.Changed();
}

void TExSectionColumn::Assign(const TExSectionColumn& Source) {
  collection_.BeginUpdate();
  caption_ = Source.caption_;
  width_ = Source.width_;
  font_.Assign(Source.font_);
  color_ = Source.color_;
  alignment_ = Source.alignment_;
  column_type_ = Source.column_type_;
  markup_ = Source.markup_;
  utf8_text_ = Source.utf8_text_;
  url_type_ = Source.url_type_;
  header_font_.Assign(Source.header_font_);
  header_color_ = Source.header_color_;
  header_color_to_ = Source.header_color_to_;
  header_gradient_dir_ = Source.header_gradient_dir_;
  header_alignment_ = Source.header_alignment_;
  header_image_index_ = Source.header_image_index_;
  header_hint_ = Source.header_hint_;
  header_show_hint_ = Source.header_show_hint_;
  hint_ = Source.hint_;
  show_hint_ = Source.show_hint_;
  sort_type_ = Source.sort_type_;
  group_image_index_ = Source.group_image_index_;
  Changed();
  collection_.EndUpdate();
}

bool TExSectionColumn::IsMarkupText(const std::string& Value) const {
  return column_type_ == ctText && markup_ && Value.find("</") != std::string::npos;
}

// --- collection -------------------------------------------------------------------------

TExSectionColumn* TExSectionColumns::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return items_[static_cast<size_t>(Index)].get();
}

TExSectionColumn* TExSectionColumns::Add() {
  items_.push_back(std::make_unique<TExSectionColumn>(*this, Count()));
  Changed();
  return items_.back().get();
}

void TExSectionColumns::Delete(int Index) {
  TExSectionColumn* gone = Items(Index);
  if (!gone) return;
  for (auto& column : items_) {
    if (column->SectionIndex > gone->SectionIndex) {
      --column->SectionIndex;
      --column->DisplayOrder;
    }
  }
  items_.erase(items_.begin() + Index);
  Changed();
}

int TExSectionColumns::IndexOf(const TExSectionColumn* Column) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == Column) return static_cast<int>(i);
  }
  return -1;
}

void TExSectionColumns::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Changed();
}

void TExSectionColumns::Changed() {
  if (update_count_ == 0 && OnChange) OnChange();
}

// --- settings ---------------------------------------------------------------------------

void TSortSettings::SetColumn(int Value) {
  if (column_ == Value) return;
  column_ = Value;
  Changed();
}

void TSortSettings::SetDirection(TOGLSortDirection Value) {
  if (direction_ == Value) return;
  direction_ = Value;
  Changed();
}

void TSortSettings::SetSortGroups(bool Value) {
  sort_groups_ = Value;
  Changed();
}

void TSortSettings::Changed() {
  if (Enabled && OnChange) OnChange();
}

TPreviewSetting::TPreviewSetting() {
  Font.SetColor(clBlue);
  Font.OnChange = [this] { Changed(); };
}

void TPreviewSetting::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  Changed();
}

void TPreviewSetting::SetColumn(int Value) {
  if (column_ == Value) return;
  column_ = Value;
  Changed();
}

void TPreviewSetting::SetHeight(int Value) {
  if (height_ == Value) return;
  height_ = Value;
  Changed();
}

void TPreviewSetting::Changed() {
  if (OnChange) OnChange();
}

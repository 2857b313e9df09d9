#include "lists/ex_page_control_standin.h"

#include <algorithm>

TExTabSheet::TExTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {}

TExTabSheet::~TExTabSheet() {
  if (page_control_) page_control_->RemovePage(this);
}

void TExTabSheet::SetPageControl(TExPageControl* Value) {
  if (page_control_ == Value) return;
  if (page_control_) page_control_->RemovePage(this);
  page_control_ = Value;
  if (!Value) return;
  SetParent(Value);
  SetAlign(alClient);
  Value->AddPage(this);
}

TExPageControl::TExPageControl(TComponent* AOwner) : TCustomControl(AOwner) {}

TExPageControl::~TExPageControl() {
  for (TExTabSheet* page : pages_) page->page_control_ = nullptr;
}

TExTabSheet* TExPageControl::Pages(int Index) const {
  return Index >= 0 && Index < PageCount() ? pages_[Index] : nullptr;
}

void TExPageControl::SetActivePage(TExTabSheet* Page) {
  if (Page && Page->page_control_ != this) return;
  active_page_ = Page;
  for (TExTabSheet* page : pages_) page->SetVisible(page == Page);
}

void TExPageControl::AddPage(TExTabSheet* Page) {
  pages_.push_back(Page);
  Page->SetVisible(active_page_ == nullptr);
  if (!active_page_) active_page_ = Page;
}

void TExPageControl::RemovePage(TExTabSheet* Page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), Page), pages_.end());
  if (active_page_ == Page) active_page_ = nullptr;
}

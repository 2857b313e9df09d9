// Stand-in for the tabbed page control until the grouped-list library lands: sheets
// fill the control and one of them, the active page, is shown. The windows that use it
// hide every tab and switch pages from code, so no tab row is drawn.
#pragma once

#include <vector>

#include "platform/gui/controls.h"

class TExPageControl;

class TExTabSheet : public TCustomControl {
 public:
  explicit TExTabSheet(TComponent* AOwner);
  ~TExTabSheet() override;

  TExPageControl* PageControl() const { return page_control_; }
  // Puts the sheet into PageControl (and onto it as its parent).
  void SetPageControl(TExPageControl* Value);
  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool Value) { tab_visible_ = Value; }

  std::string ClassName() const override { return "TExTabSheet"; }

 private:
  friend class TExPageControl;
  TExPageControl* page_control_ = nullptr;
  bool tab_visible_ = true;
};

class TExPageControl : public TCustomControl {
 public:
  explicit TExPageControl(TComponent* AOwner);
  ~TExPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TExTabSheet* Pages(int Index) const;
  TExTabSheet* ActivePage() const { return active_page_; }
  // A sheet of another control is ignored; null shows none.
  void SetActivePage(TExTabSheet* Page);

  TNotifyEvent OnChange;

  std::string ClassName() const override { return "TExPageControl"; }

 private:
  friend class TExTabSheet;
  void AddPage(TExTabSheet* Page);
  void RemovePage(TExTabSheet* Page);

  std::vector<TExTabSheet*> pages_;
  TExTabSheet* active_page_ = nullptr;
};

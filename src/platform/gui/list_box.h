// The list box: one line per item, at most one chosen.
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "platform/text/string_list.h"

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  // Changing the items refills the box.
  TStringList& Items() { return *items_; }
  const TStringList& Items() const { return *items_; }
  // -1 when no item is chosen.
  int ItemIndex() const;
  void SetItemIndex(int Value);

  std::string ClassName() const override { return "TListBox"; }

 private:
  void ItemsChanged();

  std::unique_ptr<TStringList> items_;
};

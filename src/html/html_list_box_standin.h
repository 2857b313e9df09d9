// Stand-in for the HTML list box until the HTML engine lands: the same members the
// windows use, items drawn as their text without tags, one item per ItemHeight pixels.
#pragma once

#include <memory>

#include "html/picture_container_standin.h"
#include "platform/gui/controls.h"
#include "platform/text/string_list.h"

class THtmlListBox : public TCustomControl {
 public:
  explicit THtmlListBox(TComponent* AOwner);
  ~THtmlListBox() override;

  TStringList& Items() { return *items_; }
  // -1 when no item is chosen.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int Value);
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int Value);
  TPictureContainer* PictureContainer = nullptr;
  TColor SelectionColor = clHighlight;
  TColor SelectionFontColor = clHighlightText;

  std::string ClassName() const override { return "THtmlListBox"; }

 protected:
  void Paint() override;
  // A press on an item chooses it before the click reaches OnClick.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  std::unique_ptr<TStringList> items_;
  int item_index_ = -1;
  int item_height_ = 16;
};

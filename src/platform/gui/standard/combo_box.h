// The combo box: a list of choices with an edit field (csDropDown) or without one
// (csDropDownList).
//
// Items is the list shown; changing it refills the drop-down. A descendant may take over
// the drawing of the closed box by overriding PaintFace.
#pragma once

#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/standard/edit.h"
#include "platform/text/string_list.h"

enum TComboBoxStyle { csDropDown, csDropDownList };

class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStringList& Items() { return *items_; }
  const TStringList& Items() const { return *items_; }
  // -1 when no item is chosen.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  std::string Text() const;
  void SetText(const std::string& Value);
  // The text as the box shows it, every character whatever its script.
  std::u16string TextW() const;
  // A list of file names reads, shows and takes the items and the text as the file
  // system's bytes: a name in any script is shown as it is written.
  TTextBytes TextBytes() const { return text_bytes_; }
  void SetTextBytes(TTextBytes Value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool Value) { items_->SetSorted(Value); }
  int DropDownCount() const;
  void SetDropDownCount(int Value);
  // Height of one line of the drop-down list, in pixels.
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int Value);
  // Most characters the edit field takes; 0 for no limit.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int Value);
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase Value);
  bool DroppedDown() const;

  TNotifyEvent OnChange;    // the text changed (typed or chosen)
  TNotifyEvent OnSelect;    // the user chose an item
  TNotifyEvent OnDropDown;  // the list is about to open
  TNotifyEvent OnCloseUp;   // the list closed

  std::string ClassName() const override { return "TComboBox"; }

 protected:
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  // Draws the closed box; returning false leaves the standard look. Default: false.
  virtual bool PaintFace(TCanvas& Canvas);

 private:
  friend class TComboBoxWidget;
  void ItemsChanged();

  std::unique_ptr<TStringList> items_;
  std::unique_ptr<TCanvas> face_canvas_;
  TComboBoxStyle style_ = csDropDown;
  TEditCharCase char_case_ = ecNormal;
  TTextBytes text_bytes_ = TTextBytes::CodePage;
  int item_height_ = 13;
  int max_length_ = 0;
};

class TComboBox : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
};

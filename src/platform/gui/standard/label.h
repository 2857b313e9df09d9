// The plain label: a windowless caption. With AutoSize it takes the size its text needs
// (with WordWrap only its height, the width stays), so a window can lay out around it.
// A caption beyond the program's code page (a text another station sent in Greek) is given
// with SetCaptionW; Caption then holds it in the code page, '?' for what it lacks.
#pragma once

#include <string>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/text_layout.h"

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* AOwner);

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool Value);
  // A transparent label leaves its background to whatever lies below it.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  // With ShowAccelChar "&x" underlines x and "&&" is one '&'.
  bool ShowAccelChar() const { return show_accel_char_; }
  void SetShowAccelChar(bool Value);

  // The caption as drawn.
  const std::u16string& CaptionW() const { return shown_; }
  void SetCaptionW(std::u16string Value);

  std::string ClassName() const override { return "TLabel"; }

 protected:
  void Paint() override;
  void CaptionChanged() override;
  void FontChanged() override;
  // Sizes the label to its text when AutoSize is on.
  void AdjustBounds();

 private:
  TTextFormat TextFormat() const;

  bool auto_size_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool word_wrap_ = false;
  bool transparent_ = false;
  bool show_accel_char_ = true;
  std::u16string shown_;
  bool setting_wide_ = false;  // SetCaptionW is setting Caption
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;
};

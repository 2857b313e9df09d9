// The single-line edit box.
//
// Keys reach KeyDown and KeyPress first (a handler that sets the key to 0 keeps it out
// of the text); every change of the text, typed, pasted or set from code, then calls
// Change, which fires OnChange.
#pragma once

#include "platform/gui/controls/controls.h"

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  // Text set from code that is UTF-8 (a folder's name as the file system gives it) is
  // shown as what it says and given back as UTF-8, also once the user has changed it;
  // any other text is the code page's.
  std::string Text() const;
  void SetText(const std::string& Value);
  // The text as the box shows it, every character as typed, whatever its script.
  std::u16string TextW() const;
  // Most characters the user may enter; 0 for no limit. Text set from code is not cut.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int Value);
  // Most bytes the text may take when it goes out (TextToSend), for a text whose room on
  // the air is counted in bytes: a character beyond the code page takes two or three,
  // and what does not fit is not taken, never part of a character. 0 for no limit. Text
  // set from code is not cut.
  void SetMaxSentBytes(int Value);
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  // Selects the whole text (the symbol page's one-character edits after each key).
  void SelectAll();

  TNotifyEvent OnChange;

  std::string ClassName() const override { return "TEdit"; }

 protected:
  virtual void Change();

 private:
  int max_length_ = 0;
  bool utf8_text_ = false;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

// The single-line edit box.
//
// Keys reach KeyDown and KeyPress first (a handler that sets the key to 0 keeps it out
// of the text); every change of the text, typed, pasted or set from code, then calls
// Change, which fires OnChange.
#pragma once

#include <string_view>

#include "platform/gui/controls/controls.h"
#include "platform/text/cp1252.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  // The text's bytes in the edit's TextBytes. In the code page, text set from code that
  // is UTF-8 (a comment saved as sent) is shown as what it says and given back as UTF-8,
  // also once the user has changed it; any other text is the code page's, and a typed
  // character beyond it reads as '?' (TextW has it).
  std::string Text() const;
  void SetText(const std::string& Value);
  // A file or folder name's edit reads and takes the file system's bytes: what is typed
  // in any script names the file so typed, as a name chosen in a dialog does.
  TTextBytes TextBytes() const { return text_bytes_; }
  void SetTextBytes(TTextBytes Value) { text_bytes_ = Value; }
  // The text as the box shows it, every character as typed, whatever its script.
  std::u16string TextW() const;
  // Most characters the user may enter; 0 for no limit. Text set from code is not cut.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int Value);
  // Most bytes the text may take when it goes out (TextToSend), for a text whose room on
  // the air is counted in bytes: a character beyond the code page takes two or three,
  // and what does not fit is not taken, never part of a character as the user sees it (a
  // letter with its marks). 0 for no limit. Text set from code is not cut.
  void SetMaxSentBytes(int Value);
  // Typed or pasted letters are turned to this case (text set from code is left as it is).
  TEditCharCase CharCase() const;
  void SetCharCase(TEditCharCase Value);
  // The only characters the user may type or paste, after the case is turned; any other
  // is refused as it is typed. Empty: every character. Text set from code is not cut.
  void SetAllowedChars(std::string_view Chars);
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  // Selects the whole text (the symbol page's one-character edits after each key).
  void SelectAll();

  TNotifyEvent OnChange;

  std::string ClassName() const override { return "TEdit"; }

 protected:
  virtual void Change();

 private:
  class TTypedTextRules& Rules();

  int max_length_ = 0;
  bool utf8_text_ = false;
  TTextBytes text_bytes_ = TTextBytes::CodePage;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

// The multi-line edit box. Lines is the text, one string per line; changing Lines
// from code refills the box, and typing refills Lines.
#pragma once

#include <memory>
#include <string>

#include <string_view>

#include "platform/gui/controls/controls.h"
#include "platform/gui/standard/edit.h"
#include "platform/text/cp1252.h"
#include "platform/text/string_list.h"

class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* AOwner);
  ~TMemo() override;

  TStringList& Lines() { return *lines_; }
  const TStringList& Lines() const { return *lines_; }
  // The lines joined with CR LF, as the box shows them (no line break after the last).
  std::string Text() const;
  void SetText(const std::string& Value) { lines_->SetText(Value); }
  // Text beyond the program's code page (lines apart by CR LF): the box shows it whole,
  // Lines holds it in the memo's TextBytes ('?' for what the code page lacks).
  void SetTextW(std::u16string_view Value);
  // What the bytes of Lines are. A memo whose lines are stored or sent holds them as
  // they go out (Sent), so that what is typed in any script is neither stored nor sent
  // as '?'; the whole text takes one form, so that a file of its lines reads back as
  // typed.
  void SetTextBytes(TTextBytes Value);
  // As the edit's: typed or pasted letters are turned to this case, and only the allowed
  // characters are taken (line breaks, the memo's own structure, always are). Text set
  // from code is left as it is.
  void SetCharCase(TEditCharCase Value);
  void SetAllowedChars(std::string_view Chars);
  // The text as the box shows it, lines apart by LF.
  std::u16string TextW() const;
  bool ReadOnly() const;
  void SetReadOnly(bool Value);

  TNotifyEvent OnChange;

  std::string ClassName() const override { return "TMemo"; }

 private:
  void LinesChanged();
  void TextEdited();

  std::unique_ptr<TStringList> lines_;
  bool syncing_ = false;
  TTextBytes text_bytes_ = TTextBytes::CodePage;
};

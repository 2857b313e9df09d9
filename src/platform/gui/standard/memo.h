// The multi-line edit box. Lines is the text, one string per line; changing Lines
// from code refills the box, and typing refills Lines.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/controls/controls.h"
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
  // Lines holds it in the code page, '?' for what it lacks.
  void SetTextW(std::u16string_view Value);
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
};

// The edit box for non-negative whole numbers with a permitted range and a default.
//
// Only digits get in, typed or pasted. Leaving the box checks the range (IntMax > 0
// switches the check on) and corrects a value outside it to the nearest bound, with a
// message. AutoHint builds a two-line hint from AutoHintText, the range and the default.
#pragma once

#include "platform/gui/standard/edit.h"

// The box for a value out of range ("%d": the least and the greatest value), and the
// automatic hint's second line (least, greatest, default).
extern const char* const kNumberRangeError;
extern const char* const kNumberRangeHint;

class TNumberEdit : public TEdit {
 public:
  explicit TNumberEdit(TComponent* AOwner);

  int IntMin() const { return int_min_; }
  void SetIntMin(int Value);
  // 0 or less: no range check and no length limit.
  int IntMax() const { return int_max_; }
  void SetIntMax(int Value);
  int IntDef() const { return int_def_; }
  void SetIntDef(int Value);
  // The text as a number (an empty text becomes IntMin first). Digits past the 32-bit
  // range give the largest integer.
  int IntIst();
  // Writes the value, cut to IntMax when there is a range; negatives become 0.
  void SetIntIst(int Value);
  bool AutoHint() const { return auto_hint_; }
  void SetAutoHint(bool Value);
  const std::string& AutoHintText() const { return auto_hint_text_; }
  void SetAutoHintText(const std::string& Value);

  std::string ClassName() const override { return "TNumberEdit"; }

 protected:
  void KeyPress(char& Key) override;
  void Change() override;
  void DoExit() override;

 private:
  void RebuildHint();
  void ApplyMaxLength();

  int int_min_ = 0;
  int int_max_ = 0;
  int int_def_ = 0;
  bool auto_hint_ = false;
  std::string auto_hint_text_;
  bool filtering_ = false;
};

// The number a digit string stands for, saturated at the largest 32-bit integer; 0 for
// an empty text. Characters other than digits are skipped.
int DigitsToInt(const std::string& Digits);

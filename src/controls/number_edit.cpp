#include "controls/number_edit.h"

#include <algorithm>
#include <climits>

#include "platform/gui/standard/beep.h"
#include "platform/gui/standard/message_box.h"
#include "platform/text/ascii.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"

const char* const kNumberRangeError = "Wert mu\xDF zwischen %d und %d liegen!";
const char* const kNumberRangeHint = "Bereich: %d...%d - Voreinstellung: %d";

namespace {

constexpr char kBackspace = '\b';
constexpr char kEnter = '\r';

bool IsControlCommand(char Key) {
  return static_cast<unsigned char>(Key) < 0x20 && Key != kBackspace && Key != kEnter;
}

}  // namespace

int DigitsToInt(const std::string& Digits) {
  long long value = 0;
  for (char c : Digits) {
    if (!IsAsciiDigit(c)) continue;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

TNumberEdit::TNumberEdit(TComponent* AOwner) : TEdit(AOwner) {
  SetWidth(60);
  SetText("0");
  // A pasted " 120" is 120: what is not a digit goes before the length is counted.
  SetAllowedChars("0123456789");
  ApplyMaxLength();
}

void TNumberEdit::ApplyMaxLength() {
  SetMaxLength(int_max_ > 0 ? static_cast<int>(IntToStr(int_max_).size()) : 0);
}

void TNumberEdit::SetIntMin(int Value) {
  int_min_ = Value;
  RebuildHint();
}

void TNumberEdit::SetIntMax(int Value) {
  int_max_ = Value;
  ApplyMaxLength();
  RebuildHint();
}

void TNumberEdit::SetIntDef(int Value) {
  int_def_ = Value;
  RebuildHint();
}

void TNumberEdit::SetAutoHint(bool Value) {
  auto_hint_ = Value;
  RebuildHint();
}

void TNumberEdit::SetAutoHintText(const std::string& Value) {
  auto_hint_text_ = Value;
  RebuildHint();
}

void TNumberEdit::RebuildHint() {
  if (!auto_hint_) {
    SetHint(auto_hint_text_);
    return;
  }
  // LF before CR: the hint window breaks the line at the LF.
  SetHint(auto_hint_text_ + "\n\r" +
          Format(LocalText(kNumberRangeHint), int_min_, int_max_, int_def_));
}

int TNumberEdit::IntIst() {
  if (Text().empty()) SetText(IntToStr(int_min_));
  return DigitsToInt(Text());
}

void TNumberEdit::SetIntIst(int Value) {
  if (int_max_ > 0) Value = std::min(Value, int_max_);
  SetText(IntToStr(std::max(Value, 0)));
}

void TNumberEdit::KeyPress(char& Key) {
  ApplyMaxLength();
  // Control characters are the edit's commands (Ctrl+A selects all, Ctrl+C copies),
  // not input: they pass without a beep, and pasted text is filtered in Change.
  if (IsControlCommand(Key)) {
    TEdit::KeyPress(Key);
    return;
  }
  if (Key != kBackspace && Key != kEnter && !IsAsciiDigit(Key)) {
    Beep();
    Key = 0;
    return;
  }
  if (Key == kBackspace && Text().empty()) Beep();
  TEdit::KeyPress(Key);
}

void TNumberEdit::Change() {
  // Pasted or dropped text never passed KeyPress: filter it here the same way.
  const std::string text = Text();
  if (!filtering_ &&
      std::any_of(text.begin(), text.end(), [](char c) { return !IsAsciiDigit(c); })) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), IsAsciiDigit);
    Beep();
    filtering_ = true;
    SetText(digits);
    filtering_ = false;
    return;  // the assignment above reported the change
  }
  TEdit::Change();
}

void TNumberEdit::DoExit() {
  if (Text().empty()) SetText(IntToStr(int_min_));
  const int value = DigitsToInt(Text());
  if (int_max_ > 0 && (value < int_min_ || value > int_max_)) {
    ShowErrorBox(Format(LocalText(kNumberRangeError), int_min_, int_max_));
    SetText(IntToStr(value < int_min_ ? int_min_ : int_max_));
    SetFocus();
  }
  TEdit::DoExit();
}

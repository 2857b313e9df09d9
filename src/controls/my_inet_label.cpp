#include "controls/my_inet_label.h"

#include "core/my_tools.h"
#include "platform/gui/standard/shell.h"

namespace {

// Shared by all link labels, as only one can be under the mouse: whether it is over
// one, and the font colour that label had before it lit up.
bool mouse_over_link = false;
TColor saved_font_color = clNavy;

}  // namespace

TMyInetLabel::TMyInetLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
  if (auto* owner = dynamic_cast<TControl*>(AOwner)) Font().SetName(owner->Font().Name());
  Font().SetColor(clNavy);
  Font().SetStyle(Font().Style() | fsUnderline);
  SetCursor(wcInternetCursor);
}

bool TMyInetLabel::HasLink() const {
  return !(internet_ == itWeb ? url_ : email_).empty();
}

void TMyInetLabel::SetActive(bool Value) {
  // A web link used to need a mail address here; each kind now needs its own link.
  active_ = Value && HasLink();
}

void TMyInetLabel::SetEmail(const std::string& Value) {
  if (email_ == Value) return;
  email_ = Value;
  active_ = HasLink();
}

void TMyInetLabel::SetUrl(const std::string& Value) {
  if (url_ == Value) return;
  url_ = Value;
  active_ = HasLink();
}

void TMyInetLabel::SetCursor(TInternetCursor Value) {
  internet_cursor_ = Value;
  TCustomLabel::SetCursor(Value == wcInternetCursor ? crHandPoint : crArrow);
}

std::string TMyInetLabel::Link() const {
  if (internet_ == itWeb) return url_;
  std::string link = "mailto:" + email_;
  if (SubjectActive && !Subject.empty()) {
    std::string encoded;
    UrlEncode(Subject, encoded);
    link += "?Subject=" + encoded;
  }
  return link;
}

void TMyInetLabel::MouseEnter() {
  TCustomLabel::SetCursor(crHandPoint);
  saved_font_color = Font().Color();
  Font().SetColor(HoverColor);
  mouse_over_link = true;
  Invalidate();
  TCustomLabel::MouseEnter();
}

void TMyInetLabel::MouseLeave() {
  Font().SetColor(saved_font_color);
  mouse_over_link = false;
  Invalidate();
  TCustomLabel::MouseLeave();
}

void TMyInetLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    Font().SetColor(ActiveColor);
    Invalidate();
  }
  TCustomLabel::MouseDown(Button, Shift, X, Y);
}

void TMyInetLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && active_ && mouse_over_link) ShellOpen(Link());
  TCustomLabel::MouseUp(Button, Shift, X, Y);
}

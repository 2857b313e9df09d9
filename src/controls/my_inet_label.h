// A label that acts as a link: it changes colour under the mouse and while pressed, and a
// click hands its web address, or its mail address with an optional subject, to the
// desktop to open with the default browser or mail program.
#pragma once

#include "platform/gui/standard/label.h"

enum TInternet { itEmail, itWeb };
enum TInternetCursor { wcDefault, wcInternetCursor };

class TMyInetLabel : public TCustomLabel {
 public:
  explicit TMyInetLabel(TComponent* AOwner);

  // Switching on takes effect only while the label has a link of its kind.
  bool Active() const { return active_; }
  void SetActive(bool Value);
  TColor ActiveColor = clYellow;
  TColor HoverColor = clRed;
  TInternet Internet() const { return internet_; }
  void SetInternet(TInternet Value) { internet_ = Value; }
  const std::string& Email() const { return email_; }
  void SetEmail(const std::string& Value);
  std::string Subject = "SubjectCaption";
  bool SubjectActive = true;
  const std::string& Url() const { return url_; }
  void SetUrl(const std::string& Value);
  TInternetCursor InternetCursor() const { return internet_cursor_; }
  void SetCursor(TInternetCursor Value);
  using TCustomLabel::SetCursor;

  // What a click opens: the web address, or "mailto:" with the address and the
  // percent-encoded subject.
  std::string Link() const;

  std::string ClassName() const override { return "TMyInetLabel"; }

 protected:
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  bool HasLink() const;

  bool active_ = true;
  TInternet internet_ = itEmail;
  std::string email_ = "name@example.org";
  std::string url_ = "https://www.example.org/";
  TInternetCursor internet_cursor_ = wcInternetCursor;
};

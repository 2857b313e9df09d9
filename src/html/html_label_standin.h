// Stand-in for the mini-HTML label until the HTML engine lands: it keeps the members the
// windows use and shows the text with the tags taken out, one line per <br>.
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "platform/text/string_list.h"

enum THtmlAutoSizeType { asNone, asVertical, asHorizontal, asBoth };

class THtmlLabel : public TGraphicControl {
 public:
  explicit THtmlLabel(TComponent* AOwner);
  ~THtmlLabel() override;

  TStringList& HTMLText() { return *html_text_; }
  THtmlAutoSizeType AutoSizeType = asNone;
  TColor HoverColor = clNone;
  TColor HoverFontColor = clNone;

  // The text as shown: tags removed, "<br>" as line ends.
  std::string PlainText() const;

  std::string ClassName() const override { return "THtmlLabel"; }

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TStringList> html_text_;
};

// Markup without its tags, "<br>" and "</P>" turned into line ends (CR LF).
std::string StripHtmlTags(const std::string& Html);

#include "html/html_label_standin.h"

#include "platform/text/sysutils.h"

std::string StripHtmlTags(const std::string& Html) {
  std::string plain;
  size_t n = 0;
  while (n < Html.size()) {
    if (Html[n] != '<') {
      plain += Html[n++];
      continue;
    }
    const size_t end = Html.find('>', n);
    if (end == std::string::npos) break;
    const std::string tag = UpperCase(Html.substr(n + 1, end - n - 1));
    if (tag == "BR" || tag == "/P") plain += "\r\n";
    n = end + 1;
  }
  return plain;
}

THtmlLabel::THtmlLabel(TComponent* AOwner)
    : TGraphicControl(AOwner), html_text_(std::make_unique<TStringList>()) {
  html_text_->OnChange = [this](TStringList*) { Invalidate(); };
}

THtmlLabel::~THtmlLabel() {
  html_text_->OnChange = nullptr;
}

std::string THtmlLabel::PlainText() const {
  std::string html;
  for (int n = 0; n < html_text_->Count(); ++n) html += html_text_->Get(n);
  return StripHtmlTags(html);
}

void THtmlLabel::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  const std::string text = PlainText();
  int y = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    canvas.TextOut((Width() - canvas.TextWidth(line)) / 2, y, line);
    y += canvas.TextHeight("Ag");
    start = end + 2;
  }
}

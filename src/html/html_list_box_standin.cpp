#include "html/html_list_box_standin.h"

#include "html/html_label_standin.h"

THtmlListBox::THtmlListBox(TComponent* AOwner)
    : TCustomControl(AOwner), items_(std::make_unique<TStringList>()) {
  SetColor(clWindow);
  items_->OnChange = [this](TStringList*) {
    if (item_index_ >= items_->Count()) item_index_ = -1;
    Invalidate();
  };
}

THtmlListBox::~THtmlListBox() {
  items_->OnChange = nullptr;
}

void THtmlListBox::SetItemIndex(int Value) {
  item_index_ = Value >= 0 && Value < items_->Count() ? Value : -1;
  Invalidate();
}

void THtmlListBox::SetItemHeight(int Value) {
  item_height_ = Value > 0 ? Value : 1;
  Invalidate();
}

void THtmlListBox::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
  for (int n = 0; n < items_->Count(); ++n) {
    const TRect line = Rect(0, n * item_height_, Width(), (n + 1) * item_height_);
    const bool chosen = n == item_index_;
    canvas.Brush().SetColor(chosen ? SelectionColor : Color());
    canvas.FillRect(line);
    canvas.Font().SetColor(chosen ? SelectionFontColor : Font().Color());
    const std::string text = StripHtmlTags(items_->Get(n));
    canvas.TextOut(8, line.Top + (item_height_ - canvas.TextHeight(text)) / 2, text);
  }
}

void THtmlListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Y >= 0) {
    const int index = Y / item_height_;
    if (index < items_->Count()) SetItemIndex(index);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

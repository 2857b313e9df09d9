#include "platform/gui/list_box.h"

#include <QListWidget>

#include "platform/gui/win_control_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

QListWidget& ListOf(const TListBox& box) {
  return *static_cast<QListWidget*>(WidgetOf(box));
}

}  // namespace

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QListWidget, false)),
      items_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  items_->OnChange = [this](TStringList*) { ItemsChanged(); };
}

TListBox::~TListBox() {
  items_->OnChange = nullptr;
}

int TListBox::ItemIndex() const {
  return ListOf(*this).currentRow();
}

void TListBox::SetItemIndex(int Value) {
  ListOf(*this).setCurrentRow(Value >= 0 && Value < items_->Count() ? Value : -1);
}

void TListBox::ItemsChanged() {
  QListWidget& list = ListOf(*this);
  list.clear();
  for (int n = 0; n < items_->Count(); ++n) list.addItem(ToQString(items_->Get(n)));
}

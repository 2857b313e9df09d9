#include "platform/gui/standard/combo_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

class TComboBoxWidget : public QComboBox {
 public:
  TCustomComboBox* control = nullptr;

  void showPopup() override {
    if (control) Dispatch([this] { control->DropDown(); });
    QComboBox::showPopup();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    if (control) Dispatch([this] { control->CloseUp(); });
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    bool painted = false;
    if (control) {
      QPainter painter(this);
      TCanvasPainting scope(*control->face_canvas_, painter);
      Dispatch([this, &painted] { painted = control->PaintFace(*control->face_canvas_); });
    }
    if (!painted) QComboBox::paintEvent(event);
  }
};

namespace {

TComboBoxWidget& ComboOf(const TCustomComboBox& control) {
  return *static_cast<TComboBoxWidget*>(WidgetOf(control));
}

// An editable combo of Qt's "chooses" the item matching the typed text when its edit
// loses the focus (the list opening takes it, too) and announces that as the user's
// choice. A choice is made in the list only; the typed text stays text.
void KeepTypedTextUnchosen(QComboBox& combo) {
  if (QLineEdit* edit = combo.lineEdit())
    QObject::disconnect(edit, &QLineEdit::editingFinished, &combo, nullptr);
}

QString Cased(const QString& text, TEditCharCase charCase) {
  if (charCase == ecUpperCase) return text.toUpper();
  if (charCase == ecLowerCase) return text.toLower();
  return text;
}

}  // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new TComboBoxWidget, false)),
      items_(std::make_unique<TStringList>()),
      face_canvas_(std::make_unique<TCanvas>()) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  TComboBoxWidget& combo = ComboOf(*this);
  combo.control = this;
  combo.setEditable(true);
  KeepTypedTextUnchosen(combo);
  combo.setInsertPolicy(QComboBox::NoInsert);
  items_->OnChange = [this](TStringList*) { ItemsChanged(); };
  QObject* bridge = NativeOf(*this).bridge;
  QObject::connect(&combo, &QComboBox::currentTextChanged, bridge,
                   [this](const QString&) { Dispatch([this] { Change(); }); });
  QObject::connect(&combo, &QComboBox::activated, bridge,
                   [this](int) { Dispatch([this] { Select(); }); });
}

TCustomComboBox::~TCustomComboBox() {
  ComboOf(*this).control = nullptr;
  items_->OnChange = nullptr;
}

void TCustomComboBox::ItemsChanged() {
  TComboBoxWidget& combo = ComboOf(*this);
  const QString text = combo.currentText();
  const int index = combo.currentIndex();
  const QSignalBlocker block(combo);
  combo.clear();
  for (int i = 0; i < items_->Count(); ++i) combo.addItem(ToQString(items_->Get(i), text_bytes_));
  combo.setCurrentIndex(index < combo.count() ? index : -1);
  if (style_ == csDropDown && combo.currentIndex() < 0) combo.setEditText(text);
}

int TCustomComboBox::ItemIndex() const {
  return ComboOf(*this).currentIndex();
}

void TCustomComboBox::SetItemIndex(int Value) {
  TComboBoxWidget& combo = ComboOf(*this);
  combo.setCurrentIndex(Value >= 0 && Value < combo.count() ? Value : -1);
  combo.update();
}

std::string TCustomComboBox::Text() const {
  return FromQString(ComboOf(*this).currentText(), text_bytes_);
}

std::u16string TCustomComboBox::TextW() const {
  const QString text = ComboOf(*this).currentText();
  return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

void TCustomComboBox::SetTextBytes(TTextBytes Value) {
  text_bytes_ = Value;
  ItemsChanged();
}

void TCustomComboBox::SetText(const std::string& Value) {
  TComboBoxWidget& combo = ComboOf(*this);
  const QString text = Cased(ToQString(Value, text_bytes_), char_case_);
  if (style_ == csDropDown) {
    combo.setEditText(text);
  } else {
    combo.setCurrentIndex(combo.findText(text));
  }
  combo.update();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  style_ = Value;
  TComboBoxWidget& combo = ComboOf(*this);
  combo.setEditable(Value == csDropDown);
  KeepTypedTextUnchosen(combo);
  SetMaxLength(max_length_);
}

int TCustomComboBox::DropDownCount() const {
  return ComboOf(*this).maxVisibleItems();
}

void TCustomComboBox::SetDropDownCount(int Value) {
  ComboOf(*this).setMaxVisibleItems(Value);
}

void TCustomComboBox::SetItemHeight(int Value) {
  item_height_ = Value;
}

void TCustomComboBox::SetMaxLength(int Value) {
  max_length_ = Value < 0 ? 0 : Value;
  if (QLineEdit* edit = ComboOf(*this).lineEdit()) {
    edit->setMaxLength(max_length_ > 0 ? max_length_ : 32767);
  }
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  char_case_ = Value;
  SetText(Text());
}

bool TCustomComboBox::DroppedDown() const {
  const TComboBoxWidget& combo = ComboOf(*this);
  return combo.view() && combo.view()->isVisible();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

bool TCustomComboBox::PaintFace(TCanvas&) {
  return false;
}

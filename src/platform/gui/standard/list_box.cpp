#include "platform/gui/standard/list_box.h"

#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

constexpr int kDefaultTextIndent = 2;

QListWidget& ListOf(const TListBox& box) {
  return *static_cast<QListWidget*>(WidgetOf(box));
}

}  // namespace

// Paints the rows of an owner-drawn list through the list's canvas; standard rows are
// left to Qt.
class TListBoxDelegate : public QStyledItemDelegate {
 public:
  TListBoxDelegate(TListBox& Box, QObject* Parent) : QStyledItemDelegate(Parent), box(&Box) {}

  TListBox* box;  // null once the control is freed

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (!box || box->style_ == lbStandard) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected) state |= odSelected;
    if (option.state & QStyle::State_HasFocus) state |= odFocused;
    if (!(option.state & QStyle::State_Enabled)) state |= odDisabled;
    const QRect& r = option.rect;
    const TRect rect = Bounds(r.x(), r.y(), r.width(), r.height());
    painter->save();
    painter->setClipRect(r, Qt::IntersectClip);
    {
      TCanvasPainting painting(*box->canvas_, *painter, false);
      TCanvas& canvas = *box->canvas_;
      canvas.Font().Assign(box->Font());
      canvas.Brush().SetStyle(bsSolid);
      canvas.Brush().SetColor((state & odSelected) ? clHighlight : box->Color());
      if (state & odSelected) canvas.Font().SetColor(clHighlightText);
      TListBox* list = box;
      const int row = index.row();
      Dispatch([list, row, &rect, state] { list->DrawItem(row, rect, state); });
      if (state & odFocused) canvas.DrawFocusRect(rect);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (box && box->style_ == lbOwnerDrawFixed) size.setHeight(box->item_height_);
    return size;
  }
};

namespace {

TListBoxDelegate& DelegateOf(const TListBox& box) {
  return *static_cast<TListBoxDelegate*>(ListOf(box).itemDelegate());
}

}  // namespace

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QListWidget, false)),
      items_(std::make_unique<TStringList>()),
      canvas_(std::make_unique<TCanvas>()) {
  QListWidget& list = ListOf(*this);
  list.setItemDelegate(new TListBoxDelegate(*this, &list));
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  items_->OnChange = [this](TStringList*) { ItemsChanged(); };
  // A click on a row lands on the list's viewport, which our events do not see: the
  // list tells us, after it has made that row the current one.
  QObject::connect(&list, &QListWidget::itemClicked, NativeOf(*this).bridge,
                   [this](QListWidgetItem*) { Dispatch([this] { Click(); }); });
}

TListBox::~TListBox() {
  items_->OnChange = nullptr;
  // The widget may outlive us for a moment (freed from the event loop).
  DelegateOf(*this).box = nullptr;
}

int TListBox::ItemIndex() const {
  return ListOf(*this).currentRow();
}

void TListBox::SetItemIndex(int Value) {
  ListOf(*this).setCurrentRow(Value >= 0 && Value < items_->Count() ? Value : -1);
}

void TListBox::SetStyle(TListBoxStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  QListWidget& list = ListOf(*this);
  list.setUniformItemSizes(Value == lbOwnerDrawFixed);
  list.doItemsLayout();
  list.viewport()->update();
}

void TListBox::SetItemHeight(int Value) {
  item_height_ = std::max(Value, 1);
  if (style_ == lbStandard) return;
  QListWidget& list = ListOf(*this);
  list.doItemsLayout();
  list.viewport()->update();
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index >= 0 && Index < items_->Count()) {
    canvas_->TextOut(Rect.Left + kDefaultTextIndent, Rect.Top, items_->Get(Index));
  }
}

// The list's background below its rows shows Color, as the rows do.
void TListBox::ColorChanged() {
  QListWidget& list = ListOf(*this);
  QPalette palette = list.palette();
  if (Color() == clNone) {
    palette.setBrush(QPalette::Base, list.style()->standardPalette().brush(QPalette::Base));
  } else {
    palette.setColor(QPalette::Base, ToQColor(Color()));
  }
  list.setPalette(palette);
  TWinControl::ColorChanged();
}

void TListBox::ItemsChanged() {
  QListWidget& list = ListOf(*this);
  list.clear();
  for (int n = 0; n < items_->Count(); ++n) list.addItem(ToQString(items_->Get(n)));
}

#include "platform/gui/controls/owner_drawn_menu_qt.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

constexpr int kBorder = TPopupMenu::kOwnerDrawMenuBorder;
// The room between two columns of a bar break; the line runs down its middle.
constexpr int kBarGap = 4;

bool IsSeparator(const TMenuItem& Item) {
  return Item.Caption == "-";
}

// The access key of a caption: the character after a single '&'.
QChar AccessKeyOf(const std::string& Caption) {
  const QString text = ToQString(Caption);
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return text[i + 1].toLower();
    ++i;  // "&&" is a literal ampersand
  }
  return {};
}

}  // namespace

TOwnerDrawnMenu::TOwnerDrawnMenu(const TMenuItem& Parent, bool RightToLeft, TOwnerDrawnMenu* Opener)
    : QWidget(Opener, Qt::Popup | Qt::FramelessWindowHint),
      right_to_left_(RightToLeft),
      opener_(Opener) {
  setMouseTracking(true);
  for (int n = 0; n < Parent.Count(); ++n) {
    TMenuItem* item = Parent.Items(n);
    if (item->Visible) entries_.push_back({item, item->alive_, {}, 0});
  }
  hover_timer_.setSingleShot(true);
  hover_timer_.setInterval(style()->styleHint(QStyle::SH_Menu_SubMenuPopupDelay, nullptr, this));
  QObject::connect(&hover_timer_, &QTimer::timeout, this, [this] {
    if (sub_menu_ && active_ == sub_menu_entry_) return;
    CloseSubMenu();
    if (HasSubItems(active_)) OpenSubMenu(active_, false);
  });
  Open().push_back(this);
  Layout();
}

TOwnerDrawnMenu::~TOwnerDrawnMenu() {
  std::erase(Open(), this);
}

std::vector<TOwnerDrawnMenu*>& TOwnerDrawnMenu::Open() {
  static std::vector<TOwnerDrawnMenu*> open;
  return open;
}

// Columns: an item with a break starts a new one (not the first item: it has nothing to
// break from); a column is as wide as its widest item, and an item measured narrower
// than 1 pixel (a separator) takes the column's width.
void TOwnerDrawnMenu::Layout() {
  TCanvas canvas;
  canvas.Font().Assign(Screen->MenuFont());
  struct TColumn {
    std::size_t first;
    int width;
    int height;
    bool bar;
  };
  std::vector<TColumn> columns;
  std::vector<int> heights;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    TMenuItem* item = entries_[i].Live();
    int width = 0;
    int height = 1;
    if (item) {
      width = canvas.TextWidth(item->Caption);
      height = canvas.TextHeight(item->Caption) + 4;
      if (item->OnMeasureItem) Dispatch([&] { item->OnMeasureItem(item, canvas, width, height); });
    }
    if (columns.empty() || (item && item->Break != mbNone))
      columns.push_back({i, 0, 0, !columns.empty() && item->Break == mbBarBreak});
    columns.back().width = std::max(columns.back().width, width);
    columns.back().height += std::max(height, 1);
    heights.push_back(std::max(height, 1));
  }
  bars_.clear();
  int x = kBorder;
  int tallest = 0;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const TColumn& column = columns[c];
    if (column.bar) {
      bars_.push_back(x + kBarGap / 2);
      x += kBarGap;
    }
    const int width = std::max(column.width, 1);
    const std::size_t end = c + 1 < columns.size() ? columns[c + 1].first : entries_.size();
    int y = kBorder;
    for (std::size_t i = column.first; i < end; ++i) {
      entries_[i].rect = QRect(x, y, width, heights[i]);
      entries_[i].column = static_cast<int>(c);
      y += heights[i];
    }
    x += width;
    tallest = std::max(tallest, column.height);
  }
  const QSize size(x + kBorder, tallest + 2 * kBorder);
  if (right_to_left_) {
    // The first column reads from the right.
    for (TEntry& entry : entries_) entry.rect.moveLeft(size.width() - 1 - entry.rect.right());
    for (int& bar : bars_) bar = size.width() - 1 - bar;
  }
  setFixedSize(size);
}

void TOwnerDrawnMenu::Remeasure() {
  Layout();
  update();
}

QRect TOwnerDrawnMenu::RectOf(const TMenuItem& Item) const {
  if (!isVisible()) return {};
  for (const TEntry& entry : entries_)
    if (entry.item == &Item && entry.Live()) return entry.rect;
  return {};
}

void TOwnerDrawnMenu::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // What the items leave uncovered: below a shorter column, the border, the bars.
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::Mid));
  for (int bar : bars_) painter.drawLine(bar, kBorder, bar, height() - kBorder - 1);
  TCanvas canvas;
  TCanvasPainting painting(canvas, painter);
  canvas.Font().Assign(Screen->MenuFont());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    TMenuItem* item = entries_[i].Live();
    if (!item || !item->OnAdvancedDrawItem) continue;
    TOwnerDrawState state = 0;
    if (static_cast<int>(i) == active_) state |= odSelected;
    if (!item->Enabled) state |= odDisabled;
    if (item->Checked) state |= odChecked;
    if (item->Default) state |= odDefault;
    const QRect& area = entries_[i].rect;
    const TRect rect{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
    Dispatch([&] { item->OnAdvancedDrawItem(item, canvas, rect, state); });
  }
}

int TOwnerDrawnMenu::EntryAt(QPoint Point) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].rect.contains(Point)) return static_cast<int>(i);
  return -1;
}

TOwnerDrawnMenu* TOwnerDrawnMenu::MenuAt(QPoint Global) {
  for (TOwnerDrawnMenu* menu = this; menu; menu = menu->opener_)
    if (menu->rect().contains(menu->mapFromGlobal(Global))) return menu;
  return nullptr;
}

TOwnerDrawnMenu& TOwnerDrawnMenu::Top() {
  TOwnerDrawnMenu* menu = this;
  while (menu->opener_) menu = menu->opener_;
  return *menu;
}

bool TOwnerDrawnMenu::Selectable(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(entries_.size())) return false;
  const TMenuItem* item = entries_[static_cast<std::size_t>(Index)].Live();
  return item && !IsSeparator(*item);
}

bool TOwnerDrawnMenu::HasSubItems(int Index) const {
  if (!Selectable(Index)) return false;
  const TMenuItem* item = entries_[static_cast<std::size_t>(Index)].Live();
  return item->Enabled && item->Count() > 0;
}

void TOwnerDrawnMenu::Activate(int Index) {
  if (!Selectable(Index)) Index = -1;
  if (Index == active_) return;
  active_ = Index;
  update();
}

// Disabled items are lit too, as the desktop's menus do; they just cannot be chosen.
void TOwnerDrawnMenu::Step(int Direction) {
  const int count = static_cast<int>(entries_.size());
  int i = active_;
  for (int tried = 0; tried < count; ++tried) {
    i = i < 0 ? (Direction > 0 ? 0 : count - 1) : (i + Direction + count) % count;
    if (Selectable(i)) {
      Activate(i);
      return;
    }
  }
}

// To the item of the neighbouring column nearest in height to the lit one.
void TOwnerDrawnMenu::StepColumn(int Direction) {
  const int from = active_ < 0 ? 0 : entries_[static_cast<std::size_t>(active_)].column;
  const int top = active_ < 0 ? 0 : entries_[static_cast<std::size_t>(active_)].rect.top();
  int best = -1;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].column != from + Direction || !Selectable(static_cast<int>(i))) continue;
    if (best < 0 || std::abs(entries_[i].rect.top() - top) <
                        std::abs(entries_[static_cast<std::size_t>(best)].rect.top() - top))
      best = static_cast<int>(i);
  }
  if (best >= 0) {
    Activate(best);
  } else if (Direction < 0 && opener_) {
    opener_->CloseSubMenu();
  }
}

void TOwnerDrawnMenu::OpenSubMenu(int Index, bool SelectFirst) {
  if (!(sub_menu_ && sub_menu_entry_ == Index)) {
    CloseSubMenu();
    if (!HasSubItems(Index)) return;
    auto* sub = new TOwnerDrawnMenu(*entries_[static_cast<std::size_t>(Index)].Live(),
                                    right_to_left_, this);
    if (sub->Empty()) {
      delete sub;
      return;
    }
    Activate(Index);
    sub_menu_ = sub;
    sub_menu_entry_ = Index;
    const QRect item = entries_[static_cast<std::size_t>(Index)].rect;
    // Beside the item, on the reading side; on the other side when that runs off screen.
    const QPoint right = mapToGlobal(QPoint(item.right() + 1, item.top() - kBorder));
    const QPoint left = mapToGlobal(QPoint(item.left() - sub->width(), item.top() - kBorder));
    sub->ShowAt(right_to_left_ ? left : right, right_to_left_ ? right.x() : left.x());
  }
  if (SelectFirst) sub_menu_->Step(1);
}

void TOwnerDrawnMenu::CloseSubMenu() {
  hover_timer_.stop();
  if (!sub_menu_) return;
  // The sub-menu may be the window whose event is being handled: freed from the loop.
  TOwnerDrawnMenu* sub = sub_menu_;
  sub_menu_ = nullptr;
  sub_menu_entry_ = -1;
  sub->hide();
  sub->deleteLater();
}

void TOwnerDrawnMenu::ShowAt(QPoint At, int OtherX) {
  QScreen* screen = QGuiApplication::screenAt(At);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect room = screen ? screen->availableGeometry() : QRect(At, size());
  QPoint at = At;
  if (at.x() + width() > room.right() + 1 || at.x() < room.left()) at.setX(OtherX);
  at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - width())));
  at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - height())));
  move(at);
  show();
}

TMenuItem* TOwnerDrawnMenu::Exec(QPoint At) {
  // Right to left the point is the window's top-right corner.
  const QPoint corner = right_to_left_ ? QPoint(At.x() - width(), At.y()) : At;
  QEventLoop loop;
  loop_ = &loop;
  ShowAt(corner, right_to_left_ ? At.x() : At.x() - width());
  loop.exec();
  loop_ = nullptr;
  return chosen_alive_.expired() ? nullptr : chosen_;
}

void TOwnerDrawnMenu::Finish(TMenuItem* Item) {
  TOwnerDrawnMenu& top = Top();
  top.chosen_ = Item;
  top.chosen_alive_ = Item ? Item->alive_ : std::weak_ptr<char>();
  top.hide();
}

bool TOwnerDrawnMenu::Choose(int Index) {
  if (!Selectable(Index)) return false;
  TMenuItem* item = entries_[static_cast<std::size_t>(Index)].Live();
  if (!item->Enabled) return false;
  Activate(Index);
  if (item->Count() > 0) {
    OpenSubMenu(Index, true);
  } else {
    Finish(item);
  }
  return true;
}

bool TOwnerDrawnMenu::ChooseByAccessKey(QChar Key) {
  const QChar key = Key.toLower();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const TMenuItem* item = entries_[i].Live();
    if (item && !key.isNull() && AccessKeyOf(item->Caption) == key)
      return Choose(static_cast<int>(i));
  }
  return false;
}

void TOwnerDrawnMenu::mouseMoveEvent(QMouseEvent* Event) {
  // A sub-menu holds the pointer: moving over a window it opened from lights that one.
  TOwnerDrawnMenu* menu = MenuAt(Event->globalPosition().toPoint());
  if (!menu) return;
  const int index = menu->EntryAt(menu->mapFromGlobal(Event->globalPosition().toPoint()));
  if (!menu->Selectable(index) || index == menu->active_) return;
  menu->Activate(index);
  // Back on the item whose sub-menu is open: it stays. Elsewhere it closes, and a
  // sub-menu of the new item opens, once the pointer rests.
  if (menu->sub_menu_ && index == menu->sub_menu_entry_) {
    menu->hover_timer_.stop();
  } else if (menu->sub_menu_ || menu->HasSubItems(index)) {
    menu->hover_timer_.start();
  }
}

void TOwnerDrawnMenu::mousePressEvent(QMouseEvent* Event) {
  // A press outside every window of the menu ends it, choosing nothing.
  if (!MenuAt(Event->globalPosition().toPoint())) Finish(nullptr);
}

void TOwnerDrawnMenu::mouseReleaseEvent(QMouseEvent* Event) {
  TOwnerDrawnMenu* menu = MenuAt(Event->globalPosition().toPoint());
  if (!menu) return;
  const int index = menu->EntryAt(menu->mapFromGlobal(Event->globalPosition().toPoint()));
  if (menu->HasSubItems(index)) {
    menu->OpenSubMenu(index, false);
  } else {
    menu->Choose(index);
  }
}

void TOwnerDrawnMenu::keyPressEvent(QKeyEvent* Event) {
  // Left and Right name directions on the screen; the columns read the other way round
  // in a right-to-left menu.
  const bool forward = (Event->key() == Qt::Key_Right) != right_to_left_;
  switch (Event->key()) {
    case Qt::Key_Up:
      Step(-1);
      break;
    case Qt::Key_Down:
      Step(1);
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (forward && HasSubItems(active_)) {
        OpenSubMenu(active_, true);
      } else {
        StepColumn(forward ? 1 : -1);
      }
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      Choose(active_);
      break;
    case Qt::Key_Escape:
      if (opener_) {
        opener_->CloseSubMenu();
      } else {
        Finish(nullptr);
      }
      break;
    default:
      if (!Event->text().isEmpty()) ChooseByAccessKey(Event->text()[0]);
      break;
  }
}

void TOwnerDrawnMenu::hideEvent(QHideEvent*) {
  CloseSubMenu();
  if (loop_) loop_->quit();
}

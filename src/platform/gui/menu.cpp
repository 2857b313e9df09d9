#include "platform/gui/menu.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "platform/gui/canvas_qt.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/win_control_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

// An item as a shown menu holds it: the item may be freed while its menu is open.
struct TShownItem {
  TMenuItem* item;
  std::weak_ptr<char> alive;
  TMenuItem* Live() const { return alive.expired() ? nullptr : item; }
};

}  // namespace

// A pop-up window whose items are measured and drawn by the items' own handlers.
class TOwnerDrawnMenu : public QMenu {
 public:
  explicit TOwnerDrawnMenu(QWidget* Parent);
  ~TOwnerDrawnMenu() override;

  void Add(QAction* Action, TMenuItem& Item, std::weak_ptr<char> Alive) {
    items_.insert(Action, TShownItem{&Item, std::move(Alive)});
  }
  TMenuItem* ItemOf(const QAction* Action) const {
    auto found = items_.constFind(const_cast<QAction*>(Action));
    return found == items_.constEnd() ? nullptr : found->Live();
  }
  QAction* ActionOf(const TMenuItem& Item) const {
    for (auto it = items_.constBegin(); it != items_.constEnd(); ++it)
      if (it->item == &Item && !it->alive.expired()) return it.key();
    return nullptr;
  }
  // The item QMenu is measuring: it sets the style option up right before it asks the
  // style for the item's size.
  TMenuItem* Measuring() const { return measuring_; }
  // Makes QMenu measure every item again.
  void Remeasure();

  static std::vector<TOwnerDrawnMenu*>& Open() {
    static std::vector<TOwnerDrawnMenu*> open;
    return open;
  }

 protected:
  void initStyleOption(QStyleOptionMenuItem* Option, const QAction* Action) const override {
    QMenu::initStyleOption(Option, Action);
    measuring_ = ItemOf(Action);
  }
  void paintEvent(QPaintEvent* Event) override;

 private:
  QHash<QAction*, TShownItem> items_;
  mutable TMenuItem* measuring_ = nullptr;
};

namespace {

// Gives owner-drawn menus their border and asks the items for their sizes.
class TOwnerDrawStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric Metric, const QStyleOption* Option,
                  const QWidget* Widget) const override {
    switch (Metric) {
      case PM_MenuPanelWidth:
        return TPopupMenu::kOwnerDrawMenuBorder;
      case PM_MenuHMargin:
      case PM_MenuVMargin:
      case PM_MenuDesktopFrameWidth:
        return 0;
      default:
        return QProxyStyle::pixelMetric(Metric, Option, Widget);
    }
  }

  QSize sizeFromContents(ContentsType Type, const QStyleOption* Option, const QSize& Size,
                         const QWidget* Widget) const override {
    const auto* menu = dynamic_cast<const TOwnerDrawnMenu*>(Widget);
    TMenuItem* item = menu ? menu->Measuring() : nullptr;
    if (Type != CT_MenuItem || !item || !item->OnMeasureItem)
      return QProxyStyle::sizeFromContents(Type, Option, Size, Widget);
    TCanvas canvas;
    canvas.Font().Assign(Screen->MenuFont());
    int width = canvas.TextWidth(item->Caption);
    int height = canvas.TextHeight(item->Caption) + 4;
    Dispatch([&] { item->OnMeasureItem(item, canvas, width, height); });
    // A width below 1 leaves the width to the widest item.
    return QSize(std::max(width, 1), std::max(height, 1));
  }
};

}  // namespace

TOwnerDrawnMenu::TOwnerDrawnMenu(QWidget* Parent) : QMenu(Parent) {
  auto* style = new TOwnerDrawStyle;
  style->setParent(this);
  setStyle(style);
  Open().push_back(this);
}

TOwnerDrawnMenu::~TOwnerDrawnMenu() {
  std::erase(Open(), this);
}

void TOwnerDrawnMenu::Remeasure() {
  // A changed action makes QMenu lay its items out again.
  for (QAction* action : actions()) action->setData(action->data().toInt() + 1);
  update();
}

void TOwnerDrawnMenu::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TCanvas canvas;
  TCanvasPainting painting(canvas, painter);
  canvas.Font().Assign(Screen->MenuFont());
  for (QAction* action : actions()) {
    TMenuItem* item = ItemOf(action);
    if (!item || !action->isVisible() || !item->OnAdvancedDrawItem) continue;
    const QRect area = actionGeometry(action);
    if (area.isEmpty()) continue;
    TOwnerDrawState state = 0;
    if (action == activeAction() && !action->isSeparator()) state |= odSelected;
    if (!item->Enabled) state |= odDisabled;
    if (item->Checked) state |= odChecked;
    if (item->Default) state |= odDefault;
    const TRect rect{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
    Dispatch([&] { item->OnAdvancedDrawItem(item, canvas, rect, state); });
  }
}

// Builds a Qt menu afresh from the visible items each time the menu opens, and keeps
// which action stands for which item.
class TMenuBuilder {
 public:
  struct TChoice {
    QAction* action;
    TMenuItem* item;
    std::weak_ptr<char> alive;
  };

  static void AddItems(QMenu& menu, const TMenuItem& parent, bool ownerDraw,
                       std::vector<TChoice>& choices) {
    auto* drawn = ownerDraw ? static_cast<TOwnerDrawnMenu*>(&menu) : nullptr;
    for (TMenuItem* item : parent.items_) {
      if (!item->Visible) continue;
      QAction* action = nullptr;
      if (item->Caption == "-") {
        action = menu.addSeparator();
      } else if (item->Count() > 0) {
        QMenu* sub = ownerDraw ? new TOwnerDrawnMenu(&menu) : new QMenu(&menu);
        sub->setTitle(ToQString(item->Caption));
        action = menu.addMenu(sub);
        sub->setEnabled(item->Enabled);
        AddItems(*sub, *item, ownerDraw, choices);
      } else {
        action = menu.addAction(ToQString(item->Caption));
        action->setEnabled(item->Enabled);
        action->setCheckable(item->Checked);
        action->setChecked(item->Checked);
        if (item->ShortCut) action->setShortcut(QtKeySequenceOf(item->ShortCut));
        choices.push_back({action, item, item->alive_});
      }
      if (drawn) drawn->Add(action, *item, item->alive_);
    }
  }

  static QKeySequence QtKeySequenceOf(TShortCut ShortCut) {
    int key = QtKeyOf(static_cast<TKeyCode>(ShortCut & 0xFF));
    if (ShortCut & scShift) key |= Qt::ShiftModifier;
    if (ShortCut & scCtrl) key |= Qt::ControlModifier;
    if (ShortCut & scAlt) key |= Qt::AltModifier;
    if (ShortCut & scWin) key |= Qt::MetaModifier;
    return QKeySequence(key);
  }
};

std::string KeyNameText(TKeyCode Key) {
  switch (Key) {
    case VK_SHIFT:
      return "Shift";
    case VK_CONTROL:
      return "Ctrl";
    case VK_MENU:
      return "Alt";
    default:
      break;
  }
  const int key = QtKeyOf(Key);
  if (key == Qt::Key_unknown) return {};
  return FromQString(QKeySequence(key).toString(QKeySequence::NativeText));
}

std::string ShortCutToText(TShortCut ShortCut) {
  const std::string key = KeyNameText(static_cast<TKeyCode>(ShortCut & 0xFF));
  if (key.empty()) return {};
  std::string text;
  if (ShortCut & scShift) text += "Shift+";
  if (ShortCut & scCtrl) text += "Ctrl+";
  if (ShortCut & scAlt) text += "Alt+";
  return text + key;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Detach(*this);
  for (TMenuItem* item : items_) item->parent_ = nullptr;
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return items_[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) {
  if (!Item) throw EInvalidOperation("No menu item to add");
  for (const TMenuItem* p = this; p; p = p->parent_) {
    if (p == Item) throw EInvalidOperation("A menu item cannot hold itself");
  }
  if (Item->parent_) Item->parent_->Detach(*Item);
  Item->parent_ = this;
  items_.push_back(Item);
}

void TMenuItem::Detach(TMenuItem& Item) {
  items_.erase(std::remove(items_.begin(), items_.end(), &Item), items_.end());
  Item.parent_ = nullptr;
}

TPopupMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TRect TMenuItem::PopupRect() const {
  for (TOwnerDrawnMenu* menu : TOwnerDrawnMenu::Open()) {
    QAction* action = menu->ActionOf(*this);
    if (!action || !menu->isVisible()) continue;
    const QRect area = menu->actionGeometry(action);
    return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
  }
  return {};
}

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::RefreshItems() {
  for (TOwnerDrawnMenu* menu : TOwnerDrawnMenu::Open()) {
    for (QAction* action : menu->actions()) {
      TMenuItem* item = menu->ItemOf(action);
      if (item && item->GetParentMenu() == this) {
        menu->Remeasure();
        break;
      }
    }
  }
}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  std::unique_ptr<QMenu> menu =
      OwnerDraw ? std::make_unique<TOwnerDrawnMenu>(nullptr) : std::make_unique<QMenu>();
  std::vector<TMenuBuilder::TChoice> choices;
  TMenuBuilder::AddItems(*menu, *items_, OwnerDraw, choices);
  if (menu->actions().isEmpty()) return;
  QPoint at(X, Y);
  if (IsRightToLeft()) {
    // Sub-menus take their parent's direction; the menu itself flows left from the point.
    menu->setLayoutDirection(Qt::RightToLeft);
    at.rx() -= menu->sizeHint().width();
  }
  QAction* chosen = menu->exec(at);
  // Only locals from here on: timers run while the menu is open and may free the menu.
  auto choice = std::find_if(choices.begin(), choices.end(),
                             [chosen](const auto& c) { return c.action == chosen; });
  if (!chosen || choice == choices.end()) return;
  QMetaObject::invokeMethod(
      qApp,
      // The item may be gone by the time the click is delivered.
      [item = choice->item, alive = choice->alive] {
        if (!alive.expired()) Dispatch([item] { item->Click(); });
      },
      Qt::QueuedConnection);
}

bool MiddleEastLocale() {
  return QLocale().textDirection() == Qt::RightToLeft;
}

bool MenuAnimation() {
  return QApplication::isEffectEnabled(Qt::UI_AnimateMenu) ||
         QApplication::isEffectEnabled(Qt::UI_FadeMenu);
}

void SetMenuAnimation(bool Value) {
  QApplication::setEffectEnabled(Qt::UI_AnimateMenu, Value);
  QApplication::setEffectEnabled(Qt::UI_FadeMenu, Value);
}

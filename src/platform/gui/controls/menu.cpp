#include "platform/gui/controls/menu.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMetaObject>
#include <algorithm>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/owner_drawn_menu_qt.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

// Builds a Qt menu afresh from the visible items each time a menu that is not
// owner-drawn opens, and keeps which action stands for which item.
class TMenuBuilder {
 public:
  struct TChoice {
    QAction* action;
    TMenuItem* item;
    std::weak_ptr<char> alive;
  };

  static void AddItems(QMenu& menu, const TMenuItem& parent, std::vector<TChoice>& choices) {
    for (TMenuItem* item : parent.items_) {
      if (!item->Visible) continue;
      QAction* action = nullptr;
      if (item->Caption == "-") {
        action = menu.addSeparator();
      } else if (item->Count() > 0) {
        auto* sub = new QMenu(&menu);
        sub->setTitle(ToQString(item->Caption));
        action = menu.addMenu(sub);
        sub->setEnabled(item->Enabled);
        AddItems(*sub, *item, choices);
      } else {
        action = menu.addAction(ToQString(item->Caption));
        action->setEnabled(item->Enabled);
        action->setCheckable(item->Checked);
        action->setChecked(item->Checked);
        if (item->ShortCut) action->setShortcut(QtKeySequenceOf(item->ShortCut));
        choices.push_back({action, item, item->alive_});
      }
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
    const QRect area = menu->RectOf(*this);
    if (!area.isEmpty()) return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
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
    const auto& entries = menu->Entries();
    if (std::any_of(entries.begin(), entries.end(), [this](const auto& entry) {
          const TMenuItem* item = entry.Live();
          return item && item->GetParentMenu() == this;
        }))
      menu->Remeasure();
  }
}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  TMenuItem* chosen = OwnerDraw ? PopupOwnerDrawn(X, Y) : PopupPlain(X, Y);
  // Only locals from here on: timers run while the menu is open and may free the menu.
  if (!chosen) return;
  QMetaObject::invokeMethod(
      qApp,
      // The item may be gone by the time the click is delivered.
      [item = chosen, alive = std::weak_ptr<char>(chosen->alive_)] {
        if (!alive.expired()) Dispatch([item] { item->Click(); });
      },
      Qt::QueuedConnection);
}

TMenuItem* TPopupMenu::PopupOwnerDrawn(int X, int Y) {
  TOwnerDrawnMenu menu(*items_, IsRightToLeft());
  if (menu.Empty()) return nullptr;
  return menu.Exec(QPoint(X, Y));
}

TMenuItem* TPopupMenu::PopupPlain(int X, int Y) {
  QMenu menu;
  std::vector<TMenuBuilder::TChoice> choices;
  TMenuBuilder::AddItems(menu, *items_, choices);
  if (menu.actions().isEmpty()) return nullptr;
  QPoint at(X, Y);
  if (IsRightToLeft()) {
    // Sub-menus take their parent's direction; the menu itself flows left from the point.
    menu.setLayoutDirection(Qt::RightToLeft);
    at.rx() -= menu.sizeHint().width();
  }
  QAction* chosen = menu.exec(at);
  auto choice = std::find_if(choices.begin(), choices.end(),
                             [chosen](const auto& c) { return c.action == chosen; });
  if (!chosen || choice == choices.end() || choice->alive.expired()) return nullptr;
  return choice->item;
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

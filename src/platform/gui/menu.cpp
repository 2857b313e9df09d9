#include "platform/gui/menu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMetaObject>
#include <algorithm>

#include "platform/gui/controls.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

// Builds a Qt menu afresh from the visible items each time the menu opens, and keeps
// which action stands for which item.
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
      if (item->Caption == "-") {
        menu.addSeparator();
      } else if (item->Count() > 0) {
        QMenu* sub = menu.addMenu(ToQString(item->Caption));
        sub->setEnabled(item->Enabled);
        AddItems(*sub, *item, choices);
      } else {
        QAction* action = menu.addAction(ToQString(item->Caption));
        action->setEnabled(item->Enabled);
        action->setCheckable(item->Checked);
        action->setChecked(item->Checked);
        choices.push_back({action, item, item->alive_});
      }
    }
  }
};

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

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  QMenu menu;
  std::vector<TMenuBuilder::TChoice> choices;
  TMenuBuilder::AddItems(menu, *items_, choices);
  if (menu.actions().isEmpty()) return;
  QAction* chosen = menu.exec(QPoint(X, Y));
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

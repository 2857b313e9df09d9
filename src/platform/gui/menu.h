// Pop-up (context) menus: a TPopupMenu holds a tree of TMenuItem and opens at a point.
//
// Items are plain data that the menu reads each time it opens, after OnPopup, so an
// OnPopup handler can still change captions, checks and what is shown. Popup returns
// when the menu closes; the chosen item's OnClick follows from the event loop, through
// Dispatch, once the input that opened the menu has been handled - so a click handler
// may free the control that was right-clicked.
//
// Items are components: their owner frees them (a form owns its menu items), and an
// item leaves the menu when it is freed. Choosing an item does not toggle Checked; its
// handler decides.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sys/component.h"

class TPopupMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  // Leaves its parent item; its own sub-items stay with their owners, detached.
  ~TMenuItem() override;

  // "-" makes the item a separator line; '&' marks the access key that follows it.
  std::string Caption;
  std::string Hint;
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
  TNotifyEvent OnClick;

  // Sub-items; an item with sub-items opens a sub-menu. Index is 0-based; out of range
  // gives null.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int Index) const;
  // Appends Item, taking it from the item that held it before. Raises
  // EInvalidOperation for a null item or one that would hold itself.
  void Add(TMenuItem* Item);
  TMenuItem* Parent() const { return parent_; }
  // The menu whose tree holds the item; null while it is in none.
  TPopupMenu* GetParentMenu() const;

  // Fires OnClick.
  virtual void Click();

  std::string ClassName() const override { return "TMenuItem"; }

 private:
  friend class TPopupMenu;
  friend class TMenuBuilder;  // menu.cpp: builds the window system's menu from the items

  void Detach(TMenuItem& Item);

  TMenuItem* parent_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // only on a menu's root item
  std::vector<TMenuItem*> items_;
  // Expires when the item is freed: a click chosen in a menu is delivered later.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // The root item: the menu's items are its sub-items.
  TMenuItem& Items() { return *items_; }
  const TMenuItem& Items() const { return *items_; }

  // Fires OnPopup, then shows the visible items with the top-left corner at the screen
  // point (X, Y) and returns when the menu closes. A menu with no visible item does not
  // open.
  virtual void Popup(int X, int Y);

  TNotifyEvent OnPopup;

  std::string ClassName() const override { return "TPopupMenu"; }

 private:
  std::unique_ptr<TMenuItem> items_;
};

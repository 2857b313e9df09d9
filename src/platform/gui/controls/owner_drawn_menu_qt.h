// The pop-up window of an owner-drawn menu: every item is measured and painted by the
// item's own handlers, and the window lays the items out itself, so that an item with a
// column break starts a new column (a Qt menu only breaks into columns when it runs out
// of screen). Mouse, keyboard and sub-menus behave as in the desktop's menus: hovering
// highlights, a pause on an item with sub-items opens them beside it, Up and Down walk
// the items, Left and Right the columns and sub-menus, Enter chooses, Escape goes back
// one level, and a letter chooses the item it is the access key of.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/gui/controls/menu.h"

class QEventLoop;

class TOwnerDrawnMenu : public QWidget {
 public:
  // An item as the open window holds it: the item may be freed while the window is open.
  struct TEntry {
    TMenuItem* item;
    std::weak_ptr<char> alive;
    QRect rect;
    int column;
    TMenuItem* Live() const { return alive.expired() ? nullptr : item; }
  };

  // Shows the visible sub-items of Parent. A sub-menu names the window it opened from.
  TOwnerDrawnMenu(const TMenuItem& Parent, bool RightToLeft, TOwnerDrawnMenu* Opener = nullptr);
  ~TOwnerDrawnMenu() override;

  bool Empty() const { return entries_.empty(); }
  // Opens with the top-left corner at the screen point (its top-right one right to left),
  // kept on the screen, and returns when the menu closed: the chosen item, or null.
  TMenuItem* Exec(QPoint At);

  const std::vector<TEntry>& Entries() const { return entries_; }
  // The item's place in the window, or an empty rectangle when the window does not show it.
  QRect RectOf(const TMenuItem& Item) const;
  // Highlights entry Index (-1: none), as hovering it would.
  void Activate(int Index);
  // What Enter does on entry Index: chooses a command or opens a sub-menu. False for a
  // separator or a disabled item.
  bool Choose(int Index);
  // Measures every item again and repaints.
  void Remeasure();

  // Every owner-drawn menu window now open, sub-menus included.
  static std::vector<TOwnerDrawnMenu*>& Open();

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

 private:
  void Layout();
  // Shows the window at the screen point, or at OtherX when it does not fit there, kept
  // on the screen.
  void ShowAt(QPoint At, int OtherX);
  int EntryAt(QPoint Point) const;
  // The window of this menu or of one it opened from that lies under the screen point.
  TOwnerDrawnMenu* MenuAt(QPoint Global);
  bool Selectable(int Index) const;
  bool HasSubItems(int Index) const;
  void Step(int Direction);
  void StepColumn(int Direction);
  void OpenSubMenu(int Index, bool SelectFirst);
  void CloseSubMenu();
  // Ends the whole menu, top window included, with Item as the choice (null: none).
  void Finish(TMenuItem* Item);
  TOwnerDrawnMenu& Top();
  bool ChooseByAccessKey(QChar Key);

  std::vector<TEntry> entries_;
  // Where a line between two columns is drawn (a bar break), in window coordinates.
  std::vector<int> bars_;
  bool right_to_left_;
  TOwnerDrawnMenu* opener_;
  int active_ = -1;
  // A child window of this one: freed with it.
  TOwnerDrawnMenu* sub_menu_ = nullptr;
  int sub_menu_entry_ = -1;
  // Opens or changes sub-menus after the pointer has rested on an item.
  QTimer hover_timer_;
  // Only on the top window, while Exec runs.
  QEventLoop* loop_ = nullptr;
  TMenuItem* chosen_ = nullptr;
  std::weak_ptr<char> chosen_alive_;
};

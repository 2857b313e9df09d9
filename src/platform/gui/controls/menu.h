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

#include "platform/gui/controls/owner_draw.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/sys/component.h"

class TPopupMenu;

// A menu command's key: the virtual key in the low byte plus the modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scWin = 0x0200;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The name the keyboard gives a key ("Enter", "F5", "Home"), as the desktop writes it.
std::string KeyNameText(TKeyCode Key);
// "Shift+", "Ctrl+" and "Alt+" in this order, then the key's name; empty for no key.
std::string ShortCutToText(TShortCut ShortCut);

// Measuring an owner-drawn item: Width and Height come in as the platform's proposal
// (the caption's width, a line of the menu font plus 4) and go out as the item's size;
// a width below 1 leaves the width to the widest item. The canvas holds the menu font.
using TMenuMeasureItemEvent =
    std::function<void(TComponent* Sender, TCanvas& ACanvas, int& Width, int& Height)>;
// Drawing an owner-drawn item into ARect of the canvas of its whole pop-up window.
using TMenuDrawItemEvent = std::function<void(TComponent* Sender, TCanvas& ACanvas,
                                              const TRect& ARect, TOwnerDrawState State)>;

// Where an item starts a new column of its pop-up window: mbBreak starts one, mbBarBreak
// also draws a line between the columns. Owner-drawn menus lay their items out this way;
// the desktop's own menus ignore it.
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

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
  // Checked shows a round mark instead of a tick.
  bool RadioItem = false;
  // The command Enter would choose; shown in bold.
  bool Default = false;
  TShortCut ShortCut = 0;
  TMenuBreak Break = mbNone;
  // The item's picture: ImageIndex in its menu's image list when the menu has one and
  // draws pictures (an owner-drawn menu), else Bitmap when it holds one.
  int ImageIndex = -1;
  TBitmap Bitmap;
  TNotifyEvent OnClick;
  // Used when the item's menu is owner-drawn.
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnAdvancedDrawItem;

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

  // Where the item lies in its open owner-drawn pop-up window, in that window's
  // coordinates; empty while it is not shown there.
  TRect PopupRect() const;

  std::string ClassName() const override { return "TMenuItem"; }

 private:
  friend class TPopupMenu;
  friend class TMenuBuilder;     // menu.cpp: builds the window system's menu from the items
  friend class TOwnerDrawnMenu;  // owner_drawn_menu.cpp: the window of an owner-drawn menu

  void Detach(TMenuItem& Item);

  TMenuItem* parent_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // only on a menu's root item
  std::vector<TMenuItem*> items_;
  // Expires when the item is freed: a click chosen in a menu is delivered later.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

enum TPopupAlignment { paLeft, paRight, paCenter };
// Which way a menu reads; it only counts on a desktop in a right-to-left language.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Whether the desktop's language is written right to left (Arabic, Hebrew, Persian...).
bool MiddleEastLocale();

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

  // Owner-drawn: every item is measured by its OnMeasureItem and drawn by its
  // OnAdvancedDrawItem, on the canvas of the whole pop-up window; the window keeps a
  // border of kOwnerDrawMenuBorder pixels round the items for them to paint.
  bool OwnerDraw = false;
  static constexpr int kOwnerDrawMenuBorder = 2;
  // Where the menu's texts sit within the items.
  TPopupAlignment Alignment = paLeft;
  TBiDiMode BiDiMode = bdLeftToRight;
  // A menu other than left-to-right on a right-to-left desktop opens mirrored: its
  // items read from the right and its sub-menus open to the left.
  bool IsRightToLeft() const { return BiDiMode != bdLeftToRight && MiddleEastLocale(); }
  // While the menu is open: measures every item again and repaints it.
  void RefreshItems();

  TNotifyEvent OnPopup;

  std::string ClassName() const override { return "TPopupMenu"; }

 private:
  // Each runs the menu until it closes and gives the chosen item, or null.
  TMenuItem* PopupOwnerDrawn(int X, int Y);
  TMenuItem* PopupPlain(int X, int Y);

  std::unique_ptr<TMenuItem> items_;
};

// Whether pop-up menus of this program slide or fade in. Only this program's menus are
// affected, never the desktop's setting.
bool MenuAnimation();
void SetMenuAnimation(bool Value);

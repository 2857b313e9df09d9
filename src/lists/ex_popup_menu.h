// A pop-up menu whose items are drawn in the look of a menu styler: an icon strip down
// the left, a gradient text area and highlight, check and radio boxes, note lines under
// a caption ("first\nsecond" with ShowNotes), an optional side bar, faded separators
// and a frame round the window.
//
// A menu given no MenuStyler draws with a private styler of all defaults. Items get the
// menu's measure and draw handlers when the menu opens, unless they have their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lists/menu_styler.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/graphics/image_list.h"

class TExPopupMenu : public TPopupMenu, public IStyledMenu {
 public:
  explicit TExPopupMenu(TComponent* AOwner);
  ~TExPopupMenu() override;

  // A styler of the user's choice, not owned; null returns to a fresh private styler.
  TCustomExMenuStyler* MenuStyler() const { return menu_styler_; }
  bool ShowNotes() const { return show_notes_; }
  // Shortcut texts with the keyboard's own key names ("Strg+Umschalt+...").
  bool IntlKeybShortCuts() const { return intl_keyb_short_cuts_; }
  // Read-only; four dot-separated numbers.
  std::string Version() const;
  // The items' pictures by ImageIndex, and those of disabled items; not owned.
  TImageList* Images = nullptr;
  TImageList* DisabledImages = nullptr;

  // Batch changes: the items are set up again and the open menu redrawn at the last
  // EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  // Opens at the screen point, nudged as Alignment asks; a menu without items stays shut.
  void Popup(int X, int Y) override;
  void PopupAtPoint(TPoint P) { Popup(P.X, P.Y); }

  // The item handlers: the size of an item, and an item drawn into R of its window.
  void MeasureItem(TMenuItem& Item, TCanvas& Canvas, int& Width, int& Height);
  void DrawItem(TMenuItem& Item, TCanvas& Canvas, TRect R, TOwnerDrawState State);
  // The text shown for a shortcut, by IntlKeybShortCuts.
  std::string ShortCutText(TShortCut ShortCut) const;

  // IStyledMenu
  void UpdateItems() override;
  TPopupMenu* GetMenu() override { return this; }
  TCustomExMenuStyler* GetMenuStyler() const override { return menu_styler_; }
  TCustomExMenuStyler& GetCurrentMenuStyler() const override { return *current_; }
  void SetMenuStyler(TCustomExMenuStyler* Value) override;
  std::uint8_t GetMenuValue() const override { return menu_value_; }
  void SetMenuValue(std::uint8_t Value) override { menu_value_ = Value; }
  bool GetShowNotes() const override { return show_notes_; }
  void SetShowNotes(bool Value) override { show_notes_ = Value; }
  bool GetIntlKeybShortCuts() const override { return intl_keyb_short_cuts_; }
  void SetIntlKeybShortCuts(bool Value) override { intl_keyb_short_cuts_ = Value; }

  std::string ClassName() const override { return "TExPopupMenu"; }

 private:
  void MakePrivateStyler();
  void InstallHandlers(TMenuItem& Parent);
  bool SideBarApplies(const TMenuItem& Item) const;
  static bool InFirstColumn(const TMenuItem& Item);
  void DrawSideBar(TCanvas& Canvas, const TRect& Band);
  void DrawSideBarCaption(TCanvas& Canvas, const TRect& Band);
  void DrawCheckCell(TMenuItem& Item, TCanvas& Canvas, const TRect& R, bool Selected,
                     bool WithGlyph);
  // Draws the item's image or bitmap (it has one) in its cell of the strip.
  void DrawPicture(TMenuItem& Item, TCanvas& Canvas, const TRect& R);
  bool HasImage(const TMenuItem& Item) const;
  void DrawCaption(TMenuItem& Item, TCanvas& Canvas, TRect R, TOwnerDrawState State,
                   unsigned Format);
  void DrawFrame(TCanvas& Canvas);
  // DrawItem's steps.
  TRect MenuRect(const TMenuItem& Item, const TRect& R, bool& FirstVisible) const;
  void DrawItemBackground(TCanvas& Canvas, const TRect& R, const TRect& M);
  void DrawSeparatorLine(TCanvas& Canvas, const TRect& R);
  void DrawShortCut(const TMenuItem& Item, TCanvas& Canvas, const TRect& R, int ItemRight);

  TCustomExMenuStyler* menu_styler_ = nullptr;
  std::unique_ptr<TCustomExMenuStyler> private_styler_;
  TCustomExMenuStyler* current_ = nullptr;
  std::uint8_t menu_value_ = 255;
  bool show_notes_ = true;
  bool intl_keyb_short_cuts_ = false;
  int update_count_ = 0;
};

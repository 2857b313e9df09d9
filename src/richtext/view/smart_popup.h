// The smart-popup button: the small button an editor shows beside an item to open a menu
// or a dialog about it, and its settings. The viewer keeps the settings and the one
// button; the editor says which item the button belongs to.
#pragma once

#include <functional>
#include <string>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/geometry.h"

class TImageList;

enum TRDSmartPopupType { rdsptDropDown, rdsptShowDialog, rdsptSimple };

struct TRDSmartPopupProperties {
  int ImageIndex = 0;
  // Neither is owned: the application keeps them while the viewer uses them.
  TImageList* ImageList = nullptr;
  TPopupMenu* Menu = nullptr;
  TColor Color = clWindow;
  TColor HoverColor = clInfoBk;
  TColor LineColor = clHighlight;
  TColor HoverLineColor = clInfoText;
  std::string Hint;
  TShortCut ShortCut = scShift | scCtrl | VK_DOWN;
  TRDSmartPopupType ButtonType = rdsptDropDown;
};

// The button paints itself from the settings as they are at the time, so a changed
// colour shows at the next paint (the viewer repaints it when the settings are set).
class TRDSmartPopupButton : public TCustomControl {
 public:
  static constexpr int kSize = 16;
  TRDSmartPopupButton(TWinControl& Parent, const TRDSmartPopupProperties& Properties, int ItemNo);

  // The item of the viewer's document the button is about.
  int ItemNo() const { return item_no_; }
  bool Hovered() const { return hovered_; }
  // What a click and the settings' ShortCut do: opens the menu below the button
  // (rdsptDropDown with a menu); otherwise OnClick tells the viewer, which fires its
  // own event.
  void Activate();
  std::string ClassName() const override { return "TRDSmartPopupButton"; }

 protected:
  void Click() override { Activate(); }
  void Paint() override;
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  const TRDSmartPopupProperties& properties_;
  int item_no_;
  bool hovered_ = false;
};

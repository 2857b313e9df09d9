// The settings of the smart-popup button: the small button an editor shows beside an
// item to open a menu or a dialog about it. The viewer keeps them; the button belongs
// to the editor.
#pragma once

#include <string>

#include "platform/gui/geometry.h"
#include "platform/gui/menu.h"
#include "platform/gui/virtual_keys.h"

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

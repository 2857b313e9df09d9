#include "lists/visual_styles.h"

#include "platform/sys/application.h"

TVisualStylesLoader BtnXPVS;
TVisualStylesLoader APXPVS;
std::uint16_t TBCompactWinHide = 0;

// The library ("UXTHEME.DLL") is a Windows one: nothing of that name exists here, so
// the flag stays false.
void TVisualStylesLoader::Load() {}

void StartComponentUnits() {
  BtnXPVS.Load();
  APXPVS.Load();
  TBCompactWinHide = RegisterWindowMessage("TBCompactWinHide");
}

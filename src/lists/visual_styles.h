// Start-up of the component units: the two loaders of the visual-styles library for
// themed buttons and panels, and the tool bar's registered window message.
//
// This platform has no visual-styles library: a loader finds nothing to load, its flag
// stays false and start-up goes on. No control here draws through the library.
#pragma once

#include <cstdint>

class TVisualStylesLoader {
 public:
  // Looks for the library once; Loaded tells whether it was found.
  void Load();
  void Unload() { loaded_ = false; }
  bool Loaded() const { return loaded_; }

 private:
  bool loaded_ = false;
};

// The loaders of the button and the panel units.
extern TVisualStylesLoader BtnXPVS;
extern TVisualStylesLoader APXPVS;
// The tool bar's "TBCompactWinHide" message, 0 until StartComponentUnits.
extern std::uint16_t TBCompactWinHide;

// Runs both loaders and registers the tool bar's message.
void StartComponentUnits();

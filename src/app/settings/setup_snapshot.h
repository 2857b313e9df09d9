// What the settings window holds when it opens (or was last applied), so that Cancel can
// put every edit back: the window's controls are the live settings, read by the other
// windows as they are typed.
#pragma once

#include <map>
#include <string>

class TfrmSetup;

class TSetupSnapshot {
 public:
  void Take(const TfrmSetup& Form);
  // Puts the values back, then runs the window's change handlers so that what hangs on
  // them (shown parts, unit labels, the language) follows.
  void Restore(TfrmSetup& Form) const;

 private:
  std::map<std::string, std::string> texts_;  // edits, memos and combo boxes, by name
  std::map<std::string, int> choices_;        // combo boxes
  std::map<std::string, bool> switches_;      // latching buttons
  std::string symbols_;                       // SymTabP1, SymCodeP1, SymTabP2, SymCodeP2
  double own_lat_ = 0;
  double own_lon_ = 0;
};

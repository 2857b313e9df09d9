// The track bar: a slider between Min and Max; OnChange fires whenever Position
// changes, by the user or from code.
#pragma once

#include "platform/gui/controls/controls.h"

class TTrackBar : public TWinControl {
 public:
  explicit TTrackBar(TComponent* AOwner);

  int Min() const;
  int Max() const;
  // Position is kept within the new range.
  void SetRange(int AMin, int AMax);
  int Position() const;
  void SetPosition(int Value);

  TNotifyEvent OnChange;

  std::string ClassName() const override { return "TTrackBar"; }
};

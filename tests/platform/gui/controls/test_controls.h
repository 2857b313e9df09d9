// Small controls for the control and form tests: a windowless box that fills itself with
// one colour, and a log of the events a control fires.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/controls/controls.h"
#include "platform/text/format.h"

class TBox : public TGraphicControl {
 public:
  TBox(TComponent* owner, TWinControl* parent, TRect bounds, TColor fill) : TGraphicControl(owner) {
    SetBoundsRect(bounds);
    SetParent(parent);
    Fill = fill;
  }
  TColor Fill;
  int PaintCount = 0;

 protected:
  void Paint() override {
    ++PaintCount;
    Canvas().Brush().SetColor(Fill);
    Canvas().FillRect(ClientRect());
  }
};

// Records "Name:Event" or "Name:Event(x,y)" for every mouse event of the controls it watches.
struct TEventLog {
  std::vector<std::string> lines;

  void Watch(TControl& c) {
    c.OnClick = [this](TComponent* s) { Add(s, "Click"); };
    c.OnDblClick = [this](TComponent* s) { Add(s, "DblClick"); };
    c.OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState shift, int x, int y) {
      Add(s,
          Format("Down%s%s(%d,%d)", b == mbRight ? "R" : "", (shift & ssDouble) ? "2" : "", x, y));
    };
    c.OnMouseUp = [this](TComponent* s, TMouseButton, TShiftState, int x, int y) {
      Add(s, Format("Up(%d,%d)", x, y));
    };
    c.OnMouseMove = [this](TComponent* s, TShiftState, int x, int y) {
      Add(s, Format("Move(%d,%d)", x, y));
    };
    c.OnMouseEnter = [this](TComponent* s) { Add(s, "Enter"); };
    c.OnMouseLeave = [this](TComponent* s) { Add(s, "Leave"); };
  }
  void Add(TComponent* sender, const std::string& what) {
    lines.push_back(sender->Name + ":" + what);
  }
  std::vector<std::string> Take() { return std::exchange(lines, {}); }
};

// The monitor viewer as the map window sets it up, with its lines read back as text: a
// line is the runs from one line start to the next.
#pragma once

#include <string>

#include "app/monitor/station_styles.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

class TTestMonitor : public TRichDoc {
 public:
  TTestMonitor() : TRichDoc(nullptr) {
    MakeMonitorStyles(sheet_);
    SetUpMonitorViewer(*this, sheet_);
    SetBounds(0, 0, 600, 150);
  }
  ~TTestMonitor() override { SetStyle(nullptr); }

  int LineCount() const {
    int lines = 0;
    for (int i = 0; i < ItemCount(); ++i) lines += IsItemLineStart(i) ? 1 : 0;
    return lines;
  }
  // The text of 1-based line Line.
  std::string LineText(int Line) const {
    std::string text;
    int line = 0;
    for (int i = 0; i < ItemCount(); ++i) {
      if (IsItemLineStart(i)) ++line;
      if (line == Line) text += ReadItemText(i);
      if (line > Line) break;
    }
    return text;
  }

 private:
  TRDStyle sheet_;
};

// The two style sheets the station's windows use, built from their stored form values:
// the monitor's (nine text styles, one per kind of traffic line, and a no-wrap and a
// centred paragraph) and the message lists' (two text styles and four paragraph styles
// that differ only in their background colour).
#pragma once

#include <string>

class TCustomRichDoc;
class TRDStyle;

// Replaces the sheet's styles by the monitor's, each with its Unicode twin
// (UnicodeMonitorStyle, monitor_styles.h).
void MakeMonitorStyles(TRDStyle& sheet);
// Replaces the sheet's styles by the message lists', the heading with its Unicode twin.
void MakeMessageStyles(TRDStyle& sheet);
// The monitor rdMain as the map window shows it, on sheet: frameless, following the
// end, selectable (the user may select text to copy while the log runs on).
void SetUpMonitorViewer(TCustomRichDoc& viewer, TRDStyle& sheet);
// A message list of the messaging window on sheet: light grey, no margins, plain frame.
void SetUpMessageViewer(TCustomRichDoc& viewer, TRDStyle& sheet);

// Received text as a run of a viewer: text in UTF-8 (with a character beyond ASCII)
// becomes the viewer's Unicode text in UnicodeStyleNo; any other stays as it came, in
// StyleNo. Only the run shown changes: what is stored, logged or sent keeps the bytes.
struct TReceivedRun {
  std::string Text;
  int StyleNo;
};
TReceivedRun ReceivedRun(const std::string& Text, int StyleNo, int UnicodeStyleNo);

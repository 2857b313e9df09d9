// How the keyboard focus came to the control that has it: the tab order walked forward
// (Tab), backward (Shift+Tab), or any other way (a click, a window activated, code).
// A control that steps the focus on among parts of its own starts from the matching end.
#pragma once

enum class TFocusEntry { Other, Tab, Backtab };

// The way of the last focus arrival; read in a control's DoEnter.
TFocusEntry LastFocusEntry();

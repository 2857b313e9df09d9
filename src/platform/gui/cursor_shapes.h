// Mouse cursor shapes beyond the common ones of controls.h, for the few controls that
// show them.
#pragma once

#include "platform/gui/controls.h"

// Dragging a border between two columns (two panes side by side) or between two rows.
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;

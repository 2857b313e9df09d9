// The selection of a formatted document on the system clipboard, and the text just
// selected with the mouse offered as the system's primary selection.
#pragma once

#include "platform/gui/graphics/geometry.h"

class TCustomRDFormattedData;
class TRDBackground;

// Copies the selection to the clipboard in the formats the document's options ask for;
// false when nothing was copied. The clipboard keeps its content when a format fails.
bool CopySelectionToClipboard(TCustomRDFormattedData& data, TColor color,
                              TRDBackground* background);
void OfferSelectionAsPrimary(TCustomRDFormattedData& root);
// The document that holds the selection of root: a chosen sub-document (a table cell, or
// the editor open on it) followed down through every level of tables in cells;
// sub-documents selected whole (a table's cells) are the selection of the document
// holding them.
TCustomRDFormattedData& SelectionHolder(TCustomRDFormattedData& root);

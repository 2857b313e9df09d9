// Caret positions, selection bounds and selection drawing of texts whose characters are
// displayed in another order than they are stored (right-to-left runs), from the
// platform's character placement. A placement is used only when its width matches the
// width the formatter measured (differing by less than 2 pixels).
//
// Example: three left-to-right characters with advances 5, 6, 7 have the caret positions
// 0, 6, 12, 19 (each end one beyond its cell); displayed right to left, 18, 13, 7, 0.
#pragma once

#include <string_view>
#include <vector>

#include "richtext/base/item_text.h"
#include "richtext/base/rd_canvas.h"

// The placement of an item text and the map display position -> character (-1 where no
// character is shown). False when the placement is not accepted for width.
bool InitCharPlacementResults(TRDCanvas& canvas, std::string_view s, TRDItemOptions options,
                              int width, TRDCharacterPlacement& placement,
                              std::vector<int>& displayMap);
// Whether the platform shows some character of the text right to left: its caret
// positions and selection then come from the placement, not from prefix widths.
bool IsReorderedText(TRDCanvas& canvas, std::string_view s, TRDItemOptions options);
// n + 1 caret positions (Positions[0] before the first character); all -1 when the
// placement is not accepted.
bool GetCharacterPositions(TRDCanvas& canvas, std::string_view s, std::vector<int>& positions,
                           TRDItemOptions options, int width);
// The x range of characters offs .. offs + count - 1 (1-based); left and right untouched
// when the placement is not accepted.
bool GetReorderedSelectionBounds(TRDCanvas& canvas, std::string_view s, int offs, int count,
                                 TRDItemOptions options, int width, int& left, int& right);
// The x range the cells of characters offs .. offs + count - 1 (1-based) span where
// they are displayed; false, and left and right untouched, when the placement is not
// accepted or none of them has a cell.
bool GetCharacterCellBounds(TRDCanvas& canvas, std::string_view s, int offs, int count,
                            TRDItemOptions options, int width, int& left, int& right);
// Draws characters from .. to (1-based, inclusive) over the cells where they are
// displayed, one clipped run of neighbouring cells at a time.
bool DrawReorderedText(int x, int y, int width, int height, std::string_view s, TRDCanvas& canvas,
                       int from, int to, TRDItemOptions options);
bool DrawReorderedTextIfNeeded(int x, int y, int width, int height, std::string_view s,
                               TRDCanvas& canvas, int from, int to, TRDItemOptions options,
                               bool reordered);

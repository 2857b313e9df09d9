// The record a format builds its lines with, shared by the formatter and the line
// finishing: the current X and baseline, the line's ascent and descent, its left edge
// and room, the text style in use and a pending right or centre tab.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "richtext/layout/formatted_data.h"
#include "richtext/styles/para_parts.h"

// How far down a document's lines may lie: a document that would reach further (tens
// of thousands of pictures, each as high as a picture may be) has the lines past it laid
// at it. Heights made of it with margins, a line and a shift of kept lines stay inside
// an int.
constexpr int kMaxLayoutHeight = 1 << 29;

// y moved down by `by` pixels, no further than kMaxLayoutHeight.
inline int LayoutBelow(int y, std::int64_t by) {
  return int(std::min<std::int64_t>(std::int64_t(y) + by, kMaxLayoutHeight));
}

struct TCustomRDFormattedData::TRDFormatParams {
  TRDCanvas* canvas = nullptr;
  TRDResolution scaling;
  int x = 0;
  int baseline = 0;
  int descent = 0;
  int ascent = 0;
  bool at_para_start = false;
  bool space_dropped = false;
  int room = 0;
  int line_left = 0;
  int line_first = 0;  // the first draw line of the line being built
  int cur_style = -1;
  TRDTextMetrics metrics;
  int v_offset = 0;
  bool first_line_pending = true;
  bool line_has_valigned = false;
  int tab_item = -1;  // draw line of a pending right or centre tab
  TRDTabAlign tab_align = rdtaLeft;
  int tab_pos = 0;
  int left_indent = 0;
  int right_indent = 0;
  int pending_extra = 0;  // extra height of the line finished last
  int line_chars = 0;     // characters laid on the line being built
  int max_length = 0;     // the most characters a line may hold (0: no limit)
  // The paragraph whose level the last line was ordered at (its first item, -1: none),
  // the last item of that line, and the level.
  int level_para = -1;
  int level_last_item = -1;
  int para_level = 0;
  bool pass1 = false;
  bool pass2 = false;
  // The least widths of the lines about to be laid out, measured before (the document
  // width needs them first), taken in order; lines beyond them are measured as met.
  const std::vector<int>* line_min_widths = nullptr;
  size_t next_line_min_width = 0;
  // The widths of the text items of no-wrap lines measured with them, from item
  // no_wrap_first on (-1: none measured): a line of many items is measured once.
  const std::vector<int>* no_wrap_widths = nullptr;
  int no_wrap_first = 0;
  // The UTF-16 of the text item being laid out as it is shown (item_text_no; -1: none),
  // measured from each line's start as the line is fitted.
  std::u16string item_text;
  int item_text_no = -1;
  // A partial layout: the old lines it may meet again, and whether it met them (which
  // ends it). None in a whole layout.
  TRDOldLines* old_lines = nullptr;
  bool met_old_lines = false;
};

// A rectangle item's box as laid out: its size, how far it reaches below the baseline,
// and the spacing on either side.
struct TCustomRDFormattedData::TRDItemBox {
  int width = 0;
  int height = 0;
  int descent = 0;
  int spacing = 0;
};

// What a format keeps across laying out: the selection's bounds, and the item at the top
// of the window with how far into it the window starts (item -1: none).
struct TCustomRDFormattedData::TRDKeptPosition {
  int start = -1;
  int start_offs = 0;
  int end = -1;
  int end_offs = 0;
  int item = -1;
  int distance = 0;
};

// What the pieces of one text item share.
struct TCustomRDFormattedData::TRDTextRun {
  TRDItemOptions options = 0;
  int ascent = 0;
  int descent = 0;
  bool hyper = false;  // a link whose pieces are hypertext areas
  int jump_id = 0;
  int jump_cursor = 0;
};

// A piece of text that goes on the line: its characters, its width when the fit measured
// it (else -1), and whether a trimmed space follows it.
struct TCustomRDFormattedData::TRDTextPiece {
  int length = 0;
  int width = -1;
  bool skip_space = false;
};

// The draw lines of the layout before a change, from the line the partial layout starts
// with, and where the change ends. A new line that starts where an old one started past
// the change is a candidate; when it comes out as that old line, moved up or down as a
// whole, every line after it would too, and the layout stops: the old lines from the
// next one on are kept, moved by the same amount.
struct TCustomRDFormattedData::TRDOldLines {
  std::vector<std::unique_ptr<TRDDrawLineInfo>> lines;
  TRDChangedRange change;
  size_t next = 0;           // no old line before this one starts at or after the last new line
  int new_candidate = -1;    // the first draw line of the candidate line
  size_t old_candidate = 0;  // the old line it started like
  size_t kept_from = 0;      // once met: the first old line kept
  int shift = 0;             // and how far the kept lines move down
  // Where a draw line starting at the 0-based character offs of itemNo stood before the
  // change; false when it lies before the change's end, where nothing maps.
  bool ToOld(int itemNo, int offs, int& oldItemNo, int& oldOffs) const {
    if (itemNo < change.end_item || (itemNo == change.end_item && offs < change.end_char))
      return false;
    oldItemNo = itemNo - change.items_added;
    oldOffs = itemNo == change.end_item ? offs - change.chars_added : offs;
    return true;
  }
};

// Restores the canvas state and the formatting bit however the format ends.
struct TRDFormattingScope {
  TRDCanvas& canvas;
  std::uint32_t& state;
  ~TRDFormattingScope() {
    canvas.RestoreState();
    state &= ~rdsFormatting;
  }
};

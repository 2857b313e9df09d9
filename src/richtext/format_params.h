// The record a format builds its lines with, shared by the formatter and the line
// finishing: the current X and baseline, the line's ascent and descent, its left edge
// and room, the text style in use and a pending right or centre tab.
#pragma once

#include <vector>

#include "richtext/formatted_data.h"
#include "richtext/para_parts.h"

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
  int line_chars = 0;  // characters laid on the line being built
  int max_length = 0;  // the most characters a line may hold (0: no limit)
  bool pass1 = false;
  bool pass2 = false;
  // The least widths of the lines about to be laid out, measured before (the document
  // width needs them first), taken in order; lines beyond them are measured as met.
  const std::vector<int>* line_min_widths = nullptr;
  size_t next_line_min_width = 0;
};

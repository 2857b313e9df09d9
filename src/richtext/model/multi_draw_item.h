// The drawing line of an object laid out for printing in several parts: a picture or a
// table cut by page breaks. Part k is what is printed on the k-th page the object
// touches; each part knows its height on that page (device pixels).
#pragma once

#include <string>

#include "richtext/base/rd_lists.h"
#include "richtext/model/draw_lines.h"

class TRDMultiDrawItemPart {
 public:
  virtual ~TRDMultiDrawItemPart() = default;
  int Height = 0;
  // The part's own answer to the printing code's one query; none at this level.
  virtual int GetSoftPageBreakInfo() const { return -1; }
};

using TRDMultiDrawItemPartsList = TRDList<TRDMultiDrawItemPart>;

class TRDMultiDrawItemInfo : public TRDDrawLineInfo {
 public:
  TRDMultiDrawItemPartsList PartsList;
  // The part a page is printing now (-1: the line is not cut), set by the page drawing
  // for the item's printing operation.
  mutable int PrintedPart = -1;
  // Why the last SplitAt left a part that does not fit uncut ("" when it needed no cut).
  std::string SplitRefusal;
  // What laying the object out for the paper could not fit across it, so that part of
  // it is not printed ("" when all of it is).
  std::string LayoutWarning;
};

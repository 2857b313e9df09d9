// The grouped list's helpers for drag and drop: the data a drag started here offers,
// and the list's side of drags over it.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "lists/section_grouped_list.h"

// What a drag started here offers: the owner's formats, taken once when the drag
// starts, each made by the owner only when a target asks for it.
class TOGLDataObject : public TDataObject {
 public:
  explicit TOGLDataObject(TSectionGroupedList& List);
  std::vector<std::string> Formats() const override { return formats_; }
  bool GetData(const std::string& Format, std::string& Bytes) const override;

 private:
  TSectionGroupedList& list_;
  std::vector<std::string> formats_;
};

// The list's side of drags over it.
class TOGLDragEngine : public TDropTarget {
 public:
  explicit TOGLDragEngine(TSectionGroupedList& List) : list_(List) {}

  void DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                 TDropEffects& Effect) override;
  void DragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) override;
  void DragLeave() override;
  void Drop(const TDataObject& Data, TShiftState Shift, TPoint Pt, TDropEffects& Effect) override;

 private:
  TSectionGroupedList& list_;
};

// The nodes a drag started here took, recorded as it starts. The drag may wait up to
// 10 s for another program's answer while the user goes on clicking and the owner
// deletes or clears rows: a move deletes these nodes, not what is selected when the
// answer comes. A node freed meanwhile leaves the record (the list tells it), so what
// it holds always exists; the record hears when the list itself goes.
struct TOGLDraggedNodes {
  std::vector<POGLItem> order;         // as selected; only looked up, never followed
  std::unordered_set<POGLItem> nodes;  // the ones that still exist
  bool list_freed = false;
};

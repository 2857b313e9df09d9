// Drags dropped onto an editor: which formats a drop takes (AcceptDragDropFormats), in
// which order they are tried, the drop caret that follows the pointer, a drag of the
// editor's own selection moving it as one undo step, and dropped files and links.
//
// The editor owns one drop target, registered for its window while it lives. Formats
// are MIME types: the viewers' own block, RTF, text (UTF-8), pictures, and a
// text/uri-list that names local files or links.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui/drag_drop.h"

class TCustomRichDocEdit;
class TRDCanvas;
class TRDEditRDData;

class TRDDropTarget : public TDropTarget {
 public:
  explicit TRDDropTarget(TCustomRichDocEdit& editor);
  ~TRDDropTarget() override;

  void DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                 TDropEffects& Effect) override;
  void DragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) override;
  void DragLeave() override;
  void Drop(const TDataObject& Data, TShiftState Shift, TPoint Pt, TDropEffects& Effect) override;

  // Whether the editor's AcceptDragDropFormats let a drop take format.
  bool AcceptsFormat(const std::string& format) const;
  // The drop caret over the document while a drag is over it (document area coordinates).
  void PaintDropCaret(TRDCanvas& canvas);
  // Whether the last drop moved the editor's own selection (the drag source then has
  // nothing left to delete).
  bool MovedOwnSelection() const { return moved_own_selection_; }
  void ForgetOwnMove() { moved_own_selection_ = false; }

 private:
  bool AcceptEnteringDrag(TPoint pt);
  // Moves the drop caret under the point; whether the document takes content there.
  bool DragPosition(TPoint pt);
  void EndDrag();
  // The effect that the drop performed.
  TDropEffect PerformDrop(const TDataObject& data, TShiftState shift, TPoint pt,
                          TDropEffects allowed);
  // Inserts what the data brings in one format kind (an AcceptDragDropFormats bit);
  // given: its bytes, read already.
  bool InsertKind(const TDataObject& data, std::uint8_t kind, const std::string* given);
  bool InsertFiles(const TDataObject& data);
  // A dropped URL: as a link the application makes of it (its text the name the link
  // came with), or as plain text when the application makes none.
  bool InsertLink(const TDataObject& data, const std::string& url);
  bool InsertFile(const std::string& fileName);
  // The proposal, shown to the events: a move of our own selection, else copy, else link.
  TDropEffect Proposal(TDropEffects allowed, TShiftState shift) const;
  TPoint ToRootClient(TPoint pt) const;

  TCustomRichDocEdit& editor_;
  bool accepted_ = false;
  bool moved_own_selection_ = false;
  // This drag holds the root document's drop caret.
  bool caret_held_ = false;
  // A move of our own selection opened the drop's undo step and deleted the selection.
  bool grouped_ = false;
  // The insertion frame: one undo step for everything the drop inserts; the caret
  // position before it, to select what went in.
  struct TFrame;
  TFrame* frame_ = nullptr;
  void OpenFrame();
  void CloseFrame();
};

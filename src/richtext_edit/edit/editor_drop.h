// Drags dropped onto an editor: which formats a drop takes (AcceptDragDropFormats), in
// which order they are tried, the drop caret that follows the pointer, a drag of the
// editor's own selection moving it as one undo step, and dropped files and links.
//
// The editor's drop target (TRDDropTarget) hands the drags over its window to the
// editor's drag hooks, which are this handler's. Formats are MIME types: the viewers'
// own block, RTF, text (UTF-8), pictures, and a text/uri-list that names local files or
// links.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui/controls/drag_drop.h"
#include "richtext/view/rd_drop_target.h"

class TCustomRDData;
class TCustomRichDocEdit;
class TRDCanvas;
class TRDEditRDData;
struct TRDDragDropCaretInfo;

class TRDDropHandler {
 public:
  explicit TRDDropHandler(TCustomRichDocEdit& editor);
  ~TRDDropHandler();
  TRDDropHandler(const TRDDropHandler&) = delete;
  TRDDropHandler& operator=(const TRDDropHandler&) = delete;

  // Whether the editor's AcceptDragDropFormats let a drop take format.
  bool AcceptsFormat(const std::string& format) const;
  // OnOleDragEnter and OnOleDragOver of the root editor, when assigned.
  void DragEntering(const TDataObject& data, TShiftState shift, TDropEffect& effect,
                    TDropEffects allowed, TPoint pt);
  void DragMoving(TShiftState shift, TPoint pt, TDropEffect& effect, TDropEffects allowed);
  // Whether the editor takes drags now; the drop caret appears under the point.
  bool AcceptEnteringDrag(TPoint pt);
  // Moves the drop caret under the point; whether the document takes content there.
  bool DragPosition(TPoint pt);
  void DragLeave();
  // The effect that the drop performed.
  TDropEffect Drop(const TDataObject& data, bool move, TDropEffects allowed, TPoint pt,
                   TShiftState shift);

  // The drop caret over the document while a drag is over it (document area coordinates).
  void PaintDropCaret(TRDCanvas& canvas);
  // Whether the last drop moved the editor's own selection (the drag source then has
  // nothing left to delete).
  bool MovedOwnSelection() const { return moved_own_selection_; }
  void ForgetOwnMove() { moved_own_selection_ = false; }
  // A drop over a cell's editor is run by the root editor's handler (the drop may close
  // that cell editor): this handler takes over the other's drop caret.
  void TakeOverDrag(TRDDropHandler& other);

 private:
  void EndDrag();
  TDropEffect PerformDrop(const TDataObject& data, bool move, TDropEffects allowed, TPoint pt,
                          TShiftState shift);
  // What every drop ends with, also one that threw: the insertion frame closed, a move's
  // undo group ended, the drag ended and the caret shown.
  void FinishDrop();
  // The drop's undo group in editor's document ends; a step that recorded nothing goes.
  void EndUndoGroup(TCustomRichDocEdit& editor);
  // The position under a client point, in the innermost document there (a table's cell,
  // or the editor open over it), with the editor's document that shows it.
  bool FindDropPosition(TPoint pt, TRDDragDropCaretInfo& found) const;
  // Whether the item holding place (a table around a cell), or one further out, lies in
  // its document's selection.
  static bool InsideDocumentSelection(TCustomRDData& place);
  // The document holding a drop position made the one being edited (a table's cell
  // opens its editor), with the caret at the position; nullptr when it cannot be.
  static TRDEditRDData* EditAt(TCustomRDData& holder, int itemNo, int offset);
  // The editor the drop inserts in: the one of the drop position's document.
  TCustomRichDocEdit& Target() const { return target_ ? *target_ : editor_; }
  // The richest format kind the editor takes of its own selection being dragged, with the
  // bytes read (0 when none).
  std::uint8_t ReadOwnSelection(const TDataObject& data, std::string& bytes);
  // A move of what the drag took deletes it first, where it lies; a drop point in the
  // same document (holder, as the caret info counts its items) follows.
  bool DeleteMovedPart(TCustomRDData& holder, int& itemNo, int& offset);
  // The first format kind the editor accepts that inserts something.
  bool InsertFirstAccepted(const TDataObject& data);
  // Inserts what the data brings in one format kind (an AcceptDragDropFormats bit);
  // given: its bytes, read already.
  bool InsertKind(const TDataObject& data, std::uint8_t kind, const std::string* given);
  bool InsertFiles(const TDataObject& data);
  // A dropped URL: as a link the application makes of it (its text the name the link
  // came with), or as plain text when the application makes none.
  bool InsertLink(const TDataObject& data, const std::string& url);
  bool InsertFile(const std::string& fileName);
  TPoint ToRootClient(TPoint pt) const;

  TCustomRichDocEdit& editor_;
  TCustomRichDocEdit* target_ = nullptr;
  bool moved_own_selection_ = false;
  // This drag holds the root document's drop caret.
  bool caret_held_ = false;
  // A move of our own selection opened the drop's undo step in this editor (the root
  // editor, or the cell's editor for a move within one cell) and deleted the part.
  TCustomRichDocEdit* group_ = nullptr;
  // The insertion frame: one undo step for everything the drop inserts; the caret
  // position before it, to select what went in.
  struct TFrame;
  TFrame* frame_ = nullptr;
  void OpenFrame();
  void CloseFrame();
};

#include "richtext_edit/edit/editor_drop.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/gui/controls/file_group_descriptor.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/picture.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext/model/document_nesting.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext/view/rd_drop_data.h"
#include "richtext_edit/edit/editor_formats.h"
#include "richtext_edit/edit/pasted_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// How near the top or bottom edge the pointer scrolls the view while dragging.
constexpr int kScrollZone = 20;

std::string FirstPictureFormat(const TDataObject& data) {
  for (const std::string& format : data.Formats())
    if (format.rfind("image/", 0) == 0) return format;
  return {};
}

std::string Extension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || fileName.find('/', dot) != std::string::npos) return {};
  std::string ext = fileName.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

}  // namespace

// The caret position before the drop's first insertion, so that what went in can be
// selected afterwards.
struct TRDDropHandler::TFrame {
  bool ownsGroup = false;
  int itemNo = -1;
  int offset = -1;
  bool atItemStart = false;
  bool wasText = false;
};

TRDDropHandler::TRDDropHandler(TCustomRichDocEdit& editor) : editor_(editor) {}

TRDDropHandler::~TRDDropHandler() {
  delete frame_;
}

bool TCustomRichDocEdit::OleCanAcceptFormat(const std::string& Format) {
  return drop_handler_->AcceptsFormat(Format);
}

void TCustomRichDocEdit::OleDragEnter(const TDataObject& Data, TShiftState Shift,
                                      TDropEffect& Effect, TDropEffects Allowed, TPoint Pt) {
  drop_handler_->DragEntering(Data, Shift, Effect, Allowed, Pt);
}

bool TCustomRichDocEdit::OleCanDropAt(int X, int Y) {
  return drop_handler_->AcceptEnteringDrag(Point(X, Y));
}

bool TCustomRichDocEdit::OleDragOverAt(int X, int Y) {
  return drop_handler_->DragPosition(Point(X, Y));
}

void TCustomRichDocEdit::OleDragOver(TShiftState Shift, TPoint Pt, TDropEffect& Effect,
                                     TDropEffects Allowed) {
  drop_handler_->DragMoving(Shift, Pt, Effect, Allowed);
}

void TCustomRichDocEdit::OleDragLeave() {
  drop_handler_->DragLeave();
}

TDropEffect TCustomRichDocEdit::OleDrop(const TDataObject& Data, bool Move, TDropEffects Allowed,
                                        TPoint Pt, TShiftState Shift) {
  TCustomRichDocEdit& root = RootEditor();
  if (&root == this) return drop_handler_->Drop(Data, Move, Allowed, Pt, Shift);
  // The drop may close this cell editor (a move out of another cell opens that one's):
  // the root editor runs it, at the drop caret this editor showed.
  const TPoint at = root.ScreenToClient(ClientToScreen(Pt));
  root.drop_handler_->TakeOverDrag(*drop_handler_);
  return root.drop_handler_->Drop(Data, Move, Allowed, at, Shift);
}

namespace {

// Moves the steps the open cell editors recorded into the lists of the editors around
// them, innermost first, so that they reach the list of editor (the root editor, or the
// editor of the cell a move stays in). Inside the drop's undo step, each cell's steps
// join the step around them, down to that step: the drop is one step to take back.
void FlushCellEditorsUndo(TCustomRichDocEdit& editor) {
  std::vector<TCustomRichDocEdit*> chain;
  for (TCustomRichDocEdit* e = &editor; e; e = e->InplaceEditor()) chain.push_back(e);
  const bool joining = editor.EditData().UndoList->InGroupMode();
  for (std::size_t i = chain.size(); i-- > 1;) {
    TRDEditRDData& outer = chain[i - 1]->EditData();
    const bool join = joining && i > 1;
    if (join) outer.SetUndoGroupMode(true);
    if (TCustomRDItemInfo* item = outer.GetChosenItem()) item->MergeEditorUndo(&outer);
    if (join) outer.SetUndoGroupMode(false);
  }
}

}  // namespace

void TRDDropHandler::TakeOverDrag(TRDDropHandler& other) {
  if (!caret_held_) editor_.EditData().BeginDragDropCaret();
  caret_held_ = true;
  other.EndDrag();
}

bool TRDDropHandler::AcceptsFormat(const std::string& format) const {
  return (editor_.AcceptDragDropFormats & DragDropFormatOf(format)) != 0;
}

TPoint TRDDropHandler::ToRootClient(TPoint pt) const {
  TCustomRichDocEdit& root = editor_.RootEditor();
  if (&root == &editor_) return pt;
  return root.ScreenToClient(editor_.ClientToScreen(pt));
}

bool TRDDropHandler::AcceptEnteringDrag(TPoint pt) {
  if (!editor_.Style()) return false;
  TRDEditRDData& rootData = editor_.RootEditor().EditData();
  if (editor_.GetReadOnly() && !(rootData.GetFlags() & rdfReadOnlyDragAndResize)) return false;
  if (!caret_held_) rootData.BeginDragDropCaret();
  caret_held_ = true;
  editor_.StartAutoScrollTimer(true);
  DragPosition(pt);
  editor_.Invalidate();
  return true;
}

bool TRDDropHandler::DragPosition(TPoint pt) {
  editor_.SetDropScrollDirection(pt.Y < kScrollZone                            ? -1
                                 : pt.Y > editor_.ClientHeight() - kScrollZone ? 1
                                                                               : 0);
  TRDDragDropCaretInfo* caret = editor_.RootEditor().EditData().DragCaret.get();
  if (!caret || editor_.EditData().DrawItems.Count() == 0) return false;
  TRDDragDropCaretInfo found;
  if (!FindDropPosition(pt, found)) return false;
  if (caret->RDData != found.RDData || caret->ItemNo != found.ItemNo ||
      caret->ItemOffs != found.ItemOffs || caret->HostData != found.HostData ||
      caret->OriginX != found.OriginX || caret->OriginY != found.OriginY) {
    if (auto* host = dynamic_cast<TRDEditRDData*>(caret->HostData); host && host->Editor())
      host->Editor()->Invalidate();
    caret->RDData = found.RDData;
    caret->ItemNo = found.ItemNo;
    caret->ItemOffs = found.ItemOffs;
    caret->HostData = found.HostData;
    caret->OriginX = found.OriginX;
    caret->OriginY = found.OriginY;
    if (TCustomRichDocEdit* host = static_cast<TRDEditRDData*>(found.HostData)->Editor())
      host->Invalidate();
  }
  return static_cast<TCustomRDFormattedData*>(found.RDData)
      ->CanInsertAt(found.ItemNo, found.ItemOffs);
}

bool TRDDropHandler::FindDropPosition(TPoint pt, TRDDragDropCaretInfo& found) const {
  // As a press finds what it falls on: the item under the point passes it on to the
  // document it holds there (a table's cell, or the editor open over that cell), down to
  // the innermost one.
  TCustomRDFormattedData* data = &editor_.EditData();
  const TRect area = editor_.DocumentRect();
  int x = pt.X - area.Left, y = pt.Y - area.Top;
  int hostX = 0, hostY = 0;
  for (int depth = 0;; ++depth) {
    data->ClientToDocument(x, y);
    if (dynamic_cast<TRDEditRDData*>(data)) {
      found.HostData = data;
      hostX = x;
      hostY = y;
    }
    const int d = depth < kMaxDocumentNesting ? data->FindDrawItemAtPoint(x, y) : -1;
    if (d < 0) break;
    const TRDDrawLineInfo& line = *data->DrawItems[d];
    int subX = x - line.Left, subY = y - line.Top;
    auto* sub =
        dynamic_cast<TCustomRDFormattedData*>(data->GetItem(line.ItemNo)->GetSubDocAt(subX, subY));
    if (!sub) break;
    data = sub;
    x = subX;
    y = subY;
  }
  int d, dOffs;
  data->FindDrawItemAtPos(x, y, false, d, dOffs);
  if (d < 0) return false;
  found.RDData = data;
  data->DrawItemToItem(d, dOffs, found.ItemNo, found.ItemOffs);
  found.OriginX = hostX - x;
  found.OriginY = hostY - y;
  return true;
}

void TRDDropHandler::PaintDropCaret(TRDCanvas& canvas) {
  const TRDDragDropCaretInfo* caret = editor_.RootEditor().EditData().DragCaret.get();
  TRDEditRDData& host = editor_.EditData();
  if (!caret || !caret->RDData || caret->HostData != &host) return;
  auto& data = static_cast<TCustomRDFormattedData&>(*caret->RDData);
  int d, dOffs;
  data.ItemToDrawItem(caret->ItemNo, caret->ItemOffs, d, dOffs);
  if (d < 0) return;
  const TRDDrawLineInfo& line = *data.DrawItems[d];
  const TCustomRDItemInfo* item = data.GetItem(line.ItemNo);
  int x = line.Left;
  if (item->StyleNo < 0) {
    if (dOffs > 0) x += line.Width;
  } else if (dOffs > 1) {
    const std::string text = data.DrawItems.GetDrawItemText(d, data.Items);
    const std::size_t unit = IsUnicodeItem(item->ItemOptions) ? 2 : 1;
    if (TRDStyle* style = data.GetRDStyle())
      style->ApplyStyle(canvas, data.GetActualStyle(*item), data.GetParaBiDiMode(item->ParaNo),
                        false);
    x += GetItemTextWidth(std::string_view(text).substr(0, std::size_t(dOffs - 1) * unit), canvas,
                          item->ItemOptions);
  }
  int ox, oy;
  host.GetOrigin(ox, oy);
  x += caret->OriginX - (host.GetHOffs() - ox);
  const int top = line.Top + caret->OriginY - (host.GetVOffs() - oy);
  // A dotted line: the drop caret is told from the editing caret at a glance.
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = clWindowText;
  for (int y = top; y < top + line.Height; y += 2) canvas.FillRect(Rect(x, y, x + 1, y + 1));
}

void TRDDropHandler::DragEntering(const TDataObject& data, TShiftState shift, TDropEffect& effect,
                                  TDropEffects allowed, TPoint pt) {
  TCustomRichDocEdit& root = editor_.RootEditor();
  if (!root.OnOleDragEnter) return;
  TRDOleDropEffect answer = RDDropEffectOf(effect);
  const TPoint at = ToRootClient(pt);
  root.OnOleDragEnter(&root, data, shift, at.X, at.Y, RDDropEffectsOf(allowed), answer);
  effect = DropEffectOf(answer);
}

void TRDDropHandler::DragMoving(TShiftState shift, TPoint pt, TDropEffect& effect,
                                TDropEffects allowed) {
  TCustomRichDocEdit& root = editor_.RootEditor();
  if (!root.OnOleDragOver) return;
  TRDOleDropEffect answer = RDDropEffectOf(effect);
  const TPoint at = ToRootClient(pt);
  root.OnOleDragOver(&root, shift, at.X, at.Y, RDDropEffectsOf(allowed), answer);
  effect = DropEffectOf(answer);
}

void TRDDropHandler::EndDrag() {
  editor_.StopAutoScrollTimer();
  if (caret_held_) {
    caret_held_ = false;
    editor_.RootEditor().EditData().EndDragDropCaret();
  }
  editor_.Invalidate();
}

void TRDDropHandler::DragLeave() {
  EndDrag();
  TRDEditRDData& active = editor_.ActiveEditor().EditData();
  if (active.HasCaret()) active.ShowCaret(false, false, true, false);
  TCustomRichDocEdit& root = editor_.RootEditor();
  if (root.OnOleDragLeave) root.OnOleDragLeave(&root);
}

TDropEffect TRDDropHandler::Drop(const TDataObject& data, bool move, TDropEffects allowed,
                                 TPoint pt, TShiftState shift) {
  editor_.BeginDragOrResizeChange();
  TDropEffect done;
  try {
    done = PerformDrop(data, move, allowed, pt, shift);
  } catch (...) {
    editor_.EndDragOrResizeChange();
    throw;
  }
  editor_.EndDragOrResizeChange();
  return done;
}

void TRDDropHandler::OpenFrame() {
  if (frame_) return;
  TRDEditRDData& data = Target().EditData();
  frame_ = new TFrame;
  // A move into the document it came from inserts in the undo step of its deletion.
  if (group_ != &Target()) {
    data.BeginUndoStep(rdutInsert, true);
    data.SetUndoGroupMode(true);
    frame_->ownsGroup = true;
  }
  frame_->itemNo = data.GetCurrentItemNo();
  frame_->offset = data.GetOffsetInCurrentItem();
  if (frame_->itemNo >= 0) {
    frame_->atItemStart = frame_->offset <= data.GetItemStartOffset(frame_->itemNo);
    frame_->wasText = data.GetItem(frame_->itemNo)->StyleNo >= 0;
  }
}

void TRDDropHandler::CloseFrame() {
  if (!frame_) return;
  TFrame frame = *frame_;
  delete frame_;
  frame_ = nullptr;
  TCustomRichDocEdit& target = Target();
  TRDEditRDData& data = target.EditData();
  if (frame.ownsGroup) EndUndoGroup(target);
  if (frame.itemNo < 0 || frame.itemNo >= data.GetItemCount()) return;
  // Content that went in before the caret's item took the item's place: the start
  // offset is the new item's.
  if (frame.atItemStart) {
    const bool text = data.GetItem(frame.itemNo)->StyleNo >= 0;
    if (frame.wasText && !text)
      frame.offset = 0;
    else if (!frame.wasText && text && frame.offset == 0)
      frame.offset = 1;
  }
  const int endNo = data.GetCurrentItemNo(), endOffs = data.GetOffsetInCurrentItem();
  if (endNo >= 0) target.SetSelectionRange(frame.itemNo, frame.offset, endNo, endOffs);
  target.Invalidate();
}

TDropEffect TRDDropHandler::PerformDrop(const TDataObject& data, bool move, TDropEffects allowed,
                                        TPoint pt, TShiftState shift) {
  TCustomRichDocEdit& root = editor_.RootEditor();
  const bool own = root.DraggingSelection();
  editor_.StopAutoScrollTimer();
  const TRDDragDropCaretInfo* caret = root.EditData().DragCaret.get();
  struct TFinish {
    TRDDropHandler& target;
    ~TFinish() { target.FinishDrop(); }
  } finish{*this};
  auto* place = caret ? dynamic_cast<TCustomRDFormattedData*>(caret->RDData) : nullptr;
  if (!place) return deNone;
  int itemNo = caret->ItemNo, offset = caret->ItemOffs;
  // The position counts the items of the document that keeps them: a cell outlives the
  // editor open over it, which deleting a moved part may close.
  TCustomRDData& holder = *place->GetInplaceSourceData();
  if (place->IsPositionInSelection(itemNo, offset, move) ||
      (own && move && InsideDocumentSelection(*place))) {
    if (TRDEditRDData* edited = EditAt(holder, itemNo, offset)) edited->Editor()->Invalidate();
    return deNone;
  }
  if (!place->CanInsertAt(itemNo, offset)) return deNone;
  // Our own selection is read now, before a move deletes what it would be made of.
  std::string preferredBytes;
  const TRDDragDropFormats preferred = own ? ReadOwnSelection(data, preferredBytes) : 0;
  if (own && move && !DeleteMovedPart(holder, itemNo, offset)) return deNone;
  TRDEditRDData* edited = EditAt(holder, itemNo, offset);
  if (!edited) {
    holder.Beep();
    return deNone;
  }
  target_ = edited->Editor();
  if (target_ != &editor_) target_->BeginDragOrResizeChange();
  if (caret_held_) {
    caret_held_ = false;
    root.EditData().EndDragDropCaret();
  }

  TRDOleDropEffect handlerEffect = rddeNone;
  if (root.OnOleDrop) {
    OpenFrame();
    // The proposal, as the drag events saw it.
    handlerEffect = move ? rddeMove : RDDropEffectOf(ChooseDropEffect(allowed, shift, false));
    bool doDefault = true;
    const TPoint at = ToRootClient(pt);
    root.OnOleDrop(&root, data, shift, at.X, at.Y, RDDropEffectsOf(allowed), handlerEffect,
                   doDefault);
    if (!doDefault) return DropEffectOf(handlerEffect);
  }
  const bool inserted =
      preferred ? InsertKind(data, preferred, &preferredBytes) : InsertFirstAccepted(data);
  if (!inserted) return deNone;
  if (handlerEffect != rddeNone) return DropEffectOf(handlerEffect);
  return move ? deMove : deCopy;
}

void TRDDropHandler::FinishDrop() {
  CloseFrame();
  if (TCustomRichDocEdit* group = std::exchange(group_, nullptr)) {
    // The steps of the cell the part went into join the deletion's: one step to undo.
    FlushCellEditorsUndo(*group);
    EndUndoGroup(*group);
  }
  if (target_ && target_ != &editor_) target_->EndDragOrResizeChange();
  target_ = nullptr;
  EndDrag();
  TRDEditRDData& active = editor_.ActiveEditor().EditData();
  if (active.HasCaret()) active.ShowCaret(false, true, true, false);
}

void TRDDropHandler::EndUndoGroup(TCustomRichDocEdit& editor) {
  TRDEditRDData& doc = editor.EditData();
  doc.SetUndoGroupMode(false);
  doc.UndoList->DropEmptyLastStep();
  editor.Change(true);
}

bool TRDDropHandler::InsideDocumentSelection(TCustomRDData& place) {
  // The item holding the position's document (a table around a cell) lies in the
  // selection of the document holding it, or further out: moving that selection takes
  // the position with it.
  for (TCustomRDData* data = &place; data;) {
    // An editor's document stands where the cell it edits stands.
    data = data->GetInplaceSourceData();
    const int itemNo = data->GetParentItemNo();
    TCustomRDData* parent = data->GetAbsoluteParentData();
    auto* formatted = dynamic_cast<TCustomRDFormattedData*>(parent);
    if (itemNo < 0 || !formatted) return false;
    if (formatted->IsPositionInSelection(itemNo, 0, true) &&
        formatted->IsPositionInSelection(itemNo, 1, true))
      return true;
    data = parent;
  }
  return false;
}

TRDEditRDData* TRDDropHandler::EditAt(TCustomRDData& holder, int itemNo, int offset) {
  auto* edited = dynamic_cast<TRDEditRDData*>(holder.StartEditing());
  TCustomRichDocEdit* editor = edited ? edited->Editor() : nullptr;
  if (!editor || itemNo < 0 || itemNo >= edited->GetItemCount()) return nullptr;
  // What is dropped goes here, not into a cell edited elsewhere in this document.
  editor->CloseInplaceEditor();
  edited->Deselect(false);
  edited->PlaceCaretAtItem(itemNo, offset, false);
  return edited;
}

TRDDragDropFormats TRDDropHandler::ReadOwnSelection(const TDataObject& data, std::string& bytes) {
  // The richest format this editor takes.
  const TRDDragDropFormats accept = editor_.AcceptDragDropFormats;
  TRDDragDropFormats preferred = 0;
  std::string format;
  if (accept & rdddRDF) {
    preferred = rdddRDF;
    format = kRichDocMimeType;
  } else if (accept & rdddRTF) {
    preferred = rdddRTF;
    format = "text/rtf";
  } else if ((accept & rdddBitmap) &&
             SelectionHolder(editor_.RootEditor().EditData()).GetSelectedPicture()) {
    preferred = rdddBitmap;
    format = FirstPictureFormat(data);
  } else if (accept & (rdddUnicodeText | rdddText)) {
    preferred = (accept & rdddUnicodeText) ? rdddUnicodeText : rdddText;
    format = "text/plain";
  }
  if (preferred && !data.GetData(format, bytes)) preferred = 0;
  return preferred;
}

bool TRDDropHandler::DeleteMovedPart(TCustomRDData& holder, int& itemNo, int& offset) {
  TCustomRichDocEdit& root = editor_.RootEditor();
  if (!root.BeforeChange(false)) return false;
  TRDEditRDData* doc = root.SelectDraggedPart();
  if (!doc) return false;
  TCustomRichDocEdit& source = *doc->Editor();
  // Deleting the part before a drop point in the same document moves the point: it
  // keeps its distance from the end of the document. A point in another document (a
  // cell) stays where it is.
  const bool sameDocument = doc->GetInplaceSourceData() == &holder;
  // What the cell editors recorded before the drop are steps of their own.
  if (!sameDocument) FlushCellEditorsUndo(root);
  int startNo, startOffs, endNo, endOffs;
  doc->GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  const bool after = sameDocument && (itemNo > endNo || (itemNo == endNo && offset >= endOffs));
  const int fromEnd = after ? doc->GetItemCount() - itemNo : 0;
  const int offsFromEnd = after ? doc->GetItemEndOffset(itemNo) - offset : 0;
  // A move within one document is one step of its editor; a move between documents one
  // step of the root editor, which takes in the steps of the cell editors.
  group_ = sameDocument ? &source : &root;
  TRDEditRDData& groupData = group_->EditData();
  groupData.BeginUndoStep(rdutInsert, true);
  groupData.SetUndoGroupMode(true);
  if (!source.BeforeChange(false) || !doc->DeleteSelectionWithUndo()) return false;
  moved_own_selection_ = true;
  // The deletion's step, before the drop closes the cell editor it was made in.
  if (!sameDocument) FlushCellEditorsUndo(root);
  if (after) {
    itemNo = std::clamp(doc->GetItemCount() - fromEnd, 0, doc->GetItemCount() - 1);
    offset = std::max(doc->GetItemEndOffset(itemNo) - offsFromEnd, doc->GetItemStartOffset(itemNo));
  }
  return true;
}

bool TRDDropHandler::InsertFirstAccepted(const TDataObject& data) {
  // Without a format of its own choosing, a drop takes the first it accepts that inserts
  // something. Plain text comes in Unicode; the two text kinds differ in how it goes in,
  // the one the current style prefers first.
  TRDEditRDData& doc = Target().EditData();
  const TRDDragDropFormats firstText =
      doc.IsUnicodeTextStyle(doc.CurTextStyleNo, doc.CurParaStyleNo) ? rdddUnicodeText : rdddText;
  const TRDDragDropFormats order[] = {rdddRDF,
                                      rdddRTF,
                                      rdddURL,
                                      firstText,
                                      TRDDragDropFormats((rdddText | rdddUnicodeText) & ~firstText),
                                      rdddBitmap,
                                      rdddFiles};
  for (TRDDragDropFormats kind : order)
    if ((editor_.AcceptDragDropFormats & kind) && InsertKind(data, kind, nullptr)) return true;
  return false;
}

bool TRDDropHandler::InsertKind(const TDataObject& data, TRDDragDropFormats kind,
                                const std::string* given) {
  std::string bytes;
  auto read = [&](const char* format) {
    if (given) {
      bytes = *given;
      return true;
    }
    return data.GetData(format, bytes);
  };
  TRDEditRDData& doc = Target().EditData();
  switch (kind) {
    case rdddRDF: {
      std::string document;
      if (!read(kRichDocMimeType) || !RichDocBlockDocument(bytes, document)) return false;
      TMemoryStream stream;
      stream.WriteBuffer(document.data(), int64_t(document.size()));
      stream.SetPosition(0);
      OpenFrame();
      return InsertWholeOrNothing(Target(),
                                  [&] { return Target().InsertRDFStreamAtCaret(stream); });
    }
    case rdddRTF: {
      if (given)
        bytes = *given;
      else
        bytes = DroppedRTF(data);
      if (bytes.empty()) return false;
      TMemoryStream stream;
      stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
      stream.SetPosition(0);
      OpenFrame();
      return InsertWholeOrNothing(Target(),
                                  [&] { return Target().InsertRTFStreamAtCaret(stream); });
    }
    case rdddURL: {
      if (!read(kUriListFormat)) return false;
      const std::vector<std::string> links = DroppedLinks(bytes);
      if (links.empty()) return false;
      OpenFrame();
      return InsertLink(data, links.front());
    }
    case rdddText:
    case rdddUnicodeText: {
      if (given)
        bytes = given->substr(0, given->find('\0'));
      else
        bytes = DroppedText(data);
      if (bytes.empty()) return false;
      const std::string wide = UTF8ToRawUnicode(bytes);
      OpenFrame();
      if (kind == rdddUnicodeText) return Target().InsertTextW(wide);
      return Target().InsertText(
          RawUnicodeToAnsi(doc.GetStyleCodePage(doc.GetCurrentTextStyleNo()), wide), false);
    }
    case rdddBitmap: {
      const std::string format = FirstPictureFormat(data);
      if (!given && (format.empty() || !data.GetData(format, bytes))) return false;
      if (given) bytes = *given;
      auto bitmap = std::make_unique<TBitmap>();
      if (!LoadBitmapFromImageBytes(bytes, *bitmap) || bitmap->Empty()) return false;
      OpenFrame();
      return Target().InsertPicture("", std::move(bitmap), rdvaBaseline);
    }
    case rdddFiles:
      return InsertFiles(data);
    default:
      return false;
  }
}

bool TRDDropHandler::InsertLink(const TDataObject& data, const std::string& url) {
  TCustomRichDocEdit& editor = Target().ActiveEditor();
  TRDEditRDData& doc = editor.EditData();
  if (!doc.GetAbsoluteRootData()->OnReadHyperlink) return editor.InsertText(url, false);
  std::string descriptor;
  if (!data.GetData(kFileGroupDescriptorFormat, descriptor)) descriptor.clear();
  std::string name = DroppedLinkText(url, descriptor);
  int styleNo = doc.CurTextStyleNo;
  TRDTag tag;
  doc.DoReadHyperlink(url, "", rdlfURL, styleNo, tag, name);
  // The link's style stays the current one for what is typed after it; a style the
  // sheet does not have is not taken.
  if (const TRDStyle* style = doc.GetRDStyle();
      style && styleNo >= 0 && styleNo < style->TextStyles().Count())
    editor.SetCurTextStyleNo(styleNo);
  return editor.InsertStringTag(name, tag);
}

bool TRDDropHandler::InsertFiles(const TDataObject& data) {
  const std::vector<std::string> files = DroppedFileNames(data);
  if (files.empty()) return false;
  OpenFrame();
  TCustomRichDocEdit& root = editor_.RootEditor();
  TRDDropFileAction action = rddfNone;
  bool doDefault = true;
  if (root.OnDropFiles) root.OnDropFiles(&root, files, action, doDefault);
  if (!doDefault) return action != rddfNone;
  bool any = false;
  for (const std::string& file : files) any = InsertFile(file) || any;
  return any;
}

bool TRDDropHandler::InsertFile(const std::string& fileName) {
  try {
    TPicture picture;
    picture.LoadFromFile(fileName);
    if (picture.Graphic() && !picture.Graphic()->Empty())
      return Target().InsertPicture("", picture.Graphic()->Clone(), rdvaBaseline);
  } catch (const EInvalidGraphic&) {
    // Not a picture: the extension tells what else it may be.
  } catch (const EStreamError&) {
    return false;
  }
  const std::string ext = Extension(fileName);
  try {
    if (ext == ".rtf") return Target().InsertRTFFileAtCaret(fileName);
    if (ext == ".rdf") return Target().InsertRDFFileAtCaret(fileName);
    if (ext == ".txt") return Target().InsertTextFromFile(fileName);
  } catch (const EStreamError&) {
    // A file that cannot be read is skipped like one of another kind.
  }
  return false;
}

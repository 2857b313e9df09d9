#include "richtext_edit/edit/editor_formats.h"

#include <cstdint>
#include <iterator>
#include <memory>

#include "platform/gui/standard/clipboard.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext_edit/edit/undo_list.h"

namespace {

// What the document's undo list recorded since a mark (its step count, its last step and
// that step's record count), taken out of the list: a step begun since (one more than
// there were, or one in the place of the empty step that was last), or the records added
// to the step that was open (a drop's frame). Undo is unlimited meanwhile, so no step
// went.
std::unique_ptr<TRDUndoInfos> TakeRecordedSince(TRDUndoList& undo, int steps,
                                                const TRDUndoInfos* open, int records) {
  TRDUndoInfos* last = undo.LastStep();
  if (!last) return nullptr;
  if (undo.Count() > steps || (last != open && records == 0 && undo.Count() == steps))
    return undo.ExtractLastStep();
  if (last != open || last->Count() <= records) return nullptr;
  auto taken = std::make_unique<TRDUndoInfos>();
  taken->CaretItemNo = last->CaretItemNo;
  taken->CaretOffs = last->CaretOffs;
  std::move(last->Records.begin() + records, last->Records.end(),
            std::back_inserter(taken->Records));
  last->Records.resize(size_t(records));
  return taken;
}

}  // namespace

unsigned RichDocClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("RichDoc Format", {kRichDocMimeType});
  return format;
}

unsigned RichTextClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("Rich Text Format");
  return format;
}

unsigned HtmlClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("HTML Format", {"text/html"});
  return format;
}

TRDDragDropFormats DragDropFormatOf(const std::string& format) {
  if (format == kRichDocMimeType) return rdddRDF;
  if (format == "text/rtf" || format == "application/rtf") return rdddRTF;
  // Text arrives in Unicode (UTF-8); either text format takes it.
  if (format == "text/plain" || format == "text/plain;charset=utf-8")
    return rdddText | rdddUnicodeText;
  if (format.rfind("image/", 0) == 0) return rdddBitmap;
  // Local files and links to elsewhere come in one list.
  if (format == kUriListFormat) return rdddFiles | rdddURL;
  return 0;
}

TRDOleDropEffect RDDropEffectOf(TDropEffects effect) {
  if (effect & deMove) return rddeMove;
  if (effect & deCopy) return rddeCopy;
  if (effect & deLink) return rddeLink;
  return rddeNone;
}

TDropEffect DropEffectOf(TRDOleDropEffect effect) {
  switch (effect) {
    case rddeCopy:
      return deCopy;
    case rddeMove:
      return deMove;
    case rddeLink:
      return deLink;
    default:
      return deNone;
  }
}

TRDOleDropEffects RDDropEffectsOf(TDropEffects effects) {
  TRDOleDropEffects result = 0;
  for (TRDOleDropEffect effect : {rddeCopy, rddeMove, rddeLink})
    if (effects & DropEffectOf(effect)) result |= TRDOleDropEffects(1u << effect);
  return result;
}

bool InsertWholeOrNothing(TCustomRichDocEdit& editor, const std::function<bool()>& insert) {
  TRDEditRDData& data = editor.ActiveEditor().EditData();
  TRDUndoList& undo = *data.UndoList;
  // The insertion is recorded even where undo is off, so that it can be taken back.
  const int limit = undo.Limit();
  undo.SetLimit(-1);
  struct TRestoreLimit {
    TRDUndoList& undo;
    int limit;
    ~TRestoreLimit() { undo.SetLimit(limit); }
  } restore{undo, limit};
  const int steps = undo.Count();
  const TRDUndoInfos* open = undo.LastStep();
  const int records = open ? open->Count() : 0;
  // Where the insertion goes: the selection it replaces, or the caret as the keys left
  // it (the bounds of an empty selection may still hold the last click).
  int startNo, startOffs, endNo, endOffs;
  data.GetSelectionBounds(startNo, startOffs, endNo, endOffs, false);
  if (startNo == endNo && startOffs == endOffs && data.GetCurrentItemNo() >= 0) {
    startNo = endNo = data.GetCurrentItemNo();
    startOffs = endOffs = data.GetOffsetInCurrentItem();
  }
  if (insert()) return true;
  std::unique_ptr<TRDUndoInfos> part = TakeRecordedSince(undo, steps, open, records);
  if (!part || part->Records.empty()) return false;
  // Taken back without a record of its own: there is nothing to redo.
  const std::uint8_t action = data.UndoAction;
  data.UndoAction = rduaNone;
  struct TRestoreAction {
    TRDEditRDData& data;
    std::uint8_t action;
    ~TRestoreAction() { data.UndoAction = action; }
  } restoreAction{data, action};
  part->Perform(data, true);
  // The selection the insertion replaced is back, for the next format to replace.
  data.SetSelectionBounds(startNo, startOffs, endNo, endOffs);
  data.MoveCaretToSelectionEnd(false);
  editor.Invalidate();
  return false;
}

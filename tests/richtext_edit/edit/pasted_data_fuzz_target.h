// The input the pasted-data fuzzer drives, shared by the libFuzzer program
// (fuzz/pasted_data_fuzz.cpp) and the test that replays its saved corpus: any bytes read
// as each thing a paste or a drop brings, then dropped onto an editor in every format it
// takes, and painted. It must run to the end on any bytes, and undo must give back the
// document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gui/controls/drag_drop.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/editor_drop.h"
#include "richtext_edit/edit/paint_offscreen.h"
#include "richtext_edit/edit/pasted_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_insert.h"

// Returns false when a check fails.
inline bool FuzzPastedData(const uint8_t* Data, size_t Size) {
  const std::string bytes(reinterpret_cast<const char*>(Data), Size);
  std::string document;
  if (RichDocBlockDocument(bytes, document) && document.size() + 4 > bytes.size()) return false;
  const std::string base = HtmlSourceBasePath(bytes);
  if (!base.empty() && base.back() != '/') return false;
  for (const std::string& link : DroppedLinks(bytes))
    if (link.empty() || link[0] == '#') return false;
  if (UTF8ToRawUnicode(bytes).size() % 2 != 0) return false;

  RegisterRTFInsertion();
  TRDStyle sheet;
  TRichDocEdit editor(nullptr);
  editor.SetStyle(&sheet);
  editor.SetBounds(0, 0, 300, 200);
  editor.EditData().AddItemAtEnd("start", CreateRDItem(0, &editor.EditData()));
  editor.FormatDocument();
  const int items = editor.ItemCount();
  for (const char* format :
       {kRichDocMimeType, "text/rtf", "text/plain", kUriListFormat, "image/png"}) {
    auto dragged = std::make_shared<TDragData>();
    dragged->Add(format, [&bytes](std::string& out) {
      out = bytes;
      return true;
    });
    TDropEffects effect = deCopy;
    editor.DropTarget().DragEnter(*dragged, 0, Point(20, 10), effect);
    if (effect == deNone) {
      editor.DropTarget().DragLeave();
      continue;
    }
    effect = deCopy;
    editor.DropTarget().Drop(*dragged, 0, Point(20, 10), effect);
  }
  // What was dropped is shown: laid out (the drop did that) and painted.
  PaintOffscreen(editor);
  while (editor.UndoAction() != rdutNone) editor.Undo();
  return editor.ItemCount() == items && editor.ReadItemText(0) == "start";
}

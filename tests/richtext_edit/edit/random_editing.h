// Random editing of a document through the editor's own key and mouse path, shared by the
// test that runs a fixed set of seeds and by the libFuzzer program that takes its
// operations from the fuzzer's bytes (fuzz/editing_fuzz.cpp).
//
// A run starts from a document of paragraphs, lists, tables (nested ones among them),
// pictures and a document written by LibreOffice (two tables with vertical merges, a
// nested table, three lists), makes its operations -- typing, Enter, Backspace, Delete
// and their word forms, arrows with and without Shift, styles, undo, redo, cut, copy and
// paste, text, RTF, picture and tab inserts, paragraphs of 2,000 to 20,000 characters,
// clicks, drags, drags of the selection, random selections, cell editors opened and
// closed, row and column inserts and deletes, merges, clears and styles of selected cells,
// table and cell properties (undone and redone like every other change), the window
// resized, the document saved in every file format and read back, and replaced (cleared,
// or read from what was saved) while a cell editor is open, text and text files dropped
// from outside (onto cells as often as not), column and row borders dragged while a cell
// is edited (and typing after), tables inserted into the active editor (nesting them,
// large ones now and then) -- and checks:
// - no operation threw, and nor did painting the document a replacement read or the
//   edits left;
// - after every operation, the layout built edit by edit -- lines, tables' rows and
//   columns, and the lines of every cell -- is the whole layout, in the document and in
//   every open cell editor, and no paragraph goes on across a table or break line (in
//   any editor's document or cell);
// - a document saved in every format while a cell editor is open is the document saved
//   once the editor has closed;
// - every save that reports success reads back: RDF to the same document (its HTML and
//   text), RTF without error; RDF in text form is no more than twice the binary form,
//   however deep the tables nest;
// - undoing everything gives the starting document byte for byte, and redoing everything
//   the document the run ended with, each laid out as a whole layout would, with the
//   runs starting with a cell editor open and with none.
#pragma once

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/paint_offscreen.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/rtf/rtf_insert.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_rows.h"

// What the starting document holds besides plain paragraphs.
struct TEditingStart {
  bool Lists = false;
  bool Tables = false;        // a table of plain cells
  bool NestedTables = false;  // a table with a table in one of its cells
  bool Pictures = false;
  bool LibreOffice = false;  // the document written by LibreOffice
};

namespace random_editing {

inline const char* const kPlainRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
    "\\pard First paragraph of plain words.\\par"
    "\\pard\\qc Centred {\\b bold} and {\\i italic} words.\\par}";

inline const char* const kListsRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1"
    "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
    "{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}"
    "\\fi-360\\li1440}\\listid1}}"
    "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"
    "\\pard\\ls1\\ilvl0\\fi-360\\li720 First item\\par"
    "\\pard\\ls1\\ilvl1\\fi-360\\li1440 Nested item\\par"
    "\\pard\\ls1\\ilvl0\\fi-360\\li720 Second item\\par}";

inline const char* const kTableRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
    "\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx6000"
    "\\pard\\intbl A1\\cell B1 words\\cell C1\\cell\\row"
    "\\trowd\\trgaph108\\clmgf\\cellx2000\\clmrg\\cellx4000\\cellx6000"
    "\\pard\\intbl A2 merged\\cell\\cell C2\\cell\\row"
    "\\pard After the table.\\par}";

inline const char* const kNestedTableRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
    "\\trowd\\trgaph108\\cellx3000\\cellx6000"
    "\\pard\\intbl Outer\\cell"
    "\\pard\\intbl\\itap2 Inner 1\\nestcell Inner 2\\nestcell"
    "{\\*\\nesttableprops\\trowd\\trgaph108\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
    "\\pard\\intbl\\itap1 After inner\\cell\\row"
    "\\pard Below.\\par}";

inline const char* const kPictureRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
    "\\pard Picture {\\pict\\dibitmap0\\picw4\\pich2\\picwgoal600\\pichgoal300 "
    "280000000400000002000000010018000000000018000000130b0000130b0000"
    "000000000000000000c8ff3cc8c378c887b4c84b0000ff3c00c3780087b4004b} in text.\\par}";

// What the run inserts as RTF: a list item, a table, a line.
inline const char* const kInsertedRtf[] = {
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b pasted} words}",
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard one\\par\\pard two\\par}",
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list\\listtemplateid2{\\listlevel"
    "\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
    "\\listid2}}{\\*\\listoverridetable{\\listoverride\\listid2\\listoverridecount0\\ls1}}"
    "\\pard\\ls1\\fi-360\\li720 listed\\par}",
    ("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\trowd\\cellx1500\\cellx3000"
     "\\pard\\intbl x\\cell y\\cell\\row\\pard z\\par}"),
};

// Written by LibreOffice from an HTML page (tests/data/rtf/README.md).
inline const std::string& LibreOfficeRtf() {
  static const std::string rtf = [] {
    std::ifstream file(std::string(VELMORA_TEST_DATA) + "/rtf/libreoffice_tables.rtf",
                       std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }();
  return rtf;
}

// The document in every format the editor writes, one after another.
inline std::string EveryFormat(TCustomRDData& data) {
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  SaveRTFToStream(data, stream, TRDRTFSaveParams());
  SaveHTMLToStream(data, stream, TRDHTMLSaveParams());
  SaveHTMLExToStream(data, stream, TRDHTMLSaveParams());
  SaveTextToStream(data, stream, 80, false, false, false, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// The document as HTML, with pictures named by their size, and as text.
inline std::string HTMLAndText(TCustomRDData& data) {
  TMemoryStream stream;
  SaveHTMLExToStream(data, stream, TRDHTMLSaveParams());
  SaveTextToStream(data, stream, 80, false, false, false, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

inline void Insert(TCustomRichDocEdit& edit, const std::string& rtf) {
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  edit.InsertRTFStreamAtCaret(stream);
}

}  // namespace random_editing

class TRandomEditing {
 public:
  // pick(n) gives a number below n; it answers -1 once it has nothing more to give.
  using TPick = std::function<int(int)>;

  TRandomEditing(const TEditingStart& start, TPick pick) : pick_(std::move(pick)) {
    RegisterTableItemClass();
    RegisterRTFInsertion();
    TFontInfo& bold = style_.TextStyles().Add();
    bold.Style = fsBold;
    TFontInfo& big = style_.TextStyles().Add();
    big.Size = 16;
    style_.TextStyles().Add().Unicode = true;
    style_.ParaStyles().Add().Alignment = rdaCenter;
    form_.SetBounds(0, 0, 520, 420);
    edit_.SetParent(&form_);
    edit_.SetBounds(0, 0, 500, 400);
    edit_.SetStyle(&style_);
    reader_.SetParent(&form_);
    reader_.SetBounds(0, 0, 500, 400);
    reader_.SetStyle(&style_);
    reader_.SetVisible(false);
    form_.Show();
    edit_.SetFocus();
    // Pictures of the HTML saves are named, not written.
    for (TRichDocEdit* editor : {&edit_, &reader_})
      editor->EditData().ExportHooks.OnHTMLSaveImage =
          [](const TGraphic& picture, const std::string&, std::string& location) {
            location = "picture" + std::to_string(picture.Width()) + "x" +
                       std::to_string(picture.Height());
            return true;
          };
    // What a key or mouse handler lets out ends at the event dispatch, here.
    saved_handler_ = Application->OnException;
    Application->OnException = [this](const std::exception& e) {
      if (thrown_.empty()) thrown_ = e.what();
    };
    Build(start);
  }
  ~TRandomEditing() { Application->OnException = saved_handler_; }
  TRandomEditing(const TRandomEditing&) = delete;
  TRandomEditing& operator=(const TRandomEditing&) = delete;

  // Runs up to operations operations and the checks; "" when all held, else what failed.
  std::string Run(int operations) {
    std::string failure;
    int done = 0;
    try {
      for (; done < operations && thrown_.empty() && failure.empty(); ++done) {
        if (!Operate()) break;
        failure = StaleSelection();
        if (failure.empty()) failure = ParagraphPastFullLine();
        if (failure.empty() && thrown_.empty()) failure = CheckLayout("the operation left");
      }
      // What the edits left is drawn as the window shows it, a cell editor open or not.
      if (failure.empty() && thrown_.empty()) PaintOffscreen(edit_);
    } catch (const std::exception& e) {
      thrown_ = e.what();
    }
    if (!thrown_.empty()) return Where(done) + "operation threw: " + thrown_;
    if (!saves_failure_.empty()) return Where(done) + saves_failure_;
    if (!failure.empty()) return Where(done) + failure;
    try {
      failure = Check();
    } catch (const std::exception& e) {
      thrown_ = e.what();
    }
    if (!thrown_.empty()) failure = "undo or redo threw: " + thrown_;
    return failure.empty() ? failure : Where(done) + failure;
  }

  TRichDocEdit& Editor() { return edit_; }

 private:
  std::string Where(int done) const {
    return "after " + std::to_string(done) + " operations (last " + last_ + "): ";
  }

  void Build(const TEditingStart& start) {
    using namespace random_editing;
    // What an earlier run copied would be pasted: every run starts from nothing copied.
    Clipboard().Clear();
    Insert(edit_, kPlainRtf);
    if (start.Lists) Insert(edit_, kListsRtf);
    if (start.Tables) Insert(edit_, kTableRtf);
    if (start.NestedTables) Insert(edit_, kNestedTableRtf);
    if (start.Pictures) Insert(edit_, kPictureRtf);
    if (start.LibreOffice) Insert(edit_, LibreOfficeRtf());
    Settle();
    edit_.CloseInplaceEditor();
    edit_.ClearUndo();
    edit_.EditData().FormatWhole();
    original_ = Bytes();
  }

  int Pick(int n) {
    const int value = pick_(n);
    if (value < 0) exhausted_ = true;
    return value < 0 ? 0 : value;
  }

  // One operation; false when the operations' source has run dry.
  bool Operate() {
    TCustomRichDocEdit& active = edit_.ActiveEditor();
    const int choice = Pick(38);
    if (exhausted_) return false;
    const TShiftState shift = Pick(3) == 0 ? ssShift : TShiftState(0);
    const TShiftState ctrl = Pick(4) == 0 ? ssCtrl : TShiftState(0);
    static const TKeyCode kArrows[] = {VK_LEFT, VK_RIGHT, VK_UP,    VK_DOWN,
                                       VK_HOME, VK_END,   VK_PRIOR, VK_NEXT};
    switch (choice) {
      case 0:
      case 1:
      case 2: {
        const char c = "abc de fgh ijk"[Pick(14)];
        last_ = std::string("type ") + c;
        SimulateKey(active, TKeyCode(c == ' ' ? ' ' : std::toupper(c)), std::string(1, c));
        break;
      }
      case 3:
        last_ = "enter";
        SimulateKey(active, VK_RETURN, "\r", shift);
        break;
      case 4:
        last_ = "backspace";
        SimulateKey(active, VK_BACK, ctrl ? "" : "\b", ctrl);
        break;
      case 5:
        last_ = "delete";
        SimulateKey(active, VK_DELETE, {}, ctrl);
        break;
      case 6:
      case 7:
      case 8: {
        const TKeyCode key = kArrows[Pick(8)];
        last_ = "arrow " + std::to_string(key) + (shift ? " shift" : "") + (ctrl ? " ctrl" : "");
        SimulateKey(active, key, {}, shift | (ctrl && key != VK_UP && key != VK_DOWN ? ctrl : 0));
        break;
      }
      case 9:
        last_ = "text style";
        edit_.ApplyTextStyle(Pick(style_.TextStyles().Count()));
        break;
      case 10:
        last_ = "paragraph style";
        edit_.ApplyParaStyle(Pick(style_.ParaStyles().Count()));
        break;
      case 11:
      case 12:
        last_ = "undo";
        SimulateKey(active, 'Z', {}, ssCtrl);
        break;
      case 13:
        last_ = "redo";
        SimulateKey(active, 'Z', {}, ssCtrl | ssShift);
        break;
      case 14: {
        static const char kCuts[] = {'X', 'C', 'V'};
        const char key = kCuts[Pick(3)];
        last_ = std::string("ctrl ") + key;
        SimulateKey(active, TKeyCode(key), {}, ssCtrl);
        break;
      }
      case 15:
        last_ = "insert text";
        edit_.InsertText(Pick(2) ? "new words" : "line one\r\nline two");
        break;
      case 16: {
        // Into whatever editor is active: a cell's when one is open.
        const int which = Pick(5);
        last_ = "insert rtf " + std::to_string(which);
        random_editing::Insert(active, which < 4 ? random_editing::kInsertedRtf[which]
                                                 : random_editing::LibreOfficeRtf());
        break;
      }
      case 17: {
        last_ = "insert picture";
        auto picture = std::make_unique<TBitmap>();
        picture->SetSize(8 + Pick(20), 6 + Pick(20));
        edit_.InsertPicture("", std::move(picture), rdvaBaseline);
        break;
      }
      case 18:
        last_ = "insert tab";
        edit_.InsertTab();
        break;
      case 19:
      case 20: {
        const int x = Pick(edit_.ClientWidth()), y = Pick(edit_.ClientHeight());
        last_ = "click " + std::to_string(x) + "," + std::to_string(y) + (shift ? " shift" : "");
        TScriptedDrags drags({{&edit_, x, y}}, false);
        SimulateMouseDown(edit_, mbLeft, x, y, shift);
        SimulateMouseUp(edit_, mbLeft, x, y, shift);
        break;
      }
      case 21: {
        const int x = Pick(edit_.ClientWidth()), y = Pick(edit_.ClientHeight());
        last_ = "drag";
        Drag(x, y);
        break;
      }
      case 22:
        DropFromOutside();
        break;
      case 23:
      case 24:
        TableOperation();
        break;
      case 25:
        OpenCellEditor();
        break;
      case 26: {
        last_ = "close the cell editor";
        if (std::string failure = CloseComparingSaves(); !failure.empty()) {
          saves_failure_ = failure;
          return false;
        }
        break;
      }
      case 27:
        DragSelection(active);
        break;
      case 28:
        if (Pick(8) == 0) {
          last_ = "insert a long paragraph";
          edit_.InsertText(LongParagraph());
        } else {
          last_ = "insert text into the active editor";
          active.InsertText(Pick(2) ? "cell words" : "one\r\ntwo");
        }
        break;
      case 29:
        last_ = "text style on the active editor";
        active.ApplyTextStyle(Pick(style_.TextStyles().Count()));
        break;
      case 30:
        DragBorderOfEditedTable();
        break;
      case 31: {
        const bool large = Pick(6) == 0;
        last_ = large ? "insert a large table" : "insert a table into the active editor";
        random_editing::Insert(active, large ? LargeTableRtf() : random_editing::kInsertedRtf[3]);
        break;
      }
      case 33:
        if (std::string failure = MoveBetweenPlaces(); !failure.empty()) {
          saves_failure_ = failure;
          return false;
        }
        break;
      case 34:
        PropertyChange();
        break;
      case 35:
        if (std::string failure = SaveAndReadBack(); !failure.empty()) {
          saves_failure_ = failure;
          return false;
        }
        break;
      case 36:
        ReplaceDocument();
        break;
      case 37: {
        // As often as not over an open cell editor, which follows its cell.
        if (Pick(2) != 0) OpenCellEditor();
        const int width = 150 + Pick(400), height = 100 + Pick(320);
        last_ = "resize to " + std::to_string(width) + "x" + std::to_string(height) +
                (edit_.InplaceEditor() ? " over a cell editor" : "");
        edit_.SetBounds(0, 0, width, height);
        break;
      }
      default: {
        TRDEditRDData& data = active.EditData();
        const int count = data.GetItemCount();
        if (count == 0) break;
        const int a = Pick(count), b = Pick(count);
        const int offsA = RandomOffset(data, a), offsB = RandomOffset(data, b);
        last_ = "select " + std::to_string(a) + ":" + std::to_string(offsA) + " " +
                std::to_string(b) + ":" + std::to_string(offsB);
        active.SetSelectionRange(a, offsA, b, offsB);
        break;
      }
    }
    Settle();
    return true;
  }

  // A drag from (x, y) to a random point; one that starts inside the selection moves (or
  // copies) it there.
  void Drag(int x, int y) {
    const int x2 = Pick(edit_.ClientWidth()), y2 = Pick(edit_.ClientHeight());
    last_ += " " + std::to_string(x) + "," + std::to_string(y) + " to " + std::to_string(x2) + "," +
             std::to_string(y2);
    const bool drop = Pick(3) != 0;
    const TShiftState keys = Pick(3) == 0 ? ssCtrl : TShiftState(0);
    TScriptedDrags drags({{&edit_, x2, y2, keys}}, drop);
    SimulateMouseDown(edit_, mbLeft, x, y);
    SimulateMouseMove(edit_, (x + x2) / 2, (y + y2) / 2, ssLeft);
    SimulateMouseMove(edit_, x2, y2, ssLeft);
    SimulateMouseUp(edit_, mbLeft, x2, y2);
  }

  // Selects a few whole items of the active editor's document (a cell's, as often as one
  // is open) and drags them from the middle of the first one's line. From a cell the root
  // editor runs the drag once the cell editor's move has been handled; the drop may close
  // the cell editor.
  void DragSelection(TCustomRichDocEdit& active) {
    last_ = &active == &edit_ ? "drag the selection" : "drag the selection of a cell";
    TRDEditRDData& data = active.EditData();
    const int count = data.GetItemCount();
    if (count == 0) return;
    const int first = Pick(count), last = first + Pick(std::min(3, count - first));
    active.SetSelectionRange(first, data.GetItemStartOffset(first), last,
                             data.GetItemEndOffset(last));
    Settle();
    const int line = data.GetItem(first)->DrawItemNo;
    if (line < 0 || line >= data.DrawItems.Count()) return;
    const TRDDrawLineInfo& drawn = *data.DrawItems[line];
    int originX, originY;
    data.GetOrigin(originX, originY);
    const TRect area = active.DocumentRect();
    const int x = drawn.Left + drawn.Width / 2 - data.GetHOffs() + originX + area.Left;
    const int y = drawn.Top + drawn.Height / 2 - data.GetVOffs() + originY + area.Top;
    if (x < 0 || y < 0 || x >= active.ClientWidth() || y >= active.ClientHeight()) return;
    if (&active == &edit_) {
      Drag(x, y);
      return;
    }
    const int x2 = Pick(edit_.ClientWidth()), y2 = Pick(edit_.ClientHeight());
    last_ += " " + std::to_string(first) + ".." + std::to_string(last) + " to " +
             std::to_string(x2) + "," + std::to_string(y2);
    const TShiftState keys = Pick(3) == 0 ? ssCtrl : TShiftState(0);
    TScriptedDrags drags({{&edit_, x2, y2, keys}}, Pick(3) != 0);
    SimulateMouseDown(active, mbLeft, x, y);
    SimulateMouseMove(active, x + 8, y, ssLeft | keys);
    Settle();
    // After a drag the button is up already; a press that started none ends here, in the
    // cell editor while it is open still.
    if (drags.Count() > 0) return;
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor())
      if (editor == &active) {
        SimulateMouseUp(active, mbLeft, x + 8, y);
        return;
      }
  }

  // A few items of a paragraph or of a cell (top-level or nested) dragged with the mouse
  // to the middle of a random line of the document, at any depth: one undo puts back the
  // document as it was before the move, byte for byte, and one redo makes the move again.
  // "" when both hold (or nothing moved).
  std::string MoveBetweenPlaces() {
    for (int depth = Pick(3); depth > 0; --depth) OpenCellEditor(&edit_.ActiveEditor());
    TCustomRichDocEdit& source = edit_.ActiveEditor();
    last_ = &source == &edit_ ? "move a part of the document" : "move a part of a cell";
    TRDEditRDData& data = source.EditData();
    const int count = data.GetItemCount();
    if (count == 0) return {};
    const int first = Pick(count), last = first + Pick(std::min(2, count - first));
    source.SetSelectionRange(first, data.GetItemStartOffset(first), last,
                             data.GetItemEndOffset(last));
    Settle();
    const int line = data.GetItem(first)->DrawItemNo;
    // Lines of the document, of cells and of nested cells, in turn.
    std::vector<TPoint> targets[3];
    int depth = 0;
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor(), ++depth)
      LineMiddles(*editor, editor->EditData(), EditorOrigin(*editor), depth, targets);
    std::vector<TPoint>& at = targets[Pick(3)];
    if (line < 0 || line >= data.DrawItems.Count() || at.empty()) return {};
    const TPoint press = ClientOfLine(source, data, line);
    const TPoint to = at[size_t(Pick(int(at.size())))];
    last_ += " " + std::to_string(first) + ".." + std::to_string(last) + " to " +
             std::to_string(to.X) + "," + std::to_string(to.Y);
    if (press.X < 0 || press.Y < 0 || press.X >= source.ClientWidth() ||
        press.Y >= source.ClientHeight())
      return {};
    const std::string before = Bytes();
    {
      TScriptedDrags drags({{&edit_, to.X, to.Y}});
      SimulateMouseDown(source, mbLeft, press.X, press.Y);
      SimulateMouseMove(source, press.X + 8, press.Y, ssLeft);
      Settle();
      if (drags.Count() == 0) {
        for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor())
          if (editor == &source) SimulateMouseUp(source, mbLeft, press.X + 8, press.Y);
        return {};
      }
    }
    Settle();
    const std::string after = Bytes();
    if (after == before) return {};
    SimulateKey(edit_.ActiveEditor(), 'Z', {}, ssCtrl);
    Settle();
    if (const std::string undone = Bytes(); undone != before)
      return "one undo does not take the move back" + Difference(before, undone);
    SimulateKey(edit_.ActiveEditor(), 'Z', {}, ssCtrl | ssShift);
    Settle();
    if (const std::string redone = Bytes(); redone != after)
      return "one redo does not make the move again" + Difference(after, redone);
    return {};
  }

  // Where an editor's document starts in the root editor's client area (unscrolled).
  TPoint EditorOrigin(TCustomRichDocEdit& editor) {
    const TRect area = editor.DocumentRect();
    int originX, originY;
    editor.EditData().GetOrigin(originX, originY);
    return edit_.ScreenToClient(
        editor.ClientToScreen(Point(area.Left + originX, area.Top + originY)));
  }

  // The client point of the middle of a line of an editor's document.
  static TPoint ClientOfLine(TCustomRichDocEdit& editor, TRDEditRDData& data, int line) {
    const TRDDrawLineInfo& drawn = *data.DrawItems[line];
    int originX, originY;
    data.GetOrigin(originX, originY);
    const TRect area = editor.DocumentRect();
    return Point(drawn.Left + drawn.Width / 2 - data.GetHOffs() + originX + area.Left,
                 drawn.Top + drawn.Height / 2 - data.GetVOffs() + originY + area.Top);
  }

  // The middles of the lines of a document at depth (0 the root editor's) that the root
  // editor shows with its top left corner at origin, and of the lines of the cells of its
  // tables at any depth (a cell with an editor open over it: that editor's document),
  // inside the root editor's client area: points[depth], depth at most 2.
  void LineMiddles(TCustomRichDocEdit& editor, TCustomRDFormattedData& data, TPoint origin,
                   int depth, std::vector<TPoint> (&points)[3]) {
    const int scrollX = &data == &editor.EditData() ? data.GetHOffs() : 0;
    const int scrollY = &data == &editor.EditData() ? data.GetVOffs() : 0;
    for (int d = 0; d < data.DrawItems.Count(); ++d) {
      const TRDDrawLineInfo& line = *data.DrawItems[d];
      const int left = origin.X + line.Left - scrollX, top = origin.Y + line.Top - scrollY;
      const TPoint middle = Point(left + line.Width / 2, top + line.Height / 2);
      if (middle.X >= 0 && middle.Y >= 0 && middle.X < edit_.ClientWidth() &&
          middle.Y < edit_.ClientHeight())
        points[std::min(depth, 2)].push_back(middle);
      auto* table = dynamic_cast<TRDTableItemInfo*>(data.GetItem(line.ItemNo));
      if (!table || table->FormattingInfo->RowStarts.Count() != table->RowCount()) continue;
      int editedRow, editedCol;
      const bool edited = table->GetEditedCell(editedRow, editedCol) != nullptr;
      for (int row = 0; row < table->RowCount(); ++row)
        for (int col = 0; col < table->ColCount(); ++col) {
          TRDTableCellData* cell = table->Rows->Cell(row, col);
          if (!cell || (edited && row == editedRow && col == editedCol)) continue;
          LineMiddles(editor, *cell,
                      Point(left + cell->Left() + table->CellPadding(),
                            top + cell->Top + table->CellPadding()),
                      depth + 1, points);
        }
    }
  }

  // The client point of a point relative to a table of the root editor's document.
  TPoint ClientOfTable(TRDTableItemInfo& table, int x, int y) {
    TRDEditRDData& data = edit_.EditData();
    int left = 0, top = 0, originX, originY;
    data.GetItemCoords(data.GetItemNo(&table), left, top);
    data.GetOrigin(originX, originY);
    const TRect area = edit_.DocumentRect();
    return Point(left + x - data.GetHOffs() + originX + area.Left,
                 top + y - data.GetVOffs() + originY + area.Top);
  }

  // A table of the root editor's document with a laid-out grid, or none.
  TRDTableItemInfo* RootTable() {
    std::vector<TRDTableItemInfo*> tables;
    for (const auto& [table, editor] : Tables())
      if (editor == &edit_ && table->RowCount() > 0 && table->ColCount() > 0 &&
          table->FormattingInfo->ColStarts.Count() == table->ColCount() &&
          table->FormattingInfo->RowStarts.Count() == table->RowCount())
        tables.push_back(table);
    return tables.empty() ? nullptr : tables[size_t(Pick(int(tables.size())))];
  }

  // Text, or a text file, dragged in from outside and dropped on a random point: as
  // often as not in the middle of a cell of a table of the document.
  void DropFromOutside() {
    int x = Pick(edit_.ClientWidth()), y = Pick(edit_.ClientHeight());
    if (TRDTableItemInfo* table = Pick(2) == 0 ? RootTable() : nullptr) {
      int row, col;
      if (table->Rows->GetMainCell(Pick(table->RowCount()), Pick(table->ColCount()), row, col)) {
        const TRDTableCellData& cell = *table->Cells(row, col);
        const TPoint p = ClientOfTable(*table, cell.Left() + cell.Width / 2, cell.Top + 3);
        x = p.X;
        y = p.Y;
      }
    }
    const bool file = Pick(3) == 0;
    last_ = std::string("drop ") + (file ? "a text file" : "text") + " at " + std::to_string(x) +
            "," + std::to_string(y);
    if (x < 0 || y < 0 || x >= edit_.ClientWidth() || y >= edit_.ClientHeight()) return;
    static const std::string dropped = [] {
      const std::string name =
          (std::filesystem::temp_directory_path() / "velmora_random_drop.txt").string();
      std::ofstream(name, std::ios::binary) << "dropped from a file";
      return name;
    }();
    const std::string bytes = file ? UriListOf({dropped}) : "dropped words";
    auto data = std::make_shared<TDragData>();
    data->Add(file ? kUriListFormat : "text/plain", [bytes](std::string& out) {
      out = bytes;
      return true;
    });
    TScriptedDrags drags({{&edit_, x, y}});
    DoDragDrop(reader_, std::move(data), deCopy);
  }

  // A column or row border of a table of the document dragged while one of its cells is
  // edited; then a key typed, which goes into that cell again.
  void DragBorderOfEditedTable() {
    last_ = "drag a border without a table";
    TRDTableItemInfo* table = RootTable();
    if (!table) return;
    int row, col;
    if (!table->Rows->GetMainCell(Pick(table->RowCount()), Pick(table->ColCount()), row, col))
      return;
    table->EditCell(row, col, false);
    Settle();
    const TRDTableItemFormattingInfo& info = *table->FormattingInfo;
    const bool columns = table->ColCount() > 1 && (table->RowCount() == 1 || Pick(2) == 0);
    if (!columns && table->RowCount() == 1) return;
    const int border = 1 + Pick(columns ? table->ColCount() - 1 : table->RowCount() - 1);
    const TPoint p = columns
                         ? ClientOfTable(*table, info.ColStarts[border] - 1, info.RowStarts[0] + 2)
                         : ClientOfTable(*table, info.ColStarts[0] + 2, info.RowStarts[border] - 1);
    const int by = Pick(41) - 20;
    last_ = std::string("drag ") + (columns ? "column" : "row") + " border " +
            std::to_string(border) + " by " + std::to_string(by) + " editing cell " +
            std::to_string(row) + "," + std::to_string(col);
    if (p.X < 0 || p.Y < 0 || p.X >= edit_.ClientWidth() || p.Y >= edit_.ClientHeight()) return;
    TScriptedDrags drags({{&edit_, p.X, p.Y}}, false);
    SimulateMouseDown(edit_, mbLeft, p.X, p.Y);
    SimulateMouseMove(edit_, p.X + (columns ? by : 0), p.Y + (columns ? 0 : by), ssLeft);
    SimulateMouseUp(edit_, mbLeft, p.X + (columns ? by : 0), p.Y + (columns ? 0 : by));
    Settle();
    SimulateKey(edit_.ActiveEditor(), 'Q', "q");
  }

  // A table of 25 rows of 5 cells with a few words in each.
  static const std::string& LargeTableRtf() {
    static const std::string rtf = [] {
      std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
      for (int r = 0; r < 25; ++r) {
        text += "\\trowd";
        for (int c = 1; c <= 5; ++c) text += "\\cellx" + std::to_string(c * 1200);
        for (int c = 0; c < 5; ++c)
          text += "\\pard\\intbl N0CALL-" + std::to_string(r) + " " + std::to_string(c) + "\\cell";
        text += "\\row";
      }
      return text + "\\pard\\par}";
    }();
    return rtf;
  }

  // Words enough for a paragraph of 2,000 to 20,000 characters.
  std::string LongParagraph() {
    static const char* const kWords[] = {"station", "beacon", "WIDE1-1", "relay", "heard"};
    const size_t length = size_t(2000 + Pick(18001));
    std::string text;
    for (int word = Pick(5); text.size() < length; ++word)
      text += std::string(kWords[word % 5]) + ' ';
    return text;
  }

  // The tables of every open editor's document, the outermost first, with the editor.
  std::vector<std::pair<TRDTableItemInfo*, TCustomRichDocEdit*>> Tables() {
    std::vector<std::pair<TRDTableItemInfo*, TCustomRichDocEdit*>> tables;
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor()) {
      const TRDEditRDData& data = editor->EditData();
      for (int i = 0; i < data.GetItemCount(); ++i)
        if (auto* table = dynamic_cast<TRDTableItemInfo*>(data.GetItem(i)))
          tables.emplace_back(table, editor);
    }
    return tables;
  }

  // A row or column insert or delete, a merge, a clear or a style over cells of a table.
  void TableOperation() {
    last_ = "table operation without a table";
    const auto tables = Tables();
    if (tables.empty()) return;
    const auto [table, editor] = tables[size_t(Pick(int(tables.size())))];
    const int rows = table->RowCount(), cols = table->ColCount();
    if (rows == 0 || cols == 0) return;
    const int row = Pick(rows), col = Pick(cols);
    // Never every row or every column: the table keeps a cell.
    const int rowCount = std::max(1, Pick(rows - row) + 1 - (row == 0 && rows > 1));
    const int colCount = std::max(1, Pick(cols - col) + 1 - (col == 0 && cols > 1));
    const std::string where = " of table " + std::to_string(editor->EditData().GetItemNo(table)) +
                              " at " + std::to_string(row) + "," + std::to_string(col) + " " +
                              std::to_string(colCount) + "x" + std::to_string(rowCount);
    switch (Pick(8)) {
      case 0:
        last_ = "insert rows" + where;
        table->InsertRows(row + Pick(2), 1 + Pick(2), Pick(2) ? row : -1, false);
        break;
      case 1:
        last_ = "insert columns" + where;
        table->InsertCols(col + Pick(2), 1 + Pick(2), Pick(2) ? col : -1, false);
        break;
      case 2:
        last_ = "delete rows" + where;
        if (rows > 1) table->DeleteRows(row, rowCount, Pick(2) != 0);
        break;
      case 3:
        last_ = "delete columns" + where;
        if (cols > 1) table->DeleteCols(col, colCount, Pick(2) != 0);
        break;
      case 4:
        last_ = "merge" + where;
        if (table->Rows->CanMergeCells(row, col, colCount, rowCount, true))
          table->MergeCellsWithUndo(row, col, colCount, rowCount, true);
        break;
      case 5:
        last_ = "clear" + where;
        table->Select(row, col, colCount - 1, rowCount - 1);
        if (table->CanClearSelectedCells()) table->ClearSelectedCells();
        break;
      default: {
        const bool text = Pick(2) != 0;
        last_ = (text ? "text style over cells" : "paragraph style over cells") + where;
        table->Select(row, col, colCount - 1, rowCount - 1);
        text ? editor->ApplyTextStyle(Pick(style_.TextStyles().Count()))
             : editor->ApplyParaStyle(Pick(style_.ParaStyles().Count()));
        break;
      }
    }
  }

  // A table or cell property of a random table set to a random value (to its own value
  // as often as not), laid out as the editor holding the table lays it out.
  void PropertyChange() {
    last_ = "property without a table";
    const auto tables = Tables();
    if (tables.empty()) return;
    const auto [table, editor] = tables[size_t(Pick(int(tables.size())))];
    const int rows = table->RowCount(), cols = table->ColCount();
    int row = 0, col = 0;
    if (rows > 0 && cols > 0 && !table->Rows->GetMainCell(Pick(rows), Pick(cols), row, col)) return;
    const bool cell = rows > 0 && cols > 0 && Pick(2) != 0;
    const int value = Pick(3) == 0 ? 0 : Pick(24) - 4;
    const int which = Pick(cell ? 6 : 12);
    last_ = std::string(cell ? "cell" : "table") + " property " + std::to_string(which) + " = " +
            std::to_string(value) + " of table " +
            std::to_string(editor->EditData().GetItemNo(table)) +
            (cell ? " at " + std::to_string(row) + "," + std::to_string(col) : "");
    if (cell) {
      switch (which) {
        case 0:
          table->SetCellBestWidth(value * 10, row, col);
          break;
        case 1:
          table->SetCellBestHeight(value * 5, row, col);
          break;
        case 2:
          table->SetCellHint(value ? "hint " + std::to_string(value) : "", row, col);
          break;
        case 3:
          table->SetCellBackgroundImageFileName(value ? "back.png" : "", row, col);
          break;
        case 4:
          table->SetCellVisibleBorders(-1, row, col, value & 1, value & 2, value & 4, value & 8);
          break;
        default:
          table->SetCellBestWidth(-std::abs(value) * 5, row, col);
          break;
      }
    } else {
      using TSetter = void (TRDTableItemInfo::*)(int);
      static const TSetter kSetters[] = {
          &TRDTableItemInfo::SetCellVSpacing,    &TRDTableItemInfo::SetBorderVSpacing,
          &TRDTableItemInfo::SetCellHSpacing,    &TRDTableItemInfo::SetBorderHSpacing,
          &TRDTableItemInfo::SetCellPadding,     &TRDTableItemInfo::SetBorderWidth,
          &TRDTableItemInfo::SetCellBorderWidth, &TRDTableItemInfo::SetHRuleWidth,
          &TRDTableItemInfo::SetVRuleWidth,      &TRDTableItemInfo::SetHeadingRowCount};
      // Spacings may be negative (borders overlap); the other lengths are not.
      if (which < 10)
        (table->*kSetters[which])(which < 4 ? value : std::abs(value));
      else if (which == 10)
        table->SetBestWidth(value * 20);
      else
        table->SetColor(value ? TColor((0x102030 * std::abs(value)) & 0xFFFFFF) : clNone);
    }
    // The application lays the document out again, the editor holding the table first.
    std::vector<TCustomRichDocEdit*> editors;
    for (TCustomRichDocEdit* e = &edit_; e; e = e->InplaceEditor()) editors.push_back(e);
    for (auto e = editors.rbegin(); e != editors.rend(); ++e) (*e)->FormatDocument();
  }

  // The document saved in every file format, with the cell editors as they are, and each
  // save that reports success read back into another editor: RDF to the same document.
  std::string SaveAndReadBack() {
    last_ = "save and read back";
    const TRDFOptions options = edit_.RDFOptions;
    size_t sizes[2] = {0, 0};
    for (int format = 0; format < 3; ++format) {
      const bool rdf = format < 2;
      edit_.RDFOptions = format == 0 ? options & ~rdfoSaveBinary : options | rdfoSaveBinary;
      reader_.RDFOptions = edit_.RDFOptions;
      TMemoryStream saved;
      const bool ok = rdf ? edit_.SaveRDFToStream(saved, false)
                          : SaveRTFToStream(edit_.EditData(), saved, TRDRTFSaveParams());
      edit_.RDFOptions = options;
      if (!ok) continue;
      if (rdf) sizes[format] = size_t(saved.Size());
      const std::string name = format == 0 ? "RDF" : format == 1 ? "binary RDF" : "RTF";
      saved.SetPosition(0);
      reader_.ClearDocument();
      if (!(rdf ? reader_.LoadRDFFromStream(saved) : LoadRTFFromStream(reader_.EditData(), saved)))
        return name + " saved does not read back";
      if (!rdf) continue;
      reader_.SetBounds(0, 0, edit_.Width(), edit_.Height());
      reader_.FormatDocument();
      // Pictures may come back in another pixel format: the HTML and the text compare.
      const std::string want = random_editing::HTMLAndText(edit_.EditData());
      const std::string got = random_editing::HTMLAndText(reader_.EditData());
      if (want != got) return name + " read back is another document" + Difference(want, got);
    }
    // The text form spells the binary one's blocks in hex once, however deep they nest.
    if (sizes[0] > 2 * sizes[1] + 1024)
      return "RDF in text form takes " + std::to_string(sizes[0]) + " bytes, the binary form " +
             std::to_string(sizes[1]);
    return {};
  }

  // With a cell editor open as often as not: the document cleared and given a paragraph,
  // or read from what it saves; then the focus comes back and a click lands. Undoing
  // everything gives that document.
  void ReplaceDocument() {
    if (Pick(2) != 0) OpenCellEditor();
    const int how = Pick(3);
    last_ = std::string("replace the document ") +
            (how == 0   ? "cleared"
             : how == 1 ? "RDF"
                        : "RTF") +
            (edit_.InplaceEditor() ? " under a cell editor" : "");
    TMemoryStream saved;
    if (how == 1) edit_.SaveRDFToStream(saved, false);
    if (how == 2) SaveRTFToStream(edit_.EditData(), saved, TRDRTFSaveParams());
    saved.SetPosition(0);
    edit_.ClearDocument();
    if (how == 1) edit_.LoadRDFFromStream(saved);
    if (how == 2) LoadRTFFromStream(edit_.EditData(), saved);
    if (edit_.EditData().GetItemCount() == 0) edit_.AddTextParagraph("Replaced.", 0, 0);
    edit_.FormatDocument();
    PaintOffscreen(edit_);
    edit_.SetFocus();
    TScriptedDrags drags({{&edit_, 10, 10}}, false);
    SimulateMouseDown(edit_, mbLeft, 10, 10);
    SimulateMouseUp(edit_, mbLeft, 10, 10);
    Settle();
    edit_.CloseInplaceEditor();
    edit_.ClearUndo();
    edit_.EditData().FormatWhole();
    original_ = Bytes();
  }

  // Opens the editor of a random cell of a random table.
  // Only a table of that editor's document when in is given.
  void OpenCellEditor(const TCustomRichDocEdit* in = nullptr) {
    last_ = "edit a cell without a table";
    auto tables = Tables();
    std::erase_if(tables, [in](const auto& table) { return in && table.second != in; });
    if (tables.empty()) return;
    TRDTableItemInfo& table = *tables[size_t(Pick(int(tables.size())))].first;
    if (table.RowCount() == 0 || table.ColCount() == 0) return;
    int row, col;
    if (!table.Rows->GetMainCell(Pick(table.RowCount()), Pick(table.ColCount()), row, col)) return;
    last_ = "edit cell " + std::to_string(row) + "," + std::to_string(col);
    table.EditCell(row, col, false);
  }

  // Closes the cell editors; "" when the document saved in every format before that is
  // the document saved after.
  std::string CloseComparingSaves() {
    if (!edit_.InplaceEditor()) return {};
    // Both laid out whole: the layout after each operation is checked on its own, and the
    // RTF writer takes the cells' widths from it.
    edit_.EditData().FormatWhole();
    const std::string open = random_editing::EveryFormat(edit_.EditData());
    edit_.CloseInplaceEditor();
    Settle();
    edit_.EditData().FormatWhole();
    const std::string closed = random_editing::EveryFormat(edit_.EditData());
    if (open == closed) return {};
    return "the document saved with a cell editor open is not the one saved after it closed" +
           Difference(closed, open);
  }

  // "" when every editor's selection names lines its layout holds (or none): an edit
  // that leaves one behind reads the lines of another layout with the next selection.
  std::string StaleSelection() {
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor()) {
      const TRDEditRDData& data = editor->EditData();
      const int lines = data.DrawItems.Count();
      if (data.SelStartDItem >= lines || data.SelEndDItem >= lines)
        return "the selection (lines " + std::to_string(data.SelStartDItem) + " to " +
               std::to_string(data.SelEndDItem) + ") is not in the layout of " +
               std::to_string(lines) + " lines";
    }
    return {};
  }

  // "" when no item of any editor's document, or of any cell inside one, goes on with a
  // paragraph across a table or break line: the writers, a document read back and a
  // closing cell editor all start a paragraph there.
  std::string ParagraphPastFullLine() {
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor())
      if (std::string failure = ParagraphPastFullLine(editor->EditData()); !failure.empty())
        return failure + (editor == &edit_ ? "" : " of a cell editor");
    return {};
  }

  static std::string ParagraphPastFullLine(const TCustomRDData& data) {
    for (int i = 0; i < data.GetItemCount(); ++i) {
      const TCustomRDItemInfo& item = *data.GetItem(i);
      if (i > 0 && item.GetContinuesPara() &&
          (item.IsFullLine() || data.GetItem(i - 1)->IsFullLine()))
        return "item " + std::to_string(i) + " continues a paragraph across a table or break line";
      const auto* table = dynamic_cast<const TRDTableItemInfo*>(&item);
      for (int row = 0; table && row < table->RowCount(); ++row)
        for (int col = 0; col < table->ColCount(); ++col)
          if (const TRDTableCellData* cell = table->Rows->Cell(row, col))
            if (std::string failure = ParagraphPastFullLine(*cell); !failure.empty())
              return failure + " in cell " + std::to_string(row) + "," + std::to_string(col) +
                     " of table " + std::to_string(i);
    }
    return {};
  }

  int RandomOffset(TRDEditRDData& data, int itemNo) {
    const int first = data.GetItemStartOffset(itemNo), end = data.GetItemEndOffset(itemNo);
    return first + Pick(end - first + 1);
  }

  // Runs what the editors queued for later (cell editors closing, undo of cell edits).
  void Settle() {
    for (int round = 0; round < 200 && AnythingQueued(); ++round) {
      Application->ProcessMessages();
      if (AnythingQueued()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  bool AnythingQueued() {
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor())
      if (editor->CallsQueued()) return true;
    return false;
  }

  std::string Bytes() {
    TMemoryStream stream;
    SaveRDFToStream(edit_.EditData(), stream, false);
    return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  }

  // The lines of a layout, and inside each table its rows, columns and cells' lines.
  static std::string Layout(const TCustomRDFormattedData& data) {
    std::ostringstream out;
    AddLayout(data, out, "");
    return out.str();
  }

  static void AddLayout(const TCustomRDFormattedData& data, std::ostringstream& out,
                        const std::string& in) {
    for (int d = 0; d < data.DrawItems.Count(); ++d) {
      const TRDDrawLineInfo& line = *data.DrawItems[d];
      out << in << d << ": item " << line.ItemNo << ' ' << line.Offs << '+' << line.Length << " at "
          << line.Left << ',' << line.Top << ' ' << line.Width << 'x' << line.Height
          << (line.FromNewLine ? " new" : "") << '\n';
    }
    for (int i = 0; i < data.GetItemCount(); ++i) {
      out << in << "item " << i << " draws from " << data.GetItem(i)->DrawItemNo << '\n';
      const auto* table = dynamic_cast<const TRDTableItemInfo*>(data.GetItem(i));
      if (!table) continue;
      const TRDTableItemFormattingInfo& info = *table->FormattingInfo;
      out << in << " table " << info.Width << 'x' << info.Height << " columns";
      for (int c = 0; c < info.ColStarts.Count() && c < info.ColWidths.Count(); ++c)
        out << ' ' << info.ColStarts[c] << '+' << info.ColWidths[c];
      out << " rows";
      for (int r = 0; r < info.RowStarts.Count() && r < info.RowHeights.Count(); ++r)
        out << ' ' << info.RowStarts[r] << '+' << info.RowHeights[r];
      out << '\n';
      for (int row = 0; row < table->RowCount(); ++row)
        for (int col = 0; col < table->ColCount(); ++col)
          if (const TRDTableCellData* cell = table->Rows->Cell(row, col))
            AddLayout(*cell, out,
                      in + "  " + std::to_string(row) + "," + std::to_string(col) + " ");
    }
    out << in << "height " << data.DocumentHeight << '\n';
  }

  // The lines of a layout from the one before the first that differs from the other's.
  static std::string FirstLines(const std::string& layout, const std::string& other) {
    size_t at = 0;
    while (at < layout.size() && at < other.size() && layout[at] == other[at]) ++at;
    size_t from = layout.rfind('\n', at);
    from = from == std::string::npos ? 0 : layout.rfind('\n', from - (from > 0));
    from = from == std::string::npos ? 0 : from + 1;
    size_t to = from;
    for (int line = 0; line < 4 && to != std::string::npos; ++line) to = layout.find('\n', to + 1);
    return layout.substr(from, to == std::string::npos ? std::string::npos : to - from + 1);
  }

  // "" when the layout the edits left is the whole layout, in the document and in every
  // open cell editor. Every layout is read before any is laid out again, and a whole
  // layout of the document must leave the cell editors' layouts as they were: it places
  // and sizes the cells they show.
  std::string CheckLayout(const std::string& when) {
    std::vector<std::pair<TCustomRichDocEdit*, std::string>> layouts;
    for (TCustomRichDocEdit* editor = &edit_; editor; editor = editor->InplaceEditor())
      layouts.emplace_back(editor, Layout(editor->EditData()));
    for (const auto& [editor, incremental] : layouts) {
      const bool cell = editor != &edit_;
      TRDEditRDData& data = editor->EditData();
      if (cell && Layout(data) != incremental)
        return "a whole layout of the document " + when + " changed a cell editor's layout";
      data.FormatWhole();
      const std::string whole = Layout(data);
      if (incremental != whole)
        return "the layout " + when + (cell ? " in a cell editor" : "") +
               " is not the whole layout:\n" + FirstLines(incremental, whole) + "-- whole:\n" +
               FirstLines(whole, incremental);
    }
    return {};
  }

  // Takes back (or makes again) everything, one command at a time.
  void Repeat(bool undo) {
    // From a cell editor left open as often as from none.
    if (Pick(2) != 0) OpenCellEditor();
    Settle();
    for (int guard = 0; guard < 200000; ++guard) {
      const TRDUndoType kind = undo ? edit_.UndoAction() : edit_.RedoAction();
      if (kind == rdutNone) break;
      undo ? edit_.Undo() : edit_.Redo();
      Settle();
      if (!thrown_.empty()) return;
    }
    edit_.CloseInplaceEditor();
    Settle();
  }

  // Where two documents' bytes part, with a little of each from there.
  static std::string Difference(const std::string& want, const std::string& got) {
    size_t at = 0;
    while (at < want.size() && at < got.size() && want[at] == got[at]) ++at;
    const size_t from = at > 40 ? at - 40 : 0;
    return " (from byte " + std::to_string(at) + ": wanted [" + want.substr(from, 120) +
           "], got [" + got.substr(from, 120) + "])";
  }

  std::string Check() {
    edit_.CloseInplaceEditor();
    Settle();
    if (std::string failure = CheckLayout("the edits left"); !failure.empty()) return failure;
    // What is left to redo is made first: redoing everything ends there.
    Repeat(false);
    if (!thrown_.empty()) return {};
    const std::string final = Bytes();
    Repeat(true);
    if (!thrown_.empty()) return {};
    if (const std::string undone = Bytes(); undone != original_)
      return "undoing everything does not give the starting document" +
             Difference(original_, undone);
    if (std::string failure = CheckLayout("after undoing everything"); !failure.empty())
      return failure;
    Repeat(false);
    if (!thrown_.empty()) return {};
    if (const std::string redone = Bytes(); redone != final)
      return "redoing everything does not give the edited document" + Difference(final, redone);
    return CheckLayout("after redoing everything");
  }

  std::string saves_failure_;
  TPick pick_;
  std::function<void(const std::exception&)> saved_handler_;
  std::string thrown_;
  bool exhausted_ = false;
  std::string last_;
  TRDStyle style_;
  TForm form_{nullptr};
  TRichDocEdit edit_{nullptr};
  // Where saves are read back.
  TRichDocEdit reader_{nullptr};
  std::string original_;
};

// A run of operations operations drawn from a generator seeded with seed.
inline std::string RunSeededEditing(const TEditingStart& start, unsigned seed, int operations) {
  std::mt19937 generator(seed);
  TRandomEditing editing(
      start, [&generator](int n) { return n <= 1 ? 0 : int(generator() % unsigned(n)); });
  return editing.Run(operations);
}

// A run whose operations come from the bytes: the first byte chooses the starting
// document, each further one (two for larger choices) one choice.
inline std::string RunEditingFromBytes(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const TEditingStart start{(data[0] & 1) != 0, (data[0] & 2) != 0, (data[0] & 4) != 0,
                            (data[0] & 8) != 0, (data[0] & 16) != 0};
  size_t at = 1;
  TRandomEditing editing(start, [&](int n) {
    if (n <= 1) return 0;
    if (at >= size) return -1;
    unsigned value = data[at++];
    if (n > 256 && at < size) value = value << 8 | data[at++];
    return int(value % unsigned(n));
  });
  return editing.Run(int(std::min<size_t>(size, 600)));
}

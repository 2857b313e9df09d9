// A table of 200 rows and 10 columns with a few words in every cell, in a viewer 800
// pixels wide: laying it out from scratch at that width, painting a screenful of it
// (the view scrolled to the middle), and writing and reading it in the document format
// in the text and the binary form. In an editor: a key typed in a cell of a table of 500
// rows and 40 columns (the word typed stays shorter than the column's longest, the text
// wraps to new lines now and then and is taken out again by undo), and a paragraph of
// 2,000 and of 20,000 characters, and a table of 10 rows of 3 cells pasted as RTF, into a
// cell 11 tables deep (each taken out again by undo); a key that widens its column in
// tables of 500, 1,000, 2,000 and 3,000 rows. A table of 8,000, 16,000 and 32,000 rows saved as
// RTF, RDF and HTML, with and without a cell merged over all rows of its first column.
// An editor painting a table read from a file whose cell claims a width of an ordinary
// 120 pixels, of 100,000,000 or of 2,147,483,000 pixels, and one read from RTF whose
// cells' edges claim ordinary widths or a page each. A document file of 200 tables of
// 131,072 slots each, read and pasted, with the time and the growth of the peak memory;
// a row of 2,000 to 32,000 cells cut to one cell by a read's budget spent as such tables
// spend it, read and pasted, beside the same row read whole.
// 2 x 2 tables nested 8 to 64 deep in a 1600 x 900 editor repainted, with and without
// the cell editor open at every level, and at 11 deep beside QTextEdit holding the same
// tables.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "nested_tables.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/test_support/qt_nested_tables.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/table_budget.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_insert.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kRows = 200;
constexpr int kCols = 10;

struct TableView {
  TableView() : doc(nullptr) {
    RegisterTableItemClass();
    style.TextStyles()[0].FontName = "Tahoma";
    style.TextStyles()[0].Size = 9;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 800, 600);
    TRichDocRDData& data = doc.RDData();
    auto made = std::make_unique<TRDTableItemInfo>(kRows, kCols, &data);
    table = made.get();
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        TRDTableCellData& cell = *table->Cells(r, c);
        cell.Clear();
        cell.AddText(
            "N0CALL-" + std::to_string(r % 16) + " " + std::to_string(r * kCols + c) + " km", 0, 0);
      }
    table->SetCellBorderWidth(1);
    data.AddItemAtEnd("", std::move(made));
    doc.FormatDocument();
  }
  TRDStyle style;
  TRichDoc doc;
  TRDTableItemInfo* table = nullptr;
};

TableView& TheView() {
  static TableView* view = [] {
    auto* v = new TableView;
    AtBenchEnd([v] { delete v; });
    return v;
  }();
  return *view;
}

void BM_TableLayout(benchmark::State& state) {
  TableView& v = TheView();
  for (auto _ : state) {
    v.table->MarkChanged();
    v.doc.FormatDocument();
  }
  state.counters["cells"] = kRows * kCols;
}
BENCHMARK(BM_TableLayout)->Unit(benchmark::kMillisecond);

void BM_TablePaintScreenful(benchmark::State& state) {
  TableView& v = TheView();
  v.doc.FormatDocument();
  v.doc.SetVScrollPos(v.doc.GetVScrollMax() / 2);
  TBitmap target;
  target.SetSize(v.doc.Width(), v.doc.Height());
  for (auto _ : state) PaintTo(v.doc, target.Canvas(), 0, 0);
}
BENCHMARK(BM_TablePaintScreenful)->Unit(benchmark::kMillisecond);

void BM_TableRDFWriteRead(benchmark::State& state) {
  TableView& v = TheView();
  TRichDocRDData& data = v.doc.RDData();
  data.SetRDFOptions(state.range(0) ? rdfoSaveBinary : 0);
  TRDStyle sheet;
  TCustomRDData read;
  read.SetRDStyle(&sheet);
  for (auto _ : state) {
    TMemoryStream stream;
    SaveRDFToStream(data, stream, false);
    stream.SetPosition(0);
    if (!LoadRDFFromStream(read, stream)) state.SkipWithError("the table did not read back");
  }
}
BENCHMARK(BM_TableRDFWriteRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Cells of the size a station table has, filled as above.
void FillCells(TRDTableItemInfo& table) {
  for (int r = 0; r < table.RowCount(); ++r)
    for (int c = 0; c < table.ColCount(); ++c) {
      TRDTableCellData& cell = *table.Cells(r, c);
      cell.Clear();
      cell.AddText("N0CALL-" + std::to_string(r % 16) + " " + std::to_string(r * kCols + c), 0, 0);
    }
}

// A table of rows x 40 cells between two paragraphs of an editor, with the editor open
// on cell (rows / 2, 20); that cell holds edited when it is given.
struct LargeTableEdit {
  LargeTableEdit(int rows, bool filled, const std::string& edited = "") : edit(nullptr) {
    RegisterTableItemClass();
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 1600, 900);
    TRDEditRDData& data = edit.EditData();
    auto made = std::make_unique<TRDTableItemInfo>(rows, 40, &data);
    table = made.get();
    if (filled) FillCells(*table);
    if (!edited.empty()) {
      TRDTableCellData& cell = *table->Cells(rows / 2, 20);
      cell.Clear();
      cell.AddText(edited, 0, 0);
    }
    edit.AddTextParagraph("before", 0, 0);
    data.AddItemAtEnd("", std::move(made));
    edit.AddTextParagraph("after", 0, 0);
    edit.FormatDocument();
    table->OpenCellEditor(rows / 2, 20, false, false, true, false, false);
  }
  TRDStyle style;
  TRichDocEdit edit;
  TRDTableItemInfo* table = nullptr;
};

void BM_KeystrokeInLargeTableCell(benchmark::State& state) {
  static LargeTableEdit* tables[2] = {};
  LargeTableEdit*& made = tables[state.range(0)];
  if (!made) {
    made = new LargeTableEdit(BenchStations(500), state.range(0) != 0);
    AtBenchEnd([&made] { delete made; });
  }
  LargeTableEdit& t = *made;
  TCustomRichDocEdit& cell = t.edit.ActiveEditor();
  int typed = 0;
  for (auto _ : state) {
    cell.TypeChar(++typed % 6 == 0 ? u' ' : u'a');
    // The cell keeps the size of a station's cell: what was typed goes again now and then.
    if (typed % 48 == 0) {
      state.PauseTiming();
      while (cell.UndoAction() != rdutNone) cell.Undo();
      state.ResumeTiming();
    }
  }
  state.counters["cells"] = t.table->RowCount() * t.table->ColCount();
}
BENCHMARK(BM_KeystrokeInLargeTableCell)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A cell of a small table between paragraphs of 20,000 characters each (count of them)
// opened and left: the cost should follow the table, not the text around it.
void BM_LeaveCellBesideLongParagraphs(benchmark::State& state) {
  RegisterTableItemClass();
  TRDStyle style;
  TRichDocEdit edit(nullptr);
  edit.SetStyle(&style);
  edit.SetBounds(0, 0, 800, 600);
  std::string words;
  while (words.size() < 20000) words += "station beacon WIDE1-1 relay heard ";
  TRDEditRDData& data = edit.EditData();
  auto made = std::make_unique<TRDTableItemInfo>(4, 4, &data);
  TRDTableItemInfo& table = *made;
  FillCells(table);
  for (int n = 0; n < state.range(0); ++n) edit.AddTextParagraph(words, 0, 0);
  data.AddItemAtEnd("", std::move(made));
  for (int n = 0; n < state.range(0); ++n) edit.AddTextParagraph(words, 0, 0);
  edit.FormatDocument();
  for (auto _ : state) {
    table.OpenCellEditor(1, 1, false, false, true, false, false);
    edit.CloseInplaceEditor();
  }
}
BENCHMARK(BM_LeaveCellBesideLongParagraphs)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// A key that widens its column, in a cell of a table of 40 columns and 50, 500 or 2,000
// rows wider than the editor: each key lengthens the column's longest word, so the
// column widens and the columns right of it move over (taken out again by undo now and
// then). The cost should follow the rows of the one column, not the whole table.
void BM_WideningKeyInTableCell(benchmark::State& state) {
  const int rows = BenchStations(int(state.range(0)));
  static std::map<int, LargeTableEdit*> tables;
  LargeTableEdit*& made = tables[rows];
  if (!made) {
    made = new LargeTableEdit(rows, true, "N0CALL-LONGEST");
    AtBenchEnd([&made] { delete made; });
  }
  LargeTableEdit& t = *made;
  TCustomRichDocEdit& cell = t.edit.ActiveEditor();
  const TRDTableItemFormattingInfo& info = *t.table->FormattingInfo;
  int typed = 0;
  int widened = 0;
  for (auto _ : state) {
    const int before = info.ColWidths[20];
    cell.TypeChar(u'W');
    widened += info.ColWidths[20] > before;
    if (++typed % 24 == 0) {
      state.PauseTiming();
      while (cell.UndoAction() != rdutNone) cell.Undo();
      state.ResumeTiming();
    }
  }
  if (widened < typed) state.SkipWithError("a key did not widen its column");
  state.counters["rows"] = rows;
}
BENCHMARK(BM_WideningKeyInTableCell)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->Apply(WithMinMax);

struct DeepTableEdit {
  static constexpr int kDepth = 11;
  DeepTableEdit() : edit(nullptr) {
    RegisterTableItemClass();
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 1000, 800);
    TRDEditRDData& data = edit.EditData();
    auto made = std::make_unique<TRDTableItemInfo>(2, 2, &data);
    TRDTableItemInfo* table = made.get();
    data.AddItemAtEnd("", std::move(made));
    for (int depth = 1; depth < kDepth; ++depth) {
      auto inner = std::make_unique<TRDTableItemInfo>(2, 2, table->Cells(0, 0));
      TRDTableItemInfo* next = inner.get();
      table->Cells(0, 0)->AddItemAtEnd("", std::move(inner));
      table = next;
    }
    edit.FormatDocument();
    innermost = table;
    innermost->Cells(0, 0)->StartEditing();
  }
  TRDStyle style;
  TRichDocEdit edit;
  TRDTableItemInfo* innermost = nullptr;
};

void BM_InsertParagraphElevenTablesDeep(benchmark::State& state) {
  DeepTableEdit& t = SharedBenchState<DeepTableEdit>();
  int editors = 0;
  for (TCustomRichDocEdit* e = t.edit.InplaceEditor(); e; e = e->InplaceEditor()) ++editors;
  if (editors != DeepTableEdit::kDepth) state.SkipWithError("the innermost cell is not edited");
  std::string paragraph;
  while (paragraph.size() < size_t(state.range(0))) paragraph += "beacon42 ";
  for (auto _ : state) {
    t.edit.InsertText(paragraph);
    state.PauseTiming();
    t.edit.ActiveEditor().Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertParagraphElevenTablesDeep)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_PasteTableElevenTablesDeep(benchmark::State& state) {
  DeepTableEdit& t = SharedBenchState<DeepTableEdit>();
  RegisterRTFInsertion();
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
  for (int r = 0; r < 10; ++r) {
    rtf += "\\trowd\\cellx1500\\cellx3000\\cellx4500";
    for (int c = 0; c < 3; ++c) rtf += "\\pard\\intbl N0CALL-" + std::to_string(r) + "\\cell";
    rtf += "\\row";
  }
  rtf += "\\pard\\par}";
  for (auto _ : state) {
    TMemoryStream stream;
    stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
    stream.SetPosition(0);
    if (!t.edit.InsertRTFStreamAtCaret(stream)) state.SkipWithError("the table did not go in");
    state.PauseTiming();
    t.edit.ActiveEditor().Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteTableElevenTablesDeep)->Unit(benchmark::kMillisecond);

// A document holding one table of rows x 3 cells, just read (never laid out or asked
// about its merged cells), with its first column one cell over all rows when merged.
std::unique_ptr<TCustomRDData> DocumentWithTable(TRDStyle& style, int rows, bool merged) {
  auto data = std::make_unique<TCustomRDData>();
  data->SetRDStyle(&style);
  auto table = std::make_unique<TRDTableItemInfo>(rows, 3, data.get());
  FillCells(*table);
  if (merged) table->Rows->MergeCells(0, 0, 1, rows, true, false);
  data->AddItemAtEnd("", std::move(table));
  return data;
}

enum { kRTF, kRDF, kHTML };

// Saving such a table as RTF, RDF (text) and HTML: the time grows with the rows alike
// with and without the tall merged cell.
void BM_SaveTallTable(benchmark::State& state) {
  const int format = int(state.range(0)), rows = int(state.range(1));
  TRDStyle style;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TCustomRDData> data = DocumentWithTable(style, rows, state.range(2) != 0);
    TMemoryStream stream;
    state.ResumeTiming();
    const bool saved = format == kRTF   ? SaveRTFToStream(*data, stream, {})
                       : format == kRDF ? SaveRDFToStream(*data, stream, false)
                                        : SaveHTMLToStream(*data, stream, {});
    if (!saved) state.SkipWithError("the table was not saved");
    state.PauseTiming();
    data.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SaveTallTable)
    ->ArgNames({"rtf0_rdf1_html2", "rows", "merged"})
    ->ArgsProduct({{kRTF, kRDF, kHTML}, {8000, 16000, 32000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A 3 x 3 table in an editor (which draws the grid lines of its cells) read from a
// document file whose middle cell claims a width: ordinary (120 pixels), or as large as
// a file may claim. Painting the editor costs what it shows, whatever the claim.
struct ClaimedWidthEdit {
  explicit ClaimedWidthEdit(int claim) : edit(nullptr) {
    RegisterTableItemClass();
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 800, 600);
    TRDEditRDData& data = edit.EditData();
    auto made = std::make_unique<TRDTableItemInfo>(3, 3, &data);
    made->Cells(1, 1)->BestWidth = claim;  // as the file has it
    data.AddItemAtEnd("", std::move(made));
    TMemoryStream file;
    SaveRDFToStream(data, file, false);
    file.SetPosition(0);
    if (!LoadRDFFromStream(data, file)) throw std::runtime_error("the table did not read");
    edit.FormatDocument();
  }
  TRDStyle style;
  TRichDocEdit edit;
};

// The editor of a View made for the benchmark's argument, painted once an iteration.
template <class View>
void PaintEditorMadeFor(benchmark::State& state) {
  View view(int(state.range(0)));
  TBitmap target;
  target.SetSize(view.edit.Width(), view.edit.Height());
  for (auto _ : state) PaintTo(view.edit, target.Canvas(), 0, 0);
}

void BM_PaintTableWithClaimedCellWidth(benchmark::State& state) {
  PaintEditorMadeFor<ClaimedWidthEdit>(state);
}
BENCHMARK(BM_PaintTableWithClaimedCellWidth)
    ->ArgName("claimed_width")
    ->Arg(120)
    ->Arg(100000000)
    ->Arg(2147483000)
    ->Unit(benchmark::kMillisecond);

// The same from RTF: three rows of as many cells as a row keeps (256), whose right edges
// step by an ordinary 1,800 twips (120 pixels) or by a page (31,680 twips), the widest
// row a file may give.
struct ClaimedEdgesEdit {
  explicit ClaimedEdgesEdit(int step) : edit(nullptr) {
    RegisterRTFInsertion();
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 800, 600);
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    for (int r = 0; r < 3; ++r) {
      rtf += "\\trowd";
      for (int c = 1; c <= 256; ++c) rtf += "\\cellx" + std::to_string(c * step);
      for (int c = 0; c < 256; ++c) rtf += "\\pard\\intbl N0CALL\\cell";
      rtf += "\\row";
    }
    rtf += "\\pard\\par}";
    TMemoryStream stream;
    stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
    stream.SetPosition(0);
    if (!edit.InsertRTFStreamAtCaret(stream)) throw std::runtime_error("the table did not read");
    edit.FormatDocument();
  }
  TRDStyle style;
  TRichDocEdit edit;
};

void BM_PaintTableWithClaimedCellEdges(benchmark::State& state) {
  PaintEditorMadeFor<ClaimedEdgesEdit>(state);
}
BENCHMARK(BM_PaintTableWithClaimedCellEdges)
    ->ArgName("edge_step")
    ->Arg(1800)
    ->Arg(31680)
    ->Unit(benchmark::kMillisecond);

// A document file of tables that each declare the most slots a table may have (512 rows
// of 256), filled by one merged cell: 200 of them in 17,442 bytes took 4.2 s and 3.3 GB to
// read, and pasted as much, when only each table was bounded. One budget for the read
// bounds them together; the control is as many tables of one slot. Arguments: tables of
// all slots in rows of 256 (1) or in one row (2; pasted, 1.5 s and 525 MB while a table
// kept at least a whole row), or of one slot (0), pasted into an editor of 1920 x 1080 (1)
// or read (0).
std::string MergedTablesRDF(int tables, int shape) {
  RegisterTableItemClass();
  TRDStyle style;
  TCustomRDData data;
  data.SetRDStyle(&style);
  const int cols = shape == 0 ? 1 : shape == 1 ? 256 : TRDTableRows::kMaxSlots;
  const int rows = shape == 0 ? 1 : TRDTableRows::kMaxSlots / cols;
  for (int t = 0; t < tables; ++t) {
    auto table = std::make_unique<TRDTableItemInfo>(rows, cols, &data);
    table->Rows->MergeCells(0, 0, table->ColCount(), rows, true, false);
    data.AddItemAtEnd("", std::move(table));
  }
  data.SetRDFOptions(rdfoSaveBinary);
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void BM_ReadTablesOfAllSlots(benchmark::State& state) {
  const std::string rdf = MergedTablesRDF(200, int(state.range(0)));
  const bool paste = state.range(1) != 0;
  long growth = 0;
  int tables = 0;
  bool leftOut = false;
  for (auto _ : state)
    growth = std::max(growth, PeakGrowthKilobytes([&] {
                        TRDStyle style;
                        TRichDocEdit edit(nullptr);
                        edit.SetStyle(&style);
                        edit.SetBounds(0, 0, BenchStations(1920), BenchStations(1080));
                        TMemoryStream stream;
                        stream.WriteBuffer(rdf.data(), int64_t(rdf.size()));
                        stream.SetPosition(0);
                        TRDEditRDData& data = edit.EditData();
                        const bool read = paste ? edit.InsertRDFStreamAtCaret(stream)
                                                : LoadRDFFromStream(data, stream);
                        if (!read) state.SkipWithError("the file did not read");
                        if (paste) {
                          TBitmap target;
                          target.SetSize(edit.Width(), edit.Height());
                          PaintTo(edit, target.Canvas(), 0, 0);
                        }
                        tables = 0;
                        for (int i = 0; i < data.GetItemCount(); ++i)
                          tables +=
                              dynamic_cast<const TRDTableItemInfo*>(data.GetItem(i)) != nullptr;
                        leftOut = data.GetRDFWarnings() & rdfwTableCellsLeftOut;
                      }));
  state.counters["peak_growth_mb"] = double(growth) / 1024;
  state.counters["rdf_bytes"] = double(rdf.size());
  state.counters["tables"] = tables;
  state.counters["left_out"] = leftOut ? 1 : 0;
}
BENCHMARK(BM_ReadTablesOfAllSlots)
    ->ArgNames({"all_slots", "paste"})
    ->ArgsProduct({{1, 2, 0}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A row of cells one letter each, read or pasted where the read's budget is spent (as 146
// of the one-row tables of all slots before it spend it): it is cut to its first cell,
// which the others join; 32,000 took 144 s while each join listed the kept cell's list
// markers again. The control is the same row read whole. Arguments: the row's cells, cut
// (1) or not (0), pasted into an editor of 1920 x 1080 and painted (1) or read (0).
void BM_ReadCutCells(benchmark::State& state) {
  const int cells = int(state.range(0));
  const bool cut = state.range(1) != 0;
  const bool paste = state.range(2) != 0;
  std::string rdf;
  {
    RegisterTableItemClass();
    TRDStyle style;
    TCustomRDData data;
    data.SetRDStyle(&style);
    auto table = std::make_unique<TRDTableItemInfo>(1, cells, &data);
    for (int c = 0; c < cells; ++c) {
      table->Cells(0, c)->Clear();
      table->Cells(0, c)->AddText(std::string(1, char('a' + c % 26)), 0, 0);
    }
    data.AddItemAtEnd("", std::move(table));
    data.SetRDFOptions(rdfoSaveBinary);
    TMemoryStream stream;
    SaveRDFToStream(data, stream, false);
    rdf.assign(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  }
  int keptCols = 0;
  for (auto _ : state) {
    // The editor and the picture it is painted on are made untimed: their pixels, the
    // same at every count, are most of a small paste's time, and under load a paste of
    // 2,000 cells was timed above one of 8,000.
    state.PauseTiming();
    TRDStyle style;
    auto edit = std::make_unique<TRichDocEdit>(nullptr);
    edit->SetStyle(&style);
    edit->SetBounds(0, 0, 1920, 1080);
    TBitmap target;
    target.SetSize(edit->Width(), edit->Height());
    TMemoryStream stream;
    stream.WriteBuffer(rdf.data(), int64_t(rdf.size()));
    stream.SetPosition(0);
    state.ResumeTiming();
    TRDEditRDData& data = edit->EditData();
    bool read;
    {
      // The read joins the budget open here, spent but for the first cell's room.
      TRDTableBudget spent(0);
      if (cut) TRDTableBudget::Take(TRDTableBudget::Left() - TRDTableRows::GridBytes(1, 1));
      read = paste ? edit->InsertRDFStreamAtCaret(stream) : LoadRDFFromStream(data, stream);
    }
    if (!read) state.SkipWithError("the file did not read");
    if (paste) PaintTo(*edit, target.Canvas(), 0, 0);
    keptCols = 0;
    for (int i = 0; i < data.GetItemCount() && keptCols == 0; ++i)
      if (const auto* table = dynamic_cast<const TRDTableItemInfo*>(data.GetItem(i)))
        keptCols = table->ColCount();
    state.PauseTiming();
    edit.reset();
    state.ResumeTiming();
  }
  state.counters["rdf_bytes"] = double(rdf.size());
  state.counters["kept_cols"] = keptCols;
}
BENCHMARK(BM_ReadCutCells)
    ->ArgNames({"cells", "cut", "paste"})
    ->ArgsProduct({{2000, 8000, 32000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

double MillisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// 2 x 2 tables nested depth deep in an editor of 1600 x 900, each in the first cell of
// the one around it, the other cells holding a word; with edited, the editor open on the
// first cell of the innermost table (and so on the cells around it), as while typing
// there.
struct NestedTablesEdit {
  NestedTablesEdit(int depth, bool edited) : edit(nullptr) {
    RegisterTableItemClass();
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 1600, 900);
    TRDTableItemInfo* innermost =
        AddNestedTables(edit.EditData(), depth, [](int level, TCustomRDData* into) {
          auto table = std::make_unique<TRDTableItemInfo>(2, 2, into);
          for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
              if (r + c > 0) {
                table->Cells(r, c)->Clear();
                table->Cells(r, c)->AddText("N0CALL-" + std::to_string(level), 0, 0);
              }
          return table;
        });
    edit.FormatDocument();
    if (edited) innermost->Cells(0, 0)->StartEditing();
    target.SetSize(edit.Width(), edit.Height());
  }
  void Paint() { PaintTo(edit, target.Canvas(), 0, 0); }
  TRDStyle style;
  TRichDocEdit edit;
  TBitmap target;
};

void BM_RepaintNestedTables(benchmark::State& state) {
  NestedTablesEdit t(int(state.range(0)), state.range(1) != 0);
  t.Paint();
  for (auto _ : state) t.Paint();
}
BENCHMARK(BM_RepaintNestedTables)
    ->ArgNames({"depth", "edited"})
    ->ArgsProduct({{8, 11, 16, 32, 64}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_PaintNestedTablesBesideQt(benchmark::State& state) {
  const int depth = int(state.range(0));
  NestedTablesEdit ours(depth, state.range(1) != 0);
  TQtNestedTablesEdit qt(depth, 1600, 900);
  // The first paint of each lays out what the other laid out before.
  ours.Paint();
  qt.Paint();
  double ours_ms = 0, qt_ms = 0;
  for (auto _ : state) {
    ours_ms += MillisecondsOf([&] { ours.Paint(); });
    qt_ms += MillisecondsOf([&] { qt.Paint(); });
  }
  const double n = double(state.iterations());
  state.counters["ours_ms"] = ours_ms / n;
  state.counters["qt_ms"] = qt_ms / n;
  state.counters["ratio"] = ours_ms / qt_ms;
}
BENCHMARK(BM_PaintNestedTablesBesideQt)
    ->ArgNames({"depth", "edited"})
    ->ArgsProduct({{11}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

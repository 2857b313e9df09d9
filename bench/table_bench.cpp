// A table of 200 rows and 10 columns with a few words in every cell, in a viewer 800
// pixels wide: laying it out from scratch at that width, painting a screenful of it
// (the view scrolled to the middle), and writing and reading it in the document format
// in the text and the binary form. In an editor: a key typed in a cell of a table of 500
// rows and 40 columns (the word typed stays shorter than the column's longest, and the
// text wraps to new lines now and then), and a paragraph of 2,000 characters inserted
// into a cell 11 tables deep (and taken out again by undo).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_support.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/rich_doc_edit.h"
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

struct LargeTableEdit {
  LargeTableEdit() : edit(nullptr) {
    RegisterTableItemClass();
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 1600, 900);
    TRDEditRDData& data = edit.EditData();
    auto made = std::make_unique<TRDTableItemInfo>(BenchStations(500), 40, &data);
    table = made.get();
    FillCells(*table);
    edit.AddTextParagraph("before", 0, 0);
    data.AddItemAtEnd("", std::move(made));
    edit.AddTextParagraph("after", 0, 0);
    edit.FormatDocument();
    table->OpenCellEditor(table->RowCount() / 2, 20, false, false, true, false, false);
  }
  TRDStyle style;
  TRichDocEdit edit;
  TRDTableItemInfo* table = nullptr;
};

void BM_KeystrokeInLargeTableCell(benchmark::State& state) {
  LargeTableEdit& t = SharedBenchState<LargeTableEdit>();
  TCustomRichDocEdit& cell = t.edit.ActiveEditor();
  int typed = 0;
  for (auto _ : state) cell.TypeChar(++typed % 6 == 0 ? u' ' : u'a');
  state.counters["cells"] = t.table->RowCount() * t.table->ColCount();
}
BENCHMARK(BM_KeystrokeInLargeTableCell)->Unit(benchmark::kMillisecond);

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
    for (int i = 0; i < 2000 / 10; ++i) paragraph += "beacon42 ";
  }
  TRDStyle style;
  TRichDocEdit edit;
  TRDTableItemInfo* innermost = nullptr;
  std::string paragraph;
};

void BM_InsertParagraphElevenTablesDeep(benchmark::State& state) {
  DeepTableEdit& t = SharedBenchState<DeepTableEdit>();
  if (&t.edit.ActiveEditor() == &t.edit) state.SkipWithError("the innermost cell is not edited");
  for (auto _ : state) {
    t.edit.InsertText(t.paragraph);
    state.PauseTiming();
    t.edit.ActiveEditor().Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertParagraphElevenTablesDeep)->Unit(benchmark::kMillisecond);

}  // namespace

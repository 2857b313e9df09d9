// Tables in document files: the record's lines, the component stream inside it in text
// and binary form, a read-back equal cell by cell, and records that lie about their grid,
// spans or pictures failing cleanly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/style_types.h"
#include "richtext/base/table_budget.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/document_nesting.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/tables/table_document.h"
#include "richtext_edit/tables/table_stream.h"

namespace {

std::string Saved(TCustomRDData& doc, TRDFOptions options = 0) {
  doc.SetRDFOptions(options);
  TMemoryStream stream;
  SaveRDFToStream(doc, stream, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

bool Load(TCustomRDData& doc, const std::string& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream.SetPosition(0);
  return LoadRDFFromStream(doc, stream);
}

// A table with most of what a file can hold: merged cells, properties of the table, its
// rows and cells, texts and a background picture.
TRDTableItemInfo& FillTable(TTableDocument& doc) {
  TRDTableItemInfo& table = doc.AddTable(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  table.Rows->MergeCells(0, 1, 2, 2, true, false);
  table.SetBestWidth(-80);
  table.SetColor(clNone);
  table.SetBorderWidth(2);
  table.SetBorderStyle(rdtbRaisedColor);
  table.SetCellPadding(4);
  table.SetCellHSpacing(-1);
  table.SetHRuleWidth(1);
  table.SetVOutermostRule(true);
  table.SetHeadingRowCount(1);
  table.TextColSeparator = "\t";
  table.Options |= rdtoCellBelowBorders;
  TRDBooleanRect sides;
  sides.Right = false;
  table.SetVisibleBorders(sides);
  table.SetBackgroundImageFileName("back ground.bmp");
  table.SetBackgroundStyle(rdbsTiled);
  TBitmap picture;
  picture.SetSize(3, 2);
  table.SetBackgroundImage(&picture);
  table.Rows->Items(1)->VAlign = rdcBottom;
  table.Rows->Items(2)->PageBreakBefore = true;
  TRDTableCellData& cell = *table.Cells(2, 2);
  cell.Color = clRed;
  cell.BestWidth = -25;
  cell.BestHeight = 40;
  cell.VAlign = rdcMiddle;
  cell.Hint = "a hint";
  cell.BackgroundImageFileName = "cell.bmp";
  cell.VisibleBorders.Left = false;
  cell.SetBackgroundImage(&picture);
  cell.AddText("second paragraph", 0, 0);
  return table;
}

void ExpectSameTables(TRDTableItemInfo& a, TRDTableItemInfo& b) {
  ASSERT_EQ(a.RowCount(), b.RowCount());
  ASSERT_EQ(a.ColCount(), b.ColCount());
  EXPECT_TRUE(b.Rows->IsConsistent());
  for (const char* name :
       {"BestWidth", "Color", "BorderWidth", "BorderStyle", "CellPadding", "CellHSpacing",
        "HRuleWidth", "VOutermostRule", "HeadingRowCount", "BackgroundStyle"}) {
    EXPECT_EQ(GetIntProperty(a, name), GetIntProperty(b, name)) << name;
  }
  EXPECT_EQ(a.Options, b.Options);
  EXPECT_EQ(a.TextColSeparator, b.TextColSeparator);
  EXPECT_EQ(a.VisibleBorders(), b.VisibleBorders());
  EXPECT_EQ(a.BackgroundImageFileName(), b.BackgroundImageFileName());
  ASSERT_EQ(a.GetBackgroundImage() != nullptr, b.GetBackgroundImage() != nullptr);
  if (a.GetBackgroundImage()) {
    EXPECT_EQ(b.GetBackgroundImage()->Width(), a.GetBackgroundImage()->Width());
  }
  for (int r = 0; r < a.RowCount(); ++r) {
    EXPECT_EQ(a.Rows->Items(r)->VAlign, b.Rows->Items(r)->VAlign) << r;
    EXPECT_EQ(a.Rows->Items(r)->PageBreakBefore, b.Rows->Items(r)->PageBreakBefore) << r;
    for (int c = 0; c < a.ColCount(); ++c) {
      const TRDTableCellData* x = a.Cells(r, c);
      const TRDTableCellData* y = b.Cells(r, c);
      ASSERT_EQ(x == nullptr, y == nullptr) << r << "," << c;
      if (!x) continue;
      EXPECT_EQ(TTableDocument::CellText(*x), TTableDocument::CellText(*y)) << r << "," << c;
      EXPECT_EQ(x->ColSpan, y->ColSpan);
      EXPECT_EQ(x->RowSpan, y->RowSpan);
      EXPECT_EQ(x->Color, y->Color);
      EXPECT_EQ(x->BestWidth, y->BestWidth);
      EXPECT_EQ(x->BestHeight, y->BestHeight);
      EXPECT_EQ(x->VAlign, y->VAlign);
      EXPECT_EQ(x->Hint, y->Hint);
      EXPECT_EQ(x->BackgroundImageFileName, y->BackgroundImageFileName);
      EXPECT_EQ(x->VisibleBorders, y->VisibleBorders);
      EXPECT_EQ(x->GetBackgroundImage() != nullptr, y->GetBackgroundImage() != nullptr);
    }
  }
}

TEST(TableRDF, RecordLines) {
  TTableDocument doc;
  doc.AddTable(1, 1, {"x"});
  std::string text = Saved(doc);
  // Header: kind, 3 lines, paragraph 0, options 0, text form, tag 0; then the name line,
  // the marker and the hexadecimal component.
  const std::string record = "-60 3 0 0 0 0 \r\n\r\n1\r\n";
  const size_t header = text.find(record);
  ASSERT_NE(header, std::string::npos) << text;
  const size_t start = header + record.size();
  const std::string hex = text.substr(start, text.size() - start - 2);
  std::string bytes;
  HexToString(hex, bytes);
  EXPECT_EQ(bytes.substr(0, 4), "RDC1");
  EXPECT_NE(bytes.find("TRDTableSW"), std::string::npos);
  // All rows top-aligned and without page breaks: no row lists.
  EXPECT_EQ(bytes.find("RowVAlign"), std::string::npos);
  EXPECT_EQ(bytes.find("RowPageBreakBefore"), std::string::npos);
  // A background file name adds one extra-property line.
  doc.Table(0).SetBackgroundImageFileName("b.jpg");
  text = Saved(doc);
  EXPECT_NE(text.find("-60 4 0 0 0 0 \r\n\r\nfilename=b.jpg\r\n1\r\n"), std::string::npos) << text;
  // Binary form: data kind 2, the marker, then a length-prefixed component stream.
  text = Saved(doc, rdfoSaveBinary);
  const std::string binaryRecord = "-60 4 0 0 2 0 \r\n\r\nfilename=b.jpg\r\n1\r\n";
  const size_t binary = text.find(binaryRecord);
  ASSERT_NE(binary, std::string::npos);
  const size_t block = binary + binaryRecord.size();
  const auto size =
      std::uint32_t(std::uint8_t(text[block])) | std::uint32_t(std::uint8_t(text[block + 1])) << 8;
  EXPECT_EQ(text.substr(block + 4, 4), "RDC1");
  EXPECT_EQ(block + 4 + size, text.size());
}

TEST(TableRDF, RoundTripCellByCellInBothForms) {
  for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    TTableDocument doc;
    doc.AddText("before", 0, 0);
    TRDTableItemInfo& table = FillTable(doc);
    doc.AddText("after", 0, 0);
    const std::string saved = Saved(doc, form);
    TTableDocument read;
    ASSERT_TRUE(Load(read, saved)) << form;
    ASSERT_EQ(read.GetItemCount(), 3);
    EXPECT_EQ(read.GetItemTextRaw(2), "after");
    ExpectSameTables(table, read.Table(1));
    // What was read saves to the same bytes.
    EXPECT_EQ(Saved(read, form), saved);
  }
}

// A table of rows x cols slots that one empty cell covers whole, made without making a
// cell per slot first.
TRDTableItemInfo& AddCoveredGrid(TTableDocument& doc, int rows, int cols) {
  TRDTableItemInfo& table = doc.AddTable(0, 0);
  table.Rows->ResetEmpty(rows, cols);
  TRDTableRow& top = *table.Rows->Items(0);
  top.SetItem(0, std::make_unique<TRDTableCellData>(&top));
  top.Items(0)->RowSpan = rows;
  top.Items(0)->ColSpan = cols;
  return table;
}

// Merged cells hold few bytes for the slots they cover: a table reads back at every
// size and merge it can have, up to the largest grid a table may have.
TEST(TableRDF, MergedBlocksReadBackWholeAtEverySize) {
  struct TMerge {
    int rows, cols, top, left, rowCount, colCount;
  };
  const int side = 1 << 8;
  static_assert(side * side * 2 == TRDTableRows::kMaxSlots);
  for (const TMerge& m : {TMerge{5, 8, 0, 0, 5, 8}, TMerge{6, 9, 0, 0, 6, 9},
                          TMerge{6, 9, 0, 0, 5, 9}, TMerge{6, 9, 1, 2, 5, 7},
                          TMerge{4, 9, 0, 0, 4, 9}, TMerge{side, 2 * side, 0, 0, side, 2 * side}})
    for (const TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
      TTableDocument doc;
      const bool largest = m.rows == side;
      TRDTableItemInfo& table =
          largest ? AddCoveredGrid(doc, side, 2 * side) : doc.AddTable(m.rows, m.cols);
      if (!largest) table.Rows->MergeCells(m.top, m.left, m.colCount, m.rowCount, true, false);
      doc.AddText("after", 0, 0);
      const std::string saved = Saved(doc, form);
      TTableDocument read;
      ASSERT_TRUE(Load(read, saved)) << m.rows << "x" << m.cols << " form " << form;
      ASSERT_EQ(read.GetItemCount(), 2);
      EXPECT_EQ(read.GetItemTextRaw(1), "after");
      ExpectSameTables(table, read.Table(0));
      EXPECT_EQ(Saved(read, form), saved);
    }
}

// Tables that each declare the largest grid, one merged cell filling it (a hundred bytes
// a table), cost the read what their grids cost: 200 of them in 17 KB took 3.3 GB. Past
// what the read's bytes pay for, a table keeps the rows that fit (at least its first;
// of one row it cannot pay for, the columns that fit), the text of the cells cut away
// joins the cells above or left of them, and the document says so; read as a file or
// inserted as a paste is. A table of one row of the largest grid's slots is the worst.
TEST(TableRDF, TablesPastWhatTheReadPaysForKeepTheRowsItDoes) {
  const int rows = TRDTableRows::kMaxSlots / 256, tables = 12;
  TTableDocument doc;
  for (int t = 0; t < tables; ++t)
    doc.SetCellText(AddCoveredGrid(doc, rows, 256), 0, 0, "t" + std::to_string(t));
  // The last one's last row has cells of its own.
  TRDTableItemInfo& last = doc.AddTable(rows, 256);
  last.Rows->MergeCells(0, 0, 256, rows - 1, true, false);
  doc.SetCellText(last, 0, 0, "top");
  doc.SetCellText(last, rows - 1, 3, "bottom");
  TRDTableItemInfo& wide = doc.AddTable(1, TRDTableRows::kMaxSlots);
  wide.Rows->MergeCells(0, 0, TRDTableRows::kMaxSlots - 1, 1, true, false);
  doc.SetCellText(wide, 0, 0, "left");
  doc.SetCellText(wide, 0, TRDTableRows::kMaxSlots - 1, "right");
  const std::string saved = Saved(doc, rdfoSaveBinary);
  for (const bool insert : {false, true}) {
    TTableDocument read;
    if (insert) {
      TMemoryStream stream;
      stream.WriteBuffer(saved.data(), int64_t(saved.size()));
      stream.SetPosition(0);
      int index = 0;
      ASSERT_TRUE(InsertRDFFromStream(read, stream, index).Ok);
    } else {
      ASSERT_TRUE(Load(read, saved));
    }
    ASSERT_EQ(read.GetItemCount(), tables + 2);
    std::int64_t bytes = 0;
    for (int t = 0; t <= tables + 1; ++t) {
      TRDTableItemInfo& table = read.Table(t);
      EXPECT_TRUE(table.Rows->IsConsistent()) << t;
      bytes += TRDTableRows::GridBytes(table.RowCount(), table.ColCount());
      if (t < tables) {
        EXPECT_EQ(TTableDocument::CellText(*table.Cells(0, 0)), "t" + std::to_string(t));
      }
    }
    EXPECT_EQ(read.Table(0).RowCount(), rows);
    EXPECT_EQ(read.Table(tables).RowCount(), 1);
    EXPECT_EQ(TTableDocument::CellText(*read.Table(tables).Cells(0, 0)), "top|bottom");
    EXPECT_EQ(TTableDocument::CellText(*read.Table(tables + 1).Cells(0, 0)), "left|right");
    EXPECT_LE(bytes, kTableBytesPerRead + kTableBytesPerByte * std::int64_t(saved.size()) +
                         tables * TRDTableRows::GridBytes(1, 256) + TRDTableRows::GridBytes(1, 1));
    EXPECT_TRUE(read.GetRDFWarnings() & rdfwTableCellsLeftOut);
  }
}

// A cell's requested sizes from a file get the page's bounds as the table's own lengths
// do: the layout sums them, and an editor draws its grid lines along them.
TEST(TableRDF, CellSizesReadAreCutToThePage) {
  for (const int claim : {100000000, 2147483000, -2147483000}) {
    TTableDocument doc;
    TRDTableItemInfo& table = doc.AddTable(2, 2, {"a", "b", "c", "d"});
    table.Rows->MergeCells(0, 0, 2, 1, true, false);
    table.Cells(0, 0)->BestWidth = claim;  // as a file may have it
    table.Cells(0, 0)->BestHeight = claim;
    table.Cells(1, 1)->BestWidth = claim;
    TTableDocument read;
    ASSERT_TRUE(Load(read, Saved(doc)));
    TRDTableItemInfo& got = read.Table(0);
    for (const auto& [r, c] : {std::pair{0, 0}, std::pair{1, 1}}) {
      EXPECT_EQ(got.Cells(r, c)->BestWidth, ClampToPage(claim)) << claim;
      EXPECT_LE(std::abs(got.Cells(r, c)->BestHeight), kMaxPageLength);
    }
    got.State |= rdtsInEditor;
    read.Format();
    EXPECT_LE(got.FormattingInfo->Width, 2 * kMaxPageLength) << claim;
    TRasterCanvas canvas(100, 100, clWhite);
    got.PaintTable(canvas, 0, 0, Rect(0, 0, 100, 100), 0, 0);
  }
}

// No table grows past the grid a file may hold: it could not be read back.
TEST(TableRDF, TablesDoNotGrowPastTheLargestGrid) {
  TTableDocument doc;
  int beeps = 0;
  doc.OnBeep = [&beeps] { ++beeps; };
  TRDTableItemInfo& table = AddCoveredGrid(doc, TRDTableRows::kMaxSlots / 4, 4);
  table.InsertRows(0, 1, -1, false);
  table.InsertCols(0, 1, -1, false);
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(table.RowCount(), TRDTableRows::kMaxSlots / 4);
  EXPECT_EQ(table.ColCount(), 4);
  EXPECT_THROW(table.Rows->InsertRows(0, 1, -1, false), ERichDocError);
  EXPECT_THROW(TRDTableItemInfo(TRDTableRows::kMaxSlots + 1, 1, &doc), ERichDocError);
}

TEST(TableRDF, EmptyTablesAndNestedTables) {
  TTableDocument doc;
  doc.AddTable(0, 0);
  TRDTableItemInfo& outer = doc.AddTable(1, 2, {"left"});
  auto inner = std::make_unique<TRDTableItemInfo>(2, 1, outer.Cells(0, 1));
  TTableDocument::SetCellText(*inner, 1, 0, "deep");
  outer.Cells(0, 1)->AddItemAtEnd("", std::move(inner));
  TTableDocument read;
  ASSERT_TRUE(Load(read, Saved(doc)));
  EXPECT_EQ(read.Table(0).RowCount(), 0);
  EXPECT_EQ(read.Table(0).ColCount(), 0);
  TRDTableCellData& cell = *read.Table(1).Cells(0, 1);
  ASSERT_EQ(cell.GetItemCount(), 2);
  auto& nested = cell.CheckItemClass<TRDTableItemInfo>(1);
  EXPECT_EQ(TTableDocument::CellText(*nested.Cells(1, 0)), "deep");
  EXPECT_EQ(nested.GetDocument(), &cell);
}

// A document of tables nested depth deep, each in the first cell of the one around it.
void NestTables(TTableDocument& doc, int depth) {
  TRDTableItemInfo* table = &doc.AddTable(1, 2, {"", "beside"});
  for (int level = 1; level < depth; ++level) {
    auto inner = std::make_unique<TRDTableItemInfo>(1, 2, table->Cells(0, 0));
    TRDTableItemInfo* next = inner.get();
    TTableDocument::SetCellText(*next, 0, 1, "beside");
    table->Cells(0, 0)->AddItemAtEnd("", std::move(inner));
    table = next;
  }
  TTableDocument::SetCellText(*table, 0, 0, "deepest");
}

TEST(TableRDF, TablesNestedAsDeepAsADocumentHoldsThemLoadAndNoDeeper) {
  for (const TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary})
    for (const int tables : {kMaxDocumentNesting, kMaxDocumentNesting + 1, 90}) {
      TTableDocument doc;
      NestTables(doc, tables);
      TTableDocument read;
      EXPECT_EQ(Load(read, Saved(doc, form)), tables <= kMaxDocumentNesting) << tables;
    }
}

// Each table nested in a cell costs what it holds, in the text form as in the binary one:
// a cell's document is written once, inside the hex text of the outermost table only.
TEST(TableRDF, NestedTablesCostWhatTheyHoldAndReadBack) {
  for (const TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    std::vector<size_t> sizes;
    for (const int depth : {1, 2, 32, kMaxDocumentNesting}) {
      TTableDocument doc;
      NestTables(doc, depth);
      const std::string saved = Saved(doc, form);
      sizes.push_back(saved.size());
      TTableDocument read;
      ASSERT_TRUE(Load(read, saved)) << depth;
      EXPECT_EQ(Saved(read, form), saved) << depth;
    }
    const size_t level = sizes[1] - sizes[0];
    EXPECT_LT(sizes[3], 1000000u) << form;
    EXPECT_LE(sizes[3] - sizes[2], 32 * level + 32 * 8) << form;
  }
  // A file written with each cell's document in text form inside its table's hex text
  // reads as it always did.
  std::ifstream file(VELMORA_TEST_DATA "/richtext_edit/tables/fuzz/nested_text", std::ios::binary);
  TTableDocument old;
  ASSERT_TRUE(Load(old, std::string(std::istreambuf_iterator<char>(file), {})));
  TRDTableItemInfo& outer = old.Table(0);
  EXPECT_EQ(TTableDocument::CellText(*outer.Cells(0, 0)), "left");
  TRDTableCellData& cell = *outer.Cells(0, 1);
  ASSERT_EQ(cell.GetItemCount(), 2);
  auto& nested = cell.CheckItemClass<TRDTableItemInfo>(1);
  EXPECT_EQ(nested.RowCount(), 2);
  EXPECT_EQ(nested.ColCount(), 2);
}

// A wrapper that writes a "C" property of our own making.
class TForgedTable : public TComponent, public TRDPublished {
 public:
  std::function<void(TRDValueWriter&)> cells;
  std::string ClassName() const override { return "TRDTableSW"; }
  void DefineProperties(TRDPropertyFiler& filer) override {
    filer.DefineData("C", true, cells, [](TRDValueReader&) {});
  }
};

std::string Forged(std::function<void(TRDValueWriter&)> cells) {
  TForgedTable forged;
  forged.cells = std::move(cells);
  TMemoryStream stream;
  WriteComponent(stream, forged);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string ReadError(const std::string& bytes) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 1);
  try {
    TableFromComponentBytes(table, bytes);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

void Cell(TRDValueWriter& w, int colSpan, int rowSpan) {
  w.WriteInteger(colSpan);
  w.WriteInteger(rowSpan);
  TD empty;
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 1);
  empty.C = table.Cells(0, 0);
  w.WriteComponent(empty);
}

TEST(TableRDF, MalformedCellListsFailCleanly) {
  // A grid larger than a table may be is not made at all.
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(TRDTableRows::kMaxSlots / 2 + 1);
              w.WriteInteger(2);
              w.WriteListBegin();
              w.WriteListEnd();
            })),
            "Invalid table size");
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(-1);
              w.WriteInteger(1);
            })),
            "Invalid table size");
  // The list ends before the last cell, or goes on after it.
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(1);
              w.WriteInteger(2);
              w.WriteListBegin();
              Cell(w, 1, 1);
              w.WriteListEnd();
              for (int i = 0; i < 20; ++i) w.WriteInteger(0);
            })),
            "Wrong end of cells list");
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(1);
              w.WriteInteger(1);
              w.WriteListBegin();
              Cell(w, 1, 1);
              Cell(w, 1, 1);
              w.WriteListEnd();
            })),
            "Wrong end of cells list");
  // Spans that leave the grid or overlap a cell that is already covered.
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(1);
              w.WriteInteger(2);
              w.WriteListBegin();
              Cell(w, 3, 1);
              w.WriteListEnd();
              for (int i = 0; i < 20; ++i) w.WriteInteger(0);
            })),
            "Invalid cell span");
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(2);
              w.WriteInteger(2);
              w.WriteListBegin();
              Cell(w, 1, 2);  // covers (1, 0)
              Cell(w, 1, 1);
              Cell(w, 2, 1);  // (1, 0) is covered already
              w.WriteListEnd();
            })),
            "Invalid cell span");
  EXPECT_EQ(ReadError(Forged([](TRDValueWriter& w) {
              w.WriteInteger(1);
              w.WriteInteger(1);
              w.WriteListBegin();
              Cell(w, 0, 1);
              w.WriteListEnd();
            })),
            "Invalid cell span");
}

TEST(TableRDF, BackgroundPictureRecordsAreChecked) {
  TBitmap picture;
  picture.SetSize(2, 2);
  const std::string good = BackgroundImageToBytes(picture);
  EXPECT_EQ(BackgroundImageFromBytes(good)->Width(), 2);
  // A class name longer than what is left, a picture size that is not what is left, an
  // unknown class: each is a read error, never a read past the data.
  std::string longName = good;
  longName[0] = char(0xFF);
  longName[1] = char(0xFF);
  EXPECT_THROW(BackgroundImageFromBytes(longName), EReadError);
  std::string shortPicture = good.substr(0, good.size() - 3);
  EXPECT_THROW(BackgroundImageFromBytes(shortPicture), EReadError);
  std::string unknown = good;
  unknown[4] = 'X';
  EXPECT_THROW(BackgroundImageFromBytes(unknown), EReadError);
  EXPECT_THROW(BackgroundImageFromBytes(std::string("\x01\x00", 2)), EReadError);
  // In a document the table with a bad picture is dropped and the read stops.
  TTableDocument doc;
  FillTable(doc);
  std::string saved = Saved(doc, rdfoSaveBinary);
  const size_t name = saved.find("TBitmap");
  ASSERT_NE(name, std::string::npos);
  saved[name - 4] = char(0x7F);
  TTableDocument read;
  EXPECT_FALSE(Load(read, saved));
}

TEST(TableRDF, Registration) {
  RegisterTableItemClass();
  RegisterTableItemClass();
  TTableDocument doc;
  std::unique_ptr<TCustomRDItemInfo> item = CreateRDItem(rdsTable, &doc);
  ASSERT_NE(dynamic_cast<TRDTableItemInfo*>(item.get()), nullptr);
  EXPECT_EQ(item->StyleNo, -60);
  auto& table = static_cast<TRDTableItemInfo&>(*item);
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(table.ColCount(), 1);
  EXPECT_EQ(table.SelStartRow, -1);
  EXPECT_EQ(table.SelStartCol, -1);
  EXPECT_EQ(table.TextRowSeparator, "\r\n");
  EXPECT_TRUE(table.State & rdtsNewlyCreated);
  EXPECT_TRUE(table.QueryItemFlag(0));
  EXPECT_TRUE(table.QueryItemFlag(10));
  EXPECT_FALSE(table.QueryItemFlag(3));
  EXPECT_FALSE(table.QueryItemFlagEx(0, nullptr));
}

}  // namespace

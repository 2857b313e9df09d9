// The component-stream side of tables: the wrappers through which a table and its cells
// travel in the component stream, and the part of a table a save writes.
//
// The table's record in a document file holds one TRDTableSW component: the table's
// published properties under "T.", then "C" (the cells), "RowVAlign" and
// "RowPageBreakBefore" (the rows' properties, each written only when some row differs
// from the default). "C" is the number of rows N, and when N > 0 the number of columns
// M and a list of the written cells row by row, each as its column span, its row span
// and a TD component holding the cell's properties and content.
#pragma once

#include <string>

#include "platform/sys/component.h"
#include "richtext/styles/component_stream.h"

class TRDCutCellJoins;
class TRDTableCellData;
class TRDTableItemInfo;

// Which part of a table a save writes: rows StartRow .. StartRow + RowCount - 1 of the
// columns StartCol .. StartCol + ColCount - 1; with SaveHeading the heading rows go
// first (a printed part); with SelectionOnly unselected cells are written empty.
class TRDTableStreamSaveInfo {
 public:
  explicit TRDTableStreamSaveInfo(const TRDTableItemInfo& table);
  int StartRow = 0;
  int StartCol = 0;
  int RowCount = 0;
  int ColCount = 0;
  bool SaveHeading = false;
  bool SelectionOnly = false;
};

// One cell's wrapper.
class TD : public TComponent, public TRDPublished {
 public:
  TRDTableCellData* C = nullptr;
  std::string ClassName() const override { return "TD"; }
  void DefineProperties(TRDPropertyFiler& filer) override;
};

// One table's wrapper.
class TRDTableSW : public TComponent, public TRDPublished {
 public:
  explicit TRDTableSW(TRDTableItemInfo* table) : T(table) {}
  TRDTableItemInfo* T;
  std::string ClassName() const override { return "TRDTableSW"; }
  void DefineProperties(TRDPropertyFiler& filer) override;

 private:
  void WriteCells(TRDValueWriter& writer);
  void ReadCells(TRDValueReader& reader);
  // The list of n x m cells into a grid of keptRows x keptCols; the cells past it join
  // through joins.
  void ReadCellList(TRDValueReader& reader, int n, int m, int keptRows, int keptCols,
                    TRDCutCellJoins& joins);
  // The rows the cells list declares: more than the table keeps when the read's budget
  // cuts it (the rows' lists hold a value for each).
  int declared_rows_ = 0;
};

void RegisterTableStreamClasses();

// The table's component block as stream bytes, and back (EReadError on any fault).
std::string TableToComponentBytes(TRDTableItemInfo& table);
void TableFromComponentBytes(TRDTableItemInfo& table, const std::string& bytes);

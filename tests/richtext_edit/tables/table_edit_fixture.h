// A table between two paragraphs of an editor, with the grid described slot by slot so
// that states can be compared whole, and the editor's client point of a table point for
// driving it with the mouse.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sys/pump.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/tables/table_document.h"

// Every slot: the cell's text, spans and colour, or '-' for a covered slot.
inline std::string DescribeGrid(TRDTableItemInfo& table) {
  std::string out;
  for (int r = 0; r < table.RowCount(); ++r) {
    if (r > 0) out += " / ";
    for (int c = 0; c < table.ColCount(); ++c) {
      if (c > 0) out += ",";
      const TRDTableCellData* cell = table.Cells(r, c);
      if (!cell) {
        out += "-";
        continue;
      }
      out += "[" + TTableDocument::CellText(*cell) + "]";
      if (cell->ColSpan > 1 || cell->RowSpan > 1)
        out += std::to_string(cell->ColSpan) + "x" + std::to_string(cell->RowSpan);
      if (cell->Color != clNone) out += "c" + std::to_string(cell->Color);
      if (cell->BestWidth != 0) out += "w" + std::to_string(cell->BestWidth);
      if (cell->BestHeight != 0) out += "h" + std::to_string(cell->BestHeight);
    }
  }
  return out;
}

// Runs what the editors queued for after the current input (a cell editor closing, moving
// on or laying its table out again), however long a loaded machine takes to get there.
inline void SettleEditors(TCustomRichDocEdit& edit) {
  const auto queued = [&edit] {
    for (TCustomRichDocEdit* editor = &edit; editor; editor = editor->InplaceEditor())
      if (editor->CallsQueued()) return true;
    return false;
  };
  Application->ProcessMessages();
  PumpUntil([&queued] { return !queued(); });
}

struct TTableEdit : TEditFixture {
  TRDTableItemInfo* table = nullptr;
  TTableEdit(int rows, int cols, const std::vector<std::string>& texts) {
    AddPara({{"before", 0}});
    auto made = std::make_unique<TRDTableItemInfo>(rows, cols, &data);
    table = made.get();
    for (size_t i = 0; i < texts.size(); ++i)
      if (!texts[i].empty())
        TTableDocument::SetCellText(*table, int(i) / cols, int(i) % cols, texts[i]);
    data.AddItemAtEnd("", std::move(made));
    AddPara({{"after", 0}});
    Format();
  }
  // Undo then redo must give the state before and after, again and again.
  void ExpectUndoRedo(const std::string& before, const std::string& after) {
    for (int round = 0; round < 2; ++round) {
      edit.Undo();
      EXPECT_EQ(DescribeGrid(*table), before) << "undo " << round;
      EXPECT_TRUE(table->Rows->IsConsistent());
      edit.Redo();
      EXPECT_EQ(DescribeGrid(*table), after) << "redo " << round;
      EXPECT_TRUE(table->Rows->IsConsistent());
    }
  }
  // The editor's client point of a point relative to the table's top-left corner.
  TPoint ClientOfTable(int x, int y) {
    int left = 0, top = 0;
    data.GetItemCoords(data.GetItemNo(table), left, top);
    const TRect area = edit.DocumentRect();
    int ox, oy;
    data.GetOrigin(ox, oy);
    return Point(left + x - data.GetHOffs() + ox + area.Left,
                 top + y - data.GetVOffs() + oy + area.Top);
  }
  // The middle of the cell's box, relative to the table.
  TPoint CellMiddle(int row, int col) {
    const TRDTableCellData& cell = *table->Cells(row, col);
    return Point(cell.Left() + cell.Width / 2, cell.Top + cell.Height / 2);
  }
};

// Test support: Qt's own rich-text editor (QTextEdit) holding tables nested in tables, as
// a peer for the benchmarks of our editor's painting.
#pragma once

#include <memory>

// A QTextEdit of Width x Height holding Depth tables of 2 x 2 cells, each table as wide
// as the cell around it (the outermost as wide as the editor) and standing in the first
// cell of the one around it, the other three cells of a table holding "N0CALL-" and its
// level; the cursor in the first cell of the innermost table.
class TQtNestedTablesEdit {
 public:
  TQtNestedTablesEdit(int Depth, int Width, int Height);
  ~TQtNestedTablesEdit();
  TQtNestedTablesEdit(const TQtNestedTablesEdit&) = delete;
  TQtNestedTablesEdit& operator=(const TQtNestedTablesEdit&) = delete;

  // Renders the editor whole, as PaintTo renders one of our controls: into a picture of
  // its own, then onto a target picture of the same size.
  void Paint();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

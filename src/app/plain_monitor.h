// The monitor's document without the rich-text viewer: text runs in styles, lines made
// by paragraph starts, one scroll unit per line and a page of PageLines lines. It backs
// the monitor until the rich-text viewer is in place, and lets the appender run with
// no window at all.
#pragma once

#include <string>
#include <vector>

#include "app/monitor_appender.h"

class TPlainMonitor : public TMonitorView {
 public:
  struct TItem {
    std::string Text;
    int StyleNo = 0;
    int ParaNo = -1;  // paragraph style of a run that starts a line; -1 continues one
  };

  // Lines the view shows at once.
  int PageLines = 20;

  int ItemCount() const override { return static_cast<int>(items_.size()); }
  std::string ReadItemText(int ItemNo) const override;
  void ReplaceItemText(int ItemNo, const std::string& Text) override;
  int GetItemStyleIndex(int ItemNo) const override;
  void AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo) override;
  void AddTextContinued(const std::string& Text, int StyleNo) override;
  void DeleteItemRange(int First, int Last) override;
  int GetLineNumber(int ItemNo) const override;
  int GetItemEndOffset(int ItemNo) const override;
  bool HasSelection() const override;
  TMonitorSelection GetSelectionRange() const override { return selection_; }
  void SetSelectionRange(const TMonitorSelection& Selection) override { selection_ = Selection; }
  void FormatDocument() override;
  void ClearDocument() override;
  int VScrollPos() const override { return scroll_pos_; }
  int GetVScrollMax() const override;
  void SetVScrollPos(int Value) override;
  void SetRedraw(bool On) override { redraw_ = On; }
  void Repaint() override {}

  const TItem& Item(int ItemNo) const;
  bool RedrawOn() const { return redraw_; }
  int LineCount() const;
  // The text of 1-based line Line, its runs joined.
  std::string LineText(int Line) const;

 private:
  void ItemsChanged() { lines_valid_ = false; }
  void CountLines() const;

  std::vector<TItem> items_;
  // 1-based line of each item, counted again after a change.
  mutable std::vector<int> line_of_;
  mutable bool lines_valid_ = false;
  TMonitorSelection selection_;
  int scroll_pos_ = 0;
  bool redraw_ = true;
};

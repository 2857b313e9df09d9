#include "app/plain_monitor.h"

#include <algorithm>

#include "platform/text/string_list.h"

namespace {

void CheckItem(int item, int count) {
  if (item < 0 || item >= count)
    throw EStringListError("List index out of bounds (" + std::to_string(item) + ")");
}

}  // namespace

const TPlainMonitor::TItem& TPlainMonitor::Item(int ItemNo) const {
  CheckItem(ItemNo, ItemCount());
  return items_[ItemNo];
}

std::string TPlainMonitor::ReadItemText(int ItemNo) const {
  return Item(ItemNo).Text;
}

void TPlainMonitor::ReplaceItemText(int ItemNo, const std::string& Text) {
  CheckItem(ItemNo, ItemCount());
  items_[ItemNo].Text = Text;
}

int TPlainMonitor::GetItemStyleIndex(int ItemNo) const {
  return Item(ItemNo).StyleNo;
}

void TPlainMonitor::AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo) {
  items_.push_back({Text, StyleNo, std::max(ParaNo, 0)});
  ItemsChanged();
}

void TPlainMonitor::AddTextContinued(const std::string& Text, int StyleNo) {
  items_.push_back({Text, StyleNo, -1});
  ItemsChanged();
}

void TPlainMonitor::DeleteItemRange(int First, int Last) {
  First = std::max(First, 0);
  Last = std::min(Last, ItemCount() - 1);
  if (First > Last) return;
  items_.erase(items_.begin() + First, items_.begin() + Last + 1);
  // As in the viewer, deleting items ends the selection; the appender puts it back.
  selection_ = {};
  ItemsChanged();
}

void TPlainMonitor::CountLines() const {
  if (lines_valid_) return;
  line_of_.resize(items_.size());
  int line = 1;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i > 0 && items_[i].ParaNo >= 0) ++line;
    line_of_[i] = line;
  }
  lines_valid_ = true;
}

int TPlainMonitor::GetLineNumber(int ItemNo) const {
  CheckItem(ItemNo, ItemCount());
  CountLines();
  return line_of_[ItemNo];
}

int TPlainMonitor::LineCount() const {
  return items_.empty() ? 0 : GetLineNumber(ItemCount() - 1);
}

std::string TPlainMonitor::LineText(int Line) const {
  std::string text;
  for (int i = 0; i < ItemCount(); ++i) {
    if (GetLineNumber(i) == Line) text += items_[i].Text;
  }
  return text;
}

int TPlainMonitor::GetItemEndOffset(int ItemNo) const {
  return static_cast<int>(Item(ItemNo).Text.size()) + 1;
}

bool TPlainMonitor::HasSelection() const {
  return selection_.StartItem != selection_.EndItem || selection_.StartOffs != selection_.EndOffs;
}

void TPlainMonitor::FormatDocument() {
  CountLines();
  scroll_pos_ = std::clamp(scroll_pos_, 0, GetVScrollMax());
  if (selection_.StartItem >= ItemCount() || selection_.EndItem >= ItemCount()) selection_ = {};
}

void TPlainMonitor::ClearDocument() {
  items_.clear();
  selection_ = {};
  ItemsChanged();
}

int TPlainMonitor::GetVScrollMax() const {
  return std::max(LineCount() - PageLines, 0);
}

void TPlainMonitor::SetVScrollPos(int Value) {
  scroll_pos_ = std::clamp(Value, 0, GetVScrollMax());
}

#include "richtext/model/draw_lines.h"

#include <iterator>

#include "richtext/base/item_text.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/model/rd_data.h"

std::unique_ptr<TRDDrawLineInfo> TRDDrawLineInfo::CreateEx(int left, int top, int width, int height,
                                                           int itemNo, bool fromNewLine) {
  auto info = std::make_unique<TRDDrawLineInfo>();
  info->SetData(left, top, itemNo, fromNewLine);
  info->SetSize(width, height);
  return info;
}

void TRDDrawLineInfo::SetData(int left, int top, int itemNo, bool fromNewLine) {
  Left = left;
  Top = top;
  ItemNo = itemNo;
  FromNewLine = fromNewLine;
}

void TRDDrawLineInfo::SetSize(int width, int height) {
  Width = width;
  Height = height;
}

TRDDrawLines::~TRDDrawLines() = default;

void TRDDrawLines::ThrowIndexError(int index) {
  throw ERDListIndexError(index);
}

void TRDDrawLines::Entered(const TRDDrawLineInfo* line) const {
  if (!line || line->LineMinWidth < 0 || widest_stale_) return;
  if (line->LineMinWidth > widest_) {
    widest_ = line->LineMinWidth;
    widest_count_ = 1;
  } else if (line->LineMinWidth == widest_) {
    ++widest_count_;
  }
}

void TRDDrawLines::Leaving(const TRDDrawLineInfo* line) const {
  if (!line || line->LineMinWidth < 0 || widest_stale_) return;
  if (line->LineMinWidth == widest_ && --widest_count_ == 0) widest_stale_ = true;
}

int TRDDrawLines::MaxLineMinWidth() const {
  if (widest_stale_) {
    widest_ = 0;
    widest_count_ = 0;
    widest_stale_ = false;
    for (const auto& line : items_) Entered(line.get());
  }
  return widest_;
}

void TRDDrawLines::SetLineMinWidth(int index, int width) {
  Check(index);
  TRDDrawLineInfo* line = items_[size_t(index)].get();
  Leaving(line);
  line->LineMinWidth = width;
  Entered(line);
}

void TRDDrawLines::PutItem(int index, std::unique_ptr<TRDDrawLineInfo> item) {
  Check(index);
  Leaving(items_[size_t(index)].get());
  Entered(item.get());
  items_[size_t(index)] = std::move(item);
}

void TRDDrawLines::Add(std::unique_ptr<TRDDrawLineInfo> item) {
  Entered(item.get());
  items_.push_back(std::move(item));
}

void TRDDrawLines::InsertItem(int index, std::unique_ptr<TRDDrawLineInfo> item) {
  if (DelCount > 0) {
    ++DelStart;
    --DelCount;
    PutItem(index, std::move(item));
    return;
  }
  if (index < 0 || index > Count()) throw ERDListIndexError(index);
  Entered(item.get());
  items_.insert(items_.begin() + index, std::move(item));
}

void TRDDrawLines::DeleteItem(int index) {
  Check(index);
  Leaving(items_[size_t(index)].get());
  if (DelCount > 0) {
    items_[size_t(index)].reset();
    --DelStart;
    ++DelCount;
    return;
  }
  items_.erase(items_.begin() + index);
}

void TRDDrawLines::MarkForDelete(int first, int last) {
  if (first < 0 || first > Count() || last < first - 1 || last >= Count())
    throw ERDListIndexError(last < first - 1 || first < 0 ? first : last);
  DelStart = first;
  DelCount = last - first + 1;
  for (int i = first; i <= last; ++i) {
    Leaving(items_[size_t(i)].get());
    items_[size_t(i)].reset();
  }
}

void TRDDrawLines::DeleteMarked() {
  if (DelCount == 0) return;
  DeleteRange(DelStart, DelStart + DelCount - 1);
  DelCount = 0;
}

void TRDDrawLines::DeleteRange(int first, int last) {
  if (last < first) return;
  Check(first);
  Check(last);
  for (int i = first; i <= last; ++i) Leaving(items_[size_t(i)].get());
  items_.erase(items_.begin() + first, items_.begin() + last + 1);
}

std::vector<std::unique_ptr<TRDDrawLineInfo>> TRDDrawLines::TakeTail(int first) {
  std::vector<std::unique_ptr<TRDDrawLineInfo>> tail;
  if (first >= Count()) return tail;
  Check(first);
  for (int i = first; i < Count(); ++i) Leaving(items_[size_t(i)].get());
  tail.assign(std::make_move_iterator(items_.begin() + first),
              std::make_move_iterator(items_.end()));
  items_.erase(items_.begin() + first, items_.end());
  return tail;
}

void TRDDrawLines::AppendAll(std::vector<std::unique_ptr<TRDDrawLineInfo>> items) {
  items_.reserve(items_.size() + items.size());
  for (auto& item : items) {
    Entered(item.get());
    items_.push_back(std::move(item));
  }
}

void TRDDrawLines::Clear() {
  items_.clear();
  widest_ = 0;
  widest_count_ = 0;
  widest_stale_ = false;
  DelStart = -1;
  DelCount = 0;
}

std::string TRDDrawLines::GetDrawItemText(int dItemNo, const TRDItemList& items) const {
  const TRDDrawLineInfo* d = GetItem(dItemNo);
  const TRDItemOptions options = items.Objects(d->ItemNo)->ItemOptions;
  return CopyItemText(items.Strings(d->ItemNo), d->Offs, d->Length, options);
}

std::string TRDDrawLines::GetSubDrawItemText(int dItemNo, const TRDItemList& items, int from,
                                             int count) const {
  const TRDDrawLineInfo* d = GetItem(dItemNo);
  if (from + count > d->Length + 1) count = d->Length - from + 1;
  const TRDItemOptions options = items.Objects(d->ItemNo)->ItemOptions;
  return CopyItemText(items.Strings(d->ItemNo), d->Offs + from - 1, count, options);
}

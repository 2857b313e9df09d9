#include "richtext/view/live_spelling.h"

#include <algorithm>
#include <cctype>

#include "platform/gui/controls/controls.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr char16_t kApostrophe = u'\'';
constexpr int kSymbolCharset = 2;

bool IsDelimiter(char16_t c, const std::vector<bool>& delimiters) {
  return c < delimiters.size() && delimiters[c];
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool HasBlank(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The document whose items sub-document k of item holds now: while a table cell is
// edited in place its items are in the cell editor's document, and are checked there as
// the user types.
TCustomRDData* HeldDoc(const TCustomRDItemInfo& item, int k) {
  TCustomRDData* sub = item.GetSubDoc(k);
  return sub ? sub->GetInplaceEditorData() : nullptr;
}

// Visits every item of rdData and of the cells its items hold, in reading order.
template <class Visit>
void ForEachItem(TCustomRDData& rdData, int from, Visit visit) {
  for (int i = std::max(0, from); i < rdData.GetItemCount(); ++i) {
    TCustomRDItemInfo* item = rdData.GetItem(i);
    visit(rdData, i, *item);
    for (int k = 0; k < item->GetSubDocCount(); ++k)
      if (TCustomRDData* sub = HeldDoc(*item, k)) ForEachItem(*sub, 0, visit);
  }
}

}  // namespace

bool RDIsWebAddress(std::string_view text) {
  if (text.empty() || HasBlank(text)) return false;
  if (StartsWithNoCase(text, "www.") || StartsWithNoCase(text, "mailto:")) return true;
  const size_t scheme = text.find("://");
  if (scheme == std::string_view::npos || scheme == 0) return false;
  return std::all_of(text.begin(), text.begin() + std::ptrdiff_t(scheme),
                     [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
}

bool RDIsMailAddress(std::string_view text) {
  const size_t at = text.find('@');
  return at != std::string_view::npos && at > 0 && at + 1 < text.size() &&
         text.find('@', at + 1) == std::string_view::npos && !HasBlank(text);
}

std::vector<TRDWordRange> RDFindWords(std::u16string_view text,
                                      const std::vector<bool>& delimiters) {
  std::vector<TRDWordRange> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (IsDelimiter(text[i], delimiters) || text[i] == kApostrophe)) ++i;
    const size_t start = i;
    while (i < text.size() && !IsDelimiter(text[i], delimiters)) ++i;
    size_t end = i;
    while (end > start && text[end - 1] == kApostrophe) --end;
    if (end > start) words.push_back(TRDWordRange{int(start) + 1, int(end - start)});
  }
  return words;
}

TRDWordEnumThread::TRDWordEnumThread(TCustomRDData& data, TCheck check,
                                     std::function<void(int)> repaint)
    : data_(data), check_(std::move(check)), repaint_(std::move(repaint)), delimiters_(256) {
  for (int c = 0; c < 256; ++c) delimiters_[size_t(c)] = data_.IsDelimiter(char16_t(c));
}

TRDWordEnumThread::~TRDWordEnumThread() {
  Stop();
}

void TRDWordEnumThread::Start() {
  Stop();
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
    paused_ = false;
  }
  next_item_ = 0;
  ClearAllMarks(data_, 0);
  thread_ = std::thread([this] { Execute(); });
}

void TRDWordEnumThread::Pause() {
  std::lock_guard lock(mutex_);
  paused_ = true;
}

void TRDWordEnumThread::Resume() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

void TRDWordEnumThread::Stop() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  job_.reset();
  results_.clear();
  in_flight_ = false;
  ClearAllMarks(data_, 0);
}

void TRDWordEnumThread::ClearAllMarks(TCustomRDData& rdData, int topItemNo) {
  for (int i = 0; i < rdData.GetItemCount(); ++i) {
    TCustomRDItemInfo* item = rdData.GetItem(i);
    const int top = &rdData == &data_ ? i : topItemNo;
    for (int k = 0; k < item->GetSubDocCount(); ++k)
      if (TCustomRDData* sub = HeldDoc(*item, k)) ClearAllMarks(*sub, top);
    if (!item->WordPainters && !(item->ItemState & rdisSpellChecked)) continue;
    const bool marked = item->WordPainters != nullptr;
    item->ClearMisspellings();
    if (marked && repaint_) repaint_(top);
  }
}

void TRDWordEnumThread::RecheckFrom(TCustomRDData* rdData, int itemNo) {
  if (!rdData) return;
  auto unmark = [](TCustomRDData&, int, TCustomRDItemInfo& item) {
    item.ItemState &= std::uint8_t(~rdisSpellChecked);
  };
  ForEachItem(*rdData, itemNo, unmark);
  // Within a cell (or its editor), the walk goes back to the document's item that holds
  // it; a document of no known place sends it back to the start.
  int top = itemNo;
  for (TCustomRDData* d = rdData; d != &data_; d = d->GetAbsoluteParentData()) {
    top = d->GetInplaceSourceData()->GetParentItemNo();
    if (!d->GetAbsoluteParentData() || top < 0) {
      top = 0;
      break;
    }
  }
  next_item_ = std::max(0, std::min(next_item_, top));
}

void TRDWordEnumThread::Execute() {
  for (;;) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stop_ || (!paused_ && job_); });
    if (stop_) return;
    Result result{std::move(*job_), true, {}};
    job_.reset();
    lock.unlock();
    for (const TRDWordRange& word : RDFindWords(result.Work.Text, delimiters_)) {
      {
        std::lock_guard check(mutex_);
        if (stop_ || paused_) {
          result.Complete = false;
          break;
        }
      }
      const std::u16string_view wide =
          std::u16string_view(result.Work.Text).substr(size_t(word.Start - 1), size_t(word.Length));
      // Words go in UTF-8 whatever the item's own encoding, as spelling dictionaries
      // read them: 8-bit text of any code page and Unicode text alike.
      const std::string utf8 = RawUnicodeToUTF8(WideStringToRawUnicode(wide));
      if (check_(utf8, result.Work.StyleNo)) result.Misspelt.push_back(word);
    }
    lock.lock();
    results_.push_back(std::move(result));
  }
}

bool TRDWordEnumThread::StillHeld(const TCustomRDData* rdData) const {
  if (rdData == &data_) return true;
  bool held = false;
  ForEachItem(data_, 0, [&](TCustomRDData&, int, TCustomRDItemInfo& item) {
    for (int k = 0; !held && k < item.GetSubDocCount(); ++k) held = HeldDoc(item, k) == rdData;
  });
  return held;
}

void TRDWordEnumThread::ApplyResults() {
  std::vector<Result> results;
  {
    std::lock_guard lock(mutex_);
    results.swap(results_);
  }
  for (Result& result : results) {
    in_flight_ = false;
    const Job& work = result.Work;
    const int itemNo = work.ItemNo;
    // The item, or the cell holding it, may have gone or changed while it was checked:
    // then it is checked anew.
    if (!result.Complete || !StillHeld(work.Data) || itemNo >= work.Data->GetItemCount() ||
        work.Data->GetItem(itemNo) != work.Item) {
      next_item_ = std::min(next_item_, work.TopItemNo);
      continue;
    }
    TCustomRDItemInfo* item = work.Data->GetItem(itemNo);
    const std::string& raw = work.Data->GetItemTextRaw(itemNo);
    const std::u16string now = IsUnicodeItem(item->ItemOptions)
                                   ? RawUnicodeToWideString(raw)
                                   : RawUnicodeToWideString(AnsiToRawUnicode(work.CodePage, raw));
    if (now != work.Text) {
      next_item_ = std::min(next_item_, work.TopItemNo);
      continue;
    }
    const bool hadMarks = item->WordPainters != nullptr;
    item->ClearMisspellings();
    for (const TRDWordRange& word : result.Misspelt) item->AddMisspelling(word.Start, word.Length);
    item->ItemState |= rdisSpellChecked;
    if (!(hadMarks || item->WordPainters)) continue;
    if (repaint_) repaint_(work.TopItemNo);
    // A cell editor is a window of its own over the document.
    if (work.Data->GetInplaceSourceData() != work.Data)
      if (TWinControl* editor = work.Data->GetParentControl()) editor->Invalidate();
  }
}

bool TRDWordEnumThread::NeedsCheck(TCustomRDData& rdData, int itemNo) const {
  TCustomRDItemInfo* item = rdData.GetItem(itemNo);
  if (item->StyleNo < 0 || (item->ItemState & rdisSpellChecked)) return false;
  if (!HasNoWords(rdData, itemNo, rdData.GetActualStyle(*item))) return true;
  item->ClearMisspellings();
  item->ItemState |= rdisSpellChecked;
  return false;
}

bool TRDWordEnumThread::HasNoWords(TCustomRDData& rdData, int itemNo, int styleNo) const {
  const TRDStyle* rdStyle = rdData.GetRDStyle();
  if (!rdStyle || styleNo >= rdStyle->TextStyles().Count()) return false;
  const TFontInfo& style = rdStyle->TextStyles()[styleNo];
  // Text in a picture font has no words.
  if (style.Charset == kSymbolCharset) return true;
  if (!style.LiveSpellingExempt || IsUnicodeItem(rdData.GetItem(itemNo)->ItemOptions)) return false;
  const std::string& text = rdData.GetItemTextRaw(itemNo);
  return RDIsWebAddress(text) || RDIsMailAddress(text);
}

bool TRDWordEnumThread::NextInCells(const TCustomRDItemInfo& item, TCustomRDData*& found,
                                    int& foundNo) const {
  for (int k = 0; k < item.GetSubDocCount(); ++k) {
    TCustomRDData* cell = HeldDoc(item, k);
    for (int i = 0; cell && i < cell->GetItemCount(); ++i) {
      if (NextInCells(*cell->GetItem(i), found, foundNo)) return true;
      if (!NeedsCheck(*cell, i)) continue;
      found = cell;
      foundNo = i;
      return true;
    }
  }
  return false;
}

bool TRDWordEnumThread::HandOutNext() {
  for (; next_item_ < data_.GetItemCount(); ++next_item_) {
    // A table stays the current item until none of its cells' items is left unchecked.
    TCustomRDData* rdData = nullptr;
    int itemNo = -1;
    if (!NextInCells(*data_.GetItem(next_item_), rdData, itemNo)) {
      if (!NeedsCheck(data_, next_item_)) continue;
      rdData = &data_;
      itemNo = next_item_;
    }
    TCustomRDItemInfo* item = rdData->GetItem(itemNo);
    const int styleNo = rdData->GetActualStyle(*item);
    const int codePage = rdData->GetStyleCodePage(styleNo);
    const std::string& raw = rdData->GetItemTextRaw(itemNo);
    Job job{rdData,
            next_item_,
            item,
            itemNo,
            IsUnicodeItem(item->ItemOptions)
                ? RawUnicodeToWideString(raw)
                : RawUnicodeToWideString(AnsiToRawUnicode(codePage, raw)),
            styleNo,
            codePage};
    {
      std::lock_guard lock(mutex_);
      job_ = std::move(job);
    }
    wake_.notify_all();
    in_flight_ = true;
    if (rdData == &data_) ++next_item_;
    return true;
  }
  return false;
}

bool TRDWordEnumThread::Pump() {
  if (!thread_.joinable()) return false;
  ApplyResults();
  // The document shrank under the cursor: look again from its start (checked items are
  // passed over quickly).
  if (next_item_ > data_.GetItemCount()) next_item_ = 0;
  bool paused;
  {
    std::lock_guard lock(mutex_);
    paused = paused_;
  }
  if (in_flight_) {
    // A job given up by a pause is handed out again.
    return true;
  }
  if (paused) return false;
  return HandOutNext();
}

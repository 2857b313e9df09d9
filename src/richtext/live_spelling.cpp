#include "richtext/live_spelling.h"

#include <algorithm>

#include "richtext/code_pages.h"
#include "richtext/item_text.h"
#include "richtext/rd_data.h"
#include "richtext/rd_style.h"

namespace {

constexpr char16_t kApostrophe = u'\'';
constexpr int kSymbolCharset = 2;

bool IsDelimiter(char16_t c, const std::vector<bool>& delimiters) {
  return c < delimiters.size() && delimiters[c];
}

}  // namespace

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

TRDLiveSpelling::TRDLiveSpelling(TCustomRDData& data, TCheck check,
                                 std::function<void(int)> repaint)
    : data_(data), check_(std::move(check)), repaint_(std::move(repaint)), delimiters_(256) {
  for (int c = 0; c < 256; ++c) delimiters_[size_t(c)] = data_.IsDelimiter(char16_t(c));
}

TRDLiveSpelling::~TRDLiveSpelling() {
  Stop();
}

void TRDLiveSpelling::Start() {
  Stop();
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
    paused_ = false;
  }
  next_item_ = 0;
  thread_ = std::thread([this] { Execute(); });
}

void TRDLiveSpelling::Pause() {
  std::lock_guard lock(mutex_);
  paused_ = true;
}

void TRDLiveSpelling::Resume() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

void TRDLiveSpelling::Stop() {
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
  ClearAllMarks();
}

void TRDLiveSpelling::ClearAllMarks() {
  for (int i = 0; i < data_.GetItemCount(); ++i) {
    TCustomRDItemInfo* item = data_.GetItem(i);
    if (!item->WordPainters && !(item->ItemState & rdisSpellChecked)) continue;
    const bool marked = item->WordPainters != nullptr;
    item->ClearMisspellings();
    if (marked && repaint_) repaint_(i);
  }
}

void TRDLiveSpelling::RecheckFrom(int itemNo) {
  next_item_ = std::max(0, std::min(next_item_, itemNo));
  for (int i = std::max(0, itemNo); i < data_.GetItemCount(); ++i)
    data_.GetItem(i)->ItemState &= std::uint8_t(~rdisSpellChecked);
}

void TRDLiveSpelling::Execute() {
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
      const std::string bytes =
          RawUnicodeToAnsi(result.Work.CodePage, WideStringToRawUnicode(wide));
      if (check_(bytes, result.Work.StyleNo)) result.Misspelt.push_back(word);
    }
    lock.lock();
    results_.push_back(std::move(result));
  }
}

void TRDLiveSpelling::ApplyResults() {
  std::vector<Result> results;
  {
    std::lock_guard lock(mutex_);
    results.swap(results_);
  }
  for (Result& result : results) {
    in_flight_ = false;
    const int itemNo = result.Work.ItemNo;
    // The item may have gone or changed while it was checked: then it is checked anew.
    if (!result.Complete || itemNo >= data_.GetItemCount() ||
        data_.GetItem(itemNo) != result.Work.Item) {
      next_item_ = std::min(next_item_, itemNo);
      continue;
    }
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    const std::string& raw = data_.GetItemTextRaw(itemNo);
    const std::u16string now =
        IsUnicodeItem(item->ItemOptions)
            ? RawUnicodeToWideString(raw)
            : RawUnicodeToWideString(AnsiToRawUnicode(result.Work.CodePage, raw));
    if (now != result.Work.Text) {
      next_item_ = std::min(next_item_, itemNo);
      continue;
    }
    const bool hadMarks = item->WordPainters != nullptr;
    item->ClearMisspellings();
    for (const TRDWordRange& word : result.Misspelt) item->AddMisspelling(word.Start, word.Length);
    item->ItemState |= rdisSpellChecked;
    if ((hadMarks || item->WordPainters) && repaint_) repaint_(itemNo);
  }
}

bool TRDLiveSpelling::HandOutNext() {
  const TRDStyle* rdStyle = data_.GetRDStyle();
  for (; next_item_ < data_.GetItemCount(); ++next_item_) {
    TCustomRDItemInfo* item = data_.GetItem(next_item_);
    if (item->StyleNo < 0 || (item->ItemState & rdisSpellChecked)) continue;
    const int styleNo = data_.GetActualStyle(*item);
    // Text in a picture font has no words.
    if (rdStyle && styleNo < rdStyle->TextStyles().Count() &&
        rdStyle->TextStyles()[styleNo].Charset == kSymbolCharset) {
      item->ClearMisspellings();
      item->ItemState |= rdisSpellChecked;
      continue;
    }
    const int codePage = data_.GetStyleCodePage(styleNo);
    const std::string& raw = data_.GetItemTextRaw(next_item_);
    Job job{item, next_item_,
            IsUnicodeItem(item->ItemOptions)
                ? RawUnicodeToWideString(raw)
                : RawUnicodeToWideString(AnsiToRawUnicode(codePage, raw)),
            styleNo, codePage};
    {
      std::lock_guard lock(mutex_);
      job_ = std::move(job);
    }
    wake_.notify_all();
    in_flight_ = true;
    ++next_item_;
    return true;
  }
  return false;
}

bool TRDLiveSpelling::Pump() {
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

// Joining neighbouring text items over a range, and parting them again on undo, with one
// pass over the item list each way: a style applied to, or a document pasted as, many
// lines of several pieces joins tens of thousands of pairs.
#include <algorithm>

#include "richtext_edit/edit/edit_data.h"

void TRDItemJoiner::JoinWithNext(int itemNo) {
  const int nextNo = itemNo + 1;
  // An empty host takes the next item's style, tag or checkpoint, or gives it its place:
  // rare, and done as a pair on the items as they stand.
  if (data_.GetItemTextRaw(itemNo).empty()) {
    Finish();
    data_.JoinWithNextItemWithUndo(itemNo);
    return;
  }
  std::string text = data_.GetItemTextRaw(itemNo);
  const int hostLength = int(text.size());
  const std::string& nextText = data_.GetItemTextRaw(nextNo);
  // The next item's own text: what it held before the items joined into it came.
  const int ownLength = last_host_ == nextNo ? last_host_length_ : int(nextText.size());
  std::string own = nextText.substr(0, size_t(ownLength));
  text += nextText;
  data_.SetItemTextRaw(itemNo, std::move(text));
  TCustomRDItemInfo* next = data_.GetItem(nextNo);
  if (!record_ && data_.GetUndoListForRecording()) {
    auto made = std::make_unique<TRDUndoJoinItemsInfo>();
    made->Kind = rdrkDeleteItems;
    record_ = data_.GetUndoListForRecording()->Add(std::move(made));
  }
  if (record_) {
    next->MovingToUndoList(nextNo, &data_);
    std::unique_ptr<TCustomRDItemInfo> taken = data_.Items.TakeObject(nextNo);
    taken->DrawItemNo = -1;
    record_->Joined.push_back({nextNo, hostLength, std::move(own), std::move(taken)});
  } else {
    data_.FreeItem(nextNo, false);
  }
  emptied_.push_back(nextNo);
  last_host_ = itemNo;
  last_host_length_ = hostLength;
}

void TRDItemJoiner::Finish() {
  if (record_) {
    const int count = int(record_->Joined.size());
    record_->FirstItemNo = record_->Joined.back().ItemNo - 1;
    record_->LastItemNo = record_->Joined.front().ItemNo - count;
    record_->Added = count;
    record_ = nullptr;
  }
  data_.Items.DeleteTaken(std::move(emptied_));
  emptied_.clear();
  last_host_ = -1;
}

void TRDEditRDData::PartJoinedItemsWithUndo(std::vector<TRDUndoJoinItemsInfo::TJoined> joined) {
  if (joined.empty()) return;
  // From the first item on: each host is cut back to its own text once its items are in.
  std::reverse(joined.begin(), joined.end());
  if (TRDUndoList* list = GetUndoListForRecording()) {
    auto made = std::make_unique<TRDUndoPartItemsInfo>();
    made->Kind = rdrkInsertItems;
    for (auto it = joined.rbegin(); it != joined.rend(); ++it) made->ItemNos.push_back(it->ItemNo);
    made->FirstItemNo = joined.front().ItemNo - 1;
    made->LastItemNo = joined.back().ItemNo;
    made->Added = -int(joined.size());
    list->Add(std::move(made));
  }
  std::vector<TRDItemList::TPlaced> placed;
  placed.reserve(joined.size());
  std::vector<std::pair<int, int>> cuts;  // host, its length before the join
  cuts.reserve(joined.size());
  for (auto& part : joined) {
    cuts.emplace_back(part.ItemNo - 1, part.HostLength);
    placed.push_back({part.ItemNo, std::move(part.Text), std::move(part.Item)});
  }
  Items.InsertPlaced(std::move(placed));
  for (const auto& [host, length] : cuts) {
    if (int(GetItemTextRaw(host).size()) == length) continue;
    std::string text = GetItemTextRaw(host);
    text.resize(size_t(length));
    SetItemTextRaw(host, std::move(text));
  }
  for (const auto& part : joined) {
    TCustomRDItemInfo* item = GetItem(part.ItemNo);
    std::string text = GetItemTextRaw(part.ItemNo);
    item->NotifyData(this, text);
    item->NotifyDataEx(this);
    item->MovingFromUndoList(part.ItemNo, this);
  }
}

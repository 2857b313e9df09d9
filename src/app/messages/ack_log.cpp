#include "app/messages/ack_log.h"

#include <algorithm>
#include <vector>

#include "core/csv_ctrl.h"
#include "platform/text/format.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

bool TAckLog::AnsweredLately(const std::string& Key, TDateTime Now) {
  Forget(Now);
  return sent_.find(UpperCase(Key)) != sent_.end();
}

void TAckLog::Add(const std::string& Key, TDateTime Now) {
  Forget(Now);
  std::string upper = UpperCase(Key);
  order_.emplace_back(Now, upper);
  sent_.insert_or_assign(std::move(upper), TSent{Now, Key});
}

void TAckLog::Forget(TDateTime Now) {
  while (!order_.empty()) {
    const auto& [time, key] = order_.front();
    if (Now - time <= kAckRepeatAge && time <= Now) break;
    // A key answered again later stays with its newer time.
    const auto it = sent_.find(key);
    if (it != sent_.end() && it->second.Time == time) sent_.erase(it);
    order_.pop_front();
  }
}

void TAckLog::ListTo(TStrings& Lines, TDateTime Now) {
  Forget(Now);
  std::vector<const TSent*> sent;
  sent.reserve(sent_.size());
  for (const auto& entry : sent_) sent.push_back(&entry.second);
  std::sort(sent.begin(), sent.end(),
            [](const TSent* a, const TSent* b) { return CompareText(a->Key, b->Key) < 0; });
  Lines.BeginUpdate();
  Lines.Clear();
  for (const TSent* answer : sent) {
    std::string key, record;
    CsvEscape(answer->Key, key);
    CsvAddField(key, record);
    CsvAddField(FormatDateTime("yymmddhhnnss", answer->Time), record);
    Lines.Add(record);
  }
  Lines.EndUpdate();
}

// The automatic acknowledgements sent lately. A message heard again within five seconds
// (a digipeated copy, the same message from radio and internet) is not answered again;
// older answers are never consulted, so they are forgotten as new ones come. Looking up
// and adding cost the same however many messages arrive.
//
// Key: port ':' sender '>' addressee ':' '{' number, compared without case.
#pragma once

#include <deque>
#include <string>
#include <unordered_map>

#include "platform/sys/date_time.h"

class TStrings;

// A repeated message is not acknowledged again within this time.
constexpr TDateTime kAckRepeatAge = 0.0000578704;  // five seconds

class TAckLog {
 public:
  // True when Key was answered no more than five seconds before Now.
  bool AnsweredLately(const std::string& Key, TDateTime Now);
  // Notes that Key was answered at Now.
  void Add(const std::string& Key, TDateTime Now);
  // Answers still remembered.
  int Count() const { return static_cast<int>(sent_.size()); }
  // One record per answer still remembered at Now, in key order: the escaped key and the
  // time "yymmddhhnnss", as semicolon fields.
  void ListTo(TStrings& Lines, TDateTime Now);

 private:
  // Drops the answers older than five seconds, and those stamped after Now (the clock
  // was set back): no answer waits longer than that to be dropped.
  void Forget(TDateTime Now);

  // Newest answer time by upper-cased key, and the key as first written.
  struct TSent {
    TDateTime Time;
    std::string Key;
  };
  std::unordered_map<std::string, TSent> sent_;
  // Every answer in the order sent, to forget them oldest first.
  std::deque<std::pair<TDateTime, std::string>> order_;
};

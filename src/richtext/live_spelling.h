// Live spelling: a worker thread checks the words of a document while the user reads or
// types, and misspelt words get marks that the viewer underlines.
//
// The document belongs to the GUI thread and the worker never sees it: Pump (on the GUI
// thread, from a timer) hands the worker a copy of the next unchecked text item and takes
// in the marks it found for earlier ones, dropping those whose item has gone or changed
// meanwhile. Pause, Resume and Stop reach the worker through a condition variable; Stop
// joins it. Only the check itself runs on the worker.
//
// Words are runs between the document's delimiters; apostrophes separate words only at
// their start or end: "don't stop" has the words don't and stop, "'quoted'" the word
// quoted.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TCustomRDData;
class TCustomRDItemInfo;

struct TRDWordRange {
  int Start;   // 1-based character offset in the item text
  int Length;  // characters
};

// The words of text (UTF-16) by the delimiter table (one flag a character code below 256).
std::vector<TRDWordRange> RDFindWords(std::u16string_view text,
                                      const std::vector<bool>& delimiters);

class TRDLiveSpelling {
 public:
  // Runs on the worker thread: true when word (in the text style's code page) is misspelt.
  using TCheck = std::function<bool(const std::string& word, int styleNo)>;
  // repaint(itemNo) is called on the GUI thread when the marks of an item changed.
  TRDLiveSpelling(TCustomRDData& data, TCheck check, std::function<void(int itemNo)> repaint);
  ~TRDLiveSpelling();
  TRDLiveSpelling(const TRDLiveSpelling&) = delete;
  TRDLiveSpelling& operator=(const TRDLiveSpelling&) = delete;

  // Clears every mark and checks the document from its start.
  void Start();
  // The worker stops after the word it is checking; the item it was on is checked again
  // after Resume.
  void Pause();
  void Resume();
  // Ends and joins the worker and clears every mark.
  void Stop();
  // The document changed from itemNo on: those items are checked again.
  void RecheckFrom(int itemNo);
  // GUI thread: applies what the worker found and hands it the next item. False when the
  // whole document is checked (or checking is paused or stopped).
  bool Pump();
  bool Running() const { return thread_.joinable(); }

 private:
  struct Job {
    const TCustomRDItemInfo* Item;  // compared, never dereferenced by the worker
    int ItemNo;
    std::u16string Text;
    int StyleNo;
    int CodePage;
  };
  struct Result {
    Job Work;
    bool Complete;
    std::vector<TRDWordRange> Misspelt;
  };
  void Execute();
  void ApplyResults();
  bool HandOutNext();
  void ClearAllMarks();

  TCustomRDData& data_;
  TCheck check_;
  std::function<void(int)> repaint_;
  std::vector<bool> delimiters_;
  int next_item_ = 0;
  bool in_flight_ = false;

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  // Shared with the worker under mutex_.
  bool stop_ = false;
  bool paused_ = false;
  std::optional<Job> job_;
  std::vector<Result> results_;
};

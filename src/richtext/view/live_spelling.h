// Live spelling: a worker thread checks the words of a document while the user reads or
// types, and misspelt words get marks that the viewer underlines.
//
// The document belongs to the GUI thread and the worker never sees it: Pump (on the GUI
// thread, from a timer) hands the worker a copy of the next unchecked text item and takes
// in the marks it found for earlier ones, dropping those whose item (or the cell holding
// it) has gone or changed meanwhile. The walk goes into the documents items hold (table
// cells, or the cell editor's document while a cell is edited) in reading order. Pause,
// Resume and Stop reach the worker through a condition variable; Stop joins it. Only
// the check itself runs on the worker.
//
// Words are runs between the document's delimiters; apostrophes separate words only at
// their start or end: "don't stop" has the words don't and stop, "'quoted'" the word
// quoted. Text of a style exempt from live spelling (LiveSpellingExempt) that is a web or
// mail address has no words.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
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

// The two tests of a whole item text that an exempt style's text must pass to be left
// out: a web address (a scheme and "://", "mailto:" or "www.") or a mail address
// (name@host, no blank).
bool RDIsWebAddress(std::string_view text);
bool RDIsMailAddress(std::string_view text);

class TRDWordEnumThread {
 public:
  // Runs on the worker thread: true when word (in UTF-8) is misspelt.
  using TCheck = std::function<bool(const std::string& word, int styleNo)>;
  // repaint(itemNo) is called on the GUI thread when the marks of an item changed; the
  // number is that of the document's item, the one holding the cell for a cell's item.
  TRDWordEnumThread(TCustomRDData& data, TCheck check, std::function<void(int itemNo)> repaint);
  ~TRDWordEnumThread();
  TRDWordEnumThread(const TRDWordEnumThread&) = delete;
  TRDWordEnumThread& operator=(const TRDWordEnumThread&) = delete;

  // Clears every mark and checks the document from its start.
  void Start();
  // The worker stops after the word it is checking; the item it was on is checked again
  // after Resume.
  void Pause();
  void Resume();
  // Ends and joins the worker and clears every mark.
  void Stop();
  // The document (or a cell inside it) changed from itemNo on: those items are checked
  // again.
  void RecheckFrom(TCustomRDData* rdData, int itemNo);
  // GUI thread: applies what the worker found and hands it the next item. False when the
  // whole document is checked (or checking is paused or stopped).
  bool Pump();
  bool Running() const { return thread_.joinable(); }
  // Whether rdData is the document or a cell that is still inside it.
  bool StillHeld(const TCustomRDData* rdData) const;

 private:
  struct Job {
    TCustomRDData* Data;            // the document or cell holding the item
    int TopItemNo;                  // the document's item that is it or holds its cell
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
  // The first text item of the cells item holds (and of the cells inside those) that
  // needs checking; false when there is none.
  bool NextInCells(const TCustomRDItemInfo& item, TCustomRDData*& found, int& foundNo) const;
  // Whether the item is text still to check; text without words is marked checked.
  bool NeedsCheck(TCustomRDData& rdData, int itemNo) const;
  bool HasNoWords(TCustomRDData& rdData, int itemNo, int styleNo) const;
  void ClearAllMarks(TCustomRDData& rdData, int topItemNo);

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

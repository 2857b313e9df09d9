// Undo and redo: every change of the editable document is recorded as records
// (TRDUndoInfo) grouped into steps (TRDUndoInfos), kept oldest first in an undo list
// and a redo list. Undoing a step replays its records from the last to the first; each
// record calls a recording operation of the editable data, which puts the inverse record
// into the opposite list. So redo is the undo of what undo recorded.
//
// Typed characters are the exception: one typing record per run of characters typed
// one after the other grows by one character a key press, and one undo or redo command
// moves one character between the lists.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class TCustomRDData;
class TRDEditRDData;
class TRDUndoList;

// Step kinds: what the operation that began a step was.
using TRDUndoType = std::uint8_t;
constexpr TRDUndoType rdutNone = 0;
constexpr TRDUndoType rdutDelete = 1;       // Backspace, Delete, deleting the selection
constexpr TRDUndoType rdutInsert = 2;       // paste, drop, inserting text, pictures, documents
constexpr TRDUndoType rdutPara = 3;         // paragraph style change
constexpr TRDUndoType rdutMiscTyping = 4;   // new paragraph, line break, several characters
constexpr TRDUndoType rdutTyping = 7;       // single typed characters
constexpr TRDUndoType rdutStyleNo = 9;      // text style change
constexpr TRDUndoType rdutModifyItem = 13;  // property change of an item or a table cell

// Record kinds.
constexpr std::uint8_t rdrkReformat = 0;
constexpr std::uint8_t rdrkDeleteItem = 1;
constexpr std::uint8_t rdrkDeleteItems = 2;
constexpr std::uint8_t rdrkDeleteSubstring = 3;
constexpr std::uint8_t rdrkInsertItem = 4;
constexpr std::uint8_t rdrkInsertItems = 5;
constexpr std::uint8_t rdrkInsertSubstring = 6;
constexpr std::uint8_t rdrkNewLine = 7;
constexpr std::uint8_t rdrkLineBreak = 8;
constexpr std::uint8_t rdrkParaNo = 9;
constexpr std::uint8_t rdrkPageBreak = 10;
constexpr std::uint8_t rdrkTyping = 11;
constexpr std::uint8_t rdrkTag = 12;
constexpr std::uint8_t rdrkStyleNo = 13;
constexpr std::uint8_t rdrkCheckpoint = 14;
constexpr std::uint8_t rdrkModifyItem = 15;
constexpr std::uint8_t rdrkChangeText = 16;

// One elementary change that can be taken back.
class TRDUndoInfo {
 public:
  TRDUndoInfo() = default;
  virtual ~TRDUndoInfo() = default;
  TRDUndoInfo(const TRDUndoInfo&) = delete;
  TRDUndoInfo& operator=(const TRDUndoInfo&) = delete;

  std::uint8_t Kind = 0;

  virtual bool NeedsFullFormatBeforeUndo(TRDEditRDData&) { return false; }
  virtual bool NeedsFullFormatAfterUndo(TRDEditRDData&) { return false; }
  virtual bool NeedsFormat() const { return true; }
  virtual bool NeedsRootFormat() const { return false; }
  virtual void Undo(TRDEditRDData&) {}
  virtual void GetAffectedItems(int& /*startItemNo*/, int& /*endItemNo*/, TRDEditRDData&) const {}
  // How many items undoing adds to the document (negative when it removes).
  virtual int ItemsAdded() const { return 0; }
  // A record that undo takes back in parts (typing, an inner document's undo list) stays
  // in its step until nothing is left; any other goes once undone.
  virtual bool UndoesInParts() const { return false; }
  // The document the record belongs to: the owner of the list it was recorded into, which
  // outlives every list it moves through (a cell editor's or a hidden editor's lists are
  // owned by the document holding the table), so a record never points at a list.
  TCustomRDData* Owner() const { return owner_; }

 private:
  friend class TRDUndoList;
  TCustomRDData* owner_ = nullptr;
};

// One step: the records of one user-visible change.
class TRDUndoInfos {
 public:
  std::string Caption;
  TRDUndoType Kind = rdutNone;
  // Where the caret goes after the step is undone (offset 1-based inside text).
  int CaretItemNo = -1;
  int CaretOffs = -1;
  std::vector<std::unique_ptr<TRDUndoInfo>> Records;

  int Count() const { return int(Records.size()); }
  // Undoes the records, last first, re-laying out what they touched when reformat.
  void Perform(TRDEditRDData& data, bool reformat);
  bool IsExhausted() const;
};

class TRDUndoList {
 public:
  // owner: the document whose records these are (it frees the items records hold).
  explicit TRDUndoList(TCustomRDData* owner) : owner_(owner) {}
  virtual ~TRDUndoList();
  TRDUndoList(const TRDUndoList&) = delete;
  TRDUndoList& operator=(const TRDUndoList&) = delete;

  TCustomRDData* Owner() const { return owner_; }
  int Count() const { return int(steps_.size()); }
  TRDUndoInfos* Step(int index) const { return steps_[size_t(index)].get(); }
  TRDUndoInfos* LastStep() const { return steps_.empty() ? nullptr : steps_.back().get(); }

  // -1: no limit; 0: nothing is recorded. Lowering the limit below the number of steps
  // drops the oldest ones.
  int Limit() const { return limit_; }
  void SetLimit(int value);

  // False when nothing is to be recorded (limit 0).
  bool BeginStep(TRDUndoType kind, const std::string& caption, int caretItemNo, int caretOffs);
  // Into the last step; raises "Can't modify empty undo list" or "Incorrect adding into
  // undo list" (the last step is a typing record).
  TRDUndoInfo* AddRecord(std::unique_ptr<TRDUndoInfo> record);
  template <class T>
  T* Add(std::unique_ptr<T> record) {
    T* raw = record.get();
    AddRecord(std::move(record));
    return raw;
  }
  // A finished step (table editing builds steps of its own).
  void AddStep(std::unique_ptr<TRDUndoInfos> step);
  // One character typed at pos of itemNo (undo list) / taken back by undo (redo list,
  // ch its bytes, pos just after it).
  void AddTyping(int itemNo, int pos, bool unicode);
  void AddUntyping(const std::string& ch, int itemNo, int pos);
  void DropEmptyLastStep();
  TRDUndoType CurrentKind() const;
  void SetGroupMode(bool on) { group_mode_ += on ? 1 : -1; }
  bool InGroupMode() const { return group_mode_ > 0; }
  // Undo on the undo list, Redo on the redo list: the last step is taken back, and what
  // that takes back lands in the other list. "Undo buffer is empty" without steps.
  void Undo(TRDEditRDData& data);
  void Redo(TRDEditRDData& data);
  virtual void Clear();
  // Takes the last step out (a table moves a cell editor's steps into its own list).
  std::unique_ptr<TRDUndoInfos> ExtractLastStep();

 private:
  void TrimToLimit(int room);
  void PerformLast(TRDEditRDData& data, bool undoing);
  void RollBack(TRDEditRDData& data, bool undoing, TRDUndoList* other, std::uint64_t otherSteps);
  void PushStep(std::unique_ptr<TRDUndoInfos> step);
  void FreeLastIfEmpty();
  TCustomRDData* owner_;
  std::deque<std::unique_ptr<TRDUndoInfos>> steps_;
  int limit_ = -1;
  int group_mode_ = 0;
  // Counts every step appended, so that a caller can tell whether one was since.
  std::uint64_t steps_added_ = 0;
};

// The redo list is the same list under a second name.
using TRDRedoList = TRDUndoList;

// Lists of strings: the abstract TStrings that controls expose (list box items, memo
// lines...) and the stand-alone TStringList.
//
// Indices are 0-based. Every string may carry an object pointer that the list only
// keeps beside it (never owns, never frees) and moves along with it, through sorting
// too. As text, a list is its lines each ended by CR LF; on reading, CR LF, a lone LF
// and a lone CR all end a line.
//
// Comparisons: case-insensitive (the default) folds the ASCII letters only and then
// compares byte codes (CompareText); case-sensitive compares byte codes (CompareStr).
// A sorted list is in that order, which is also the order a bisection by upper-cased
// key expects.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/text/sysutils.h"

class TStream;

// Index out of range, a duplicate refused by dupError, or a positional change on a
// sorted list.
class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

class TStrings {
 public:
  TStrings() = default;
  virtual ~TStrings() = default;
  // Lists are objects with an identity (events, owners); copy the content with Assign.
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& text);
  virtual void* Objects(int index) const;
  virtual void SetObject(int index, void* object);
  // Returns the index the string went to.
  virtual int Add(const std::string& text);
  virtual int AddObject(const std::string& text, void* object);
  virtual void Insert(int index, const std::string& text) = 0;
  void InsertObject(int index, const std::string& text, void* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int IndexOf(const std::string& text) const;
  virtual void Exchange(int index1, int index2);
  void Move(int currentIndex, int newIndex);

  std::string Strings(int index) const { return Get(index); }
  std::string operator[](int index) const { return Get(index); }

  // Each line followed by CR LF.
  std::string Text() const;
  void SetText(const std::string& text);
  // Items separated by ","; an item holding a blank, a control character, '"' or ','
  // is written in double quotes with inner quotes doubled, and so is a lone empty item.
  // On reading, an unquoted item ends at ',' or a blank.
  std::string CommaText() const;
  void SetCommaText(const std::string& text);

  // "name=value" lines. Values of a missing name is empty; SetValue with an empty value
  // deletes the line, with a new name adds one.
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& value);
  int IndexOfName(const std::string& name) const;

  // Nested pairs; the list is told when the outermost update ends.
  void BeginUpdate();
  void EndUpdate();

  // Replace the content by the file's or the rest of the stream's lines; file errors
  // raise EFOpenError / EReadError.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TStream& stream);
  void SaveToFile(const std::string& fileName) const;
  void SaveToStream(TStream& stream) const;

  // Replace the content by (or append) the other list's strings and objects.
  void Assign(const TStrings& source);
  void AddStrings(const TStrings& source);

 protected:
  // <0, 0, >0 in the list's order; TStrings compares case-insensitively.
  virtual int CompareStrings(const std::string& a, const std::string& b) const;
  // Called when the first update begins (true) and the last ends (false).
  virtual void SetUpdateState(bool updating);
  int UpdateCount() const { return update_count_; }
  // Raises EStringListError "List index out of bounds (n)" unless 0 <= index < limit.
  static void CheckIndex(int index, int limit);

 private:
  int update_count_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  // Get without the copy, for comparisons that run many times per change.
  const std::string& GetRef(int index) const;
  void Put(int index, const std::string& text) override;
  void* Objects(int index) const override;
  void SetObject(int index, void* object) override;
  // In a sorted list the string goes to its place; a duplicate is dropped
  // (dupIgnore, returning the existing index), refused (dupError) or kept (dupAccept).
  int Add(const std::string& text) override;
  int AddObject(const std::string& text, void* object) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::string& text) const override;
  void Exchange(int index1, int index2) override;

  // Bisection for `text` in a sorted list: true when found. `index` is the position of
  // the first equal string, or where the string would be inserted.
  bool Find(const std::string& text, int& index) const;
  // Sorting is stable: equal strings keep their order. Sort does nothing on a list that
  // is already Sorted.
  void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  bool CaseSensitive() const { return case_sensitive_; }
  // Re-sorts a sorted list.
  void SetCaseSensitive(bool caseSensitive);

  // After every change, unless inside BeginUpdate/EndUpdate; once at EndUpdate.
  std::function<void(TStringList* Sender)> OnChange;

 protected:
  int CompareStrings(const std::string& a, const std::string& b) const override;
  void SetUpdateState(bool updating) override;

 private:
  struct Item {
    std::string text;
    void* object = nullptr;
  };
  void InsertItem(int index, const std::string& text, void* object);
  void Changed();

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool case_sensitive_ = false;
};

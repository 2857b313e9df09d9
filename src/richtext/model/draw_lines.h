// Draw items: each is one laid-out piece of one item on one screen line (a run of
// characters of a text item, or a whole non-text item) with its rectangle in document
// coordinates. TRDDrawLines keeps them for fast partial reformatting: a run of old draw
// items is freed while their slots stay (the deferred-delete window), new draw items drop
// into those slots, and only what is left is cut out at the end, in one block move.
//
// Example: with a window of 3 slots, three InsertItem calls at the window start leave
// the list length unchanged and close the window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TRDCanvas;
class TRDItemList;

class TRDDrawLineInfo {
 public:
  TRDDrawLineInfo() = default;
  // Construction through the virtual SetData and SetSize (so descendants' apply).
  static std::unique_ptr<TRDDrawLineInfo> CreateEx(int left, int top, int width, int height,
                                                   int itemNo, bool fromNewLine);
  virtual ~TRDDrawLineInfo() = default;

  int XShift = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int ItemNo = 0;
  int Offs = 0;
  int Length = 0;
  int ExtraSpaceBelow = 0;
  // Pixels justification added to Width, beside the space that begins the piece's text.
  int JustifyExtra = 0;
  // On the first draw line of an item that starts a line (a paragraph or a line break):
  // the least width the document needs for that line (no-wrap text, non-text items,
  // indents); -1 on every other draw line. Set through TRDDrawLines::SetLineMinWidth.
  int LineMinWidth = -1;
  bool FromNewLine = false;
  // The piece's level in the order of its screen line: odd levels read right to left. A
  // text piece holds characters of one level.
  std::uint8_t BiDiLevel = 0;

  bool IsRightToLeft() const { return (BiDiLevel & 1) != 0; }
  // Pixels between the piece's left edge and its text: the justification extra, unless
  // the piece reads right to left and so shows its first space at its right end.
  int TextIndent() const { return IsRightToLeft() ? 0 : JustifyExtra; }

  virtual void SetData(int left, int top, int itemNo, bool fromNewLine);
  virtual void SetSize(int width, int height);
  // Page splitting when printing: a plain draw item is never split.
  virtual bool InitSplit() { return false; }
  virtual bool CanSplitFirst(int) const { return false; }
  virtual bool SplitAt(int) { return false; }
  // A draw line that lays its item out itself on paper (a table's) does so for docWidth
  // device pixels, gives its size and answers true; others leave it to the item.
  virtual bool LayOutForPrinting(TRDCanvas&, int /*docWidth*/, int& /*width*/, int& /*height*/) {
    return false;
  }
};

class TRDDrawLines {
 public:
  TRDDrawLines() = default;
  ~TRDDrawLines();
  TRDDrawLines(const TRDDrawLines&) = delete;
  TRDDrawLines& operator=(const TRDDrawLines&) = delete;

  int DelStart = -1;
  int DelCount = 0;

  int Count() const { return int(items_.size()); }
  // The draw item at index (the list-index error outside 0..Count-1). Inside an open
  // window the slot is empty: nullptr.
  TRDDrawLineInfo* GetItem(int index) const {
    Check(index);
    return items_[size_t(index)].get();
  }
  TRDDrawLineInfo* operator[](int index) const { return GetItem(index); }
  void PutItem(int index, std::unique_ptr<TRDDrawLineInfo> item);
  void Add(std::unique_ptr<TRDDrawLineInfo> item);
  // Into the window's first slot while a window is open, else inserted (the list shifts).
  void InsertItem(int index, std::unique_ptr<TRDDrawLineInfo> item);
  // Frees the draw item; with a window open its slot joins the window, else it is removed.
  void DeleteItem(int index);
  // Frees first..last and opens the window over their slots (last = first - 1: empty).
  void MarkForDelete(int first, int last);
  // Cuts out the slots of the window that were not refilled.
  void DeleteMarked();
  // Removes the entries first..last (freeing what they still hold).
  void DeleteRange(int first, int last);
  // Takes the entries from first on out of the list, and puts such a run back at the end:
  // a part in the middle can be laid out again while the rest waits.
  std::vector<std::unique_ptr<TRDDrawLineInfo>> TakeTail(int first);
  void AppendAll(std::vector<std::unique_ptr<TRDDrawLineInfo>> items);
  void Clear();

  // The widest LineMinWidth among the draw lines held, 0 when none has one: the least
  // width of the document as laid out. Kept as lines come and go; only when the last of
  // the widest lines goes is the list walked again, at the next question.
  int MaxLineMinWidth() const;
  void SetLineMinWidth(int index, int width);

  std::string GetDrawItemText(int dItemNo, const TRDItemList& items) const;
  // count characters from the from-th character (1-based) of the draw item, cut at its end.
  std::string GetSubDrawItemText(int dItemNo, const TRDItemList& items, int from, int count) const;

 private:
  // Inline: layout and trimming read draw lines in loops over the whole document.
  void Check(int index) const {
    if (index < 0 || index >= Count()) ThrowIndexError(index);
  }
  [[noreturn]] static void ThrowIndexError(int index);
  // A line comes into the list or goes out of it (the widest line's bookkeeping).
  void Entered(const TRDDrawLineInfo* line) const;
  void Leaving(const TRDDrawLineInfo* line) const;
  std::vector<std::unique_ptr<TRDDrawLineInfo>> items_;
  // The widest line minimum width and how many lines have it; stale once the last of
  // them went.
  mutable int widest_ = 0;
  mutable int widest_count_ = 0;
  mutable bool widest_stale_ = false;
};

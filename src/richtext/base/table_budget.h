// What the tables of one read may build, in bytes of cell state. A few bytes of a file
// may declare thousands of table slots (a row of 256 cells repeated by each four-byte
// \row, a document file's table record of 131,072 slots that one merged cell fills), so
// each read, of a file, a paste or a drop, has one budget sized by its bytes, which every
// table it reads takes from: nested tables, and tables in cells read as documents of
// their own, join the read around them.
//
//   TRDTableBudget read(bytes.size());            // opens, or joins the read open
//   if (!TRDTableBudget::Take(cost)) { ...cut }   // the table, or its rows, left out
#pragma once

#include <cstdint>

// A read of n bytes may build kTableBytesPerRead + n * kTableBytesPerByte bytes of
// tables: a file of cells costs a few times what a file of paragraphs of its size does,
// and every table our writers write fits into what its bytes pay for.
constexpr std::int64_t kTableBytesPerRead = std::int64_t(16) << 20;
constexpr std::int64_t kTableBytesPerByte = 128;

class TRDTableBudget {
 public:
  explicit TRDTableBudget(std::int64_t readBytes);
  ~TRDTableBudget();
  TRDTableBudget(const TRDTableBudget&) = delete;
  TRDTableBudget& operator=(const TRDTableBudget&) = delete;

  // What the open read has left (no read open: no bound).
  static std::int64_t Left();
  // Takes cost from the open read; false, taking nothing, when it does not fit.
  static bool Take(std::int64_t cost);

 private:
  bool outermost_;
};

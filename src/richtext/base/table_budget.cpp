#include "richtext/base/table_budget.h"

#include <algorithm>
#include <limits>

namespace {

// The budget of the read open on this thread, and how many reads are open inside it.
thread_local std::int64_t budget_left = 0;
thread_local int open_reads = 0;

}  // namespace

TRDTableBudget::TRDTableBudget(std::int64_t readBytes) : outermost_(open_reads == 0) {
  ++open_reads;
  if (!outermost_) return;
  const std::int64_t most = std::numeric_limits<std::int64_t>::max() / 2;
  budget_left = kTableBytesPerRead +
                std::min(std::max<std::int64_t>(readBytes, 0), most / kTableBytesPerByte) *
                    kTableBytesPerByte;
}

TRDTableBudget::~TRDTableBudget() {
  --open_reads;
}

std::int64_t TRDTableBudget::Left() {
  return open_reads > 0 ? budget_left : std::numeric_limits<std::int64_t>::max();
}

bool TRDTableBudget::Take(std::int64_t cost) {
  if (open_reads == 0) return true;
  if (cost > budget_left) return false;
  budget_left -= cost;
  return true;
}

// Random documents through RDF and RTF and back (round_trip_documents.h): a few hundred
// seeds, the fuzz program's saved inputs, and the seeds that once found a fault.
#include <gtest/gtest.h>

#include "richtext_edit/round_trip_documents.h"
#include "support/fuzz_corpus.h"

namespace {

// Among them the seeds that found faults: 1 (a hidden paragraph left an empty one, in a
// cell before a nested table too), 3 (a picture enlarged more than ten times lost its
// size; a list restarting in a cell lost its restart), 4 (a hidden paragraph before a
// picture), 55 and 143 (tables in the cells of a table made it wider than a page, and
// RTF read its cells' right edges cut to the page).
TEST(RoundTrip, RandomDocumentsComeBackWhole) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const std::string failure = CheckSeededRoundTrips(seed);
    ASSERT_EQ(failure, "") << "seed " << seed;
  }
}

TEST(RoundTrip, ForeignDocumentsComeBackWhole) {
  for (const std::string& rtf : round_trip::ForeignRTFs())
    EXPECT_EQ(round_trip::CheckForeignRoundTrip(rtf), "") << rtf;
}

TEST(RoundTrip, SavedFuzzInputsComeBackWhole) {
  for (const auto& input : FuzzCorpus("richtext_edit/round_trip/fuzz")) {
    const std::string failure = CheckRoundTripsFromBytes(input.data(), input.size());
    ASSERT_EQ(failure, "") << std::string(input.begin(), input.end());
  }
}

}  // namespace

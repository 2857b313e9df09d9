// Random editing from fixed seeds over documents with and without lists, tables, nested
// tables, pictures and the document LibreOffice wrote (random_editing.h says what a run does and
// checks). A longer run for many seeds: VELMORA_EDITING_SEEDS=500 VELMORA_EDITING_OPERATIONS=1000.
#include <gtest/gtest.h>

#include <cstdlib>

#include "richtext_edit/edit/random_editing.h"

namespace {

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value ? std::atoi(value) : fallback;
}

struct TStartCase {
  const char* Name;
  TEditingStart Start;
};

class RandomEditing : public testing::TestWithParam<TStartCase> {};

TEST_P(RandomEditing, UndoRedoAndLayoutHoldForEverySeed) {
  const int seeds = Setting("VELMORA_EDITING_SEEDS", 3);
  const int operations = Setting("VELMORA_EDITING_OPERATIONS", 250);
  const int first = Setting("VELMORA_EDITING_FIRST_SEED", 1);
  for (int seed = first; seed < first + seeds; ++seed)
    EXPECT_EQ(RunSeededEditing(GetParam().Start, unsigned(seed), operations), "")
        << GetParam().Name << " seed " << seed;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RandomEditing,
    testing::Values(TStartCase{"Plain", {}}, TStartCase{"Lists", {true, false, false, false}},
                    TStartCase{"Tables", {false, true, false, false}},
                    TStartCase{"NestedTables", {false, false, true, false}},
                    TStartCase{"Pictures", {false, false, false, true}},
                    TStartCase{"LibreOffice", {false, false, false, false, true}},
                    TStartCase{"Everything", {true, true, true, true, true}}),
    [](const testing::TestParamInfo<TStartCase>& info) { return std::string(info.param.Name); });

}  // namespace

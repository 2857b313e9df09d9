#include "app/stations/recycled_nodes.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_map>

namespace {

using TMap = std::unordered_map<std::string, int>;

// Keys going one at a time or all at once, and coming back in any order: the map holds
// exactly the keys put in since, each with its own value.
TEST(RecycledNodes, KeysGoneOneByOneOrAllAtOnceComeBackWithTheirOwnValues) {
  TMap map;
  TRecycledNodes<TMap> spares;
  for (int i = 0; i < 6; ++i) spares.Insert(map, "K" + std::to_string(i), i);
  spares.Erase(map, map.find("K2"));
  EXPECT_EQ(map.count("K2"), 0u);
  EXPECT_EQ(spares.Insert(map, "K9", 9)->second, 9);
  spares.EraseAll(map);
  EXPECT_TRUE(map.empty());

  // Some of the keys that went come back; the rest go again at once, while nodes that
  // still carry those keys are kept.
  spares.Insert(map, "K4", 40);
  spares.Insert(map, "K0", 10);
  spares.Insert(map, "K7", 70);
  EXPECT_EQ(map.size(), 3u);
  EXPECT_EQ(map.at("K4"), 40);
  EXPECT_EQ(map.at("K0"), 10);
  spares.EraseAll(map);
  EXPECT_TRUE(map.empty());
  for (int i = 0; i < 10; ++i) spares.Insert(map, "K" + std::to_string(i), 100 + i);
  ASSERT_EQ(map.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(map.at("K" + std::to_string(i)), 100 + i);
  spares.Erase(map, map.find("K5"));
  spares.EraseAll(map);
  EXPECT_TRUE(map.empty());
  spares.Insert(map, "K5", 5);
  EXPECT_EQ(map.size(), 1u);
  EXPECT_EQ(map.at("K5"), 5);
}

}  // namespace

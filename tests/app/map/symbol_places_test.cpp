// A map load gives every place anew into the places it had: what it leaves must be
// what giving the same places to empty ones leaves, however the keys come.
#include "app/map/symbol_places.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TGiven {
  std::string key;
  int y;
  int x;
};

TMapGeometry Map() {
  TMapGeometry map;
  map.MapW = 199;
  map.MapH = 99;
  return map;
}

// Every place of Places, by key in order, with what the pick list finds round a point.
std::vector<std::string> Shown(const TSymbolPlaces& Places, const std::vector<std::string>& Keys) {
  std::vector<std::string> shown;
  for (const std::string& key : Keys) {
    int y = 0;
    int x = 0;
    const bool found = Places.GetSymbolPlace(key, y, x);
    shown.push_back(key + (found ? "@" + std::to_string(y) + "," + std::to_string(x) : "-"));
  }
  for (const std::string& key : Places.KeysNearCursor(50, 100)) shown.push_back("near " + key);
  shown.push_back("count " + std::to_string(Places.Count()));
  return shown;
}

}  // namespace

TEST(SymbolPlaces, ARebuildLeavesWhatBuildingAnewLeaves) {
  const std::vector<std::string> keys = {"AAprsA1", "AAprsB2", "aaprsb2", "AAprsC3",
                                         "AAprsD4", "AAprsE5", "AAprsF6", "AAprsZ9"};
  TSymbolPlaces places;
  places.Reset(Map());
  for (size_t i = 0; i < keys.size(); ++i) {
    places.AddSymbolPlace(keys[i], 10 + static_cast<int>(i), 20 + static_cast<int>(i));
  }
  // Moved, off the map (dropped), gone from the list, new, out of order, given twice.
  const std::vector<TGiven> given = {
      {"AAprsA1", 50, 100}, {" AAprsB2 ", 51, 101}, {"AAprsD4", -5, 10}, {"AAprsE5", 52, 99},
      {"AAprsE6", 70, 70},  {"AAprsC3", 5, 5},      {"AAprsZ9", 1, 1},   {"AAprsZ9", 2, 2}};
  places.BeginRebuild(Map());
  for (const TGiven& g : given) places.AddSymbolPlace(g.key, g.y, g.x);
  places.EndRebuild();
  TSymbolPlaces fresh;
  fresh.Reset(Map());
  for (const TGiven& g : given) fresh.AddSymbolPlace(g.key, g.y, g.x);
  std::vector<std::string> asked = keys;
  asked.push_back("AAprsE6");
  EXPECT_EQ(Shown(places, asked), Shown(fresh, asked));

  // A rebuild giving every place again keeps them all; one giving none leaves none,
  // also when a place is deleted on the way.
  places.BeginRebuild(Map());
  for (const TGiven& g : given) places.AddSymbolPlace(g.key, g.y, g.x);
  places.EndRebuild();
  EXPECT_EQ(Shown(places, asked), Shown(fresh, asked));
  places.BeginRebuild(Map());
  places.AddSymbolPlace("AAprsA1", 3, 3);
  places.DeleteSymbolPlaces("AAprsA1");
  places.DeleteSymbolPlaces("AAprsB2");
  places.EndRebuild();
  EXPECT_EQ(places.Count(), 0);

  // Places given after every place went at once (aging), once or twice over, are what
  // empty places would hold: the kept nodes carry nothing of the places they were.
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 0; i < keys.size(); ++i) places.AddSymbolPlace(keys[i], 9, 9);
    places.Clear();
    EXPECT_EQ(places.Count(), 0);
    for (const TGiven& g : given) places.AddSymbolPlace(g.key, g.y, g.x);
    EXPECT_EQ(Shown(places, asked), Shown(fresh, asked)) << round;
  }
}

// The pick list names the stations round the cursor in key order, letters compared
// without case, whatever order they were heard in.
TEST(SymbolPlaces, ThePickListIsInKeyOrder) {
  TSymbolPlaces places;
  places.Reset(Map());
  for (const char* key : {"DL3XYZ", "ab1c", "DB0ABC", "AA1B", "dm5x", "Z9Z"}) {
    places.AddSymbolPlace(key, 50, 100);
  }
  places.AddSymbolPlace("FAR1", 5, 5);
  EXPECT_EQ(places.KeysNearCursor(50, 100),
            (std::vector<std::string>{"AA1B", "ab1c", "DB0ABC", "DL3XYZ", "dm5x", "Z9Z"}));
}

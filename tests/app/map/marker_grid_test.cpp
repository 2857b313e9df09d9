// The grid must find exactly the markers a walk over all of them finds, however they
// move and go.
#include "app/map/marker_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

class MarkerGridTest : public ::testing::Test {
 protected:
  MarkerGridTest() { grid_.Reset(500, 300); }

  // Markers in Area by a walk over all of them, and by the grid; both sorted.
  void ExpectSameAsWalk(const TRect& Area) {
    std::vector<TControl*> walked;
    for (const auto& marker : markers_) {
      const TRect b = marker->control.BoundsRect();
      if (b.Left < Area.Right && Area.Left < b.Right && b.Top < Area.Bottom && Area.Top < b.Bottom)
        walked.push_back(&marker->control);
    }
    std::vector<TControl*> found;
    grid_.MarkersIn(Area, found);
    std::sort(walked.begin(), walked.end());
    std::sort(found.begin(), found.end());
    ASSERT_EQ(found, walked) << Area.Left << "," << Area.Top << " " << Area.Width() << "x"
                             << Area.Height();
  }

  // A marker with the slot its owner keeps for the grid.
  struct TMarker {
    TGraphicControl control{nullptr};
    TMarkerGrid::TSlot slot;
  };

  TMarker& Add(int x, int y, int w, int h) {
    markers_.push_back(std::make_unique<TMarker>());
    TMarker& marker = *markers_.back();
    marker.control.SetBounds(x, y, w, h);
    grid_.Place(&marker.control, marker.slot);
    return marker;
  }

  TMarkerGrid grid_;
  std::vector<std::unique_ptr<TMarker>> markers_;
  std::mt19937 random_{5};
};

TEST_F(MarkerGridTest, FindsWhatAWalkFindsAfterMovesAndRemovals) {
  std::uniform_int_distribution<int> x(-40, 540), y(-40, 340), size(1, 90);
  for (int i = 0; i < 400; ++i) Add(x(random_), y(random_), size(random_), size(random_));
  auto check = [&] {
    for (int i = 0; i < 60; ++i) ExpectSameAsWalk(Bounds(x(random_), y(random_), size(random_), size(random_)));
    ExpectSameAsWalk(Rect(-100, -100, 700, 500));  // everything
    ExpectSameAsWalk(Bounds(130, 70, 1, 1));        // a point
  };
  check();
  // Moves within a cell, across cells and beyond the edges.
  for (int i = 0; i < 300; ++i) {
    TMarker& marker = *markers_[static_cast<size_t>(i)];
    marker.control.SetBounds(x(random_), y(random_), size(random_), size(random_));
    grid_.Place(&marker.control, marker.slot);
  }
  check();
  // Removals from the middle of cells.
  for (int i = 0; i < 150; ++i) {
    grid_.Remove(markers_[static_cast<size_t>(i) * 2]->slot);
    markers_[static_cast<size_t>(i) * 2].reset();
  }
  std::erase(markers_, nullptr);
  EXPECT_EQ(grid_.Count(), 250);
  check();
}

TEST_F(MarkerGridTest, AResetForgetsEveryMarker) {
  TMarker& kept = Add(10, 10, 5, 5);
  grid_.Reset(100, 100);
  std::vector<TControl*> found;
  grid_.MarkersIn(Rect(0, 0, 100, 100), found);
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(grid_.Count(), 0);
  // Its slot from before the reset neither removes nor moves anything now.
  grid_.Remove(kept.slot);
  EXPECT_EQ(grid_.Count(), 0);
  grid_.Place(&kept.control, kept.slot);
  grid_.Place(&kept.control, kept.slot);
  EXPECT_EQ(grid_.Count(), 1);
  grid_.Remove(kept.slot);
  markers_.clear();
  // An empty area finds nothing.
  Add(10, 10, 5, 5);
  grid_.MarkersIn(Rect(12, 12, 12, 20), found);
  EXPECT_TRUE(found.empty());
}

}  // namespace

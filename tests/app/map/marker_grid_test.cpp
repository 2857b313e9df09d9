// The grid must find exactly the markers a walk over all of them finds, and in the
// z-order a walk sorted by it gives, however they move, rise and go.
#include "app/map/marker_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

class MarkerGridTest : public ::testing::Test {
 protected:
  MarkerGridTest() { grid_.Reset(500, 300); }

  // Markers in Area by a walk over all of them, and by the grid; both sorted by address.
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

  // The same top-down: by a walk sorted by z, and as the grid hands them over.
  void ExpectSameOrderAsWalk(const TRect& Area) {
    std::vector<TMarker*> walked;
    for (const auto& marker : markers_) {
      const TRect b = marker->control.BoundsRect();
      if (b.Left < Area.Right && Area.Left < b.Right && b.Top < Area.Bottom && Area.Top < b.Bottom)
        walked.push_back(marker.get());
    }
    std::sort(walked.begin(), walked.end(), [](TMarker* a, TMarker* b) { return a->z > b->z; });
    std::vector<TControl*> expected;
    for (TMarker* marker : walked) expected.push_back(&marker->control);
    std::vector<TControl*> found;
    grid_.MarkersTopDown(Area, [&](const TChildFinder::TFound* batch, size_t count) {
      for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(batch[i].Bounds, batch[i].Child->BoundsRect());
        found.push_back(batch[i].Child);
      }
      return true;
    });
    ASSERT_EQ(found, expected) << Area.Left << "," << Area.Top << " " << Area.Width() << "x"
                               << Area.Height();
  }

  // A marker with the slot its owner keeps for the grid, and its place in the z-order.
  struct TMarker {
    TGraphicControl control{nullptr};
    TMarkerGrid::TSlot slot;
    std::uint64_t z = 0;
  };

  TMarker& Add(int x, int y, int w, int h) {
    markers_.push_back(std::make_unique<TMarker>());
    TMarker& marker = *markers_.back();
    marker.control.SetBounds(x, y, w, h);
    Raise(marker);
    return marker;
  }
  // To the front, and filed there.
  void Raise(TMarker& marker) {
    marker.z = ++z_;
    grid_.Place(&marker.control, marker.z, marker.slot);
  }

  TMarkerGrid grid_;
  std::uint64_t z_ = 0;
  std::vector<std::unique_ptr<TMarker>> markers_;
  std::mt19937 random_{5};
};

TEST_F(MarkerGridTest, FindsWhatAWalkFindsAfterMovesAndRemovals) {
  std::uniform_int_distribution<int> x(-40, 540), y(-40, 340), size(1, 90);
  for (int i = 0; i < 400; ++i) Add(x(random_), y(random_), size(random_), size(random_));
  auto check = [&] {
    for (int i = 0; i < 60; ++i)
      ExpectSameAsWalk(Bounds(x(random_), y(random_), size(random_), size(random_)));
    ExpectSameAsWalk(Rect(-100, -100, 700, 500));  // everything
    ExpectSameAsWalk(Bounds(130, 70, 1, 1));       // a point
  };
  check();
  // Moves within a cell, across cells and beyond the edges.
  for (int i = 0; i < 300; ++i) {
    TMarker& marker = *markers_[static_cast<size_t>(i)];
    marker.control.SetBounds(x(random_), y(random_), size(random_), size(random_));
    grid_.Place(&marker.control, marker.z, marker.slot);
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
  grid_.Place(&kept.control, kept.z, kept.slot);
  grid_.Place(&kept.control, kept.z, kept.slot);
  EXPECT_EQ(grid_.Count(), 1);
  grid_.Remove(kept.slot);
  markers_.clear();
  // An empty area finds nothing.
  Add(10, 10, 5, 5);
  grid_.MarkersIn(Rect(12, 12, 12, 20), found);
  EXPECT_TRUE(found.empty());
  grid_.MarkersTopDown(Rect(12, 12, 12, 20), [](const TChildFinder::TFound*, size_t) {
    ADD_FAILURE() << "found in an empty area";
    return true;
  });
}

// Markers piled up over several cells (each cell is one piece of the marker layer):
// the grid hands them over in z-order within a cell and across cells, however they
// rise, move with and without rising, and go.
TEST_F(MarkerGridTest, HandsMarkersOverTopDownAfterRaisesMovesAndRemovals) {
  grid_.Reset(700, 400);
  std::uniform_int_distribution<int> x(-40, 740), y(-40, 440), size(1, 120);
  for (int i = 0; i < 600; ++i) Add(x(random_), y(random_), size(random_), size(random_));
  const int w = TMarkerGrid::kCellWidth;
  const int h = TMarkerGrid::kCellHeight;
  auto check = [&] {
    // Whole cells and parts of them, as the layer's pieces are; areas across cells;
    // the border cells that hold what lies beyond the map.
    for (int row = 0; row < 4; ++row) {
      for (int column = 0; column < 3; ++column) {
        ExpectSameOrderAsWalk(Bounds(column * w, row * h, w, h));
        ExpectSameOrderAsWalk(Bounds(column * w + 32, row * h + 32, 64, 32));
      }
    }
    for (int i = 0; i < 30; ++i)
      ExpectSameOrderAsWalk(Bounds(x(random_), y(random_), 3 * size(random_), 2 * size(random_)));
    ExpectSameOrderAsWalk(Rect(-100, -100, 800, 500));
    ExpectSameOrderAsWalk(Bounds(2 * w, 3 * h, w, h));
  };
  check();
  // Raised in place, raised with a move, moved staying where it lies in the z-order
  // (back into cells it left, too), the same marker several times in a row.
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 0; i < markers_.size(); i += 3) Raise(*markers_[i]);
    for (size_t i = 1; i < markers_.size(); i += 4) {
      markers_[i]->control.SetBounds(x(random_), y(random_), size(random_), size(random_));
      Raise(*markers_[i]);
    }
    for (size_t i = 2; i < markers_.size(); i += 5) {
      TMarker& marker = *markers_[i];
      const TRect old = marker.control.BoundsRect();
      marker.control.SetBounds(x(random_), y(random_), size(random_), size(random_));
      grid_.Place(&marker.control, marker.z, marker.slot);
      marker.control.SetBoundsRect(old);
      grid_.Place(&marker.control, marker.z, marker.slot);
    }
    check();
  }
  for (size_t i = 0; i < markers_.size(); i += 2) {
    grid_.Remove(markers_[i]->slot);
    markers_[i].reset();
  }
  std::erase(markers_, nullptr);
  EXPECT_EQ(grid_.Count(), 300);
  check();
  std::vector<TControl*> all;
  grid_.MarkersIn(Rect(-100, -100, 800, 500), all);
  EXPECT_EQ(all.size(), 300u);

  // A walk stops where it is told to.
  int batches = 0;
  grid_.MarkersTopDown(Bounds(0, 0, w, h),
                       [&](const TChildFinder::TFound*, size_t) { return ++batches < 2; });
  EXPECT_EQ(batches, 2);
}

}  // namespace

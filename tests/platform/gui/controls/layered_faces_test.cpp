// A surface keeping its picture children composed apart (the map's markers) must show
// exactly what painting every child afresh would, however the children change between
// repaints.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/test_support/gui_test_support.h"
#include "test_controls.h"

namespace {

// The same "random" layout on every run, so a failure can be replayed.
struct TRepeatableRandom {
  unsigned seed;
  int operator()(int below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(below));
  }
};

// A windowless control that is one picture: a square of one colour whose top-left
// pixel is the transparent key colour.
class TPictureBox : public TGraphicControl {
 public:
  TPictureBox(TComponent* owner, TWinControl* parent, TRect bounds, TColor fill)
      : TGraphicControl(owner) {
    picture.SetSize(bounds.Width(), bounds.Height());
    picture.SetTransparentColor(clFuchsia);
    picture.SetTransparent(true);
    Fill(fill);
    SetBoundsRect(bounds);
    SetParent(parent);
  }
  void Fill(TColor fill) {
    picture.Canvas().Brush().SetColor(fill);
    picture.Canvas().FillRect(Rect(0, 0, picture.Width(), picture.Height()));
    picture.Canvas().SetPixels(0, 0, clFuchsia);
    Invalidate();
  }
  // A clear column down the middle: what lies beneath shows through it.
  void CutColumn() {
    for (int y = 0; y < picture.Height(); ++y)
      picture.Canvas().SetPixels(picture.Width() / 2, y, clFuchsia);
    Invalidate();
  }
  const TBitmap* Face() const override { return &picture; }
  TBitmap picture;
};

struct LayeredFaces : ::testing::Test {
  LayeredFaces() {
    form.SetBounds(0, 0, 160, 120);
    form.SetColor(clWhite);
    form.SetLayeredFaces(true);
    form.Show();
  }
  ~LayeredFaces() override { form.Hide(); }
  TColor At(int x, int y) { return RenderedPixel(form, x, y); }
  // How many bytes of the composed surface differ from painting every child afresh.
  size_t DifferFromPainting() {
    auto rendered = [&] {
      TBitmap image;
      image.SetSize(form.Width(), form.Height());
      PaintTo(form, image.Canvas(), 0, 0);
      std::vector<std::uint8_t> pixels;
      for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.ScanLine(y);
        pixels.insert(pixels.end(), row, row + 4 * image.Width());
      }
      return pixels;
    };
    const std::vector<std::uint8_t> layered = rendered();
    form.SetLayeredFaces(false);
    const std::vector<std::uint8_t> painted = rendered();
    form.SetLayeredFaces(true);
    if (layered.size() != painted.size()) return layered.size() + painted.size();
    size_t differ = 0;
    for (size_t i = 0; i < layered.size(); ++i) differ += layered[i] != painted[i];
    return differ;
  }
  TForm form{nullptr};
};

}  // namespace

TEST_F(LayeredFaces, PicturesFollowTheirMovesAndLeaveNothingBehind) {
  auto* line = new TBox(&form, &form, Bounds(0, 40, 160, 2), clGray);
  auto* a = new TPictureBox(&form, &form, Bounds(10, 30, 20, 20), clRed);
  EXPECT_EQ(At(20, 40), clRed);
  EXPECT_EQ(At(10, 30), clWhite);  // the picture's transparent pixel
  EXPECT_EQ(At(50, 40), clGray);

  a->SetLeft(60);
  EXPECT_EQ(At(20, 40), clGray);
  EXPECT_EQ(At(20, 35), clWhite);
  EXPECT_EQ(At(70, 40), clRed);

  // The line moving beneath the picture leaves it as it was.
  line->SetTop(44);
  EXPECT_EQ(At(70, 44), clRed);
  EXPECT_EQ(At(20, 44), clGray);
  EXPECT_EQ(At(20, 40), clWhite);

  a->Fill(clBlue);
  EXPECT_EQ(At(70, 35), clBlue);
  // Repaint draws at once, a picture changed without Invalidate too.
  a->picture.Canvas().Brush().SetColor(clGreen);
  a->picture.Canvas().FillRect(Rect(1, 1, 20, 20));
  a->Repaint();
  EXPECT_EQ(At(70, 35), clGreen);
  a->Fill(clBlue);
  a->Hide();
  EXPECT_EQ(At(70, 35), clWhite);
  EXPECT_EQ(At(70, 44), clGray);
  a->Show();
  EXPECT_EQ(At(70, 35), clBlue);
  delete a;
  EXPECT_EQ(At(70, 35), clWhite);
  EXPECT_EQ(At(70, 44), clGray);
}

TEST_F(LayeredFaces, PicturesKeepTheirOrderAmongThemselvesAndLieAboveOtherChildren) {
  auto* a = new TPictureBox(&form, &form, Bounds(10, 10, 30, 30), clRed);
  auto* b = new TPictureBox(&form, &form, Bounds(25, 25, 30, 30), clBlue);
  auto* box = new TBox(&form, &form, Bounds(35, 35, 30, 30), clLime);
  EXPECT_EQ(At(30, 30), clBlue);
  EXPECT_EQ(At(38, 38), clBlue);  // the box came later but lies beneath the pictures
  EXPECT_EQ(At(60, 60), clLime);

  a->BringToFront();
  EXPECT_EQ(At(30, 30), clRed);
  box->BringToFront();
  EXPECT_EQ(At(38, 38), clRed);

  // Without the layer the z-order alone decides.
  form.SetLayeredFaces(false);
  EXPECT_EQ(At(38, 38), clLime);
  EXPECT_EQ(At(30, 30), clRed);
  b->BringToFront();
  EXPECT_EQ(At(30, 30), clBlue);
}

TEST_F(LayeredFaces, ManyChangesBetweenTwoRepaintsAreAllShown) {
  std::vector<TPictureBox*> boxes;
  for (int i = 0; i < 60; ++i) {
    boxes.push_back(new TPictureBox(&form, &form, Bounds(2 * i, i, 4, 4), clRed));
  }
  EXPECT_EQ(At(2 * 30 + 2, 30 + 2), clRed);
  for (int i = 0; i < 60; ++i) boxes[static_cast<size_t>(i)]->SetTop(i + 50);
  EXPECT_EQ(At(2 * 30 + 2, 30 + 2), clWhite);
  EXPECT_EQ(At(2 * 30 + 2, 80 + 2), clRed);
  EXPECT_EQ(At(2 * 59 + 2, 109 + 2), clRed);
}

TEST_F(LayeredFaces, TheMouseFindsTheChildAtItsNewPlace) {
  auto* a = new TPictureBox(&form, &form, Bounds(10, 10, 20, 20), clRed);
  auto* b = new TPictureBox(&form, &form, Bounds(15, 15, 20, 20), clBlue);
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), b);
  a->BringToFront();
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), a);
  a->SetLeft(100);
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), b);
  EXPECT_EQ(form.ControlAtPos(Point(105, 15)), a);
  b->Hide();
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), nullptr);
  delete a;
  EXPECT_EQ(form.ControlAtPos(Point(105, 15)), nullptr);
}

namespace {

// A windowless control that paints itself and keeps its look until it invalidates.
class TKeptBox : public TBox {
 public:
  using TBox::TBox;
  bool KeptComposed() const override { return true; }
};

// Finds the children among those it was told of: the ones left out are neither painted
// nor hit, which shows that the surface asks it.
class TListFinder : public TChildFinder {
 public:
  void ChildrenIn(const TRect&, bool, std::vector<TControl*>& Found) const override {
    Found.insert(Found.end(), known.begin(), known.end());
  }
  std::vector<TControl*> known;
};

}  // namespace

TEST_F(LayeredFaces, PaintedChildrenKeptComposedArePaintedOnceUntilTheyChange) {
  // Parented once made: while TBox is made it does not yet know it is kept.
  auto* kept = new TKeptBox(&form, nullptr, Bounds(10, 10, 20, 20), clRed);
  kept->SetParent(&form);
  auto* line = new TBox(&form, &form, Bounds(0, 15, 160, 2), clGray);
  EXPECT_EQ(At(20, 20), clRed);
  TBitmap whole;  // composed in full
  whole.SetSize(form.Width(), form.Height());
  PaintTo(form, whole.Canvas(), 0, 0);
  const int painted = kept->PaintCount;
  line->SetTop(18);  // a repaint beneath copies the composed child
  EXPECT_EQ(At(20, 18), clRed);
  EXPECT_EQ(At(50, 18), clGray);
  EXPECT_EQ(kept->PaintCount, painted);
  kept->Fill = clBlue;
  kept->Invalidate();
  EXPECT_EQ(At(20, 20), clBlue);
}

TEST_F(LayeredFaces, AFinderDecidesWhichChildrenArePaintedAndHit) {
  TListFinder finder;
  auto* found = new TPictureBox(&form, &form, Bounds(10, 10, 20, 20), clRed);
  auto* missed = new TBox(&form, &form, Bounds(50, 10, 20, 20), clBlue);
  finder.known.push_back(found);
  form.SetChildFinder(&finder);
  form.Invalidate();
  EXPECT_EQ(At(20, 20), clRed);
  EXPECT_EQ(At(60, 20), clWhite);
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), found);
  EXPECT_EQ(form.ControlAtPos(Point(60, 20)), nullptr);
  form.SetChildFinder(nullptr);
  form.Invalidate();
  EXPECT_EQ(At(60, 20), clBlue);
  EXPECT_EQ(form.ControlAtPos(Point(60, 20)), missed);
}

namespace {

// Keeps its children in z-order, as a map keeps its markers, and hears which rise.
class TOrderedFinder : public TChildFinder {
 public:
  explicit TOrderedFinder(const TWinControl& parent) : parent_(parent) {}
  void ChildrenIn(const TRect&, bool, std::vector<TControl*>& Found) const override {
    Found.insert(Found.end(), known.begin(), known.end());
  }
  bool ComposedTopDown(const TRect& Area, const TVisitChildren& Visit) const override {
    std::vector<TControl*> ordered = known;
    std::sort(ordered.begin(), ordered.end(),
              [&](TControl* a, TControl* b) { return parent_.ZOrder(*a) > parent_.ZOrder(*b); });
    // One at a time and three at a time.
    std::vector<TFound> found;
    for (TControl* child : ordered) {
      const TRect b = child->BoundsRect();
      const bool meets =
          b.Left < Area.Right && Area.Left < b.Right && b.Top < Area.Bottom && Area.Top < b.Bottom;
      if (meets) found.push_back({child, b});
    }
    for (size_t i = 0; i < found.size(); i += batch) {
      if (!Visit(&found[i], std::min(batch, found.size() - i))) break;
    }
    return true;
  }
  size_t batch = 1;
  void ChildRaised(TControl& Child) override { raised.push_back(&Child); }
  std::vector<TControl*> known;
  std::vector<TControl*> raised;

 private:
  const TWinControl& parent_;
};

}  // namespace

// A finder that hands the children over in z-order composes the layer from the top
// down; what shows stays what painting each child shows, whatever rises, moves, hides
// or goes.
TEST_F(LayeredFaces, ChildrenHandedOverInZOrderShowWhatPaintingEachWould) {
  form.SetBounds(0, 0, 600, 300);
  TOrderedFinder finder(form);
  TRepeatableRandom next{3u};
  const TColor colors[] = {clRed, clBlue, clLime, clYellow, clNavy, clTeal, clMaroon};
  std::vector<TPictureBox*> boxes;
  for (int i = 0; i < 400; ++i) {
    const int size = 8 + next(50);
    auto* box = new TPictureBox(&form, &form, Bounds(next(620) - 10, next(320) - 10, size, size),
                                colors[static_cast<size_t>(i) % 7]);
    if (i % 4 == 0) box->CutColumn();
    boxes.push_back(box);
    finder.known.push_back(box);
  }
  form.SetChildFinder(&finder);
  form.Invalidate();
  EXPECT_EQ(DifferFromPainting(), 0u);
  EXPECT_GT(form.ZOrder(*boxes[1]), form.ZOrder(*boxes[0]));
  finder.batch = 3;

  boxes[0]->BringToFront();
  ASSERT_EQ(finder.raised, std::vector<TControl*>{boxes[0]});
  EXPECT_GT(form.ZOrder(*boxes[0]), form.ZOrder(*boxes[399]));
  for (size_t i = 1; i < boxes.size(); i += 7) boxes[i]->BringToFront();
  for (size_t i = 2; i < boxes.size(); i += 5) boxes[i]->SetLeft(next(600));
  for (size_t i = 3; i < boxes.size(); i += 11) boxes[i]->Hide();
  for (size_t i = 4; i < boxes.size(); i += 13) {
    std::erase(finder.known, boxes[i]);
    delete boxes[i];
  }
  EXPECT_EQ(DifferFromPainting(), 0u);
  form.SetChildFinder(nullptr);
}

TEST_F(LayeredFaces, OrderSurvivesManyRaisesAndRemovals) {
  std::vector<TPictureBox*> boxes;
  for (int i = 0; i < 50; ++i) {
    boxes.push_back(new TPictureBox(&form, &form, Bounds(10, 10, 20, 20), i % 2 ? clRed : clBlue));
  }
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), boxes[49]);
  boxes[3]->BringToFront();
  delete boxes[49];
  delete boxes[0];
  EXPECT_EQ(form.ControlAtPos(Point(20, 20)), boxes[3]);
  EXPECT_EQ(At(20, 20), clRed);
  // Controls lists them bottom first, the raised one last.
  ASSERT_EQ(form.ControlCount(), 48);
  EXPECT_EQ(form.Controls(0), boxes[1]);
  EXPECT_EQ(form.Controls(47), boxes[3]);
  EXPECT_EQ(form.Controls(46), boxes[48]);
}

// Hundreds of pictures piled up, most of them wholly under others: the layer leaves
// those out, and must show exactly what painting every child would, also where a clear
// pixel of a picture above lets one below show through, and after moves and raises.
TEST_F(LayeredFaces, APileOfPicturesShowsWhatPaintingEachWouldShow) {
  std::vector<TPictureBox*> boxes;
  TRepeatableRandom next{7u};
  const TColor colors[] = {clRed, clBlue, clLime, clYellow, clNavy, clTeal};
  for (int i = 0; i < 300; ++i) {
    const int size = 4 + next(24);
    auto* box = new TPictureBox(&form, &form, Bounds(next(150), next(110), size, size),
                                colors[static_cast<size_t>(i) % 6]);
    if (i % 3 == 0) box->CutColumn();
    boxes.push_back(box);
  }
  auto shown = [&] {
    std::vector<TColor> pixels;
    for (int y = 0; y < 120; y += 3) {
      for (int x = 0; x < 160; x += 3) pixels.push_back(At(x, y));
    }
    return pixels;
  };
  // The layer as composed so far (only the pieces changed since the last paint anew).
  auto compare = [&] {
    const std::vector<TColor> layered = shown();
    form.SetLayeredFaces(false);
    const std::vector<TColor> painted = shown();
    form.SetLayeredFaces(true);
    ASSERT_EQ(layered.size(), painted.size());
    int differ = 0;
    for (size_t i = 0; i < layered.size(); ++i) differ += layered[i] != painted[i];
    EXPECT_EQ(differ, 0);
  };
  compare();
  for (int i = 0; i < 300; i += 4) boxes[static_cast<size_t>(i)]->SetLeft(next(150));
  for (int i = 1; i < 300; i += 9) boxes[static_cast<size_t>(i)]->BringToFront();
  compare();
}

namespace {

// A picture in each layout a bitmap can be drawn from, larger than its control, so
// only the part inside the control shows.
class TLayoutBox : public TGraphicControl {
 public:
  TLayoutBox(TComponent* owner, TWinControl* parent, TRect bounds, int layout, TColor fill)
      : TGraphicControl(owner) {
    picture.SetSize(bounds.Width() + 6, bounds.Height() + 4);
    if (layout == 1) picture.SetPixelFormat(pf24bit);
    picture.Canvas().Brush().SetColor(fill);
    picture.Canvas().FillRect(Rect(0, 0, picture.Width(), picture.Height()));
    picture.Canvas().Brush().SetColor(clWhite);
    picture.Canvas().Ellipse(1, 1, picture.Width() - 1, picture.Height() - 1);
    if (layout >= 2) {
      // Keyed: the corners outside the ellipse are clear.
      picture.SetTransparentColor(fill);
      picture.SetTransparent(true);
    }
    if (layout == 3) picture.Compact();
    SetBoundsRect(bounds);
    SetParent(parent);
  }
  const TBitmap* Face() const override { return &picture; }
  TBitmap picture;
};

}  // namespace

// The layer is composed in pieces, without a painter, from the top child down where it
// can: pictures of every layout, crossing the pieces' borders and the surface's edges,
// and among them children painted by their handlers, come out as painting each would.
TEST_F(LayeredFaces, PicturesOfEveryLayoutAcrossPiecesShowWhatPaintingEachWould) {
  form.SetBounds(0, 0, 700, 330);
  TRepeatableRandom next{11u};
  const TColor colors[] = {clRed, clBlue, clLime, clYellow, clNavy, clTeal, clMaroon};
  for (int i = 0; i < 400; ++i) {
    const TRect bounds = Bounds(next(740) - 20, next(370) - 20, 3 + next(60), 3 + next(40));
    new TLayoutBox(&form, &form, bounds, i % 4, colors[static_cast<size_t>(i) % 7]);
    if (i % 150 == 0) {
      auto* kept = new TKeptBox(&form, nullptr, Bounds(next(700), next(330), 30, 20), clFuchsia);
      kept->SetParent(&form);
    }
  }
  EXPECT_EQ(DifferFromPainting(), 0u);
}

namespace {

// A marker-like child of two pictures with clear margins around what they show: a
// keyed bar at the bottom and a small opaque square above it, inset from the control's
// bounds, so that children above can hide all a part shows and not the whole control.
class TTwoPartBox : public TGraphicControl {
 public:
  TTwoPartBox(TComponent* owner, TWinControl* parent, TRect bounds, TColor fill)
      : TGraphicControl(owner) {
    bar.SetSize(bounds.Width(), bounds.Height() / 2);
    bar.SetTransparentColor(clFuchsia);
    bar.SetTransparent(true);
    DrawBar(fill, 2);
    mark.SetSize(6, 6);
    mark.Canvas().Brush().SetColor(clBlack);
    mark.Canvas().FillRect(Rect(0, 0, 6, 6));
    SetBoundsRect(bounds);
    SetParent(parent);
  }
  // The bar's colour, Inset pixels of clear key colour left round it.
  void DrawBar(TColor fill, int inset) {
    TCanvas& canvas = bar.Canvas();
    canvas.Brush().SetColor(clFuchsia);
    canvas.FillRect(Rect(0, 0, bar.Width(), bar.Height()));
    canvas.Brush().SetColor(fill);
    canvas.FillRect(Rect(inset, inset, bar.Width() - inset, bar.Height() - inset));
    Invalidate();
  }
  int FaceParts(TFacePart (&Parts)[kMaxFaceParts]) const override {
    Parts[0] = {&bar, Point(0, Height() - bar.Height())};
    Parts[1] = {&mark, Point(Width() / 2 - 3, 1)};
    return 2;
  }
  bool KeptComposed() const override { return true; }
  TBitmap bar;
  TBitmap mark;
};

}  // namespace

// Parts of a child whose shown pixels lie all under children above it are left out
// of the layer; once uncovered, grown or moved they must come out again.
TEST_F(LayeredFaces, PartsHiddenUnderOthersShowAgainWhenTheyChangeOrAreUncovered) {
  form.SetBounds(0, 0, 600, 300);
  TRepeatableRandom next{5u};
  const TColor colors[] = {clRed, clBlue, clLime, clYellow, clNavy, clTeal, clMaroon};
  std::vector<TTwoPartBox*> marks;
  std::vector<TPictureBox*> covers;
  for (int i = 0; i < 500; ++i) {
    const TColor fill = colors[static_cast<size_t>(i) % 7];
    if (i % 3 == 2) {
      // A square that hides just a bar's inside of the marker below it, or its mark.
      const TTwoPartBox& below = *marks.back();
      const TRect bar =
          Bounds(below.Left() + 2, below.Top() + below.Height() - below.bar.Height() + 2,
                 below.Width() - 4, below.bar.Height() - 4);
      const TRect mark = Bounds(below.Left() + below.Width() / 2 - 3, below.Top() + 1, 6, 6);
      auto* cover = new TPictureBox(&form, &form, i % 2 ? bar : mark, fill);
      cover->picture.Canvas().SetPixels(0, 0, fill);  // opaque all over
      cover->Invalidate();
      covers.push_back(cover);
    } else {
      marks.push_back(new TTwoPartBox(
          &form, &form, Bounds(next(620) - 10, next(320) - 10, 16 + next(60), 16 + next(30)),
          fill));
    }
  }
  EXPECT_EQ(DifferFromPainting(), 0u);
  // A bar drawn up to the control's edges shows beside what hid it.
  for (size_t i = 0; i < marks.size(); i += 3) marks[i]->DrawBar(clGreen, 0);
  // Hidden parts uncovered, and hidden parts moved out from under their cover.
  for (size_t i = 0; i < covers.size(); i += 4) covers[i]->SetTop(covers[i]->Top() + 7);
  for (size_t i = 1; i < marks.size(); i += 5) marks[i]->SetLeft(marks[i]->Left() + 5);
  EXPECT_EQ(DifferFromPainting(), 0u);
}

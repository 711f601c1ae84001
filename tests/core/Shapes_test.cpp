// Window regions and where the windows go: pixel rows of the shapes, the opening iris, docking,
// the toggle button, the slide, the panel's shapes and the flyout strips (the volume popup's
// crescent is beside its clicks).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/Region.h"
#include "core/model/Flyout.h"
#include "core/model/PlayerShape.h"
#include "core/model/ToggleButton.h"
#include "core/model/PanelShape.h"

namespace sonavex {
namespace {

using R = PixelRegion;

TEST(Region, ShapesAreThePixelsWhoseCentresLieInsideCombinedRowByRow) {
  EXPECT_EQ(R::ellipse({0, 0, 4, 4}).spans(),
            (std::vector<Span>{{0, 1, 3}, {1, 0, 4}, {2, 0, 4}, {3, 1, 3}}));
  EXPECT_EQ(R::rect({2, 5, 4, 7}).spans(), (std::vector<Span>{{5, 2, 4}, {6, 2, 4}}));
  // Corner ellipses larger than the box are clamped to it; none at all leaves the rectangle.
  EXPECT_EQ(R::roundRect({3, 4, 40, 21}, 500, 500), R::ellipse({3, 4, 40, 21}));
  EXPECT_EQ(R::roundRect({3, 4, 40, 21}, 0, 0), R::rect({3, 4, 40, 21}));
  for (const Box empty : {Box{5, 5, 5, 9}, Box{5, 5, 9, 5}, Box{9, 9, 5, 5}}) {
    EXPECT_TRUE(R::rect(empty).empty());
    EXPECT_TRUE(R::ellipse(empty).empty());
  }
  // Every odd and even size keeps its bounding box and its mirror symmetry.
  for (int w = 1; w < 30; w += 3) {
    const R e = R::ellipse({10, 20, 10 + w, 20 + w + 4});
    EXPECT_EQ(e.bounds(), (Box{10, 20, 10 + w, 24 + w})) << w;
    for (const Span& s : e.spans()) EXPECT_EQ(s.left - 10, 10 + w - s.right) << w;
  }
  // Combined row by row, touching spans joined.
  const R a = R::rect({0, 0, 10, 2});
  const R b = R::rect({4, 1, 6, 3});
  EXPECT_EQ(a.united(R::rect({10, 0, 12, 2})), R::rect({0, 0, 12, 2}));
  EXPECT_EQ(a.united(b).spans(), (std::vector<Span>{{0, 0, 10}, {1, 0, 10}, {2, 4, 6}}));
  EXPECT_EQ(a.intersected(b), R::rect({4, 1, 6, 2}));
  EXPECT_EQ(a.subtracted(b).spans(),
            (std::vector<Span>{{0, 0, 10}, {1, 0, 4}, {1, 6, 10}}));
  EXPECT_TRUE(a.subtracted(a).empty() && a.intersected(R()).empty() && b.contains(5, 2) && !b.contains(6, 2));
}

TEST(PlayerShape, TheIrisOpensInTenStepsOfTenPixelsAndStops) {
  EXPECT_EQ(pixelsAtLoad(3750, 15), 250);
  EXPECT_EQ(pixelsAtLoad(3272.7, 13.09), 251);  // both operands rounded, then divided
  EXPECT_EQ(pixelsAtLoad(3750, 0.4), 0);          // no pixel size: nothing, rather than a division by 0
  for (const auto& [w, h] : {std::pair{kPlayerOuterWidth, kPlayerOuterHeight}, {300, 320}, {251, 270}}) {
    Iris iris = irisAtLoad(w, h);
    EXPECT_EQ(iris, (Iris{116, 133, h - 137, w - 93}));
    for (int step = 1; step <= 10; ++step) {
      ASSERT_TRUE(irisTick(iris, w, h)) << step;
      EXPECT_EQ(irisRegion(iris).bounds(), (Box{116 - 10 * step, 133 - 10 * step, h - 137 + 10 * step,
                                                 w - 93 + 10 * step}));
    }
    EXPECT_FALSE(irisTick(iris, w, h));
    EXPECT_EQ(iris, (Iris{16, 33, h - 37, w + 7}));
  }
  // The full ellipse keeps the close image and the time labels and cuts the frame away; the seek
  // bar is a lens of two ellipses.
  const R full = irisRegion({16, 33, 237, 257});
  EXPECT_TRUE(full.contains(3 + 104 + 10, 22 + 28 + 10) && full.contains(3 + 128, 22 + 192 + 12) &&
              !full.contains(5, 5));
  const R lens = seekBarLens();
  EXPECT_EQ(std::tuple(lens.bounds(), lens.contains(80, 19), lens.contains(12, 12)),
            std::tuple(Box{11, 11, 156, 28}, true, false));
}

TEST(PlayerShape, CompanionsDockAtTheirTwipsOffsets) {
  const WindowRect player{100, 50, 250, 274};
  const WindowRect playlist{357, 106, 302, 178};
  const struct { double tpp; Point list, menu, button, vol; } rows[] = {
      {15, {357, 106}, {660, 106}, {351, 163}, {114, 50}},
      {10, {360, 133}, {661, 106}, {477, 220}, {121, 50}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(playlistDock(player, r.tpp), r.list) << r.tpp;
    EXPECT_EQ(menuDock(playlist, r.tpp), r.menu) << r.tpp;
    EXPECT_EQ(toggleButtonDock(player, r.tpp), r.button) << r.tpp;
    EXPECT_EQ(volumeDock(player, r.tpp), r.vol) << r.tpp;
  }
}

TEST(ToggleButton, OvalRegionAWatchOnTheWholeRectangleAndASlideBy222TwipsThatLandsExactlyAndAlwaysEnds) {
  EXPECT_EQ(toggleButtonRegion(66, 52), R::ellipse({4, 15, 66, 40}));
  const WindowRect button{200, 100, 66, 52};
  const struct { Point p; bool left; } watch[] = {
      {{200, 100}, false}, {{266, 152}, false}, {{230, 101}, false},  // edges count as inside
      {{199, 120}, true}, {{267, 120}, true}, {{230, 99}, true}, {{230, 153}, true},
  };
  for (const auto& r : watch) EXPECT_EQ(pointerLeft(r.p, button), r.left) << r.p.x << "," << r.p.y;

  // The slide steps by 222 twips, then lands exactly, and always ends.
  const double inf = std::numeric_limits<double>::infinity();
  const struct { double start, target; int steps; double lastStep; } rows[] = {
      {28800, 5354.4, 106, 5268},  // 105 steps leave 5490, still right of 5354
      {5600, 5354, 2, 5156},
      {5354, 5354, 0, 0}, {3000, 5354, 0, 0},  // already there or left of it: placed at once
      {std::nan(""), 5354, 0, 0}, {inf, 5354, 0, 0}, {1e300, 5354, 100000, 0},
  };
  for (const auto& r : rows) {
    Slide slide(r.start, r.target);
    int steps = 0;
    double last = 0;
    for (; slide.step(); ++steps) last = slide.left();
    EXPECT_EQ(steps, r.steps) << r.start;
    if (r.steps > 0 && r.start < 1e9) {
      EXPECT_DOUBLE_EQ(last, r.lastStep) << r.start;
    }
    EXPECT_EQ(slide.left(), r.target) << r.start;
  }
}

// Loaded, resized and docked (beside the toggle button) the panel is two rectangles.
TEST(PanelShape, LoadResizeDockedAndTheElevenHideTicks) {
  const auto two = [](Box a, Box b) { return R::rect(a).united(R::rect(b)); };
  EXPECT_EQ(changeshape1(302, 178), two({0, 0, 245, 178}, {255, 0, 297, 178}));
  EXPECT_EQ(resizeRegion(302, 200), two({5, 0, 248, 200}, {252, 0, 297, 180}));
  EXPECT_EQ(dockedPlaylistRegion(302, 178), two({7, 0, 245, 178}, {255, 0, 297, 178}));
  EXPECT_EQ(dockedPlaylistRegion(302.4, 250).bounds(), (Box{7, 0, 297, 250}));
  EXPECT_FALSE(dockedPlaylistRegion(302, 250).contains(260, 200));  // nothing right of the gap below 178
  HideAnimation hide;
  hide.start();
  const R window = R::rect({0, 0, 302, 178});
  for (int tick = 0; tick < 11; ++tick) {
    ASSERT_TRUE(hide.running()) << tick;
    const R region = hide.tick(kPanelScaleWidth);
    EXPECT_EQ(region, R::rect({38 * tick, 0, 335, 178})) << tick;
    EXPECT_EQ(region.intersected(window).empty(), tick >= 8) << tick;  // nothing shows from the ninth on
  }
  EXPECT_FALSE(hide.running());
}

TEST(FlyoutShape, OneRoundedStripLevelWithThePointedButton) {
  const struct { Flyout which; double top; Box bounds; } rows[] = {
      {Flyout::Add, 16, {0, 16, 115, 41}}, {Flyout::Remove, 41, {0, 40, 78, 66}}, {Flyout::Sort, 66, {0, 64, 78, 91}},
  };
  for (const auto& r : rows) {
    const R strip = flyoutRegion(r.which, r.top, 25, 277);
    EXPECT_EQ(strip.bounds(), r.bounds);
    EXPECT_FALSE(strip.contains(0, r.bounds.top));  // rounded corners
    EXPECT_TRUE(strip.contains(0, (r.bounds.top + r.bounds.bottom) / 2));
  }
  // Beside the panel where the screen has room, else against the command buttons, never over them.
  const struct { int designed, screenRight, left; } places[] = {
      {600, 1280, 600}, {600, 678, 600}, {600, 677, 482}, {-5, 1280, 482}, {40, 100, 22}};
  for (const auto& p : places) EXPECT_EQ(flyoutLeft(p.designed, 78, 560, 0, p.screenRight), p.left) << p.screenRight;
}

}  // namespace
}  // namespace sonavex

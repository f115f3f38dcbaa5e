#include "mapview/mapzoom.h"

#include <gtest/gtest.h>

using lcj::mapview::MapZoom;

namespace {

struct CellCase {
    std::vector<int> zooms; // factors pressed in order
    QPoint pixel;
    QPoint cell;
};

class CellUnderPointer : public testing::TestWithParam<CellCase> {};

} // namespace

TEST_P(CellUnderPointer, FollowsTheCellSize) {
    MapZoom zoom;
    zoom.reset({300, 240});
    for (int factor : GetParam().zooms)
        ASSERT_TRUE(zoom.zoom(factor).ok());
    EXPECT_EQ(zoom.cellAt(GetParam().pixel), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    MapZoom, CellUnderPointer,
    testing::Values(CellCase{{}, {0, 0}, {0, 0}}, CellCase{{}, {5, 11}, {0, 1}},
                    CellCase{{}, {6, 6}, {1, 1}}, CellCase{{}, {299, 239}, {49, 39}},
                    CellCase{{2}, {11, 12}, {0, 1}}, CellCase{{2}, {12, 23}, {1, 1}},
                    CellCase{{3}, {17, 18}, {0, 1}}, CellCase{{2, 3}, {35, 36}, {0, 1}},
                    CellCase{{2, 3}, {71, 72}, {1, 2}}, CellCase{{3, 3, 2}, {107, 108}, {0, 1}}));

TEST(MapZoom, NewPictureIsAtNaturalSizeWithCellSizeSix) {
    MapZoom zoom;
    EXPECT_EQ(zoom.cellSize(), 6);
    EXPECT_EQ(zoom.shown(), QSize(0, 0));
    zoom.reset({786, 678});
    EXPECT_EQ(zoom.cellSize(), 6);
    EXPECT_EQ(zoom.shown(), QSize(786, 678));
    ASSERT_TRUE(zoom.zoom(3).ok());
    // Another picture comes back to natural size.
    zoom.reset({384, 288});
    EXPECT_EQ(zoom.cellSize(), 6);
    EXPECT_EQ(zoom.shown(), QSize(384, 288));
    EXPECT_EQ(zoom.factor(), 1);
}

TEST(MapZoom, ZoomsCompoundAndRestore) {
    MapZoom zoom;
    zoom.reset({384, 288});
    ASSERT_TRUE(zoom.zoom(2).ok());
    EXPECT_EQ(zoom.cellSize(), 12);
    EXPECT_EQ(zoom.shown(), QSize(768, 576));
    ASSERT_TRUE(zoom.zoom(3).ok());
    EXPECT_EQ(zoom.cellSize(), 36);
    EXPECT_EQ(zoom.shown(), QSize(384 * 6, 288 * 6));
    EXPECT_EQ(zoom.factor(), 6);
    zoom.restore();
    EXPECT_EQ(zoom.cellSize(), 6);
    EXPECT_EQ(zoom.shown(), QSize(384, 288));
}

TEST(MapZoom, SameSpotOfTheMapGivesTheSameCellAtEveryZoom) {
    MapZoom zoom;
    zoom.reset({120, 90});
    const std::vector<int> steps{2, 3, 2, 3};
    int factor = 1;
    for (std::size_t i = 0; i <= steps.size(); ++i) {
        // Every picture pixel, shown at `factor` times its size: each of its
        // shown pixels lies in the cell of the picture pixel.
        for (int x = 0; x < 120; x += 7) {
            for (int y = 0; y < 90; y += 5) {
                const QPoint expected(x / 6, y / 6);
                EXPECT_EQ(zoom.cellAt({x * factor, y * factor}), expected);
                EXPECT_EQ(zoom.cellAt({x * factor + factor - 1, y * factor + factor - 1}),
                          expected);
            }
        }
        if (i < steps.size()) {
            ASSERT_TRUE(zoom.zoom(steps[i]).ok());
            factor *= steps[i];
        }
    }
}

TEST(MapZoom, CellSizeStopsBeforeItLeavesSixteenBits) {
    MapZoom zoom;
    zoom.reset({6, 6});
    // 6 * 3^8 = 39366 would not fit; 6 * 3^7 = 13122 does, and 2x then 26244.
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(zoom.zoom(3).ok());
    EXPECT_EQ(zoom.cellSize(), 13122);
    const auto refused = zoom.zoom(3);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains(QStringLiteral("32767")));
    EXPECT_EQ(zoom.cellSize(), 13122);
    EXPECT_EQ(zoom.shown(), QSize(6 * 2187, 6 * 2187));
    ASSERT_TRUE(zoom.zoom(2).ok());
    EXPECT_EQ(zoom.cellSize(), 26244);
    EXPECT_FALSE(zoom.zoom(2).ok());
    EXPECT_EQ(zoom.cellSize(), 26244);
    // Pressing on and on changes nothing more and never ends the program.
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(zoom.zoom(i % 2 ? 2 : 3).ok());
    EXPECT_EQ(zoom.cellSize(), 26244);
    EXPECT_EQ(zoom.cellAt({32767, 26244}), QPoint(1, 1));
    zoom.restore();
    EXPECT_EQ(zoom.cellSize(), 6);
}

TEST(MapZoom, ShownSizeStopsAtTheLargestWidget) {
    MapZoom zoom;
    zoom.reset({4000, 3000});
    // 4000 * 3^7 = 8748000 fits, times 2 = 17496000 does not.
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(zoom.zoom(3).ok());
    const auto refused = zoom.zoom(2);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(zoom.shown(), QSize(8748000, 6561000));
    EXPECT_EQ(zoom.cellSize(), 13122);
}

TEST(MapZoom, PixelsLeftOfThePictureRoundDown) {
    EXPECT_EQ(lcj::mapview::cellAt({-1, -6}, 6), QPoint(-1, -1));
    EXPECT_EQ(lcj::mapview::cellAt({-7, 0}, 6), QPoint(-2, 0));
}

TEST(MapZoom, LargeQuotientsAreExact) {
    // At the largest shown size and cell size the zoom allows.
    EXPECT_EQ(lcj::mapview::cellAt({32767 * 512 - 1, 32767 * 512}, 32767), QPoint(511, 512));
}

TEST(MapZoom, RefusesFactorsBelowTwo) {
    MapZoom zoom;
    zoom.reset(QSize(60, 30));
    for (int factor : {1, 0, -2}) {
        EXPECT_FALSE(zoom.zoom(factor).ok());
        EXPECT_EQ(zoom.cellSize(), 6);
        EXPECT_EQ(zoom.shown(), QSize(60, 30));
    }
}

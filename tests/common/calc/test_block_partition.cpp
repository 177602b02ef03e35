#include "calc/BlockPartition.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const double Rect[4] = {0, 4, 0, 4};

}  // namespace

TEST(BlockPartition, SplitsInQuadrantOrderWithMidlinePointsLeftAndDown)
{
    // Five data points in a 4 x 4 square with a limit of 2: one split.
    const std::vector<double> xs = {1, 1, 3, 3, 2, 2.5}, ys = {1, 3, 1, 3, 2, 2};
    const TBlockPartition p(Rect, xs, ys, 5, 2);
    ASSERT_EQ(p.BlockCount(), 4);
    const std::vector<std::vector<int>> expected = {{0, 4}, {1}, {2, 5}, {3}};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(p.BlockAt(k).points, expected[k]) << k;
    EXPECT_EQ(p.BlockAt(1).x0, 0);
    EXPECT_EQ(p.BlockAt(1).y0, 2);
    // All four quadrants touch, across an edge or at the centre corner.
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(p.BlockAt(k).neighbours, (std::vector<int>{0, 1, 2, 3}));
}

TEST(BlockPartition, OnlyDataCountAgainstTheLimitAndAllBelowItIsOneBlock)
{
    std::vector<double> xs = {1, 3}, ys = {1, 3};
    for (int i = 0; i < 50; ++i) {
        xs.push_back(0.05 * i);
        ys.push_back(4 - 0.05 * i);
    }
    const TBlockPartition p(Rect, xs, ys, 2, 2);
    EXPECT_EQ(p.BlockCount(), 1);
    EXPECT_EQ(p.BlockAt(0).points.size(), 52u);
}

TEST(BlockPartition, CoincidentDataStopAtTheDepthLimit)
{
    const std::vector<double> xs(20, 1.0), ys(20, 1.0);
    const TBlockPartition p(Rect, xs, ys, 20, 3);
    // Each level adds three empty quadrants beside the one holding them all.
    EXPECT_EQ(p.BlockCount(), 1 + 3 * TBlockPartition::MaxDepth);
}

TEST(BlockPartition, GatheringBorrowsFromSparseNeighboursAndWeightsByDistance)
{
    // Two levels on the left-bottom quadrant; outputs inside and far outside.
    std::vector<double> xs = {0.5, 0.5, 1.5, 1.5, 3, 1, 3}, ys = {0.5, 1.5, 0.5, 1.5, 3, 3, 1};
    const int data = 7;
    xs.push_back(0.25);  // output in block 0
    ys.push_back(0.25);
    xs.push_back(3.5);  // output far right of block 0, in the right-bottom quadrant
    ys.push_back(0.5);
    const TBlockPartition p(Rect, xs, ys, data, 3);
    // Left-bottom splits into four unit blocks; the other quadrants stay.
    ASSERT_EQ(p.BlockCount(), 7);
    std::vector<int> d, o;
    std::vector<double> w;
    p.Gather(0, 0, d, o, w);
    ASSERT_EQ(o.size(), 1u);
    EXPECT_EQ(o[0], 7);
    EXPECT_EQ(w[0], 1);
    // With a neighbour minimum of 2 every single-point neighbour borrows.
    p.Gather(0, 2, d, o, w);
    EXPECT_EQ(d.size(), 7u);
    // Block 3 (x 1..2, y 1..2) meets the right-bottom quadrant at a corner
    // and so blends the output there, 1.5 block widths to its right and half
    // a block height below.
    p.Gather(3, 0, d, o, w);
    bool seen = false;
    for (size_t k = 0; k < o.size(); ++k) {
        if (o[k] == 8) {
            seen = true;
            EXPECT_DOUBLE_EQ(w[k], 1 / (1 + 16 * 1.5 * 1.5) / (1 + 16 * 0.5 * 0.5));
        }
    }
    EXPECT_TRUE(seen);
}

// Measures of discharge structures and the management of node arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "Engine.h"
#include "GrowthTestHeap.h"
#include "korvane.h"

namespace {

constexpr double kNoLog = 1e300;

// A structure owned by the test, its node array from the engine heap.
class Tree {
 public:
  Tree() { TTreeNew(&t); }
  ~Tree() { TTreeDelete(&t); }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  int Add(int x, int y, int z, int parent, double length = 1) {
    if (t.count == t.capacity) TTreeSetSize(&t, t.capacity + 16);
    TNode& n = t.nodes[t.count];
    n = TNode{};
    n.x = x;
    n.y = y;
    n.z = z;
    n.parent = parent;
    n.generation = parent < 0 ? 0 : t.nodes[parent].generation + 1;
    n.invLength = parent < 0 ? 1 : 1 / length;
    n.lnL = n.lnR = kNoLog;
    return t.count++;
  }
  TNode& operator[](int i) { return t.nodes[i]; }
  TTree* get() { return &t; }

  TTree t;
};

// Two roots and a small tree with a fork at a; cell sizes 1, 2, 3 keep the axes
// apart.
//   0 R0 (0,0,0)   1 R1 (4,0,0)
//   2 a (0,1,0) <- R0   3 b (1,2,0) <- a   4 c (1,3,1) <- b   5 d (-1,2,0) <- a
class HandTree : public ::testing::Test {
 protected:
  HandTree() {
    tree.Add(0, 0, 0, -1);
    tree.Add(4, 0, 0, -1);
    tree.Add(0, 1, 0, 0, 2);
    tree.Add(1, 2, 0, 2, std::sqrt(5.0));
    tree.Add(1, 3, 1, 3, std::sqrt(13.0));
    tree.Add(-1, 2, 0, 2, std::sqrt(5.0));
    for (int i = 0; i < 6; ++i) {
      tree[i].powerDensity = i < 2 ? 100 : i - 1;
      tree[i].heatDensity = i < 2 ? 100 : 10 * (i - 1);
    }
  }
  Tree tree;
  const double d1 = 1, d2 = 2, d3 = 3;
};

TEST_F(HandTree, LengthRadiusLimbsSegmentsPowerEnergy) {
  EXPECT_DOUBLE_EQ(TTreeLength(tree.get()), 2 + 2 * std::sqrt(5.0) + std::sqrt(13.0));
  // Farthest pair: R1 and c, (3*1)^2 + (2*3)^2 + (1*3)^2.
  EXPECT_EQ(TTreeRadius(tree.get(), d1, d2, d3), std::sqrt(54.0));
  EXPECT_EQ(TTreeLimbs(tree.get()), 4);
  double segments = -1, tips = -1;
  TTreeSegments(tree.get(), &segments, &tips);
  EXPECT_EQ(segments, 3);  // a (two children), c, d
  EXPECT_EQ(tips, 2);      // c, d
  EXPECT_EQ(TTreeOmPower(tree.get(), d1, d2, d3), 10 * 6);
  EXPECT_EQ(TTreeOmEnergy(tree.get(), d1, d2, d3), 100 * 6);
}

TEST_F(HandTree, LimbInfoAgainstAPlane) {
  // Heights above z0 = 4: R0 -3, a -1, b 1, c 3. Path c -> b -> a -> R0.
  double lengthAbove, horizontal, area, maxHeight, ratio;
  TTreeGetLimbInfo(tree.get(), 4, d1, d2, d3, 4, &lengthAbove, &horizontal, &area, &maxHeight, &ratio);
  const double above = std::sqrt(13.0) + std::sqrt(1.25);  // c-b whole, half the run of b-a
  EXPECT_DOUBLE_EQ(lengthAbove, above);
  EXPECT_DOUBLE_EQ(horizontal, 3.5);
  EXPECT_DOUBLE_EQ(area, 3 * (3 + 1) / 2.0 + 0.5 * 1 / 2.0);
  EXPECT_EQ(maxHeight, 3);
  EXPECT_DOUBLE_EQ(ratio, above / (std::sqrt(13.0) + std::sqrt(5.0) + 2));
}

TEST_F(HandTree, LimbInfoOfAnIndexOutsideTheStructureMeasuresTheLastNode) {
  auto measure = [&](int node) {
    double v[5];
    TTreeGetLimbInfo(tree.get(), node, d1, d2, d3, 4, &v[0], &v[1], &v[2], &v[3], &v[4]);
    return std::vector<double>(v, v + 5);
  };
  auto last = measure(5);
  EXPECT_DOUBLE_EQ(last[0], std::sqrt(1.25));
  EXPECT_EQ(measure(-1), last);
  EXPECT_EQ(measure(6), last);
}

TEST_F(HandTree, LimbInfoOfARootIsZero) {
  double v[5] = {1, 1, 1, 1, 1};
  TTreeGetLimbInfo(tree.get(), 1, d1, d2, d3, -100, &v[0], &v[1], &v[2], &v[3], &v[4]);
  for (double x : v) EXPECT_EQ(x, 0);
}

TEST_F(HandTree, LimbsLengthAbovePlanes) {
  const struct {
    double z0, want;
  } cases[] = {
      {4, std::sqrt(13.0) + 2 * std::sqrt(1.25)},  // a-R0 below; b-a and d-a cross
      {-10, 2 + 2 * std::sqrt(5.0) + std::sqrt(13.0)},  // everything above
      {100, 0},  // everything below
  };
  for (const auto& c : cases) {
    double out = -1;
    TTreeGetLimbsLength(tree.get(), d1, d2, d3, c.z0, &out);
    EXPECT_DOUBLE_EQ(out, c.want) << "plane at " << c.z0;
  }
}

TEST(LimbsLength, ADownwardSegmentCrossingThePlaneAddsItsUpperPart) {
  Tree tree;
  tree.Add(0, 3, 0, -1);
  tree.Add(2, 1, 0, 0);
  // Heights 1.5 (parent) and -0.5 (child): half the horizontal run, rise 1.5.
  double out = 0;
  TTreeGetLimbsLength(tree.get(), 1, 1, 1, 2, &out);
  EXPECT_DOUBLE_EQ(out, std::sqrt(1 + 1.5 * 1.5));
}

TEST(LimbsLength, TheWalkStopsAtTheLastRoot) {
  Tree tree;
  tree.Add(0, 0, 0, -1);
  tree.Add(0, 1, 0, 0);
  tree.Add(5, 0, 0, -1);
  tree.Add(5, 1, 0, 2);
  double out = 0;
  TTreeGetLimbsLength(tree.get(), 1, 1, 1, 0, &out);
  EXPECT_DOUBLE_EQ(out, 1);  // only the node after the second root
}

TEST(EmptyStructures, MeasureZero) {
  Tree empty;
  Tree roots;
  roots.Add(0, 0, 0, -1);
  roots.Add(3, 0, 1, -1);
  for (Tree* t : {&empty, &roots}) {
    EXPECT_EQ(TTreeLength(t->get()), 0);
    EXPECT_EQ(TTreeRadius(t->get(), 1, 1, 1), 0);
    EXPECT_EQ(TTreeLimbs(t->get()), 0);
    double segments = -1, tips = -1;
    TTreeSegments(t->get(), &segments, &tips);
    EXPECT_EQ(segments, 0);
    EXPECT_EQ(tips, 0);
    EXPECT_EQ(TTreeOmPower(t->get(), 1, 1, 1), 0);
    EXPECT_EQ(TTreeOmEnergy(t->get(), 1, 1, 1), 0);
    double D = 7, b = 7;
    EXPECT_EQ(TTreeDimension(t->get(), 5, 2, &D, &b), 0);
    EXPECT_EQ(D, 0);
    EXPECT_EQ(b, 0);
    double v[5] = {1, 1, 1, 1, 1};
    TTreeGetLimbInfo(t->get(), -1, 1, 1, 1, 0, &v[0], &v[1], &v[2], &v[3], &v[4]);
    for (double x : v) EXPECT_EQ(x, 0);
    double out = 1;
    TTreeGetLimbsLength(t->get(), 1, 1, 1, 0, &out);
    EXPECT_EQ(out, 0);
  }
}

TEST(Segments, ChainHasOneSegmentUntilItForks) {
  Tree tree;
  tree.Add(0, 0, 0, -1);
  int a = tree.Add(0, 1, 0, 0);
  tree.Add(0, 2, 0, a);
  double segments, tips;
  TTreeSegments(tree.get(), &segments, &tips);
  EXPECT_EQ(std::make_pair(segments, tips), std::make_pair(1.0, 1.0));
  EXPECT_EQ(TTreeLimbs(tree.get()), 2);
  tree.Add(1, 2, 0, a);
  TTreeSegments(tree.get(), &segments, &tips);
  EXPECT_EQ(std::make_pair(segments, tips), std::make_pair(3.0, 2.0));
}

// A random structure: a plane of roots and grown nodes stepping from random
// earlier nodes, some of them wandering several periods along axis 1.
void RandomTree(Tree& tree, unsigned seed, int rootSide, int grown) {
  std::mt19937 rng(seed);
  for (int i3 = 0; i3 < rootSide; ++i3)
    for (int i1 = 0; i1 < rootSide; ++i1) tree.Add(i1, 0, i3, -1);
  std::uniform_int_distribution<int> step(-1, 1);
  for (int i = 0; i < grown; ++i) {
    int parent = std::uniform_int_distribution<int>(0, tree.t.count - 1)(rng);
    const TNode p = tree[parent];
    tree.Add(p.x + step(rng) + (i % 97 == 0 ? 40 : 0), p.y + 1, p.z + step(rng), parent);
  }
}

TEST(RandomStructures, RadiusAndSegmentsEqualTheirDefinitions) {
  for (unsigned seed : {1u, 2u, 3u}) {
    Tree tree;
    RandomTree(tree, seed, 12 + static_cast<int>(seed), 1500);
    const double d1 = 1e-3, d2 = 2.5e-3, d3 = 0.7e-3;
    const int n = tree.t.count;
    double radius = 0;
    for (int r = 0; r < n; ++r) {
      if (tree[r].parent != -1) continue;
      for (int i = 0; i < n; ++i) {
        if (tree[i].parent == -1) continue;
        double dz = (tree[r].z - tree[i].z) * d3, dy = (tree[r].y - tree[i].y) * d2,
               dx = (tree[r].x - tree[i].x) * d1;
        radius = std::max(radius, std::sqrt(dz * dz + dy * dy + dx * dx));
      }
    }
    EXPECT_EQ(TTreeRadius(tree.get(), d1, d2, d3), radius) << "seed " << seed;

    double segments = 0, tips = 0;
    for (int i = 0; i < n; ++i) {
      if (tree[i].parent == -1) continue;
      int children = 0;
      for (int j = 0; j < n; ++j) children += tree[j].parent == i;
      segments += children == 0 || children >= 2;
      tips += children == 0;
    }
    double gotSegments, gotTips;
    TTreeSegments(tree.get(), &gotSegments, &gotTips);
    EXPECT_EQ(gotSegments, segments) << "seed " << seed;
    EXPECT_EQ(gotTips, tips) << "seed " << seed;
  }
}

TEST(Radius, RootsAllAtOnePointAndNodesOnBothSides) {
  Tree tree;
  for (int i = 0; i < 20; ++i) tree.Add(3, 0, 3, -1);
  tree.Add(3, 1, 3, 0);
  tree.Add(-7, 1, 3, 20);
  tree.Add(13, 2, 3, 20);
  EXPECT_EQ(TTreeRadius(tree.get(), 1, 1, 1), std::sqrt(104.0));
}

TEST(FitLineOrthogonal, RecoversLinesOfEitherSlope) {
  const struct {
    double slope, intercept;
  } lines[] = {{2, 1}, {-3, 4}, {-0.25, -1}, {0.5, 0}};
  for (const auto& l : lines) {
    std::vector<double> x, y;
    for (int i = -3; i <= 4; ++i) {
      x.push_back(i * 0.5);
      y.push_back(l.slope * i * 0.5 + l.intercept);
    }
    double slope, intercept;
    korvane::FitLineOrthogonal(x.data(), y.data(), static_cast<int>(x.size()), &slope, &intercept);
    EXPECT_NEAR(slope, l.slope, 1e-12) << "slope " << l.slope;
    EXPECT_NEAR(intercept, l.intercept, 1e-12) << "slope " << l.slope;
  }
}

TEST(FitLineOrthogonal, MinimisesPerpendicularDistancesOfScatteredPoints) {
  // Noisy points around a falling line: the fit beats the perpendicular slope.
  const double x[] = {0, 1, 2, 3, 4, 5}, y[] = {5.1, 3.9, 3.2, 1.8, 1.1, -0.2};
  double slope, intercept;
  korvane::FitLineOrthogonal(x, y, 6, &slope, &intercept);
  auto cost = [&](double m, double b) {
    double s = 0;
    for (int i = 0; i < 6; ++i) s += std::pow(y[i] - m * x[i] - b, 2) / (1 + m * m);
    return s;
  };
  EXPECT_LT(slope, 0);
  for (double dm : {-1e-3, 1e-3})
    for (double db : {-1e-3, 0.0, 1e-3}) EXPECT_LT(cost(slope, intercept), cost(slope + dm, intercept + db));
}

TEST(FitLineOrthogonal, DegenerateInputsGiveZeros) {
  const double sx[] = {-1, 1, 0, 0}, sy[] = {0, 0, 1, -1};  // Sxy = 0
  const double one[] = {2};
  double slope = 9, intercept = 9;
  korvane::FitLineOrthogonal(sx, sy, 4, &slope, &intercept);
  EXPECT_EQ(std::make_pair(slope, intercept), std::make_pair(0.0, 0.0));
  slope = intercept = 9;
  korvane::FitLineOrthogonal(one, one, 1, &slope, &intercept);
  EXPECT_EQ(std::make_pair(slope, intercept), std::make_pair(0.0, 0.0));
}

// Nodes carrying logged (lnR, lnL) points, generations 3, 4, ...
void AddLoggedChain(Tree& tree, const std::vector<std::pair<double, double>>& points) {
  int p = tree.Add(0, 0, 0, -1);
  p = tree.Add(0, 1, 0, p);
  p = tree.Add(0, 2, 0, p);
  for (size_t i = 0; i < points.size(); ++i) {
    p = tree.Add(0, 3 + static_cast<int>(i), 0, p);
    tree[p].lnR = points[i].first;
    tree[p].lnL = points[i].second;
  }
}

TEST(Dimension, StraightChainHasDimensionOne) {
  Tree tree;
  tree.Add(0, 0, 0, -1);
  const double d = 1e-3;
  for (int k = 1; k <= 10; ++k) {
    int n = tree.Add(0, k, 0, k - 1, d);
    // Logged as the engine does after each step: ln of length and size.
    tree[n].lnL = std::log(TTreeLength(tree.get()));
    tree[n].lnR = std::log(TTreeRadius(tree.get(), d, d, d));
  }
  double D, b;
  EXPECT_EQ(TTreeDimension(tree.get(), 5, 2, &D, &b), 8);  // generations 3..10
  EXPECT_NEAR(D, 1, 1e-9);
  EXPECT_NEAR(b, 0, 1e-9);
}

TEST(Dimension, FitsRisingAndFallingHistories) {
  for (double slope : {1.7, -0.5}) {
    Tree tree;
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 6; ++i) points.emplace_back(i * 0.3, slope * i * 0.3 + 2);
    AddLoggedChain(tree, points);
    double D, b;
    EXPECT_EQ(TTreeDimension(tree.get(), 5, 2, &D, &b), 6);
    EXPECT_NEAR(D, slope, 1e-12);
    EXPECT_NEAR(b, 2, 1e-12);
  }
}

TEST(Dimension, CountsDistinctConsecutivePointsOfLateGenerations) {
  Tree tree;
  // Repeats in consecutive nodes count once; a value met again later counts again.
  AddLoggedChain(tree, {{1, 2}, {1, 2}, {1, 2}, {2, 3}, {1, 2}, {1, 2}});
  tree[1].lnR = 9;  // generation 1: too young
  tree[1].lnL = 9;
  double D = 7, b = 7;
  EXPECT_EQ(TTreeDimension(tree.get(), 5, 2, &D, &b), 3);
  EXPECT_EQ(D, 0);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(TTreeDimension(tree.get(), 3, 2, &D, &b), 3);
  EXPECT_NE(D, 0);
  EXPECT_EQ(TTreeDimension(tree.get(), 3, 0, &D, &b), 4);
}

TEST(TreeArrays, NewSetSizeAndDelete) {
  TTree t{reinterpret_cast<TNode*>(1), 5, 5};
  EXPECT_EQ(TTreeNew(&t), 0);
  EXPECT_EQ(std::make_tuple(t.nodes, t.count, t.capacity), std::make_tuple(nullptr, 0, 0));
  EXPECT_EQ(TTreeSetSize(&t, 0), nullptr);
  TNode* nodes = TTreeSetSize(&t, 3);
  ASSERT_NE(nodes, nullptr);
  EXPECT_EQ(t.capacity, 3);
  t.count = 3;
  for (int i = 0; i < 3; ++i) nodes[i].x = 10 + i;
  nodes = TTreeSetSize(&t, 250);
  EXPECT_EQ(std::make_tuple(t.count, t.capacity, nodes[2].x), std::make_tuple(3, 250, 12));
  TTreeSetSize(&t, 2);
  EXPECT_EQ(std::make_tuple(t.count, t.capacity, t.nodes[1].x), std::make_tuple(2, 2, 11));
  EXPECT_EQ(TTreeDelete(&t), 0);
  EXPECT_EQ(std::make_tuple(t.nodes, t.count, t.capacity), std::make_tuple(nullptr, 0, 0));
}

TEST(TreeArrays, CopyLeavesExactlyTheSourceNodes) {
  Tree src, dst;
  for (int i = 0; i < 3; ++i) src.Add(i, 0, 0, -1);
  for (int i = 0; i < 40; ++i) dst.Add(0, i, 0, -1);
  EXPECT_EQ(TTreeCopy(dst.get(), src.get()), 3);
  EXPECT_EQ(dst.t.count, 3);
  EXPECT_EQ(dst.t.capacity, src.t.capacity);
  EXPECT_EQ(std::memcmp(dst.t.nodes, src.t.nodes, 3 * sizeof(TNode)), 0);

  Tree empty;
  EXPECT_EQ(TTreeCopy(dst.get(), empty.get()), 0);
  EXPECT_EQ(std::make_tuple(dst.t.nodes, dst.t.count, dst.t.capacity), std::make_tuple(nullptr, 0, 0));
  EXPECT_EQ(TTreeCopy(dst.get(), empty.get()), 0);  // both empty: nothing to allocate
  EXPECT_EQ(TTreeCopy(src.get(), src.get()), 3);
  EXPECT_EQ(src.t.count, 3);
}

TEST(TreeArrays, CopyTakesNoMoreNodesThanTheSourceHolds) {
  Tree src, dst;
  for (int i = 0; i < 5; ++i) src.Add(i, 0, 0, -1);
  src.t.count = src.t.capacity + 7;  // a count beyond the array
  EXPECT_EQ(TTreeCopy(dst.get(), src.get()), src.t.capacity);
  EXPECT_EQ(dst.t.count, src.t.capacity);
  src.t.count = 5;
}

TEST(TreeArrays, ABrokenParentLinkEndsThePathWalk) {
  Tree tree;
  tree.Add(0, 0, 0, -1);
  int a = tree.Add(0, 1, 0, 0);
  tree[a].parent = 57;  // outside the structure
  double v[5];
  TTreeGetLimbInfo(tree.get(), a, 1, 1, 1, -10, &v[0], &v[1], &v[2], &v[3], &v[4]);
  EXPECT_EQ(v[0], 0);
  double out = -1;
  TTreeGetLimbsLength(tree.get(), 1, 1, 1, -10, &out);
  EXPECT_EQ(out, 0);
  double segments, tips;
  TTreeSegments(tree.get(), &segments, &tips);
  EXPECT_EQ(tips, 1);
}

TEST(RecordStatistics, NodeExtremesAndStructureCharge) {
  growth_test::TestHeap t(4, 4, 4);
  t->CellSize1 = 1e-3;
  t->CellSize2 = 2e-3;
  t->CellSize3 = 3e-3;
  t.AddRoot(0, 0, 0);
  korvane::AddNode(*t, 0, 1, 0, t.Cell(0, 1, 0), 0);
  korvane::AddNode(*t, 0, 2, 0, t.Cell(0, 2, 0), 1);
  korvane::AddNode(*t, 1, 2, 0, t.Cell(1, 2, 0), 1);
  double TNode::*fields[] = {&TNode::g,           &TNode::current,      &TNode::field,
                             &TNode::heatDensity, &TNode::powerDensity, &TNode::linearHeat,
                             &TNode::linearPower, &TNode::linearCharge};
  for (double TNode::*f : fields) {
    t->Nodes.nodes[0].*f = 1e6;  // the root is not looked at
    t->Nodes.nodes[1].*f = 2;
    t->Nodes.nodes[2].*f = -5;
    t->Nodes.nodes[3].*f = 7;
  }
  korvane::RefreshNodeExtremes(*t);
  const THeap& h = *t;
  const double mins[] = {h.MinLinearConductance, h.MinChannelCurrent, h.MinChannelField, h.MinHeatDensity,
                         h.MinPowerDensity,      h.MinLinearHeat,     h.MinLinearPower,  h.MinLinearCharge};
  const double maxs[] = {h.MaxLinearConductance, h.MaxChannelCurrent, h.MaxChannelField, h.MaxHeatDensity,
                         h.MaxPowerDensity,      h.MaxLinearHeat,     h.MaxLinearPower,  h.MaxLinearCharge};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(mins[i], -5) << "field " << i;
    EXPECT_EQ(maxs[i], 7) << "field " << i;
  }

  t->Charge[t.Cell(0, 0, 0)] = 100;  // root cell
  t->Charge[t.Cell(0, 1, 0)] = 1;
  t->Charge[t.Cell(0, 2, 0)] = 2;
  t->Charge[t.Cell(1, 2, 0)] = -0.5;
  EXPECT_DOUBLE_EQ(korvane::StructureChargeOf(*t), 2.5 * 6e-9);

  t->Nodes.count = 1;  // roots only
  korvane::RefreshNodeExtremes(*t);
  for (double v : {h.MinLinearConductance, h.MaxLinearConductance, h.MinLinearCharge, h.MaxLinearCharge})
    EXPECT_EQ(v, 0);
  EXPECT_EQ(korvane::StructureChargeOf(*t), 0);
}

TEST(RecordStatistics, SetLimbDimMinStoresTheBoundsAndRefits) {
  growth_test::TestHeap t(3, 12, 3);
  int p = t.AddRoot(1, 0, 1);
  for (int k = 1; k <= 9; ++k) {
    p = korvane::AddNode(*t, 1, k, 1, t.Cell(1, k, 1), p);
    t->Nodes.nodes[p].lnR = 0.1 * k;
    t->Nodes.nodes[p].lnL = 0.2 * k + 1;
  }
  EXPECT_EQ(THeapSetLimbDimMin(t.get(), 6, 3), 3);  // generations 7..9
  EXPECT_EQ(t->LimbDimMinLength, 6);
  EXPECT_EQ(t->LimbDimMinCount, 3);
  EXPECT_NEAR(t->Dimension, 2, 1e-12);
  EXPECT_NEAR(t->DimensionIntercept, 1, 1e-12);
  EXPECT_EQ(THeapSetLimbDimMin(t.get(), 6, 4), 3);
  EXPECT_EQ(t->Dimension, 0);
  EXPECT_EQ(t->DimensionIntercept, 0);
}

}  // namespace

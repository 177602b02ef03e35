#include "model/breakdown/ChannelData.h"
#include "model/breakdown/OutputQuantities.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

namespace {

// A hand-built tree: node 0 a root at (2, 0, 2), then a chain of `depth`
// nodes rising along axis 2 with segments of 1 mm, then optional side nodes.
class HandTree {
public:
  explicit HandTree(int depth) {
    AddNode(-1, 2, 0, 2);
    for (int i = 1; i <= depth; ++i)
      AddNode(i - 1, 2, i, 2);
  }
  int AddNode(int parent, int x, int y, int z) {
    TNode n{};
    n.x = x;
    n.y = y;
    n.z = z;
    n.parent = parent;
    const int index = static_cast<int>(nodes.size());
    n.generation = parent < 0 ? 0 : nodes[static_cast<size_t>(parent)].generation + 1;
    n.invLength = parent < 0 ? 1.0 : 1000.0;
    n.pathLength = parent < 0 ? 0.0 : nodes[static_cast<size_t>(parent)].pathLength + 0.001;
    n.g = 1e-6 * index;
    n.current = 10.0 + index;
    n.field = 1e6 + index;
    n.potential = 100.0 + index;
    n.ec = 2e6 + index;
    n.linearHeat = 0.5 * index;
    n.linearPower = 0.25 * index;
    n.linearCharge = -1e-9 * index;
    nodes.push_back(n);
    return index;
  }
  TTree Tree() { return TTree{nodes.data(), static_cast<int32_t>(nodes.size()), static_cast<int32_t>(nodes.size())}; }

  std::vector<TNode> nodes;
};

TEST(ChannelData, PotentialTakesTheRootAndSegmentsSitHalfASegmentBack) {
  HandTree t(5);
  const TTree tree = t.Tree();
  const auto potential = ChannelProfile(tree, ChannelPotential, 5);
  ASSERT_EQ(potential.values.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_DOUBLE_EQ(potential.positions[i], 0.001 * i);
    EXPECT_EQ(potential.values[i], 100.0 + i);
  }
  const auto current = ChannelProfile(tree, ChannelCurrent, 5);
  ASSERT_EQ(current.values.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_DOUBLE_EQ(current.positions[i], 0.001 * (i + 1) - 0.0005);
    EXPECT_EQ(current.values[i], 10.0 + (i + 1));
  }
}

TEST(ChannelData, EveryQuantityReadsItsOwnNodeField) {
  HandTree t(2);
  const TTree tree = t.Tree();
  const std::map<int, std::pair<double, bool>> tip = {
      {ChannelConductance, {2e-6, false}}, {ChannelCurrent, {12.0, false}},   {ChannelField, {1e6 + 2, false}},
      {ChannelPotential, {102.0, true}},   {ChannelCriticalField, {2e6 + 2, true}}, {ChannelLinearHeat, {1.0, false}},
      {ChannelLinearPower, {0.5, false}},  {ChannelLinearCharge, {-2e-9, false}}};
  for (const auto &[id, expected] : tip) {
    const auto p = ChannelProfile(tree, id, -1);
    ASSERT_FALSE(p.values.empty()) << id;
    EXPECT_DOUBLE_EQ(p.values.back(), expected.first) << id;
    EXPECT_DOUBLE_EQ(p.positions.back(), expected.second ? 0.002 : 0.0015) << id;
  }
  EXPECT_TRUE(ChannelProfile(tree, 2004, -1).values.empty());
}

TEST(ChannelData, ChoiceOfTheTip) {
  HandTree t(3);
  t.AddNode(0, 3, 1, 2); // a shallow side branch, last in the list
  const TTree tree = t.Tree();
  EXPECT_EQ(SelectChannelEnd(tree, -2), 3);
  EXPECT_EQ(SelectChannelEnd(tree, -1), 4);
  EXPECT_EQ(SelectChannelEnd(tree, 1000), 4);
  EXPECT_EQ(SelectChannelEnd(tree, 2), 2);

  HandTree big(49);
  EXPECT_EQ(SelectChannelEnd(big.Tree(), 1000), 49);
  HandTree flat(0);
  flat.AddNode(-1, 0, 0, 0);
  EXPECT_EQ(SelectChannelEnd(flat.Tree(), -2), 0);
}

TEST(ChannelData, NoNodesOrARootTipGiveNothing) {
  const TTree empty{nullptr, 0, 0};
  EXPECT_EQ(SelectChannelEnd(empty, -2), -1);
  EXPECT_TRUE(ChannelProfile(empty, ChannelPotential, -2).values.empty());
  HandTree t(3);
  EXPECT_TRUE(ChannelProfile(t.Tree(), ChannelPotential, 0).values.empty());
  EXPECT_TRUE(ChannelProfile(t.Tree(), ChannelCurrent, 0).positions.empty());
}

// Electrode codes of a 5 x 5 x 6 layer: free dielectric everywhere, the top
// plane an electrode.
struct CodeLayer {
  int nx = 5, ny = 5, nz = 6;
  std::map<std::tuple<int, int, int>, double> special;
  TCellLookup Lookup() const {
    return [this](int i, int j, int k, double &v) {
      if (i < 0 || j < 0 || k < 0 || i >= nx || j >= ny || k >= nz) {
        v = 1e300;
        return false;
      }
      const auto it = special.find({i, j, k});
      v = it != special.end() ? it->second : (k == nz - 1 ? -4.0 : -1.0);
      return true;
    };
  }
};

TEST(ChannelData, FreeDielectricIsNoElectrode) {
  CodeLayer layer;
  HandTree t(4); // reaches level 4, one below the top electrode
  EXPECT_EQ(FindNodeOnElectrode(t.Tree(), layer.Lookup(), 5, 5, false), -1);
  EXPECT_EQ(FindNodeOnElectrode(t.Tree(), layer.Lookup(), 5, 5, true), -1);
  t.AddNode(4, 2, 5, 2);
  EXPECT_EQ(FindNodeOnElectrode(t.Tree(), layer.Lookup(), 5, 5, false), 5);
}

TEST(ChannelData, RootsOnElectrodesDoNotCountAndGrownCoordinatesWrap) {
  CodeLayer layer;
  layer.special[{2, 2, 0}] = -3.0; // the root's own cell
  layer.special[{0, 1, 3}] = -2.0;
  HandTree t(1);
  EXPECT_EQ(FindNodeOnElectrode(t.Tree(), layer.Lookup(), 5, 5, false), -1);
  const int wrapped = t.AddNode(1, 5, 3, -4); // x 5 -> 0, z -4 -> 1
  t.AddNode(1, 2, 5, 2);
  EXPECT_EQ(FindNodeOnElectrode(t.Tree(), layer.Lookup(), 5, 5, false), wrapped);
  EXPECT_EQ(FindNodeOnElectrode(t.Tree(), layer.Lookup(), 5, 5, true), wrapped + 1);
}

TEST(ChannelData, SurfaceHeightFromTheMiddleColumn) {
  const int nx = 5, ny = 4, nz = 30;
  auto materials = [&](int firstLevelOfOne) {
    return TCellLookup([=](int i, int j, int k, double &v) {
      v = (i == nx / 2 && j == ny / 2 && firstLevelOfOne >= 0 && k >= firstLevelOfOne) ? 1.0 : 0.0;
      return k < nz;
    });
  };
  EXPECT_DOUBLE_EQ(FindSurfaceLevelHeight(materials(19), nx, ny, nz, 0.001), 0.019);
  EXPECT_EQ(FindSurfaceLevelHeight(materials(0), nx, ny, nz, 0.001), 0.0);
  EXPECT_EQ(FindSurfaceLevelHeight(materials(-1), nx, ny, nz, 0.001), 0.0);
  EXPECT_EQ(FindSurfaceLevelHeight(TCellLookup(), nx, ny, nz, 0.001), 0.0);
}

} // namespace

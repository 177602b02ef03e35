// The tree display: value range and colouring of the segments, the widths of
// picked and breakdown channels, the picked node, bodies and the opacity that
// the options dialog reads.
#include "views3d/DischargeTreeDisplay.h"
#include "views3d/FormBit3DViewOptions.h"

#include "model/breakdown/EngineStatistics.h"

#include <melisco.h>

#include <QLineEdit>

#include <gtest/gtest.h>

#include <vector>

namespace {

TNode Node(int x, int y, int z, int parent, double current)
{
  TNode n{};
  n.x = x;
  n.y = y;
  n.z = z;
  n.parent = parent;
  n.current = current;
  return n;
}

struct TestTree {
  std::vector<TNode> nodes;
  TTree Tree() { return TTree{nodes.data(), static_cast<int32_t>(nodes.size()), static_cast<int32_t>(nodes.size())}; }
};

// Two roots, each with a short channel: 0 <- 1 <- 2 and 3 <- 4.
TestTree TwoRoots(double c1 = 1, double c2 = 2, double c4 = 3)
{
  return {{Node(1, 0, 1, -1, 0), Node(1, 1, 1, 0, c1), Node(1, 2, 1, 1, c2), Node(3, 0, 3, -1, 0),
           Node(3, 1, 3, 3, c4)}};
}

const TCellCodeLookup NoElectrodes = [](int, int, int, double&) { return false; };

TEST(DischargeTreeDisplay, ColoursFollowTheValueRange)
{
  struct Case {
    const char* what;
    int32_t kind;
    bool logarithmic;
    double c1, c2, c4;
    std::vector<int> t; // expected colour position per segment
  };
  const Case cases[] = {
      {"channels: fixed range 0..1, one step short of the maximum", TreeValueChannels, false, 1, 2, 3,
       {65535, 65535, 65535}},
      {"equal values: scale 0, all at the minimum", TreeValueCurrent, false, 5, 5, 5, {0, 0, 0}},
      {"current over its range", TreeValueCurrent, false, 1, 2, 3, {0, 32768, 65535}},
      {"logarithm of zero is -300 and becomes the minimum", TreeValueCurrent, true, 0, 1, 10,
       {0, 65317, 65535}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTreeDisplaySettings s;
    s.valueKind = c.kind;
    s.logarithmic = c.logarithmic;
    s.mixMode = 0;
    s.colourMin = 0x000000;
    s.colourMax = 0xFFFFFF;
    TestTree tree = TwoRoots(c.c1, c.c2, c.c4);
    const auto segments = BuildTreeSegments(s, tree.Tree(), 4, 4, 4, NoElectrodes);
    ASSERT_EQ(segments.size(), c.t.size());
    for (size_t i = 0; i < segments.size(); ++i) {
      EXPECT_EQ(segments[i].colour, MixColor(s.colourMin, s.colourMax, c.t[i], 0)) << i;
      EXPECT_EQ(segments[i].opacity, static_cast<int32_t>(std::lround(65536.0 * c.t[i] / 65536))) << i;
    }
  }
}

TEST(DischargeTreeDisplay, SegmentsRunBetweenCellCentresOnTheCubeAxes)
{
  TTreeDisplaySettings s;
  TestTree tree{{Node(0, 0, 0, -1, 0), Node(1, 1, 3, 0, 1)}};
  const auto segments = BuildTreeSegments(s, tree.Tree(), 2, 4, 4, NoElectrodes);
  ASSERT_EQ(segments.size(), 1u);
  // Axis 1 -> x, axis 3 -> y reversed, axis 2 -> z reversed.
  EXPECT_DOUBLE_EQ(segments[0].x1, -0.5);
  EXPECT_DOUBLE_EQ(segments[0].y1, 0.75);
  EXPECT_DOUBLE_EQ(segments[0].z1, 0.75);
  EXPECT_DOUBLE_EQ(segments[0].x2, 0.5);
  EXPECT_DOUBLE_EQ(segments[0].y2, -0.75);
  EXPECT_DOUBLE_EQ(segments[0].z2, 0.25);
}

TEST(DischargeTreeDisplay, PickedAndBreakdownChannelsTakeTheirWidthBackToTheRoot)
{
  TTreeDisplaySettings s;
  // Node 2 reached an electrode (code below -1); the segment of node 4 is picked.
  const TCellCodeLookup codes = [](int i, int j, int k, double& code) {
    code = (i == 1 && j == 1 && k == 2) ? -3 : 0;
    return true;
  };
  s.pickedSegment = 2;
  TestTree tree = TwoRoots();
  auto segments = BuildTreeSegments(s, tree.Tree(), 4, 4, 4, codes);
  ASSERT_EQ(segments.size(), 3u);
  EXPECT_EQ(segments[0].width, s.widthBreakdown);
  EXPECT_EQ(segments[1].width, s.widthBreakdown);
  EXPECT_EQ(segments[2].width, s.widthPicked);
  // The tree windows get the node at the end of the segment, not its index.
  EXPECT_EQ(s.pickedNode, 4);

  // A ray that met nothing marks nothing and keeps the node.
  s.pickedSegment = -1;
  segments = BuildTreeSegments(s, tree.Tree(), 4, 4, 4, NoElectrodes);
  for (const auto& seg : segments)
    EXPECT_EQ(seg.width, s.width);
  EXPECT_EQ(s.pickedNode, 4);
}

TEST(DischargeTreeDisplay, ABrokenParentChainEndsTheWidthWalk)
{
  TTreeDisplaySettings s;
  s.pickedSegment = 1;
  // Nodes 1 and 2 are each other's parents (no root above them).
  TestTree tree{{Node(0, 0, 0, -1, 0), Node(0, 1, 0, 2, 1), Node(0, 2, 0, 1, 1)}};
  const auto segments = BuildTreeSegments(s, tree.Tree(), 4, 4, 4, NoElectrodes);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(s.pickedNode, 2);
}

TEST(DischargeTreeDisplay, HiddenOrEmptyTreeGivesNoSegments)
{
  TTreeDisplaySettings s;
  TestTree empty;
  EXPECT_TRUE(BuildTreeSegments(s, empty.Tree(), 4, 4, 4, NoElectrodes).empty());
  s.showTree = false;
  TestTree tree = TwoRoots();
  EXPECT_TRUE(BuildTreeSegments(s, tree.Tree(), 4, 4, 4, NoElectrodes).empty());
}

TEST(DischargeTreeDisplay, BodiesForPlatesElectrodesAndInhomogeneities)
{
  TEngineStatistics lattice;
  lattice.n1 = lattice.n2 = lattice.n3 = 10;
  lattice.cellSize1 = lattice.cellSize2 = lattice.cellSize3 = 0.001;
  TElectrodeRecord needle;
  needle.start[0] = 0.005, needle.start[1] = 0.0, needle.start[2] = 0.005;
  needle.end[0] = 0.005, needle.end[1] = 0.004, needle.end[2] = 0.005;
  needle.startDiameter = 0.002;
  needle.endDiameter = 0.0004;
  TInhomogeneityRecord ball;
  ball.shape = TInhomogeneityRecord::ShapeEllipsoid;
  TTreeDisplaySettings s;
  auto bodies = BuildModelBodies(s, {needle}, {ball}, lattice);
  ASSERT_EQ(bodies.size(), 4u);
  EXPECT_EQ(bodies[0].colour, 0x0000FFu);
  EXPECT_DOUBLE_EQ(bodies[0].z1, 0.99);
  EXPECT_EQ(bodies[1].colour, 0xFF0000u);
  EXPECT_DOUBLE_EQ(bodies[1].z2, -0.99);
  EXPECT_EQ(bodies[2].kind, CubeBodyCone);
  EXPECT_DOUBLE_EQ(bodies[2].x1, 0.0);
  EXPECT_DOUBLE_EQ(bodies[2].z1, 1 - 0.0005 * 200);
  EXPECT_DOUBLE_EQ(bodies[2].radius1, 0.001);
  EXPECT_EQ(bodies[3].kind, CubeBodyEllipsoid);
  s.showElectrodes = false;
  bodies = BuildModelBodies(s, {needle}, {ball}, lattice);
  ASSERT_EQ(bodies.size(), 1u);
  EXPECT_EQ(bodies[0].kind, CubeBodyEllipsoid);
}

TEST(DischargeTreeDisplay, OptionsDialogReadsTransparencyWithinRange)
{
  struct Case {
    const char* text;
    int32_t opacity;
  };
  const Case cases[] = {{"100", 0}, {"0", 65536}, {"50", 32768}, {"150", 0}, {"-20", 65536}, {"abc", 65536}};
  TFBit3DViewOptions dialog;
  TTreeDisplaySettings s;
  dialog.Fill(s);
  EXPECT_EQ(dialog.Ealphamin->text(), "100");
  EXPECT_EQ(dialog.Ealphamax->text(), "0");
  for (const Case& c : cases) {
    dialog.Ealphamin->setText(QString::fromLatin1(c.text));
    dialog.Apply(s);
    EXPECT_EQ(s.opacityMin, c.opacity) << c.text;
  }
}

} // namespace

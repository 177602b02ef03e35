#include "GLTestSupport.h"

#include <melisco.h>

#include <QMenu>

namespace {

// One triangle over the whole plan with one layer of one prism: a wedge that
// fills the cube's box from its bottom to its top.
class TWedgeMesh : public TCubeMeshSource {
public:
  TWedgeMesh()
  {
    mesh.nodeCount = 3;
    mesh.triangleCount = 1;
    mesh.nodeXY = nodeXY;
    mesh.triangles = triangles;
    mesh.layerCount = 1;
    mesh.layerNames = names;
    mesh.nodeColumns = columns;
    mesh.nodeZ = nodeZ;
    mesh.prismRanges = prisms;
    mesh.prismNodes = prismNodes;
    mesh.minX = 0, mesh.maxX = 10, mesh.minY = 0, mesh.maxY = 10, mesh.minZ = 0, mesh.maxZ = 2;
  }
  // The section drawing builds the mesh's coefficient arrays in melisco.
  ~TWedgeMesh() override { FreeMeshCoefficients(&mesh); }
  TIrregularMesh* Mesh() const override { return const_cast<TIrregularMesh*>(&mesh); }
  COLORREF GridColour() const override { return 0; }
  double GridLineWidth() const override { return 1; }

  void WithHorizons() { mesh.surfacePrisms = surfaces; }

  TIrregularMesh mesh{};
  double nodeXY[6] = {0, 0, 10, 0, 0, 10};
  int32_t triangles[3] = {0, 1, 2};
  char layerName[8] = "layer";
  char* names[2] = {nullptr, layerName};
  int32_t columns[4] = {0, 2, 4, 6};
  double nodeZ[6] = {0, 2, 0, 2, 0, 2};
  int32_t prisms[2] = {0, 1};
  int32_t prismNodes[6] = {1, 3, 5, 0, 2, 4};
  int32_t surfaces[2] = {0, 0};
};

int ColouredPixels(const QImage& picture)
{
  int count = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb c = picture.pixel(x, y);
      count += !(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)); // the box and outlines are grey
    }
  return count;
}

TEST_F(CubeFrameTest, DrawsTheMeshGridByItsMode)
{
  REQUIRE_GL(frame);
  TWedgeMesh source;
  std::vector<double> nodeValues(6, 1.0);
  double min = 0, max = 2;
  frame.SetData(nodeValues.data(), 0, 0, 0, 0, 10, -10, -2, false, &min, &max, nullptr, &source);
  frame.SetRotationAngles(-0.6, 0.3); // the faces seen from above
  const struct {
    int mode;
    bool horizons;
    bool drawn;
  } cases[] = {{0, false, false}, {1, false, true}, {2, false, true}, {3, false, false},
               {4, false, false}, {4, true, true},  {3, true, true}};
  for (const auto& c : cases) {
    if (c.horizons)
      source.WithHorizons();
    frame.GridMode = c.mode;
    frame.Redraw();
    EXPECT_EQ(ColouredPixels(frame.PictureImage()) > 0, c.drawn) << c.mode << " " << c.horizons;
  }
  frame.UpdatePopupState();
  QMenu* horizons = frame.findChild<QMenu*>(QStringLiteral("PMIgrid_horisons"));
  ASSERT_EQ(horizons->actions().size(), 2);
  EXPECT_EQ(horizons->actions()[1]->text(), QString("layer"));
  horizons->actions()[1]->trigger();
  EXPECT_EQ(frame.Horizon, 0);
  frame.SetHorizon(1); // beyond the mesh's horizons: all
  EXPECT_EQ(frame.Horizon, -1);
}

} // namespace

// The lists stamped into the model's layers of a GIS: found by quantity code,
// cells sized by the layer's world extent, the views told.
#include <gtest/gtest.h>

#include <memory>

#include "gis/BitGIS.h"
#include "gis/GArray3D.h"
#include "model/store/Electrodes.h"
#include "model/store/Inhomogeneities.h"
#include "model/store/layers/ModelLayerStamping.h"

namespace {

// Layers of 5 x 4 cells and 6 levels over 5 mm x 4 mm x 6 mm: 1 mm cells.
struct ModelLayers : ::testing::Test {
  TBitGIS gis;
  int changes = 0;

  void SetUp() override
  {
    gis.SetTransform(0, 0, 5e-3, 4e-3, 0, 6e-3);
    gis.OnChange = [this](void* sender) {
      EXPECT_EQ(sender, nullptr);
      ++changes;
    };
  }
  TGArray3D* AddLayer(int code)
  {
    auto layer = std::make_unique<TGArray3D>(&gis, 5, 4, 6, code);
    TGArray3D* raw = layer.get();
    gis.AddObject(nullptr, std::move(layer), false);
    raw->SetRelativeRect(0, 0, 1, 1);
    raw->SetDZ(1);
    changes = 0;
    return raw;
  }
};

TEST_F(ModelLayers, ElectrodesGoIntoTheirLayer)
{
  TElectrodeRecord needle;
  const double start[3] = {2.5e-3, 2e-3, 1.5e-3}, end[3] = {2.5e-3, 4e-3, 1.5e-3};
  std::copy(start, start + 3, needle.start);
  std::copy(end, end + 3, needle.end);
  needle.startDiameter = needle.endDiameter = 0.4e-3;
  needle.code = -3;
  EXPECT_FALSE(RasterizeElectrodes(gis, {needle}));
  EXPECT_EQ(changes, 0);

  TGArray3D* layer = AddLayer(kElectrodeLayerCode);
  ASSERT_TRUE(RasterizeElectrodes(gis, {needle}));
  EXPECT_EQ(changes, 1);
  const TCellVolume v = CellVolumeOf(*layer);
  EXPECT_DOUBLE_EQ(v.cx, 1e-3);
  EXPECT_DOUBLE_EQ(v.cz, 1e-3);
  EXPECT_EQ(v.At(0, 0, 0), -2.0);
  EXPECT_EQ(v.At(4, 3, 5), -4.0);
  EXPECT_EQ(v.At(1, 1, 3), -1.0);
  for (int k = 2; k <= 4; ++k)
    EXPECT_EQ(v.At(2, 1, k), -3.0) << k;
  EXPECT_EQ(v.At(2, 1, 1), -1.0);
}

TEST_F(ModelLayers, InhomogeneitiesGoIntoMaterialAndChargeLayers)
{
  TInhomogeneityRecord box;
  const double lower[3] = {1e-3, 1e-3, 1e-3}, upper[3] = {3e-3, 3.5e-3, 3e-3};
  std::copy(lower, lower + 3, box.lower);
  std::copy(upper, upper + 3, box.upper);
  box.material = 1;
  box.charge = 2e-4;
  TGArray3D* materials = AddLayer(kMaterialLayerCode);
  EXPECT_FALSE(RasterizeInhomogeneities(gis, {box}, 5e-5)); // no charge layer yet
  TGArray3D* charges = AddLayer(kChargeLayerCode);
  ASSERT_TRUE(RasterizeInhomogeneities(gis, {box}, 5e-5));
  EXPECT_EQ(changes, 1);
  const TCellVolume a = CellVolumeOf(*materials), b = CellVolumeOf(*charges);
  EXPECT_EQ(a.At(1, 1, 2), 1.0);
  EXPECT_EQ(b.At(1, 1, 2), 2e-4);
  EXPECT_EQ(a.At(0, 0, 0), 0.0);
  EXPECT_EQ(b.At(0, 0, 0), 5e-5);
  EXPECT_EQ(materials->GetDataMin(), 0.0);
  EXPECT_EQ(charges->GetDataMin(), 5e-5);
}

} // namespace

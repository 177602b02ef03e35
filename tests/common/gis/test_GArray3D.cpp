// Three-dimensional arrays in their GIS: the plane view of the current level,
// resizing, persistence, level-by-level building, profiles and text transfer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "ArrayBuildingSupport.h"
#include "GisTestSupport.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "gis/ArrayBuilder.h"
#include "gis/BitGIS.h"
#include "gis/GArray3D.h"

using namespace buildtest;

namespace {

// A 3 x 2 x 4 array over the relative unit cube; the GIS maps it onto x and y
// 0..30 and a depth of 0..40, so each level is 10 deep.
struct Array3DFixture : ::testing::Test {
  TBitGIS gis;
  TGArray3D* array = nullptr;

  void SetUp() override
  {
    gis.SetTransform(0, 0, 30, 30, 0, 40);
    array = AddObject(gis, std::make_unique<TGArray3D>(&gis, 3, 2, 4, Code));
    array->SetRelativeRect(0, 0, 1, 1);
    array->SetDZ(1);
    double* v = array->GetVolumeData();
    for (int c = 0; c < 24; ++c)
      v[c] = c;
  }
};

TEST_F(Array3DFixture, PlaneViewFollowsTheCurrentLevel)
{
  double value = 0;
  EXPECT_TRUE(array->GetValueAt(0.9, 0.9, value));
  EXPECT_EQ(value, 5.0);
  array->SetLevel(2);
  EXPECT_TRUE(array->GetValueAt(0.9, 0.9, value));
  EXPECT_EQ(value, 17.0);
  EXPECT_EQ(array->GetData()[0], 12.0);
  // Writes through the volume show on the next read of the plane.
  double* volume = array->GetVolumeData();
  volume[12] = -1;
  EXPECT_TRUE(array->GetValueAt(0.1, 0.1, value));
  EXPECT_EQ(value, -1.0);
  // A pointer kept from earlier still reaches the lookups and the plane view.
  volume[13] = -2;
  EXPECT_TRUE(array->GetValueAt(0.4, 0.1, value));
  EXPECT_EQ(value, -2.0);
  gistest::TTestBitmap bitmap(4, 4);
  array->Draw(0, 0, 1, 1, bitmap.get());
  EXPECT_EQ(array->GetData()[1], -2.0);
  array->SetLevel(4); // nz: ignored
  array->SetLevel(-1);
  EXPECT_EQ(array->GetLevel(), 2);
  array->SetName("T");
  EXPECT_EQ(array->GetName(), "T, 2");
  EXPECT_EQ(array->GetCellCount(), 24);
  EXPECT_DOUBLE_EQ(array->GetLevelThickness(), 10.0);
}

// The plane is the current level itself: what is written through one side is
// read through the other at once, with no drawing or lookup in between.
TEST_F(Array3DFixture, WritesThroughThePlaneAndTheVolumeMeet)
{
  array->SetLevel(2);
  array->GetData()[1] = 99;
  EXPECT_EQ(array->GetVolumeData()[2 * 6 + 1], 99.0);
  double value = 0;
  EXPECT_TRUE(array->GetCellValue(1, 0, 2, value));
  EXPECT_EQ(value, 99.0);
  EXPECT_TRUE(array->InterpolateAt(0.5, 0.25, value)); // the centre of cell (1, 0)
  EXPECT_DOUBLE_EQ(value, 99.0);

  array->GetVolumeData()[2 * 6 + 4] = -5;
  EXPECT_EQ(array->GetData()[4], -5.0);
  const TGArray3D& seen = *array;
  EXPECT_EQ(seen.GetData()[4], -5.0);
  // Another level is another plane; the values stay where they were written.
  array->SetLevel(0);
  EXPECT_EQ(array->GetData()[1], 1.0);
  array->GetData()[1] = 7;
  array->SetLevel(2);
  EXPECT_EQ(array->GetData()[1], 99.0);
  EXPECT_EQ(array->GetVolumeData()[1], 7.0);
}

TEST_F(Array3DFixture, WholeVolumeOperations)
{
  array->UpdateMinMax();
  EXPECT_EQ(array->GetDataMin(), 0.0);
  EXPECT_EQ(array->GetDataMax(), 23.0);
  std::vector<double> source(24, 2.0);
  source[23] = 1e300;
  source[7] = -4;
  array->SetData(source.data());
  EXPECT_EQ(array->GetVolumeData()[22], 2.0);
  EXPECT_EQ(array->GetDataMin(), -4.0);
  EXPECT_EQ(array->GetDataMax(), 2.0);
  array->Fill(6);
  EXPECT_EQ(array->GetVolumeData()[23], 6.0);
  EXPECT_EQ(array->GetData()[5], 6.0);
  array->AddOffset(1.5);
  EXPECT_EQ(array->GetVolumeData()[20], 7.5);
  EXPECT_EQ(array->GetData()[1], 7.5);
  EXPECT_EQ(array->GetDataMax(), 7.5);
  array->Clear();
  EXPECT_EQ(array->GetVolumeData()[17], 0.0);
}

TEST_F(Array3DFixture, CellLookupsAndTrilinearInterpolation)
{
  double value = 0;
  EXPECT_TRUE(array->GetCellValue(2, 1, 3, value));
  EXPECT_EQ(value, 23.0);
  EXPECT_FALSE(array->GetCellValue(3, 0, 0, value));
  EXPECT_EQ(value, 1e300);
  EXPECT_TRUE(array->GetVolumeValueAt(0.5, 0.2, 0.6, value)); // cell (1, 0, 2)
  EXPECT_EQ(value, 13.0);
  double u, v, w;
  array->GetCellCentre(1, 1, 9, u, v, w); // k clamped to 3
  EXPECT_DOUBLE_EQ(w, 0.875);
  EXPECT_TRUE(array->InterpolateAt(u, v, w, value));
  EXPECT_EQ(value, 22.0);
  // Values are linear in the index here: the blend is exact between centres.
  EXPECT_TRUE(array->InterpolateAt(0.4, 0.5, 0.5, value));
  EXPECT_NEAR(value, (0.4 * 3 - 0.5) + 3 * (0.5 * 2 - 0.5) + 6 * (0.5 * 4 - 0.5), 1e-12);
  int i, j, k;
  EXPECT_FALSE(array->GetCellIndex(0.5, 0.5, 1.5, i, j, k, false));
  EXPECT_FALSE(array->GetCellIndex(0.5, 0.5, 1.5, i, j, k, true));
  EXPECT_EQ(k, 3);
}

TEST_F(Array3DFixture, ResizeResamplesOrStartsFromZeros)
{
  array->Fill(4.5);
  array->Resize(3, 2, 4); // the same sizes: nothing changes
  EXPECT_EQ(array->GetVolumeData()[0], 4.5);
  array->Resize(5, 4, 2);
  EXPECT_EQ(array->GetCellCount(), 40);
  EXPECT_EQ(array->GetLevel(), 0);
  for (int c = 0; c < 40; ++c)
    EXPECT_EQ(array->GetVolumeData()[c], 4.5);
  TGArray3D empty(&gis);
  EXPECT_EQ(empty.GetVolumeData(), nullptr);
  EXPECT_EQ(empty.GetTypeCode(), 403);
  empty.Resize(2, 2, 2);
  for (int c = 0; c < 8; ++c)
    EXPECT_EQ(empty.GetVolumeData()[c], 0.0);
}

TEST_F(Array3DFixture, ProjectImageKeepsVolumeLevelAndFillMode)
{
  array->SetLevel(3);
  array->SetLevelFillMode(3);
  array->SetName("Поле");
  const std::vector<uint8_t> image = [&] {
    TMemoryStream stream;
    gis.SaveObjects(stream);
    return stream.Bytes();
  }();
  TBitGIS other;
  TMemoryStream in(image);
  other.LoadObjects(in);
  auto* loaded = dynamic_cast<TGArray3D*>(other.GetObjectOfType(0, 403));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetNX(), 3);
  EXPECT_EQ(loaded->GetNY(), 2);
  EXPECT_EQ(loaded->GetNZ(), 4);
  EXPECT_EQ(loaded->GetLevel(), 3);
  EXPECT_EQ(loaded->GetLevelFillMode(), 3);
  EXPECT_EQ(loaded->GetName(), "Поле, 3");
  for (int c = 0; c < 24; ++c)
    EXPECT_EQ(loaded->GetVolumeData()[c], c);
  EXPECT_EQ(loaded->GetData()[0], 18.0);
}

// Reloading result data takes the grid and the values of the image, and keeps
// the array's own level and fill mode.
TEST_F(Array3DFixture, GeometryFromAnImageReplacesGridAndVolume)
{
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    array->Save(tags);
    tags.Commit();
  }
  TGArray3D other(&gis, 2, 2, 2, Code);
  other.SetLevel(1);
  other.SetLevelFillMode(1);
  TMemoryStream in(stream.Bytes());
  TTagStream tags(&in, TagStreamRead);
  other.LoadGeometry(tags);
  EXPECT_EQ(other.GetNX(), 3);
  EXPECT_EQ(other.GetNZ(), 4);
  EXPECT_EQ(other.GetLevel(), 1);
  EXPECT_EQ(other.GetLevelFillMode(), 1);
  EXPECT_EQ(other.GetVolumeData()[23], 23.0);
  EXPECT_EQ(other.GetData()[0], 6.0);
}

// A damaged image whose level count is the most negative integer loads as an
// empty array at level 0, without overflowing while the level is bounded.
TEST_F(Array3DFixture, DamagedLevelCountLoadsAnEmptyArray)
{
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    tags.SetGroup(TagGroup::Array3D);
    tags.WriteInt(INT32_MIN);
    tags.WriteInt(5);
    tags.WriteInt(0);
    tags.Commit();
  }
  TGArray3D other(&gis, 2, 2, 2, Code);
  TMemoryStream in(stream.Bytes());
  TTagStream tags(&in, TagStreamRead);
  other.Load(tags);
  EXPECT_EQ(other.GetLevel(), 0);
  EXPECT_EQ(other.GetNZ(), 0);
}

TEST_F(Array3DFixture, BuildTakesEachLevelsDepthRangeAndFillsTheRest)
{
  // Values only for the top level's depths (0..10 m).
  for (double u : {0.1, 0.9})
    for (double v : {0.1, 0.9})
      AddReper(gis, u, v, 5.0, 3.0);
  array->BuildParams().fillMethod = FillLaplace;
  TRecordingProgress progress;
  EXPECT_TRUE(array->Build(progress));
  for (int c = 0; c < 24; ++c)
    EXPECT_EQ(array->GetVolumeData()[c], 5.0) << c; // fill mode 2 copies the top level down
  EXPECT_EQ(progress.SubStepCount(), 4);

  SetUp(); // values 0..23 again
  for (double u : {0.1, 0.9})
    for (double v : {0.1, 0.9})
      AddReper(gis, u, v, 5.0, 3.0);
  array->SetLevelFillMode(0);
  EXPECT_TRUE(BuildArray(*array, progress));
  for (int c = 0; c < 6; ++c)
    EXPECT_EQ(array->GetVolumeData()[c], 5.0);
  for (int c = 6; c < 24; ++c)
    EXPECT_EQ(array->GetVolumeData()[c], c);
}

// The depth range of level k runs from the array's own top: an array that
// starts 20 m down takes a reper at 25 m into its first level.
TEST_F(Array3DFixture, DepthRangesStartAtTheArraysTop)
{
  array->SetZ(0.5);
  AddReper(gis, 0.5, 0.5, 8.0, 25.0);
  AddReper(gis, 0.5, 0.5, 9.0, 5.0); // above the array
  array->BuildParams().fillMethod = 99;
  array->SetLevelFillMode(0);
  TRecordingProgress progress;
  EXPECT_TRUE(array->Build(progress));
  EXPECT_EQ(array->GetVolumeData()[4], 8.0); // level 0, cell (1, 1)
  for (int c = 6; c < 24; ++c)
    EXPECT_EQ(array->GetVolumeData()[c], c);
}

TEST_F(Array3DFixture, ValuesAtTheFullDepthBelongToTheLastLevel)
{
  AddReper(gis, 0.5, 0.5, 7.0, 40.0);
  array->BuildParams().fillMethod = 99;
  array->SetLevelFillMode(0);
  TRecordingProgress progress;
  EXPECT_TRUE(array->Build(progress));
  EXPECT_EQ(array->GetVolumeData()[22], 7.0); // level 3, cell (1, 1)
}

// A cancel keeps what was computed: the levels built before it as a whole
// build makes them, the level in hand as far as it got, and the data range
// follows the volume.
TEST_F(Array3DFixture, CancelledBuildKeepsWhatWasComputed)
{
  for (double u : {0.1, 0.9})
    AddReper(gis, u, 0.5, u * 10, 3.0 + u * 30);
  array->BuildParams().fillMethod = FillLaplace;
  array->SetLevelFillMode(0);
  TRecordingProgress whole;
  EXPECT_TRUE(array->Build(whole));
  const std::vector<double> built(array->GetVolumeData(), array->GetVolumeData() + 24);

  for (int c = 0; c < 24; ++c)
    array->GetVolumeData()[c] = c;
  array->UpdateMinMax();
  struct TCancelInLastLevel : TRecordingProgress {
    void ProcessEvents() override
    {
      if (SubStep() == 3)
        CancelClicked();
    }
  } late;
  EXPECT_TRUE(array->Build(late));
  EXPECT_TRUE(late.Cancelled());
  const double* volume = array->GetVolumeData();
  for (int c = 0; c < 6; ++c)
    EXPECT_EQ(volume[c], built[c]) << "level 0, cell " << c;
  for (int c = 6; c < 18; ++c)
    EXPECT_EQ(volume[c], c) << "levels 1 and 2 have no values of their own";
  EXPECT_EQ(volume[18 + 5], 9.0); // the deep reper's cell
  EXPECT_NE(volume[18], 18.0);    // the last level was started
  EXPECT_EQ(array->GetDataMin(), *std::min_element(volume, volume + 24));
  EXPECT_EQ(array->GetDataMax(), *std::max_element(volume, volume + 24));
}

TEST_F(Array3DFixture, ProfilesAlongDepth)
{
  std::vector<double> values, positions;
  int n = 5;
  double X1 = 15, Y1 = 15, Z1 = 10, X2 = 15, Y2 = 15, Z2 = 10;
  EXPECT_FALSE(array->GetProfile(X1, Y1, Z1, X2, Y2, Z2, n, values, positions, 0));
  EXPECT_EQ(n, 5);
  EXPECT_TRUE(values.empty());

  // Straight down through the centre column (cell (1, 1)) in 8 steps of 5 m.
  X1 = 15, Y1 = 20, Z1 = 0, X2 = 15, Y2 = 20, Z2 = 39.9;
  n = 8;
  ASSERT_TRUE(array->GetProfile(X1, Y1, Z1, X2, Y2, Z2, n, values, positions, 0));
  EXPECT_DOUBLE_EQ(Z2, 39.9 / 40);
  ASSERT_EQ(n, 9);
  EXPECT_EQ(values[0], 4.0);
  EXPECT_EQ(values[2], 4.0); // 9.975 m: still the first level
  EXPECT_EQ(values[3], 10.0);
  EXPECT_EQ(values[8], 22.0);
  EXPECT_NEAR(positions[8], 39.9, 1e-9);

  // Mode 1: one sample per crossed cell, at its centre's projection.
  X1 = 15, Y1 = 20, Z1 = 0, X2 = 15, Y2 = 20, Z2 = 39.9;
  n = 8;
  ASSERT_TRUE(array->GetProfile(X1, Y1, Z1, X2, Y2, Z2, n, values, positions, 1));
  ASSERT_EQ(n, 4);
  EXPECT_EQ(values, (std::vector<double>{4, 10, 16, 22}));
  EXPECT_NEAR(positions[1], 15.0, 1e-9);

  // Mode 2: the trilinear blend.
  X1 = 15, Y1 = 22.5, Z1 = 5, X2 = 15, Y2 = 22.5, Z2 = 35; // along the centres of column (1, 1)
  n = 2;
  ASSERT_TRUE(array->GetProfile(X1, Y1, Z1, X2, Y2, Z2, n, values, positions, 2));
  EXPECT_EQ(values, (std::vector<double>{4, 13, 22}));
}

TEST_F(Array3DFixture, TextExportAndImportThroughTheArray)
{
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kestovar_array3d_" + std::to_string(::getpid()) + ".txt"))
                               .string();
  ASSERT_TRUE(array->ExportText(0, 0, 0, 2, 1, 0, 0, path));
  {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    EXPECT_EQ(s.str(), "0.000000e+00\t1.000000e+00\t2.000000e+00\t\n3.000000e+00\t4.000000e+00\t5.000000e+00\t\n");
  }
  ASSERT_TRUE(array->ExportText(0, 0, 0, 2, 1, 3, 2, path));
  array->Clear();
  std::string why;
  ASSERT_TRUE(array->ImportText(0, 0, 0, 2, 1, 3, 2, path, why)) << why;
  for (int c = 0; c < 24; ++c)
    EXPECT_EQ(array->GetVolumeData()[c], c);
  double value = 0;
  EXPECT_TRUE(array->GetValueAt(0.9, 0.9, value)); // the plane view sees the import
  EXPECT_EQ(value, 5.0);
  std::ofstream(path) << "0\t0\t0\t1\nbroken\n";
  EXPECT_FALSE(array->ImportText(0, 0, 0, 2, 1, 3, 1, path, why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(array->GetVolumeData()[0], 0.0);
  std::remove(path.c_str());
}

} // namespace

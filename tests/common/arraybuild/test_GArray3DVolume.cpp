// The GIS-free parts of the three-dimensional array: trilinear interpolation,
// filling failed levels, and the text transfer of a box of cells.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "arraybuild/Volume.h"
#include "data/NoValue.h"

namespace {

struct TTestVolume {
  std::vector<double> values;
  TVolume volume;

  // The box x 0..nx, y 0..ny, z 0..nz: cells of unit size.
  TTestVolume(int nx, int ny, int nz, double fill = 0)
  {
    values.assign(static_cast<size_t>(nx) * ny * nz, fill);
    volume.values = values.data();
    volume.ax = {0, static_cast<double>(nx), nx};
    volume.ay = {0, static_cast<double>(ny), ny};
    volume.az = {0, static_cast<double>(nz), nz};
  }
  double& At(int i, int j, int k) { return values[static_cast<size_t>(volume.Index(i, j, k))]; }
  template <class F> void Set(F f)
  {
    for (int k = 0; k < volume.az.count; ++k)
      for (int j = 0; j < volume.ay.count; ++j)
        for (int i = 0; i < volume.ax.count; ++i)
          At(i, j, k) = f(i, j, k);
  }
};

class TempFile {
public:
  TempFile()
  {
    static int counter = 0;
    path = (std::filesystem::temp_directory_path() /
            ("kestovar_volume_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".txt"))
               .string();
  }
  ~TempFile() { std::remove(path.c_str()); }
  std::string Text() const
  {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  void Write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
  std::string path;
};

TEST(VolumeInterpolation, CellCentresGiveTheirValuesAndLinearFieldsAreExact)
{
  TTestVolume t(4, 3, 5);
  t.Set([](int i, int j, int k) { return 1.0 + 2.0 * i - 3.0 * j + 0.5 * k; });
  double value = 0;
  EXPECT_TRUE(InterpolateVolume(t.volume, 2.5, 1.5, 3.5, value));
  EXPECT_EQ(value, t.At(2, 1, 3));
  // Between centres: the linear field itself, in centre coordinates.
  EXPECT_TRUE(InterpolateVolume(t.volume, 1.75, 0.9, 2.2, value));
  EXPECT_NEAR(value, 1.0 + 2.0 * 1.25 - 3.0 * 0.4 + 0.5 * 1.7, 1e-12);
  // Beyond the last centre the value stays at the border cell's.
  EXPECT_TRUE(InterpolateVolume(t.volume, 3.9, 1.5, 3.5, value));
  EXPECT_EQ(value, t.At(3, 1, 3));
  // Outside the grid the blend is still made, and the answer says outside.
  EXPECT_FALSE(InterpolateVolume(t.volume, 5.0, 1.5, 3.5, value));
  EXPECT_EQ(value, t.At(3, 1, 3));
}

TEST(VolumeInterpolation, NoValueNearbyGivesNoValue)
{
  TTestVolume t(3, 3, 3, 2.0);
  t.At(1, 1, 1) = NoValue;
  double value = 0;
  EXPECT_TRUE(InterpolateVolume(t.volume, 1.2, 1.3, 1.9, value));
  EXPECT_EQ(value, NoValue);
  EXPECT_TRUE(InterpolateVolume(t.volume, 0.5, 0.5, 0.5, value)); // centre (0,0,0): blends with (1,1,1)
  EXPECT_EQ(value, NoValue);
  EXPECT_TRUE(InterpolateVolume(t.volume, 2.5, 2.5, 2.6, value)); // the far corner cell and its lower neighbours
  EXPECT_EQ(value, NoValue);
}

// Axes of a single cell: the field is constant along them, bilinear in the rest.
TEST(VolumeInterpolation, SingleCellAxesAreConstantAlongThem)
{
  TTestVolume plane(3, 2, 1);
  plane.Set([](int i, int j, int) { return 10.0 * i + j; });
  double value = 0;
  for (double w : {0.0, 0.3, 0.99}) {
    EXPECT_TRUE(InterpolateVolume(plane.volume, 1.0, 1.0, w, value));
    EXPECT_NEAR(value, 10.0 * 0.5 + 0.5, 1e-12);
  }
  TTestVolume single(1, 1, 1, 4.5);
  EXPECT_TRUE(InterpolateVolume(single.volume, 0.2, 0.7, 0.4, value));
  EXPECT_EQ(value, 4.5);
}

struct TLevelFillCase {
  int mode;
  std::vector<bool> built;
  std::vector<double> expected; // one value per level (levels are constant)
};

void PrintTo(const TLevelFillCase& c, std::ostream* os)
{
  *os << "mode " << c.mode << " built ";
  for (bool b : c.built)
    *os << (b ? '1' : '0');
}

class LevelFillTest : public ::testing::TestWithParam<TLevelFillCase> {};

TEST_P(LevelFillTest, FailedLevelsComeFromTheirBuiltNeighbours)
{
  const TLevelFillCase& c = GetParam();
  TTestVolume t(2, 2, 5);
  t.Set([&](int, int, int k) { return c.built[static_cast<size_t>(k)] ? 10.0 * k : -1.0; });
  FillFailedLevels(t.volume, c.built, c.mode);
  for (int k = 0; k < 5; ++k)
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i)
        EXPECT_DOUBLE_EQ(t.At(i, j, k), c.expected[static_cast<size_t>(k)]) << "level " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LevelFillTest,
    ::testing::Values(
        TLevelFillCase{0, {true, false, false, true, false}, {0, -1, -1, 30, -1}},
        TLevelFillCase{1, {false, true, false, false, true}, {10, 10, 10, 10, 40}},
        TLevelFillCase{2, {false, true, false, false, true}, {10, 10, 40, 40, 40}},
        TLevelFillCase{3, {false, true, false, false, true}, {10, 10, 20, 30, 40}},
        // Only the top range was built: mode 2 copies it down to every level.
        TLevelFillCase{2, {true, false, false, false, false}, {0, 0, 0, 0, 0}},
        // No level built, or every level: nothing to do.
        TLevelFillCase{3, {false, false, false, false, false}, {-1, -1, -1, -1, -1}}));

TEST(VolumeText, PlaneExportInValuesOnlyIsATabSeparatedGrid)
{
  TTestVolume t(3, 2, 4);
  t.Set([](int i, int j, int k) { return i + 10.0 * j + 100.0 * k; });
  TempFile file;
  ASSERT_TRUE(ExportVolumeText(t.volume, {0, 0, 0, 2, 1, 0}, 0, file.path));
  EXPECT_EQ(file.Text(), "0.000000e+00\t1.000000e+00\t2.000000e+00\t\n"
                         "1.000000e+01\t1.100000e+01\t1.200000e+01\t\n");
}

TEST(VolumeText, ColumnExportRunsAlongJAndIndicesAreClamped)
{
  TTestVolume t(3, 2, 2);
  t.Set([](int i, int j, int k) { return i + 10.0 * j + 100.0 * k; });
  TempFile file;
  ASSERT_TRUE(ExportVolumeText(t.volume, {2, -5, 0, 2, 9, 1}, 0, file.path));
  EXPECT_EQ(file.Text(), "2.000000e+00\t1.200000e+01\t\n1.020000e+02\t1.120000e+02\t\n");
  ASSERT_TRUE(ExportVolumeText(t.volume, {0, 1, 1, 0, 1, 1}, 1, file.path));
  EXPECT_EQ(file.Text(), "0\t1\t1\t1.100000e+02\n");
}

class VolumeRoundTrip : public ::testing::TestWithParam<int> {};

// Export of a box, then import into a zeroed array of the same size, in each
// of the three kinds, gives back the exported values (and only those).
TEST_P(VolumeRoundTrip, ImportRestoresWhatWasExported)
{
  const int mode = GetParam();
  TTestVolume source(4, 3, 3);
  source.volume.ax = {-1.0, 2.0, 4}; // cells that are not unit sized
  source.volume.az = {0.5, 0.75, 3};
  source.Set([](int i, int j, int k) { return 0.25 * i - 1.5 * j + 8.0 * k - 3; });
  const TCellBox box{3, 0, 2, 1, 2, 0}; // backwards along i and k
  TempFile file;
  ASSERT_TRUE(ExportVolumeText(source.volume, box, mode, file.path));
  TTestVolume target(4, 3, 3);
  target.volume.ax = source.volume.ax;
  target.volume.az = source.volume.az;
  std::string why;
  ASSERT_TRUE(ImportVolumeText(target.volume, box, mode, file.path, why)) << why;
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 4; ++i) {
        const bool inBox = i >= 1 && i <= 3 && j >= 0 && j <= 2 && k >= 0 && k <= 2;
        EXPECT_EQ(target.At(i, j, k), inBox ? source.At(i, j, k) : 0.0) << i << "," << j << "," << k;
      }
}

INSTANTIATE_TEST_SUITE_P(Kinds, VolumeRoundTrip, ::testing::Values(0, 1, 2));

struct TBadFileCase {
  int mode;
  const char* text;
  int line; // where the fault is
};

void PrintTo(const TBadFileCase& c, std::ostream* os)
{
  *os << "kind " << c.mode << " fault in line " << c.line;
}

class VolumeBadImport : public ::testing::TestWithParam<TBadFileCase> {};

TEST_P(VolumeBadImport, ChangesNothingAndSaysWhy)
{
  const TBadFileCase& c = GetParam();
  TTestVolume t(2, 2, 2, 7.0);
  TempFile file;
  file.Write(c.text);
  std::string why;
  EXPECT_FALSE(ImportVolumeText(t.volume, {0, 0, 0, 1, 1, 1}, c.mode, file.path, why));
  EXPECT_NE(why.find("строке " + std::to_string(c.line)), std::string::npos) << why;
  for (double v : t.values)
    EXPECT_EQ(v, 7.0);
}

INSTANTIATE_TEST_SUITE_P(Files, VolumeBadImport,
                         ::testing::Values(TBadFileCase{0, "1\t2\t3\n4\tfive\t6\n", 2},
                                           TBadFileCase{1, "0\t0\t0\t1.5\n1\t1\t1\n", 3},
                                           TBadFileCase{1, "0\t0\t0\t1.5\n1\tx\t1\t2\n", 2},
                                           TBadFileCase{2, "0.5\t0.5\t0.5\t1\n0.5\t0.5\n", 3}));

TEST(VolumeText, MissingFileChangesNothingAndSaysWhy)
{
  TTestVolume t(2, 2, 2, 7.0);
  std::string why;
  EXPECT_FALSE(ImportVolumeText(t.volume, {0, 0, 0, 1, 1, 1}, 1, "/nonexistent/folder/values.txt", why));
  EXPECT_FALSE(why.empty());
  for (double v : t.values)
    EXPECT_EQ(v, 7.0);
}

// Lines that name cells outside the grid are skipped; the others are taken.
TEST(VolumeText, IndexedLinesOutsideTheGridAreSkipped)
{
  TTestVolume t(2, 2, 2);
  TempFile file;
  file.Write("1\t1\t1\t5\n2\t0\t0\t6\n-1\t0\t0\t7\n0\t0\t9\t8\n0\t1\t0\t9,5\n");
  std::string why;
  EXPECT_TRUE(ImportVolumeText(t.volume, {0, 0, 0, 1, 1, 1}, 1, file.path, why)) << why;
  EXPECT_EQ(t.At(1, 1, 1), 5.0);
  EXPECT_EQ(t.At(0, 1, 0), 9.5);
  double sum = 0;
  for (double v : t.values)
    sum += v;
  EXPECT_EQ(sum, 14.5);
}

// Values of the first kind fill the box as far as the file goes.
TEST(VolumeText, ShortValueFileFillsTheFirstCells)
{
  TTestVolume t(3, 1, 1, -1.0);
  TempFile file;
  file.Write("4 5");
  std::string why;
  EXPECT_TRUE(ImportVolumeText(t.volume, {0, 0, 0, 2, 0, 0}, 0, file.path, why));
  EXPECT_EQ(t.values, (std::vector<double>{4, 5, -1}));
}

} // namespace

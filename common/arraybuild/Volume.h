#pragma once
// A regular three-dimensional grid of values, level after level, each level
// row after row: cell (i, j, k) at (k * ny + j) * nx + i. These are the parts of
// the three-dimensional array that need nothing of the GIS: trilinear
// interpolation, filling the levels whose building failed, and the text
// transfer of a box of cells.
#include <string>
#include <vector>

// One axis of the grid in relative coordinates.
struct TVolumeAxis {
  double origin = 0;
  double extent = 0; // dx, dy or dz of the object
  int count = 0;     // nx, ny or nz

  double Cell() const { return count != 0 ? extent / count : 0; }
  double Inverse() const { return extent != 0 ? count / extent : 0; }
  double Centre(int index) const { return origin + (index + 0.5) * Cell(); }
};

struct TVolume {
  double* values = nullptr;
  TVolumeAxis ax;
  TVolumeAxis ay;
  TVolumeAxis az;

  long CellsPerLevel() const { return static_cast<long>(ax.count) * ay.count; }
  long CellCount() const { return CellsPerLevel() * az.count; }
  long Index(int i, int j, int k) const { return (static_cast<long>(k) * ay.count + j) * ax.count + i; }
  bool Contains(int i, int j, int k) const
  {
    return i >= 0 && i < ax.count && j >= 0 && j < ay.count && k >= 0 && k < az.count;
  }
  // Fractional cell position of a relative point; false outside the grid.
  bool CellPosition(double u, double v, double w, double& fi, double& fj, double& fk) const;
  bool CellIndex(double u, double v, double w, int& i, int& j, int& k) const;
};

// Trilinear blend between the eight cell centres around the point; 1e300 when
// any of them holds 1e300. An axis of a single cell is constant along it.
// True when the point itself lies in the grid.
bool InterpolateVolume(const TVolume& volume, double u, double v, double w, double& value);

// How the levels whose building failed are filled from the built ones.
enum TLevelFillMode {
  LevelFillNone = 0,
  LevelFillFromBelowIndex = 1, // copy of the nearest built level of lower index
  LevelFillFromAboveIndex = 2, // copy of the nearest built level of higher index
  LevelFillLinear = 3,
};

// Nothing happens when no level or every level was built.
void FillFailedLevels(TVolume& volume, const std::vector<bool>& built, int mode);

// The box of cells to transfer; each index is clamped into the grid.
struct TCellBox {
  int i1 = 0, j1 = 0, k1 = 0;
  int i2 = 0, j2 = 0, k2 = 0;
};

// Text kinds: 0 the values alone (a plane comes out as a tab-separated grid),
// 1 "i j k value" lines, 2 "x y z value" lines with the relative cell centre.
bool ExportVolumeText(const TVolume& volume, TCellBox box, int mode, const std::string& fileName);

// Reads a file of the same kinds into the box. A file that cannot be read or
// holds something that is not a number where one is due changes nothing, and
// `why` says what was wrong. Lines of kinds 1 and 2 that name a cell outside
// the grid are skipped. The values of kind 0 fill the box in the export's order
// as far as the file goes.
bool ImportVolumeText(TVolume& volume, TCellBox box, int mode, const std::string& fileName, std::string& why);

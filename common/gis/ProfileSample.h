#pragma once
// The samples of a profile along a line with their distances from its start.
// Sampled at cell centres, several points of the line fall into one cell: the
// cell then gives one sample, the one its last point found.
#include <cmath>
#include <vector>

inline void AddProfileSample(std::vector<double>& samples, std::vector<double>& distances, double value,
                             double distance, bool replaceLast)
{
  if (replaceLast) {
    samples.back() = value;
    distances.back() = distance;
  } else {
    samples.push_back(value);
    distances.push_back(distance);
  }
}

// A straight profile line in relative coordinates, cut into n equal steps.
// Distances along it are measured in world units through the axes' scales.
struct TProfileLine {
  TProfileLine(double X1, double Y1, double Z1, double X2, double Y2, double Z2, int n, double scaleX,
               double scaleY, double scaleZ)
      : x1(X1), y1(Y1), z1(Z1), lx(X2 - X1), ly(Y2 - Y1), lz(Z2 - Z1), stepX(lx / n), stepY(ly / n),
        stepZ(lz / n), length2(lx * lx + ly * ly + lz * lz), sx2(scaleX * scaleX), sy2(scaleY * scaleY),
        sz2(scaleZ * scaleZ)
  {
  }

  bool Degenerate() const { return stepX == 0 && stepY == 0 && stepZ == 0; }

  void PointAt(int s, double& px, double& py, double& pz) const
  {
    px = x1 + s * stepX;
    py = y1 + s * stepY;
    pz = z1 + s * stepZ;
  }

  // The foot of the perpendicular from a point (a cell centre) onto the line.
  void Project(double cx, double cy, double cz, double& qx, double& qy, double& qz) const
  {
    const double t = ((cx - x1) * lx + (cy - y1) * ly + (cz - z1) * lz) / length2;
    qx = x1 + t * lx;
    qy = y1 + t * ly;
    qz = z1 + t * lz;
  }

  double DistanceTo(double qx, double qy, double qz) const
  {
    return std::sqrt((x1 - qx) * (x1 - qx) * sx2 + (y1 - qy) * (y1 - qy) * sy2 + (z1 - qz) * (z1 - qz) * sz2);
  }

  double x1, y1, z1, lx, ly, lz, stepX, stepY, stepZ, length2, sx2, sy2, sz2;
};

#include "views3d/DischargeTreeDisplay.h"

#include "model/breakdown/EngineStatistics.h"

#include <melisco.h>

#include <algorithm>
#include <cmath>

namespace {

double RawValue(const TNode& node, int32_t kind)
{
  switch (kind) {
  case TreeValueCurrent: return node.current;
  case TreeValueConductance: return node.g;
  case TreeValueField: return node.field;
  case TreeValueChargeDensity: return node.charge;
  case TreeValuePotential: return node.potential;
  case TreeValueEnergy: return node.heatDensity;
  case TreeValuePower: return node.powerDensity;
  case TreeValueLinearEnergy: return node.linearHeat;
  case TreeValueLinearPower: return node.linearPower;
  case TreeValueLinearCharge: return node.linearCharge;
  default: return 1;
  }
}

bool IsMeasuredKind(int32_t kind) { return kind >= TreeValueCurrent && kind <= TreeValueLinearCharge; }

void CellCentre(const TNode& node, double sx, double sy, double sz, double& x, double& y, double& z)
{
  x = (node.x + 0.5) * sx - 1;
  y = 1 - (node.z + 0.5) * sy;
  z = 1 - (node.y + 0.5) * sz;
}

bool TouchesElectrode(const TNode& node, const TCellCodeLookup& codes)
{
  double code = 0;
  return codes && codes(node.x, node.z, node.y, code) && code < -1;
}

} // namespace

double TreeElementValue(const TNode& node, int32_t kind, bool logarithmic)
{
  const double v = RawValue(node, kind);
  if (!logarithmic || !IsMeasuredKind(kind))
    return v;
  return v > 0 ? std::log10(v) : -300;
}

void UpdateTreeRange(TTreeDisplaySettings& s, const TTree& tree)
{
  if (s.valueKind == TreeValueChannels) {
    s.valueMax = 1;
    s.valueMin = 0;
    return;
  }
  double largest = -1e300, smallest = 1e300;
  for (int i = 0; i < tree.count; ++i) {
    if (tree.nodes[i].parent < 0)
      continue;
    const double v = TreeElementValue(tree.nodes[i], s.valueKind, s.logarithmic);
    largest = std::max(largest, v);
    smallest = std::min(smallest, v);
  }
  if (s.autoMax)
    s.valueMax = largest;
  if (s.autoMin)
    s.valueMin = smallest;
}

std::vector<CubeViewSegment> BuildTreeSegments(TTreeDisplaySettings& s, const TTree& tree, int n1, int n2, int n3,
                                               const TCellCodeLookup& electrodeCodes)
{
  std::vector<CubeViewSegment> segments;
  if (!s.showTree || tree.count <= 0 || !tree.nodes || n1 <= 0 || n2 <= 0 || n3 <= 0)
    return segments;
  const double sx = 2.0 / n1, sy = 2.0 / n3, sz = 2.0 / n2;
  UpdateTreeRange(s, tree);
  const double scale = s.valueMax != s.valueMin ? 65535 / (s.valueMax - s.valueMin) : 0;
  std::vector<int32_t> segmentOf(static_cast<size_t>(tree.count), -1);
  segments.reserve(static_cast<size_t>(tree.count));
  for (int i = 0; i < tree.count; ++i) {
    const TNode& node = tree.nodes[i];
    const int p = node.parent;
    if (p < 0 || p >= tree.count)
      continue;
    const double v = TreeElementValue(node, s.valueKind, s.logarithmic);
    const double scaled = std::round((v - s.valueMin) * scale);
    const int t = scaled > 0x10000 ? 0x10000 : (scaled > 0 ? static_cast<int>(scaled) : 0);
    CubeViewSegment seg;
    CellCentre(tree.nodes[p], sx, sy, sz, seg.x1, seg.y1, seg.z1);
    CellCentre(node, sx, sy, sz, seg.x2, seg.y2, seg.z2);
    seg.colour = MixColor(s.colourMin, s.colourMax, t, s.mixMode);
    seg.opacity = static_cast<int32_t>(
        std::lround(s.opacityMin + static_cast<double>(s.opacityMax - s.opacityMin) * t / 65536.0));
    seg.width = s.width;
    if (TouchesElectrode(node, electrodeCodes))
      seg.width = s.widthBreakdown;
    const int32_t index = static_cast<int32_t>(segments.size());
    if (index == s.pickedSegment) {
      s.pickedNode = i;
      seg.width = s.widthPicked;
    }
    segments.push_back(seg);
    segmentOf[static_cast<size_t>(i)] = index;
    if (seg.width == s.width)
      continue;
    // The whole channel from the root takes the width. The walk is bounded by
    // the node count, so a broken parent chain cannot keep it going.
    int ancestor = p;
    for (int steps = 0; ancestor >= 0 && ancestor < tree.count && steps < tree.count; ++steps) {
      const int32_t own = segmentOf[static_cast<size_t>(ancestor)];
      if (own >= 0)
        segments[static_cast<size_t>(own)].width = seg.width;
      ancestor = tree.nodes[ancestor].parent;
    }
  }
  return segments;
}

std::vector<CubeViewBody> BuildModelBodies(const TTreeDisplaySettings& s,
                                           const std::vector<TElectrodeRecord>& electrodes,
                                           const std::vector<TInhomogeneityRecord>& inhomogeneities,
                                           const TEngineStatistics& lattice)
{
  std::vector<CubeViewBody> bodies;
  const double w1 = lattice.n1 * lattice.cellSize1, w2 = lattice.n2 * lattice.cellSize2,
               w3 = lattice.n3 * lattice.cellSize3;
  if (w1 <= 0 || w2 <= 0 || w3 <= 0)
    return bodies;
  const double ex = 2 / w1, ey = 2 / w3, ez = 2 / w2;
  const double half2 = lattice.cellSize2 / 2;
  auto place = [&](CubeViewBody& b, const double a[3], const double c[3]) {
    b.x1 = a[0] * ex - 1;
    b.y1 = 1 - a[2] * ey;
    b.z1 = 1 - (a[1] + half2) * ez;
    b.x2 = c[0] * ex - 1;
    b.y2 = 1 - c[2] * ey;
    b.z2 = 1 - (c[1] + half2) * ez;
  };
  if (s.showElectrodes) {
    CubeViewBody top;
    top.colour = 0x0000FF;
    top.x1 = -1, top.y1 = -1, top.z1 = 0.99, top.x2 = 1, top.y2 = 1, top.z2 = 1;
    CubeViewBody bottom;
    bottom.colour = 0xFF0000;
    bottom.x1 = -1, bottom.y1 = -1, bottom.z1 = -1, bottom.x2 = 1, bottom.y2 = 1, bottom.z2 = -0.99;
    bodies.push_back(top);
    bodies.push_back(bottom);
    for (const TElectrodeRecord& e : electrodes) {
      CubeViewBody b;
      place(b, e.start, e.end);
      b.radius1 = e.startDiameter / 2;
      b.radius2 = e.endDiameter / 2;
      b.colour = static_cast<COLORREF>(e.colour);
      b.opacity = e.transparency;
      b.kind = e.shape == TElectrodeRecord::ShapeCone ? CubeBodyCone : CubeBodyBox;
      bodies.push_back(b);
    }
  }
  if (s.showInhomogeneities)
    for (const TInhomogeneityRecord& r : inhomogeneities) {
      CubeViewBody b;
      place(b, r.lower, r.upper);
      b.colour = static_cast<COLORREF>(r.colour);
      b.opacity = r.transparency;
      b.kind = r.shape == TInhomogeneityRecord::ShapeEllipsoid ? CubeBodyEllipsoid : CubeBodyBox;
      bodies.push_back(b);
    }
  return bodies;
}

int32_t OpacityFromTransparency(double percent)
{
  // Text that is no number may give any value: the opacity stays within 0..opaque.
  const double clamped = std::isnan(percent) ? 0 : std::clamp(percent, 0.0, 100.0);
  return static_cast<int32_t>(std::trunc((1 - clamped * 0.01) * 65536));
}

double TransparencyFromOpacity(int32_t opacity) { return (1 - opacity / 65536.0) * 100; }

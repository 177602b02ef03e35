// Measures of a discharge structure and the management of TTree node arrays.
// Every measure runs after each time step on the live structure, so none of
// them may be worse than O(n log n) in the node count.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Engine.h"
#include "korvane.h"

namespace korvane {
namespace {

constexpr double kNoLog = 1e300;

inline bool HasParent(const TNode& n) { return n.parent != -1; }

// Nodes that can be read: an array that is missing counts as empty.
inline int UsableCount(const TTree* t) {
  if (!t || !t->nodes || t->count < 0) return 0;
  return t->count;
}

// Reallocates a node array to n records; n = 0 gives the array back. On a
// failed allocation the structure keeps its old array.
bool ResizeNodeArray(TTree& t, int n) {
  if (n <= 0) {
    EngineFree(t.nodes);
    t.nodes = nullptr;
    return true;
  }
  void* block = EngineRealloc(t.nodes, static_cast<std::size_t>(n) * sizeof(TNode));
  if (!block) return false;
  t.nodes = static_cast<TNode*>(block);
  return true;
}

inline double HeightOf(const TNode& n, double d2, double z0) { return (n.y + 0.5) * d2 - z0; }

// Squared size of the distance between two nodes, in the axis order of the
// size measure. Comparing squares picks the same pair as comparing distances.
inline double SquaredDistance(int dx, int dy, int dz, double d1, double d2, double d3) {
  double a = dz * d3, b = dy * d2, c = dx * d1;
  return a * a + b * b + c * c;
}

// Farthest-pair search between the roots and the grown nodes: a k-d tree of the
// roots with bounding boxes. The distance to a box's farthest corner bounds the
// distance to every root inside it (each term grows with the coordinate
// difference), so a subtree is skipped only when it cannot beat the best pair.
class RootTree {
 public:
  RootTree(std::vector<int> coords, double d1, double d2, double d3)
      : coords_(std::move(coords)), d_{d1, d2, d3} {
    order_.resize(coords_.size() / 3);
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<int>(i);
    if (!order_.empty()) Build(0, static_cast<int>(order_.size()));
  }

  // Raises best to the largest squared distance from (x, y, z) to any root.
  void Farthest(int x, int y, int z, double& best) const {
    if (boxes_.empty()) return;
    int stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
      const Box& b = boxes_[stack[--top]];
      if (BoundSq(b, x, y, z) <= best) continue;
      if (b.left < 0) {
        for (int i = b.begin; i < b.end; ++i) {
          const int* r = &coords_[3 * order_[i]];
          double s = SquaredDistance(r[0] - x, r[1] - y, r[2] - z, d_[0], d_[1], d_[2]);
          if (s > best) best = s;
        }
        continue;
      }
      double bl = BoundSq(boxes_[b.left], x, y, z), br = BoundSq(boxes_[b.right], x, y, z);
      // The more promising child goes on top, so it raises best first.
      if (bl > br) {
        stack[top++] = b.right;
        stack[top++] = b.left;
      } else {
        stack[top++] = b.left;
        stack[top++] = b.right;
      }
    }
  }

 private:
  struct Box {
    int lo[3], hi[3];
    int begin, end;
    int left = -1, right = -1;
  };
  static constexpr int kLeafSize = 8;

  int Build(int begin, int end) {
    Box b;
    b.begin = begin;
    b.end = end;
    for (int a = 0; a < 3; ++a) {
      b.lo[a] = coords_[3 * order_[begin] + a];
      b.hi[a] = b.lo[a];
    }
    for (int i = begin + 1; i < end; ++i)
      for (int a = 0; a < 3; ++a) {
        int v = coords_[3 * order_[i] + a];
        b.lo[a] = std::min(b.lo[a], v);
        b.hi[a] = std::max(b.hi[a], v);
      }
    int index = static_cast<int>(boxes_.size());
    boxes_.push_back(b);
    if (end - begin <= kLeafSize) return index;
    int axis = 0;
    for (int a = 1; a < 3; ++a)
      if (static_cast<long long>(b.hi[a]) - b.lo[a] > static_cast<long long>(b.hi[axis]) - b.lo[axis]) axis = a;
    if (b.hi[axis] == b.lo[axis]) return index;  // all roots at one point
    int mid = begin + (end - begin) / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + mid, order_.begin() + end,
                     [&](int p, int q) { return coords_[3 * p + axis] < coords_[3 * q + axis]; });
    int left = Build(begin, mid);
    int right = Build(mid, end);
    boxes_[index].left = left;
    boxes_[index].right = right;
    return index;
  }

  double BoundSq(const Box& b, int x, int y, int z) const {
    int dx = std::max(std::abs(x - b.lo[0]), std::abs(x - b.hi[0]));
    int dy = std::max(std::abs(y - b.lo[1]), std::abs(y - b.hi[1]));
    int dz = std::max(std::abs(z - b.lo[2]), std::abs(z - b.hi[2]));
    return SquaredDistance(dx, dy, dz, d_[0], d_[1], d_[2]);
  }

  std::vector<int> coords_;
  std::vector<int> order_;
  std::vector<Box> boxes_;
  double d_[3];
};

// A path walk that stops at a root, at a parent index outside the structure
// and after count steps, so a damaged snapshot cannot run away.
inline bool ValidParent(const TNode& n, int count) { return n.parent >= 0 && n.parent < count; }

struct LimbMeasures {
  double lengthAbove = 0, horizontal = 0, area = 0, maxHeight = 0, ratio = 0;
};

LimbMeasures MeasureLimb(const TTree& t, int node, double d1, double d2, double d3, double z0) {
  LimbMeasures m;
  const int count = UsableCount(&t);
  if (node < 0 || node > count - 1) node = count - 1;
  if (node < 0) return m;
  double total = 0;
  int p = node;
  for (int steps = 0; ValidParent(t.nodes[p], count) && steps < count; ++steps) {
    const TNode& a = t.nodes[p];
    const TNode& b = t.nodes[a.parent];
    double r = HeightOf(a, d2, z0), v = HeightOf(b, d2, z0);
    double dz = (a.z - b.z) * d3, dx = (a.x - b.x) * d1;
    double run = std::sqrt(dz * dz + dx * dx);
    total += std::sqrt((r - v) * (r - v) + run * run);
    p = a.parent;
    if (r < 0 && v < 0) continue;
    double hp, hq, w;
    if (r >= 0) {
      hp = r;
      w = run;
    } else {
      hp = 0;
      w = run / 2;
    }
    if (v < 0) {
      hq = 0;
      w = w / 2;
    } else {
      hq = v;
    }
    m.maxHeight = std::max(m.maxHeight, hp);
    m.area += w * (hp + hq) / 2;
    m.horizontal += w;
    m.lengthAbove += std::sqrt(w * w + (hq - hp) * (hq - hp));
  }
  m.ratio = total != 0 ? m.lengthAbove / total : 0;
  return m;
}

// Min or max of one node field over the nodes that have a parent; 0 when
// there are none.
struct NodeExtreme {
  double TNode::*field;
  double THeap::*minMember;
  double THeap::*maxMember;
};

constexpr NodeExtreme kNodeExtremes[] = {
    {&TNode::g, &THeap::MinLinearConductance, &THeap::MaxLinearConductance},
    {&TNode::current, &THeap::MinChannelCurrent, &THeap::MaxChannelCurrent},
    {&TNode::field, &THeap::MinChannelField, &THeap::MaxChannelField},
    {&TNode::heatDensity, &THeap::MinHeatDensity, &THeap::MaxHeatDensity},
    {&TNode::powerDensity, &THeap::MinPowerDensity, &THeap::MaxPowerDensity},
    {&TNode::linearHeat, &THeap::MinLinearHeat, &THeap::MaxLinearHeat},
    {&TNode::linearPower, &THeap::MinLinearPower, &THeap::MaxLinearPower},
    {&TNode::linearCharge, &THeap::MinLinearCharge, &THeap::MaxLinearCharge},
};

double SumOverChannels(const TTree* tree, double TNode::*field) {
  const int count = UsableCount(tree);
  double sum = 0;
  for (int i = 0; i < count; ++i)
    if (HasParent(tree->nodes[i])) sum += tree->nodes[i].*field;
  return sum;
}

}  // namespace

void FitLineOrthogonal(const double* x, const double* y, int n, double* slope, double* intercept) {
  *slope = 0;
  *intercept = 0;
  if (n < 2) return;
  double sx = 0, sy = 0;
  for (int i = 0; i < n; ++i) {
    sx += x[i];
    sy += y[i];
  }
  const double mx = sx / n, my = sy / n;
  double sxy = 0, a = 0;
  for (int i = 0; i < n; ++i) {
    double cx = x[i] - mx, cy = y[i] - my;
    sxy += cx * cy;
    a += cy * cy - cx * cx;
  }
  if (sxy == 0) return;
  // Of the two roots of the normal equation the minimiser has the sign of Sxy;
  // the other one is the perpendicular direction.
  double t = a / (2 * sxy);
  double root = std::sqrt(t * t + 1);
  double m = sxy > 0 ? t + root : t - root;
  *slope = m;
  *intercept = my - mx * m;
}

double StructureChargeOf(const THeap& h) {
  const int count = UsableCount(&h.Nodes);
  double sum = 0;
  for (int i = 0; i < count; ++i)
    if (HasParent(h.Nodes.nodes[i])) sum += h.Charge[h.Nodes.nodes[i].cell];
  return sum * h.CellSize1 * h.CellSize2 * h.CellSize3;
}

void RefreshNodeExtremes(THeap& h) {
  const int count = UsableCount(&h.Nodes);
  for (const NodeExtreme& e : kNodeExtremes) {
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < count; ++i) {
      const TNode& n = h.Nodes.nodes[i];
      if (!HasParent(n)) continue;
      double v = n.*e.field;
      if (v < lo) lo = v;
      if (v > hi) hi = v;
    }
    h.*e.minMember = lo == 1e300 ? 0 : lo;
    h.*e.maxMember = hi == -1e300 ? 0 : hi;
  }
}

}  // namespace korvane

using namespace korvane;

extern "C" {

int TTreeNew(TTree* tree) {
  if (!tree) return 0;
  tree->nodes = nullptr;
  tree->count = 0;
  tree->capacity = 0;
  return 0;
}

int TTreeDelete(TTree* tree) {
  if (!tree) return 0;
  EngineFree(tree->nodes);
  return TTreeNew(tree);
}

TNode* TTreeSetSize(TTree* tree, int n) {
  if (!tree) return nullptr;
  if (n < 0) n = 0;
  if (tree->nodes || n != 0) {
    if (!ResizeNodeArray(*tree, n)) return nullptr;
  }
  tree->capacity = n;
  if (tree->count > n) tree->count = n;
  return tree->nodes;
}

int TTreeCopy(TTree* dst, const TTree* src) {
  if (!dst || !src) return 0;
  const int count = std::min(UsableCount(src), std::max(src->capacity, 0));
  if (dst == src) return count;
  const int capacity = src->nodes ? std::max(src->capacity, 0) : 0;
  if (dst->nodes || capacity != 0) {
    if (!ResizeNodeArray(*dst, capacity)) return 0;  // dst keeps its old structure
  }
  dst->capacity = capacity;
  dst->count = count;
  if (count > 0) std::memcpy(dst->nodes, src->nodes, static_cast<std::size_t>(count) * sizeof(TNode));
  return count;
}

void* TTreeGetLimbInfo(TTree* tree, int node, double d1, double d2, double d3, double z0, double* lengthAbove,
                       double* horizontal, double* area, double* maxHeight, double* ratio) {
  LimbMeasures m;
  if (tree) m = MeasureLimb(*tree, node, d1, d2, d3, z0);
  if (lengthAbove) *lengthAbove = m.lengthAbove;
  if (horizontal) *horizontal = m.horizontal;
  if (area) *area = m.area;
  if (maxHeight) *maxHeight = m.maxHeight;
  if (ratio) *ratio = m.ratio;
  return nullptr;
}

void TTreeGetLimbsLength(TTree* tree, double d1, double d2, double d3, double z0, double* out) {
  if (!out) return;
  *out = 0;
  const int count = UsableCount(tree);
  double sum = 0;
  for (int i = count - 1; i >= 1; --i) {
    const TNode& p = tree->nodes[i];
    if (!HasParent(p)) break;
    if (!ValidParent(p, count)) continue;
    const TNode& q = tree->nodes[p.parent];
    double g = HeightOf(p, d2, z0), m = HeightOf(q, d2, z0);
    double h = (p.z - q.z) * d3, l = (p.x - q.x) * d1;
    if (g < 0) {
      if (m < 0) continue;
      g = 0;
      h = h / 2;
      l = l / 2;
    }
    if (m < 0)
      sum += std::sqrt((h / 2) * (h / 2) + (l / 2) * (l / 2) + g * g);
    else
      sum += std::sqrt(h * h + l * l + (g - m) * (g - m));
  }
  *out = sum;
}

double TTreeLength(TTree* tree) {
  const int count = UsableCount(tree);
  double sum = 0;
  for (int i = 0; i < count; ++i)
    if (HasParent(tree->nodes[i])) sum += 1 / tree->nodes[i].invLength;
  return sum;
}

double TTreeRadius(TTree* tree, double d1, double d2, double d3) {
  const int count = UsableCount(tree);
  std::vector<int> roots;
  for (int i = 0; i < count; ++i) {
    const TNode& n = tree->nodes[i];
    if (!HasParent(n)) roots.insert(roots.end(), {n.x, n.y, n.z});
  }
  if (roots.empty()) return 0;
  RootTree search(std::move(roots), d1, d2, d3);
  double best = -1;
  for (int i = 0; i < count; ++i) {
    const TNode& n = tree->nodes[i];
    if (HasParent(n)) search.Farthest(n.x, n.y, n.z, best);
  }
  return best < 0 ? 0 : std::sqrt(best);
}

int TTreeDimension(TTree* tree, int minCount, int minLength, double* D, double* b) {
  const int count = UsableCount(tree);
  std::vector<double> lnR, lnL;
  for (int i = 0; i < count; ++i) {
    const TNode& n = tree->nodes[i];
    if (n.lnR == kNoLog || !(n.generation > minLength)) continue;
    if (!lnR.empty() && lnR.back() == n.lnR && lnL.back() == n.lnL) continue;
    lnR.push_back(n.lnR);
    lnL.push_back(n.lnL);
  }
  double slope = 0, intercept = 0;
  const int points = static_cast<int>(lnR.size());
  if (points >= minCount) FitLineOrthogonal(lnR.data(), lnL.data(), points, &slope, &intercept);
  if (D) *D = slope;
  if (b) *b = intercept;
  return points;
}

int TTreeLimbs(TTree* tree) {
  const int count = UsableCount(tree);
  int limbs = 0;
  for (int i = 0; i < count; ++i)
    if (HasParent(tree->nodes[i])) ++limbs;
  return limbs;
}

void* TTreeSegments(TTree* tree, double* segments, double* tips) {
  const int count = UsableCount(tree);
  // One pass counts the children of every node; a parent index outside the
  // structure is nobody's child.
  std::vector<int> children(static_cast<std::size_t>(count), 0);
  for (int i = 0; i < count; ++i)
    if (ValidParent(tree->nodes[i], count)) ++children[tree->nodes[i].parent];
  double segmentCount = 0, tipCount = 0;
  for (int i = 0; i < count; ++i) {
    if (!HasParent(tree->nodes[i])) continue;
    if (children[i] == 0) {
      ++segmentCount;
      ++tipCount;
    } else if (children[i] >= 2) {
      ++segmentCount;
    }
  }
  if (segments) *segments = segmentCount;
  if (tips) *tips = tipCount;
  return nullptr;
}

double TTreeOmPower(TTree* tree, double d1, double d2, double d3) {
  return SumOverChannels(tree, &TNode::powerDensity) * d1 * d2 * d3;
}

double TTreeOmEnergy(TTree* tree, double d1, double d2, double d3) {
  return SumOverChannels(tree, &TNode::heatDensity) * d1 * d2 * d3;
}

int THeapSetLimbDimMin(THeap* heap, int minLength, int minCount) {
  THeap& h = *heap;
  h.LimbDimMinLength = minLength;
  h.LimbDimMinCount = minCount;
  return TTreeDimension(&h.Nodes, h.LimbDimMinCount, h.LimbDimMinLength, &h.Dimension, &h.DimensionIntercept);
}

}  // extern "C"

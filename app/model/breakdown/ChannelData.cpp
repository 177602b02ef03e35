#include "model/breakdown/ChannelData.h"

#include "model/breakdown/OutputQuantities.h"

#include <algorithm>

namespace {

bool IsRoot(const TNode &n) { return n.parent < 0; }

// The value of a channel quantity at a node and where along the channel it
// sits; false for an id that is no channel quantity.
bool NodeValue(const TNode &n, int id, double &position, double &value) {
  const double segmentMiddle = n.invLength != 0 ? n.pathLength - 0.5 / n.invLength : n.pathLength;
  position = segmentMiddle;
  switch (id) {
  case ChannelConductance: value = n.g; return true;
  case ChannelCurrent: value = n.current; return true;
  case ChannelField: value = n.field; return true;
  case ChannelLinearHeat: value = n.linearHeat; return true;
  case ChannelLinearPower: value = n.linearPower; return true;
  case ChannelLinearCharge: value = n.linearCharge; return true;
  case ChannelPotential: position = n.pathLength; value = n.potential; return true;
  case ChannelCriticalField: position = n.pathLength; value = n.ec; return true;
  default: return false;
  }
}

int Wrap(int i, int n) {
  if (n <= 0)
    return i;
  const int r = i % n;
  return r < 0 ? r + n : r;
}

} // namespace

int SelectChannelEnd(const TTree &tree, int end) {
  if (tree.count <= 0 || !tree.nodes)
    return -1;
  if (end == -2) {
    int deepest = 0;
    for (int i = 1; i < tree.count; ++i)
      if (tree.nodes[i].generation > tree.nodes[deepest].generation)
        deepest = i;
    return deepest;
  }
  if (end < 0 || end >= tree.count)
    return tree.count - 1;
  return end;
}

TChannelProfile ChannelProfile(const TTree &tree, int id, int end) {
  TChannelProfile profile;
  const int e = SelectChannelEnd(tree, end);
  double position = 0, value = 0;
  if (e < 0 || IsRoot(tree.nodes[e]) || !NodeValue(tree.nodes[e], id, position, value))
    return profile;
  const bool takesRoot = id == ChannelPotential;
  // The walk is bounded by the node count, so a damaged parent chain ends it.
  int node = e;
  for (int steps = 0; steps < tree.count && node >= 0 && node < tree.count; ++steps) {
    const TNode &n = tree.nodes[node];
    if (IsRoot(n) && !takesRoot)
      break;
    NodeValue(n, id, position, value);
    profile.positions.push_back(position);
    profile.values.push_back(value);
    if (IsRoot(n))
      break;
    node = n.parent;
  }
  std::reverse(profile.positions.begin(), profile.positions.end());
  std::reverse(profile.values.begin(), profile.values.end());
  return profile;
}

int FindNodeOnElectrode(const TTree &tree, const TCellLookup &codes, int nx, int ny, bool fromLast) {
  if (!codes || tree.count <= 0 || !tree.nodes)
    return -1;
  for (int k = 0; k < tree.count; ++k) {
    const int i = fromLast ? tree.count - 1 - k : k;
    const TNode &n = tree.nodes[i];
    double code = 0;
    if (!IsRoot(n) && codes(Wrap(n.x, nx), Wrap(n.z, ny), n.y, code) && IsElectrodeCode(code))
      return i;
  }
  return -1;
}

double FindSurfaceLevelHeight(const TCellLookup &materials, int nx, int ny, int nz, double cellSize2) {
  if (!materials)
    return 0.0;
  const int i = nx / 2, j = ny / 2;
  for (int k = 0; k < nz; ++k) {
    double value = 0;
    if (materials(i, j, k, value) && value == 1.0)
      return k * cellSize2;
  }
  return 0.0;
}

#pragma once

#include <korvane.h>

#include <functional>
#include <vector>

// Reads the value of cell (i, j, k) of a lattice layer; false outside it.
using TCellLookup = std::function<bool(int i, int j, int k, double &value)>;

// Values of one quantity along a channel of the tree, from the root end
// (index 0) to the chosen tip.
struct TChannelProfile {
  std::vector<double> positions;
  std::vector<double> values;
};

// The tip of the channel: -2 the deepest node (the first on a tie), any other
// negative value or one past the list the last node, else that node. -1 for
// an empty tree.
int SelectChannelEnd(const TTree &tree, int end);

// Segment quantities sit half a segment back from their node and leave out
// the root; the potential sits on the nodes and takes the root too. Empty for
// no nodes, a root as the tip, or an id that is not a channel quantity.
TChannelProfile ChannelProfile(const TTree &tree, int id, int end);

// Whether an electrode code marks an electrode cell: free dielectric is -1.
inline bool IsElectrodeCode(double code) { return code < -1.0; }

// The first grown node, in list order (or from the last when fromLast),
// standing on an electrode cell of the code layer; -1 for none. A node's cell
// is (x, z, y) of the layer, x and z wrapped like the lattice's periodic axes.
int FindNodeOnElectrode(const TTree &tree, const TCellLookup &codes, int nx, int ny, bool fromLast);

// Height of the dielectric surface: the first level of the middle column of
// the material layer that holds material 1, times the cell size along the
// levels; 0 when there is none.
double FindSurfaceLevelHeight(const TCellLookup &materials, int nx, int ny, int nz, double cellSize2);

// Currents in the lattice and at the electrodes after a potential solution, and
// the charge of an electrode by Gauss's law.
#include <cmath>
#include <vector>

#include "Potential.h"
#include "WorkerPool.h"

namespace korvane {
namespace {

// Flat offsets to the neighbours of one row of cells (fixed i2, i3).
struct RowLinks {
  int base;
  int lower3;    // offset to the cell at i3-1, wrapped
  int upper3;    // offset to the cell at i3+1, wrapped
  int partner2;  // offset to the axis-2 partner of the lower link
};

RowLinks LinksOfRow(const THeap& h, int i2, int i3) {
  const int n1 = h.N1, n3 = h.N3;
  const int plane = n1 * h.N3;
  RowLinks r;
  r.base = CellIndex(h, 0, i2, i3);
  r.lower3 = (WrapOnce(i3 - 1, n3) - i3) * n1;
  r.upper3 = (WrapOnce(i3 + 1, n3) - i3) * n1;
  // The bottom plane has no lower link and borrows the one above (itself when
  // the lattice is one plane thick).
  r.partner2 = i2 > 0 ? -plane : (h.N2 > 1 ? plane : 0);
  return r;
}

// Runs pass(planes, add) over the lattice's planes, and add sees the terms in
// the order one thread finds them: on several threads each takes a block of
// planes and keeps its terms, which are then added block after block.
template <class Term, class Pass, class Add>
void AddInOneThreadOrder(const THeap& h, Pass&& pass, Add&& add) {
  const WorkerPool pool = LatticePool(h);
  if (pool.Threads() <= 1) {
    pass(PartRange{0, h.N2}, add);
    return;
  }
  std::vector<std::vector<Term>> terms(static_cast<std::size_t>(pool.Threads()));
  pool.Split([&](int t, int parts) {
    pass(PartOf(h.N2, t, parts), [&](const Term& term) { terms[t].push_back(term); });
  });
  for (const std::vector<Term>& part : terms)
    for (const Term& term : part) add(term);
}

inline int LowerOnAxis1(int c, int i1, int n1) { return i1 == 0 ? c + n1 - 1 : c - 1; }
inline int UpperOnAxis1(int c, int i1, int n1) { return i1 == n1 - 1 ? c - (n1 - 1) : c + 1; }

// Current density on a link: the field times the series conductivity of the two
// cells, none when the neighbour does not conduct.
inline double LinkCurrent(double field, double sc, double sn) {
  return sn > 0 ? field * 2 * sc * sn / (sc + sn) : 0.0;
}

}  // namespace

namespace {

// New link fields and the displacement currents they imply on one plane; the
// fields of the step before are read before they are overwritten.
void DisplacementLinksOfPlane(THeap& h, int i2) {
  const int n1 = h.N1, n3 = h.N3;
  const double k = 2 * h.Eps0 / h.Dt;
  const double s1 = h.CellSize1, s2 = h.CellSize2, s3 = h.CellSize3;
  const double* phi = h.Potential;
  for (int i3 = 0; i3 < n3; ++i3) {
    const RowLinks r = LinksOfRow(h, i2, i3);
    for (int i1 = 0; i1 < n1; ++i1) {
      const int c = r.base + i1;
      const double v = phi[c];
      const double inv = InvEpsOf(h, c);

      const int c1m = LowerOnAxis1(c, i1, n1);
      const double fx = (phi[c1m] - v) / s1;
      h.DispCurrentX[c] = k * (fx - h.FieldX[c]) / (inv + InvEpsOf(h, c1m));
      h.FieldX[c] = fx;

      const int p2 = c + r.partner2;
      const double fy = i2 > 0 ? (phi[p2] - v) / s2 : (v - phi[p2]) / s2;
      h.DispCurrentY[c] = k * (fy - h.FieldY[c]) / (inv + InvEpsOf(h, p2));
      h.FieldY[c] = fy;

      const int c3m = c + r.lower3;
      const double fz = (phi[c3m] - v) / s3;
      h.DispCurrentZ[c] = k * (fz - h.FieldZ[c]) / (inv + InvEpsOf(h, c3m));
      h.FieldZ[c] = fz;
    }
  }
}

// Cell values average the two links of each axis; the top plane has only its
// lower link. Needs the new links of this plane and of the one above.
void DisplacementCellsOfPlane(THeap& h, int i2) {
  const int n1 = h.N1, n3 = h.N3;
  const int plane = n1 * n3;
  const bool top = i2 == h.N2 - 1;
  for (int i3 = 0; i3 < n3; ++i3) {
    const RowLinks r = LinksOfRow(h, i2, i3);
    for (int i1 = 0; i1 < n1; ++i1) {
      const int c = r.base + i1;
      const int c1p = UpperOnAxis1(c, i1, n1);
      const int c3p = c + r.upper3;
      const double x = (h.FieldX[c] + h.FieldX[c1p]) / 2;
      const double y = top ? h.FieldY[c] : (h.FieldY[c] + h.FieldY[c + plane]) / 2;
      const double z = (h.FieldZ[c] + h.FieldZ[c3p]) / 2;
      h.FieldAbs[c] = std::sqrt(x * x + y * y + z * z);
      const double dx = (h.DispCurrentX[c] + h.DispCurrentX[c1p]) / 2;
      const double dy = top ? h.DispCurrentY[c] : (h.DispCurrentY[c] + h.DispCurrentY[c + plane]) / 2;
      const double dz = (h.DispCurrentZ[c] + h.DispCurrentZ[c3p]) / 2;
      h.DispCurrentAbs[c] = std::sqrt(dx * dx + dy * dy + dz * dz);
    }
  }
}

}  // namespace

// The cell values of a plane follow one plane behind its links, while the
// links of both planes are still in the cache; the link pass neither reads nor
// writes what the cell pass writes, so the values are those of two whole
// passes one after the other. On several threads the two passes are run one
// after the other, each plane by plane, with the same values.
void ComputeDisplacementCurrents(THeap& h) {
  const int n2 = h.N2;
  const WorkerPool pool = LatticePool(h);
  if (pool.Threads() > 1) {
    pool.Split([&](int t, int parts) {
      const PartRange r = PartOf(n2, t, parts);
      for (int i2 = r.begin; i2 < r.end; ++i2) DisplacementLinksOfPlane(h, i2);
    });
    pool.Split([&](int t, int parts) {
      const PartRange r = PartOf(n2, t, parts);
      for (int i2 = r.begin; i2 < r.end; ++i2) DisplacementCellsOfPlane(h, i2);
    });
    return;
  }
  for (int i2 = 0; i2 < n2; ++i2) {
    DisplacementLinksOfPlane(h, i2);
    if (i2 > 0) DisplacementCellsOfPlane(h, i2 - 1);
  }
  if (n2 > 0) DisplacementCellsOfPlane(h, n2 - 1);
}

namespace {

// A write that a plane's pass leaves to the plane below it, kept to be made
// after the pass of that plane: with the planes shared among threads, the
// thread of the plane below may still be working on it.
struct LowerPlaneWrite {
  int cell;
  double value;
  bool copy;  // the link current itself (bottom plane), else a charge taken away
};

// Link currents and the charge they carry on the planes [begin, end). A cell
// gives charge to its lower neighbours; what the first plane of the range
// gives to the plane below goes to deferred when that is given, in the order
// the cells give it.
void BulkCurrentsOfPlanes(THeap& h, PartRange planes, std::vector<LowerPlaneWrite>* deferred) {
  const int n1 = h.N1, n3 = h.N3;
  const int plane = n1 * n3;
  const double dt = h.Dt;
  const double s1 = h.CellSize1, s2 = h.CellSize2, s3 = h.CellSize3;
  for (int i2 = planes.begin; i2 < planes.end; ++i2) {
    const bool defer = deferred && i2 == planes.begin && i2 > 0;
    for (int i3 = 0; i3 < n3; ++i3) {
      const RowLinks r = LinksOfRow(h, i2, i3);
      for (int i1 = 0; i1 < n1; ++i1) {
        const int c = r.base + i1;
        const double sc = SigmaOf(h, c);
        if (sc == 0) continue;
        const int c1m = LowerOnAxis1(c, i1, n1);
        const int c3m = c + r.lower3;
        h.CurrentX[c] = LinkCurrent(h.FieldX[c], sc, SigmaOf(h, c1m));
        h.CurrentY[c] = i2 > 0 ? LinkCurrent(h.FieldY[c], sc, SigmaOf(h, c - plane)) : 0.0;
        if (i2 == 1) {
          if (defer)
            deferred->push_back({c - plane, h.CurrentY[c], true});
          else
            h.CurrentY[c - plane] = h.CurrentY[c];
        }
        h.CurrentZ[c] = LinkCurrent(h.FieldZ[c], sc, SigmaOf(h, c3m));
        // Each link current carries charge from the lower neighbour into the cell.
        h.Charge[c] += dt * (h.CurrentX[c] / s1 + h.CurrentY[c] / s2 + h.CurrentZ[c] / s3);
        h.Charge[c1m] -= dt * h.CurrentX[c] / s1;
        if (defer)
          deferred->push_back({c - plane, dt * h.CurrentY[c] / s2, false});
        else if (i2 > 0)
          h.Charge[c - plane] -= dt * h.CurrentY[c] / s2;
        h.Charge[c3m] -= dt * h.CurrentZ[c] / s3;
      }
    }
  }
}

// What the electrode pass adds up, by what it adds to.
struct ElectrodeSums {
  enum Kind : unsigned char { Collected, Displacement, Boundary };
  Kind kind;
  int electrode;
  double value;
};

// The electrode pass on the planes [begin, end): the charge that electrode
// cells collect (cleared from the cells) and the displacement currents into
// them and out of the outer planes, handed to add in the order of the cells.
template <class Add>
void ElectrodeTermsOfPlanes(THeap& h, PartRange planes, Add&& add) {
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  const int plane = n1 * n3;
  const double a1 = h.CellSize2 * h.CellSize3;
  const double a2 = h.CellSize1 * h.CellSize3;
  const double a3 = h.CellSize1 * h.CellSize2;
  const double* codes = h.ElectrodeCodes;
  for (int i2 = planes.begin; i2 < planes.end; ++i2) {
    for (int i3 = 0; i3 < n3; ++i3) {
      const RowLinks r = LinksOfRow(h, i2, i3);
      for (int i1 = 0; i1 < n1; ++i1) {
        const int c = r.base + i1;
        const double code = codes[c];
        if (IsFreeCode(code)) {
          // Free cells of the outer planes pass displacement current to the
          // outside; a one-plane lattice has no cell above its bottom plane.
          if (n2 > 1 && i2 == 0) add(ElectrodeSums{ElectrodeSums::Boundary, 0, a2 * h.DispCurrentY[c + plane]});
          if (n2 > 1 && i2 == n2 - 1) add(ElectrodeSums{ElectrodeSums::Boundary, 0, a2 * h.DispCurrentY[c]});
          continue;
        }
        const int e = CellElectrode(h, c);
        if (e < 0) continue;  // a code of no existing electrode: fixed, no current
        // The electrode collects the charge that conduction and channels brought in.
        add(ElectrodeSums{ElectrodeSums::Collected, e, h.Charge[c]});
        h.Charge[c] = 0;
        double d = 0;
        const int c1m = LowerOnAxis1(c, i1, n1);
        const int c1p = UpperOnAxis1(c, i1, n1);
        if (IsFreeCode(codes[c1m])) d += -a1 * h.DispCurrentX[c];
        if (IsFreeCode(codes[c1p])) d += a1 * h.DispCurrentX[c1p];
        if (i2 > 0 && IsFreeCode(codes[c - plane])) d += -a2 * h.DispCurrentY[c];
        if (i2 < n2 - 1 && IsFreeCode(codes[c + plane])) d += a2 * h.DispCurrentY[c + plane];
        const int c3m = c + r.lower3;
        const int c3p = c + r.upper3;
        if (IsFreeCode(codes[c3m])) d += -a3 * h.DispCurrentZ[c];
        if (IsFreeCode(codes[c3p])) d += a3 * h.DispCurrentZ[c3p];
        add(ElectrodeSums{ElectrodeSums::Displacement, e, d});
      }
    }
  }
}

}  // namespace

// On several threads each takes a block of planes, and the charge that the
// first plane of a block takes from the plane below is taken after all blocks,
// in the order one thread would take it.
void ComputeBulkCurrents(THeap& h) {
  const WorkerPool pool = LatticePool(h);
  if (pool.Threads() <= 1) {
    BulkCurrentsOfPlanes(h, {0, h.N2}, nullptr);
    return;
  }
  std::vector<std::vector<LowerPlaneWrite>> deferred(static_cast<std::size_t>(pool.Threads()));
  pool.Split([&](int t, int parts) { BulkCurrentsOfPlanes(h, PartOf(h.N2, t, parts), &deferred[t]); });
  for (const std::vector<LowerPlaneWrite>& writes : deferred)
    for (const LowerPlaneWrite& w : writes) {
      if (w.copy)
        h.CurrentY[w.cell] = w.value;
      else
        h.Charge[w.cell] -= w.value;
    }
}

void ComputeElectrodeCurrents(THeap& h) {
  const int count = h.ElectrodeCount;
  for (int e = 0; e < count; ++e) {
    h.ElectrodeCurrents[e] = 0;
    h.ElectrodeDispCurrents[e] = 0;
  }
  h.BoundaryDispCurrent = 0;
  AddInOneThreadOrder<ElectrodeSums>(
      h, [&h](PartRange planes, auto&& add) { ElectrodeTermsOfPlanes(h, planes, add); },
      [&h](const ElectrodeSums& term) {
        switch (term.kind) {
          case ElectrodeSums::Collected:
            h.ElectrodeCurrents[term.electrode] += term.value;
            break;
          case ElectrodeSums::Displacement:
            h.ElectrodeDispCurrents[term.electrode] += term.value;
            break;
          case ElectrodeSums::Boundary:
            h.BoundaryDispCurrent += term.value;
            break;
        }
      });
  const double volume = h.CellSize1 * h.CellSize2 * h.CellSize3;
  h.PositiveCurrent = 0;
  h.NegativeCurrent = 0;
  h.MeanCurrent = 0;
  for (int e = 0; e < count; ++e) {
    const double collected = h.ElectrodeCurrents[e];
    h.ElectrodeCharges[e] += volume * collected;
    h.ElectrodeCurrents[e] = -volume * collected / h.Dt;
    const double t = h.ElectrodeCurrents[e] + h.ElectrodeDispCurrents[e];
    if (t > 0)
      h.PositiveCurrent += t;
    else
      h.NegativeCurrent -= t;
  }
  if (h.BoundaryDispCurrent > 0)
    h.PositiveCurrent += h.BoundaryDispCurrent;
  else
    h.NegativeCurrent -= h.BoundaryDispCurrent;
  h.MeanCurrent = (h.NegativeCurrent + h.PositiveCurrent) * 0.5;
  if (h.VoltageMode == 2 && count > 0 && h.ElectrodeCurrents[0] + h.ElectrodeDispCurrents[0] < 0) {
    h.MeanCurrent = -h.MeanCurrent;
    h.PositiveCurrent = -h.PositiveCurrent;
    h.NegativeCurrent = -h.NegativeCurrent;
  }
}

namespace {

// The Gauss terms of one electrode's cells in the planes [begin, end), in
// memory order and, per cell, in the order of its faces.
template <class Term>
void ElectrodeChargeTerms(const THeap& h, int electrode, PartRange planes, Term&& term) {
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  const int plane = n1 * n3;
  const double q1 = h.CellSize1 * h.CellSize1;
  const double q2 = h.CellSize2 * h.CellSize2;
  const double q3 = h.CellSize3 * h.CellSize3;
  const double* phi = h.Potential;
  const double* codes = h.ElectrodeCodes;
  auto face = [&](int c, int n, double inv, double sizeSquared) {
    if (IsFreeCode(codes[n])) term((phi[c] - phi[n]) / ((inv + InvEpsOf(h, n)) * sizeSquared));
  };
  for (int i2 = planes.begin; i2 < planes.end; ++i2) {
    for (int i3 = 0; i3 < n3; ++i3) {
      const RowLinks r = LinksOfRow(h, i2, i3);
      for (int i1 = 0; i1 < n1; ++i1) {
        const int c = r.base + i1;
        if (CellElectrode(h, c) != electrode) continue;
        const double inv = InvEpsOf(h, c);
        face(c, LowerOnAxis1(c, i1, n1), inv, q1);
        face(c, UpperOnAxis1(c, i1, n1), inv, q1);
        // Beyond the outer planes the cell itself stands in, which is never free.
        face(c, i2 > 0 ? c - plane : c, inv, q2);
        face(c, i2 < n2 - 1 ? c + plane : c, inv, q2);
        face(c, c + r.lower3, inv, q3);
        face(c, c + r.upper3, inv, q3);
      }
    }
  }
}

}  // namespace

double ElectrodeCharge(THeap& h, int electrode) {
  if (electrode < 0 || electrode >= h.ElectrodeCount) return 0.0;
  double sum = 0;
  AddInOneThreadOrder<double>(
      h, [&](PartRange planes, auto&& add) { ElectrodeChargeTerms(h, electrode, planes, add); },
      [&sum](double v) { sum += v; });
  return 2 * h.Eps0 * (h.CellSize1 * h.CellSize2 * h.CellSize3) * sum;
}

}  // namespace korvane

#pragma once

// Radial basis of a local interpolant; at dx = dy = 0 it is the value a
// point has against itself (the diagonal of the local system).
class TBlockBasis {
public:
    virtual ~TBlockBasis() = default;
    virtual double At(double dx, double dy) const = 0;
};

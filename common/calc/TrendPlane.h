#pragma once

// Least-squares plane z = (x - meanX)*slopeX + meanZ + (y - meanY)*slopeY.
// Points along a line (no unique plane) give zero slopes: the mean level.
struct TTrendPlane {
    double meanX = 0, meanY = 0, meanZ = 0;
    double slopeX = 0, slopeY = 0;

    static TTrendPlane Fit(const double* x, const double* y, const double* z, int n);
    double At(double x, double y) const { return (x - meanX) * slopeX + meanZ + (y - meanY) * slopeY; }
};

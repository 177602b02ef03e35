#pragma once

#include <vector>

// Dense systems of a few unknowns (the dimension of a tessellation plus one).
// Size 2 goes by Cramer's rule; larger sizes by LU elimination with scaled
// partial pivoting. The matrix is row-major and is overwritten.

// Solves a x = b in place of b; false when a is singular.
bool SolveSmallSystem(std::vector<double>& a, std::vector<double>& b, int size);

// Determinant of a (0 for a singular matrix).
double SmallDeterminant(std::vector<double>& a, int size);

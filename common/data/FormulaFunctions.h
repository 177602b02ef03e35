#pragma once

// The error function by rational Chebyshev approximations, accurate to the
// last bits of a double over the whole range.
double FormulaErf(double x);

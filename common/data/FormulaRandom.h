#pragma once

// The random functions of formulas. Their states are process-wide and carry on
// from one formula and one evaluation to the next, so a fill by formula draws
// one sequence across all cells instead of restarting it per cell.

double FormulaRnd();  // shared 15-bit runtime generator scaled to 0..1
double FormulaRnd1(); // minimal standard generator behind a shuffle table
double FormulaRnd2(); // combined generator behind the same shuffle table
double FormulaRnd3(); // subtractive generator
double FormulaNrm();  // standard normal deviate drawn through RND2

// Puts every generator back to its state at program load (tests only).
void FormulaRandomReset();

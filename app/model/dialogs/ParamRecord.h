#pragma once
// The values of the full parameter dialog as texts, read from and written to
// the engine record. Qt-free: the dialog only moves these texts in and out of
// its controls. Every text is checked before anything is written, so applying
// writes all values or none.
#include <korvane.h>

#include <array>
#include <string>
#include <vector>

// Columns 1 to 10 of a material row (column 0 is the row number).
constexpr int MaterialColumns = 11;
using TMaterialTexts = std::array<std::string, MaterialColumns>;

struct TParamTexts {
  // Lattice: node counts, cell sizes and time steps.
  std::string Emx, Emy, Emz;
  std::string Edx, Edy, Edz;
  std::string Edtinit, Edt, Edtspark;
  // Electrodes: one set potential per electrode, and the rise time.
  std::vector<std::string> Potentials;
  std::string Etau;
  // Iterative solution.
  std::string Edw, Edw0;
  int DwType = 0;
  int ItrType = 0;
  std::string Eminnwitr, Emaxnwitr;
  bool BSep = false;
  std::string Eeps0;
  // Generator.
  std::string EgenU, EgenC, EgenL, EgenR0, EgenR1, EgenRT, EgenCs, EgenL1, EgenL2, EgenNR1, EgenNR2;
  // Discharge structure.
  std::string ElimbEn, ElimbMinCond, ElimbMaxCond, ElimbDimMinLength, ElimbDimMinCount;
  int GrowthType = 0;
  bool GenIdle = false;
  // Materials, one row each.
  std::vector<TMaterialTexts> Materials;
};

struct TParamValues {
  int N1 = 0, N2 = 0, N3 = 0;
  double CellSize1 = 0, CellSize2 = 0, CellSize3 = 0;
  double DtInit = 0, DtGrowth = 0, DtSpark = 0;
  std::vector<double> Potentials;
  double Tau = 0;
  double Dw = 0, Dw0 = 0;
  int DwType = 0, ItrType = 0;
  int MinNwItr = 0, MaxNwItr = 0;
  bool BSep = false;
  double Eps0 = 0;
  double GenU = 0, GenC = 0, GenL = 0, GenR0 = 0, GenR1 = 0, GenRT = 0, GenCs = 0;
  double GenL1 = 0, GenL2 = 0, GenNR1 = 0, GenNR2 = 0;
  double LimbEn = 0, LimbMinCond = 0, LimbMaxCond = 0;
  int LimbDimMinLength = 0, LimbDimMinCount = 0;
  int GrowthType = 0;
  bool GenIdle = false;
  std::vector<TMaterial> Materials;
};

// The record's values in the dialog's display formats.
TParamTexts ParamTextsFromHeap(THeap& heap);

// Converts and checks every text. On the first bad one returns false with a
// message that names the field by its caption; values are then incomplete.
// With refused given, it points to the refused text within texts, or is null
// when no single text is at fault (too many nodes in all, too few rows).
bool ParseParamTexts(const TParamTexts& texts, TParamValues& values, std::string& error,
                     const std::string** refused = nullptr);

// Writes checked values into the record: the lattice size (which resets the
// engine's defaults), then everything else. False, with the record unchanged,
// when the engine refuses the size or cannot allocate the materials.
bool WriteParamValues(THeap& heap, const TParamValues& values);

// The general format with 6 significant digits, and with 15.
std::string ParamText6(double value);
std::string ParamText15(double value);
// The electrode row label "( -c1, -c2 )" of electrode i.
std::string ElectrodeCodeLabel(int electrode);

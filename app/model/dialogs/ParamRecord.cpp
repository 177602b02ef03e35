#include "model/dialogs/ParamRecord.h"

#include "data/TextConversion.h"

#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace {

constexpr double MegaFactor = 1e6;

double Float(const std::string& text)
{
  return StrToFloatAny(text);
}

std::string Invalid(const char* caption)
{
  return std::string("Недопустимое значение поля \"") + caption + "\".";
}

// The message and the text it refuses (none when no single field is at fault).
struct TParamError {
  std::string message;
  const std::string* text = nullptr;
};

// A whole integer, else false with the field named.
bool ReadInt(const std::string& text, const char* caption, int& value, TParamError& error)
{
  try {
    value = StrToIntStrict(text);
    return true;
  } catch (const EConvertError&) {
    error = {Invalid(caption), &text};
    return false;
  }
}

// A length or a time step: zero or less would stall or break the run.
bool ReadPositive(const std::string& text, const char* caption, double& value, TParamError& error)
{
  value = Float(text);
  if (value > 0)
    return true;
  error = {Invalid(caption) + " Значение должно быть больше нуля.", &text};
  return false;
}

bool ReadLattice(const TParamTexts& t, TParamValues& v, TParamError& error)
{
  if (!ReadInt(t.Emx, "ширина, узлов", v.N1, error) || !ReadInt(t.Emy, "высота, узлов", v.N2, error) ||
      !ReadInt(t.Emz, "глубина, узлов", v.N3, error))
    return false;
  for (const auto& [count, text] : {std::pair{v.N1, &t.Emx}, std::pair{v.N2, &t.Emy}, std::pair{v.N3, &t.Emz}})
    if (count < 1) {
      error = {"Число узлов решетки должно быть не меньше 1.", text};
      return false;
    }
  const std::int64_t cells = std::int64_t(v.N1) * v.N2 * v.N3;
  if (cells > KORVANE_MAX_CELLS) {
    error.message = "Решетка больше " + std::to_string(KORVANE_MAX_CELLS) + " узлов.";
    return false;
  }
  return ReadPositive(t.Edx, "dx", v.CellSize1, error) && ReadPositive(t.Edy, "dz", v.CellSize2, error) &&
         ReadPositive(t.Edz, "dy", v.CellSize3, error) && ReadPositive(t.Edtinit, "старт", v.DtInit, error) &&
         ReadPositive(t.Edt, "рост", v.DtGrowth, error) && ReadPositive(t.Edtspark, "дуга", v.DtSpark, error);
}

bool ReadElectrodes(const TParamTexts& t, TParamValues& v, TParamError& error)
{
  // Electrodes 0 and 1 own the plates; the generator couples them.
  if (t.Potentials.size() < 2) {
    error.message = "Нужно не меньше двух электродов.";
    return false;
  }
  v.Potentials.clear();
  for (const std::string& text : t.Potentials)
    v.Potentials.push_back(Float(text));
  v.Tau = Float(t.Etau);
  return true;
}

bool ReadSolver(const TParamTexts& t, TParamValues& v, TParamError& error)
{
  v.Dw = Float(t.Edw);
  v.Dw0 = Float(t.Edw0);
  v.DwType = t.DwType < 0 ? 0 : t.DwType;
  v.ItrType = t.ItrType < 0 ? 0 : t.ItrType;
  v.BSep = t.BSep;
  v.Eps0 = Float(t.Eeps0);
  return ReadInt(t.Eminnwitr, "число итерац. (не менее)", v.MinNwItr, error) &&
         ReadInt(t.Emaxnwitr, "число итерац. (не более)", v.MaxNwItr, error);
}

void ReadGenerator(const TParamTexts& t, TParamValues& v)
{
  v.GenU = Float(t.EgenU);
  v.GenC = Float(t.EgenC);
  v.GenL = Float(t.EgenL);
  v.GenR0 = Float(t.EgenR0);
  v.GenR1 = Float(t.EgenR1);
  v.GenRT = Float(t.EgenRT);
  v.GenCs = Float(t.EgenCs);
  v.GenL1 = Float(t.EgenL1);
  v.GenL2 = Float(t.EgenL2);
  v.GenNR1 = Float(t.EgenNR1);
  v.GenNR2 = Float(t.EgenNR2);
}

bool ReadStructure(const TParamTexts& t, TParamValues& v, TParamError& error)
{
  v.LimbEn = Float(t.ElimbEn);
  v.LimbMinCond = Float(t.ElimbMinCond);
  v.LimbMaxCond = Float(t.ElimbMaxCond);
  v.GrowthType = t.GrowthType < 0 ? 0 : t.GrowthType;
  v.GenIdle = t.GenIdle;
  return ReadInt(t.ElimbDimMinLength, "не учитывать первые", v.LimbDimMinLength, error) &&
         ReadInt(t.ElimbDimMinCount, "минимальное число", v.LimbDimMinCount, error);
}

TMaterial MaterialFromRow(const TMaterialTexts& row, const TMaterial& allocated)
{
  TMaterial m = allocated;
  m.Ec = Float(row[1]) * MegaFactor;
  m.Eps = Float(row[2]);
  if (m.Eps != 0)
    m.InvEps = 1 / m.Eps;
  m.GrowthA = Float(row[3]);
  m.Sigma = Float(row[4]);
  m.G0 = Float(row[5]);
  m.Alpha = Float(row[6]);
  m.Beta = Float(row[7]);
  m.EcTarget = Float(row[8]) * MegaFactor;
  m.EcAmplitude = Float(row[9]);
  m.EcWidth = Float(row[10]);
  return m;
}

bool ReadMaterials(const TParamTexts& t, TParamValues& v, TParamError& error)
{
  if (t.Materials.empty()) {
    error.message = "Нужен хотя бы один материал.";
    return false;
  }
  v.Materials.clear();
  // A fresh engine array is zero-filled, so a permittivity of 0 leaves its
  // inverse at 0 as well.
  const TMaterial zero{};
  for (const TMaterialTexts& row : t.Materials)
    v.Materials.push_back(MaterialFromRow(row, zero));
  return true;
}

TMaterialTexts MaterialRowTexts(const TMaterial& m, int index)
{
  return {std::to_string(index),     ParamText6(m.Ec / MegaFactor),       ParamText6(m.Eps),
          ParamText6(m.GrowthA),     ParamText6(m.Sigma),                 ParamText6(m.G0),
          ParamText6(m.Alpha),       ParamText6(m.Beta),                  ParamText6(m.EcTarget / MegaFactor),
          ParamText6(m.EcAmplitude), ParamText6(m.EcWidth)};
}

}  // namespace

std::string ParamText6(double value)
{
  return FloatToStrSep(value, ffGeneral, 6, 0);
}

std::string ParamText15(double value)
{
  return FloatToStrSep(value, ffGeneral, 15, 0);
}

std::string ElectrodeCodeLabel(int electrode)
{
  return "( -" + std::to_string(2 * electrode + 2) + ", -" + std::to_string(2 * electrode + 3) + " )";
}

TParamTexts ParamTextsFromHeap(THeap& heap)
{
  TParamTexts t;
  t.Emx = std::to_string(heap.N1);
  t.Emy = std::to_string(heap.N2);
  t.Emz = std::to_string(heap.N3);
  t.Edx = ParamText6(heap.CellSize1);
  t.Edy = ParamText6(heap.CellSize2);
  t.Edz = ParamText6(heap.CellSize3);
  t.Edtinit = ParamText6(heap.DtInit);
  t.Edt = ParamText6(heap.DtGrowth);
  t.Edtspark = ParamText6(heap.DtSpark);

  std::vector<double> pots(heap.ElectrodeCount > 0 ? heap.ElectrodeCount : 0);
  const int count = pots.empty() ? 0 : THeapGetElectrodesPot(&heap, pots.data());
  for (int i = 0; i < count && i < static_cast<int>(pots.size()); ++i)
    t.Potentials.push_back(ParamText6(pots[i]));
  t.Etau = ParamText6(heap.Tau);

  t.EgenU = ParamText6(heap.GenU);
  t.EgenC = ParamText6(heap.GenC);
  t.EgenL = ParamText6(heap.GenL);
  t.EgenR0 = ParamText6(heap.GenR0);
  t.EgenR1 = ParamText6(heap.GenR1);
  t.EgenRT = ParamText6(heap.GenRT);
  t.EgenCs = ParamText6(heap.GenCs);
  t.EgenL1 = ParamText6(heap.GenL1);
  t.EgenL2 = ParamText6(heap.GenL2);
  t.EgenNR1 = ParamText6(heap.GenNR1);
  t.EgenNR2 = ParamText6(heap.GenNR2);
  t.Edw = ParamText6(heap.Dw);
  t.Edw0 = ParamText6(heap.Dw0);
  t.DwType = heap.DwType;
  t.ItrType = heap.ItrType;
  t.Eminnwitr = std::to_string(heap.MinNwItr);
  t.Emaxnwitr = std::to_string(heap.MaxNwItr);
  t.BSep = heap.BSep != 0;
  t.Eeps0 = ParamText6(heap.Eps0);

  t.GenIdle = heap.GenIdle != 0;
  t.ElimbEn = ParamText15(heap.LimbEn);
  t.ElimbMinCond = ParamText6(heap.LimbMinCond);
  t.ElimbMaxCond = ParamText6(heap.LimbMaxCond);
  t.ElimbDimMinLength = std::to_string(heap.LimbDimMinLength);
  t.ElimbDimMinCount = std::to_string(heap.LimbDimMinCount);
  t.GrowthType = heap.GrowthType;

  for (int i = 0; i < heap.MaterialCount && heap.Materials; ++i)
    t.Materials.push_back(MaterialRowTexts(heap.Materials[i], i));
  return t;
}

// Every number field holds a number: a text that is not one would be taken as
// 0 (U = 0 switches the generator off) without a word.
bool CheckNumbers(const TParamTexts& t, TParamError& error)
{
  static const char* const materialColumns[] = {"№",  "Ec, MV/m", "ε",      "α, m²/V²·s", "σ0, S/m", "γ0, S·m",
                                                "χ, S·m²/J", "ξ, s⁻¹", "Ec min", "β, m³/J", "κ"};
  std::vector<std::pair<const std::string*, const char*>> fields = {
    {&t.Etau, "τ"},       {&t.Edw, "ошибка на временной шаг"}, {&t.Edw0, "ошибка потенциала 0 заряда"},
    {&t.Eeps0, "ε0"},     {&t.EgenU, "U"},   {&t.EgenC, "C"},     {&t.EgenL, "L"},       {&t.EgenR0, "R"},
    {&t.EgenR1, "R"},     {&t.EgenRT, "ΘR"}, {&t.EgenCs, "Cs"},   {&t.EgenL1, "L1"},     {&t.EgenL2, "L2"},
    {&t.EgenNR1, "NR1"},  {&t.EgenNR2, "NR2"}, {&t.ElimbEn, "n"}, {&t.ElimbMinCond, "min"},
    {&t.ElimbMaxCond, "max"}};
  for (const std::string& potential : t.Potentials)
    fields.push_back({&potential, "потенциал"});
  for (const TMaterialTexts& row : t.Materials)
    for (size_t column = 1; column < row.size() && column < std::size(materialColumns); ++column)
      fields.push_back({&row[column], materialColumns[column]});
  for (const auto& [text, caption] : fields) {
    double value = 0;
    if (!TryStrToFloatStrict(*text, value)) {
      error = {Invalid(caption), text};
      return false;
    }
  }
  return true;
}

bool ParseParamTexts(const TParamTexts& texts, TParamValues& values, std::string& error, const std::string** refused)
{
  TParamError found;
  ReadGenerator(texts, values);
  const bool good = CheckNumbers(texts, found) && ReadLattice(texts, values, found) &&
                    ReadElectrodes(texts, values, found) && ReadSolver(texts, values, found) &&
                    ReadStructure(texts, values, found) && ReadMaterials(texts, values, found);
  error = found.message;
  if (refused)
    *refused = good ? nullptr : found.text;
  return good;
}

bool WriteParamValues(THeap& heap, const TParamValues& v)
{
  const int count = static_cast<int>(v.Materials.size());
  TMaterial* materials = TMaterialNew(count);
  if (!materials)
    return false;
  if (!THeapSetLatticeSize(&heap, v.N1, v.N2, v.N3)) {
    TMaterialDelete(materials);
    return false;
  }
  heap.DtGrowth = v.DtGrowth;
  heap.DtInit = v.DtInit;
  heap.DtSpark = v.DtSpark;
  heap.CellSize1 = v.CellSize1;
  heap.CellSize2 = v.CellSize2;
  heap.CellSize3 = v.CellSize3;

  heap.GenU = v.GenU;
  heap.GenC = v.GenC;
  heap.GenL = v.GenL;
  heap.GenR0 = v.GenR0;
  heap.GenR1 = v.GenR1;
  heap.GenRT = v.GenRT;
  heap.GenCs = v.GenCs;
  heap.GenL1 = v.GenL1;
  heap.GenL2 = v.GenL2;
  heap.GenNR1 = v.GenNR1;
  heap.GenNR2 = v.GenNR2;

  heap.Dw = v.Dw;
  heap.Dw0 = v.Dw0;
  heap.DwType = v.DwType;
  heap.ItrType = v.ItrType;
  heap.MinNwItr = v.MinNwItr;
  heap.MaxNwItr = v.MaxNwItr;
  heap.BSep = v.BSep ? 1 : 0;
  heap.Eps0 = v.Eps0;

  for (int i = 0; i < count; ++i)
    materials[i] = v.Materials[i];
  TMaterialDelete(heap.Materials);
  heap.Materials = materials;
  heap.MaterialCount = count;

  heap.GenIdle = v.GenIdle ? 1 : 0;
  heap.LimbEn = v.LimbEn;
  heap.LimbMinCond = v.LimbMinCond;
  heap.LimbMaxCond = v.LimbMaxCond;
  THeapSetLimbDimMin(&heap, v.LimbDimMinLength, v.LimbDimMinCount);
  heap.GrowthType = v.GrowthType;
  THeapSetElectrodesPot(&heap, v.Potentials.data(), static_cast<int>(v.Potentials.size()), v.Tau);
  return true;
}

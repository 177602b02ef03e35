#include "model/breakdown/RunCheck.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string CellText(int i1, int i2, int i3) {
  return "(" + std::to_string(i1) + ", " + std::to_string(i2) + ", " + std::to_string(i3) + ")";
}

std::string NumberText(double v) {
  char buffer[64];
  // Every digit: a code a hair off -3 must not print as "-3".
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

bool Positive(double v) { return v > 0 && std::isfinite(v); }

std::string CheckScalars(const THeap &h) {
  if (h.ElectrodeCount < 2)
    return "Число электродов должно быть не меньше двух.";
  if (!h.CodePotentialBase)
    return "Потенциалы электродов не заданы.";
  if (h.MaterialCount < 1 || !h.Materials)
    return "Таблица материалов пуста.";
  if (!Positive(h.DtInit) || !Positive(h.DtGrowth) || !Positive(h.DtSpark))
    return "Шаги по времени должны быть положительными.";
  if (!Positive(h.CellSize1) || !Positive(h.CellSize2) || !Positive(h.CellSize3))
    return "Размеры ячейки должны быть положительными.";
  const long long cells = static_cast<long long>(h.N1) * h.N2 * h.N3;
  if (h.N1 < 1 || h.N2 < 1 || h.N3 < 1 || cells > KORVANE_MAX_CELLS)
    return "Недопустимый размер решетки.";
  return "";
}

// Codes are -1 (dielectric) or the two codes -2-2e and -3-2e of an electrode.
bool ValidCode(double code, int electrodeCount) {
  return code == -1.0 ||
         (code == std::trunc(code) && code <= -2.0 && code >= -(2.0 * electrodeCount + 1.0));
}

std::string CheckCells(const THeap &h) {
  bool lowerPlate = false, upperPlate = false;
  for (int i2 = 0; i2 < h.N2; ++i2)
    for (int i3 = 0; i3 < h.N3; ++i3)
      for (int i1 = 0; i1 < h.N1; ++i1) {
        const int cell = i1 + h.N1 * (i3 + h.N3 * i2);
        const double code = h.ElectrodeCodes[cell];
        if (!ValidCode(code, h.ElectrodeCount))
          return "Недопустимый код электрода " + NumberText(code) + " в ячейке " + CellText(i1, i2, i3) + ".";
        lowerPlate = lowerPlate || code == -2.0 || code == -3.0;
        upperPlate = upperPlate || code == -4.0 || code == -5.0;
        const int material = h.MaterialOfCell[cell];
        if (material < 0 || material >= h.MaterialCount)
          return "Материал " + std::to_string(material) + " ячейки " + CellText(i1, i2, i3) +
                 " отсутствует в таблице материалов.";
      }
  // Without both plates there is no gap for a discharge to cross.
  if (!lowerPlate)
    return "Нет нижнего электрода: ни одна ячейка не имеет кода -2 или -3.";
  if (!upperPlate)
    return "Нет верхнего электрода: ни одна ячейка не имеет кода -4 или -5.";
  return "";
}

} // namespace

std::string CheckEngineInputs(const THeap &engine) {
  std::string reason = CheckScalars(engine);
  if (reason.empty())
    reason = CheckCells(engine);
  return reason;
}

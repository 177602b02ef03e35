#include "model/TimePlotUnits.h"

std::vector<TTimeUnitItem> &TimePlotTimeUnits() {
  static std::vector<TTimeUnitItem> items;
  return items;
}

void FillTimePlotTimeUnits() {
  auto &items = TimePlotTimeUnits();
  items = {
      {"даты", 0},         {"сутки", 100},        {"месяцы", 110},       {"годы", 120},
      {"часы", 200},       {"минуты", 210},       {"секунды", 220},      {"миллисекунды", 230},
      {"микросекунды", 240}, {"наносекунды", 250},
  };
}

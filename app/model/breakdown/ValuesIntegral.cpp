#include "model/breakdown/ValuesIntegral.h"

void TValues_integral::Add(const std::string &name, int id, int unitCode, const double *value) {
  records.push_back(TValueIntegralRecord{name, unitCode, id, value});
}

const TValueIntegralRecord *TValues_integral::Find(int id) const {
  for (const auto &record : records)
    if (record.id == id)
      return &record;
  return nullptr;
}

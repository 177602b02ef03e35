#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One quantity of a catalogue: its name, the unit code of the axes catalogue,
// its id and, for quantities sampled over time, the double that holds its
// current value (null for quantities read elsewhere).
struct TValueIntegralRecord {
  std::string name;
  int unitCode = 0;
  int id = 0;
  const double *value = nullptr;
};

// A catalogue of quantities in registration order.
class TValues_integral {
public:
  void Add(const std::string &name, int id, int unitCode, const double *value);
  void Clear() { records.clear(); }
  // The first record with the id, or null.
  const TValueIntegralRecord *Find(int id) const;
  int Count() const { return static_cast<int>(records.size()); }
  const TValueIntegralRecord &Item(int i) const { return records[static_cast<size_t>(i)]; }

private:
  std::vector<TValueIntegralRecord> records;
};

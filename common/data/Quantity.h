#pragma once

#include <cstdint>
#include <vector>

class TTagStream;

// How FindReperValue picks a value for a depth interval.
enum ReperLookupMode : std::int32_t {
  ReperInside = 0, // the entry inside the interval nearest its middle
  ReperBelow = 1,  // the nearest entry below the middle
  ReperBelowElseAbove = 2,
  ReperAbove = 3, // the nearest entry above the middle
  ReperAboveElseBelow = 4,
  ReperInterpolate = 5, // linear between the neighbours below and above
  ReperInterpolateElseNeighbour = 6,
};

// One value that the user gives an object for the quantity of a 3D array at a
// depth; stored as 20 bytes (int32 code, f64 position, f64 value).
struct TReperValue {
  std::int32_t code;
  double position;
  double value;
};

// The base of every map object: which model quantity the object shows and
// its table of reper values.
class TQuantity {
public:
  static constexpr int ReperRecordSize = 20;

  TQuantity() = default;
  virtual ~TQuantity() = default;

  int GetCode() const { return code; }
  void SetCode(int value) { code = value; }

  // Replaces the value of the first entry with the code at exactly this
  // position, or appends one.
  void SetReperValue(double value, int quantityCode, double position);
  // The n-th entry of the code in table order; false (both 0) when absent.
  bool GetReperValue(int n, int quantityCode, double &value, double &position) const;
  int CountReperValues(int quantityCode) const;
  void DeleteReperValues(int quantityCode);
  void ClearReperValues() { reperValues.clear(); }
  const std::vector<TReperValue> &ReperValues() const { return reperValues; }

  // A value of the code for the depth interval a <= p < b by the lookup mode.
  bool FindReperValue(double &value, int quantityCode, double a, double b) const;

  virtual void Save(TTagStream &stream) const;
  virtual void Load(TTagStream &stream);

  std::int32_t lookupMode = ReperInside;
  // 1: an array's area value is the mean of the cells inside an outline;
  // any other value: their sum.
  std::int32_t averagingFlag = 1;

private:
  std::int32_t code = 0;
  std::vector<TReperValue> reperValues;
};

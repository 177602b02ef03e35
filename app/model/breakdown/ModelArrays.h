#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Kinds of model arrays; the same numbers mark the GIS layers that mirror them.
enum TModelArrayKindCode { ArrayKindInput = 50001, ArrayKindOutput = 50003, ArrayKindInputOnRequest = 50004 };

// Element types of model array data.
enum TModelArrayElement { ArrayElementInt32 = 0, ArrayElementDouble = 1 };

// One named array of a model: which quantity it holds, whether the user
// supplies it or the calculation produces it, its dimension and where its
// data lives. The register never owns the data.
struct TModelArray {
  int id = 0;
  std::string name; // at most 255 bytes kept
  int quantityCode = 0;
  int kind = ArrayKindOutput;
  int quantityFlag = 0;
  int dimension = 0;
  int elementType = ArrayElementDouble;
  void *data = nullptr;
  int meshSourceId = 0;
  int valueLocation = 0;
  // The data is the model's own storage (not memory of the engine or a caller).
  bool ownedStorage = false;
};

class TModelArrays {
public:
  static constexpr size_t MaxNameLength = 255;
  static constexpr int Growth = 10;

  explicit TModelArrays(int capacity = 10);

  void Add(int id, const std::string &name, int quantityCode, int kind, int quantityFlag, int dimension,
           int elementType, void *data, int meshSourceId = 0, int valueLocation = 0);
  void Clear() { records.clear(); }
  int Count() const { return static_cast<int>(records.size()); }
  int Capacity() const { return capacity; }
  TModelArray &Item(int i) { return records[static_cast<size_t>(i)]; }
  const TModelArray &Item(int i) const { return records[static_cast<size_t>(i)]; }
  // The first array with the id, or null.
  const TModelArray *Find(int id) const;
  TModelArray *Find(int id);
  int IndexOf(int id) const;

  // The lookups of the model window; "absent" answers as noted.
  std::string GetName(int id) const;                        // ""
  int GetQuantity(int indexOrId, bool byId) const;         // 0
  std::string FindName(int indexOrId, bool byId) const;    // ""
  int GetFlag(int id) const;                               // 0
  int GetDimension(int id) const;                          // 0
  int GetMeshSource(int id) const;                         // -1
  int GetMeshFlag(int id) const;                           // -1
  bool IsReadOnly(int id) const;                           // true
  // Whether the dimension code ends in d (12 and 22 count as plane arrays).
  bool HasDimension(int id, int d) const;

private:
  const TModelArray *At(int indexOrId, bool byId) const;

  std::vector<TModelArray> records;
  int capacity;
};

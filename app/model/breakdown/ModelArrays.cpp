#include "model/breakdown/ModelArrays.h"

TModelArrays::TModelArrays(int c) : capacity(c < 0 ? 0 : c) { records.reserve(static_cast<size_t>(capacity)); }

void TModelArrays::Add(int id, const std::string &name, int quantityCode, int kind, int quantityFlag,
                       int dimension, int elementType, void *data, int meshSourceId, int valueLocation) {
  if (Count() >= capacity) {
    capacity += Growth;
    records.reserve(static_cast<size_t>(capacity));
  }
  TModelArray a;
  a.id = id;
  a.name = name.substr(0, MaxNameLength);
  a.quantityCode = quantityCode;
  a.kind = kind;
  a.quantityFlag = quantityFlag;
  a.dimension = dimension;
  a.elementType = elementType;
  a.data = data;
  a.meshSourceId = meshSourceId;
  a.valueLocation = valueLocation;
  records.push_back(std::move(a));
}

const TModelArray *TModelArrays::Find(int id) const {
  for (const auto &a : records)
    if (a.id == id)
      return &a;
  return nullptr;
}

TModelArray *TModelArrays::Find(int id) {
  return const_cast<TModelArray *>(static_cast<const TModelArrays *>(this)->Find(id));
}

int TModelArrays::IndexOf(int id) const {
  for (int i = 0; i < Count(); ++i)
    if (records[static_cast<size_t>(i)].id == id)
      return i;
  return -1;
}

const TModelArray *TModelArrays::At(int indexOrId, bool byId) const {
  if (byId)
    return Find(indexOrId);
  if (indexOrId < 0 || indexOrId >= Count())
    return nullptr;
  return &records[static_cast<size_t>(indexOrId)];
}

std::string TModelArrays::GetName(int id) const {
  const TModelArray *a = Find(id);
  return a ? a->name : std::string();
}

int TModelArrays::GetQuantity(int indexOrId, bool byId) const {
  const TModelArray *a = At(indexOrId, byId);
  return a ? a->quantityCode : 0;
}

std::string TModelArrays::FindName(int indexOrId, bool byId) const {
  const TModelArray *a = At(indexOrId, byId);
  return a ? a->name : std::string();
}

int TModelArrays::GetFlag(int id) const {
  const TModelArray *a = Find(id);
  return a ? a->quantityFlag : 0;
}

int TModelArrays::GetDimension(int id) const {
  const TModelArray *a = Find(id);
  return a ? a->dimension : 0;
}

int TModelArrays::GetMeshSource(int id) const {
  const TModelArray *a = Find(id);
  return a ? a->meshSourceId : -1;
}

int TModelArrays::GetMeshFlag(int id) const {
  const TModelArray *a = Find(id);
  return a ? a->valueLocation : -1;
}

bool TModelArrays::IsReadOnly(int id) const {
  const TModelArray *a = Find(id);
  return !a || (a->kind != ArrayKindInput && a->kind != ArrayKindInputOnRequest);
}

bool TModelArrays::HasDimension(int id, int d) const {
  const TModelArray *a = Find(id);
  return a && a->dimension % 10 == d;
}

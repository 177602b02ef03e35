#pragma once

#include "data/QuantityLevels.h"
#include "model/FormModel.h"
#include "model/breakdown/NearestResample.h"
#include "model/breakdown/ModelArrays.h"
#include "model/breakdown/ModelParams.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TGArray;
class TGObj;

// A model whose arrays may be volumes: it keeps the register of its named
// arrays, mirrors each as a GIS layer (plane 402, volume 403), copies input
// layers into the model and the model's data back into the layers. Array
// data is laid out level by level, row by row, column fastest.
class TFModel3D : public TFModel {
public:
  TFModel3D();
  ~TFModel3D() override;

  // --- the register and the data of the arrays ---
  virtual void CreateArrays();
  virtual void FreeArrays();
  // Copies the values (as many as the array holds) into the array; i32
  // arrays take them truncated toward zero. Unknown id or no data: nothing.
  virtual void SetArrayData(int id, const double *data);
  // *out := a copy of the array's values as doubles, allocated with malloc
  // (the caller frees it with free), or null for an unknown array.
  virtual void GetArrayData(int id, double **out);
  // Number of values of the array (0 when unknown or without storage).
  int GetArrayValueCount(int id) const;

  std::string GetArrayName(int id) const { return arrays.GetName(id); }
  int GetArrayQuantity(int indexOrId, bool byId) const { return arrays.GetQuantity(indexOrId, byId); }
  int GetArrayCount() const { return arrays.Count(); }
  int GetArrayId(int index) const { return index >= 0 && index < arrays.Count() ? arrays.Item(index).id : 0; }
  std::string FindArrayName(int indexOrId, bool byId) const { return arrays.FindName(indexOrId, byId); }
  int GetArrayFlag(int id) const { return arrays.GetFlag(id); }
  int GetArrayDimension(int id) const { return arrays.GetDimension(id); }
  int GetArrayMeshSource(int id) const { return arrays.GetMeshSource(id); }
  int GetArrayMeshFlag(int id) const { return arrays.GetMeshFlag(id); }
  bool IsArrayReadOnly(int id) const { return arrays.IsReadOnly(id); }
  bool HasArrayDimension(int id, int d) const { return arrays.HasDimension(id, d); }
  const TModelArrays &GetArrays() const { return arrays; }
  const TQuantityLevels &GetArrayLevels() const { return arrayLevels; }
  TModelParams &GetParams() { return params; }

  // --- the layers ---
  void SyncArrayLayers() override;
  void LoadInputArrays(bool alsoOnRequest) override;
  void UpdateArrayLayers() override;
  // Rebuilds the input layers from their known values and loads them; mode 1
  // without, mode 2 with the layers' present values as known data, any other
  // mode as each layer says.
  virtual void BuildInputArrays(int mode);
  virtual void UpdateModelFromLayers();
  virtual void AfterInputsLoaded() {}

  // --- the model area ---
  virtual void GetArea(double *x1, double *y1, double *x2, double *y2) const;
  virtual void SetArea(double x1, double y1, double x2, double y2);

  int GetNz() const { return nz; }
  double GetDepth() const { return depth; }

protected:
  // Sets the lattice of the model's own arrays (storage is reallocated).
  void SetSizes(int columns, int rows, int levels);
  // The grid of a layer of the dimension code: false for codes without a grid.
  bool PlaneSize(int dimension, int &columns, int &rows) const;
  // For a layer whose values are codes that must never be blended, how its
  // levels map when the lattice changes; none for a layer of values.
  virtual std::optional<TLevelMap> CodeLevels(int /*id*/) const { return std::nullopt; }
  bool IsCodeLayer(int id) const { return CodeLevels(id).has_value(); }
  TGObj *FindLayer(int id) const;
  // The value of cell (i, j, k) of the volume layer with the code.
  bool LayerCellValue(int code, int i, int j, int k, double &value) const;

  int nz = 20;
  double depth = 200.0;
  TModelArrays arrays{10};
  TQuantityLevels arrayLevels{10};
  TModelParams params;

private:
  void RemoveStaleLayers();
  TGObj *CreateLayer(const TModelArray &a, int position);
  void MatchLayerSize(TGObj *layer, const TModelArray &a);
  void DescribeLayer(TGArray *layer, const TModelArray &a) const;
  void FillLayerFromModel(TGObj *layer, int id);
  void LoadLayer(TGObj *layer);
  void BuildInputLayers(int typeCode, int mode);
  void AllocateOwnStorage();
  size_t ExpectedCount(const TModelArray &a) const;

  std::vector<std::unique_ptr<std::uint64_t[]>> ownStorage;
};

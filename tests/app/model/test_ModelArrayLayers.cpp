#include "../../common/gis/MeshSourceSupport.h"
#include "gis/GArray.h"
#include "gis/GArrayI.h"
#include "gis/GIS.h"
#include "gis/GModelRect.h"
#include "gis/ObjectTypeCode.h"
#include "model/FormModel3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

namespace {

// A model of three plane arrays in its own storage: an input, an output laid
// over x and z, and an input of codes over y and z.
class TPlaneModel : public TFModel3D {
public:
  TPlaneModel() {
    axes.Fill();
    arrays.Add(501, "вход", 10, ArrayKindInput, 1, 2, ArrayElementDouble, nullptr);
    arrays.Add(502, "выход", 30, ArrayKindOutput, 1, 12, ArrayElementDouble, nullptr);
    arrays.Add(503, "номер", 1001, ArrayKindInputOnRequest, 1, 22, ArrayElementInt32, nullptr);
    arrayLevels.Add(501, {"группа", "вход"});
    SetSizes(4, 3, 2);
  }
  void Resize(int columns, int rows, int levels) { SetSizes(columns, rows, levels); }
  std::string GetQuantityName(int) const override { return ""; }
  std::string GetQuantityUnit(int) const override { return ""; }
  int GetQuantityUnitCode(int) const override { return -1; }

protected:
  std::optional<TLevelMap> CodeLevels(int id) const override {
    return id == 503 ? std::optional<TLevelMap>(TLevelMap{}) : std::nullopt;
  }
};

std::vector<double> DataOf(TFModel3D &m, int id) {
  double *p = nullptr;
  m.GetArrayData(id, &p);
  std::vector<double> v;
  if (p)
    v.assign(p, p + m.GetArrayValueCount(id));
  std::free(p);
  return v;
}

class ModelArrayLayers : public ::testing::Test {
protected:
  void SetUp() override {
    auto area = std::make_unique<TGModelRect>(&gis);
    area->SetDX(1);
    area->SetDY(1);
    gis.AddObject(nullptr, std::move(area), false);
    gis.OnObjectAdded = [this](void *, std::int32_t) { ++added; };
    gis.OnObjectDeleted = [this](void *, std::int32_t) { ++deleted; };
  }
  void TearDown() override {
    gis.OnObjectAdded = nullptr;
    gis.OnObjectDeleted = nullptr;
  }
  TGArray *Layer(int index) { return static_cast<TGArray *>(gis.GetObject(index)); }
  std::vector<int> Ids() {
    std::vector<int> ids;
    for (int i = 0; i < gis.GetObjectCount(); ++i)
      ids.push_back(gis.GetObject(i)->GetId());
    return ids;
  }

  TGIS gis;
  TPlaneModel model;
  int added = 0, deleted = 0;
};

TEST_F(ModelArrayLayers, OneLayerPerArrayInRegistrationOrderAfterTheModelArea) {
  model.SetGIS(&gis);
  ASSERT_EQ(gis.GetObjectCount(), 4);
  EXPECT_EQ(gis.GetObject(0)->GetTypeCode(), ObjectTypeModelRect);
  struct Case {
    int code;
    const char *name;
    const char *unit;
    int kind;
    bool readOnly;
    int columns, rows;
  } cases[] = {{501, "вход", "В", ArrayKindInput, false, 4, 3},
               {502, "выход", "В/м", ArrayKindOutput, true, 4, 2},
               {503, "номер", "", ArrayKindInputOnRequest, false, 3, 2}};
  for (int i = 0; i < 3; ++i) {
    TGArray *layer = Layer(i + 1);
    const auto &c = cases[i];
    EXPECT_EQ(layer->GetTypeCode(), ObjectTypeArray);
    EXPECT_EQ(layer->GetCode(), c.code);
    EXPECT_EQ(layer->GetName(), c.name);
    EXPECT_EQ(layer->GetUnitText(), c.unit);
    EXPECT_EQ(layer->GetModelArrayKind(), c.kind);
    EXPECT_EQ(layer->IsReadOnly(), c.readOnly);
    EXPECT_EQ(layer->GetNX(), c.columns);
    EXPECT_EQ(layer->GetNY(), c.rows);
    EXPECT_EQ(layer->averagingFlag, 1);
    EXPECT_FALSE(layer->IsRemovable());
  }
  EXPECT_EQ(Layer(1)->GetLevelNames(), (std::vector<std::string>{"группа", "вход"}));
  EXPECT_EQ(Layer(2)->GetLevelNames(), (std::vector<std::string>{"выход"}));
}

// A model with a triangulated array besides a plane one; its mesh source is
// not in the GIS, so the layer holds no values.
class TMeshModel : public TFModel3D {
public:
  explicit TMeshModel(int meshSource = 0) {
    axes.Fill();
    arrays.Add(601, "сетка", 10, ArrayKindOutput, 1, 32, ArrayElementDouble, nullptr, meshSource, 1);
    arrays.Add(602, "слои", 30, ArrayKindOutput, 1, 23, ArrayElementDouble, nullptr, meshSource, 1);
    arrays.Add(603, "план", 30, ArrayKindInput, 1, 2, ArrayElementDouble, nullptr);
    SetSizes(3, 3, 2);
  }
  std::string GetQuantityName(int) const override { return ""; }
  std::string GetQuantityUnit(int) const override { return ""; }
  int GetQuantityUnitCode(int) const override { return -1; }
};

TEST_F(ModelArrayLayers, TriangulatedArraysGetTheirLayersToo) {
  TMeshModel mesh;
  mesh.SetGIS(&gis);
  ASSERT_EQ(gis.GetObjectCount(), 4);
  EXPECT_EQ(gis.GetObject(1)->GetTypeCode(), ObjectTypeArrayI);
  EXPECT_EQ(gis.GetObject(2)->GetTypeCode(), ObjectTypeArrayI3D);
  EXPECT_EQ(gis.GetObject(3)->GetTypeCode(), ObjectTypeArray);
  EXPECT_EQ(Layer(1)->GetName(), "сетка");
  EXPECT_EQ(Layer(2)->GetUnitText(), "В/м");
  EXPECT_TRUE(Layer(1)->IsReadOnly());
  EXPECT_FALSE(Layer(1)->IsRemovable());
  const auto ids = Ids();
  added = deleted = 0;
  gis.SetModified(false);
  mesh.SyncArrayLayers();
  EXPECT_EQ(Ids(), ids);
  EXPECT_EQ(added + deleted, 0);
  EXPECT_FALSE(gis.IsModified());
  mesh.SetGIS(nullptr);
}

TEST_F(ModelArrayLayers, ATriangulatedLayerKeepsItsValuesWhileItsSourceStays) {
  const int source = gis.AddObject(nullptr, std::make_unique<meshtest::TTestMeshSource>(&gis), true);
  TMeshModel mesh(source);
  mesh.SetGIS(&gis);
  auto *layer = static_cast<TGArrayI *>(gis.FindArrayByCode(601));
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->GetMeshSourceId(), source);
  ASSERT_GT(layer->GetValueCount(), 0);
  layer->GetData()[0] = 5.0;
  mesh.SyncArrayLayers();
  EXPECT_EQ(layer->GetData()[0], 5.0);
  mesh.SetGIS(nullptr);
}

TEST_F(ModelArrayLayers, ASecondSynchronisationChangesNothing) {
  model.SetGIS(&gis);
  const auto ids = Ids();
  gis.SetModified(false);
  added = deleted = 0;
  model.SyncArrayLayers();
  EXPECT_EQ(Ids(), ids);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(deleted, 0);
  EXPECT_FALSE(gis.IsModified());
}

TEST_F(ModelArrayLayers, ALatticeChangeResizesEveryLayerAndCodesStayCodes) {
  model.SetGIS(&gis);
  const std::vector<double> codes = {-1, -1, -3, -2, -2, -4};
  Layer(3)->SetData(codes.data());
  gis.SetModified(false);
  model.Resize(5, 4, 5);
  model.SyncArrayLayers();
  EXPECT_TRUE(gis.IsModified());
  EXPECT_EQ(Layer(1)->GetNX(), 5);
  EXPECT_EQ(Layer(1)->GetNY(), 4);
  EXPECT_EQ(Layer(2)->GetNX(), 5);
  EXPECT_EQ(Layer(2)->GetNY(), 5);
  ASSERT_EQ(Layer(3)->GetNX(), 4);
  ASSERT_EQ(Layer(3)->GetNY(), 5);
  const double *v = Layer(3)->GetData();
  const std::set<double> seen(v, v + 20);
  for (double x : seen)
    EXPECT_NE(std::find(codes.begin(), codes.end(), x), codes.end()) << x;
  // The resized input reaches the model while no run is going on.
  EXPECT_EQ(DataOf(model, 503), std::vector<double>(v, v + 20));
}

TEST_F(ModelArrayLayers, LayersTakeTheirDescriptionBack) {
  model.SetGIS(&gis);
  TGArray *layer = Layer(2);
  layer->SetName("чужое");
  layer->SetUnitText("кг");
  layer->SetReadOnly(false);
  layer->SetModelArrayKind(ArrayKindInput);
  model.SyncArrayLayers();
  EXPECT_EQ(layer->GetName(), "выход");
  EXPECT_EQ(layer->GetUnitText(), "В/м");
  EXPECT_TRUE(layer->IsReadOnly());
  EXPECT_EQ(layer->GetModelArrayKind(), ArrayKindOutput);
}

TEST_F(ModelArrayLayers, DuplicateAndForeignLayersAreRemoved) {
  model.SetGIS(&gis);
  const int first = Layer(1)->GetId();
  const int later = gis.AddObject(nullptr, std::make_unique<TGArray>(&gis, 4, 3, 501), true);
  gis.AddObject(nullptr, std::make_unique<TGArray>(&gis, 2, 2, 777), true);
  model.SyncArrayLayers();
  EXPECT_EQ(gis.FindObjectById(first), nullptr);
  ASSERT_NE(gis.FindObjectById(later), nullptr);
  EXPECT_EQ(gis.FindArrayByCode(501)->GetId(), later);
  EXPECT_EQ(gis.FindArrayByCode(777), nullptr);
  int count501 = 0;
  for (int i = 0; i < gis.GetObjectCount(); ++i)
    count501 += gis.GetObject(i)->IsArray() && gis.GetObject(i)->GetCode() == 501;
  EXPECT_EQ(count501, 1);
  EXPECT_EQ(gis.GetObjectCount(), 4);
}

TEST_F(ModelArrayLayers, DataCopiesTruncateIntegersAndIgnoreUnknownIds) {
  const std::vector<double> values = {2.9, -1.5, -2.9, 0.4, 7, -7};
  model.SetArrayData(503, values.data());
  EXPECT_EQ(DataOf(model, 503), (std::vector<double>{2, -1, -2, 0, 7, -7}));
  double *none = reinterpret_cast<double *>(&model);
  model.GetArrayData(999, &none);
  EXPECT_EQ(none, nullptr);
  model.SetArrayData(999, values.data());
  model.SetArrayData(503, nullptr);
  EXPECT_EQ(DataOf(model, 503)[0], 2.0);
}

TEST_F(ModelArrayLayers, InputsFlowIntoTheModelAndOutputsIntoTheLayers) {
  model.SetGIS(&gis);
  std::vector<double> input(12), output(8, 5.0);
  for (int i = 0; i < 12; ++i)
    input[i] = 0.5 * i;
  Layer(1)->SetData(input.data());
  Layer(2)->SetData(output.data());
  model.LoadInputArrays(false);
  EXPECT_EQ(DataOf(model, 501), input);
  EXPECT_EQ(DataOf(model, 502), std::vector<double>(8, 0.0)); // outputs are never loaded
  const std::vector<double> codes = {1, 2, 3, 4, 5, 6};
  Layer(3)->SetData(codes.data());
  model.LoadInputArrays(false);
  EXPECT_EQ(DataOf(model, 503), std::vector<double>(6, 0.0)); // only on request
  model.LoadInputArrays(true);
  EXPECT_EQ(DataOf(model, 503), codes);
  model.UpdateArrayLayers();
  EXPECT_EQ(Layer(2)->GetData()[0], 0.0);
}

TEST_F(ModelArrayLayers, ALayerOfAnotherSizeIsNeverCopiedPastItsEnd) {
  model.SetGIS(&gis);
  Layer(1)->Resize(2, 2); // 4 values where the model keeps 12
  Layer(1)->Fill(9.0);
  model.LoadInputArrays(true);
  EXPECT_EQ(DataOf(model, 501), std::vector<double>(12, 0.0));
  model.UpdateArrayLayers();
  EXPECT_EQ(Layer(1)->GetData()[0], 9.0);
}

TEST_F(ModelArrayLayers, TheAreaMovesEveryLayerAndKeepsCodes) {
  model.SetGIS(&gis);
  const std::vector<double> codes = {-1, -3, -1, -2, -2, -4};
  Layer(3)->SetData(codes.data());
  model.SetArea(0.25, 0.0, 0.75, 1.0);
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Layer(3)->GetWorldBounds(x1, y1, x2, y2);
  EXPECT_DOUBLE_EQ(x1, 0.25);
  EXPECT_DOUBLE_EQ(x2, 0.75);
  for (int i = 0; i < 6; ++i)
    EXPECT_NE(std::find(codes.begin(), codes.end(), Layer(3)->GetData()[i]), codes.end()) << i;
  double a1 = 0, b1 = 0, a2 = 0, b2 = 0;
  model.GetArea(&a1, &b1, &a2, &b2);
  EXPECT_DOUBLE_EQ(a1, 0.25);
  EXPECT_DOUBLE_EQ(a2, 0.75);
}

} // namespace

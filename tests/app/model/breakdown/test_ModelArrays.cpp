#include "EngineFixture.h"

#include "data/QuantityLevels.h"
#include "model/breakdown/EngineArrays.h"
#include "model/breakdown/ModelArrays.h"

#include <string>

namespace {

class EngineArrays : public TEngineSuite {
protected:
  void SetUp() override {
    TEngineSuite::SetUp();
    RegisterEngineArrays(*engine, arrays, levels);
  }
  TModelArrays arrays{10};
  TQuantityLevels levels{10};
};

TEST_F(EngineArrays, TwentyOneVolumesInTheirOrderOverTheEngineMemory) {
  struct Case {
    int id;
    const char *name;
    int quantity;
    int kind;
    int element;
    const void *data;
  } cases[] = {
      {10000, "исходная плотность заряда", 3, ArrayKindInput, ArrayElementDouble, engine->ChargeInit},
      {10004, "критическая напряженность", 30, ArrayKindOutput, ArrayElementDouble, engine->Ec},
      {10005, "электроды", 1001, ArrayKindInput, ArrayElementDouble, engine->ElectrodeCodes},
      {10007, "материал", 1001, ArrayKindInput, ArrayElementInt32, engine->MaterialOfCell},
      {10008, "начальное приближение потенциала", 10, ArrayKindInput, ArrayElementDouble, engine->PotentialInit},
      {10009, "потенциала c q=0", 10, ArrayKindInput, ArrayElementDouble, engine->PotentialQ0},
      {20000, "плотность заряда", 3, ArrayKindOutput, ArrayElementDouble, engine->Charge},
      {20001, "потенциал", 10, ArrayKindOutput, ArrayElementDouble, engine->Potential},
      {20007, "структура", 1001, ArrayKindOutput, ArrayElementDouble, engine->NodeOfCell},
      {20010, "модуль напряженности", 30, ArrayKindOutput, ArrayElementDouble, engine->FieldAbs},
      {20011, "напряженность x", 30, ArrayKindOutput, ArrayElementDouble, engine->FieldX},
      {20012, "напряженность y", 30, ArrayKindOutput, ArrayElementDouble, engine->FieldY},
      {20013, "напряженность z", 30, ArrayKindOutput, ArrayElementDouble, engine->FieldZ},
      {20020, "плотность тока x", 41, ArrayKindOutput, ArrayElementDouble, engine->CurrentX},
      {20021, "плотность тока y", 41, ArrayKindOutput, ArrayElementDouble, engine->CurrentY},
      {20022, "плотность тока z", 41, ArrayKindOutput, ArrayElementDouble, engine->CurrentZ},
      {20023, "модуль плотности тока", 41, ArrayKindOutput, ArrayElementDouble, engine->CurrentAbs},
      {20030, "плотность тока смещения x", 41, ArrayKindOutput, ArrayElementDouble, engine->DispCurrentX},
      {20031, "плотность тока смещения y", 41, ArrayKindOutput, ArrayElementDouble, engine->DispCurrentY},
      {20032, "плотность тока смещения z", 41, ArrayKindOutput, ArrayElementDouble, engine->DispCurrentZ},
      {20033, "модуль плотности тока смещения", 41, ArrayKindOutput, ArrayElementDouble, engine->DispCurrentAbs},
  };
  ASSERT_EQ(arrays.Count(), 21);
  for (int i = 0; i < 21; ++i) {
    const auto &a = arrays.Item(i);
    const auto &c = cases[i];
    EXPECT_EQ(a.id, c.id);
    EXPECT_EQ(a.name, c.name);
    EXPECT_EQ(a.quantityCode, c.quantity);
    EXPECT_EQ(a.kind, c.kind);
    EXPECT_EQ(a.elementType, c.element);
    EXPECT_EQ(a.data, c.data);
    EXPECT_EQ(a.dimension, 3);
    EXPECT_EQ(a.quantityFlag, 1);
  }
  // The register grew past its first capacity by whole steps.
  EXPECT_EQ(arrays.Capacity(), 30);
}

TEST_F(EngineArrays, MenuCaptionsRepeatTheEntryBefore) {
  struct Case {
    int id;
    std::vector<std::string> names;
  } cases[] = {
      {10008, {"исходные", "потенциал"}},
      {10005, {"электроды"}},
      {20013, {"напряженность", "проекция z"}},
      {20020, {"плотность тока", "проводимости", "проекция x"}},
      {20032, {"плотность тока", "смещения", "проекция z"}},
  };
  for (const auto &c : cases) {
    ASSERT_EQ(levels.Count(c.id), static_cast<int>(c.names.size())) << c.id;
    for (size_t l = 0; l < c.names.size(); ++l)
      EXPECT_EQ(levels.Name(c.id, static_cast<int>(l)), c.names[l]) << c.id;
  }
}

TEST_F(EngineArrays, LookupsAndTheirAbsentAnswers) {
  EXPECT_FALSE(arrays.IsReadOnly(10000));
  EXPECT_FALSE(arrays.IsReadOnly(10005));
  EXPECT_TRUE(arrays.IsReadOnly(20001));
  EXPECT_TRUE(arrays.IsReadOnly(12345));
  EXPECT_EQ(arrays.GetName(20001), "потенциал");
  EXPECT_EQ(arrays.GetName(12345), "");
  EXPECT_EQ(arrays.GetQuantity(20020, true), 41);
  EXPECT_EQ(arrays.GetQuantity(3, false), 1001); // the fourth array, by index
  EXPECT_EQ(arrays.GetQuantity(21, false), 0);
  EXPECT_EQ(arrays.FindName(0, false), "исходная плотность заряда");
  EXPECT_EQ(arrays.GetDimension(12345), 0);
  EXPECT_EQ(arrays.GetMeshSource(12345), -1);
  EXPECT_EQ(arrays.GetMeshFlag(12345), -1);
  EXPECT_TRUE(arrays.HasDimension(20001, 3));
  EXPECT_FALSE(arrays.HasDimension(20001, 2));
  EXPECT_FALSE(arrays.HasDimension(12345, 0));
  EXPECT_TRUE(IsCodeArray(10005));
  EXPECT_TRUE(IsCodeArray(10007));
  EXPECT_FALSE(IsCodeArray(20001));
}

TEST(ModelArrays, PlaneCodesCountAsPlaneAndNamesAreCut) {
  TModelArrays arrays(1);
  arrays.Add(1, std::string(300, 'a'), 10, ArrayKindInputOnRequest, 0, 12, ArrayElementDouble, nullptr);
  arrays.Add(2, "b", 10, ArrayKindOutput, 0, 22, ArrayElementDouble, nullptr);
  EXPECT_EQ(arrays.Item(0).name.size(), 255u);
  EXPECT_TRUE(arrays.HasDimension(1, 2));
  EXPECT_TRUE(arrays.HasDimension(2, 2));
  EXPECT_FALSE(arrays.IsReadOnly(1));
  EXPECT_EQ(arrays.Capacity(), 11);
  EXPECT_EQ(arrays.IndexOf(2), 1);
  EXPECT_EQ(arrays.IndexOf(3), -1);
}

} // namespace

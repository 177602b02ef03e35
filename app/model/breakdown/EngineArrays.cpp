#include "model/breakdown/EngineArrays.h"

#include "data/QuantityLevels.h"
#include "model/breakdown/ModelArrays.h"

namespace {

constexpr int Volume = 3;
constexpr int QuantityFlag = 1;

struct TArrayDef {
  int id;
  const char *name;
  int quantityCode;
  int kind;
  int elementType;
  void *(*data)(THeap &);
};

template <auto Member> void *DataOf(THeap &h) { return &(h.*Member)[0]; }

// "потенциала c q=0" carries a Latin "c": the name identifies stored layers.
const TArrayDef ArrayDefs[] = {
    {10000, "исходная плотность заряда", 3, ArrayKindInput, ArrayElementDouble, DataOf<&THeap::ChargeInit>},
    {10004, "критическая напряженность", 30, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::Ec>},
    {10005, "электроды", 1001, ArrayKindInput, ArrayElementDouble, DataOf<&THeap::ElectrodeCodes>},
    {10007, "материал", 1001, ArrayKindInput, ArrayElementInt32, DataOf<&THeap::MaterialOfCell>},
    {10008, "начальное приближение потенциала", 10, ArrayKindInput, ArrayElementDouble,
     DataOf<&THeap::PotentialInit>},
    {10009, "потенциала c q=0", 10, ArrayKindInput, ArrayElementDouble, DataOf<&THeap::PotentialQ0>},
    {20000, "плотность заряда", 3, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::Charge>},
    {20001, "потенциал", 10, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::Potential>},
    {20007, "структура", 1001, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::NodeOfCell>},
    {20010, "модуль напряженности", 30, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::FieldAbs>},
    {20011, "напряженность x", 30, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::FieldX>},
    {20012, "напряженность y", 30, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::FieldY>},
    {20013, "напряженность z", 30, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::FieldZ>},
    {20020, "плотность тока x", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::CurrentX>},
    {20021, "плотность тока y", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::CurrentY>},
    {20022, "плотность тока z", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::CurrentZ>},
    {20023, "модуль плотности тока", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::CurrentAbs>},
    {20030, "плотность тока смещения x", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::DispCurrentX>},
    {20031, "плотность тока смещения y", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::DispCurrentY>},
    {20032, "плотность тока смещения z", 41, ArrayKindOutput, ArrayElementDouble, DataOf<&THeap::DispCurrentZ>},
    {20033, "модуль плотности тока смещения", 41, ArrayKindOutput, ArrayElementDouble,
     DataOf<&THeap::DispCurrentAbs>},
};

struct TCaptionDef {
  int id;
  std::vector<std::string> names; // "" repeats the entry before at that level
};

const TCaptionDef CaptionDefs[] = {
    {10000, {"исходные", "плотность заряда"}},
    {10008, {"", "потенциал"}},
    {10009, {"", "потенциал q=0"}},
    {10005, {"электроды"}},
    {10004, {"критическая напряженность"}},
    {10007, {"материал"}},
    {20000, {"плотность заряда"}},
    {20001, {"потенциал"}},
    {20007, {"структура"}},
    {20010, {"напряженность", "модуль"}},
    {20011, {"", "проекция x"}},
    {20012, {"", "проекция y"}},
    {20013, {"", "проекция z"}},
    {20023, {"плотность тока", "проводимости", "модуль"}},
    {20020, {"", "", "проекция x"}},
    {20021, {"", "", "проекция y"}},
    {20022, {"", "", "проекция z"}},
    {20033, {"плотность тока", "смещения", "модуль"}},
    {20030, {"", "", "проекция x"}},
    {20031, {"", "", "проекция y"}},
    {20032, {"", "", "проекция z"}},
};

} // namespace

void RegisterEngineArrays(THeap &engine, TModelArrays &arrays, TQuantityLevels &arrayLevels) {
  for (const auto &def : ArrayDefs)
    arrays.Add(def.id, def.name, def.quantityCode, def.kind, QuantityFlag, Volume, def.elementType,
               def.data(engine));
  for (const auto &def : CaptionDefs)
    arrayLevels.Add(def.id, def.names);
}

bool IsCodeArray(int id) { return id == ArrayElectrodes || id == ArrayMaterial || id == ArrayStructure; }

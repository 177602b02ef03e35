#include "EngineFixture.h"

#include "data/Axes.h"
#include "data/QuantityLevels.h"
#include "model/breakdown/OutputQuantities.h"

#include <set>

namespace {

class OutputQuantities : public TEngineSuite {
protected:
  void SetUp() override {
    TEngineSuite::SetUp();
    BuildOutputQuantities(*engine, outputs, channel, levels);
    axes.Fill();
  }
  TValues_integral outputs, channel;
  TQuantityLevels levels{10};
  TAxes axes;
};

TEST_F(OutputQuantities, ThirtyFiveOutputsInRegistrationOrderWithDistinctIds) {
  ASSERT_EQ(outputs.Count(), 35);
  EXPECT_EQ(outputs.Item(0).id, 104);
  EXPECT_EQ(outputs.Item(14).id, 100);
  EXPECT_EQ(outputs.Item(23).id, 5);
  EXPECT_EQ(outputs.Item(28).id, 200);
  EXPECT_EQ(outputs.Item(34).id, 211);
  std::set<int> ids;
  for (int i = 0; i < outputs.Count(); ++i)
    ids.insert(outputs.Item(i).id);
  EXPECT_EQ(ids.size(), 35u);
}

TEST_F(OutputQuantities, ValueAddressesReadTheEngineFields) {
  struct Case {
    int id;
    double THeap::*field;
  } cases[] = {{104, &THeap::MaxLinearConductance}, {103, &THeap::ElementCount}, {5, &THeap::MeanCurrent},
               {118, &THeap::AppliedVoltage},      {212, &THeap::CsI},          {211, &THeap::GapI},
               {110, &THeap::Dimension},           {135, &THeap::MinLinearCharge}};
  double marker = 1.25;
  for (const auto &c : cases) {
    engine->*c.field = marker;
    const auto *record = outputs.Find(c.id);
    ASSERT_NE(record, nullptr) << c.id;
    ASSERT_NE(record->value, nullptr) << c.id;
    EXPECT_EQ(*record->value, marker) << c.id;
    marker += 1.0;
  }
}

TEST_F(OutputQuantities, NamesUnitsAndCaptionsFromTheCatalogue) {
  struct Case {
    int id;
    const char *name;
    int unitCode;
    const char *unit;
    const char *group;
  } cases[] = {
      {105, "Макс. ток в каналах", 40, "А", "Распределения по р.с."},
      {132, "Макс. линейная плотность джоулевой мощности", 500, "Вт/м", "Распределения по р.с."},
      {121, "Джоулево тепло структуры", 130, "Дж", "Разрядная структура"},
      {213, "Эквивалентное сопротивление разрядного промежутка", 440, "Ом", "Разрядный промежуток"},
      {214, "Эквивалентная проводимость разрядного промежутка", 470, "См", "Разрядный промежуток"},
      {211, "Ток через разрядный промежуток", 40, "А", "Генератор"},
  };
  for (const auto &c : cases) {
    const auto *record = outputs.Find(c.id);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->name, c.name);
    EXPECT_EQ(record->unitCode, c.unitCode);
    EXPECT_EQ(axes.Find(record->unitCode).unit, c.unit);
    EXPECT_EQ(levels.Count(c.id), 2);
    EXPECT_EQ(levels.Name(c.id, 0), c.group);
    EXPECT_EQ(levels.Name(c.id, 1), c.name);
  }
}

TEST_F(OutputQuantities, ChannelQuantitiesHaveNoEngineAddress) {
  ASSERT_EQ(channel.Count(), 8);
  const int ids[] = {2000, 2001, 2002, 2003, 2005, 2008, 2009, 2010};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(channel.Item(i).id, ids[i]);
    EXPECT_EQ(channel.Item(i).value, nullptr);
  }
  EXPECT_EQ(channel.Find(2002)->name, "Напряженность");
  EXPECT_EQ(channel.Find(2002)->unitCode, 30);
  EXPECT_EQ(channel.Find(2004), nullptr);
}

TEST_F(OutputQuantities, RebuildingStartsFromEmptyCatalogues) {
  BuildOutputQuantities(*engine, outputs, channel, levels);
  EXPECT_EQ(outputs.Count(), 35);
  EXPECT_EQ(channel.Count(), 8);
  EXPECT_EQ(levels.ItemCount(), 35);
}

} // namespace

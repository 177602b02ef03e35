#include "data/Axes.h"
#include "data/QuantityLevels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AxisCase {
  int code;
  const char *name;
  const char *unit;
};

class AxesLookup : public testing::TestWithParam<AxisCase> {};

TEST_P(AxesLookup, FindsFirstEntryOfCode)
{
  TAxes axes;
  axes.Fill();
  const AxisCase &c = GetParam();
  const TAxisEntry &e = axes.Find(c.code);
  EXPECT_EQ(e.name, c.name) << c.code;
  EXPECT_EQ(e.unit, c.unit) << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    SystemCodes, AxesLookup,
    testing::Values(
        AxisCase{0, "Заряд", "Кл"}, AxisCase{1, "Заряд", "Кл/м"}, AxisCase{3, "Заряд", "Кл/м^3"},
        AxisCase{10, "Потенциал", "В"}, AxisCase{30, "Напряженность", "В/м"}, AxisCase{40, "Сила тока", "А"},
        AxisCase{41, "Плотность тока", "А/м^2"}, AxisCase{60, "Погонная проводимость", "См·м"},
        AxisCase{90, "Отн. диэл. проницаемость", ""}, AxisCase{100, "Длина", "м"},
        AxisCase{130, "Энергия", "Дж"}, AxisCase{150, "Мощности", "Вт"}, AxisCase{440, "Сопротивление", "Ом"},
        AxisCase{450, "Погонное сопротивление", "Ом/м"}, AxisCase{460, "Удельное сопротивление", "Ом·м"},
        AxisCase{470, "Проводимость", "См"}, AxisCase{490, "Линейная плотность энергии", "Дж/м"},
        AxisCase{500, "Линейная плотность мощности", "Вт/м"}, AxisCase{1001, "Номер", ""},
        AxisCase{1002, "Число", ""}, AxisCase{1003, "Размерность", ""}, AxisCase{20, "Температура", "°C"},
        AxisCase{560, "Сумма", "тыс.руб./чел."}, AxisCase{9999, "Заряд", "Кл"}, AxisCase{-1, "Заряд", "Кл"}));

TEST(Axes, CatalogueHasItsEntriesInOrder)
{
  TAxes axes;
  axes.Fill();
  ASSERT_EQ(axes.Count(), 121);
  EXPECT_EQ(axes.Item(0).code, 0);
  EXPECT_EQ(axes.Item(4).code, 10);
  EXPECT_EQ(axes.Item(120).code, 560);
  int count440 = 0;
  for (int i = 0; i < axes.Count(); ++i)
    count440 += axes.Item(i).code == 440;
  EXPECT_EQ(count440, 5);
  // Filling again does not duplicate.
  axes.Fill();
  EXPECT_EQ(axes.Count(), 121);
}

TEST(Axes, UnitsKeepTheirLatinLetters)
{
  TAxes axes;
  axes.Fill();
  EXPECT_EQ(axes.Find(31).unit, "В/"
                                "c"
                                "м");
  EXPECT_EQ(axes.Find(33).unit, "кВ/"
                                "c"
                                "м");
  EXPECT_EQ(axes.Find(31).unit.find("\xd1\x81"), std::string::npos); // no Cyrillic "с"
  EXPECT_EQ(axes.Find(70).unit.back(), 'K');
  EXPECT_EQ(axes.Find(80).unit.back(), 'K');
}

TEST(Axes, AddAndClear)
{
  TAxes axes;
  EXPECT_EQ(axes.Find(5).name, "Заряд"); // an empty catalogue answers like the filled one
  axes.Add("Первая", "", 7);
  axes.Add("Вторая", "ед.", 7);
  EXPECT_EQ(axes.Find(7).name, "Первая");
  EXPECT_EQ(axes.Find(8).name, "Первая");
  axes.Clear();
  EXPECT_EQ(axes.Count(), 0);
}

TEST(QuantityLevels, EmptyNamesRepeatThePreviousItem)
{
  TQuantityLevels levels(10);
  levels.Add(20023, {"плотность тока", "проводимости", "модуль"});
  levels.Add(20020, {"", "", "проекция x"});
  levels.Add(20021, {"", "смещения", "проекция y"});
  EXPECT_EQ(levels.Count(20020), 3);
  EXPECT_EQ(levels.Name(20020, 0), "плотность тока");
  EXPECT_EQ(levels.Name(20020, 1), "проводимости");
  EXPECT_EQ(levels.Name(20020, 2), "проекция x");
  EXPECT_EQ(levels.Name(20021, 0), "плотность тока");
  EXPECT_EQ(levels.Name(20021, 1), "смещения");
}

TEST(QuantityLevels, AbsentKeyOrLevelAnswersDataText)
{
  TQuantityLevels levels(10);
  levels.Add(10000, {"исходные", "потенциал"});
  EXPECT_EQ(levels.Count(20001), 1);
  EXPECT_EQ(levels.Name(20001, 0), "данные 20001");
  EXPECT_EQ(levels.Name(10000, 2), "данные 10000");
  EXPECT_EQ(levels.Name(10000, -1), "данные 10000");
  EXPECT_EQ(levels.Find(20001), nullptr);
  ASSERT_NE(levels.Find(10000), nullptr);
  EXPECT_EQ(levels.Find(10000)->names.size(), 2u);
}

TEST(QuantityLevels, GrowsByTenAndKeepsItems)
{
  TQuantityLevels levels(10);
  for (int i = 0; i < 11; ++i)
    levels.Add(100 + i, {"уровень " + std::to_string(i)});
  EXPECT_EQ(levels.Capacity(), 20);
  EXPECT_EQ(levels.ItemCount(), 11);
  for (int i = 0; i < 11; ++i)
    EXPECT_EQ(levels.Name(100 + i, 0), "уровень " + std::to_string(i));
  levels.Clear();
  EXPECT_EQ(levels.ItemCount(), 0);
  EXPECT_EQ(levels.Count(100), 1);
}

TEST(QuantityLevels, FirstItemWithKeyWins)
{
  TQuantityLevels levels(1);
  levels.Add(5, {"первый"});
  levels.Add(5, {"второй"});
  EXPECT_EQ(levels.Name(5, 0), "первый");
}

} // namespace

#include "model/breakdown/OutputQuantities.h"

#include "data/QuantityLevels.h"

namespace {

struct TOutputDef {
  int id;
  const char *name;
  int unitCode;
  const double THeap::*field;
  const char *group; // null: the group of the entry before
};

const TOutputDef OutputDefs[] = {
    {104, "Макс. погонная проводимость", 60, &THeap::MaxLinearConductance, "Распределения по р.с."},
    {105, "Макс. ток в каналах", 40, &THeap::MaxChannelCurrent, nullptr},
    {106, "Мин. погонная проводимость", 60, &THeap::MinLinearConductance, nullptr},
    {107, "Мин. ток в каналах", 40, &THeap::MinChannelCurrent, nullptr},
    {111, "Макс. напряженность в каналах", 30, &THeap::MaxChannelField, nullptr},
    {112, "Макс. напряженность роста", 30, &THeap::MaxGrowthField, nullptr},
    {113, "Мин. напряженность в каналах", 30, &THeap::MinChannelField, nullptr},
    {114, "Мин. напряженность роста", 30, &THeap::MinGrowthField, nullptr},
    {130, "Макс. линейная плотность джоулева тепла", 490, &THeap::MaxLinearHeat, nullptr},
    {131, "Мин. линейная плотность джоулева тепла", 490, &THeap::MinLinearHeat, nullptr},
    {132, "Макс. линейная плотность джоулевой мощности", 500, &THeap::MaxLinearPower, nullptr},
    {133, "Мин. линейная плотность джоулевой мощности", 500, &THeap::MinLinearPower, nullptr},
    {134, "Макс. линейная плотность заряда", 1, &THeap::MaxLinearCharge, nullptr},
    {135, "Мин. линейная плотность заряда", 1, &THeap::MinLinearCharge, nullptr},
    {100, "Заряд структуры", 0, &THeap::StructureCharge, "Разрядная структура"},
    {101, "Длина каналов", 100, &THeap::ChannelLength, nullptr},
    {102, "Размер структуры", 100, &THeap::StructureSize, nullptr},
    {103, "Число элементов структуры", 1002, &THeap::ElementCount, nullptr},
    {108, "Число каналов", 1002, &THeap::ChannelCount, nullptr},
    {109, "Число сегментов структуры", 1002, &THeap::SegmentCount, nullptr},
    {110, "Размерность структуры", 1003, &THeap::Dimension, nullptr},
    {121, "Джоулево тепло структуры", 130, &THeap::JouleHeat, nullptr},
    {122, "Джоулева мощность структуры", 150, &THeap::JoulePower, nullptr},
    {5, "Средний ток", 40, &THeap::MeanCurrent, "Разрядный промежуток"},
    {118, "Прикладываемое напряжение", 10, &THeap::AppliedVoltage, nullptr},
    {207, "Ток через эквивалентное сопротивление", 40, &THeap::GenIr, nullptr},
    {213, "Эквивалентное сопротивление разрядного промежутка", 440, &THeap::GapR, nullptr},
    {214, "Эквивалентная проводимость разрядного промежутка", 470, &THeap::GapG, nullptr},
    {200, "Напряжение на конденсаторе", 10, &THeap::GenUc, "Генератор"},
    {201, "Ток в генераторе", 40, &THeap::GenI, nullptr},
    {208, "Напряжение на сопротивлении", 10, &THeap::GenUr, nullptr},
    {209, "Напряжение на катушке", 10, &THeap::GenUl, nullptr},
    {210, "Сопротивление генератора", 440, &THeap::GenR, nullptr},
    {212, "Ток через паразитную емкость", 40, &THeap::CsI, nullptr},
    {211, "Ток через разрядный промежуток", 40, &THeap::GapI, nullptr},
};

struct TChannelDef {
  int id;
  const char *name;
  int unitCode;
};

// Only the ids are stored (in projects and plot choices); the names are shown.
const TChannelDef ChannelDefs[] = {
    {ChannelConductance, "Проводимость", 60},
    {ChannelCurrent, "Ток", 40},
    {ChannelField, "Напряженность", 30},
    {ChannelPotential, "Потенциал", 10},
    {ChannelCriticalField, "Критическая напряженность", 30},
    {ChannelLinearHeat, "Линейная плотность джоулева тепла", 490},
    {ChannelLinearPower, "Линейная плотность джоулевой мощности", 500},
    {ChannelLinearCharge, "Линейная плотность заряда", 1},
};

} // namespace

void BuildOutputQuantities(const THeap &engine, TValues_integral &outputs, TValues_integral &channel,
                           TQuantityLevels &menuLevels) {
  outputs.Clear();
  channel.Clear();
  menuLevels.Clear();
  for (const auto &def : OutputDefs) {
    outputs.Add(def.name, def.id, def.unitCode, &(engine.*def.field));
    menuLevels.Add(def.id, {def.group ? def.group : "", def.name});
  }
  for (const auto &def : ChannelDefs)
    channel.Add(def.name, def.id, def.unitCode, nullptr);
}

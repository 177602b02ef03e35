#include "EngineFixture.h"

#include "model/breakdown/RunCheck.h"

#include <functional>
#include <string>
#include <tuple>

namespace {

class RunCheck : public TEngineSuite {};

TEST_F(RunCheck, DefaultsMayRun) { EXPECT_EQ(CheckEngineInputs(*engine), ""); }

// Every cell of the electrode's two codes becomes free dielectric.
void RemoveElectrode(THeap &h, double evenCode) {
  const long long n = static_cast<long long>(h.N1) * h.N2 * h.N3;
  for (long long c = 0; c < n; ++c)
    if (h.ElectrodeCodes[c] == evenCode || h.ElectrodeCodes[c] == evenCode - 1)
      h.ElectrodeCodes[c] = -1.0;
}

TEST_F(RunCheck, EveryFaultyInputRefusesTheRun) {
  const int cell = 1 + engine->N1 * (2 + engine->N3 * 3);
  struct Case {
    const char *what;
    std::function<void(THeap &)> spoil;
    const char *expectedPart;
  } cases[] = {
      {"fractional code", [&](THeap &h) { h.ElectrodeCodes[cell] = -2.5; }, "код электрода -2.5 "},
      {"code a hair off -3", [&](THeap &h) { h.ElectrodeCodes[cell] = -2.9999999999999982; },
       "код электрода -2.9999999999999982 "},
      {"no lower plate", [](THeap &h) { RemoveElectrode(h, -2.0); }, "Нет нижнего электрода"},
      {"no upper plate", [](THeap &h) { RemoveElectrode(h, -4.0); }, "Нет верхнего электрода"},
      {"code of a third electrode", [&](THeap &h) { h.ElectrodeCodes[cell] = -6.0; }, "код электрода -6"},
      {"code 0", [&](THeap &h) { h.ElectrodeCodes[cell] = 0.0; }, "(1, 3, 2)"},
      {"deleted material", [&](THeap &h) { h.MaterialOfCell[cell] = 1; }, "Материал 1"},
      {"negative material", [&](THeap &h) { h.MaterialOfCell[cell] = -1; }, "Материал -1"},
      {"one electrode", [](THeap &h) { h.ElectrodeCount = 1; }, "электродов"},
      {"zero step", [](THeap &h) { h.DtInit = 0; }, "Шаги"},
      {"negative growth step", [](THeap &h) { h.DtGrowth = -1e-9; }, "Шаги"},
      {"no spark step", [](THeap &h) { h.DtSpark = 0.0 / 0.0; }, "Шаги"},
      {"flat cell", [](THeap &h) { h.CellSize2 = 0; }, "Размеры ячейки"},
  };
  const THeap &h = *engine;
  const auto saved = std::make_tuple(h.ElectrodeCount, h.DtInit, h.DtGrowth, h.DtSpark, h.CellSize2);
  auto restore = [&] {
    std::tie(engine->ElectrodeCount, engine->DtInit, engine->DtGrowth, engine->DtSpark, engine->CellSize2) = saved;
    THeapSetDefaults(engine);
  };
  for (const auto &c : cases) {
    restore();
    ASSERT_EQ(CheckEngineInputs(*engine), "");
    c.spoil(*engine);
    const std::string reason = CheckEngineInputs(*engine);
    EXPECT_NE(reason.find(c.expectedPart), std::string::npos) << c.what << ": " << reason;
  }
  restore();
}

TEST_F(RunCheck, CodesOfTheLastElectrodeAreValid) {
  const int cell = 0;
  engine->ElectrodeCodes[cell] = -5.0; // odd code of electrode 1 of two
  EXPECT_EQ(CheckEngineInputs(*engine), "");
  engine->ElectrodeCodes[cell] = -1.0;
}

} // namespace

#include "data/FormulaRandom.h"

#include "data/RuntimeRandom.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int TableSize = 32;
constexpr double MaxUniform = 0.9999999999988;

// Minimal standard generator (RND1) and the first generator of RND2.
constexpr std::int32_t Im1 = 2147483647;
constexpr std::int32_t Ia1 = 16807;
constexpr std::int32_t Iq1 = 127773;
constexpr std::int32_t Ir1 = 2836;
constexpr std::int32_t Div1 = 67108864;
constexpr double Scale1 = 4.656612875245797e-10;

constexpr std::int32_t ImA = 2147483563;
constexpr std::int32_t ImB = 2147483399;
constexpr std::int32_t IaA = 40014;
constexpr std::int32_t IaB = 40692;
constexpr std::int32_t IqA = 53668;
constexpr std::int32_t IqB = 52774;
constexpr std::int32_t IrA = 12211;
constexpr std::int32_t IrB = 3791;
constexpr std::int32_t DivA = 67108862;
constexpr double ScaleA = 4.656613057391769e-10;

constexpr std::int32_t SubModulus = 1000000000;
constexpr std::int32_t SubSeed = 161803398;

struct ShuffleState {
  std::int32_t table[TableSize] = {};
  std::int32_t lastOutput = 0;
};

struct GeneratorState {
  std::int32_t seedRnd1 = -345656;
  std::int32_t seedRnd2 = -566656;
  std::int32_t seedRnd3 = -883656;
  std::int32_t seedNrm = -23656;
  ShuffleState shuffle;
  std::int32_t secondSeed = 123456789;
  std::int32_t subTable[56] = {};
  int subNext = 0;
  int subNextP = 0;
  bool subReady = false;
  double keptNormal = 0.0;
  bool normalKept = false;
};

GeneratorState g;

// One step s := a*s mod m without overflow (Schrage's decomposition).
std::int32_t Step(std::int32_t s, std::int32_t a, std::int32_t m, std::int32_t q, std::int32_t r)
{
  std::int32_t k = s / q;
  s = a * (s - k * q) - r * k;
  if (s < 0)
    s += m;
  return s;
}

void FillShuffle(std::int32_t &seed)
{
  for (int j = TableSize + 7; j >= 0; --j) {
    seed = Step(seed, Ia1, Im1, Iq1, Ir1);
    if (j < TableSize)
      g.shuffle.table[j] = seed;
  }
}

void FillShuffleA(std::int32_t &seed)
{
  for (int j = TableSize + 7; j >= 0; --j) {
    seed = Step(seed, IaA, ImA, IqA, IrA);
    if (j < TableSize)
      g.shuffle.table[j] = seed;
  }
}

// The shuffle table is shared by RND1 and RND2; either may have left the
// other's last output in it, which can point one past the table.
int ShuffleIndex(std::int32_t divisor)
{
  int j = g.shuffle.lastOutput / divisor;
  return j < TableSize ? j : TableSize - 1;
}

double Uniform2(std::int32_t &seed)
{
  if (seed <= 0) {
    seed = -seed < 1 ? 1 : -seed;
    g.secondSeed = seed;
    FillShuffleA(seed);
    g.shuffle.lastOutput = g.shuffle.table[0];
  }
  seed = Step(seed, IaA, ImA, IqA, IrA);
  g.secondSeed = Step(g.secondSeed, IaB, ImB, IqB, IrB);
  int j = ShuffleIndex(DivA);
  std::int32_t out = g.shuffle.table[j] - g.secondSeed;
  g.shuffle.table[j] = seed;
  if (out < 1)
    out += ImA - 1;
  g.shuffle.lastOutput = out;
  double v = ScaleA * out;
  return v > MaxUniform ? MaxUniform : v;
}

void SetUpSubtractive()
{
  std::int32_t s = g.seedRnd3 < 0 ? -g.seedRnd3 : g.seedRnd3;
  std::int32_t mj = SubSeed - s;
  mj = (mj < 0 ? -mj : mj) % SubModulus;
  g.subTable[55] = mj;
  std::int32_t mk = 1;
  for (int i = 1; i <= 54; ++i) {
    int ii = (21 * i) % 55;
    g.subTable[ii] = mk;
    mk = mj - mk;
    if (mk < 0)
      mk += SubModulus;
    mj = g.subTable[ii];
  }
  for (int pass = 0; pass < 4; ++pass)
    for (int i = 1; i <= 55; ++i) {
      g.subTable[i] -= g.subTable[1 + (i + 30) % 55];
      if (g.subTable[i] < 0)
        g.subTable[i] += SubModulus;
    }
  g.subNext = 0;
  g.subNextP = 31;
  g.seedRnd3 = 1;
  g.subReady = true;
}

} // namespace

double FormulaRnd()
{
  return RuntimeRandom().Next() * (1.0 / TRuntimeRandom::MaxValue);
}

double FormulaRnd1()
{
  std::int32_t &seed = g.seedRnd1;
  if (seed <= 0 || g.shuffle.lastOutput == 0) {
    seed = -seed < 1 ? 1 : -seed;
    FillShuffle(seed);
    g.shuffle.lastOutput = g.shuffle.table[0];
  }
  seed = Step(seed, Ia1, Im1, Iq1, Ir1);
  int j = ShuffleIndex(Div1);
  g.shuffle.lastOutput = g.shuffle.table[j];
  g.shuffle.table[j] = seed;
  double v = Scale1 * g.shuffle.lastOutput;
  return v > MaxUniform ? MaxUniform : v;
}

double FormulaRnd2()
{
  return Uniform2(g.seedRnd2);
}

double FormulaRnd3()
{
  if (!g.subReady || g.seedRnd3 < 0)
    SetUpSubtractive();
  if (++g.subNext == 56)
    g.subNext = 1;
  if (++g.subNextP == 56)
    g.subNextP = 1;
  std::int32_t mj = g.subTable[g.subNext] - g.subTable[g.subNextP];
  if (mj < 0)
    mj += SubModulus;
  g.subTable[g.subNext] = mj;
  return mj * 1e-9;
}

double FormulaNrm()
{
  if (g.seedNrm < 0)
    g.normalKept = false;
  if (g.normalKept) {
    g.normalKept = false;
    return g.keptNormal;
  }
  double p, q, r;
  do {
    p = 2.0 * Uniform2(g.seedNrm) - 1.0;
    q = 2.0 * Uniform2(g.seedNrm) - 1.0;
    r = p * p + q * q;
  } while (r >= 1.0 || r == 0.0);
  double factor = std::sqrt(-2.0 * std::log(r) / r);
  g.keptNormal = p * factor;
  g.normalKept = true;
  return q * factor;
}

void FormulaRandomReset()
{
  g = GeneratorState();
  RuntimeRandom().Seed(1);
}

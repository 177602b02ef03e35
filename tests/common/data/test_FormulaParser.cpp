#include "data/FormulaParser.h"
#include "data/FormulaRandom.h"
#include "data/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Compiled {
  formula *f = nullptr;
  bool error = false;
  explicit Compiled(const char *text) : f(formula_compile(text)), error(formula_compile_error) {}
  ~Compiled() { formula_free(&f); }
  Compiled(const Compiled &) = delete;
  Compiled &operator=(const Compiled &) = delete;
};

struct ValueCase {
  const char *text;
  double value;
  bool evalError;
};

class FormulaValue : public testing::TestWithParam<ValueCase> {};

TEST_P(FormulaValue, EvaluatesToExpectedValue)
{
  const ValueCase &c = GetParam();
  Compiled compiled(c.text);
  ASSERT_FALSE(compiled.error) << c.text;
  ASSERT_NE(compiled.f, nullptr) << c.text;
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), c.value) << c.text;
  EXPECT_EQ(formula_eval_error, c.evalError) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, FormulaValue,
    testing::Values(ValueCase{"1+2*3", 7, false}, ValueCase{"(1+2)*3", 9, false},
                    ValueCase{"2*(-3)", -6, false}, ValueCase{"-2^2", -4, false},
                    ValueCase{"-(2)", -2, false}, ValueCase{"2^3^2", 64, false}, ValueCase{"8/2/2", 2, false},
                    ValueCase{"10-4-3", 3, false}, ValueCase{"2+3%2*4", 6, false}, ValueCase{"7%3", 1, false},
                    ValueCase{"-7%3", -1, false}, ValueCase{"5%0", 0, false}, ValueCase{"5)+7", 5, false},
                    ValueCase{"((2))", 2, false}, ValueCase{"2.5e3", 2500, false}, ValueCase{"2x", 2, false},
                    ValueCase{" 3 ", 3, false}, ValueCase{"SIN 1", 0, false},
                    ValueCase{"PI", 3.141592653589793, false}, ValueCase{"E", 2.718281828459045, false},
                    ValueCase{"sin(1)", 0, false}, ValueCase{"-SIN(0)+1", 1, false}));

INSTANTIATE_TEST_SUITE_P(
    Functions, FormulaValue,
    testing::Values(ValueCase{"ABS(-3)", 3, false}, ValueCase{"SGN(-2)", -1, false},
                    ValueCase{"SGN(0)", 0, false}, ValueCase{"SGN(4)", 1, false},
                    ValueCase{"RD(2.5)", 3, false}, ValueCase{"RD(-2.5)", -2, false},
                    ValueCase{"COS(0)", 1, false}, ValueCase{"SEC(0)", 1, false},
                    ValueCase{"SIN(0)", 0, false}, ValueCase{"TAN(0)", 0, false},
                    ValueCase{"ARCCOS(1)", 0, false}, ValueCase{"ARCCOS(-1)", 3.141592653589793, false},
                    ValueCase{"ARSSIN(1)", 3.141592653589793 / 2, false},
                    ValueCase{"ARSSIN(-1)", -3.141592653589793 / 2, false},
                    ValueCase{"ARCTAN(1)*4", 3.141592653589793, false}, ValueCase{"LN(E)", 1, false},
                    ValueCase{"LG(1000)", 3, false}, ValueCase{"CH(0)", 1, false},
                    ValueCase{"SH(0)", 0, false}, ValueCase{"SECH(0)", 1, false},
                    ValueCase{"TH(0)", 0, false}, ValueCase{"TH(1000)", 1, false},
                    ValueCase{"TH(-1000)", -1, false}, ValueCase{"ARCCH(2)", 1.3169578969248166, false},
                    ValueCase{"ARSSH(0)", 0, false}, ValueCase{"ARSSH(-1)", -0.881373587019543, false},
                    ValueCase{"ARCTH(0.5)", 0.5493061443340549, false}, ValueCase{"ERF(0)", 0, false},
                    ValueCase{"SIN(PI/2)^2", 1, false}));

INSTANTIATE_TEST_SUITE_P(PowerAndDomain, FormulaValue,
                         testing::Values(ValueCase{"(-2)^3", -8, false}, ValueCase{"(-2)^(-2)", 0.25, false},
                                         ValueCase{"0^0", 1, false}, ValueCase{"0^(-1)", 0, false},
                                         ValueCase{"2^10", 1024, false},
                                         ValueCase{"(-1)^3000000001", -1, false},
                                         ValueCase{"(-1)^1000000000000", 1, false},
                                         ValueCase{"(-2)^1025", -std::pow(2.0, 1025), false},
                                         ValueCase{"(-8)^(1/3)", -8, true}, ValueCase{"LN(0)", 0, true},
                                         ValueCase{"LG(-1)", -1, true}, ValueCase{"ARCCOS(2)", 2, true},
                                         ValueCase{"ARSSIN(-2)", -2, true}, ValueCase{"ARCCH(1)", 1, true},
                                         ValueCase{"ARCTH(1)", 1, true}, ValueCase{"ARCTH(-1)", -1, true},
                                         ValueCase{"6/0", 6, true}, ValueCase{"6/0+1", 7, true}));

class FormulaCompileError : public testing::TestWithParam<const char *> {};

TEST_P(FormulaCompileError, IsRefusedWithoutFormula)
{
  Compiled compiled(GetParam());
  EXPECT_TRUE(compiled.error) << GetParam();
  EXPECT_EQ(compiled.f, nullptr) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Syntax, FormulaCompileError,
                         testing::Values("2*-3", "SIN", "SIN+1", "1+", "()", "(+1)", "(1)2", "(1)(2)",
                                         "(-2)^-2", "", "   ", "+1", "*2", "/2", "^2", "%2", ")", ")+1", "(",
                                         "1*(", "SIN("));

TEST(FormulaParser, MissingCloseBracketSetsFlagButReturnsFormula)
{
  for (const char *text : {"(1", "SIN(0", "2*(3+4"}) {
    Compiled compiled(text);
    EXPECT_TRUE(compiled.error) << text;
    ASSERT_NE(compiled.f, nullptr) << text;
  }
  Compiled c("2*(3+4");
  EXPECT_DOUBLE_EQ(formula_evaluate(c.f), 14);
}

TEST(FormulaParser, ExponentIsCutAtItsSign)
{
  // "1e" reads as the number 1, then "-" and "3".
  Compiled compiled("1e-3");
  ASSERT_NE(compiled.f, nullptr);
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), -2);
}

TEST(FormulaParser, VariablesAreBoundByExactName)
{
  Compiled compiled("x*100+y*10+z+nx*nx+ny-nz");
  ASSERT_NE(compiled.f, nullptr);
  formula_set_variable(compiled.f, "x", 3);
  formula_set_variable(compiled.f, "y", 2);
  formula_set_variable(compiled.f, "z", 1);
  formula_set_variable(compiled.f, "nx", 4);
  formula_set_variable(compiled.f, "ny", 5);
  formula_set_variable(compiled.f, "nz", 6);
  formula_set_variable(compiled.f, "unused", 99);
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), 321 + 16 + 5 - 6);
  // Bindings persist across evaluations and can be changed.
  formula_set_variable(compiled.f, "x", 0);
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), 21 + 16 + 5 - 6);
}

TEST(FormulaParser, BlankBesideNameBelongsToTheName)
{
  Compiled spaced("x +1");
  formula_set_variable(spaced.f, "x", 5);
  EXPECT_DOUBLE_EQ(formula_evaluate(spaced.f), 1);
  formula_set_variable(spaced.f, "x ", 5);
  EXPECT_DOUBLE_EQ(formula_evaluate(spaced.f), 6);

  Compiled inner("x 1*2");
  formula_set_variable(inner.f, "x 1", 4);
  EXPECT_DOUBLE_EQ(formula_evaluate(inner.f), 8);
}

TEST(FormulaParser, LowerCaseFunctionIsAVariableBeforeABracket)
{
  Compiled compiled("sin(x)");
  ASSERT_FALSE(compiled.error);
  formula_set_variable(compiled.f, "x", 7);
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), 0);
  formula_set_variable(compiled.f, "sin", 2.5);
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), 2.5);
}

TEST(FormulaParser, ConstantsCanBeRebound)
{
  Compiled compiled("PI+E");
  formula_set_variable(compiled.f, "PI", 1);
  formula_set_variable(compiled.f, "E", 2);
  EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), 3);
}

TEST(FormulaParser, NoFormulaIsHarmless)
{
  formula *none = nullptr;
  formula_set_variable(none, "x", 1);
  EXPECT_EQ(formula_evaluate(none), 0.0);
  formula_free(&none);
  formula_free(nullptr);
}

TEST(FormulaParser, ErfMatchesTheErrorFunction)
{
  Compiled compiled("ERF(x)");
  const double xs[] = {-30, -5, -4,  -1.5, -0.46875, -1e-17, 0.1, 0.46875,
                       0.5, 1,  2.3, 3.99, 4,        4.01,   6,   26.6};
  for (double x : xs) {
    formula_set_variable(compiled.f, "x", x);
    EXPECT_NEAR(formula_evaluate(compiled.f), std::erf(x), 4e-16) << x;
  }
  formula_set_variable(compiled.f, "x", 1);
  EXPECT_NEAR(formula_evaluate(compiled.f), 0.8427007929497149, 2.3e-16);
}

TEST(FormulaParser, RndFollowsTheRuntimeGenerator)
{
  FormulaRandomReset();
  TRuntimeRandom reference(1);
  Compiled compiled("RND(0)");
  for (int i = 0; i < 50; ++i)
    EXPECT_DOUBLE_EQ(formula_evaluate(compiled.f), reference.Next() / 32767.0);
}

TEST(FormulaParser, RuntimeGeneratorSequence)
{
  // state 1 -> 22695478 -> ... ; values are bits 16..30.
  TRuntimeRandom r(1);
  std::uint32_t state = 1;
  for (int i = 0; i < 5; ++i) {
    state = state * 22695477u + 1u;
    EXPECT_EQ(r.Next(), static_cast<int>((state >> 16) & 0x7FFF));
  }
  TRuntimeRandom first(1);
  EXPECT_EQ(first.Next(), 346); // 22695478 >> 16
}

struct GeneratorCase {
  const char *text;
  double low;
  double high;
};

class FormulaGenerator : public testing::TestWithParam<GeneratorCase> {};

TEST_P(FormulaGenerator, DrawsDistinctValuesInRange)
{
  FormulaRandomReset();
  const GeneratorCase &c = GetParam();
  Compiled compiled(c.text);
  ASSERT_NE(compiled.f, nullptr);
  double sum = 0, previous = -1e300;
  const int n = 2000;
  for (int i = 0; i < n; ++i) {
    double v = formula_evaluate(compiled.f);
    EXPECT_GE(v, c.low);
    EXPECT_LE(v, c.high);
    EXPECT_NE(v, previous);
    previous = v;
    sum += v;
  }
  EXPECT_NEAR(sum / n, (c.low + c.high) / 2, 0.05) << c.text;
}

INSTANTIATE_TEST_SUITE_P(All, FormulaGenerator,
                         testing::Values(GeneratorCase{"RND(0)", 0, 1},
                                         GeneratorCase{"RND1(0)", 0, 0.9999999999988},
                                         GeneratorCase{"RND2(0)", 0, 0.9999999999988},
                                         GeneratorCase{"RND3(0)", 0, 1}, GeneratorCase{"NRM(0)", -7, 7}));

// The first draws after program load, computed apart from this code (with
// unbounded integers instead of Schrage's decomposition).
TEST(FormulaParser, GeneratorSequencesFromProgramLoad)
{
  struct Sequence {
    const char *text;
    double values[5];
  } sequences[] = {
      {"RND1(0)", {0.9570216401280005, 0.20763932271284952, 0.39395013376788707, 0.012832372920975263,
                   0.5035683370677607}},
      {"RND2(0)", {0.6358815469080263, 0.9361667100219849, 0.035675768289920085, 0.018859680557191765,
                   0.40942014837670726}},
      {"RND3(0)", {0.9057525380000001, 0.999703243, 0.763647602, 0.19134351500000002, 0.42631345400000004}},
      {"NRM(0)", {-0.3698812054514215, -2.6862083734483724, 1.05783232982471, 1.1345103845350417,
                  -1.7438108058403758}},
  };
  for (const Sequence &s : sequences) {
    FormulaRandomReset();
    Compiled compiled(s.text);
    ASSERT_NE(compiled.f, nullptr);
    for (double expected : s.values)
      EXPECT_NEAR(formula_evaluate(compiled.f), expected, 1e-15) << s.text;
  }
}

TEST(FormulaParser, GeneratorsContinueAcrossFormulas)
{
  FormulaRandomReset();
  Compiled a("RND1(0)");
  double first = formula_evaluate(a.f);
  Compiled b("RND1(5)");
  double second = formula_evaluate(b.f);
  EXPECT_NE(first, second);

  FormulaRandomReset();
  Compiled again("RND1(0)");
  EXPECT_EQ(formula_evaluate(again.f), first);
  EXPECT_EQ(formula_evaluate(again.f), second);
}

TEST(FormulaParser, NormalDeviatesHaveUnitVariance)
{
  FormulaRandomReset();
  Compiled compiled("NRM(0)");
  double sum = 0, sum2 = 0;
  const int n = 4000;
  for (int i = 0; i < n; ++i) {
    double v = formula_evaluate(compiled.f);
    sum += v;
    sum2 += v * v;
  }
  EXPECT_NEAR(sum / n, 0, 0.1);
  EXPECT_NEAR(sum2 / n, 1, 0.1);
}

TEST(FormulaParser, SharedShuffleTableSurvivesMixing)
{
  FormulaRandomReset();
  Compiled compiled("RND1(0)+RND2(0)+NRM(0)*0+RND1(0)");
  for (int i = 0; i < 20000; ++i) {
    double v = formula_evaluate(compiled.f);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 3);
  }
}

} // namespace

#include "data/FormulaParser.h"

#include "data/FormulaFunctions.h"
#include "data/FormulaRandom.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

bool formula_compile_error = false;
bool formula_eval_error = false;

namespace {

enum class Op {
  Push,
  Abs,
  Sgn,
  Rd,
  Cos,
  Sec,
  Sin,
  Tan,
  ArcCos,
  ArcSin,
  ArcTan,
  Ln,
  Lg,
  Rnd,
  Rnd1,
  Rnd2,
  Rnd3,
  Nrm,
  Erf,
  Ch,
  Sech,
  Sh,
  Th,
  ArcCh,
  ArSh,
  ArcTh,
  Add,
  Sub,
  Mul,
  Div,
  Pow,
  Mod,
};

enum class Kind { Operand, Function, Operator, Open, Close };

constexpr char NumberMarker = 1;
constexpr char FunctionMarker = 2;

struct FunctionName {
  const char *name;
  Op op;
};

constexpr FunctionName Functions[] = {
    {"ABS", Op::Abs},       {"SGN", Op::Sgn},       {"RD", Op::Rd},       {"COS", Op::Cos},
    {"SEC", Op::Sec},       {"SIN", Op::Sin},       {"TAN", Op::Tan},     {"ARCCOS", Op::ArcCos},
    {"ARSSIN", Op::ArcSin}, {"ARCTAN", Op::ArcTan}, {"LN", Op::Ln},       {"LG", Op::Lg},
    {"RND", Op::Rnd},       {"RND1", Op::Rnd1},     {"RND2", Op::Rnd2},   {"RND3", Op::Rnd3},
    {"NRM", Op::Nrm},       {"ERF", Op::Erf},       {"CH", Op::Ch},       {"SECH", Op::Sech},
    {"SH", Op::Sh},         {"TH", Op::Th},         {"ARCCH", Op::ArcCh}, {"ARSSH", Op::ArSh},
    {"ARCTH", Op::ArcTh},
};

constexpr const char *SingleCharTokens = "+-*/^%()";

} // namespace

struct formula_token {
  std::string text;
  double value = 0.0;
  Op operation = Op::Push;
  Kind kind = Kind::Operand;
};

struct formula_stack {
  int top = -1;
  std::vector<double> values;
};

struct formula {
  std::vector<formula_token> postfix;
  formula_stack stack;
};

namespace {

bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsBlankText(const std::string &text)
{
  for (char c : text)
    if (!IsBlank(c))
      return false;
  return true;
}

Op OperatorOf(char c)
{
  switch (c) {
  case '+':
    return Op::Add;
  case '-':
    return Op::Sub;
  case '*':
    return Op::Mul;
  case '/':
    return Op::Div;
  case '^':
    return Op::Pow;
  default:
    return Op::Mod;
  }
}

// Decimal exponent of the leading significant digit of a number text that
// from_chars has already accepted (digits, one point, an optional exponent).
long DecimalMagnitude(const char *p, const char *end)
{
  long magnitude = 0;
  bool seenPoint = false, seenDigit = false;
  for (; p < end && *p != 'e' && *p != 'E'; ++p) {
    if (*p == '.') {
      seenPoint = true;
    } else if (!seenDigit && *p == '0') {
      if (seenPoint)
        --magnitude;
    } else {
      if (!seenDigit && seenPoint)
        --magnitude;
      seenDigit = true;
      if (!seenPoint)
        ++magnitude;
    }
  }
  long exponent = 0;
  if (p < end) {
    ++p;
    if (p < end && *p == '+')
      ++p;
    for (; p < end && exponent < 100000; ++p)
      exponent = exponent * 10 + (*p - '0');
  }
  return magnitude + exponent;
}

// A number is read like "%lg": leading blanks skipped, a decimal prefix is
// enough and whatever follows it is ignored. The locale never takes part.
bool ReadNumber(const std::string &text, double &value)
{
  const char *p = text.c_str();
  const char *end = p + text.size();
  while (p < end && IsBlank(*p))
    ++p;
  auto result = std::from_chars(p, end, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the text itself holds no sign
    // (a minus is a token of its own), so it is an overflow to +inf or an
    // underflow to 0, as the C library's reading gives.
    value = DecimalMagnitude(p, result.ptr) > 0 ? HUGE_VAL : 0.0;
    return true;
  }
  return result.ec == std::errc();
}

formula_token Classify(const std::string &text)
{
  formula_token t;
  t.text = text;
  for (const auto &f : Functions)
    if (text == f.name) {
      t.kind = Kind::Function;
      t.operation = f.op;
      t.text[0] = FunctionMarker;
      return t;
    }
  if (text.size() == 1 && std::strchr("+-*/^%", text[0])) {
    t.kind = Kind::Operator;
    t.operation = OperatorOf(text[0]);
    return t;
  }
  if (text == "(") {
    t.kind = Kind::Open;
    return t;
  }
  if (text == ")") {
    t.kind = Kind::Close;
    return t;
  }
  double v = 0.0;
  if (ReadNumber(text, v)) {
    t.value = v;
    t.text[0] = NumberMarker;
    return t;
  }
  if (text == "PI")
    t.value = std::numbers::pi;
  else if (text == "E")
    t.value = std::numbers::e;
  return t;
}

std::vector<formula_token> Tokenise(const char *text)
{
  std::vector<formula_token> tokens;
  std::string run;
  for (const char *p = text; *p; ++p) {
    if (std::strchr(SingleCharTokens, *p)) {
      if (!run.empty())
        tokens.push_back(Classify(run));
      run.clear();
      tokens.push_back(Classify(std::string(1, *p)));
    } else {
      run += *p;
    }
  }
  if (!run.empty())
    tokens.push_back(Classify(run));
  return tokens;
}

bool IsMinus(const formula_token &t)
{
  return t.kind == Kind::Operator && t.operation == Op::Sub;
}

bool PairIsValid(const formula_token &current, const formula_token &next)
{
  switch (current.kind) {
  case Kind::Operator:
    return next.kind != Kind::Operator;
  case Kind::Open:
    return next.kind != Kind::Close && (next.kind != Kind::Operator || IsMinus(next));
  case Kind::Close:
    return next.kind == Kind::Operator || next.kind == Kind::Close;
  case Kind::Function:
    return next.kind == Kind::Open;
  default:
    return true;
  }
}

// Besides the neighbour rules, a formula that is empty or starts with a binary
// operator has nothing for that operator to work on and is refused.
bool SyntaxIsValid(const std::vector<formula_token> &tokens)
{
  if (tokens.empty() || (tokens.size() == 1 && IsBlankText(tokens[0].text)))
    return false;
  if (tokens.front().kind == Kind::Operator && !IsMinus(tokens.front()))
    return false;
  for (size_t i = 0; i + 1 < tokens.size(); ++i)
    if (!PairIsValid(tokens[i], tokens[i + 1]))
      return false;
  Kind last = tokens.back().kind;
  return last != Kind::Operator && last != Kind::Open && last != Kind::Function;
}

// The conversion recurses once per bracket level: a bound on the nesting keeps
// a pasted or generated formula from exhausting the stack. No hand-written
// formula comes near it.
constexpr int MaxBracketNesting = 256;

bool NestingIsBounded(const std::vector<formula_token> &tokens)
{
  int level = 0;
  for (const auto &t : tokens) {
    if (t.kind == Kind::Open && ++level > MaxBracketNesting)
      return false;
    if (t.kind == Kind::Close && level > 0)
      --level;
  }
  return true;
}

int Rank(Op op)
{
  switch (op) {
  case Op::Add:
  case Op::Sub:
    return 1;
  case Op::Mul:
  case Op::Div:
  case Op::Mod:
    return 2;
  case Op::Pow:
    return 3;
  default:
    return 4;
  }
}

class PostfixConverter {
public:
  explicit PostfixConverter(std::vector<formula_token> &tokens) : tokens(tokens) {}

  std::vector<formula_token> Run()
  {
    ConvertLevel(false);
    return std::move(output);
  }

  bool MissingClose() const { return missingClose; }

private:
  // Converts up to the ")" of the level (nested) or to the end; returns
  // whether the level was closed by its ")".
  bool ConvertLevel(bool nested)
  {
    std::vector<formula_token> pending;
    bool closed = false;
    if (pos < tokens.size() && IsMinus(tokens[pos]))
      output.push_back(ZeroToken());
    while (pos < tokens.size()) {
      formula_token &t = tokens[pos++];
      if (t.kind == Kind::Close) {
        closed = true;
        if (!nested)
          pos = tokens.size();
        break;
      }
      if (t.kind == Kind::Open) {
        ConvertBracket();
      } else if (t.kind == Kind::Function) {
        ++pos; // its "(" (the syntax check guarantees it)
        ConvertBracket();
        output.push_back(t);
      } else if (t.kind == Kind::Operator) {
        while (!pending.empty() && Rank(pending.back().operation) >= Rank(t.operation)) {
          output.push_back(pending.back());
          pending.pop_back();
        }
        pending.push_back(t);
      } else {
        output.push_back(t);
      }
    }
    while (!pending.empty()) {
      output.push_back(pending.back());
      pending.pop_back();
    }
    return closed;
  }

  void ConvertBracket()
  {
    if (!ConvertLevel(true))
      missingClose = true;
  }

  static formula_token ZeroToken()
  {
    formula_token t;
    t.text = std::string(1, NumberMarker);
    return t;
  }

  std::vector<formula_token> &tokens;
  std::vector<formula_token> output;
  size_t pos = 0;
  bool missingClose = false;
};

// Greatest stack depth of the sequence, or -1 when an operation would find
// fewer values than it takes.
int StackDepth(const std::vector<formula_token> &postfix)
{
  int depth = 0, greatest = 0;
  for (const auto &t : postfix) {
    if (t.kind == Kind::Operator) {
      if (depth < 2)
        return -1;
      --depth;
    } else if (t.kind == Kind::Function) {
      if (depth < 1)
        return -1;
    } else {
      ++depth;
    }
    greatest = std::max(greatest, depth);
  }
  return greatest;
}

double IntegralPower(double a, double b)
{
  // A product keeps small powers exact; beyond that pow with the sign gives
  // the same value without a loop of up to 2^31 steps.
  constexpr double LoopLimit = 1024.0;
  double n = std::fabs(b);
  if (n > LoopLimit) {
    double magnitude = std::pow(std::fabs(a), b);
    bool odd = std::fmod(n, 2.0) == 1.0;
    return odd ? -magnitude : magnitude;
  }
  double factor = b < 0 ? 1.0 / a : a;
  double result = 1.0;
  for (int i = static_cast<int>(n); i > 0; --i)
    result *= factor;
  return result;
}

bool Power(double a, double b, double &result)
{
  if (b == 0) {
    result = 1.0;
  } else if (a > 0) {
    result = std::exp(b * std::log(a));
  } else if (a == 0) {
    result = 0.0;
  } else if (std::floor(b) == b) {
    result = IntegralPower(a, b);
  } else {
    return false;
  }
  return true;
}

bool ApplyFunction(Op op, double x, double &r)
{
  switch (op) {
  case Op::Abs:
    r = std::fabs(x);
    return true;
  case Op::Sgn:
    r = x > 0 ? 1.0 : (x == 0 ? 0.0 : -1.0);
    return true;
  case Op::Rd:
    r = std::floor(x + 0.5);
    return true;
  case Op::Cos:
    r = std::cos(x);
    return true;
  case Op::Sin:
    r = std::sin(x);
    return true;
  case Op::ArcTan:
    r = std::atan(x);
    return true;
  case Op::Sec:
    if (std::cos(x) == 0)
      return false;
    r = 1.0 / std::cos(x);
    return true;
  case Op::Tan:
    if (std::cos(x) == 0)
      return false;
    r = std::sin(x) / std::cos(x);
    return true;
  case Op::ArcCos:
    if (std::fabs(x) > 1)
      return false;
    r = x == 1 ? 0.0 : (x == -1 ? std::numbers::pi : std::acos(x));
    return true;
  case Op::ArcSin:
    if (std::fabs(x) > 1)
      return false;
    r = x == 1 ? std::numbers::pi / 2 : (x == -1 ? -std::numbers::pi / 2 : std::asin(x));
    return true;
  case Op::Ln:
  case Op::Lg:
    if (x <= 0)
      return false;
    r = op == Op::Ln ? std::log(x) : std::log10(x);
    return true;
  case Op::Ch:
    r = (std::exp(x) + std::exp(-x)) / 2;
    return true;
  case Op::Sh:
    r = (std::exp(x) - std::exp(-x)) / 2;
    return true;
  case Op::Sech: {
    double divisor = (std::exp(x) + std::exp(-x)) / 2;
    if (divisor == 0)
      return false;
    r = 1.0 / divisor;
    return true;
  }
  case Op::Th:
    r = (std::exp(x) - std::exp(-x)) / (std::exp(x) + std::exp(-x));
    if (std::isnan(r) && !std::isnan(x))
      r = x > 0 ? 1.0 : -1.0; // both exponentials overflowed
    return true;
  case Op::ArcCh:
    if (x <= 1)
      return false;
    r = std::log(x + std::sqrt(x * x - 1));
    return true;
  case Op::ArSh:
    r = std::log(std::fabs(x) + std::sqrt(x * x + 1));
    if (x < 0)
      r = -r;
    return true;
  case Op::ArcTh:
    if (x >= 1 || x <= -1)
      return false;
    r = 0.5 * std::log((1 + x) / (1 - x));
    return true;
  case Op::Erf:
    r = FormulaErf(x);
    return true;
  case Op::Rnd:
    r = FormulaRnd();
    return true;
  case Op::Rnd1:
    r = FormulaRnd1();
    return true;
  case Op::Rnd2:
    r = FormulaRnd2();
    return true;
  case Op::Rnd3:
    r = FormulaRnd3();
    return true;
  case Op::Nrm:
    r = FormulaNrm();
    return true;
  default:
    r = x;
    return true;
  }
}

bool ApplyOperator(Op op, double a, double b, double &r)
{
  switch (op) {
  case Op::Add:
    r = a + b;
    return true;
  case Op::Sub:
    r = a - b;
    return true;
  case Op::Mul:
    r = a * b;
    return true;
  case Op::Div:
    if (b == 0)
      return false;
    r = a / b;
    return true;
  case Op::Pow:
    return Power(a, b, r);
  case Op::Mod:
    r = b == 0 ? 0.0 : std::fmod(a, b);
    return true;
  default:
    r = a;
    return true;
  }
}

} // namespace

formula *formula_compile(const char *text)
{
  formula_compile_error = false;
  std::vector<formula_token> tokens = Tokenise(text ? text : "");
  if (!SyntaxIsValid(tokens) || !NestingIsBounded(tokens)) {
    formula_compile_error = true;
    return nullptr;
  }
  PostfixConverter converter(tokens);
  std::vector<formula_token> postfix = converter.Run();
  int depth = StackDepth(postfix);
  if (depth < 1) {
    // Nothing to evaluate, as in ")" alone: no value could be returned.
    formula_compile_error = true;
    return nullptr;
  }
  formula *f = new formula;
  f->postfix = std::move(postfix);
  f->stack.values.assign(static_cast<size_t>(depth), 0.0);
  formula_compile_error = converter.MissingClose();
  return f;
}

void formula_set_variable(formula *f, const char *name, double value)
{
  if (!f || !name)
    return;
  for (auto &t : f->postfix)
    if (t.text == name)
      t.value = value;
}

double formula_evaluate(formula *f)
{
  if (!f)
    return 0.0;
  formula_eval_error = false;
  formula_stack &s = f->stack;
  s.top = -1;
  for (const auto &t : f->postfix) {
    if (t.kind == Kind::Operand) {
      s.values[static_cast<size_t>(++s.top)] = t.value;
    } else if (t.kind == Kind::Function) {
      double &x = s.values[static_cast<size_t>(s.top)];
      double r;
      if (ApplyFunction(t.operation, x, r))
        x = r;
      else
        formula_eval_error = true;
    } else {
      double b = s.values[static_cast<size_t>(s.top--)];
      double &a = s.values[static_cast<size_t>(s.top)];
      double r;
      if (ApplyOperator(t.operation, a, b, r))
        a = r;
      else
        formula_eval_error = true;
    }
  }
  return s.values[0];
}

void formula_free(formula **f)
{
  if (!f || !*f)
    return;
  delete *f;
  *f = nullptr;
}

// libFuzzer target for the formula parser: compile, bind the usual variables
// and evaluate whatever compiled.
#include <string>

#include "data/FormulaParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  formula* f = formula_compile(text.c_str());
  if (f) {
    formula_set_variable(f, "X", 0.5);
    formula_set_variable(f, "Y", -2.0);
    formula_set_variable(f, "Z", 3.0);
    formula_evaluate(f);
    formula_free(&f);
  }
  return 0;
}

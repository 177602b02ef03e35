#pragma once

// Arithmetic formulas over named variables, compiled once into a postfix
// sequence and evaluated on a small value stack as often as the caller needs
// (the fill-by-formula of the array editors evaluates once per cell).
//
// Calling order: formula_compile, test formula_compile_error, then any number
// of (formula_set_variable, formula_evaluate), then formula_free.

struct formula;

// Set when the last compilation failed (a syntax error, which returns no
// formula, or a missing ")", which still returns one that must be freed).
extern bool formula_compile_error;
// Set by the last evaluation when an operation met an argument outside its
// domain; the evaluation goes on with the argument left in place.
extern bool formula_eval_error;

// The message the editors show when formula_compile_error is set.
inline constexpr const char *FormulaErrorText = "Некорректное выражение";
inline constexpr const char *FormulaErrorCaption = "Ошибка";

formula *formula_compile(const char *text);
// Binds every token whose text equals name exactly (so "x " is not "x").
void formula_set_variable(formula *f, const char *name, double value);
double formula_evaluate(formula *f);
void formula_free(formula **f);

#pragma once
// Building blocks of the parameter dialogs (the full one and the student one).
class QDialog;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

// A row of a parameter grid: caption, edit and, when given, the unit; the hint
// becomes the edit's tool tip.
QLineEdit* AddEdit(QGridLayout* grid, int row, const char* name, const char* caption, const char* unit,
                   const char* hint = nullptr);

// The closing row: OK (the default button) and Cancel at the right, wired to
// the dialog's accept and reject (its own overrides included).
QHBoxLayout* MakeOkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

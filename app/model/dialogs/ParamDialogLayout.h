#pragma once
// Building blocks of the model's dialogs: the parameter dialogs' rows and
// buttons, and the sizes their grids need in their own fonts.
class QDialog;
class QTableWidget;
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

// The width a grid column needs for its header and its cells.
int NeededColumnWidth(const QTableWidget* grid, int column);
// The height that shows the header and the given number of rows without a scroll bar.
int GridHeightFor(const QTableWidget* grid, int rows);

#pragma once
// Free functions over a string grid (QTableWidget): its cells as grid text,
// through the clipboard and text files, and row, column and cell operations.
// Indices are 0-based and count the fixed rows and columns too: fixed rows and
// columns are ordinary rows and columns that the grid marks as fixed (not
// editable), so the indices match those of the data they show.
#include <QString>

#include <functional>

class QClipboard;
class QObject;
class QTableWidget;

// While on (the default, and nothing changes it), every line feed inside a cell
// becomes a blank on its way out.
extern bool GridLineBreaksToBlanks;

// --- cells, fixed rows and columns ---
QString GridCell(const QTableWidget& grid, int col, int row);
// Creates the item when needed; fixed cells are made read-only.
void SetGridCell(QTableWidget& grid, int col, int row, const QString& text);
void SetGridFixed(QTableWidget& grid, int fixedCols, int fixedRows);
int GridFixedCols(const QTableWidget& grid);
int GridFixedRows(const QTableWidget& grid);

// The selection rectangle, inclusive: the first selected range, else the current
// cell, else the first non-fixed cell.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};
TGridRect GridSelection(const QTableWidget& grid);

// The grid's two optional text events: the text its editor shows for a cell
// (a grid of formatted values exports what it shows), and a text typed into a
// cell (the handler parses, stores and decides what the cell shows). Both are
// called with a null sender from these helpers.
struct TGridEditHooks {
  std::function<void(QObject* sender, int col, int row, QString& text)> OnGetEditText;
  std::function<void(QObject* sender, int col, int row, const QString& text)> OnSetEditText;
};
void SetGridEditHooks(QTableWidget& grid, const TGridEditHooks& hooks);
const TGridEditHooks* GetGridEditHooks(const QTableWidget& grid);

// --- text, clipboard and files ---
void GridToText(QString& text, const QTableWidget& grid, bool all, bool withFixed);
void GridCopyToClipboard(QClipboard& clipboard, const QTableWidget& grid, bool all, bool withFixed);
// Writes the grid text as code-page-1251 bytes; false after the error box when
// the file cannot be opened or written.
bool GridSaveToFile(const QString& fileName, const QTableWidget& grid, bool all, bool withFixed);
// Writes the cells of the text from the top-left corner of the selection,
// growing the grid where the flags allow and dropping what lies outside.
void TextToGrid(const QString& text, QTableWidget& grid, bool growCols, bool growRows);
// False without text on the clipboard.
bool GridPasteFromClipboard(QClipboard& clipboard, QTableWidget& grid, bool growCols, bool growRows);
// False after the error box when the file cannot be opened or read; the grid
// then stays unchanged.
bool GridLoadFromFile(const QString& fileName, QTableWidget& grid, bool growCols, bool growRows);

// --- rows, columns and cells ---
// Inserts before index (0 ... count). Not blank: the new row duplicates the row
// that was at index, or copies the row above when appended.
void GridInsertRow(QTableWidget& grid, int row, bool blank);
void GridInsertColumn(QTableWidget& grid, int col, bool blank);
void GridDeleteRow(QTableWidget& grid, int row);
void GridDeleteColumn(QTableWidget& grid, int col);
// Inclusive; negative first bounds become 0, negative or too large last bounds
// the last column or row.
void GridClearCells(QTableWidget& grid, int col0, int row0, int col1, int row1);

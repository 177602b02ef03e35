#include "maps/Stringgrids.h"

#include "data/Cp1251.h"
#include "maps/GridText.h"
#include "base/ModalCalls.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QSaveFile>
#include <QTableWidget>

#include <algorithm>

bool GridLineBreaksToBlanks = true;

namespace {

const char* const FixedColsProperty = "gridFixedCols";
const char* const FixedRowsProperty = "gridFixedRows";
const char* const HooksName = "gridEditHooks";

class TGridHooksHolder : public QObject {
public:
  TGridHooksHolder(QObject* parent, const TGridEditHooks& h) : QObject(parent), hooks(h)
  {
    setObjectName(HooksName);
  }
  TGridEditHooks hooks;
};

void ShowFileError(const QTableWidget& grid, const char* text)
{
  ShowErrorMessage(const_cast<QTableWidget*>(&grid), QString::fromUtf8(text));
}

bool IsFixedCell(const QTableWidget& grid, int col, int row)
{
  return col < GridFixedCols(grid) || row < GridFixedRows(grid);
}

void CopyRow(QTableWidget& grid, int from, int to)
{
  for (int c = 0; c < grid.columnCount(); ++c)
    SetGridCell(grid, c, to, GridCell(grid, c, from));
}

void CopyColumn(QTableWidget& grid, int from, int to)
{
  for (int r = 0; r < grid.rowCount(); ++r)
    SetGridCell(grid, to, r, GridCell(grid, from, r));
}

void ClearRow(QTableWidget& grid, int row)
{
  for (int c = 0; c < grid.columnCount(); ++c)
    SetGridCell(grid, c, row, QString());
}

void ClearColumn(QTableWidget& grid, int col)
{
  for (int r = 0; r < grid.rowCount(); ++r)
    SetGridCell(grid, col, r, QString());
}

// A string grid keeps its fixed rows and columns below its row and column count.
void ClampFixed(QTableWidget& grid)
{
  SetGridFixed(grid, std::min(GridFixedCols(grid), std::max(0, grid.columnCount() - 1)),
               std::min(GridFixedRows(grid), std::max(0, grid.rowCount() - 1)));
}

std::string ToUtf8(const QString& text)
{
  return text.toStdString();
}

}  // namespace

QString GridCell(const QTableWidget& grid, int col, int row)
{
  const QTableWidgetItem* item = grid.item(row, col);
  return item ? item->text() : QString();
}

void SetGridCell(QTableWidget& grid, int col, int row, const QString& text)
{
  if (row < 0 || col < 0 || row >= grid.rowCount() || col >= grid.columnCount())
    return;
  QTableWidgetItem* item = grid.item(row, col);
  if (!item) {
    if (text.isEmpty())
      return;
    item = new QTableWidgetItem;
    if (IsFixedCell(grid, col, row))
      item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    grid.setItem(row, col, item);
  }
  item->setText(text);
}

void SetGridFixed(QTableWidget& grid, int fixedCols, int fixedRows)
{
  grid.setProperty(FixedColsProperty, std::max(0, fixedCols));
  grid.setProperty(FixedRowsProperty, std::max(0, fixedRows));
  for (int r = 0; r < grid.rowCount(); ++r)
    for (int c = 0; c < grid.columnCount(); ++c)
      if (QTableWidgetItem* item = grid.item(r, c)) {
        const bool fixed = IsFixedCell(grid, c, r);
        item->setFlags(fixed ? item->flags() & ~Qt::ItemIsEditable : item->flags() | Qt::ItemIsEditable);
      }
}

int GridFixedCols(const QTableWidget& grid)
{
  return grid.property(FixedColsProperty).toInt();
}

int GridFixedRows(const QTableWidget& grid)
{
  return grid.property(FixedRowsProperty).toInt();
}

TGridRect GridSelection(const QTableWidget& grid)
{
  const QList<QTableWidgetSelectionRange> ranges = grid.selectedRanges();
  if (!ranges.isEmpty()) {
    const QTableWidgetSelectionRange& range = ranges.first();
    return {range.leftColumn(), range.topRow(), range.rightColumn(), range.bottomRow()};
  }
  if (grid.currentRow() >= 0 && grid.currentColumn() >= 0)
    return {grid.currentColumn(), grid.currentRow(), grid.currentColumn(), grid.currentRow()};
  const int col = GridFixedCols(grid);
  const int row = GridFixedRows(grid);
  return {col, row, col, row};
}

void SetGridEditHooks(QTableWidget& grid, const TGridEditHooks& hooks)
{
  if (auto* holder = grid.findChild<QObject*>(HooksName, Qt::FindDirectChildrenOnly))
    static_cast<TGridHooksHolder*>(holder)->hooks = hooks;
  else
    new TGridHooksHolder(&grid, hooks);
}

const TGridEditHooks* GetGridEditHooks(const QTableWidget& grid)
{
  auto* holder = grid.findChild<QObject*>(HooksName, Qt::FindDirectChildrenOnly);
  return holder ? &static_cast<TGridHooksHolder*>(holder)->hooks : nullptr;
}

void GridToText(QString& text, const QTableWidget& grid, bool all, bool withFixed)
{
  TGridRect rect = GridSelection(grid);
  if (all) {
    rect.Left = withFixed ? 0 : GridFixedCols(grid);
    rect.Top = withFixed ? 0 : GridFixedRows(grid);
    rect.Right = grid.columnCount() - 1;
    rect.Bottom = grid.rowCount() - 1;
  }
  const TGridEditHooks* hooks = GetGridEditHooks(grid);
  std::string out;
  for (int row = rect.Top; row <= rect.Bottom; ++row) {
    if (rect.Right < rect.Left)
      break;
    TGridTextRow cells;
    for (int col = rect.Left; col <= rect.Right; ++col) {
      QString cell = GridCell(grid, col, row);
      if (hooks && hooks->OnGetEditText)
        hooks->OnGetEditText(nullptr, col, row, cell);
      cells.push_back(ToUtf8(cell));
    }
    out += JoinGridTextRow(cells, GridLineBreaksToBlanks);
  }
  text = QString::fromStdString(out);
}

void GridCopyToClipboard(QClipboard& clipboard, const QTableWidget& grid, bool all, bool withFixed)
{
  QString text;
  GridToText(text, grid, all, withFixed);
  clipboard.setText(text);
}

bool GridSaveToFile(const QString& fileName, const QTableWidget& grid, bool all, bool withFixed)
{
  QSaveFile file(fileName);
  if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly)) {
    ShowFileError(grid, "Invalid file name.");
    return false;
  }
  QString text;
  GridToText(text, grid, all, withFixed);
  const std::string bytes = Utf8ToCp1251(ToUtf8(text));
  const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (written != static_cast<qint64>(bytes.size()) || !file.flush() || !file.commit()) {
    file.cancelWriting();
    ShowFileError(grid, "Ошибка записи файла.");
    return false;
  }
  return true;
}

void TextToGrid(const QString& text, QTableWidget& grid, bool growCols, bool growRows)
{
  if (text.isEmpty())
    return;
  const TGridRect selection = GridSelection(grid);
  const TGridEditHooks* hooks = GetGridEditHooks(grid);
  const TGridTextRows rows = ParseGridText(ToUtf8(text));
  // The grid grows once to what the text needs: growing it a row or a column
  // at a time costs the whole table each time.
  size_t widest = 0;
  for (const TGridTextRow& cells : rows)
    widest = std::max(widest, cells.size());
  const int rowsNeeded = selection.Top + static_cast<int>(rows.size());
  if (growRows && rowsNeeded > grid.rowCount())
    grid.setRowCount(rowsNeeded);
  const int columnsNeeded = selection.Left + static_cast<int>(widest);
  const int columnsBefore = grid.columnCount();
  if (growCols && columnsNeeded > columnsBefore) {
    grid.setColumnCount(columnsNeeded);
    if (columnsBefore > 0)
      for (int c = columnsBefore; c < columnsNeeded; ++c)
        grid.setColumnWidth(c, grid.columnWidth(columnsBefore - 1));
  }
  int row = selection.Top;
  for (const TGridTextRow& cells : rows) {
    int col = selection.Left;
    for (const std::string& cell : cells) {
      if (row < grid.rowCount() && col < grid.columnCount()) {
        const QString value = QString::fromStdString(cell);
        if (hooks && hooks->OnSetEditText)
          hooks->OnSetEditText(nullptr, col, row, value);
        else
          SetGridCell(grid, col, row, value);
      }
      ++col;
    }
    ++row;
  }
}

bool GridPasteFromClipboard(QClipboard& clipboard, QTableWidget& grid, bool growCols, bool growRows)
{
  const QMimeData* data = clipboard.mimeData();
  if (!data || !data->hasText())
    return false;
  TextToGrid(clipboard.text(), grid, growCols, growRows);
  return true;
}

bool GridLoadFromFile(const QString& fileName, QTableWidget& grid, bool growCols, bool growRows)
{
  QFile file(fileName);
  if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    ShowFileError(grid, "Invalid file name.");
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    ShowFileError(grid, "Ошибка чтения файла.");
    return false;
  }
  const std::string text = Cp1251ToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  TextToGrid(QString::fromStdString(text), grid, growCols, growRows);
  return true;
}

void GridInsertRow(QTableWidget& grid, int row, bool blank)
{
  if (row < 0 || row > grid.rowCount())
    return;
  grid.setRowCount(grid.rowCount() + 1);
  const int last = grid.rowCount() - 1;
  for (int r = last; r > row; --r)
    CopyRow(grid, r - 1, r);
  if (blank)
    ClearRow(grid, row);
  else if (row == last) {
    if (row == 0)
      ClearRow(grid, row);
    else
      CopyRow(grid, row - 1, row);
  }
}

void GridInsertColumn(QTableWidget& grid, int col, bool blank)
{
  if (col < 0 || col > grid.columnCount())
    return;
  grid.setColumnCount(grid.columnCount() + 1);
  const int last = grid.columnCount() - 1;
  for (int c = last; c > col; --c)
    CopyColumn(grid, c - 1, c);
  if (blank)
    ClearColumn(grid, col);
  else if (col == last) {
    if (col == 0)
      ClearColumn(grid, col);
    else
      CopyColumn(grid, col - 1, col);
  }
}

void GridDeleteRow(QTableWidget& grid, int row)
{
  if (row < 0 || row >= grid.rowCount())
    return;
  for (int r = row; r + 1 < grid.rowCount(); ++r)
    CopyRow(grid, r + 1, r);
  // A grid keeps at least one row; its last one then only loses its text.
  if (grid.rowCount() > 1)
    grid.setRowCount(grid.rowCount() - 1);
  else
    ClearRow(grid, 0);
  ClampFixed(grid);
}

void GridDeleteColumn(QTableWidget& grid, int col)
{
  if (col < 0 || col >= grid.columnCount())
    return;
  for (int c = col; c + 1 < grid.columnCount(); ++c)
    CopyColumn(grid, c + 1, c);
  if (grid.columnCount() > 1)
    grid.setColumnCount(grid.columnCount() - 1);
  else
    ClearColumn(grid, 0);
  ClampFixed(grid);
}

void GridClearCells(QTableWidget& grid, int col0, int row0, int col1, int row1)
{
  col0 = std::max(col0, 0);
  row0 = std::max(row0, 0);
  if (col1 < 0 || col1 >= grid.columnCount())
    col1 = grid.columnCount() - 1;
  if (row1 < 0 || row1 >= grid.rowCount())
    row1 = grid.rowCount() - 1;
  for (int r = row0; r <= row1; ++r)
    for (int c = col0; c <= col1; ++c)
      SetGridCell(grid, c, r, QString());
}

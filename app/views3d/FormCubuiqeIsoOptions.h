#pragma once
// TFCubuiqeIsoOptions: "Изоповерхности", the isosurface levels of the cube
// frame as a table of rows (number, value, front colour, back colour). One
// dialog serves the whole run; the frame hands itself in before showing it.
#include "views3d/CubeViewRecords.h"

#include "views3d/CubeDialog.h"

#include <optional>
#include <vector>

class QPushButton;
class QTableWidget;
class TFmCubuiqe;

class TFCubuiqeIsoOptions : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFCubuiqeIsoOptions(QWidget* parent = nullptr);

  QPushButton* Bapply = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QTableWidget* SGdata = nullptr;

  bool Updating = false;
  TFmCubuiqe* Frame = nullptr;

  // Fills the table from the frame's levels, with one empty row to grow into.
  void FormActivate() override;
  // Selecting the last row appends one (colours copied from the row above).
  // The colour columns are chosen with the colour dialog, not typed.
  void SGdataSelectCell(int column, int row);
  // The colour dialog for a colour cell.
  void EditColour(int column, int row);
  // The levels the table holds: rows with an empty value are skipped; nothing
  // when a value is not a number (its text then goes to badValue).
  std::optional<std::vector<CubeIsoLevel>> ReadLevels(QString* badValue = nullptr) const;
  // Replaces the frame's levels and redraws; false (levels kept, error shown)
  // when a value is not a number.
  bool BapplyClick();
  void BokClick() override;
  void BcancelClick() override;

  // The colour a cell's text names: 0xFF0000 when it is not an integer.
  static COLORREF CellColour(const QString& text);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SetCell(int row, int column, const QString& text);
  QString CellText(int row, int column) const;
  void PaintColourCell(int row, int column);
};

// The one isosurface dialog of the run, made on first use.
TFCubuiqeIsoOptions* FCubuiqeIsoOptions();

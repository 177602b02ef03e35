#pragma once
// TFArrayData: the window "Данные" that shows the values of a regular array in
// a string grid: the user types values, fills ranges by a formula, copies and
// pastes, saves and loads text, labels the cells by index or by coordinate,
// picks the building method and builds the array from its known values. It is
// shown modally only, by the array's edit operation and the "Данные" button of
// the array frame.
#include "base/FormSized.h"

#include <QString>

#include <cstdint>

class QAction;
class QComboBox;
class QHBoxLayout;
class QKeyEvent;
class QMenu;
class QPushButton;
class QTableWidget;
class TGArray;

// How the fixed cells of the data grids are labelled: 0 by 0-based cell
// index, 1 by the world coordinate of the cell centre. Shared by the data
// windows, kept between showings.
extern std::int32_t CellLabelMode;

// One cell of a fill: operation 0 sets, 1 adds, 2 subtracts, 3 multiplies,
// 4 divides the old value by the formula's. A missing old value stays missing
// under the operations; a failed evaluation or a result that is not finite
// leaves the cell missing.
double FillCellValue(int operation, double oldValue, double result, bool evalFailed);

// The value a typed cell text stands for: empty is the missing value, a
// decimal comma reads as a point, a text that does not begin with a number
// is 0.
double ParseCellText(const QString& text);
// The cell text of a value: 6 significant digits, "." always; empty when missing.
QString CellText(double value);

// A checkable item of a grid's context menu (the editing and selection modes).
QAction* AddCheckable(QMenu* menu, const QString& caption, bool checked);

class TFArrayData : public TFSized {
  Q_OBJECT

public:
  explicit TFArrayData(QWidget* owner = nullptr);

  void SetArray(TGArray* array);
  // Shows the window modally for the array set; returns the modal result.
  int ShowModal();

  // Set when this showing changed the array's values.
  bool Changed = false;

  QPushButton* Bok = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* PMIedit = nullptr;
  QAction* PMIselect = nullptr;
  QAction* PMIfilldata = nullptr;
  QAction* PMIselectall = nullptr;
  QAction* PMICopy = nullptr;
  QAction* PMIPast = nullptr;
  QAction* PMISave = nullptr;
  QAction* PMILoad = nullptr;
  QMenu* N2 = nullptr;
  QAction* PMIRangeCell = nullptr;
  QAction* PMINumCell = nullptr;
  QComboBox* CBipType = nullptr;
  QTableWidget* SGdata = nullptr;
  QPushButton* Bexoptions = nullptr;
  QPushButton* Bbuild = nullptr;

  void FillHeaders();
  void RefreshGrid();
  // Stores the typed cells; true when a value changed. Nothing for a
  // read-only array.
  bool CommitGrid();

public slots:
  virtual void FormShow();
  virtual void FormClose();
  // Lets go of the array once the window is closed.
  virtual void ForgetArray() { array = nullptr; }
  void BokClick() { done(1); }
  void PMIeditClick();
  void PMIselectClick();
  void PMIselectallClick();
  void SGdataDblClick() { PMIselectallClick(); }
  // True when the key was one of the grid's commands.
  bool SGdataKeyDown(QKeyEvent* event);
  virtual void PMIfilldataClick();
  void PMICopyClick();
  void PMIPastClick();
  void PMISaveClick();
  void PMILoadClick();
  void PMINumCellClick();
  void PMIRangeCellClick();
  virtual void BbuildClick();
  void BexoptionsClick();

protected:
  // A derived window keeps its placement under its own form name.
  TFArrayData(QWidget* owner, const QString& formName);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void SetGridEditing(bool on);
  bool GridEditing() const;
  // A box of cells, 0-based and inclusive; bounds in either order.
  struct TFillBox {
    int i1, i2, j1, j2, k1, k2;
  };
  // Fills the box of values (levels of nx * ny cells, nz of them) by the
  // formula; "z" and "nz" are bound only for a volume. False after the error
  // box when the formula does not compile.
  bool FillCells(double* values, int nz, const QString& text, int operation, TFillBox box, bool volume);

  // Widens the window's minimum to the rows of controls above the grid.
  void KeepControlsWhole();

  QHBoxLayout* toolbar = nullptr;
  QHBoxLayout* levelbar = nullptr; // the level controls of a volume, above the toolbar
  bool editable = false;
  int nx = 0;
  int ny = 0;
  double originX = 0;
  double originY = 0;
  double cellX = 0;
  double cellY = 0;
  TGArray* array = nullptr;

private:
  void BuildDesign();
};

// The window of the run, created when first asked for.
TFArrayData* ArrayDataForm();
void DestroyArrayData();

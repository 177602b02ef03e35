#pragma once
// The common part of the electrode and inhomogeneity tables: a grid whose row 0
// is a hidden header row (so rows 1 and up hold one item each, as the texts
// say), the "новый" and "удалить" buttons, a colour column, and the
// read-only mode while a calculation uses the engine's tables.
#include "model/dialogs/ChooserCellDelegate.h"

#include <QDialog>

#include <QList>

#include <functional>
#include <optional>
#include <utility>

class QLabel;
class QPushButton;
class QTableWidget;
class TGIS;
struct THeap;

class TModelTableDialog : public QDialog {
  Q_OBJECT

public:
  // The colour chooser: the chosen COLORREF, or nothing when cancelled.
  using TColorChooser = std::function<std::optional<int>(QWidget* parent, int initial)>;

  TModelTableDialog(QWidget* owner, int columns, int colourColumn);

  // The project's GIS and the model's engine record, set before showing and
  // forgotten when the command ends: neither outlives its project.
  void SetModelData(TGIS* projectGis, THeap* engine)
  {
    gis = projectGis;
    heap = engine;
  }
  void ForgetModelData() { SetModelData(nullptr, nullptr); }
  TGIS* Gis() const { return gis; }
  THeap* Heap() const { return heap; }
  // Still set to these (not forgotten since the project went).
  bool Holds(const TGIS* projectGis, const THeap* engine) const { return gis == projectGis && heap == engine; }
  // The model window's calculation state: the table applies only before a run,
  // after it ended or was aborted (0, 3, 4) and is read-only otherwise.
  void SetCalcState(int state);
  int GetCalcState() const { return calcState; }
  bool IsEditable() const { return editable; }
  void SetColorChooser(TColorChooser chooser) { chooseColor = std::move(chooser); }

  // The headings over runs of columns, in the order they were added.
  const QList<QLabel*>& GroupHeadings() const { return groupHeadings; }

  QTableWidget* SGdata = nullptr;
  QPushButton* add = nullptr;
  QPushButton* del = nullptr;
  QPushButton* Ok = nullptr;
  QPushButton* Cancel = nullptr;

public slots:
  void addClick();
  void delClick();
  void SGdataSelectCell(int row, int col);
  void SGdataDblClick();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Sets the columns' widths, widened where a header needs more, and makes the
  // dialog wide enough for all of them.
  void SetColumnWidths(const QList<int>& widths);
  // A heading over columns first to last, above their own headers.
  void AddColumnGroup(int first, int last, const QString& text);
  // The row an emptied table keeps: cleared, with the defaults of its kind.
  virtual void SetDefaultRow() = 0;
  // Columns whose cells open a chooser instead of an editor.
  virtual bool IsChooserColumn(int col) const { return col == colourColumn; }
  // Opens the chooser of a cell in a chooser column (the colour by default).
  virtual void OpenChooser(int row, int col);
  // Which cells a delegate of the grid must give no editor.
  TChooserCellDelegate::TIsChooser ChooserCells() const;
  void EndCellEditing();
  // (N2 - 1) * CellSize2: the table's z counts down from the last level.
  double L2() const;
  int DataRow() const;
  void PaintColourCell(int row);
  void PaintColourCells();

  int colourColumn;
  TGIS* gis = nullptr;
  THeap* heap = nullptr;

private:
  void ApplyEditable();
  void PlaceGroupHeadings();
  void FitWidthToColumns();

  bool editable = true;
  int calcState = 0;
  TColorChooser chooseColor;
  QWidget* groupBand = nullptr;
  QList<QLabel*> groupHeadings;
  QList<std::pair<int, int>> groupColumns;
};

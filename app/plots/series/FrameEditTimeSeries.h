#pragma once
// TFmEditTimeSeries: several time series merged into one table ordered by time,
// one column for the time and one per series, one row per distinct time. Cells
// hold plain numbers (a time in seconds, a value); the time column shows them
// by the time display code, and while the table goes to the clipboard or a
// file, or comes from them, times travel as that text. In the editable mode a
// time cell offers the drop-down date dialog of its code.
#include <QString>
#include <QWidget>

#include <vector>

class QAction;
class QGroupBox;
class QMenu;
class QTableWidget;
class QToolButton;
class TTimeSerie;
class TTimeCellDelegate;

class TFmEditTimeSeries : public QWidget {
  Q_OBJECT

public:
  // 01.01.1980 in seconds: the first time cell holds it until the series are merged.
  static constexpr double DefaultTime = 2524694400.0;
  static constexpr int DropDownWidth = 12;

  explicit TFmEditTimeSeries(QWidget* owner = nullptr);

  // Rebuilds the table. The series are read only here: the caller keeps them.
  void SetSeries(const TTimeSerie* const* series, int count, int timeCode, const QString& title);
  void SetEditable(bool editable);
  bool IsEditable() const { return editable; }
  void SetHeaderSeparator(const QString& separator) { headerSeparator = separator; }
  int TimeCode() const { return timeCode; }
  // Whether the time code has a date dialog (0, 1, 2, 10 and 20).
  bool IsDialogCapable() const { return dialogCapable; }

  // The stored time of a data row as the time column shows it.
  QString TimeText(int row) const;

  // --- commands (the buttons and the popup menu) ---
  void BnewClick();
  void BdelClick();
  void BcopyClick();
  void BpastClick();
  void BsaveClick();
  void BloadClick();
  void PMIdataselallClick();
  void PMIclearClick();
  void PMIeditionClick();
  void PMIselectionClick();
  void PMdataPopup();
  // A click at x (viewport pixels) in a cell: within the drop-down mark of a
  // time cell it opens the date dialog of the time code.
  void SGdataClick(int col, int row, int x);

  QGroupBox* GBdata = nullptr;
  QTableWidget* SGdata = nullptr;
  QToolButton* Bnew = nullptr;
  QToolButton* Bdel = nullptr;
  QToolButton* Bcopy = nullptr;
  QToolButton* Bpast = nullptr;
  QToolButton* Bsave = nullptr;
  QToolButton* Bload = nullptr;
  QMenu* PMdata = nullptr;
  QAction* PMIedition = nullptr;
  QAction* PMIselection = nullptr;
  QAction* PMIdatacopy = nullptr;
  QAction* PMIdatapast = nullptr;
  QAction* PMIdataselall = nullptr;
  QAction* PMIdatasave = nullptr;
  QAction* PMIdataload = nullptr;
  QAction* PMIdataadd = nullptr;
  QAction* PMIdatadel = nullptr;
  QAction* PMIclear = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  friend class TTimeCellDelegate;

  void CreateDesign();
  void CreateMenu();
  void MergeIntoGrid(const std::vector<const TTimeSerie*>& series);
  void FrameResize();
  void Relayout();
  void MeasureHeaderRow();
  void MeasureTimeColumn(const QString& title);
  // The widest text of each value column, header lines included.
  void MeasureValueColumns();
  void SetEditing(bool on);
  // Closes an open cell editor, storing what it holds.
  void EndTimeEdit();
  bool IsTimeCell(int col, int row) const { return col == 0 && row >= 1; }
  double StoredTime(int row) const;
  void StoreTime(int row, double seconds);
  // Stores typed or pasted time text as seconds; text that is no time of the
  // code leaves the cell as it was.
  void StoreTimeText(int row, const QString& text);
  QString FormatTime(double seconds) const;
  // The text of a cell while the table is exchanged as text.
  void GetExchangeText(int col, int row, QString& text) const;
  void SetExchangeText(int col, int row, const QString& text);
  bool SingleCellSelected() const;
  QString ChooseFile(bool save);
  void OpenDateDialog(int row);
  bool ShowsDropDownMark() const { return editable && dialogCapable; }

  TTimeCellDelegate* delegate = nullptr;
  int timeCode = 0;
  double shiftLength = 28800.0;
  bool dialogCapable = false;
  bool editable = true;
  bool editing = true;
  QString headerSeparator = "\n";
  int timeColumnWidth = 50;
  std::vector<int> valueColumnWidths;
  bool textMode = false;
  int currentCol = 1;
  int currentRow = 1;
};

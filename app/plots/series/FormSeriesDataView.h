#pragma once
// TFSeriesDataView, "Просмотр данных": one series as two columns, the time in
// days and the value, saved to a file or copied.
#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class TTimeSerie;

class TFSeriesDataView : public QDialog {
  Q_OBJECT

public:
  explicit TFSeriesDataView(QWidget* owner = nullptr);

  // One row per point: the time in days, then the value.
  void ShowSerie(const TTimeSerie& serie);

  // The whole grid when a single cell is selected, else the selection.
  void SBsaveClick();
  void CopySelection();
  void SGdataDblClick();

  QLabel* Lxtitle = nullptr;
  QLabel* Lytitle = nullptr;
  QTableWidget* SGdata = nullptr;
  QPushButton* SBsave = nullptr;
  QPushButton* SBok = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool SingleCellSelected() const;
  void FormResize();
};

extern TFSeriesDataView* FSeriesDataView;

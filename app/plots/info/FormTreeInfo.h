#pragma once
// TFTreeInfo: the "Structure" window that describes one element of the
// discharge structure picked in the tree view: its fields from the model's
// tree snapshot and, in a grid folded out with ">>", the field strength
// towards each of its 26 neighbour cells, the growth probability in one time
// step, or the steps until growth has had an even chance.
#include "plots/info/FormInfoView.h"

#include <QColor>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TFModel;

class TFTreeInfo : public TFInfoView {
  Q_OBJECT

public:
  TFTreeInfo(TFMain* mainWindow, QWidget* owner, TFModel* model);

  void Refresh() override;

  // How a grid cell is drawn: its text and its background.
  struct TCellLook {
    QString text;
    QColor background;
  };
  TCellLook CellLook(int column, int row) const;

  int32_t NodeIndex = -1;
  int32_t GridMode = 0;
  double NeighbourEc[3][9] = {};

  QLineEdit *En, *Eg, *El, *Ew, *Esl, *Esn, *EI, *EE, *Eq, *Ecell;
  QPushButton* Bmore;
  QGroupBox* GBgrid;
  QTableWidget* SGdata;

public slots:
  void BmoreClick();
  void SGdataDblClick();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void FitNeighbourGrid();

  // The width the window had folded in, given back when the grid folds again.
  int FFoldedWidth = 0;
};

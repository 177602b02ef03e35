#pragma once
// TFTreeInfo: the "Structure" window that describes one element of the
// discharge structure picked in the tree view: its fields from the model's
// tree snapshot and, in a grid folded out with ">>", the field strength
// towards each of its 26 neighbour cells, the growth probability in one time
// step, or the steps until growth has had an even chance.
#include "base/FormGisView.h"
#include "base/ModelView.h"

#include <QColor>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TFModel;

class TFTreeInfo : public TFGisView, public TModelView {
  Q_OBJECT

public:
  TFTreeInfo(TFMain* mainWindow, QWidget* owner, TFModel* model);

  void SetModel(TFModel* model) override { Model = model; }
  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void Refresh() override;
  void CopyToClipboard() override {}
  void SaveBitmap(const QString&) override {}
  void ObjectAdded(void*, int32_t) override {}
  void ObjectDeleted(void*, int32_t) override {}

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
  // Refilled whenever its sub-window becomes the active one.
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  TFModel* Model;
};

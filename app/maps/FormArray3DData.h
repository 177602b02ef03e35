#pragma once
// TFArray3DData: the data window of a three-dimensional array. The grid shows
// the array's current level, which the user switches; the fill covers a box of
// levels, and a box of cells goes to and from text files.
#include "maps/FormArrayData.h"

class QSpinBox;
class TGArray3D;

class TFArray3DData : public TFArrayData {
  Q_OBJECT

public:
  explicit TFArray3DData(QWidget* owner = nullptr);

  void SetArray(TGArray3D* array);

  QSpinBox* Elevel = nullptr;
  QComboBox* Eleveltype = nullptr;
  QAction* PMIExtract = nullptr;
  QAction* PMIImport = nullptr;

public slots:
  void FormShow() override;
  void FormClose() override;
  void ForgetArray() override
  {
    TFArrayData::ForgetArray();
    volume = nullptr;
  }
  void PMIfilldataClick() override;
  void BbuildClick() override;
  void ElevelChange();
  void EleveltypeChange();
  void PMIExtractClick() { Transfer(0); }
  void PMIImportClick() { Transfer(1); }

private:
  void Transfer(int direction);

  TGArray3D* volume = nullptr;
  int openedLevel = 0;
  bool updating = false;
};

// The window of the run, created when first asked for.
TFArray3DData* Array3DDataForm();
void DestroyArray3DData();

#pragma once
// TFModelInfo: the "Информация" window that lists the model time, the step and
// iteration counts, the size and shape of the discharge structure, the applied
// voltage and the depth of the structure below the dielectric surface. It
// reads the model's statistics copy, never the engine record of a running model.
#include "plots/info/FormInfoView.h"

class QLineEdit;
class TFModel;

class TFModelInfo : public TFInfoView {
  Q_OBJECT

public:
  TFModelInfo(TFMain* mainWindow, QWidget* owner, TFModel* model);

  void Refresh() override;

  QLineEdit *Et, *Entree, *Estree, *Ectree, *Eltree, *Ertree, *Edtree, *Ed0tree, *ENt, *Enwitr, *Epnwitr, *Edw,
      *Edepthint, *Edepthmean, *Edepthmax, *Edepthlen;
};

#pragma once
// TFModelInfo: the "Информация" window that lists the model time, the step and
// iteration counts, the size and shape of the discharge structure, the applied
// voltage and the depth of the structure below the dielectric surface. It
// reads the model's statistics copy, never the engine record of a running model.
#include "base/FormGisView.h"
#include "base/ModelView.h"

class QLineEdit;
class TFModel;

class TFModelInfo : public TFGisView, public TModelView {
  Q_OBJECT

public:
  TFModelInfo(TFMain* mainWindow, QWidget* owner, TFModel* model);

  void SetModel(TFModel* model) override { Model = model; }
  TFModel* GetModel() const { return Model; }
  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void Refresh() override;
  void CopyToClipboard() override {}
  void SaveBitmap(const QString&) override {}
  void ObjectAdded(void*, int32_t) override {}
  void ObjectDeleted(void*, int32_t) override {}

  QLineEdit *Et, *Entree, *Estree, *Ectree, *Eltree, *Ertree, *Edtree, *Ed0tree, *ENt, *Enwitr, *Epnwitr, *Edw,
      *Edepthint, *Edepthmean, *Edepthmax, *Edepthlen;

protected:
  // Refilled whenever its sub-window becomes the active one.
  bool event(QEvent* event) override;

private:
  TFModel* Model;
};

#pragma once
// TFInfoView: the base of the information windows. They show read-only values
// of the current model, take the model from the shell, refill themselves when
// their sub-window becomes active, have no picture to copy or export and keep
// nothing in the project beyond the window record and an empty group of
// their own.
#include "base/FormGisView.h"
#include "base/ModelView.h"

class TFModel;

class TFInfoView : public TFGisView, public TModelView {
  Q_OBJECT

public:
  TFInfoView(TFMain* mainWindow, QWidget* owner, TFModel* model, int kind, int32_t recordGroup);

  void SetModel(TFModel* model) override { Model = model; }
  TFModel* GetModel() const { return Model; }
  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void CopyToClipboard() override {}
  void SaveBitmap(const QString&) override {}
  void ObjectAdded(void*, int32_t) override {}
  void ObjectDeleted(void*, int32_t) override {}

protected:
  bool event(QEvent* event) override;

  TFModel* Model;

private:
  int32_t FRecordGroup;
};

#pragma once
// TFVisibility, "Отображаемые объекты": the layer list of a GIS; no command of
// the program opens it yet.
#include "base/FormSized.h"

class QToolButton;
class TFmGisLayer;

class TFVisibility : public TFSized {
  Q_OBJECT

public:
  explicit TFVisibility(QWidget* owner = nullptr);

  TFmGisLayer* GisLayer = nullptr;
  QToolButton* Bok = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void FormResize();
};

extern TFVisibility* FVisibility;

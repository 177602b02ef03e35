#pragma once
// TFGisView: a view window that shows the project's GIS. The main window hands
// the GIS in and tells the window of every object added or deleted.

#include "base/FormSimpleView.h"

class TGIS;

class TFGisView : public TFSimpleView {
  Q_OBJECT

public:
  TFGisView(TFMain* mainWindow, QWidget* owner);

  TGIS* ViewGis() const { return FViewGis; }

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  virtual void SetGIS(TGIS* gis);
  virtual void ObjectAdded(void* sender, int32_t objectId) = 0;
  virtual void ObjectDeleted(void* sender, int32_t objectId) = 0;

protected:
  TGIS* FViewGis = nullptr;
};

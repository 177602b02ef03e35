#pragma once
// TFSectionView: the window that shows one section plane of a 3D view's array
// on its own. It takes the 3D view's current plane, axis scales and array when
// it is opened and afterwards redraws that plane from the array's current
// values on every refresh, independent of the 3D view; it closes when its
// array is deleted.
#include "base/FormGisView.h"

class TF3DView;
class TFmSectionView;

class TFSectionView : public TFGisView {
  Q_OBJECT

public:
  TFSectionView(TFMain* mainWindow, QWidget* owner);

  // Takes the view's current plane, axis scales and array, and draws them.
  void SetSourceView(TF3DView* view);
  void UpdateData();

  int32_t GetArrayId() const { return FArrayId; }
  int32_t SourceWindowId() const { return FSourceWindowId; }

  void SetGIS(TGIS* gis) override;
  void Refresh() override;
  void CopyToClipboard() override;
  void SaveBitmap(const QString& fileName) override;
  QImage Picture() override;
  void ZoomIn() override;
  void ZoomOut() override;
  void ObjectAdded(void*, int32_t) override {}
  void ObjectDeleted(void* sender, int32_t objectId) override;
  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;

  TFmSectionView* Viewer = nullptr;

private:
  void UpdateFromSource(TF3DView* view);

  int32_t FSourceWindowId = 0;
  int32_t FArrayId = 0;
};

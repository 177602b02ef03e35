#pragma once
// TF3DView: the MDI window that shows one three-dimensional array of the
// project (a regular volume or a layered irregular array) in the cube frame,
// with the GIS section objects as predefined section planes. The discharge
// tree window (TFBit3DView) builds on it; every 3D window the program makes
// is one of those.
#include "base/FormGisView.h"
#include "base/ModelView.h"
#include "views3d/CubeViewRecords.h"

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMdiArea;
class QMenu;
class QMouseEvent;
class TFmCubuiqe;
class TGObj;

inline constexpr int32_t ObjectTypeSection = 201;

class TF3DView : public TFGisView, public TModelView {
  Q_OBJECT

public:
  // Opens a section window for the view; may be empty.
  using TSectionWindowCallback = std::function<void(TF3DView* view)>;

  TF3DView(TFMain* mainWindow, QWidget* owner, TFModel* model, TSectionWindowCallback sectionWindow = {});
  ~TF3DView() override;

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void Refresh() override;
  void CopyToClipboard() override;
  void SaveBitmap(const QString& fileName) override;
  QImage Picture() override;
  void ZoomIn() override;
  void ZoomOut() override;
  void ObjectAdded(void* sender, int32_t objectId) override;
  void ObjectDeleted(void* sender, int32_t objectId) override;
  // A new GIS (a loaded project) is shown at once; the frame lets go of the
  // old one's values first.
  void SetGIS(TGIS* gis) override;
  virtual void UpdateData();
  void SetModel(TFModel* model) override { FModel = model; }

  TFModel* Model() const { return FModel; }
  int32_t GetArrayId() const { return FArrayId; }
  // Takes only the id of a regular or irregular volume of the GIS.
  void SetArrayId(int32_t id);
  void UpdateCaption();
  void LoadSectionPositions();
  // Lists the cell under the mouse in the array information window (made
  // when there is none); nothing when the line of sight meets no section.
  void InspectAtMouse();
  TFmCubuiqe* Viewer = nullptr;

  bool AutoRange() const { return FAutoRange; }
  double RangeMin() const { return FRangeMin; }
  double RangeMax() const { return FRangeMax; }
  bool ShowMinMax() const { return FShowMinMax; }

  QMenu* PMIArrays = nullptr;
  QAction* PMIRedraw = nullptr;
  QAction* PMISectionView = nullptr;
  QAction* PMIRangeValues = nullptr;
  QAction* PMIViewMinMax = nullptr;

public slots:
  void PMIRedrawClick() { Refresh(); }
  void PMIViewMinMaxClick();
  // The value range through the range dialog; OK applies it and redraws.
  void PMIRangeValuesClick();
  void PMISectionViewClick();

protected:
  // The shown array when it is a volume of the GIS, else null.
  TGObj* ShownArray() const;
  // Hands the shown array to the cube frame; false when there is none.
  bool HandArrayToViewer();
  virtual void PMPopup();
  // The MDI area the window sits in; null while it stands alone.
  QMdiArea* MdiArea() const;
  // Puts an information window into the view's MDI area when it is in none,
  // and brings it forward in the normal state.
  void BringForward(QWidget* info) const;
  virtual void ViewerMouseDown(QMouseEvent* event);
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
  void RebuildArraysMenu();

  TFModel* FModel = nullptr;
  int32_t FArrayId = 0;
  // The GIS section objects that the planes were made from.
  std::vector<int32_t> FSectionIds;
  bool FAutoRange = true;
  double FRangeMin = 0;
  double FRangeMax = 100;
  bool FShowMinMax = false;
  TSectionWindowCallback FSectionWindow;
  std::unique_ptr<TCubeMeshSource> FMeshSource;
};

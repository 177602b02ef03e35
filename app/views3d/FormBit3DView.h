#pragma once
// TFBit3DView: the 3D view of the breakdown model. Over the chosen volume it
// draws the discharge tree coloured by a chosen element value, the electrode
// plates, the electrodes and the inhomogeneities, all rebuilt from the
// model's tree snapshot on every refresh, and lets the user pick a tree
// element, which the tree plots then follow and the tree information window
// describes.
#include "views3d/DischargeTreeDisplay.h"
#include "views3d/Form3DView.h"

class TFBit3DViewOptions;
struct TEngineStatistics;
class TFTreeInfo;

class TFBit3DView : public TF3DView {
  Q_OBJECT

public:
  TFBit3DView(TFMain* mainWindow, QWidget* owner, TFModel* model, TSectionWindowCallback sectionWindow = {});

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void UpdateData() override;
  void DrawDischargeTree();
  void DrawElectrodes();
  // Picks the segment under the last mouse press, hands its element to the
  // tree plots that follow the pointer and shows it in the tree information
  // window (made when there is none).
  void PickLimb();
  // Every open window that follows the picked channel gets the element.
  void PointChannel(int node) const;
  // The tree information window of the MDI area, or null.
  TFTreeInfo* FindTreeInfo() const;

  TTreeDisplaySettings& Settings() { return FSettings; }
  const TTreeDisplaySettings& Settings() const { return FSettings; }

  QMenu* PMITree = nullptr;
  QAction* PMITreeShow = nullptr;
  QAction* PMITreeOptions = nullptr;
  QAction* PMIElectrodesShow = nullptr;
  QAction* PMIInhomogeneitiesShow = nullptr;
  QAction* PMIInspctTree = nullptr;

public slots:
  void PMITreeOptionsClick();
  void PMIInspctTreeClick();

protected:
  void PMPopup() override;
  void ViewerMouseDown(QMouseEvent* event) override;

private:
  void ToggleFlag(bool& flag);
  // Hands the cube the lattice's box without values, for a window that shows no array.
  void ShowLatticeBox(const TEngineStatistics& lattice);

  TTreeDisplaySettings FSettings;
};

#pragma once
// TFArray3DSelect: "Массивы", the check list of the project's regular
// three-dimensional arrays from which the cell information window takes the
// arrays it lists. The caller sets the GIS and the ids chosen so far; OK
// leaves the checked ids in SelectedIds, at least one; with an empty list
// they stay as they were.
#include "views3d/CubeDialog.h"

#include <cstdint>
#include <vector>

class QListWidget;
class QPushButton;
class TGIS;

class TFArray3DSelect : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFArray3DSelect(QWidget* parent = nullptr);

  TGIS* Gis = nullptr;
  std::vector<int32_t> SelectedIds;

  QListWidget* CBarrays = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

  // Lists the arrays by name, the chosen ones checked.
  void FormActivate() override;
  void BokClick() override;
  void BcancelClick() override;

protected:
  void resizeEvent(QResizeEvent* event) override;
};

// The one array choice of the run, made on first use.
TFArray3DSelect* FArray3DSelect();

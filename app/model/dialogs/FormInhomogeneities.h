#pragma once
// TFInhomogeneities: the inhomogeneity table. Rows 1 and up hold one box or
// ellipsoid each: centre, sizes, permittivity, conductivity, charge density,
// shape, colour and transparency. Reading the table rebuilds the engine's
// material table (material k + 1 for inhomogeneity k).
#include "model/dialogs/ModelTableDialog.h"
#include "model/store/InhomogeneityRecord.h"

#include <vector>

class QAction;
class QMenu;

class TFInhomogeneities : public TModelTableDialog {
  Q_OBJECT

public:
  explicit TFInhomogeneities(QWidget* owner = nullptr);

  void SetItems(const std::vector<TInhomogeneityRecord>& records);
  // The table's list with the materials rebuilt for it; while the table is
  // read-only, the list last set and the materials untouched.
  std::vector<TInhomogeneityRecord> ReadItems();
  // Stamps the list into the material and charge layers; false when a layer
  // is missing.
  bool RasterizeInhomogeneities(const std::vector<TInhomogeneityRecord>& records);
  const std::vector<TInhomogeneityRecord>& Items() const { return items; }

  void ShowShapeMenu();
  void ShowAlphaMenu();
  // The cell whose menu is open.
  int PopupRow() const { return popupRow; }
  int PopupCol() const { return popupCol; }
  void SetPopupCell(int row, int col)
  {
    popupRow = row;
    popupCol = col;
  }

  QMenu* PMshape = nullptr;
  QMenu* PMalpha = nullptr;

public slots:
  void SGdataClick(int row, int col);
  void PMIshapeClick(QAction* item);
  void PMIalphaClick(QAction* item);

protected:
  void SetDefaultRow() override;
  bool IsChooserColumn(int col) const override;
  void OpenChooser(int row, int col) override;

private:
  void WriteTagToPopupCell(QAction* item);
  void PopUp(QMenu* menu);

  std::vector<TInhomogeneityRecord> items;
  int popupRow = 0;
  int popupCol = 0;
};

extern TFInhomogeneities* FInhomogeneities;

#pragma once
// TFElectrodes: the electrode table. Rows 1 and up hold one electrode each:
// start x, y, z and diameter, end x, y, z and diameter, code and colour; z is
// the height above the plane of the last level.
#include "model/dialogs/ModelTableDialog.h"
#include "model/store/ElectrodeRecord.h"

#include <vector>

class TFElectrodes : public TModelTableDialog {
  Q_OBJECT

public:
  explicit TFElectrodes(QWidget* owner = nullptr);

  // Keeps the list and fills the table.
  void SetItems(const std::vector<TElectrodeRecord>& records);
  // The table's list; while the table is read-only, the list last set.
  std::vector<TElectrodeRecord> ReadItems();
  // Stamps the list into the electrode layer of the GIS; false when the GIS
  // has no such layer.
  bool RasterizeElectrodes(const std::vector<TElectrodeRecord>& records);
  const std::vector<TElectrodeRecord>& Items() const { return items; }

protected:
  void SetDefaultRow() override;

private:
  std::vector<TElectrodeRecord> items;
};

extern TFElectrodes* FElectrodes;

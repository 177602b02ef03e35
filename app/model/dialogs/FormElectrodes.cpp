#include "model/dialogs/FormElectrodes.h"

#include "maps/Stringgrids.h"
#include "model/store/Electrodes.h"
#include "model/store/layers/ModelLayerStamping.h"

#include <QHeaderView>
#include <QTableWidget>

TFElectrodes* FElectrodes = nullptr;

namespace {
constexpr int ColumnCount = 10;
constexpr int ColourColumn = 9;
}  // namespace

TFElectrodes::TFElectrodes(QWidget* owner) : TModelTableDialog(owner, ColumnCount, ColourColumn)
{
  setObjectName("FElectrodes");
  setWindowTitle(QStringLiteral("Электроды"));
  resize(628, 200);
  SGdata->setHorizontalHeaderLabels({QStringLiteral("x, м"), QStringLiteral("y, м"), QStringLiteral("z, м"),
                                     QStringLiteral("d, м"), QStringLiteral("x, м"), QStringLiteral("y, м"),
                                     QStringLiteral("z, м"), QStringLiteral("d, м"), QStringLiteral("индекс"),
                                     QStringLiteral("цвет")});
  const char* hints[ColumnCount] = {"начальное положение на осевой линии", nullptr, nullptr, "начальный диаметр",
                                    "конечное положение на осевой линии", nullptr, nullptr, "конечный диаметр",
                                    "{-2,-3} {-4,-5} ...", nullptr};
  for (int c = 0; c < ColumnCount; ++c)
    if (hints[c])
      SGdata->horizontalHeaderItem(c)->setToolTip(QString::fromUtf8(hints[c]));
  SetColumnWidths({60, 60, 60, 60, 60, 60, 60, 60, 60, 39});
  AddColumnGroup(0, 3, QStringLiteral("точка начала"));
  AddColumnGroup(4, 7, QStringLiteral("точка конца"));
  SetDefaultRow();
}

void TFElectrodes::SetDefaultRow()
{
  GridClearCells(*SGdata, 0, 1, -1, 1);
  SetGridCell(*SGdata, ColourColumn, 1, QStringLiteral("255"));
}

void TFElectrodes::SetItems(const std::vector<TElectrodeRecord>& records)
{
  items = records;
  if (records.empty()) {
    SGdata->setRowCount(2);
    SetDefaultRow();
  } else {
    SGdata->setRowCount(static_cast<int>(records.size()) + 1);
    const double l2 = L2();
    for (size_t k = 0; k < records.size(); ++k) {
      const TElectrodeRow row = ElectrodeToRow(records[k], l2);
      for (int c = 0; c < ColumnCount; ++c)
        SetGridCell(*SGdata, c, static_cast<int>(k) + 1, QString::fromStdString(row[c]));
    }
  }
  PaintColourCells();
}

std::vector<TElectrodeRecord> TFElectrodes::ReadItems()
{
  if (!IsEditable())
    return items;
  std::vector<TElectrodeRow> rows;
  for (int r = 1; r < SGdata->rowCount(); ++r) {
    TElectrodeRow row;
    for (int c = 0; c < ColumnCount; ++c)
      row[c] = GridCell(*SGdata, c, r).toStdString();
    rows.push_back(row);
  }
  items = ElectrodesFromTable(rows, L2());
  return items;
}

bool TFElectrodes::RasterizeElectrodes(const std::vector<TElectrodeRecord>& records)
{
  return gis && ::RasterizeElectrodes(*gis, records);
}

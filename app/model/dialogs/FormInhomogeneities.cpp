#include "model/dialogs/FormInhomogeneities.h"

#include "maps/Stringgrids.h"
#include "model/dialogs/InhomogeneityCellText.h"
#include "model/store/Inhomogeneities.h"
#include "model/store/layers/ModelLayerStamping.h"

#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <korvane.h>

TFInhomogeneities* FInhomogeneities = nullptr;

namespace {

constexpr int ColumnCount = 12;
constexpr int ShapeColumn = 9;
constexpr int ColourColumn = 10;
constexpr int AlphaColumn = 11;
constexpr int DropDownWidth = 12;

// Shows the shape and transparency integers as their names; the cells keep
// the integers.
class TInhomogeneityDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
  {
    QStyledItemDelegate::initStyleOption(option, index);
    const std::string text = index.data(Qt::DisplayRole).toString().toStdString();
    if (index.row() >= 1 && index.column() == ShapeColumn)
      option->text = QString::fromStdString(ShapeCellText(text));
    else if (index.row() >= 1 && index.column() == AlphaColumn)
      option->text = QString::fromStdString(AlphaCellText(text));
  }
};

}  // namespace

TFInhomogeneities::TFInhomogeneities(QWidget* owner) : TModelTableDialog(owner, ColumnCount, ColourColumn)
{
  setObjectName("FInhomogeneities");
  setWindowTitle(QStringLiteral("Неоднородности"));
  resize(740, 199);
  SGdata->setHorizontalHeaderLabels({QStringLiteral("x, м"), QStringLiteral("y, м"), QStringLiteral("z, м"),
                                     QStringLiteral("x, м"), QStringLiteral("y, м"), QStringLiteral("z, м"),
                                     QStringLiteral("ε"), QStringLiteral("σ, См/м"), QStringLiteral("ρ, Кл/м³"),
                                     QStringLiteral("форма"), QStringLiteral("цвет"), QStringLiteral("прозр.")});
  SGdata->horizontalHeaderItem(0)->setToolTip(QStringLiteral("положение центра"));
  SGdata->horizontalHeaderItem(3)->setToolTip(QStringLiteral("размеры"));
  SGdata->horizontalHeaderItem(6)->setToolTip(QStringLiteral("относительная диэлектрическая проницаемость"));
  SGdata->horizontalHeaderItem(8)->setToolTip(QStringLiteral("плотность индуцированного объемного заряда"));
  SGdata->horizontalHeaderItem(11)->setToolTip(QStringLiteral("степень прозрачности"));
  const int widths[ColumnCount] = {60, 60, 60, 60, 60, 60, 60, 60, 62, 77, 44, 39};
  for (int c = 0; c < ColumnCount; ++c)
    SGdata->setColumnWidth(c, widths[c]);
  SGdata->setItemDelegate(new TInhomogeneityDelegate(SGdata));

  PMshape = new QMenu(this);
  PMshape->addAction(QStringLiteral("\"кубик\""))->setData(0);
  PMshape->addAction(QStringLiteral("эллисоид"))->setData(1);
  PMalpha = new QMenu(this);
  const int alphaTags[] = {6554, 13107, 19661, 26214, 32768, 39322, 45875, 52429, 58982};
  for (int i = 0; i < 9; ++i)
    PMalpha->addAction(QStringLiteral("%1%").arg(90 - 10 * i))->setData(alphaTags[i]);
  PMalpha->addAction(QStringLiteral("не прозрачный"))->setData(65536);
  connect(PMshape, &QMenu::triggered, this, &TFInhomogeneities::PMIshapeClick);
  connect(PMalpha, &QMenu::triggered, this, &TFInhomogeneities::PMIalphaClick);
  connect(SGdata, &QTableWidget::cellClicked, this, &TFInhomogeneities::SGdataClick);
  SetDefaultRow();
}

void TFInhomogeneities::SetDefaultRow()
{
  GridClearCells(*SGdata, 0, 1, -1, 1);
  SetGridCell(*SGdata, ColourColumn, 1, QStringLiteral("255"));
  SetGridCell(*SGdata, ShapeColumn, 1, QStringLiteral("1"));
  SetGridCell(*SGdata, AlphaColumn, 1, QStringLiteral("65536"));
}

bool TFInhomogeneities::IsChooserColumn(int col) const
{
  return col == ShapeColumn || col == ColourColumn || col == AlphaColumn;
}

void TFInhomogeneities::SetItems(const std::vector<TInhomogeneityRecord>& records)
{
  items = records;
  const std::vector<TInhomogeneityRow> rows = heap ? InhomogeneityRows(records, *heap)
                                                   : std::vector<TInhomogeneityRow>{};
  if (rows.empty()) {
    SGdata->setRowCount(2);
    SetDefaultRow();
  } else {
    SGdata->setRowCount(static_cast<int>(rows.size()) + 1);
    for (size_t k = 0; k < rows.size(); ++k)
      for (int c = 0; c < ColumnCount; ++c)
        SetGridCell(*SGdata, c, static_cast<int>(k) + 1, QString::fromStdString(rows[k][c]));
  }
  PaintColourCells();
}

std::vector<TInhomogeneityRecord> TFInhomogeneities::ReadItems()
{
  if (!IsEditable() || !heap)
    return items;
  std::vector<TInhomogeneityRow> rows;
  for (int r = 1; r < SGdata->rowCount(); ++r) {
    TInhomogeneityRow row;
    for (int c = 0; c < ColumnCount; ++c)
      row[c] = GridCell(*SGdata, c, r).toStdString();
    rows.push_back(row);
  }
  const TInhomogeneityTable table = InhomogeneitiesFromTable(rows, LatticeLengthsOf(*heap));
  // Without the materials for them, the records would point past the table.
  if (!RebuildMaterialTable(*heap, table, GetCalcState()))
    return items;
  items = table.records;
  return items;
}

bool TFInhomogeneities::RasterizeInhomogeneities(const std::vector<TInhomogeneityRecord>& records)
{
  return gis && heap && ::RasterizeInhomogeneities(*gis, records, heap->AuxParam21);
}

void TFInhomogeneities::SGdataClick(int row, int col)
{
  if (row < 1 || !IsEditable())
    return;
  const QRect cell = SGdata->visualItemRect(SGdata->item(row, col));
  const QPoint at = SGdata->viewport()->mapFromGlobal(QCursor::pos());
  if (at.x() < cell.right() - DropDownWidth + 1 || at.x() > cell.right())
    return;
  if (col == ShapeColumn || col == AlphaColumn)
    OpenChooser(row, col);
}

void TFInhomogeneities::OpenChooser(int row, int col)
{
  if (col == ShapeColumn || col == AlphaColumn) {
    SetPopupCell(row, col);
    if (col == ShapeColumn)
      ShowShapeMenu();
    else
      ShowAlphaMenu();
    return;
  }
  TModelTableDialog::OpenChooser(row, col);
}

void TFInhomogeneities::PopUp(QMenu* menu)
{
  const QRect cell = SGdata->visualRect(SGdata->model()->index(popupRow, popupCol));
  menu->popup(SGdata->viewport()->mapToGlobal(cell.bottomLeft()));
}

void TFInhomogeneities::ShowShapeMenu()
{
  PopUp(PMshape);
}

void TFInhomogeneities::ShowAlphaMenu()
{
  PopUp(PMalpha);
}

void TFInhomogeneities::WriteTagToPopupCell(QAction* item)
{
  if (!IsEditable() || popupRow < 1)
    return;
  SetGridCell(*SGdata, popupCol, popupRow, QString::number(item->data().toInt()));
}

void TFInhomogeneities::PMIshapeClick(QAction* item)
{
  WriteTagToPopupCell(item);
}

void TFInhomogeneities::PMIalphaClick(QAction* item)
{
  WriteTagToPopupCell(item);
}

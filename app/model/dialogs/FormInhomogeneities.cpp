#include "model/dialogs/FormInhomogeneities.h"

#include "maps/Stringgrids.h"
#include "model/dialogs/InhomogeneityCellText.h"
#include "model/store/Inhomogeneities.h"
#include "model/store/layers/ModelLayerStamping.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTableWidget>

#include <korvane.h>

TFInhomogeneities* FInhomogeneities = nullptr;

namespace {

constexpr int ColumnCount = 12;
constexpr int ShapeColumn = 9;
constexpr int ColourColumn = 10;
constexpr int AlphaColumn = 11;
constexpr int DropDownWidth = 12;
constexpr int ArrowWidth = 9;
constexpr int ArrowHeight = 5;

bool IsDropDownCell(const QModelIndex& index)
{
  return index.row() >= 1 && (index.column() == ShapeColumn || index.column() == AlphaColumn);
}

// The drop-down button at the right of a shape or transparency cell: light
// grey, raised by a white and a black edge, with a black arrow pointing down.
void PaintDropDownButton(QPainter& painter, const QRect& cell)
{
  const QRect button(cell.right() - DropDownWidth + 1, cell.top(), DropDownWidth, cell.height());
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(button, QColor(0xC0, 0xC0, 0xC0));
  painter.setPen(Qt::white);
  painter.drawLine(button.topLeft(), button.topRight());
  painter.drawLine(button.topLeft(), button.bottomLeft());
  painter.setPen(Qt::black);
  painter.drawLine(button.bottomLeft(), button.bottomRight());
  painter.drawLine(button.topRight(), button.bottomRight());
  const int left = button.left() + 2;
  const int top = cell.top() + std::max(1, (cell.height() - ArrowHeight) / 2);
  for (int row = 0; row < ArrowHeight; ++row)
    painter.drawLine(left + row, top + row, left + ArrowWidth - 1 - row, top + row);
  painter.restore();
}

// Shows the shape and transparency integers as their names, with a drop-down
// button; the cells keep the integers.
class TInhomogeneityDelegate : public TChooserCellDelegate {
public:
  using TChooserCellDelegate::TChooserCellDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
  {
    TChooserCellDelegate::paint(painter, option, index);
    if (IsDropDownCell(index))
      PaintDropDownButton(*painter, option.rect);
  }

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
  {
    TChooserCellDelegate::initStyleOption(option, index);
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
  SGdata->horizontalHeaderItem(6)->setToolTip(QStringLiteral("относительная диэлектрическая проницаемость"));
  SGdata->horizontalHeaderItem(8)->setToolTip(QStringLiteral("плотность индуцированного объемного заряда"));
  SGdata->horizontalHeaderItem(11)->setToolTip(QStringLiteral("степень прозрачности"));
  // The shape and transparency cells hold their longest name beside the button.
  const int margin = 2 * (SGdata->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, SGdata) + 1);
  const auto chooserWidth = [&](std::initializer_list<const char*> names, int width) {
    for (const char* name : names)
      width = std::max(width, SGdata->fontMetrics().horizontalAdvance(QString::fromUtf8(name)) + margin + DropDownWidth);
    return width;
  };
  SetColumnWidths({60, 60, 60, 60, 60, 60, 60, 60, 62, chooserWidth({"эллипсоид", "\"кубик\""}, 77), 44,
                   chooserWidth({"100%"}, 39)});
  AddColumnGroup(0, 2, QStringLiteral("положение центра"));
  AddColumnGroup(3, 5, QStringLiteral("размеры"));
  SGdata->setItemDelegate(new TInhomogeneityDelegate(ChooserCells(), SGdata));

  PMshape = new QMenu(this);
  PMshape->addAction(QStringLiteral("\"кубик\""))->setData(0);
  PMshape->addAction(QStringLiteral("эллипсоид"))->setData(1);
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
  // A click anywhere in a shape or transparency cell opens its menu, not
  // only one on the narrow button.
  if (row < 1 || !IsEditable())
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

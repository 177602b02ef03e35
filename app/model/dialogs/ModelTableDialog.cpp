#include "model/dialogs/ModelTableDialog.h"

#include "base/ModalCalls.h"
#include "data/TextConversion.h"
#include "maps/Stringgrids.h"
#include "model/dialogs/ChooserCellDelegate.h"
#include "model/dialogs/ParamDialogLayout.h"
#include "model/store/Inhomogeneities.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <korvane.h>

namespace {

constexpr int DefaultColour = 255;
// Rows the table shows at least.
constexpr int VisibleRows = 3;

int IntegerOr(const QString& text, int fallback)
{
  try {
    return StrToIntStrict(text.toStdString());
  } catch (const EConvertError&) {
    return fallback;
  }
}

// COLORREF keeps red in the low byte.
QColor FromColorRef(int colour)
{
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int ToColorRef(const QColor& colour)
{
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

std::optional<int> AskColour(QWidget* parent, int initial)
{
  const std::optional<QColor> chosen = ModalCalls().ChooseColour(parent, FromColorRef(initial));
  if (!chosen || !chosen->isValid())
    return std::nullopt;
  return ToColorRef(*chosen);
}

// The keys with which a user starts to edit a cell: text, F2, Enter, Space.
bool StartsEditing(const QKeyEvent& key)
{
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
    return false;
  switch (key.key()) {
  case Qt::Key_F2:
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Space: return true;
  default: return !key.text().isEmpty() && key.text().at(0).isPrint();
  }
}

}  // namespace

TModelTableDialog::TModelTableDialog(QWidget* owner, int columns, int colourCol)
    : QDialog(owner), colourColumn(colourCol), chooseColor(AskColour)
{
  SGdata = new QTableWidget(2, columns, this);
  SGdata->setObjectName("SGdata");
  SGdata->verticalHeader()->hide();
  SGdata->verticalHeader()->setDefaultSectionSize(20);
  SetGridFixed(*SGdata, 0, 1);
  // Row 0 is the grid's fixed header row; the column captions stand above it.
  SGdata->setRowHidden(0, true);
  SGdata->setItemDelegate(new TChooserCellDelegate(ChooserCells(), SGdata));
  SGdata->installEventFilter(this);
  add = new QPushButton(QStringLiteral("новый"), this);
  del = new QPushButton(QStringLiteral("удалить"), this);
  Ok = new QPushButton(QStringLiteral("Ok"), this);
  Ok->setDefault(true);
  Cancel = new QPushButton(QStringLiteral("Отмена"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(del);
  buttons->addStretch();
  buttons->addWidget(Ok);
  buttons->addWidget(Cancel);
  // The band above the grid holds the headings of column groups; it stays
  // empty and flat for a table without groups.
  groupBand = new QWidget(this);
  groupBand->setObjectName("GroupBand");
  groupBand->hide();
  SGdata->setMinimumHeight(GridHeightFor(SGdata, VisibleRows));
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(0);
  layout->addWidget(groupBand);
  layout->addWidget(SGdata);
  layout->addSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing));
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &TModelTableDialog::addClick);
  connect(del, &QPushButton::clicked, this, &TModelTableDialog::delClick);
  connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(SGdata, &QTableWidget::currentCellChanged, this,
          [this](int row, int col) { SGdataSelectCell(row, col); });
  connect(SGdata, &QTableWidget::cellDoubleClicked, this, &TModelTableDialog::SGdataDblClick);
  connect(SGdata->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceGroupHeadings(); });
  connect(SGdata->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceGroupHeadings(); });
  connect(SGdata, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() == colourColumn)
      PaintColourCell(item->row());
  });
  ApplyEditable();
}

void TModelTableDialog::SetCalcState(int state)
{
  calcState = state;
  editable = MaterialTableEditable(state);
  ApplyEditable();
}

void TModelTableDialog::ApplyEditable()
{
  add->setEnabled(editable);
  del->setEnabled(editable);
  SGdataSelectCell(SGdata->currentRow(), SGdata->currentColumn());
}

void TModelTableDialog::SGdataSelectCell(int, int col)
{
  // Chooser columns take no typed text; a table in use by a run takes none at all.
  const bool typing = editable && !IsChooserColumn(col);
  SGdata->setEditTriggers(typing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                       QAbstractItemView::AnyKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
  SGdata->viewport()->update();
}

void TModelTableDialog::EndCellEditing()
{
  // Moving the current index commits and closes an open editor.
  const QModelIndex current = SGdata->currentIndex();
  SGdata->setCurrentIndex(QModelIndex());
  SGdata->setCurrentIndex(current);
}

TChooserCellDelegate::TIsChooser TModelTableDialog::ChooserCells() const
{
  return [this](const QModelIndex& index) { return index.row() >= 1 && IsChooserColumn(index.column()); };
}

int TModelTableDialog::DataRow() const
{
  return std::max(SGdata->currentRow(), 1);
}

double TModelTableDialog::L2() const
{
  return heap ? (heap->N2 - 1) * heap->CellSize2 : 0.0;
}

void TModelTableDialog::addClick()
{
  if (!editable)
    return;
  EndCellEditing();
  GridInsertRow(*SGdata, DataRow(), false);
  PaintColourCells();
}

void TModelTableDialog::delClick()
{
  if (!editable)
    return;
  EndCellEditing();
  if (SGdata->rowCount() > 2)
    GridDeleteRow(*SGdata, DataRow());
  else
    SetDefaultRow();
  PaintColourCells();
}

void TModelTableDialog::SGdataDblClick()
{
  const int row = SGdata->currentRow();
  const int col = SGdata->currentColumn();
  if (editable && row >= 1 && IsChooserColumn(col))
    OpenChooser(row, col);
}

void TModelTableDialog::OpenChooser(int row, int col)
{
  if (col != colourColumn || !chooseColor)
    return;
  const std::optional<int> chosen = chooseColor(this, IntegerOr(GridCell(*SGdata, col, row), DefaultColour));
  if (chosen)
    SetGridCell(*SGdata, col, row, QString::number(*chosen));
  PaintColourCell(row);
}

void TModelTableDialog::SetColumnWidths(const QList<int>& widths)
{
  for (int c = 0; c < widths.size() && c < SGdata->columnCount(); ++c)
    SGdata->setColumnWidth(c, std::max(widths[c], SGdata->horizontalHeader()->sectionSizeHint(c)));
  FitWidthToColumns();
}

void TModelTableDialog::FitWidthToColumns()
{
  int columns = 0;
  for (int c = 0; c < SGdata->columnCount(); ++c)
    columns += SGdata->columnWidth(c);
  const int gridWidth =
      columns + 2 * SGdata->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SGdata);
  SGdata->setMinimumWidth(gridWidth);
  const QMargins margins = layout()->contentsMargins();
  if (width() < gridWidth + margins.left() + margins.right())
    resize(gridWidth + margins.left() + margins.right(), height());
}

void TModelTableDialog::AddColumnGroup(int first, int last, const QString& text)
{
  auto* heading = new QLabel(text, groupBand);
  heading->setObjectName(QStringLiteral("GroupHeading%1").arg(groupHeadings.size()));
  heading->setAlignment(Qt::AlignCenter);
  groupHeadings.push_back(heading);
  groupColumns.push_back({first, last});
  groupBand->setFixedHeight(heading->sizeHint().height());
  groupBand->show();
  PlaceGroupHeadings();
}

void TModelTableDialog::PlaceGroupHeadings()
{
  // The band lines up with the grid, so a heading spans its columns' sections.
  const QHeaderView* header = SGdata->horizontalHeader();
  const int origin = SGdata->geometry().left() - groupBand->geometry().left() + SGdata->frameWidth();
  for (int i = 0; i < groupHeadings.size(); ++i) {
    const auto [first, last] = groupColumns[i];
    const int left = origin + header->sectionViewportPosition(first);
    const int right = origin + header->sectionViewportPosition(last) + header->sectionSize(last);
    groupHeadings[i]->setGeometry(left, 0, right - left, groupBand->height());
  }
}

void TModelTableDialog::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  FitWidthToColumns();
  PlaceGroupHeadings();
}

bool TModelTableDialog::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
    PlaceGroupHeadings();
  // A key that would start editing opens the chooser of a chooser cell, as a
  // double click does; moving on with Tab or the arrows stays possible.
  if (watched == SGdata && event->type() == QEvent::KeyPress && IsChooserColumn(SGdata->currentColumn()) &&
      SGdata->currentRow() >= 1 && StartsEditing(*static_cast<QKeyEvent*>(event))) {
    SGdataDblClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TModelTableDialog::PaintColourCell(int row)
{
  if (row < 1)
    return;
  QTableWidgetItem* item = SGdata->item(row, colourColumn);
  if (!item) {
    SetGridCell(*SGdata, colourColumn, row, QString::number(DefaultColour));
    return;  // setting the text painted it
  }
  const QColor colour = FromColorRef(IntegerOr(item->text(), DefaultColour));
  if (item->background().color() != colour || item->background().style() != Qt::SolidPattern) {
    item->setBackground(colour);
    item->setForeground(colour);
  }
}

void TModelTableDialog::PaintColourCells()
{
  for (int r = 1; r < SGdata->rowCount(); ++r)
    PaintColourCell(r);
}

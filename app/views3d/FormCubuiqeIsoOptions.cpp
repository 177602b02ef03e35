#include "views3d/FormCubuiqeIsoOptions.h"

#include "base/ColorRef.h"
#include "views3d/DialogNumbers.h"
#include "views3d/FrameCubuiqe.h"

#include "base/ModalCalls.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

constexpr COLORREF DefaultColour = 0xFF0000;

bool IsColourColumn(int column)
{
  return column == 2 || column == 3;
}

} // namespace

TFCubuiqeIsoOptions::TFCubuiqeIsoOptions(QWidget* parent) : TCubeDialog(parent)
{
  setObjectName(QStringLiteral("FCubuiqeIsoOptions"));
  setWindowTitle(Tr("Изоповерхности"));
  resize(380, 234);
  SGdata = new QTableWidget(1, 4, this);
  SGdata->setObjectName(QStringLiteral("SGdata"));
  SGdata->setHorizontalHeaderLabels({Tr("N"), Tr("значение"), Tr("цвет >"), Tr("цвет <")});
  SGdata->verticalHeader()->hide();
  SGdata->setColumnWidth(0, 40);
  SGdata->setColumnWidth(1, 99);
  SGdata->setColumnWidth(2, 47);
  SGdata->setColumnWidth(3, 46);
  Bapply = new QPushButton(Tr("Применить"), this);
  Bok = new QPushButton(Tr("Ok"), this);
  Bcancel = new QPushButton(Tr("Отмена"), this);
  for (QPushButton* button : {Bapply, Bok, Bcancel})
    button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Bapply);
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SGdata);
  layout->addLayout(buttons);

  connect(Bapply, &QPushButton::clicked, this, [this] { BapplyClick(); });
  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
  connect(SGdata, &QTableWidget::currentCellChanged, this,
          [this](int row, int column, int, int) { SGdataSelectCell(column, row); });
  SGdata->installEventFilter(this);
  connect(SGdata, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) { EditColour(column, row); });
}

COLORREF TFCubuiqeIsoOptions::CellColour(const QString& text)
{
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  return ok ? static_cast<COLORREF>(value) : DefaultColour;
}

QString TFCubuiqeIsoOptions::CellText(int row, int column) const
{
  const QTableWidgetItem* item = SGdata->item(row, column);
  return item ? item->text() : QString();
}

void TFCubuiqeIsoOptions::SetCell(int row, int column, const QString& text)
{
  QTableWidgetItem* item = SGdata->item(row, column);
  if (!item) {
    item = new QTableWidgetItem;
    SGdata->setItem(row, column, item);
  }
  item->setText(text);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!IsColourColumn(column))
    flags |= Qt::ItemIsEditable;
  item->setFlags(flags);
  if (IsColourColumn(column))
    PaintColourCell(row, column);
}

// A colour cell shows its colour rather than its number.
void TFCubuiqeIsoOptions::PaintColourCell(int row, int column)
{
  QTableWidgetItem* item = SGdata->item(row, column);
  if (!item)
    return;
  const QColor colour = QColorOf(CellColour(item->text()));
  item->setBackground(colour);
  item->setForeground(colour);
}

void TFCubuiqeIsoOptions::FormActivate()
{
  if (!Frame)
    return;
  Updating = true;
  const std::vector<CubeIsoLevel>& levels = Frame->IsoLevels;
  const int count = static_cast<int>(levels.size());
  SGdata->clearContents();
  SGdata->setRowCount(count + 1);
  for (int r = 0; r < count; ++r) {
    SetCell(r, 0, QString::number(r + 1));
    SetCell(r, 1, QString::number(levels[r].level, 'g', 15));
    SetCell(r, 2, QString::number(levels[r].frontColour));
    SetCell(r, 3, QString::number(levels[r].backColour));
  }
  SetCell(count, 0, QString::number(count + 1));
  for (int c = 1; c < 4; ++c)
    SetCell(count, c, QString());
  Updating = false;
}

// The blank last row becomes a level row when chosen: it takes the colours of
// the level above (where it has none) and a new blank row follows it.
void TFCubuiqeIsoOptions::SGdataSelectCell(int /*column*/, int row)
{
  if (Updating || row < 0 || row != SGdata->rowCount() - 1)
    return;
  for (int c = 2; c < 4; ++c)
    if (row > 0 && CellText(row, c).isEmpty())
      SetCell(row, c, CellText(row - 1, c));
  const int added = row + 1;
  SGdata->setRowCount(added + 1);
  SetCell(added, 0, QString::number(added + 1));
  SetCell(added, 1, QString());
  SetCell(added, 2, CellText(row, 2));
  SetCell(added, 3, CellText(row, 3));
}

void TFCubuiqeIsoOptions::EditColour(int column, int row)
{
  if (!IsColourColumn(column) || row < 0 || row >= SGdata->rowCount())
    return;
  const std::optional<QColor> chosen = ModalCalls().ChooseColour(this, QColorOf(CellColour(CellText(row, column))));
  if (chosen)
    SetCell(row, column, QString::number(ColorRefOf(*chosen)));
}

std::optional<std::vector<CubeIsoLevel>> TFCubuiqeIsoOptions::ReadLevels(QString* badValue) const
{
  std::vector<CubeIsoLevel> levels;
  for (int r = 0; r < SGdata->rowCount(); ++r) {
    const QString text = CellText(r, 1);
    if (text.trimmed().isEmpty())
      continue;
    const std::optional<double> value = NumberIn(text);
    if (!value) {
      if (badValue)
        *badValue = text;
      return std::nullopt;
    }
    levels.push_back({*value, CellColour(CellText(r, 2)), CellColour(CellText(r, 3))});
  }
  return levels;
}

// The new levels are read whole before the old ones go, so a bad value leaves
// the frame's levels as they were.
bool TFCubuiqeIsoOptions::BapplyClick()
{
  if (!Frame)
    return true;
  QString badValue;
  std::optional<std::vector<CubeIsoLevel>> levels = ReadLevels(&badValue);
  if (!levels) {
    ShowNotANumber(this, badValue);
    return false;
  }
  Frame->IsoLevels = std::move(*levels);
  Frame->Redraw();
  return true;
}

void TFCubuiqeIsoOptions::BokClick()
{
  if (BapplyClick())
    accept();
}

void TFCubuiqeIsoOptions::BcancelClick()
{
  reject();
}

// Enter on a colour cell picks its colour instead of ending the dialog.
bool TFCubuiqeIsoOptions::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && IsColourColumn(SGdata->currentColumn())) {
      EditColour(SGdata->currentColumn(), SGdata->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

TFCubuiqeIsoOptions* FCubuiqeIsoOptions() { return OneDialogOfTheRun<TFCubuiqeIsoOptions>(); }

#include "plots/FormSimplePlotLook.h"

#include "maps/Stringgrids.h"

#include "gis/BitmapCanvas.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 18;
constexpr int FixedRowHeight = 2;

} // namespace

TFSimplePlotLook::TFSimplePlotLook(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint)
{
  setWindowTitle(QString::fromUtf8("Просмотр данных"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  resize(230, 77);
  setMinimumSize(100, 50);
  SGdata = new QTableWidget(1, 2, this);
  SGdata->setObjectName("SGdata");
  SetGridFixed(*SGdata, 0, 1);
  SGdata->verticalHeader()->setDefaultSectionSize(RowHeight);
  SGdata->setRowHeight(0, FixedRowHeight);
  SGdata->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SGdata->setSelectionMode(QAbstractItemView::ContiguousSelection);
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(SGdata);
}

void TFSimplePlotLook::ShowValues(const std::vector<TReadOutRow>& rows)
{
  SGdata->setRowCount(static_cast<int>(rows.size()) + 1);
  SGdata->setRowHeight(0, FixedRowHeight);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const TReadOutRow& row = rows[r];
    SetGridCell(*SGdata, 0, r + 1, row.value);
    SetGridCell(*SGdata, 1, r + 1, row.label);
    const QColor colour = TBitmapCanvas::ColorOf(static_cast<COLORREF>(row.colour));
    for (int c = 0; c < 2; ++c)
      if (QTableWidgetItem* item = SGdata->item(r + 1, c))
        item->setBackground(colour);
    SGdata->setRowHeight(r + 1, RowHeight);
  }
  if (AutoHeight) {
    int height = 1 + 2 * SGdata->frameWidth();
    for (int r = 0; r < SGdata->rowCount(); ++r)
      height += SGdata->rowHeight(r) + 1;
    resize(width(), height);
  }
  FitLastColumn();
}

void TFSimplePlotLook::FitLastColumn()
{
  int rest = SGdata->viewport()->width() - SGdata->columnWidth(0);
  if (rest > 0)
    SGdata->setColumnWidth(1, rest);
}

void TFSimplePlotLook::resizeEvent(QResizeEvent* event)
{
  QWidget::resizeEvent(event);
  FitLastColumn();
}

void TFSimplePlotLook::closeEvent(QCloseEvent* event)
{
  if (OnClosed)
    OnClosed();
  event->accept();
}

bool TFSimplePlotLook::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers().testFlag(Qt::ControlModifier) && (key->key() == Qt::Key_C || key->key() == Qt::Key_Insert)) {
      BcopyClick();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFSimplePlotLook::BcopyClick()
{
  GridCopyToClipboard(*QApplication::clipboard(), *SGdata, false, false);
}

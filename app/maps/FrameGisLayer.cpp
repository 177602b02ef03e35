#include "maps/FrameGisLayer.h"

#include "gis/GIS.h"
#include "gis/GObj.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

TFmGisLayer::TFmGisLayer(QWidget* owner) : QWidget(owner)
{
  SGdata = new QTableWidget(this);
  SGdata->setObjectName("SGdata");
  SGdata->setColumnCount(3);
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->verticalHeader()->setDefaultSectionSize(18);
  SGdata->setShowGrid(false);
  SGdata->setSelectionBehavior(QAbstractItemView::SelectRows);
  SGdata->setSelectionMode(QAbstractItemView::ExtendedSelection);
  SGdata->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SGdata->setColumnWidth(0, 18);
  SGdata->setColumnWidth(1, 18);
  SGdata->viewport()->installEventFilter(this);
  connect(SGdata->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (dragging)
      MouseMove(SGdata->rowAt(SGdata->viewport()->mapFromGlobal(QCursor::pos()).y()));
  });
}

void TFmGisLayer::SetGis(TGIS* newGis)
{
  gis = newGis;
  ShowEntries();
}

void TFmGisLayer::SetEntries(std::vector<TGisLayerEntry> list)
{
  entries = std::move(list);
  ShowEntries();
}

std::int32_t TFmGisLayer::TypeCodeOf(const TGisLayerEntry& entry) const
{
  if (entry.Kind == TGisLayerEntry::ObjectType)
    return entry.Code;
  const TGObj* object = gis ? gis->FindObjectById(entry.Code) : nullptr;
  return object ? object->GetTypeCode() : -1;
}

void TFmGisLayer::ShowEntries()
{
  SGdata->setRowCount(static_cast<int>(entries.size()));
  for (int row = 0; row < SGdata->rowCount(); ++row) {
    const TGisLayerEntry& entry = entries[static_cast<size_t>(EntryOfRow(row))];
    QString name;
    if (entry.Kind == TGisLayerEntry::ObjectType)
      name = gis ? QString::fromStdString(gis->GetTypePluralName(entry.Code)) : QString();
    else if (const TGObj* object = gis ? gis->FindObjectById(entry.Code) : nullptr)
      name = QString::fromStdString(object->GetDisplayName());
    SGdata->setItem(row, 0, new QTableWidgetItem(entry.Shown ? "+" : ""));
    SGdata->setItem(row, 1, new QTableWidgetItem());
    SGdata->setItem(row, 2, new QTableWidgetItem(name));
  }
}

std::vector<int> TFmGisLayer::SelectedRows() const
{
  std::vector<int> rows;
  for (const QModelIndex& index : SGdata->selectionModel()->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TFmGisLayer::SelectRows(const std::vector<int>& rows)
{
  QItemSelection selection;
  for (int row : rows)
    selection.select(SGdata->model()->index(row, 0), SGdata->model()->index(row, 2));
  SGdata->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void TFmGisLayer::ToggleSelectedShown()
{
  const std::vector<int> rows = SelectedRows();
  for (int row : rows) {
    TGisLayerEntry& entry = entries[static_cast<size_t>(EntryOfRow(row))];
    entry.Shown = !entry.Shown;
  }
  ShowEntries();
  SelectRows(rows);
}

void TFmGisLayer::SelectTypeRun(int row)
{
  if (row < 0 || row >= SGdata->rowCount())
    return;
  const std::int32_t code = TypeCodeOf(entries[static_cast<size_t>(EntryOfRow(row))]);
  auto same = [&](int r) { return TypeCodeOf(entries[static_cast<size_t>(EntryOfRow(r))]) == code; };
  int first = row, last = row;
  while (first > 0 && same(first - 1))
    --first;
  while (last + 1 < SGdata->rowCount() && same(last + 1))
    ++last;
  std::vector<int> rows;
  for (int r = first; r <= last; ++r)
    rows.push_back(r);
  SelectRows(rows);
}

void TFmGisLayer::MoveSelection(int delta)
{
  std::vector<int> rows = SelectedRows();
  if (rows.empty() || delta == 0)
    return;
  delta = std::clamp(delta, -rows.front(), SGdata->rowCount() - 1 - rows.back());
  if (delta == 0)
    return;
  // Rows in display order; the selected ones move as a block of their own order.
  std::vector<TGisLayerEntry> shown;
  for (int row = 0; row < SGdata->rowCount(); ++row)
    shown.push_back(entries[static_cast<size_t>(EntryOfRow(row))]);
  std::vector<TGisLayerEntry> picked, rest;
  for (int row = 0; row < static_cast<int>(shown.size()); ++row)
    (std::binary_search(rows.begin(), rows.end(), row) ? picked : rest).push_back(shown[static_cast<size_t>(row)]);
  std::vector<int> target;
  for (int row : rows)
    target.push_back(row + delta);
  std::vector<TGisLayerEntry> placed(shown.size());
  std::vector<bool> taken(shown.size(), false);
  for (size_t k = 0; k < target.size(); ++k) {
    placed[static_cast<size_t>(target[k])] = picked[k];
    taken[static_cast<size_t>(target[k])] = true;
  }
  size_t next = 0;
  for (size_t row = 0; row < placed.size(); ++row)
    if (!taken[row])
      placed[row] = rest[next++];
  std::reverse(placed.begin(), placed.end());
  entries = std::move(placed);
  ShowEntries();
  SelectRows(target);
  moved = true;
}

void TFmGisLayer::MousePress(int col, int row)
{
  if (row < 0)
    return;
  if (col == 0) {
    ToggleSelectedShown();
    return;
  }
  if (col == 1)
    SelectTypeRun(row);
  dragging = true;
  moved = false;
  rowUnderMouse = row;
}

void TFmGisLayer::MouseMove(int row)
{
  if (!dragging || row < 0 || row == rowUnderMouse)
    return;
  MoveSelection(row - rowUnderMouse);
  rowUnderMouse = row;
}

bool TFmGisLayer::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata->viewport()) {
    // Only the mouse cases may take the event for a mouse event.
    const auto mousePosition = [event] { return static_cast<QMouseEvent*>(event)->position().toPoint(); };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const QPoint at = mousePosition();
      const int col = SGdata->columnAt(at.x());
      const int row = SGdata->rowAt(at.y());
      MousePress(col, row);
      // The flag and type columns set the selection themselves; elsewhere the
      // grid selects the clicked row as usual.
      return col == 0 || (col == 1 && row >= 0);
    }
    case QEvent::MouseMove:
      if (dragging) {
        MouseMove(SGdata->rowAt(mousePosition().y()));
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (dragging) {
        dragging = false;
        SGdata->viewport()->update();
      }
      break;
    default: break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFmGisLayer::resizeEvent(QResizeEvent* event)
{
  QWidget::resizeEvent(event);
  SGdata->setGeometry(rect());
  const int client = SGdata->viewport()->width();
  SGdata->setColumnWidth(2, std::max(0, client - 36 - SGdata->columnWidth(0) - SGdata->columnWidth(1)));
}

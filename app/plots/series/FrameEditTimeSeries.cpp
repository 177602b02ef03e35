#include "plots/series/FrameEditTimeSeries.h"

#include "base/ModalCalls.h"
#include "data/TextConversion.h"
#include "data/TimeConversion.h"
#include "data/TimeSerie.h"
#include "data/qt/RegistrySettings.h"
#include "maps/Stringgrids.h"
#include "plots/series/FormDate.h"
#include "plots/series/FormDateShift.h"
#include "plots/series/FormDateTime.h"
#include "plots/series/FormMonthSelector.h"
#include "plots/series/SeriesMerge.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr int TimePrecision = 6;
const char* const FileFilter = "txt файлы (*.txt);;dat файлы (*.dat);;все (*)";

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

QString ValueText(double value) { return QString::fromStdString(FloatToStrSep(value, ffGeneral, 6, 0)); }

// The header of a series: its label, and its unit after the separator when both exist.
QString SeriesHeader(const TTimeSerie& serie, const QString& separator)
{
  const QString label = QString::fromStdString(serie.firstCaption);
  const QString unit = QString::fromStdString(serie.secondCaption);
  if (!label.isEmpty() && !unit.isEmpty())
    return label + separator + unit;
  return label.isEmpty() ? unit : label;
}

} // namespace

// Shows the time column by the time code, edits its cells as that text, and
// draws the drop-down mark of the date dialog.
class TTimeCellDelegate : public QStyledItemDelegate {
public:
  explicit TTimeCellDelegate(TFmEditTimeSeries& frame) : QStyledItemDelegate(&frame), frame(frame) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override
  {
    openEditor = QStyledItemDelegate::createEditor(parent, option, index);
    return openEditor;
  }

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override
  {
    if (editor == openEditor)
      openEditor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override
  {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && frame.IsTimeCell(index.column(), index.row()))
      line->setText(frame.TimeText(index.row()));
    else
      QStyledItemDelegate::setEditorData(editor, index);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
  {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && frame.IsTimeCell(index.column(), index.row()))
      frame.StoreTimeText(index.row(), line->text());
    else
      QStyledItemDelegate::setModelData(editor, model, index);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
  {
    QStyledItemDelegate::paint(painter, option, index);
    if (frame.ShowsDropDownMark() && frame.IsTimeCell(index.column(), index.row()))
      PaintDropDownMark(painter, option.rect);
  }

  // Stores what the open editor holds and closes it.
  void FinishEdit() const
  {
    if (QWidget* editor = openEditor) {
      auto* self = const_cast<TTimeCellDelegate*>(this);
      emit self->commitData(editor);
      emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
  {
    QStyledItemDelegate::initStyleOption(option, index);
    if (frame.IsTimeCell(index.column(), index.row()))
      option->text = frame.TimeText(index.row());
  }

private:
  static void PaintDropDownMark(QPainter* painter, const QRect& cell)
  {
    const QRect mark(cell.right() - TFmEditTimeSeries::DropDownWidth + 1, cell.top(),
                     TFmEditTimeSeries::DropDownWidth, cell.height());
    painter->save();
    painter->fillRect(mark, QColor(0xC0, 0xC0, 0xC0));
    const QPoint centre = mark.center();
    const QPolygon arrow({centre + QPoint(-3, -1), centre + QPoint(3, -1), centre + QPoint(0, 2)});
    painter->setPen(Qt::black);
    painter->setBrush(Qt::black);
    painter->drawPolygon(arrow);
    qDrawShadeRect(painter, mark, QPalette(Qt::white, QColor(0x80, 0x80, 0x80)), false, 1);
    painter->restore();
  }

  TFmEditTimeSeries& frame;
  mutable QWidget* openEditor = nullptr;
};

TFmEditTimeSeries::TFmEditTimeSeries(QWidget* owner) : QWidget(owner)
{
  setObjectName("FmEditTimeSeries");
  CreateDesign();
  CreateMenu();
  SGdata->setColumnCount(2);
  SGdata->setRowCount(2);
  SetGridFixed(*SGdata, 0, 1);
  SGdata->setCurrentCell(1, 1);
  SGdata->setRowHeight(0, 18 * 7 / 4);
  TGridEditHooks hooks;
  hooks.OnGetEditText = [this](QObject*, int col, int row, QString& text) { GetExchangeText(col, row, text); };
  hooks.OnSetEditText = [this](QObject*, int col, int row, const QString& text) {
    SetExchangeText(col, row, text);
  };
  SetGridEditHooks(*SGdata, hooks);
  SetEditable(true);
}

void TFmEditTimeSeries::CreateDesign()
{
  GBdata = new QGroupBox(this);
  SGdata = new QTableWidget(GBdata);
  SGdata->setObjectName("SGdata");
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->verticalHeader()->setDefaultSectionSize(18);
  SGdata->horizontalHeader()->setDefaultSectionSize(130);
  SGdata->setSelectionMode(QAbstractItemView::ContiguousSelection);
  SGdata->setTabKeyNavigation(true);
  SGdata->setWordWrap(false);
  SGdata->setContextMenuPolicy(Qt::CustomContextMenu);
  delegate = new TTimeCellDelegate(*this);
  SGdata->setItemDelegate(delegate);
  SGdata->viewport()->installEventFilter(this);
  connect(SGdata, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
    currentCol = col;
    currentRow = row;
  });
  connect(SGdata, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PMdataPopup();
    PMdata->popup(SGdata->viewport()->mapToGlobal(at));
  });

  auto button = [this](const char* name, const char* hint, QStyle::StandardPixmap glyph, void (TFmEditTimeSeries::*click)()) {
    auto* made = new QToolButton(GBdata);
    made->setObjectName(name);
    made->setToolTip(QString::fromUtf8(hint));
    made->setAutoRaise(true);
    made->setIcon(style()->standardIcon(glyph));
    made->resize(30, 25);
    connect(made, &QToolButton::clicked, this, click);
    return made;
  };
  Bnew = button("Bnew", "добавить", QStyle::SP_FileDialogNewFolder, &TFmEditTimeSeries::BnewClick);
  Bdel = button("Bdel", "удалить", QStyle::SP_TrashIcon, &TFmEditTimeSeries::BdelClick);
  Bcopy = button("Bcopy", "копировать", QStyle::SP_FileDialogDetailedView, &TFmEditTimeSeries::BcopyClick);
  Bpast = button("Bpast", "вставить", QStyle::SP_DialogResetButton, &TFmEditTimeSeries::BpastClick);
  Bsave = button("Bsave", "Записать в файл", QStyle::SP_DialogSaveButton, &TFmEditTimeSeries::BsaveClick);
  Bload = button("Bload", "Загрузить из файла", QStyle::SP_DialogOpenButton, &TFmEditTimeSeries::BloadClick);
}

void TFmEditTimeSeries::CreateMenu()
{
  PMdata = new QMenu(this);
  PMdata->setObjectName("PMdata");
  auto item = [this](const char* name, const char* text, const QKeySequence& keys) {
    auto* action = PMdata->addAction(QString::fromUtf8(text));
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    // The shortcuts work in the grid without the menu open.
    SGdata->addAction(action);
    return action;
  };
  PMIedition = item("PMIedition", "Редактирование", QKeySequence("Ctrl+E"));
  PMIselection = item("PMIselection", "Выделение", QKeySequence("Ctrl+W"));
  PMIedition->setCheckable(true);
  PMIselection->setCheckable(true);
  PMdata->addSeparator();
  PMIdatacopy = item("PMIdatacopy", "Копировать", QKeySequence("Ctrl+C"));
  PMIdatapast = item("PMIdatapast", "Вставить", QKeySequence("Ctrl+V"));
  PMIdataselall = item("PMIdataselall", "Выделить все", QKeySequence("Ctrl+A"));
  PMIdatasave = item("PMIdatasave", "Сохранить", QKeySequence("Ctrl+S"));
  PMIdataload = item("PMIdataload", "Загрузить", QKeySequence("Ctrl+L"));
  PMIdataadd = item("PMIdataadd", "Добавить строку", QKeySequence("Ctrl+I"));
  PMIdatadel = item("PMIdatadel", "Удалить строку", QKeySequence("Ctrl+D"));
  PMIclear = item("PMIclear", "Очистить", QKeySequence(Qt::Key_Delete));
  connect(PMIedition, &QAction::triggered, this, &TFmEditTimeSeries::PMIeditionClick);
  connect(PMIselection, &QAction::triggered, this, &TFmEditTimeSeries::PMIselectionClick);
  connect(PMIdatacopy, &QAction::triggered, this, &TFmEditTimeSeries::BcopyClick);
  connect(PMIdatapast, &QAction::triggered, this, &TFmEditTimeSeries::BpastClick);
  connect(PMIdataselall, &QAction::triggered, this, &TFmEditTimeSeries::PMIdataselallClick);
  connect(PMIdatasave, &QAction::triggered, this, &TFmEditTimeSeries::BsaveClick);
  connect(PMIdataload, &QAction::triggered, this, &TFmEditTimeSeries::BloadClick);
  connect(PMIdataadd, &QAction::triggered, this, &TFmEditTimeSeries::BnewClick);
  connect(PMIdatadel, &QAction::triggered, this, &TFmEditTimeSeries::BdelClick);
  connect(PMIclear, &QAction::triggered, this, &TFmEditTimeSeries::PMIclearClick);
}

// --- the table ------------------------------------------------------------------

void TFmEditTimeSeries::SetSeries(const TTimeSerie* const* series, int count, int newTimeCode, const QString& title)
{
  EndTimeEdit();
  std::vector<const TTimeSerie*> list;
  for (int k = 0; series && k < count; ++k)
    list.push_back(series[k]);
  timeCode = newTimeCode;
  shiftLength = !list.empty() && list.front() ? list.front()->GetShiftLength() : 28800.0;
  dialogCapable = timeCode == TimeCodeDateTime || timeCode == TimeCodeDate || timeCode == TimeCodeDateMinutes ||
                  timeCode == TimeCodeMonth || timeCode == TimeCodeShift;
  const int topRow = SGdata->verticalScrollBar()->value();

  PMIdataadd->setText("Добавить строку");
  PMIdatadel->setText("Удалить строку");
  SGdata->setColumnCount(static_cast<int>(list.size()) + 1);
  SGdata->setRowCount(2);
  SetGridFixed(*SGdata, 0, 1);
  SetGridCell(*SGdata, 0, 0, title);
  StoreTime(1, DefaultTime);
  for (size_t k = 0; k < list.size(); ++k) {
    SetGridCell(*SGdata, static_cast<int>(k) + 1, 0, list[k] ? SeriesHeader(*list[k], headerSeparator) : QString());
    SetGridCell(*SGdata, static_cast<int>(k) + 1, 1, QString());
  }
  for (int col = 0; col < SGdata->columnCount(); ++col)
    if (QTableWidgetItem* header = SGdata->item(0, col))
      header->setTextAlignment(Qt::AlignCenter);
  MergeIntoGrid(list);

  SGdata->verticalScrollBar()->setValue(std::min(topRow, SGdata->rowCount() - 1));
  MeasureHeaderRow();
  MeasureTimeColumn(title);
  MeasureValueColumns();
  FrameResize();
}

void TFmEditTimeSeries::MergeIntoGrid(const std::vector<const TTimeSerie*>& series)
{
  const std::vector<TMergedRow> rows = MergeSeriesByTime(series);
  if (rows.empty())
    return;
  SGdata->setRowCount(static_cast<int>(rows.size()) + 1);
  GridClearCells(*SGdata, 1, 1, -1, -1);
  for (size_t n = 0; n < rows.size(); ++n) {
    const int row = static_cast<int>(n) + 1;
    StoreTime(row, rows[n].Time);
    for (size_t k = 0; k < rows[n].Values.size(); ++k)
      if (rows[n].Values[k])
        SetGridCell(*SGdata, static_cast<int>(k) + 1, row, ValueText(*rows[n].Values[k]));
  }
}

void TFmEditTimeSeries::MeasureHeaderRow()
{
  int lineFeeds = 0;
  for (int col = 0; col < SGdata->columnCount(); ++col)
    lineFeeds = std::max(lineFeeds, static_cast<int>(GridCell(*SGdata, col, 0).count('\n')));
  SGdata->setRowHeight(0, (lineFeeds + 1) * SGdata->fontMetrics().height() + 8);
}

void TFmEditTimeSeries::MeasureTimeColumn(const QString& title)
{
  const QFontMetrics metrics = SGdata->fontMetrics();
  int widest = 0;
  for (const QString& line : title.split('\n'))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  for (int row = 1; row < SGdata->rowCount(); ++row)
    widest = std::max(widest, metrics.horizontalAdvance(TimeText(row)));
  timeColumnWidth = std::max(widest, 50) + (editable ? DropDownWidth : 0) + 8;
}

void TFmEditTimeSeries::MeasureValueColumns()
{
  const QFontMetrics metrics = SGdata->fontMetrics();
  valueColumnWidths.assign(static_cast<size_t>(std::max(SGdata->columnCount() - 1, 0)), 0);
  for (int col = 1; col < SGdata->columnCount(); ++col) {
    int widest = 0;
    for (const QString& line : GridCell(*SGdata, col, 0).split('\n'))
      widest = std::max(widest, metrics.horizontalAdvance(line));
    for (int row = 1; row < SGdata->rowCount(); ++row)
      widest = std::max(widest, metrics.horizontalAdvance(GridCell(*SGdata, col, row)));
    valueColumnWidths[static_cast<size_t>(col - 1)] = widest + 8;
  }
}

void TFmEditTimeSeries::resizeEvent(QResizeEvent* event)
{
  QWidget::resizeEvent(event);
  FrameResize();
}

void TFmEditTimeSeries::FrameResize()
{
  GBdata->setGeometry(rect());
  const int boxWidth = GBdata->width();
  const int boxHeight = GBdata->height();
  SGdata->setGeometry(2, 14, std::max(0, boxWidth - 4), std::max(0, boxHeight - 44));
  const int buttonTop = boxHeight - 5 - Bnew->height();
  for (QToolButton* each : {Bnew, Bdel, Bcopy, Bpast, Bsave, Bload})
    each->move(each->x(), buttonTop);

  const int cols = SGdata->columnCount();
  SGdata->setColumnWidth(0, timeColumnWidth);
  if (cols < 2)
    return;
  const int lineWidth = SGdata->showGrid() ? 1 : 0;
  const bool scrolls = SGdata->verticalScrollBar()->isVisible();
  int rest = SGdata->width() - (scrolls ? 20 : 4) - cols * lineWidth - timeColumnWidth;
  rest = std::max(rest, cols - 1);
  const int share = rest / (cols - 1);
  // The room is shared out, but no column is narrower than its widest text:
  // the grid scrolls sideways rather than cutting numbers short.
  for (int col = 1; col < cols; ++col) {
    const int own = col < cols - 1 ? share : rest - share * (cols - 2);
    const size_t k = static_cast<size_t>(col - 1);
    SGdata->setColumnWidth(col, std::max(own, k < valueColumnWidths.size() ? valueColumnWidths[k] : 0));
  }
}

void TFmEditTimeSeries::Relayout() { FrameResize(); }

// --- modes ------------------------------------------------------------------------

void TFmEditTimeSeries::SetEditable(bool on)
{
  EndTimeEdit();
  editable = on;
  for (QToolButton* each : {Bnew, Bdel, Bpast, Bload})
    each->setVisible(on);
  for (QAction* each : {PMIedition, PMIselection, PMIdatapast, PMIdataload, PMIdataadd, PMIdatadel}) {
    each->setVisible(on);
    each->setEnabled(on);
  }
  Bnew->move(10, Bnew->y());
  Bdel->move(45, Bdel->y());
  Bcopy->move(on ? 80 : 10, Bcopy->y());
  Bpast->move(115, Bpast->y());
  Bsave->move(on ? 150 : 45, Bsave->y());
  Bload->move(185, Bload->y());
  SetEditing(on);
  SGdata->viewport()->update();
}

void TFmEditTimeSeries::SetEditing(bool on)
{
  editing = on;
  SGdata->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
}

void TFmEditTimeSeries::PMIeditionClick() { SetEditing(true); }

void TFmEditTimeSeries::PMIselectionClick()
{
  EndTimeEdit();
  SetEditing(false);
}

void TFmEditTimeSeries::PMdataPopup()
{
  PMIedition->setChecked(editing);
  PMIselection->setChecked(!editing);
}

// --- times --------------------------------------------------------------------------

double TFmEditTimeSeries::StoredTime(int row) const { return StrToFloatAny(ToUtf8(GridCell(*SGdata, 0, row))); }

void TFmEditTimeSeries::StoreTime(int row, double seconds)
{
  SetGridCell(*SGdata, 0, row, QString::fromStdString(FloatToStrGeneral(seconds)));
}

QString TFmEditTimeSeries::FormatTime(double seconds) const
{
  return QString::fromStdString(TimeToText(seconds, timeCode, shiftLength, TimePrecision));
}

QString TFmEditTimeSeries::TimeText(int row) const
{
  const QString stored = GridCell(*SGdata, 0, row);
  return stored.trimmed().isEmpty() ? QString() : FormatTime(StoredTime(row));
}

void TFmEditTimeSeries::StoreTimeText(int row, const QString& text)
{
  if (text.trimmed().isEmpty()) {
    SetGridCell(*SGdata, 0, row, QString());
    return;
  }
  try {
    StoreTime(row, TextToTime(ToUtf8(text), timeCode, shiftLength));
  } catch (const EConvertError&) {
    // Not a date of the code: the cell keeps its time rather than a made-up one.
  }
}

void TFmEditTimeSeries::GetExchangeText(int col, int row, QString& text) const
{
  if (textMode && IsTimeCell(col, row))
    text = TimeText(row);
}

void TFmEditTimeSeries::SetExchangeText(int col, int row, const QString& text)
{
  if (textMode && IsTimeCell(col, row))
    StoreTimeText(row, text);
  else
    SetGridCell(*SGdata, col, row, text);
}

void TFmEditTimeSeries::EndTimeEdit() { delegate->FinishEdit(); }

// --- commands --------------------------------------------------------------------------

bool TFmEditTimeSeries::SingleCellSelected() const
{
  const TGridRect rect = GridSelection(*SGdata);
  return rect.Left == rect.Right && rect.Top == rect.Bottom;
}

void TFmEditTimeSeries::BnewClick()
{
  EndTimeEdit();
  const int row = std::max(currentRow, 1);
  GridInsertRow(*SGdata, row, false);
  SGdata->setCurrentCell(row + 1, std::max(currentCol, 0));
  Relayout();
}

void TFmEditTimeSeries::BdelClick()
{
  EndTimeEdit();
  const int row = std::max(currentRow, 1);
  if (SGdata->rowCount() > 2)
    GridDeleteRow(*SGdata, std::min(row, SGdata->rowCount() - 1));
  else
    GridClearCells(*SGdata, 1, 1, -1, 1);
  Relayout();
}

void TFmEditTimeSeries::BcopyClick()
{
  EndTimeEdit();
  textMode = true;
  GridCopyToClipboard(*QApplication::clipboard(), *SGdata, SingleCellSelected(), false);
  textMode = false;
}

void TFmEditTimeSeries::BpastClick()
{
  if (!editable)
    return;
  EndTimeEdit();
  textMode = true;
  GridPasteFromClipboard(*QApplication::clipboard(), *SGdata, false, true);
  textMode = false;
  Relayout();
}

QString TFmEditTimeSeries::ChooseFile(bool save)
{
  const QString folder = ReadLastImportFolder();
  const QString filter = QString::fromUtf8(FileFilter);
  const int type = ReadFileTypeIndex(DataImportTypeValue);
  const TFileChoice choice = save ? ModalCalls().SaveFileOfType(this, folder, filter, "txt", type)
                                  : ModalCalls().OpenFileOfType(this, folder, filter, type);
  // The next save or load offers the type used last, also after a restart.
  if (!choice.file.isEmpty())
    WriteFileTypeIndex(DataImportTypeValue, choice.filterIndex);
  return choice.file;
}

void TFmEditTimeSeries::BsaveClick()
{
  EndTimeEdit();
  const QString fileName = ChooseFile(true);
  if (fileName.isEmpty())
    return;
  textMode = true;
  GridSaveToFile(fileName, *SGdata, SingleCellSelected(), false);
  textMode = false;
}

void TFmEditTimeSeries::BloadClick()
{
  if (!editable)
    return;
  EndTimeEdit();
  const QString fileName = ChooseFile(false);
  if (fileName.isEmpty())
    return;
  textMode = true;
  GridLoadFromFile(fileName, *SGdata, false, true);
  textMode = false;
  Relayout();
}

void TFmEditTimeSeries::PMIdataselallClick()
{
  SGdata->clearSelection();
  if (SGdata->rowCount() < 2 || SGdata->columnCount() < 1)
    return;
  SGdata->setRangeSelected(
      QTableWidgetSelectionRange(1, 0, SGdata->rowCount() - 1, SGdata->columnCount() - 1), true);
}

void TFmEditTimeSeries::PMIclearClick()
{
  EndTimeEdit();
  const TGridRect rect = GridSelection(*SGdata);
  GridClearCells(*SGdata, rect.Left, std::max(rect.Top, 1), rect.Right, rect.Bottom);
}

// --- the drop-down date dialog -------------------------------------------------------

bool TFmEditTimeSeries::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata->viewport() && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const QModelIndex index = SGdata->indexAt(at);
    if (mouse->button() == Qt::LeftButton && index.isValid() && ShowsDropDownMark() &&
        IsTimeCell(index.column(), index.row())) {
      const QRect cell = SGdata->visualRect(index);
      if (at.x() > cell.right() - DropDownWidth) {
        SGdataClick(index.column(), index.row(), at.x());
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFmEditTimeSeries::SGdataClick(int col, int row, int x)
{
  if (!editable || row < 1 || row >= SGdata->rowCount() || col < 0 || col >= SGdata->columnCount())
    return;
  const QRect cell = SGdata->visualRect(SGdata->model()->index(row, col));
  if (x <= cell.right() - DropDownWidth)
    return;
  EndTimeEdit();
  currentCol = col;
  currentRow = row;
  SGdata->setCurrentCell(row, col);
  if (IsTimeCell(col, row))
    OpenDateDialog(row);
}

void TFmEditTimeSeries::OpenDateDialog(int row)
{
  const double days = StoredTime(row) / SecondsPerDay;
  QDialog* dialog = nullptr;
  switch (timeCode) {
  case TimeCodeDateTime:
  case TimeCodeDateMinutes:
    if ((dialog = FDateTime))
      FDateTime->SetDialogDateTime(days);
    break;
  case TimeCodeDate:
    if ((dialog = FDate))
      FDate->SetDate(days);
    break;
  case TimeCodeMonth:
    if ((dialog = FMonthSelector))
      FMonthSelector->SetMonth(days);
    break;
  case TimeCodeShift:
    if ((dialog = FDateShift))
      FDateShift->SetDateShift(days, shiftLength / SecondsPerDay);
    break;
  default: break;
  }
  if (!dialog)
    return;
  const QRect cell = SGdata->visualRect(SGdata->model()->index(row, 0));
  const QPoint corner = SGdata->viewport()->mapToGlobal(cell.bottomRight() + QPoint(1, 1));
  dialog->move(corner.x() - dialog->width(), corner.y());
  ModalCalls().ExecDialog(dialog);
  double chosen = days;
  switch (timeCode) {
  case TimeCodeDateTime:
  case TimeCodeDateMinutes: chosen = FDateTime->GetDialogDateTime(); break;
  case TimeCodeDate: chosen = FDate->GetDate(); break;
  case TimeCodeMonth: chosen = FMonthSelector->GetMonth(); break;
  case TimeCodeShift: chosen = FDateShift->GetDateShift(); break;
  default: break;
  }
  StoreTime(row, chosen * SecondsPerDay);
}

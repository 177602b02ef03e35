#include "plots/series/FormSeriesDataView.h"

#include "base/ModalCalls.h"
#include "data/TextConversion.h"
#include "data/TimeSerie.h"
#include "data/qt/RegistrySettings.h"
#include "maps/Stringgrids.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

TFSeriesDataView* FSeriesDataView = nullptr;

namespace {
const char* const FileFilter = "text files (*.txt);;data files (*.dat);;all files (*)";
QString Number(double value) { return QString::fromStdString(FloatToStrSep(value, ffGeneral, 15, 0)); }
} // namespace

TFSeriesDataView::TFSeriesDataView(QWidget* owner) : QDialog(owner)
{
  setObjectName("FSeriesDataView");
  setWindowTitle("Просмотр данных");
  resize(300, 320);
  Lxtitle = new QLabel("время, сут.", this);
  Lytitle = new QLabel("значения", this);
  SGdata = new QTableWidget(this);
  SGdata->setObjectName("SGdata");
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->setColumnCount(2);
  SGdata->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SGdata->setSelectionMode(QAbstractItemView::ContiguousSelection);
  SGdata->installEventFilter(this);
  connect(SGdata, &QTableWidget::cellDoubleClicked, this, [this](int, int) { SGdataDblClick(); });
  SBsave = new QPushButton("Сохранить ...", this);
  SBsave->setFlat(true);
  SBsave->resize(90, 25);
  SBok = new QPushButton("Закрыть", this);
  SBok->setFlat(true);
  SBok->resize(90, 25);
  connect(SBsave, &QPushButton::clicked, this, &TFSeriesDataView::SBsaveClick);
  connect(SBok, &QPushButton::clicked, this, [this] { done(1); });
  FormResize();
}

void TFSeriesDataView::ShowSerie(const TTimeSerie& serie)
{
  SGdata->clearContents();
  SGdata->setRowCount(serie.GetCount());
  for (int i = 0; i < serie.GetCount(); ++i) {
    double time = 0.0, value = 0.0;
    serie.GetPoint(i, time, value);
    SetGridCell(*SGdata, 0, i, Number(time / 86400.0));
    SetGridCell(*SGdata, 1, i, Number(value));
  }
}

bool TFSeriesDataView::SingleCellSelected() const
{
  const TGridRect rect = GridSelection(*SGdata);
  return rect.Left == rect.Right && rect.Top == rect.Bottom;
}

void TFSeriesDataView::SBsaveClick()
{
  const TFileChoice choice = ModalCalls().SaveFileOfType(this, ReadLastImportFolder(), FileFilter, "txt",
                                                         ReadFileTypeIndex(DataExportTypeValue));
  if (choice.file.isEmpty())
    return;
  GridSaveToFile(choice.file, *SGdata, SingleCellSelected(), false);
  WriteLastImportFolder(choice.file);
  WriteFileTypeIndex(DataExportTypeValue, choice.filterIndex);
}

void TFSeriesDataView::CopySelection()
{
  GridCopyToClipboard(*QApplication::clipboard(), *SGdata, SingleCellSelected(), false);
}

void TFSeriesDataView::SGdataDblClick() { SGdata->selectAll(); }

bool TFSeriesDataView::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    if (control && (key->key() == Qt::Key_C || key->key() == Qt::Key_Insert)) {
      CopySelection();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFSeriesDataView::resizeEvent(QResizeEvent* event)
{
  QDialog::resizeEvent(event);
  FormResize();
}

void TFSeriesDataView::FormResize()
{
  const int w = width();
  const int h = height();
  SGdata->setGeometry(0, 20, w, std::max(0, h - 55));
  const int client = SGdata->viewport()->width();
  SGdata->setColumnWidth(0, client / 2);
  SGdata->setColumnWidth(1, client - client / 2);
  Lxtitle->move(w / 4 - Lxtitle->sizeHint().width() / 2, 3);
  Lytitle->move(3 * w / 4 - Lytitle->sizeHint().width() / 2, 3);
  SBsave->move(w / 2 - 5 - SBsave->width(), h - 30);
  SBok->move(w / 2 + 5, h - 30);
}

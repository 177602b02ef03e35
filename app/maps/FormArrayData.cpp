#include "maps/FormArrayData.h"

#include "base/FormArrayBuildProgress.h"
#include "base/ModalCalls.h"
#include "data/FormulaParser.h"
#include "data/NoValue.h"
#include "data/NullArrayBuildProgress.h"
#include "data/qt/RegistrySettings.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "maps/FormArrayFilling.h"
#include "maps/FormExtraIntraOptions.h"
#include "maps/Stringgrids.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

std::int32_t CellLabelMode = 0;

namespace {
TFArrayData* theForm = nullptr;

constexpr int MinimumWidth = 360;

const QString FileFilter = QStringLiteral("текст (*.txt);;все файлы (*.*)");
} // namespace

QAction* AddCheckable(QMenu* menu, const QString& caption, bool checked)
{
  QAction* action = menu->addAction(caption);
  action->setCheckable(true);
  action->setChecked(checked);
  return action;
}

double FillCellValue(int operation, double oldValue, double result, bool evalFailed)
{
  if (operation != 0 && IsNoValue(oldValue))
    return NoValue;
  double value = result;
  switch (operation) {
  case 1: value = result + oldValue; break;
  case 2: value = oldValue - result; break;
  case 3: value = result * oldValue; break;
  case 4: value = oldValue / result; break;
  default: break;
  }
  if (evalFailed || !std::isfinite(value) || std::fabs(value) >= NoValue)
    return NoValue;
  return value;
}

double ParseCellText(const QString& text)
{
  const std::string trimmed = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toStdString();
  if (trimmed.empty())
    return NoValue;
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (*first == '+')
    ++first;
  double value = 0;
  if (std::from_chars(first, last, value).ec != std::errc())
    return 0;
  return value;
}

QString CellText(double value)
{
  if (value == NoValue)
    return QString();
  return QString::number(value, 'g', 6);
}

TFArrayData::TFArrayData(QWidget* owner) : TFArrayData(owner, QStringLiteral("FArrayData")) {}

TFArrayData::TFArrayData(QWidget* owner, const QString& formName) : TFSized(owner, formName)
{
  BuildDesign();
  KeepControlsWhole();
  RestorePlacement();
}

void TFArrayData::KeepControlsWhole()
{
  // The controls above the grid never shrink below what shows their texts:
  // the window is at least as wide as they need.
  for (QLayout* row : {static_cast<QLayout*>(toolbar), static_cast<QLayout*>(levelbar)})
    for (int i = 0; row && i < row->count(); ++i)
      if (QWidget* control = row->itemAt(i)->widget())
        control->setSizePolicy(QSizePolicy::Minimum, control->sizePolicy().verticalPolicy());
  layout()->activate();
  setMinimumWidth(std::max(MinimumWidth, layout()->minimumSize().width()));
}

void TFArrayData::BuildDesign()
{
  setWindowTitle(QStringLiteral("Данные"));
  resize(398, 448);
  setMinimumSize(MinimumWidth, 360);
  auto* layout = new QVBoxLayout(this);

  auto* top = toolbar = new QHBoxLayout;
  CBipType = new QComboBox(this);
  CBipType->addItems({QStringLiteral("Лаплас"), QStringLiteral("Гаусс"), QStringLiteral("Естественные соседи 1"),
                      QStringLiteral("Естественные соседи 2"), QStringLiteral("Обратные расстояния"),
                      QStringLiteral("Минимальная кривизна"), QStringLiteral("Кригинг")});
  Bexoptions = new QPushButton(QStringLiteral("параметры ..."), this);
  Bexoptions->setFlat(true);
  Bbuild = new QPushButton(QStringLiteral("Генерация"), this);
  Bbuild->setFlat(true);
  top->addWidget(CBipType);
  top->addWidget(Bexoptions);
  top->addWidget(Bbuild);
  layout->addLayout(top);

  SGdata = new QTableWidget(this);
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->verticalHeader()->setDefaultSectionSize(16);
  SGdata->setSelectionMode(QAbstractItemView::ContiguousSelection);
  SGdata->setContextMenuPolicy(Qt::CustomContextMenu);
  SGdata->installEventFilter(this);
  layout->addWidget(SGdata);

  Bok = new QPushButton(QStringLiteral("Закрыть"), this);
  Bok->setDefault(true);
  layout->addWidget(Bok, 0, Qt::AlignRight);

  PopupMenu1 = new QMenu(this);
  PMIedit = AddCheckable(PopupMenu1, QStringLiteral("Редактирование"), true);
  PMIselect = AddCheckable(PopupMenu1, QStringLiteral("Выделение"), false);
  PopupMenu1->addSeparator();
  PMIfilldata = PopupMenu1->addAction(QStringLiteral("Заполнить ..."));
  PMIselectall = PopupMenu1->addAction(QStringLiteral("Выделить все"));
  PMIselectall->setEnabled(false);
  PMICopy = PopupMenu1->addAction(QStringLiteral("Копировать"));
  PMIPast = PopupMenu1->addAction(QStringLiteral("Вставить"));
  PMIPast->setEnabled(false);
  PMISave = PopupMenu1->addAction(QStringLiteral("Сохранить ..."));
  PMILoad = PopupMenu1->addAction(QStringLiteral("Загрузить ..."));
  N2 = PopupMenu1->addMenu(QStringLiteral("Подписи ячеек"));
  PMIRangeCell = AddCheckable(N2, QStringLiteral("координаты"), false);
  PMINumCell = AddCheckable(N2, QStringLiteral("индексы"), true);

  connect(Bok, &QPushButton::clicked, this, &TFArrayData::BokClick);
  connect(Bbuild, &QPushButton::clicked, this, &TFArrayData::BbuildClick);
  connect(Bexoptions, &QPushButton::clicked, this, &TFArrayData::BexoptionsClick);
  connect(SGdata, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(SGdata->viewport()->mapToGlobal(at)); });
  connect(SGdata, &QTableWidget::cellDoubleClicked, this, &TFArrayData::SGdataDblClick);
  connect(PMIedit, &QAction::triggered, this, &TFArrayData::PMIeditClick);
  connect(PMIselect, &QAction::triggered, this, &TFArrayData::PMIselectClick);
  connect(PMIfilldata, &QAction::triggered, this, &TFArrayData::PMIfilldataClick);
  connect(PMIselectall, &QAction::triggered, this, &TFArrayData::PMIselectallClick);
  connect(PMICopy, &QAction::triggered, this, &TFArrayData::PMICopyClick);
  connect(PMIPast, &QAction::triggered, this, &TFArrayData::PMIPastClick);
  connect(PMISave, &QAction::triggered, this, &TFArrayData::PMISaveClick);
  connect(PMILoad, &QAction::triggered, this, &TFArrayData::PMILoadClick);
  connect(PMINumCell, &QAction::triggered, this, &TFArrayData::PMINumCellClick);
  connect(PMIRangeCell, &QAction::triggered, this, &TFArrayData::PMIRangeCellClick);
}

void TFArrayData::SetArray(TGArray* shown)
{
  array = shown;
  nx = array->GetNX();
  ny = array->GetNY();
  originX = array->GetWorldX();
  originY = array->GetWorldY();
  cellX = nx > 0 ? array->GetWorldWidth() / nx : 0;
  cellY = ny > 0 ? array->GetWorldHeight() / ny : 0;
  QString caption = QString::fromStdString(array->GetName());
  if (!array->GetUnitText().empty())
    caption += QStringLiteral(", ") + QString::fromStdString(array->GetUnitText());
  setWindowTitle(caption);
}

int TFArrayData::ShowModal()
{
  FormShow();
  const int result = ModalCalls().ExecDialog(this);
  FormClose();
  // The window lives for the whole run, its array only as long as its project.
  ForgetArray();
  return result == 1 ? 1 : 2;
}

void TFArrayData::SetGridEditing(bool on)
{
  SGdata->setEditTriggers(on ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
}

bool TFArrayData::GridEditing() const
{
  return SGdata->editTriggers() != QAbstractItemView::NoEditTriggers;
}

void TFArrayData::FormShow()
{
  QApplication::setOverrideCursor(Qt::WaitCursor);
  editable = !array->IsReadOnly();
  Bbuild->setVisible(editable);
  Bexoptions->setVisible(editable);
  CBipType->setVisible(editable);
  PMIedit->setEnabled(editable);
  PMIedit->setChecked(editable);
  PMIselect->setEnabled(editable);
  PMIselect->setChecked(!editable);
  PMILoad->setEnabled(editable);
  SetGridEditing(editable);
  CBipType->setCurrentIndex(array->BuildParams().fillMethod);
  SGdata->clear();
  SGdata->setRowCount(ny + 1);
  SGdata->setColumnCount(nx + 1);
  SetGridFixed(*SGdata, 1, 1);
  FillHeaders();
  RefreshGrid();
  // Every value readable at once, however many digits it prints with.
  SGdata->resizeColumnsToContents();
  QApplication::restoreOverrideCursor();
  QApplication::processEvents();
  Changed = false;
}

void TFArrayData::FillHeaders()
{
  if (CellLabelMode != 0 && CellLabelMode != 1)
    return;
  const bool byIndex = CellLabelMode == 0;
  for (int j = 0; j < ny; ++j)
    SetGridCell(*SGdata, 0, j + 1,
                byIndex ? QString::number(j) : QString::number((j + 0.5) * cellY + originY, 'f', 1));
  for (int i = 0; i < nx; ++i)
    SetGridCell(*SGdata, i + 1, 0,
                byIndex ? QString::number(i) : QString::number((i + 0.5) * cellX + originX, 'f', 1));
}

void TFArrayData::RefreshGrid()
{
  const double* values = array->GetData();
  if (!values)
    return;
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i)
      SetGridCell(*SGdata, i + 1, j + 1, CellText(values[j * nx + i]));
}

bool TFArrayData::CommitGrid()
{
  double* values = array ? array->GetData() : nullptr;
  if (!editable || !values)
    return false;
  bool changed = false;
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const double value = ParseCellText(GridCell(*SGdata, i + 1, j + 1));
      double& stored = values[j * nx + i];
      if (value != stored) {
        stored = value;
        changed = true;
      }
    }
  return changed;
}

void TFArrayData::FormClose()
{
  if (!array->IsReadOnly()) {
    array->BuildParams().fillMethod = CBipType->currentIndex();
    Changed |= CommitGrid();
    // The automatic drawing range follows the values as they are now.
    array->UpdateMinMax();
    array->AutoScaleRange();
  }
  SGdata->clearSelection();
  SGdata->setCurrentCell(1, 1);
  SetGridEditing(true);
}

void TFArrayData::PMIeditClick()
{
  PMIedit->setChecked(true);
  PMIselect->setChecked(false);
  PMIfilldata->setEnabled(false);
  PMIselectall->setEnabled(false);
  SetGridEditing(true);
}

void TFArrayData::PMIselectClick()
{
  PMIedit->setChecked(false);
  PMIselect->setChecked(true);
  PMIfilldata->setEnabled(editable);
  PMIselectall->setEnabled(editable);
  PMILoad->setEnabled(editable);
  SetGridEditing(false);
}

void TFArrayData::PMIselectallClick()
{
  if (GridEditing())
    return;
  SGdata->clearSelection();
  SGdata->setRangeSelected(QTableWidgetSelectionRange(1, 1, SGdata->rowCount() - 1, SGdata->columnCount() - 1),
                           true);
}

bool TFArrayData::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata && event->type() == QEvent::KeyPress && SGdataKeyDown(static_cast<QKeyEvent*>(event)))
    return true;
  return TFSized::eventFilter(watched, event);
}

bool TFArrayData::SGdataKeyDown(QKeyEvent* event)
{
  const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
  const int key = event->key();
  if (modifiers == Qt::ControlModifier && (key == Qt::Key_Insert || key == Qt::Key_C)) {
    PMICopyClick();
    return true;
  }
  if ((modifiers == Qt::ControlModifier && key == Qt::Key_V) ||
      (modifiers == Qt::ShiftModifier && key == Qt::Key_Insert)) {
    PMIPastClick();
    return true;
  }
  return false;
}

void TFArrayData::PMICopyClick()
{
  GridCopyToClipboard(*QApplication::clipboard(), *SGdata, false, false);
  PMIPast->setEnabled(true);
}

void TFArrayData::PMIPastClick()
{
  if (GridPasteFromClipboard(*QApplication::clipboard(), *SGdata, false, false))
    PMIPast->setEnabled(false);
}

void TFArrayData::PMISaveClick()
{
  const QString fileName = ModalCalls().SaveFileName(this, ReadLastImportFolder(), FileFilter, QStringLiteral("txt"));
  if (fileName.isEmpty())
    return;
  if (GridSaveToFile(fileName, *SGdata, false, false))
    WriteLastImportFolder(QFileInfo(fileName).absolutePath());
}

void TFArrayData::PMILoadClick()
{
  if (!editable)
    return;
  const QString fileName = ModalCalls().OpenFileName(this, ReadLastImportFolder(), FileFilter);
  if (fileName.isEmpty())
    return;
  if (GridLoadFromFile(fileName, *SGdata, false, false))
    WriteLastImportFolder(QFileInfo(fileName).absolutePath());
}

void TFArrayData::PMINumCellClick()
{
  CellLabelMode = 0;
  PMINumCell->setChecked(true);
  PMIRangeCell->setChecked(false);
  FillHeaders();
}

void TFArrayData::PMIRangeCellClick()
{
  CellLabelMode = 1;
  PMIRangeCell->setChecked(true);
  PMINumCell->setChecked(false);
  FillHeaders();
}

void TFArrayData::PMIfilldataClick()
{
  TFArrayFilling* dialog = ArrayFillingForm();
  const TGridRect selection = GridSelection(*SGdata);
  for (QSpinBox* box : {dialog->Ex1, dialog->Ex2})
    box->setMaximum(std::max(1, nx));
  for (QSpinBox* box : {dialog->Ey1, dialog->Ey2})
    box->setMaximum(std::max(1, ny));
  dialog->Ex1->setValue(selection.Left);
  dialog->Ex2->setValue(selection.Right);
  dialog->Ey1->setValue(selection.Top);
  dialog->Ey2->setValue(selection.Bottom);
  if (ModalCalls().ExecDialog(dialog) != 1)
    return;
  // Typed cells go in first, or the refresh after the fill would lose them.
  Changed |= CommitGrid();
  const TFillBox box{dialog->Ex1->value() - 1, dialog->Ex2->value() - 1, dialog->Ey1->value() - 1,
                     dialog->Ey2->value() - 1, 0, 0};
  if (array->GetData() && FillCells(array->GetData(), 1, dialog->Evalue->text(), dialog->CBtype->currentIndex(), box, false)) {
    Changed = true;
    RefreshGrid();
  }
}

bool TFArrayData::FillCells(double* values, int nz, const QString& text, int operation, TFillBox box, bool volume)
{
  const std::string source = text.left(511).toStdString();
  formula* compiled = formula_compile(source.c_str());
  if (!compiled || formula_compile_error) {
    formula_free(&compiled);
    ModalCalls().Message(this, QMessageBox::Critical, QString::fromUtf8(FormulaErrorCaption),
                         QString::fromUtf8(FormulaErrorText), QMessageBox::Ok | QMessageBox::Cancel);
    return false;
  }
  const auto ordered = [](int& first, int& last, int count) {
    if (first > last)
      std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, count - 1);
  };
  ordered(box.i1, box.i2, nx);
  ordered(box.j1, box.j2, ny);
  ordered(box.k1, box.k2, nz);
  formula_set_variable(compiled, "nx", nx);
  formula_set_variable(compiled, "ny", ny);
  if (volume)
    formula_set_variable(compiled, "nz", nz);
  for (int k = box.k1; k <= box.k2; ++k) {
    if (volume)
      formula_set_variable(compiled, "z", k + 1);
    for (int j = box.j1; j <= box.j2; ++j) {
      formula_set_variable(compiled, "y", j + 1);
      for (int i = box.i1; i <= box.i2; ++i) {
        formula_set_variable(compiled, "x", i + 1);
        const double result = formula_evaluate(compiled);
        double& cell = values[(static_cast<long>(k) * ny + j) * nx + i];
        cell = FillCellValue(operation, cell, result, formula_eval_error);
      }
    }
  }
  formula_free(&compiled);
  return true;
}

void TFArrayData::BbuildClick()
{
  array->BuildParams().fillMethod = CBipType->currentIndex();
  // The build starts from the values as the grid shows them.
  Changed |= CommitGrid();
  TNullArrayBuildProgress silent;
  TArrayBuildProgress& progress = FArrayBuildProgress ? static_cast<TArrayBuildProgress&>(*FArrayBuildProgress)
                                                      : static_cast<TArrayBuildProgress&>(silent);
  progress.SetStepCount(1);
  progress.SetStep(0);
  progress.Show();
  progress.SetName(array->GetName());
  progress.SetProgress(0);
  QString failure;
  try {
    if (!array->Build(progress))
      failure = QStringLiteral("Нет известных значений для построения массива");
  } catch (const std::exception& error) {
    failure = QString::fromStdString(error.what());
  }
  progress.Hide();
  RefreshGrid();
  if (!failure.isEmpty()) {
    ShowErrorMessage(this, failure);
    return;
  }
  // A cancelled build has changed the cells it computed as well.
  Changed = true;
  if (TGIS* gis = array->GetOwner())
    gis->NotifyChanged();
}

void TFArrayData::BexoptionsClick()
{
  ExtraIntraOptionsForm()->Open(array, this, CBipType->currentIndex());
}

TFArrayData* ArrayDataForm()
{
  if (!theForm)
    theForm = new TFArrayData();
  return theForm;
}

void DestroyArrayData()
{
  delete theForm;
  theForm = nullptr;
  DestroyArrayFilling();
  DestroyExtraIntraOptions();
}

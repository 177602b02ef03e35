#include "maps/FormArray3DData.h"

#include "base/ModalCalls.h"
#include "gis/GArray3D.h"
#include "maps/FormArray3DExtract.h"
#include "maps/FormArrayFilling.h"
#include "maps/Stringgrids.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
TFArray3DData* theForm = nullptr;
} // namespace

TFArray3DData::TFArray3DData(QWidget* owner) : TFArrayData(owner, QStringLiteral("FArray3DData"))
{
  // The level controls get a row of their own: beside the building controls
  // the window would have to be far wider than its grid needs.
  levelbar = new QHBoxLayout;
  qobject_cast<QVBoxLayout*>(layout())->insertLayout(0, levelbar);
  levelbar->addWidget(new QLabel(QStringLiteral("Уровень"), this));
  Elevel = new QSpinBox(this);
  Elevel->setMinimum(1);
  levelbar->addWidget(Elevel);
  Eleveltype = new QComboBox(this);
  Eleveltype->addItems({QStringLiteral("не изменять"), QStringLiteral("перенос сверху"),
                        QStringLiteral("перенос снизу"), QStringLiteral("линейно")});
  Eleveltype->setToolTip(QStringLiteral("интерполяция для уровней без реперных значений"));
  levelbar->addWidget(Eleveltype);
  levelbar->addStretch();
  KeepControlsWhole();
  PMIExtract = PopupMenu1->addAction(QStringLiteral("Экспорт ..."));
  PMIImport = PopupMenu1->addAction(QStringLiteral("Импорт ..."));
  connect(Elevel, &QSpinBox::valueChanged, this, &TFArray3DData::ElevelChange);
  connect(Eleveltype, &QComboBox::currentIndexChanged, this, &TFArray3DData::EleveltypeChange);
  connect(PMIExtract, &QAction::triggered, this, &TFArray3DData::PMIExtractClick);
  connect(PMIImport, &QAction::triggered, this, &TFArray3DData::PMIImportClick);
}

void TFArray3DData::SetArray(TGArray3D* shown)
{
  volume = shown;
  openedLevel = shown->GetLevel();
  TFArrayData::SetArray(shown);
}

void TFArray3DData::FormShow()
{
  updating = true;
  Elevel->setMaximum(std::max(1, volume->GetNZ()));
  Elevel->setValue(volume->GetLevel() + 1);
  Eleveltype->setVisible(!volume->IsReadOnly());
  TFArrayData::FormShow();
  Eleveltype->setCurrentIndex(volume->GetLevelFillMode());
  updating = false;
}

void TFArray3DData::ElevelChange()
{
  if (updating)
    return;
  // The typed cells belong to the level shown until now.
  Changed |= CommitGrid();
  volume->SetLevel(Elevel->value() - 1);
  updating = true;
  Elevel->setValue(volume->GetLevel() + 1);
  updating = false;
  RefreshGrid();
  SGdata->resizeColumnsToContents();
}

void TFArray3DData::EleveltypeChange()
{
  if (updating)
    return;
  volume->SetLevelFillMode(Eleveltype->currentIndex());
  Changed = true;
}

void TFArray3DData::FormClose()
{
  TFArrayData::FormClose();
  volume->SetLevel(openedLevel);
}

void TFArray3DData::BbuildClick()
{
  volume->SetLevelFillMode(Eleveltype->currentIndex());
  TFArrayData::BbuildClick();
}

void TFArray3DData::PMIfilldataClick()
{
  const TGridRect selection = GridSelection(*SGdata);
  if (selection.Left == selection.Right && selection.Top == selection.Bottom) {
    ModalCalls().Message(this, QMessageBox::Information, QStringLiteral("Заполнение"),
                         QStringLiteral("Выделите регион для заполнения"), QMessageBox::Ok | QMessageBox::Cancel);
    return;
  }
  TFArray3DFilling* dialog = Array3DFillingForm();
  const int nz = volume->GetNZ();
  const auto put = [](QSpinBox* first, QSpinBox* last, int from, int to, int count) {
    for (QSpinBox* box : {first, last})
      box->setMaximum(std::max(1, count));
    first->setValue(from);
    last->setValue(to);
  };
  put(dialog->Ex1, dialog->Ex2, selection.Left, selection.Right, nx);
  put(dialog->Ey1, dialog->Ey2, selection.Top, selection.Bottom, ny);
  put(dialog->Elevel1, dialog->Elevel2, volume->GetLevel() + 1, volume->GetLevel() + 1, nz);
  if (ModalCalls().ExecDialog(dialog) != 1)
    return;
  // Typed cells go in first, or the refresh after the fill would lose them.
  Changed |= CommitGrid();
  const TFillBox box{dialog->Ex1->value() - 1,     dialog->Ex2->value() - 1,     dialog->Ey1->value() - 1,
                     dialog->Ey2->value() - 1,     dialog->Elevel1->value() - 1, dialog->Elevel2->value() - 1};
  double* values = volume->GetVolumeData();
  if (!values || !FillCells(values, nz, dialog->Evalue->text(), dialog->CBtype->currentIndex(), box, true))
    return;
  Changed = true;
  RefreshGrid();
}

void TFArray3DData::Transfer(int direction)
{
  // The export writes what the grid shows; the refresh after an import must
  // not lose typed cells either.
  Changed |= CommitGrid();
  TFArray3DExtract* dialog = Array3DExtractForm();
  dialog->SetDirection(direction);
  dialog->SetArray(volume);
  dialog->FormShow();
  ModalCalls().ExecDialog(dialog);
  dialog->SetArray(nullptr);
  if (direction == 1 && dialog->Transferred()) {
    // Imported values are the project's data like typed ones.
    Changed = true;
    RefreshGrid();
  }
}

TFArray3DData* Array3DDataForm()
{
  if (!theForm)
    theForm = new TFArray3DData();
  return theForm;
}

void DestroyArray3DData()
{
  delete theForm;
  theForm = nullptr;
  DestroyArray3DExtract();
}

// The main window's model menu: the parameter dialogs, the electrode and
// inhomogeneity tables, the model area and the calculation status.
#include "shell/FormMain.h"

#include "gis/EditorFrames.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "model/FormBitModel.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "model/dialogs/ModelDialogCommands.h"
#include "shell/BitModelWindowMaker.h"
#include "base/ModalCalls.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

void TFMain::MIModelParamsClick()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !RunParamCommand(model->GetEngine(), FCalcState, false))
    return;
  TBitModelWindowMaker::ApplyGeoReference(*this);
  model->UpdateLatticeSize();
  TBitModelWindowMaker::ApplyVolumeDepth(*this);
  RefreshViews();
}

void TFMain::MIModelParamsStudClick()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !RunStudentParamCommand(model->GetEngine(), FCalcState))
    return;
  RefreshViews();
}

void TFMain::MIElectrodesClick()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !FGis)
    return;
  if (!RunElectrodesCommand(FGis, model->GetEngine(), FCalcState, model->Electrodes()))
    return;
  RefreshIfDue();
  FModified = true;
}

void TFMain::MIinhomogeneitiesClick()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !FGis)
    return;
  if (!RunInhomogeneitiesCommand(FGis, model->GetEngine(), FCalcState, model->Inhomogeneities()))
    return;
  RefreshIfDue();
  FModified = true;
}

void TFMain::MIObjectsClick()
{
  // The program has no object browser: of the objects with property frames
  // only the model area matters to the model, so the command edits it in a
  // window of its own.
  TGObj* area = FGis ? FGis->GetObjectOfType(0, ObjectTypeModelRect) : nullptr;
  if (!area)
    return;
  QDialog window(this);
  window.setWindowTitle(QString::fromUtf8("Область моделирования"));
  auto* layout = new QVBoxLayout(&window);
  TEditorFrame* frame = area->CreateEditorFrame(false, false, &window);
  auto* frameWidget = dynamic_cast<QWidget*>(frame);
  if (!frameWidget) {
    delete frame;
    return;
  }
  layout->addWidget(frameWidget);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &window);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
  // Resizing the area resamples every array, the model's layers among them:
  // never under a run that is on or paused.
  const bool editable = ModelEditable();
  frameWidget->setEnabled(editable);
  buttons->button(QDialogButtonBox::Ok)->setEnabled(editable);
  if (ModalCalls().ExecDialog(&window) != QDialog::Accepted || !editable)
    return;
  area->ApplyEditorFrame(frame);
  RefreshViews();
  FModified = true;
}

void TFMain::MICalcStatusClick()
{
  RunCalcStatusCommand(FModel);
}

// The main window's model menu: the parameter dialogs, the electrode and
// inhomogeneity tables, the model area and the calculation status.
#include "shell/FormMain.h"

#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormOBrowser.h"
#include "model/FormBitModel.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "model/dialogs/ModelDialogCommands.h"
#include "shell/BitModelWindowMaker.h"
#include "base/ModalCalls.h"

#include <QDialog>


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
  if (!FGis)
    return;
  if (!FOBrowser)
    FOBrowser = new TFOBrowser(this);
  // Resizing the area resamples every array, the model's layers among them:
  // never under a run that is on or paused.
  const bool editable = ModelEditable();
  FOBrowser->SetEditableCheck(
      [editable](const TGObj& object) { return editable || object.GetTypeCode() != ObjectTypeModelRect; });
  FOBrowser->SetGis(FGis, nullptr);
  ModalCalls().ExecDialog(FOBrowser);
}

void TFMain::MICalcStatusClick()
{
  RunCalcStatusCommand(FModel);
}

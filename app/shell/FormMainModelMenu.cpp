// The main window's model menu: the parameter dialogs and the calculation status.
#include "shell/FormMain.h"

#include "model/FormBitModel.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "shell/BitModelWindowMaker.h"
#include "shell/base/ModalCalls.h"

#include <QDialog>

void TFMain::MIModelParamsClick()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !FParam)
    return;
  // While a run is on or paused the dialog only shows the parameters.
  bool editable = FCalcState == CalcNotStarted || FCalcState == CalcStopped;
  FParam->LoadParams(model->GetEngine(), editable);
  int result = ModalCalls().ExecDialog(FParam);
  if (!editable || result != QDialog::Accepted || !FParam->ApplyParams())
    return;
  TBitModelWindowMaker::ApplyGeoReference(*this);
  model->UpdateLatticeSize();
  TBitModelWindowMaker::ApplyVolumeDepth(*this);
  RefreshViews();
}

void TFMain::MIModelParamsStudClick()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !FParamStud)
    return;
  bool editable = FCalcState == CalcNotStarted || FCalcState == CalcStopped;
  FParamStud->LoadParams(model->GetEngine(), editable);
  if (ModalCalls().ExecDialog(FParamStud) != QDialog::Accepted || !editable)
    return;
  FParamStud->ApplyParams();
  RefreshViews();
}

void TFMain::MICalcStatusClick()
{
  if (!FCalcStatus)
    return;
  FCalcStatus->SetModel(FModel);
  ModalCalls().ExecDialog(FCalcStatus);
}

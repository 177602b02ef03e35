#include "model/dialogs/ModelDialogCommands.h"

#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "base/ModalCalls.h"

#include <QPushButton>

void CreateModelDialogs(QWidget* owner)
{
  FCalcStatus = new TFCalcStatus(owner);
  FModelArea = new TFModelArea(owner);
  FElectrodes = new TFElectrodes(owner);
  FInhomogeneities = new TFInhomogeneities(owner);
  FParamStud = new TFParamStud(owner);
  FParam = new TFParam(owner);
}

void ForgetModelDialogs()
{
  FParam = nullptr;
  FParamStud = nullptr;
  FElectrodes = nullptr;
  FInhomogeneities = nullptr;
  FModelArea = nullptr;
  FCalcStatus = nullptr;
}

bool RunParamCommand(THeap* heap, int calcState, bool newProject)
{
  if (!FParam || !heap)
    return false;
  const bool editable = newProject || TFParam::EditableInState(calcState);
  FParam->LoadParams(heap, editable);
  FParam->Bcancel->setVisible(!newProject);
  const int result = ModalCalls().ExecDialog(FParam);
  FParam->Bcancel->setVisible(true);
  if (!newProject && result != QDialog::Accepted)
    return false;
  return FParam->ApplyParams();
}

bool RunStudentParamCommand(THeap* heap, int calcState)
{
  if (!FParamStud || !heap)
    return false;
  const bool editable = TFParam::EditableInState(calcState);
  FParamStud->LoadParams(heap, editable);
  if (ModalCalls().ExecDialog(FParamStud) != QDialog::Accepted || !editable)
    return false;
  FParamStud->ApplyParams();
  return true;
}

bool RunElectrodesCommand(TGIS* gis, THeap* heap, int calcState, std::vector<TElectrodeRecord>& list)
{
  if (!FElectrodes)
    return false;
  FElectrodes->SetModelData(gis, heap);
  FElectrodes->SetCalcState(calcState);
  FElectrodes->SetItems(list);
  if (ModalCalls().ExecDialog(FElectrodes) != QDialog::Accepted || !FElectrodes->IsEditable())
    return false;
  list = FElectrodes->ReadItems();
  FElectrodes->RasterizeElectrodes(list);
  return true;
}

bool RunInhomogeneitiesCommand(TGIS* gis, THeap* heap, int calcState, std::vector<TInhomogeneityRecord>& list)
{
  if (!FInhomogeneities)
    return false;
  FInhomogeneities->SetModelData(gis, heap);
  FInhomogeneities->SetCalcState(calcState);
  FInhomogeneities->SetItems(list);
  if (ModalCalls().ExecDialog(FInhomogeneities) != QDialog::Accepted || !FInhomogeneities->IsEditable())
    return false;
  list = FInhomogeneities->ReadItems();
  FInhomogeneities->RasterizeInhomogeneities(list);
  return true;
}

void RunCalcStatusCommand(TFModel* model)
{
  if (!FCalcStatus)
    return;
  FCalcStatus->SetModel(model);
  ModalCalls().ExecDialog(FCalcStatus);
  FCalcStatus->FormClose();
}

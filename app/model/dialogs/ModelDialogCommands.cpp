#include "model/dialogs/ModelDialogCommands.h"

#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "base/ModalCalls.h"

#include <QPushButton>

#include <initializer_list>

namespace {

// What a command gives a table dialog lasts as long as the command: the
// dialogs live for the whole run, the GIS and the engine record only as long
// as their project.
class TTableDataScope {
public:
  TTableDataScope(TModelTableDialog& table, TGIS* gis, THeap* heap) : dialog(table)
  {
    dialog.SetModelData(gis, heap);
  }
  ~TTableDataScope() { dialog.ForgetModelData(); }
  TTableDataScope(const TTableDataScope&) = delete;
  TTableDataScope& operator=(const TTableDataScope&) = delete;

private:
  TModelTableDialog& dialog;
};

// The same for the parameter dialogs, which keep the record they show.
template <class TDialog> class TEngineScope {
public:
  explicit TEngineScope(TDialog& shown) : dialog(shown) {}
  ~TEngineScope() { dialog.ForgetEngine(); }
  TEngineScope(const TEngineScope&) = delete;
  TEngineScope& operator=(const TEngineScope&) = delete;

private:
  TDialog& dialog;
};

} // namespace

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
  TEngineScope<TFParam> scope(*FParam);
  FParam->LoadParams(heap, editable);
  FParam->Bcancel->setVisible(!newProject);
  const int result = ModalCalls().ExecDialog(FParam);
  FParam->Bcancel->setVisible(true);
  // The project went while the dialog was open: its record with it.
  if (FParam->GetHeap() != heap || (!newProject && result != QDialog::Accepted))
    return false;
  return FParam->ApplyParams();
}

bool RunStudentParamCommand(THeap* heap, int calcState)
{
  if (!FParamStud || !heap)
    return false;
  const bool editable = TFParam::EditableInState(calcState);
  TEngineScope<TFParamStud> scope(*FParamStud);
  FParamStud->LoadParams(heap, editable);
  if (ModalCalls().ExecDialog(FParamStud) != QDialog::Accepted || !editable || FParamStud->GetHeap() != heap)
    return false;
  FParamStud->ApplyParams();
  return true;
}

bool RunElectrodesCommand(TGIS* gis, THeap* heap, int calcState, std::vector<TElectrodeRecord>& list)
{
  if (!FElectrodes)
    return false;
  TTableDataScope scope(*FElectrodes, gis, heap);
  FElectrodes->SetCalcState(calcState);
  FElectrodes->SetItems(list);
  if (ModalCalls().ExecDialog(FElectrodes) != QDialog::Accepted || !FElectrodes->IsEditable() ||
      !FElectrodes->Holds(gis, heap))
    return false;
  list = FElectrodes->ReadItems();
  FElectrodes->RasterizeElectrodes(list);
  return true;
}

bool RunInhomogeneitiesCommand(TGIS* gis, THeap* heap, int calcState, std::vector<TInhomogeneityRecord>& list)
{
  if (!FInhomogeneities)
    return false;
  TTableDataScope scope(*FInhomogeneities, gis, heap);
  FInhomogeneities->SetCalcState(calcState);
  FInhomogeneities->SetItems(list);
  if (ModalCalls().ExecDialog(FInhomogeneities) != QDialog::Accepted || !FInhomogeneities->IsEditable() ||
      !FInhomogeneities->Holds(gis, heap))
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

void KeepElectrodesInTable(TGIS* gis, THeap* heap, const std::vector<TElectrodeRecord>& list)
{
  if (!FElectrodes)
    return;
  TTableDataScope scope(*FElectrodes, gis, heap);
  FElectrodes->SetItems(list);
}

void ModelDialogsForgetProject()
{
  // A dialog still open on the project that goes closes as cancelled.
  for (QDialog* dialog : std::initializer_list<QDialog*>{FParam, FParamStud, FElectrodes, FInhomogeneities,
                                                          FCalcStatus})
    if (dialog && dialog->isVisible())
      dialog->reject();
  for (TModelTableDialog* table : std::initializer_list<TModelTableDialog*>{FElectrodes, FInhomogeneities})
    if (table)
      table->ForgetModelData();
  if (FParam)
    FParam->ForgetEngine();
  if (FParamStud)
    FParamStud->ForgetEngine();
  if (FCalcStatus)
    FCalcStatus->FormClose();
}

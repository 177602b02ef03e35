#pragma once
// The main window's model commands over the model's dialogs: each fills its
// dialog, shows it through the modal-call layer and applies what the user
// confirmed. The main window passes the model's engine record, its
// calculation state, the project's GIS and the model's lists.
#include "model/store/ElectrodeRecord.h"
#include "model/store/InhomogeneityRecord.h"

#include <vector>

class QWidget;
class TFModel;
class TGIS;
struct THeap;

// Creates the dialogs that live for the whole run (FParam, FParamStud,
// FElectrodes, FInhomogeneities, FModelArea, FCalcStatus), owned by owner.
void CreateModelDialogs(QWidget* owner);
// Drops the global pointers to the dialogs; their owner widget deletes them.
void ForgetModelDialogs();

// The full parameter dialog: applied on OK when the state allows editing; a
// new project hides Cancel and always applies. True when values were written;
// the caller then renews the geo-reference and the lattice size of the model.
bool RunParamCommand(THeap* heap, int calcState, bool newProject);
// The student parameter dialog; true when applied.
bool RunStudentParamCommand(THeap* heap, int calcState);
// The tables: on OK, and only when the state allows it, the list is replaced
// by the table's and stamped into the GIS layers. True when the list changed
// (the caller refreshes its views and marks the project modified).
bool RunElectrodesCommand(TGIS* gis, THeap* heap, int calcState, std::vector<TElectrodeRecord>& list);
bool RunInhomogeneitiesCommand(TGIS* gis, THeap* heap, int calcState, std::vector<TInhomogeneityRecord>& list);
// The status window of a model, shown until the user closes it.
void RunCalcStatusCommand(TFModel* model);
// The electrode table takes the open model's list (shown against its engine
// record) before another project is opened: a project without electrodes
// takes them from there.
void KeepElectrodesInTable(TGIS* gis, THeap* heap, const std::vector<TElectrodeRecord>& list);
// The project's GIS or model goes: every dialog lets go of what it still
// holds of them (a command in progress included).
void ModelDialogsForgetProject();

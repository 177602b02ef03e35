// The main window's tool modes, its "new window" items and the commands of the
// model's array layers.
#include "shell/FormMain.h"

#include "gis/GIS.h"
#include "model/FormBitModel.h"
#include "model/FormModel3D.h"
#include "shell/ViewFactory.h"
#include "base/FormGisView.h"
#include "base/WindowKind.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "views3d/Form3DView.h"
#include "views3d/FormSectionView.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

void TFMain::SetViewFactory(const TViewFactory* views)
{
  FViews = views;
  UpdateMenuItems();
}

void TFMain::ConnectViewCommands()
{
  // A kind's item becomes usable when the folder of its window registers a
  // maker with the project files' view factory; nothing else needs to change.
  FNewWindowItems = {
    {MINewCubuiqe, WindowKindBit3DView, "Массив", false},
    {MINewPlot, WindowKindTimePlot, "Временной график", false},
    {MINewTreePlot, WindowKindTreePlot, "Распределение по каналам", false},
    {MIDimension, WindowKindDimPlot, nullptr, true},
  };
  for (const TNewWindowItem& entry : FNewWindowItems)
    connect(entry.item, &QAction::triggered, this, [this, entry] {
      TFSimpleView* view = NewViewWindow(entry.kind, entry.caption ? QString::fromUtf8(entry.caption) : QString());
      if (view && entry.refresh)
        view->Refresh();
    });
  FNewWindowItems.append({MIInfo, WindowKindModelInfo, nullptr, false});
  connect(MIInfo, &QAction::triggered, this, &TFMain::MIInfoClick);

  for (QAction* item : {Binspect, SBInspect})
    connect(item, &QAction::triggered, this, &TFMain::BInspectClick);
  connect(MPIInspectPoint, &QAction::triggered, this, &TFMain::MPIInspectPointClick);
  connect(MPIInspectStruct, &QAction::triggered, this, &TFMain::MPIInspectStructClick);
  for (QAction* item : {Binsert, SBInsert})
    connect(item, &QAction::triggered, this, &TFMain::BInsertClick);
  for (QAction* item : {Bedit, SBEditObj})
    connect(item, &QAction::triggered, this, &TFMain::BEditObjClick);

  connect(MIDefaultArray, &QAction::triggered, this, &TFMain::MIDefaultArrayClick);
  connect(MIUpdateArrays, &QAction::triggered, this, &TFMain::MIUpdateArraysClick);
  connect(MIBuildInfo, &QAction::triggered, this, &TFMain::MIBuildInfoClick);
  connect(MIBuildArrays, &QAction::triggered, this, &TFMain::MIBuildArraysClick);
}

// --- tool modes -------------------------------------------------------------------

void TFMain::BInspectClick()
{
  if (FToolMode == 1 || FToolMode == 4)
    SetToolMode(0);
  else
    SetToolMode(MPIInspectStruct->isChecked() ? 4 : 1);
}

void TFMain::MPIInspectPointClick()
{
  MPIInspectPoint->setChecked(true);
  MPIInspectStruct->setChecked(false);
  SetToolMode(1);
}

void TFMain::MPIInspectStructClick()
{
  MPIInspectStruct->setChecked(true);
  MPIInspectPoint->setChecked(false);
  SetToolMode(4);
}

void TFMain::BInsertClick()
{
  SetToolMode(FToolMode == 3 ? 0 : 3);
}

void TFMain::BEditObjClick()
{
  if (FToolMode >= 6 && FToolMode <= 8) {
    SetToolMode(0);
    return;
  }
  SetToolMode((PMIEditProp->isChecked() ? 6 : 0) + (PMIEditMoveAll->isChecked() ? 7 : 0) +
              (PMIEditMoveNode->isChecked() ? 8 : 0));
}

// --- new view windows -----------------------------------------------------------

TFSimpleView* TFMain::NewViewWindow(int kind, const QString& caption)
{
  if (!FViews || !FGis)
    return nullptr;
  TFSimpleView* view = FViews->Create(kind, *this, FModel);
  if (!view)
    return nullptr;
  if (!caption.isEmpty())
    view->setWindowTitle(caption);
  if (auto* gisView = qobject_cast<TFGisView*>(view))
    gisView->SetGIS(FGis);
  AddView(view);
  FModified = true;
  return view;
}

void TFMain::OpenSectionWindow(TF3DView* view)
{
  if (!view || !FGis)
    return;
  TGObj* array = FGis->FindObjectByIdAndType(view->GetArrayId(), ObjectTypeArray3D);
  if (!array)
    return;
  const QString caption = QString::fromUtf8("Сечение: ") + QString::fromStdString(array->GetName());
  if (auto* section = qobject_cast<TFSectionView*>(NewViewWindow(WindowKindSectionView, caption)))
    section->SetSourceView(view);
}

void TFMain::MIInfoClick()
{
  QList<QMdiSubWindow*> subs = FMdiArea->subWindowList(QMdiArea::CreationOrder);
  for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
    auto* view = qobject_cast<TFSimpleView*>((*it)->widget());
    if (view && view->Tag() == WindowKindModelInfo) {
      view->Refresh();
      (*it)->showNormal();
      FMdiArea->setActiveSubWindow(*it);
      return;
    }
  }
  NewViewWindow(WindowKindModelInfo, QString());
}

// --- the model's array layers ---------------------------------------------------

void TFMain::MIDefaultArrayClick()
{
  if (!FModel)
    return;
  FModel->SetDefaults();
  RefreshAll();
}

void TFMain::MIUpdateArraysClick()
{
  if (!FModel)
    return;
  FModel->UpdateArrayLayers();
  if (auto* model = dynamic_cast<TFBitModel*>(FModel))
    model->GetSnapshot().SetTree(model->GetEngine()->Nodes);
  RefreshAll();
}

void TFMain::MIBuildInfoClick()
{
  if (auto* model = dynamic_cast<TFModel3D*>(FModel))
    model->UpdateModelFromLayers();
  RefreshAll();
}

void TFMain::MIBuildArraysClick()
{
  if (auto* model = dynamic_cast<TFBitModel*>(FModel))
    model->BuildAllInputArrays();
  RefreshAll();
}

#include "views3d/FormBit3DView.h"

#include "views3d/FormBit3DViewOptions.h"
#include "views3d/FrameCubuiqe.h"

#include "base/ModalCalls.h"
#include "base/ModelView.h"
#include "data/TagStream.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "model/FormBitModel.h"
#include "plots/info/FormTreeInfo.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>

namespace {

constexpr int32_t GroupBit3DView = 1204;
constexpr int CodeElectrodes = 10005;

QString u(const char* text) { return QString::fromUtf8(text); }

} // namespace

TFBit3DView::TFBit3DView(TFMain* mainWindow, QWidget* owner, TFModel* model, TSectionWindowCallback sectionWindow)
    : TF3DView(mainWindow, owner, model, std::move(sectionWindow))
{
  SetTag(WindowKindBit3DView);
  Viewer->UseGL = true;
  Viewer->GLIntoBitmap = true;
  Viewer->MenuItem(QStringLiteral("PMIOrientSection"))->setVisible(false);
  Viewer->MenuItem(QStringLiteral("PMIGrid"))->setVisible(false);
  Viewer->MenuItem(QStringLiteral("PMIfillingDlg"))->setVisible(false);
  QMenu* menu = Viewer->PopupMenu();
  QAction* before = PMIRedraw;
  PMITree = new QMenu(u("Разрядная структура"), menu);
  PMITree->setObjectName(QStringLiteral("PMITree"));
  menu->insertMenu(before, PMITree);
  PMITreeShow = PMITree->addAction(u("Показывать"));
  PMITreeShow->setObjectName(QStringLiteral("PMITreeShow"));
  PMITreeShow->setCheckable(true);
  PMITreeShow->setChecked(true);
  PMITreeOptions = PMITree->addAction(u("Настройки ..."));
  PMITreeOptions->setObjectName(QStringLiteral("PMITreeOptions"));
  PMIElectrodesShow = new QAction(u("Показать электроды"), menu);
  PMIElectrodesShow->setObjectName(QStringLiteral("PMIElectrodesShow"));
  PMIInhomogeneitiesShow = new QAction(u("Показать неоднородности"), menu);
  PMIInhomogeneitiesShow->setObjectName(QStringLiteral("PMIInhomogeneitiesShow"));
  for (QAction* item : {PMIElectrodesShow, PMIInhomogeneitiesShow}) {
    item->setCheckable(true);
    menu->insertAction(before, item);
  }
  PMIInspctTree = Viewer->MenuItem(QStringLiteral("PMIMotion"))->menu()->addAction(u("Инспектор структуры"));
  PMIInspctTree->setObjectName(QStringLiteral("PMIInspctTree"));
  PMIInspctTree->setCheckable(true);
  connect(PMITreeShow, &QAction::triggered, this, [this] { ToggleFlag(FSettings.showTree); });
  connect(PMIElectrodesShow, &QAction::triggered, this, [this] { ToggleFlag(FSettings.showElectrodes); });
  connect(PMIInhomogeneitiesShow, &QAction::triggered, this,
          [this] { ToggleFlag(FSettings.showInhomogeneities); });
  connect(PMITreeOptions, &QAction::triggered, this, &TFBit3DView::PMITreeOptionsClick);
  connect(PMIInspctTree, &QAction::triggered, this, &TFBit3DView::PMIInspctTreeClick);
}

void TFBit3DView::ToggleFlag(bool& flag)
{
  flag = !flag;
  UpdateData();
  Refresh();
}

void TFBit3DView::UpdateData()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  if (!model || !FViewGis)
    return;
  // The window is there to watch the tree: without a chosen array it stands
  // in the lattice's own box.
  if (HandArrayToViewer())
    LoadSectionPositions();
  else
    ShowLatticeBox(model->GetSnapshot().Statistics());
  DrawDischargeTree();
  DrawElectrodes();
}

void TFBit3DView::ShowLatticeBox(const TEngineStatistics& lattice)
{
  // Cube x is the lattice's first axis, y its third and z the second (the
  // axis between the plates); the last two run against the lattice's.
  const double ex = lattice.n1 * lattice.cellSize1;
  const double ey = -lattice.n3 * lattice.cellSize3;
  const double ez = -lattice.n2 * lattice.cellSize2;
  if (!(ex > 0 && ey < 0 && ez < 0))
    return;
  FMeshSource.reset();
  Viewer->SetData(nullptr, 0, 0, 0, 0, ex, ey, ez, FAutoRange, nullptr, nullptr, nullptr, nullptr);
}

void TFBit3DView::DrawDischargeTree()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  std::vector<CubeViewSegment> segments;
  if (model && FSettings.showTree) {
    auto* codes = FViewGis ? dynamic_cast<TGArray3D*>(FViewGis->FindArrayByCode(CodeElectrodes)) : nullptr;
    const TCellCodeLookup lookup = [codes](int i, int j, int k, double& code) {
      return codes && codes->GetCellValue(i, j, k, code);
    };
    segments = model->GetSnapshot().Read([&](const TTree& tree, const TEngineStatistics& s) {
      return BuildTreeSegments(FSettings, tree, s.n1, s.n2, s.n3, lookup);
    });
  }
  Viewer->SetSegments(segments.data(), static_cast<int32_t>(segments.size()));
}

void TFBit3DView::DrawElectrodes()
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  std::vector<CubeViewBody> bodies;
  if (model && (FSettings.showElectrodes || FSettings.showInhomogeneities))
    bodies = BuildModelBodies(FSettings, model->Electrodes(), model->Inhomogeneities(),
                              model->GetSnapshot().Statistics());
  Viewer->SetBodies(bodies.data(), static_cast<int32_t>(bodies.size()));
}

void TFBit3DView::PickLimb()
{
  FSettings.pickedSegment = Viewer->PickSegment();
  DrawDischargeTree();
  Viewer->Redraw();
  PointChannel(FSettings.pickedNode);
  TFTreeInfo* info = FindTreeInfo();
  if (!info) {
    info = new TFTreeInfo(MainWindow(), nullptr, FModel);
    info->SetGIS(FViewGis);
  }
  info->NodeIndex = FSettings.pickedNode;
  info->Refresh();
  BringForward(info);
}

void TFBit3DView::PointChannel(int node) const
{
  QMdiArea* area = MdiArea();
  if (!area)
    return;
  // The oldest tree plot is the one that follows the pointer; the others keep
  // their channel, so two plots can compare a picked channel with a fixed one.
  for (QMdiSubWindow* each : area->subWindowList(QMdiArea::CreationOrder))
    if (auto* follower = dynamic_cast<TTreePickView*>(each->widget())) {
      follower->SetPointedChannel(node);
      return;
    }
}

TFTreeInfo* TFBit3DView::FindTreeInfo() const
{
  QMdiArea* area = MdiArea();
  if (!area)
    return nullptr;
  for (QMdiSubWindow* each : area->subWindowList(QMdiArea::CreationOrder))
    if (auto* info = qobject_cast<TFTreeInfo*>(each->widget()))
      return info;
  return nullptr;
}

void TFBit3DView::PMITreeOptionsClick()
{
  TFBit3DViewOptions dialog(this);
  dialog.Fill(FSettings);
  if (ModalCalls().ExecDialog(&dialog) != QDialog::Accepted)
    return;
  dialog.Apply(FSettings);
  UpdateData();
  Refresh();
}

void TFBit3DView::PMIInspctTreeClick() { Viewer->SetMouseAction(3); }

void TFBit3DView::PMPopup()
{
  TF3DView::PMPopup();
  PMIInspctTree->setChecked(Viewer->GetMouseAction() == 3);
  PMITreeShow->setChecked(FSettings.showTree);
  PMIElectrodesShow->setChecked(FSettings.showElectrodes);
  PMIInhomogeneitiesShow->setChecked(FSettings.showInhomogeneities);
}

void TFBit3DView::ViewerMouseDown(QMouseEvent* event)
{
  TF3DView::ViewerMouseDown(event);
  if (Viewer->GetMouseAction() == 3 && event->button() == Qt::LeftButton)
    PickLimb();
}

void TFBit3DView::SaveToStream(TTagStream* stream)
{
  TF3DView::SaveToStream(stream);
  stream->SetGroup(GroupBit3DView);
  const TTreeDisplaySettings& s = FSettings;
  stream->WriteBool(s.showTree);
  stream->WriteInt(s.pickedSegment);
  stream->WriteInt(s.pickedNode);
  stream->WriteInt(s.valueKind);
  stream->WriteDouble(s.width);
  stream->WriteDouble(s.widthPicked);
  stream->WriteDouble(s.widthBreakdown);
  stream->WriteDouble(s.valueMax);
  stream->WriteDouble(s.valueMin);
  stream->WriteBool(s.autoMax);
  stream->WriteBool(s.autoMin);
  stream->WriteInt(static_cast<int32_t>(s.colourMin));
  stream->WriteInt(static_cast<int32_t>(s.colourMax));
  stream->WriteInt(s.mixMode);
  stream->WriteInt(s.opacityMin);
  stream->WriteInt(s.opacityMax);
  stream->WriteBool(s.logarithmic);
  stream->WriteBool(s.showElectrodes);
  stream->WriteBool(s.showInhomogeneities);
}

void TFBit3DView::LoadFromStream(TTagStream* stream)
{
  TF3DView::LoadFromStream(stream);
  stream->SetGroup(GroupBit3DView);
  TTreeDisplaySettings& s = FSettings;
  stream->Read(s.showTree);
  stream->Read(s.pickedSegment);
  stream->Read(s.pickedNode);
  stream->Read(s.valueKind);
  stream->Read(s.width);
  stream->Read(s.widthPicked);
  stream->Read(s.widthBreakdown);
  stream->Read(s.valueMax);
  stream->Read(s.valueMin);
  stream->Read(s.autoMax);
  stream->Read(s.autoMin);
  int32_t colour = static_cast<int32_t>(s.colourMin);
  if (stream->Read(colour))
    s.colourMin = static_cast<COLORREF>(colour);
  colour = static_cast<int32_t>(s.colourMax);
  if (stream->Read(colour))
    s.colourMax = static_cast<COLORREF>(colour);
  stream->Read(s.mixMode);
  stream->Read(s.opacityMin);
  stream->Read(s.opacityMax);
  stream->Read(s.logarithmic);
  stream->Read(s.showElectrodes);
  stream->Read(s.showInhomogeneities);
  Refresh();
}

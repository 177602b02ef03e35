#include "views3d/Form3DView.h"

#include "views3d/FormCubuiqeRangeValues.h"
#include "views3d/FormArray3DInfo.h"
#include "views3d/FrameCubuiqe.h"

#include "base/ModalCalls.h"

#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TextConversion.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI.h"
#include "gis/GIS.h"
#include "gis/ObjectTypeCode.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int32_t GroupView3D = 1104;

QString u(const char* text) { return QString::fromUtf8(text); }

bool IsVolume(const TGObj* object)
{
  return object && (object->GetTypeCode() == ObjectTypeArray3D || object->GetTypeCode() == ObjectTypeArrayI3D);
}

// The mesh of an irregular array as the cube frame reads it.
class TArrayMeshSource : public TCubeMeshSource {
public:
  explicit TArrayMeshSource(const TGArrayI* array) : array(array) {}
  TIrregularMesh* Mesh() const override { return array->GetReadyMesh(); }
  COLORREF GridColour() const override { return 0; }
  double GridLineWidth() const override { return 1; }

private:
  const TGArrayI* array;
};

} // namespace

TF3DView::TF3DView(TFMain* mainWindow, QWidget* owner, TFModel* model, TSectionWindowCallback sectionWindow)
    : TFGisView(mainWindow, owner), FModel(model), FSectionWindow(std::move(sectionWindow))
{
  SetTag(WindowKind3DView);
  setMinimumSize(240, 185);
  resize(320, 320);
  Viewer = new TFmCubuiqe(this);
  Viewer->setObjectName(QStringLiteral("Viewer"));
  // The viewer fills the window whatever its size.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Viewer);
  setAttribute(Qt::WA_DeleteOnClose);
  QMenu* menu = Viewer->PopupMenu();
  PMIArrays = menu->addMenu(u("Массивы"));
  PMIArrays->setObjectName(QStringLiteral("PMIArrays"));
  PMISectionView = Viewer->MenuItem(QStringLiteral("PMIsections"))->menu()->addAction(u("В отдельном окне"));
  PMISectionView->setObjectName(QStringLiteral("PMISectionView"));
  PMISectionView->setEnabled(static_cast<bool>(FSectionWindow));
  connect(PMISectionView, &QAction::triggered, this, &TF3DView::PMISectionViewClick);
  // The value range goes right after the cube's filling submenu rather than
  // into it: the cube keeps that submenu hidden, so the dialog could not be reached.
  QMenu* options = Viewer->MenuItem(QStringLiteral("PMIOptions"))->menu();
  const QList<QAction*> optionItems = options->actions();
  const qsizetype filling = optionItems.indexOf(Viewer->MenuItem(QStringLiteral("PMIfilling")));
  PMIRangeValues = new QAction(u("Мин.-маск. ..."), options);
  options->insertAction(filling + 1 < optionItems.size() ? optionItems[filling + 1] : nullptr, PMIRangeValues);
  PMIRangeValues->setObjectName(QStringLiteral("PMIRangeValues"));
  connect(PMIRangeValues, &QAction::triggered, this, &TF3DView::PMIRangeValuesClick);
  PMIViewMinMax = options->addAction(u("Показывать Мин.-маск."));
  PMIViewMinMax->setObjectName(QStringLiteral("PMIViewMinMax"));
  PMIViewMinMax->setCheckable(true);
  connect(PMIViewMinMax, &QAction::triggered, this, &TF3DView::PMIViewMinMaxClick);
  PMIRedraw = menu->addAction(u("Обновить"));
  PMIRedraw->setObjectName(QStringLiteral("PMIRedraw"));
  connect(PMIRedraw, &QAction::triggered, this, &TF3DView::PMIRedrawClick);
  // One popup menu: the window's own items follow the cube's.
  menu->addSeparator();
  for (QAction* item : PMSimpleView->actions())
    menu->addAction(item);
  connect(menu, &QMenu::aboutToShow, this, [this] { PMPopup(); });
  Viewer->SetMouseHandlers([this](QMouseEvent* event) { ViewerMouseDown(event); }, {}, {});
  Viewer->UpdatePopupState();
  SetAutoCaption(u("Объем"));
}

TF3DView::~TF3DView()
{
  // The frame keeps pointers to the values and the mesh source: it goes first.
  delete Viewer;
  Viewer = nullptr;
}

TGObj* TF3DView::ShownArray() const
{
  if (!FViewGis || FArrayId == 0)
    return nullptr;
  TGObj* object = FViewGis->FindObjectById(FArrayId);
  return IsVolume(object) ? object : nullptr;
}

void TF3DView::SetGIS(TGIS* gis)
{
  if (gis != FViewGis) {
    Viewer->FreeData();
    FMeshSource.reset();
  }
  TFGisView::SetGIS(gis);
  if (gis)
    Refresh();
}

void TF3DView::SetArrayId(int32_t id)
{
  if (FViewGis && IsVolume(FViewGis->FindObjectById(id)))
    FArrayId = id;
}

bool TF3DView::HandArrayToViewer()
{
  TGObj* object = ShownArray();
  if (!object)
    return false;
  const double ex = std::fabs(object->GetWorldWidth());
  const double ey = -std::fabs(object->GetWorldHeight());
  const double ez = -std::fabs(object->GetWorldDepth());
  // The sections label their contours with the array's label font, which an
  // array makes only when asked (and drops when it is loaded).
  if (auto* array = dynamic_cast<TGArray*>(object))
    array->GetLabelFontHandle();
  if (auto* volume = dynamic_cast<TGArray3D*>(object)) {
    FMeshSource.reset();
    Viewer->SetData(volume->GetVolumeData(), 0, volume->GetNX(), volume->GetNY(), volume->GetNZ(), ex, ey, ez,
                    FAutoRange, &FRangeMin, &FRangeMax, &volume->GetDrawSettings(), nullptr);
  } else if (auto* irregular = dynamic_cast<TGArrayI*>(object)) {
    auto source = std::make_unique<TArrayMeshSource>(irregular);
    Viewer->SetData(irregular->GetData(), irregular->GetValueLocation(), 0, 0, 0, ex, ey, ez, FAutoRange,
                    &FRangeMin, &FRangeMax, &irregular->GetDrawSettings(), source.get());
    FMeshSource = std::move(source);
  } else {
    return false;
  }
  return true;
}

void TF3DView::UpdateData()
{
  if (HandArrayToViewer())
    LoadSectionPositions();
}

void TF3DView::LoadSectionPositions()
{
  TGObj* array = ShownArray();
  if (!array || array->GetDX() == 0 || array->GetDY() == 0)
    return;
  const double X0 = array->GetX(), Y0 = array->GetY();
  const double sx = 2 / array->GetDX(), sy = 2 / array->GetDY();
  std::vector<CubeSectionPosition> positions;
  FSectionIds.clear();
  for (int n = 0; TGObj* object = FViewGis->GetObjectOfType(n, ObjectTypeSection); ++n) {
    const double x0 = (object->GetX() - X0) * sx - 1;
    const double y0 = 1 - (object->GetY() - Y0) * sy;
    const double dx = object->GetDX() * sx;
    const double dy = -object->GetDY() * sy;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
      continue; // a section without a direction gives no plane
    const double a = std::atan2(dy, dx);
    const double c = std::cos(a), s = std::sin(a);
    // Rz(a) x Rx(90 degrees): a vertical plane along the segment.
    CubeSectionPosition p;
    const double m[9] = {c, 0, s, s, 0, -c, 0, 1, 0};
    std::memcpy(p.matrix, m, sizeof m);
    p.shift = -(dx * y0 - dy * x0) / length;
    const std::string name = object->GetName().substr(0, 255);
    std::memcpy(p.name, name.c_str(), name.size() + 1);
    positions.push_back(p);
    FSectionIds.push_back(object->GetId());
  }
  Viewer->SetSectionPositions(positions.data(), static_cast<int32_t>(positions.size()));
}

void TF3DView::Refresh()
{
  UpdateData();
  // A window that shows no array has no section to open on its own.
  PMISectionView->setEnabled(FSectionWindow && ShownArray());
  Viewer->Redraw();
  UpdateCaption();
  TFGisView::Refresh();
}

void TF3DView::UpdateCaption()
{
  QString caption = u("Объем");
  if (TGObj* object = ShownArray()) {
    caption += u(": ") + QString::fromStdString(object->GetName());
    if (FShowMinMax)
      if (auto* array = dynamic_cast<TGArray*>(object))
        caption += u(",  ( ") + QString::fromStdString(FloatToStrSep(array->GetDataMin(), ffGeneral, 3, 3)) + u(" : ") +
                   QString::fromStdString(FloatToStrSep(array->GetDataMax(), ffGeneral, 3, 3)) + u(" )");
  }
  SetAutoCaption(caption);
  TFGisView::Refresh();
}

void TF3DView::CopyToClipboard() { Viewer->CopyToClipboard(); }

void TF3DView::SaveBitmap(const QString& fileName) { Viewer->SaveBitmap(fileName); }

QImage TF3DView::Picture() { return Viewer->PictureImage(); }

void TF3DView::ZoomIn() { Viewer->Zoom200(); }

void TF3DView::ZoomOut() { Viewer->Zoom50(); }

void TF3DView::ObjectAdded(void*, int32_t objectId)
{
  if (FViewGis) {
    TGObj* object = FViewGis->FindObjectById(objectId);
    if (object && object->GetTypeCode() == ObjectTypeSection)
      Refresh();
  }
}

void TF3DView::ObjectDeleted(void*, int32_t objectId)
{
  if (objectId == FArrayId) {
    // The frame must not draw the values of an array that is going away.
    Viewer->FreeData();
    FMeshSource.reset();
    FArrayId = 0;
    if (QWidget* frame = parentWidget())
      frame->close();
    else
      close();
    return;
  }
  // The object is gone when the GIS tells: the planes listed last know whether it was a section.
  if (std::find(FSectionIds.begin(), FSectionIds.end(), objectId) != FSectionIds.end())
    Refresh();
}

void TF3DView::SaveToStream(TTagStream* stream)
{
  TFGisView::SaveToStream(stream);
  stream->SetGroup(GroupView3D);
  stream->WriteInt(FArrayId);
  TMemoryStream image;
  Viewer->Save(&image);
  stream->WriteBlock(image.Bytes().data(), static_cast<int32_t>(image.Bytes().size()));
  stream->WriteBool(FAutoRange);
  stream->WriteDouble(FRangeMin);
  stream->WriteDouble(FRangeMax);
  stream->WriteBool(FShowMinMax);
}

void TF3DView::LoadFromStream(TTagStream* stream)
{
  TFGisView::LoadFromStream(stream);
  stream->SetGroup(GroupView3D);
  stream->Read(FArrayId);
  std::vector<uint8_t> bytes;
  if (stream->ReadBlock(bytes) && !bytes.empty()) {
    TMemoryStream image(std::move(bytes));
    Viewer->Load(&image);
  }
  stream->Read(FAutoRange);
  stream->Read(FRangeMin);
  stream->Read(FRangeMax);
  stream->Read(FShowMinMax);
  PMIViewMinMax->setChecked(FShowMinMax);
}

void TF3DView::PMIRangeValuesClick()
{
  TFCubuiqeRangeValues* dialog = FCubuiqeRangeValues();
  dialog->CBautoscale->setChecked(FAutoRange);
  dialog->Emin->setText(QString::fromStdString(FloatToStrSep(FRangeMin, ffGeneral, 6, 3)));
  dialog->Emax->setText(QString::fromStdString(FloatToStrSep(FRangeMax, ffGeneral, 6, 3)));
  if (ModalCalls().ExecDialog(dialog) != QDialog::Accepted)
    return;
  FRangeMin = StrToFloatAny(dialog->Emin->text().toStdString());
  FRangeMax = StrToFloatAny(dialog->Emax->text().toStdString());
  FAutoRange = dialog->CBautoscale->isChecked();
  Refresh();
}

void TF3DView::PMIViewMinMaxClick()
{
  FShowMinMax = !FShowMinMax;
  PMIViewMinMax->setChecked(FShowMinMax);
  UpdateCaption();
}

void TF3DView::PMISectionViewClick()
{
  if (FSectionWindow)
    FSectionWindow(this);
}

void TF3DView::PMPopup()
{
  PMIArrays->clear();
  if (FViewGis && FViewGis->GetModel())
    RebuildArraysMenu();
}

void TF3DView::RebuildArraysMenu()
{
  for (int32_t type : {ObjectTypeArray3D, ObjectTypeArrayI3D})
    for (int n = 0; TGObj* object = FViewGis->GetObjectOfType(n, type); ++n) {
      QAction* item = PMIArrays->addAction(QString::fromStdString(object->GetName()));
      const int32_t id = object->GetId();
      item->setData(id);
      item->setCheckable(true);
      item->setChecked(id == FArrayId);
      connect(item, &QAction::triggered, this, [this, item, id] {
        // The click has already toggled the mark: a new choice is one that was not checked.
        if (item->isChecked())
          SetArrayId(id);
        item->setChecked(true);
        Refresh();
      });
    }
}

void TF3DView::ViewerMouseDown(QMouseEvent* event)
{
  if (Viewer->GetMouseAction() == 2 && event->button() == Qt::LeftButton)
    InspectAtMouse();
}

void TF3DView::InspectAtMouse()
{
  const TGObj* array = ShownArray();
  if (!array)
    return;
  const std::vector<std::array<double, 3>> picked = Viewer->PickSectionPoints();
  if (picked.empty())
    return;
  // The cube spans [-1, 1] on each axis with y and z pointing down the array.
  std::vector<TFArray3DInfo::TPoint> points;
  points.reserve(picked.size());
  for (const auto& p : picked)
    points.push_back({array->GetX() + (p[0] + 1) / 2 * array->GetDX(),
                      array->GetY() + (1 - p[1]) / 2 * array->GetDY(),
                      array->GetZ() + (1 - p[2]) / 2 * array->GetDZ()});
  TFArray3DInfo* info = nullptr;
  if (QMdiArea* area = MdiArea())
    for (QMdiSubWindow* each : area->subWindowList(QMdiArea::CreationOrder))
      if (auto* view = qobject_cast<TFSimpleView*>(each->widget()); view && view->Tag() == WindowKindArray3DInfo) {
        info = qobject_cast<TFArray3DInfo*>(view);
        break;
      }
  if (!info) {
    info = new TFArray3DInfo(MainWindow(), nullptr);
    info->SetGIS(FViewGis);
  }
  info->SetPoints(FArrayId, std::move(points));
  BringForward(info);
}

QMdiArea* TF3DView::MdiArea() const
{
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  return sub ? sub->mdiArea() : nullptr;
}

void TF3DView::BringForward(QWidget* info) const
{
  QMdiArea* area = MdiArea();
  if (area && !qobject_cast<QMdiSubWindow*>(info->parentWidget()))
    area->addSubWindow(info);
  QWidget* window = info->parentWidget() ? info->parentWidget() : info;
  window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  window->show();
  window->raise();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window); sub && area)
    area->setActiveSubWindow(sub);
}

void TF3DView::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
  if ((key == Qt::Key_C || key == Qt::Key_Insert) && modifiers.testFlag(Qt::ControlModifier)) {
    CopyToClipboard();
    return;
  }
  TFGisView::FormKeyDown(key, modifiers);
}

#include "views3d/FormSectionView.h"

#include "views3d/Form3DView.h"
#include "views3d/FrameCubuiqe.h"
#include "views3d/FrameSectionView.h"

#include "data/Stream.h"
#include "data/TagStream.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI.h"
#include "gis/GIS.h"

#include <QMenu>
#include <QVBoxLayout>

namespace {

// Records of the window's own group.
enum : int32_t { RecordFrame = 0, RecordArrayId, RecordSourceWindowId };

} // namespace

TFSectionView::TFSectionView(TFMain* mainWindow, QWidget* owner) : TFGisView(mainWindow, owner)
{
  SetTag(WindowKindSectionView);
  setAttribute(Qt::WA_DeleteOnClose);
  Viewer = new TFmSectionView(this);
  Viewer->setObjectName(QStringLiteral("Viewer"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Viewer);
  // One popup menu: the window's own items follow the picture's.
  for (QAction* item : PMSimpleView->actions())
    Viewer->PMOptions->addAction(item);
  resize(300, 300);
}

void TFSectionView::SetSourceView(TF3DView* view)
{
  if (view)
    UpdateFromSource(view);
}

void TFSectionView::UpdateFromSource(TF3DView* view)
{
  FSourceWindowId = view->WindowId();
  double matrix[9], shift = 0;
  view->Viewer->GetSectionPlane(matrix, &shift);
  Viewer->SetSectionPlane(matrix, shift);
  double sx = 1, sy = 1, sz = 1;
  view->Viewer->GetAxesScale(&sx, &sy, &sz);
  Viewer->SetAxesScale(sx, sy, sz);
  FArrayId = view->GetArrayId();
  UpdateData();
}

void TFSectionView::UpdateData()
{
  if (!FViewGis)
    return;
  TGObj* object = FViewGis->FindObjectById(FArrayId);
  // The settings carry the label font only once the array has made it.
  if (auto* array = dynamic_cast<TGArray*>(object))
    array->GetLabelFontHandle();
  // The window draws its grid with the index running down along y and z.
  if (auto* volume = dynamic_cast<TGArray3D*>(object)) {
    Viewer->SetData(volume->GetNX(), volume->GetNY(), volume->GetNZ(), 1, -1, -1, volume->GetVolumeData(),
                    volume->GetDrawSettings());
  } else if (auto* irregular = dynamic_cast<TGArrayI*>(object)) {
    Viewer->SetDataIrregular(irregular->GetData(), irregular->GetValueLocation(), irregular->GetReadyMesh(), 1, -1,
                             -1, irregular->GetDrawSettings());
  } else {
    return; // the picture stays as it was
  }
  Viewer->Redraw();
}

void TFSectionView::SetGIS(TGIS* gis)
{
  if (gis != FViewGis)
    Viewer->FreeData();
  TFGisView::SetGIS(gis);
  // A loaded window draws its plane once the project's GIS arrives.
  if (gis)
    Refresh();
}

void TFSectionView::Refresh()
{
  UpdateData();
  TFGisView::Refresh();
}

void TFSectionView::CopyToClipboard() { Viewer->CopyToClipboard(); }

void TFSectionView::SaveBitmap(const QString& fileName) { Viewer->SaveBitmap(fileName); }

QImage TFSectionView::Picture() { return Viewer->PictureImage(); }

void TFSectionView::ZoomIn() { Viewer->SetZoom(Viewer->Zoom() * 2); }

void TFSectionView::ZoomOut() { Viewer->SetZoom(Viewer->Zoom() * 0.5); }

void TFSectionView::ObjectDeleted(void*, int32_t objectId)
{
  if (objectId != FArrayId)
    return;
  // The values go with the array: nothing may draw them any more.
  Viewer->FreeData();
  FArrayId = 0;
  if (QWidget* frame = parentWidget())
    frame->close();
  else
    close();
}

void TFSectionView::SaveToStream(TTagStream* stream)
{
  TFGisView::SaveToStream(stream);
  stream->SetGroup(TagGroup::SectionView);
  TMemoryStream image;
  {
    TTagStream frame(&image, TagStreamWrite);
    Viewer->Save(&frame);
    frame.Commit();
  }
  stream->WriteBlock(image.Bytes().data(), static_cast<int32_t>(image.Bytes().size()), RecordFrame);
  stream->WriteInt(FArrayId, RecordArrayId);
  stream->WriteInt(FSourceWindowId, RecordSourceWindowId);
}

void TFSectionView::LoadFromStream(TTagStream* stream)
{
  TFGisView::LoadFromStream(stream);
  stream->SetGroup(TagGroup::SectionView);
  std::vector<uint8_t> bytes;
  if (stream->ReadBlock(bytes, RecordFrame) && !bytes.empty()) {
    TMemoryStream image(std::move(bytes));
    TTagStream frame(&image, TagStreamRead);
    Viewer->Load(&frame);
  }
  stream->Read(FArrayId, RecordArrayId);
  stream->Read(FSourceWindowId, RecordSourceWindowId);
  Refresh();
}

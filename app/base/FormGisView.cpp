#include "base/FormGisView.h"

#include "data/TagStream.h"

TFGisView::TFGisView(TFMain* mainWindow, QWidget* owner) : TFSimpleView(mainWindow, owner)
{
  SetTag(WindowKindGisView);
}

void TFGisView::SaveToStream(TTagStream* stream)
{
  TFSimpleView::SaveToStream(stream);
  stream->SetGroup(TagGroup::GisView);
}

void TFGisView::LoadFromStream(TTagStream* stream)
{
  TFSimpleView::LoadFromStream(stream);
  stream->SetGroup(TagGroup::GisView);
}

void TFGisView::SetGIS(TGIS* gis)
{
  FViewGis = gis;
}

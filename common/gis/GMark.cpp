#include "gis/GMark.h"

#include "gis/EditorFrames.h"

TGMark::TGMark(TGIS* owner) : TGPoint(owner)
{
  SetTypeCode(ObjectTypeMark);
  SetKindNames("Метка", "Метки");
  TFontRecord font;
  font.name = "Courier";
  font.size = 8;
  font.color = 0x800000;
  SetSymbolDefaults("#", font);
  SetShowName(true);
}

TEditorFrame* TGMark::CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner)
{
  TEditorFrameFactory* factory = GetEditorFrameFactory();
  return factory ? factory->CreateMarkFrame(*this, fromKeptValues, multiple, owner) : nullptr;
}

void TGMark::ApplyEditorFrame(TEditorFrame* frame)
{
  ApplyOwnFrame<TMarkFrame>(frame, *this);
}

void TGMark::FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple)
{
  FillOwnFrame<TMarkFrame>(frame, *this, fromKeptValues, multiple);
}

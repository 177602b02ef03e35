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
  if (auto* markFrame = dynamic_cast<TMarkFrame*>(frame)) {
    markFrame->ApplyTo(*this);
    MarkOwnerModified();
  }
}

void TGMark::FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple)
{
  if (auto* markFrame = dynamic_cast<TMarkFrame*>(frame))
    markFrame->FillFrom(*this, fromKeptValues, multiple);
}

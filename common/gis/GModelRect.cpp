#include "gis/GModelRect.h"

#include "gis/EditorFrames.h"

TGModelRect::TGModelRect(TGIS* owner) : TGRect(owner)
{
  SetTypeCode(ObjectTypeModelRect);
  SetKindNames("Область моделирования", "Области моделирования");
}

// The area shows through the arrays laid over it; it has no picture of its own.
void TGModelRect::Draw(double, double, double, double, TMemBitmap*) {}

TEditorFrame* TGModelRect::CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner)
{
  TEditorFrameFactory* factory = GetEditorFrameFactory();
  return factory ? factory->CreateModelRectFrame(*this, fromKeptValues, multiple, owner) : nullptr;
}

void TGModelRect::ApplyEditorFrame(TEditorFrame* frame)
{
  if (auto* areaFrame = dynamic_cast<TModelRectFrame*>(frame)) {
    areaFrame->ApplyToObject(*this);
    MarkOwnerModified();
  }
}

void TGModelRect::FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple)
{
  if (auto* areaFrame = dynamic_cast<TModelRectFrame*>(frame))
    areaFrame->LoadFromObject(*this, fromKeptValues, multiple);
}

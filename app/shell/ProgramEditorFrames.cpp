#include "shell/ProgramEditorFrames.h"

#include "gis/GModelRect.h"
#include "gis/ObjectTypeCode.h"
#include "model/dialogs/FrameModelRect.h"

TProgramEditorFrames::TProgramEditorFrames()
{
  RegisterMapFrames(*this);
  RegisterFrame(ObjectTypeModelRect,
                [](TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner) -> TEditorFrame* {
                  auto* area = dynamic_cast<TGModelRect*>(&object);
                  return area ? ::CreateModelRectFrame(*area, fromKeptValues, multiple, owner) : nullptr;
                });
}

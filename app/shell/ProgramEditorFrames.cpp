#include "shell/ProgramEditorFrames.h"

#include "model/dialogs/FrameModelRect.h"

TMarkFrame* TProgramEditorFrames::CreateMarkFrame(TGMark&, bool, bool, QWidget*)
{
  return nullptr;
}

TReperFrame* TProgramEditorFrames::CreateReperFrame(TGReper&, bool, bool, QWidget*)
{
  return nullptr;
}

TMapFrame* TProgramEditorFrames::CreateMapFrame(TGMap&, bool, QWidget*)
{
  return nullptr;
}

TModelRectFrame* TProgramEditorFrames::CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple,
                                                            QWidget* owner)
{
  return ::CreateModelRectFrame(area, fromKeptValues, multiple, owner);
}

#pragma once
// The user-interface side of a regular array as the array sees it: its property
// frame and its modal data editor. The program installs the implementation;
// without one an array opens no editor and creates no frame, so the data model
// runs headless.
#include "gis/EditorFrames.h"

class QWidget;
class TGArray;

class TArrayFrame : public virtual TEditorFrame {
public:
  // The frame's controls write into the array as they change; applying adds nothing.
  virtual void ApplyTo(TGArray& array) = 0;
  virtual void FillFrom(TGArray& array, bool multiple) = 0;
};

class TArrayEditorHooks {
public:
  virtual ~TArrayEditorHooks() = default;
  virtual TArrayFrame* CreateArrayFrame(TGArray& array, bool multiple, QWidget* owner) = 0;
  // Shows the array's grid in the data editor, modally; true when it closed with OK.
  virtual bool EditArrayData(TGArray& array) = 0;
};

// Not owned; null until the program installs its editors.
void SetArrayEditorHooks(TArrayEditorHooks* hooks);
TArrayEditorHooks* GetArrayEditorHooks();

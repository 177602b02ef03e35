#pragma once
// The user-interface side of the three-dimensional and triangulated arrays as
// the arrays see it: their property frames and modal data windows. The program
// installs the implementation; without one these arrays open no editor and
// create no frame, so the data model runs headless.
#include "gis/EditorFrames.h"

class QWidget;
class TGArray;
class TGArray3D;
class TGArrayI;
class TGArrayI3D;

// The frame of a three-dimensional array: the regular array's options and the
// level ("Слой").
class TArray3DFrame : public virtual TEditorFrame {
public:
  virtual void ApplyTo(TGArray& array) = 0;
  virtual void FillFrom(TGArray3D& array, bool multiple) = 0;
};

// The frames of the triangulated arrays (plane and layered).
class TArrayIFrame : public virtual TEditorFrame {
public:
  virtual void ApplyTo(TGArrayI& array) = 0;
  virtual void FillFrom(TGArrayI& array, bool multiple) = 0;
};

class TVolumeArrayEditorHooks {
public:
  virtual ~TVolumeArrayEditorHooks() = default;
  virtual TArray3DFrame* CreateArray3DFrame(TGArray3D& array, bool multiple, QWidget* owner) = 0;
  virtual TArrayIFrame* CreateArrayIFrame(TGArrayI& array, bool multiple, QWidget* owner) = 0;
  virtual TArrayIFrame* CreateArrayI3DFrame(TGArrayI3D& array, bool multiple, QWidget* owner) = 0;
  // The data windows, modally; true when they closed with OK.
  virtual bool EditArray3DData(TGArray3D& array) = 0;
  virtual bool EditArrayIData(TGArrayI& array) = 0;
  virtual bool EditArrayI3DData(TGArrayI3D& array) = 0;
};

// Not owned; null until the program installs its editors.
void SetVolumeArrayEditorHooks(TVolumeArrayEditorHooks* hooks);
TVolumeArrayEditorHooks* GetVolumeArrayEditorHooks();

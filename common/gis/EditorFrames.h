#pragma once
// The property frames of map objects, as the objects see them. The frames are
// widgets of the program; the core only creates them through the installed
// factory, fills them from an object and applies them to it, so the data model
// stays free of widgets and runs headless.
class QWidget;
class TGMark;
class TGReper;
class TGMap;
class TGModelRect;

// A frame created for one object (or a selection of several); the owner widget
// that was passed at creation owns it.
class TEditorFrame {
public:
  virtual ~TEditorFrame() = default;
};

class TMarkFrame : public virtual TEditorFrame {
public:
  // Writes position, name, show-name flag and the symbol (text and font) or the
  // icon and mask into the mark; with several objects selected only what the
  // user changed.
  virtual void ApplyTo(TGMark& mark) = 0;
  virtual void FillFrom(TGMark& mark, bool fromKeptValues, bool multiple) = 0;
};

class TReperFrame : public virtual TEditorFrame {
public:
  virtual void ApplyTo(TGReper& reper) = 0;
  virtual void FillFrom(TGReper& reper, bool fromKeptValues, bool multiple) = 0;
};

class TMapFrame : public virtual TEditorFrame {
public:
  // South-west corner, width, height, name and a newly chosen picture.
  virtual void ApplyTo(TGMap& map) = 0;
  virtual void FillFrom(TGMap& map, bool multiple) = 0;
};

class TModelRectFrame : public virtual TEditorFrame {
public:
  virtual void ApplyToObject(TGModelRect& area) = 0;
  virtual void LoadFromObject(TGModelRect& area, bool fromKeptValues, bool multiple) = 0;
};

// Creates the frames; the program installs its widget implementation at start.
// Each call returns null when no frame can be made.
class TEditorFrameFactory {
public:
  virtual ~TEditorFrameFactory() = default;
  virtual TMarkFrame* CreateMarkFrame(TGMark& mark, bool fromKeptValues, bool multiple, QWidget* owner) = 0;
  virtual TReperFrame* CreateReperFrame(TGReper& reper, bool fromKeptValues, bool multiple, QWidget* owner) = 0;
  virtual TMapFrame* CreateMapFrame(TGMap& map, bool multiple, QWidget* owner) = 0;
  virtual TModelRectFrame* CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple,
                                                QWidget* owner) = 0;
};

// The installed factory (not owned); null until the program installs one, and
// then objects create no frames.
void SetEditorFrameFactory(TEditorFrameFactory* factory);
TEditorFrameFactory* GetEditorFrameFactory();

#pragma once
// TFrameRegistry: the program's property frames and data windows of map
// objects, found by the object's type code. The data model reaches them through
// the frame factory and the array editor hooks that the registry stands in for,
// so one table decides which objects the user can edit and how.
#include "gis/ArrayEditors.h"
#include "gis/EditorFrames.h"
#include "gis/VolumeArrayEditors.h"

#include <cstdint>
#include <functional>
#include <map>

class TGObj;

class TFrameRegistry : public TEditorFrameFactory, public TArrayEditorHooks, public TVolumeArrayEditorHooks {
public:
  using TFrameMaker = std::function<TEditorFrame*(TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner)>;
  // Shows the object's data window modally; true when the data changed.
  using TDataWindow = std::function<bool(TGObj& object)>;

  void RegisterFrame(std::int32_t typeCode, TFrameMaker maker);
  void RegisterDataWindow(std::int32_t typeCode, TDataWindow window);

  // Null for a type without a frame.
  TEditorFrame* CreateFrame(TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner) const;
  bool HasDataWindow(std::int32_t typeCode) const;
  // False without a data window for the object's type.
  bool OpenDataWindow(TGObj& object) const;

  TMarkFrame* CreateMarkFrame(TGMark& mark, bool fromKeptValues, bool multiple, QWidget* owner) override;
  TReperFrame* CreateReperFrame(TGReper& reper, bool fromKeptValues, bool multiple, QWidget* owner) override;
  TMapFrame* CreateMapFrame(TGMap& map, bool multiple, QWidget* owner) override;
  TModelRectFrame* CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple,
                                        QWidget* owner) override;
  TArrayFrame* CreateArrayFrame(TGArray& array, bool multiple, QWidget* owner) override;
  bool EditArrayData(TGArray& array) override;
  TArray3DFrame* CreateArray3DFrame(TGArray3D& array, bool multiple, QWidget* owner) override;
  TArrayIFrame* CreateArrayIFrame(TGArrayI& array, bool multiple, QWidget* owner) override;
  TArrayIFrame* CreateArrayI3DFrame(TGArrayI3D& array, bool multiple, QWidget* owner) override;
  bool EditArray3DData(TGArray3D& array) override;
  bool EditArrayIData(TGArrayI& array) override;
  bool EditArrayI3DData(TGArrayI3D& array) override;

private:
  template <class Frame>
  Frame* Create(TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner) const;

  std::map<std::int32_t, TFrameMaker> frames;
  std::map<std::int32_t, TDataWindow> dataWindows;
};

// Registers the frames of the map objects that this folder provides: repers,
// marks, map pictures and the four array kinds.
void RegisterMapFrames(TFrameRegistry& registry);

// The registry in force (not owned); null when none is installed.
TFrameRegistry* GetFrameRegistry();

// Installs a registry as the frame factory and the array editor hooks for the
// lifetime of a scope (the program's run, a test).
class TFrameRegistryScope {
public:
  explicit TFrameRegistryScope(TFrameRegistry& registry);
  ~TFrameRegistryScope();
  TFrameRegistryScope(const TFrameRegistryScope&) = delete;
  TFrameRegistryScope& operator=(const TFrameRegistryScope&) = delete;
};

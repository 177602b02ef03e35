#include "maps/FrameRegistry.h"

#include "gis/GArray3D.h"
#include "gis/GArrayI3D.h"
#include "gis/GMeshSource.h"
#include "gis/GMap.h"
#include "gis/GModelRect.h"
#include "gis/GReper.h"
#include "maps/FormArray3DData.h"
#include "maps/FormArrayData.h"
#include "maps/FormGridInfo.h"
#include "maps/FrameArray.h"
#include "maps/FrameArray3D.h"
#include "maps/FrameArrayI.h"
#include "maps/FrameArrayI3D.h"
#include "maps/FrameMap.h"
#include "maps/FrameMark.h"
#include "maps/FrameReper.h"

namespace {
TFrameRegistry* installedRegistry = nullptr;

// A maker for a frame class whose constructor takes the object of its own type.
template <class Frame, class Object>
TFrameRegistry::TFrameMaker PointFrameMaker()
{
  return [](TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner) -> TEditorFrame* {
    auto* own = dynamic_cast<Object*>(&object);
    return own ? new Frame(own, fromKeptValues, multiple, owner) : nullptr;
  };
}

template <class Frame, class Object>
TFrameRegistry::TFrameMaker KeptlessFrameMaker()
{
  return [](TGObj& object, bool, bool multiple, QWidget* owner) -> TEditorFrame* {
    auto* own = dynamic_cast<Object*>(&object);
    return own ? new Frame(own, multiple, owner) : nullptr;
  };
}
} // namespace

void TFrameRegistry::RegisterFrame(std::int32_t typeCode, TFrameMaker maker)
{
  frames[typeCode] = std::move(maker);
}

void TFrameRegistry::RegisterDataWindow(std::int32_t typeCode, TDataWindow window)
{
  dataWindows[typeCode] = std::move(window);
}

TEditorFrame* TFrameRegistry::CreateFrame(TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner) const
{
  auto found = frames.find(object.GetTypeCode());
  return found == frames.end() ? nullptr : found->second(object, fromKeptValues, multiple, owner);
}

bool TFrameRegistry::HasDataWindow(std::int32_t typeCode) const
{
  return dataWindows.count(typeCode) != 0;
}

bool TFrameRegistry::OpenDataWindow(TGObj& object) const
{
  auto found = dataWindows.find(object.GetTypeCode());
  return found != dataWindows.end() && found->second(object);
}

template <class Frame>
Frame* TFrameRegistry::Create(TGObj& object, bool fromKeptValues, bool multiple, QWidget* owner) const
{
  TEditorFrame* frame = CreateFrame(object, fromKeptValues, multiple, owner);
  auto* own = dynamic_cast<Frame*>(frame);
  if (!own)
    delete frame;
  return own;
}

TMarkFrame* TFrameRegistry::CreateMarkFrame(TGMark& mark, bool fromKeptValues, bool multiple, QWidget* owner)
{
  return Create<TMarkFrame>(mark, fromKeptValues, multiple, owner);
}

TReperFrame* TFrameRegistry::CreateReperFrame(TGReper& reper, bool fromKeptValues, bool multiple, QWidget* owner)
{
  return Create<TReperFrame>(reper, fromKeptValues, multiple, owner);
}

TMapFrame* TFrameRegistry::CreateMapFrame(TGMap& map, bool multiple, QWidget* owner)
{
  return Create<TMapFrame>(map, false, multiple, owner);
}

TModelRectFrame* TFrameRegistry::CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple,
                                                      QWidget* owner)
{
  return Create<TModelRectFrame>(area, fromKeptValues, multiple, owner);
}

TArrayFrame* TFrameRegistry::CreateArrayFrame(TGArray& array, bool multiple, QWidget* owner)
{
  return Create<TArrayFrame>(array, false, multiple, owner);
}

TArray3DFrame* TFrameRegistry::CreateArray3DFrame(TGArray3D& array, bool multiple, QWidget* owner)
{
  return Create<TArray3DFrame>(array, false, multiple, owner);
}

TArrayIFrame* TFrameRegistry::CreateArrayIFrame(TGArrayI& array, bool multiple, QWidget* owner)
{
  return Create<TArrayIFrame>(array, false, multiple, owner);
}

TArrayIFrame* TFrameRegistry::CreateArrayI3DFrame(TGArrayI3D& array, bool multiple, QWidget* owner)
{
  return Create<TArrayIFrame>(array, false, multiple, owner);
}

bool TFrameRegistry::EditArrayData(TGArray& array)
{
  return OpenDataWindow(array);
}

bool TFrameRegistry::EditArray3DData(TGArray3D& array)
{
  return OpenDataWindow(array);
}

bool TFrameRegistry::EditArrayIData(TGArrayI& array)
{
  return OpenDataWindow(array);
}

bool TFrameRegistry::EditArrayI3DData(TGArrayI3D& array)
{
  return OpenDataWindow(array);
}

void RegisterMapFrames(TFrameRegistry& registry)
{
  registry.RegisterFrame(ObjectTypeReper, PointFrameMaker<TFmReper, TGReper>());
  registry.RegisterFrame(ObjectTypeMark, PointFrameMaker<TFmMark, TGMark>());
  registry.RegisterFrame(ObjectTypeMap, KeptlessFrameMaker<TFmMap, TGMap>());
  registry.RegisterFrame(ObjectTypeArray, KeptlessFrameMaker<TFmArray, TGArray>());
  registry.RegisterFrame(ObjectTypeArray3D, KeptlessFrameMaker<TFmArray3D, TGArray3D>());
  registry.RegisterFrame(ObjectTypeArrayI, KeptlessFrameMaker<TFmArrayI, TGArrayI>());
  registry.RegisterFrame(ObjectTypeArrayI3D, KeptlessFrameMaker<TFmArrayI3D, TGArrayI3D>());
  registry.RegisterDataWindow(ObjectTypeArray, [](TGObj& object) {
    auto* array = dynamic_cast<TGArray*>(&object);
    if (!array)
      return false;
    TFArrayData* window = ArrayDataForm();
    window->SetArray(array);
    window->ShowModal();
    return window->Changed;
  });
  // A triangulated array's data are its mesh: the window lists it with the
  // values the array keeps on it; nothing there changes the array.
  const auto meshWindow = [](TGObj& object) {
    auto* array = dynamic_cast<TGArrayI*>(&object);
    if (!array)
      return false;
    TFGridInfo* window = GridInfoForm();
    window->SetGrid(array->GetMesh(), array);
    window->ShowModal();
    return false;
  };
  registry.RegisterDataWindow(ObjectTypeArrayI, meshWindow);
  registry.RegisterDataWindow(ObjectTypeArrayI3D, meshWindow);
  registry.RegisterDataWindow(ObjectTypeArray3D, [](TGObj& object) {
    auto* array = dynamic_cast<TGArray3D*>(&object);
    if (!array)
      return false;
    TFArray3DData* window = Array3DDataForm();
    window->SetArray(array);
    window->ShowModal();
    return window->Changed;
  });
}

TFrameRegistry* GetFrameRegistry()
{
  return installedRegistry;
}

TFrameRegistryScope::TFrameRegistryScope(TFrameRegistry& registry)
{
  installedRegistry = &registry;
  SetEditorFrameFactory(&registry);
  SetArrayEditorHooks(&registry);
  SetVolumeArrayEditorHooks(&registry);
}

TFrameRegistryScope::~TFrameRegistryScope()
{
  installedRegistry = nullptr;
  SetEditorFrameFactory(nullptr);
  SetArrayEditorHooks(nullptr);
  SetVolumeArrayEditorHooks(nullptr);
}

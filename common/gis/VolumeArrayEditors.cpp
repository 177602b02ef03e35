#include "gis/VolumeArrayEditors.h"

namespace {

TVolumeArrayEditorHooks* installedHooks = nullptr;

} // namespace

void SetVolumeArrayEditorHooks(TVolumeArrayEditorHooks* hooks)
{
  installedHooks = hooks;
}

TVolumeArrayEditorHooks* GetVolumeArrayEditorHooks()
{
  return installedHooks;
}

#include "gis/ArrayEditors.h"

namespace {
TArrayEditorHooks* installedHooks = nullptr;
}

void SetArrayEditorHooks(TArrayEditorHooks* hooks)
{
  installedHooks = hooks;
}

TArrayEditorHooks* GetArrayEditorHooks()
{
  return installedHooks;
}

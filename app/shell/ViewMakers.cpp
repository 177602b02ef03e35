#include "shell/ViewMakers.h"

#include "base/WindowKind.h"
#include "plots/info/FormModelInfo.h"
#include "shell/ViewFactory.h"
#include "views3d/FormBit3DView.h"

void RegisterViewMakers(TViewFactory& factory)
{
  factory.Register(WindowKindBit3DView,
                   [](TFMain& main, TFModel* model) { return new TFBit3DView(&main, nullptr, model); });
  factory.Register(WindowKindModelInfo,
                   [](TFMain& main, TFModel* model) { return new TFModelInfo(&main, nullptr, model); });
}

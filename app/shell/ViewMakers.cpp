#include "shell/ViewMakers.h"

#include "base/WindowKind.h"
#include "plots/info/FormModelInfo.h"
#include "shell/FormMain.h"
#include "shell/ViewFactory.h"
#include "views3d/FormBit3DView.h"
#include "views3d/FormSectionView.h"

void RegisterViewMakers(TViewFactory& factory)
{
  factory.Register(WindowKindBit3DView,
                   [](TFMain& main, TFModel* model) {
                     return new TFBit3DView(&main, nullptr, model,
                                            [&main](TF3DView* view) { main.OpenSectionWindow(view); });
                   });
  factory.Register(WindowKindSectionView, [](TFMain& main, TFModel*) { return new TFSectionView(&main, nullptr); });
  factory.Register(WindowKindModelInfo,
                   [](TFMain& main, TFModel* model) { return new TFModelInfo(&main, nullptr, model); });
}

#include "shell/ViewFactory.h"

#include "base/WindowKind.h"

bool TViewFactory::IsRecreatedKind(int kind)
{
  switch (kind) {
  case WindowKind3DView:
  case WindowKindBit3DView:
  case WindowKindSectionView:
  case WindowKindTimePlot:
  case WindowKindArrayPlot:
  case WindowKindArray3DPlot:
  case WindowKindDimPlot:
  case WindowKindTreePlot:
  case WindowKindModelInfo:
    return true;
  default:
    return false;
  }
}

void TViewFactory::Register(int kind, TMaker maker)
{
  if (IsRecreatedKind(kind))
    makers[kind] = std::move(maker);
}

bool TViewFactory::CanCreate(int kind) const
{
  if (kind == WindowKind3DView)
    kind = WindowKindBit3DView;
  auto found = makers.find(kind);
  return found != makers.end() && found->second;
}

TFSimpleView* TViewFactory::Create(int kind, TFMain& main, TFModel* model) const
{
  if (!IsRecreatedKind(kind) || !CanCreate(kind))
    return nullptr;
  if (kind == WindowKind3DView)
    kind = WindowKindBit3DView;
  return makers.at(kind)(main, model);
}

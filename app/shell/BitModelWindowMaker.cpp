#include "shell/BitModelWindowMaker.h"

#include "model/dialogs/ModelDialogCommands.h"

#include "gis/GArray.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "model/FormBitModel.h"
#include "model/dialogs/FormParam.h"
#include "shell/FormMain.h"
#include "base/ModalCalls.h"

#include <QPushButton>

namespace {

constexpr int PotentialCode = 20001;

TFBitModel* BitModel(TFMain& main)
{
  return dynamic_cast<TFBitModel*>(main.Model());
}

} // namespace

std::unique_ptr<TFModel> TBitModelWindowMaker::CreateModel(TFMain& main)
{
  try {
    return std::make_unique<TFBitModel>();
  } catch (const EModelCreateError& e) {
    ShowErrorMessage(&main, QString::fromStdString(e.what()));
    return nullptr;
  }
}

void TBitModelWindowMaker::ApplyGeoReference(TFMain& main)
{
  TFBitModel* model = BitModel(main);
  TGIS* gis = main.Gis();
  if (!model || !gis)
    return;
  const THeap* engine = model->GetEngine();
  gis->SetGeoReference(0, 0, 0, 0, 1, 1, engine->N1 * engine->CellSize1, engine->N3 * engine->CellSize3,
                       CoordGeographic);
}

void TBitModelWindowMaker::ApplyVolumeDepth(TFMain& main)
{
  TFBitModel* model = BitModel(main);
  TGIS* gis = main.Gis();
  if (!model || !gis)
    return;
  const THeap* engine = model->GetEngine();
  double depth = engine->N2 * engine->CellSize2;
  for (int n = 0; TGObj* volume = gis->GetObjectOfType(n, ObjectTypeArray3D); ++n)
    volume->SetWorldDepth(depth);
}

void TBitModelWindowMaker::SetUpNewProject(TFMain& main)
{
  TFBitModel* model = BitModel(main);
  if (!model || !main.Gis())
    return;
  // A new project has no way back: the parameters are always taken.
  RunParamCommand(model->GetEngine(), 0, true);
  ApplyGeoReference(main);
  model->UpdateLatticeSize();
  model->SetDefaults();
}

void TBitModelWindowMaker::FinishNewProject(TFMain& main)
{
  TGIS* gis = main.Gis();
  if (!BitModel(main) || !gis)
    return;
  ApplyVolumeDepth(main);
  auto* potential = dynamic_cast<TGArray*>(gis->FindArrayByCode(PotentialCode));
  if (!potential)
    return;
  TLevelScheme scheme = potential->GetLevelScheme();
  potential->SetLevelScheme(LevelSchemeStep, scheme.requestedCount, 100000.0, 20000.0,
                            static_cast<int>(scheme.decimalBoldCount), static_cast<int>(scheme.decimalThinCount),
                            static_cast<int>(scheme.logPower), static_cast<int>(scheme.logThinCount));
  potential->SetAutomaticRange(true);
  potential->SetSteppedFill(false);
  const TArrayDrawSettings& settings = potential->GetDrawSettings();
  potential->SetLabels(false, true, settings.labelSpacing, settings.labelStart, settings.labelFactor,
                       settings.labelSubtrahend);
}

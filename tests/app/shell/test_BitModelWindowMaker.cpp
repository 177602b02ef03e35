// A new project with the breakdown model: the parameter dialog, the geo
// reference from the lattice, the model's layers and the drawing of the potential.
#include "support/ShellTestSupport.h"

#include "gis/GArray.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "model/FormBitModel.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "shell/BitModelWindowMaker.h"
#include "base/ScriptedModalCalls.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class BitModelWindowMakerTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    FParam = new TFParam();
    FParamStud = new TFParamStud();
    FCalcStatus = new TFCalcStatus();
    main = std::make_unique<TFMain>(QStringList());
    main->SetModelWindowMaker(&maker);
  }
  void TearDown() override
  {
    main.reset();
    delete FParam;
    FParam = nullptr;
    delete FParamStud;
    FParamStud = nullptr;
    delete FCalcStatus;
    FCalcStatus = nullptr;
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TBitModelWindowMaker maker;
  std::unique_ptr<TFMain> main;
};

TEST_F(BitModelWindowMakerTest, NewProjectGetsTheBreakdownModelAndItsLayers)
{
  main->MINewClick();
  auto* model = dynamic_cast<TFBitModel*>(main->Model());
  ASSERT_NE(model, nullptr);
  TGIS* gis = main->Gis();
  ASSERT_NE(gis, nullptr);
  // The parameter dialog was shown without its Cancel button, and shows it again afterwards.
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(calls.dialogs[0], FParam);
  EXPECT_FALSE(FParam->Bcancel->isHidden());
  const THeap* engine = model->GetEngine();
  EXPECT_DOUBLE_EQ(gis->GetX1() - gis->GetX0(), engine->N1 * engine->CellSize1);
  EXPECT_DOUBLE_EQ(gis->GetY1() - gis->GetY0(), engine->N3 * engine->CellSize3);
  EXPECT_EQ(gis->GetCoordKind(), CoordGeographic);
  EXPECT_EQ(gis->CountObjectsOfType(ObjectTypeMap), 0);
  EXPECT_EQ(gis->CountObjectsOfType(ObjectTypeModelRect), 0);
  ASSERT_GT(gis->CountObjectsOfType(ObjectTypeArray3D), 0);
  for (int n = 0; TGObj* volume = gis->GetObjectOfType(n, ObjectTypeArray3D); ++n)
    EXPECT_DOUBLE_EQ(volume->GetWorldDepth(), engine->N2 * engine->CellSize2);
  auto* potential = dynamic_cast<TGArray*>(gis->FindArrayByCode(20001));
  ASSERT_NE(potential, nullptr);
  EXPECT_EQ(potential->GetLevelScheme().kind, LevelSchemeStep);
  EXPECT_EQ(potential->GetLevelScheme().boldStep, 100000.0);
  EXPECT_EQ(potential->GetLevelScheme().thinStep, 20000.0);
  EXPECT_TRUE(potential->GetLevelScheme().automaticRange);
  EXPECT_EQ(potential->GetDrawSettings().steppedFill, 0);
  EXPECT_EQ(potential->GetDrawSettings().labelThin, 0);
  EXPECT_EQ(potential->GetDrawSettings().labelBold, 1);
  EXPECT_EQ(main->CalcState(), CalcNotStarted);
}

TEST_F(BitModelWindowMakerTest, ParameterDialogsEditOnlyBeforeOrAfterARun)
{
  main->MINewClick();
  calls.dialogs.clear();
  main->MIModelParamsStudClick();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(calls.dialogs[0], FParamStud);
  EXPECT_TRUE(FParamStud->IsEditable());
  main->SetCalcState(CalcPaused);
  main->MIModelParamsStudClick();
  EXPECT_FALSE(FParamStud->IsEditable());
  main->MIModelParamsClick();
  EXPECT_FALSE(FParam->IsEditable());
  main->SetCalcState(CalcStopped);
  main->MIModelParamsClick();
  EXPECT_TRUE(FParam->IsEditable());
  main->MICalcStatusClick();
  EXPECT_EQ(calls.dialogs.back(), FCalcStatus);
  // Closed again, the window no longer follows the model.
  EXPECT_EQ(FCalcStatus->GetModel(), nullptr);
}

} // namespace

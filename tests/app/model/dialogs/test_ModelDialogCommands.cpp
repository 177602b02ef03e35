#include "model/dialogs/ModelDialogCommands.h"

#include "ActingModalCalls.h"
#include "DialogTestSupport.h"
#include "HeapFixture.h"
#include "maps/Stringgrids.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

namespace {

class ModelDialogCommandsTest : public HeapTest {
protected:
  void SetUp() override
  {
    HeapTest::SetUp();
    CreateModelDialogs(&owner);
  }
  void TearDown() override
  {
    ForgetModelDialogs();
    HeapTest::TearDown();
  }

  TActingModalCalls calls;
  TModalCallsScope scope{calls};
  QWidget owner;
};

struct TParamCase {
  const char* name;
  int state;
  bool newProject;
  int answer;
  bool applied;
};

class ParamCommand : public ModelDialogCommandsTest, public ::testing::WithParamInterface<TParamCase> {};

TEST_P(ParamCommand, AppliesOnlyWhenConfirmedAndEditable)
{
  const TParamCase& c = GetParam();
  calls.dialogAnswers.push_back(c.answer);
  bool cancelShown = true;
  calls.whileShown = [&](QDialog*) {
    cancelShown = !FParam->Bcancel->isHidden();
    FParam->EgenU->setText("4321");
  };
  EXPECT_EQ(RunParamCommand(heap, c.state, c.newProject), c.applied) << c.name;
  EXPECT_EQ(heap->GenU == 4321, c.applied) << c.name;
  EXPECT_EQ(cancelShown, !c.newProject) << c.name;
  EXPECT_FALSE(FParam->Bcancel->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Cases, ParamCommand,
                         ::testing::Values(TParamCase{"set-up, OK", 0, false, QDialog::Accepted, true},
                                           TParamCase{"finished, OK", 3, false, QDialog::Accepted, true},
                                           TParamCase{"set-up, cancelled", 0, false, QDialog::Rejected, false},
                                           TParamCase{"running, OK", 1, false, QDialog::Accepted, false},
                                           TParamCase{"paused, OK", 2, false, QDialog::Accepted, false},
                                           TParamCase{"new project, closed", 0, true, QDialog::Rejected, true}));

TEST_F(ModelDialogCommandsTest, StudentCommandAppliesOnlyWhenEditable)
{
  calls.whileShown = [&](QDialog*) { FParamStud->EgenU->setText("150"); };
  calls.dialogAnswers = {QDialog::Accepted, QDialog::Accepted};
  EXPECT_FALSE(RunStudentParamCommand(heap, 1));
  EXPECT_NE(heap->GenU, 150000);
  EXPECT_TRUE(RunStudentParamCommand(heap, 3));
  EXPECT_EQ(heap->GenU, 150000);
}

TEST_F(ModelDialogCommandsTest, ElectrodesCommandReplacesTheListOnlyWhenEditable)
{
  std::vector<TElectrodeRecord> list;
  calls.whileShown = [&](QDialog*) {
    SetGridCell(*FElectrodes->SGdata, 0, 1, "0.002");
    SetGridCell(*FElectrodes->SGdata, 8, 1, "-3");
  };
  calls.dialogAnswers = {QDialog::Accepted, QDialog::Rejected, QDialog::Accepted};
  EXPECT_FALSE(RunElectrodesCommand(nullptr, heap, 2, list));
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(RunElectrodesCommand(nullptr, heap, 0, list));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(RunElectrodesCommand(nullptr, heap, 4, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].start[0], 0.002);
  EXPECT_EQ(list[0].code, -3);
}

TEST_F(ModelDialogCommandsTest, InhomogeneitiesCommandRebuildsTheMaterialsOnlyWhenEditable)
{
  std::vector<TInhomogeneityRecord> list;
  calls.whileShown = [&](QDialog*) {
    SetGridCell(*FInhomogeneities->SGdata, 0, 1, "0.002");
    SetGridCell(*FInhomogeneities->SGdata, 6, 1, "3");
  };
  calls.dialogAnswers = {QDialog::Accepted, QDialog::Accepted};
  const int materials = heap->MaterialCount;
  EXPECT_FALSE(RunInhomogeneitiesCommand(nullptr, heap, 1, list));
  EXPECT_EQ(heap->MaterialCount, materials);
  EXPECT_TRUE(RunInhomogeneitiesCommand(nullptr, heap, 0, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(heap->MaterialCount, 2);
  EXPECT_EQ(heap->Materials[1].Eps, 3);
}

TEST_F(ModelDialogCommandsTest, StatusCommandShowsTheModelAndForgetsItAfterwards)
{
  TStatusTestModel model;
  model.SetTimes(0, 1, 7);
  calls.whileShown = [&](QDialog*) {
    FCalcStatus->FormActivate();
    EXPECT_EQ(FCalcStatus->Ltimesteps->text(), "7");
  };
  RunCalcStatusCommand(&model);
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(FCalcStatus->GetModel(), nullptr);
}

}  // namespace

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

#include "data/TextConversion.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include <functional>
#include <vector>

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

// The dialogs live for the whole run, the engine record and the GIS only as
// long as their project: a command lets go of them when it ends, and a project
// that goes while its dialog is open takes the command's result with it.
struct TCommandCase {
  const char* name;
  std::function<bool(THeap*)> run;
  std::function<QDialog*()> dialog;
  std::function<const void*()> held;
};

const TCommandCase CommandCases[] = {
  {"parameters", [](THeap* h) { return RunParamCommand(h, 0, false); }, [] { return static_cast<QDialog*>(FParam); },
   [] { return static_cast<const void*>(FParam->GetHeap()); }},
  {"student parameters", [](THeap* h) { return RunStudentParamCommand(h, 0); },
   [] { return static_cast<QDialog*>(FParamStud); }, [] { return static_cast<const void*>(FParamStud->GetHeap()); }},
  {"electrodes",
   [](THeap* h) {
     std::vector<TElectrodeRecord> list{TElectrodeRecord{}};
     const bool changed = RunElectrodesCommand(nullptr, h, 0, list);
     EXPECT_EQ(list.size(), changed ? list.size() : 1u);
     return changed;
   },
   [] { return static_cast<QDialog*>(FElectrodes); }, [] { return static_cast<const void*>(FElectrodes->Heap()); }},
  {"inhomogeneities",
   [](THeap* h) {
     std::vector<TInhomogeneityRecord> list;
     return RunInhomogeneitiesCommand(nullptr, h, 0, list);
   },
   [] { return static_cast<QDialog*>(FInhomogeneities); },
   [] { return static_cast<const void*>(FInhomogeneities->Heap()); }},
};

TEST_F(ModelDialogCommandsTest, CommandsLetGoOfTheRecordWhenTheyEnd)
{
  for (const TCommandCase& c : CommandCases) {
    const void* heldWhileShown = nullptr;
    calls.whileShown = [&](QDialog*) { heldWhileShown = c.held(); };
    calls.dialogAnswers = {QDialog::Accepted};
    c.run(heap);
    EXPECT_EQ(heldWhileShown, heap) << c.name;
    EXPECT_EQ(c.held(), nullptr) << c.name;
  }
}

TEST_F(ModelDialogCommandsTest, AProjectThatGoesWhileItsDialogIsOpenChangesNothing)
{
  for (const TCommandCase& c : CommandCases) {
    calls.whileShown = [&](QDialog*) {
      FParam->EgenU->setText("4321");
      FParamStud->EgenU->setText("150");
      SetGridCell(*FElectrodes->SGdata, 8, 1, "-3");
      SetGridCell(*FInhomogeneities->SGdata, 0, 1, "0.002");
      ModelDialogsForgetProject();
    };
    calls.dialogAnswers = {QDialog::Accepted};
    const int materials = heap->MaterialCount;
    const double voltage = heap->GenU;
    EXPECT_FALSE(c.run(heap)) << c.name;
    EXPECT_EQ(heap->GenU, voltage) << c.name;
    EXPECT_EQ(heap->MaterialCount, materials) << c.name;
    EXPECT_EQ(c.held(), nullptr) << c.name;
  }
}

TEST_F(ModelDialogCommandsTest, TheElectrodeTableKeepsAListWithoutKeepingTheRecord)
{
  TElectrodeRecord record;
  record.start[1] = 0.25 * (heap->N2 - 1) * heap->CellSize2;
  record.code = -5;
  KeepElectrodesInTable(nullptr, heap, {record});
  ASSERT_EQ(FElectrodes->Items().size(), 1u);
  EXPECT_EQ(FElectrodes->Heap(), nullptr);
  // z is counted from the plane of the last level, as the record's lattice has it.
  const double l2 = (heap->N2 - 1) * heap->CellSize2;
  EXPECT_NEAR(StrToFloatAny(GridCell(*FElectrodes->SGdata, 2, 1).toStdString()), 0.75 * l2, 1e-9 * l2);
}

}  // namespace

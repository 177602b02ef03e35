// One student's session through the program's own commands: the whole
// program without its message loop, its menu items triggered, every dialog
// really shown and closed with Escape. Project A is opened, each model dialog
// and the object browser are opened and closed, a 3D view with a section
// window and a time plot are opened, a few steps run and the step files are
// walked back; B is opened with "Открыть", A again from the
// recent list, then "Новый проект", and the program closes. Under the address
// sanitizer nothing may touch a project that is gone, and after B opened the
// dialogs show B's data.
#include "support/ProjectTestSupport.h"

#include "gis/GArray.h"
#include "gis/GIS.h"
#include "model/FormBitModel.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "model/store/Inhomogeneities.h"
#include "maps/FormOBrowser.h"
#include "maps/Stringgrids.h"
#include "shell/ApplicationMain.h"
#include "shell/StepFiles.h"
#include "views3d/FormBit3DView.h"
#include "views3d/FormSectionView.h"
#include "views3d/FrameCubuiqe.h"
#include "base/WindowKind.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace projecttest;

namespace {

// Shows every dialog for real and closes it with Escape as soon as it is up;
// questions are answered "Нет" (nothing is saved by them), other boxes OK.
class TEscapingModalCalls : public TScriptedModalCalls {
public:
  int ExecDialog(QDialog* dialog) override
  {
    dialogs.push_back(dialog);
    QPointer<QDialog> shown(dialog);
    QTimer::singleShot(0, dialog, [this, shown] {
      if (!shown || !shown->isVisible())
        return;
      if (whileShown)
        whileShown(shown);
      QTest::keyClick(shown, Qt::Key_Escape);
    });
    return dialog->exec();
  }
  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon icon, const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons buttons) override
  {
    messages.push_back({icon, caption, text, buttons});
    return buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
  }

  // Looks at a dialog once it is up.
  std::function<void(QDialog*)> whileShown;
};

struct TProjectData {
  int side;
  int height;
  double genU;
  std::vector<int32_t> electrodeCodes;
  double inhomogeneityEps; // 0: none
};

TElectrodeRecord Electrode(int32_t code, double x)
{
  TElectrodeRecord record;
  record.start[0] = record.end[0] = x;
  record.end[1] = 1e-4;
  record.startDiameter = record.endDiameter = 1e-5;
  record.code = code;
  record.colour = 255;
  return record;
}

// Writes a project of the needle model with its own lattice, generator voltage,
// electrode list and inhomogeneities; it saves a step file at every step.
void WriteProject(const QString& path, const TProjectData& data)
{
  TProjectFileStore store;
  TNeedleModelMaker maker;
  TFMain main{QStringList()};
  main.SetProjectFiles(&store);
  main.SetModelWindowMaker(&maker);
  main.MINewClick();
  auto* model = dynamic_cast<TFBitModel*>(main.Model());
  ASSERT_NE(model, nullptr);
  THeap& heap = *model->GetEngine();
  if (data.side != 7 || data.height != 10) {
    SetUpNeedle(heap, data.side, data.height);
    model->UpdateLatticeSize();
    TBitModelWindowMaker::ApplyGeoReference(main);
    TBitModelWindowMaker::ApplyVolumeDepth(main);
  }
  heap.GenU = data.genU;
  for (size_t k = 0; k < data.electrodeCodes.size(); ++k)
    model->Electrodes().push_back(Electrode(data.electrodeCodes[k], (k + 1) * heap.CellSize1));
  if (data.inhomogeneityEps > 0) {
    const std::string cell = std::to_string(2 * heap.CellSize1);
    const TInhomogeneityRow row = {cell, cell, cell, cell, cell, cell, std::to_string(data.inhomogeneityEps),
                                   "0",  "0",  "0",  "255", "65536"};
    const TInhomogeneityTable table = InhomogeneitiesFromTable({row}, LatticeLengthsOf(heap));
    ASSERT_TRUE(RebuildMaterialTable(heap, table, CalcNotStarted));
    model->Inhomogeneities() = table.records;
  }
  model->SetSaveFlags(TFModel::SaveOnTime);
  model->SetSaveTimeInterval(0.0);
  ASSERT_TRUE(main.WriteProject(path));
}

class ProjectLifeCycleTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(dir.isValid());
    projectA = dir.filePath("a.vzt");
    projectB = dir.filePath("b.vzt");
    WriteProject(projectA, {7, 10, 1000.0, {-5}, 0.0});
    WriteProject(projectB, {9, 16, 2000.0, {-7, -9}, 3.0});
    projectA = QFileInfo(projectA).canonicalFilePath();
    projectB = QFileInfo(projectB).canonicalFilePath();
  }

  void Trigger(QAction* item)
  {
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isVisible() && item->isEnabled()) << item->objectName().toStdString();
    item->trigger();
    ProcessPostedEvents();
  }

  // Opens the dialog of a menu item (null: the first dialog it opens), lets
  // the check look at it while it is shown, and sees it closed again.
  void OpenAndClose(QAction* item, QDialog* dialog, const std::function<void(QDialog*)>& check = {})
  {
    QPointer<QDialog> shown;
    calls.whileShown = [&](QDialog* opened) {
      if (shown || (dialog && opened != dialog))
        return;
      shown = opened;
      if (check)
        check(opened);
    };
    Trigger(item);
    calls.whileShown = nullptr;
    ASSERT_TRUE(shown) << item->objectName().toStdString();
    EXPECT_FALSE(shown->isVisible()) << item->objectName().toStdString();
  }

  TFBitModel* Model() const { return dynamic_cast<TFBitModel*>(FMain->Model()); }

  void ExpectNoErrorBox() const
  {
    for (const auto& message : calls.messages)
      EXPECT_NE(message.icon, QMessageBox::Critical) << message.text.toStdString();
  }

  QTemporaryDir dir;
  QString projectA;
  QString projectB;
  TEscapingModalCalls calls;
  TModalCallsScope scope{calls};
};

TEST_F(ProjectLifeCycleTest, OpenRunStepBackOpenAnotherReopenNewAndClose)
{
  TProgram program{QStringList()};
  ASSERT_NE(FMain, nullptr);
  FMain->resize(1000, 760);
  FMain->show();
  ProcessPostedEvents();

  // A, opened with "Открыть".
  calls.fileAnswers = {projectA};
  Trigger(FMain->MIOpen);
  ASSERT_EQ(FMain->ProjectFileName(), projectA);
  ASSERT_NE(Model(), nullptr);

  // The model dialogs, the student set first.
  QString studentVoltageOfA;
  OpenAndClose(FMain->MIModelParamsStud, FParamStud,
               [&](QDialog*) { studentVoltageOfA = FParamStud->EgenU->text(); });
  Trigger(FMain->MIextended);
  OpenAndClose(FMain->MIModelParams, FParam, [&](QDialog*) { EXPECT_EQ(FParam->Emy->text(), "10"); });
  OpenAndClose(FMain->MIElectrodes, FElectrodes, [&](QDialog*) {
    EXPECT_EQ(FElectrodes->SGdata->rowCount(), 2);
    EXPECT_EQ(GridCell(*FElectrodes->SGdata, 8, 1), "-5");
  });
  OpenAndClose(FMain->MIinhomogeneities, FInhomogeneities,
               [&](QDialog*) { EXPECT_EQ(GridCell(*FInhomogeneities->SGdata, 0, 1), ""); });
  OpenAndClose(FMain->MICalcStatus, FCalcStatus);
  OpenAndClose(FMain->MIObjects, nullptr, [&](QDialog* browser) {
    ASSERT_NE(qobject_cast<TFOBrowser*>(browser), nullptr);
    EXPECT_EQ(qobject_cast<TFOBrowser*>(browser)->Gis(), FMain->Gis());
  });

  // A 3D view with a section of the potential, the section in a window of its
  // own, and a time plot stay open while the model runs and the steps load.
  Trigger(FMain->MINewCubuiqe);
  auto* volumeView = qobject_cast<TFBit3DView*>(FMain->Views().back());
  ASSERT_NE(volumeView, nullptr);
  emit volumeView->Viewer->PopupMenu()->aboutToShow();
  for (QAction* item : volumeView->PMIArrays->actions())
    if (item->data().toInt() == FMain->Gis()->FindArrayByCode(20001)->GetId())
      item->trigger();
  volumeView->Viewer->MenuItem(QStringLiteral("PMIadd"))->trigger();
  Trigger(volumeView->PMISectionView);
  Trigger(FMain->MINewPlot);
  ASSERT_EQ(FMain->Views().size(), 3);
  EXPECT_NE(qobject_cast<TFSectionView*>(FMain->Views()[1]), nullptr);

  // A few steps, each saved as a step file.
  Trigger(FMain->Bstart);
  ASSERT_TRUE(ServeUntil([&] { return FMain->StepCounter() >= 5; }));
  Trigger(FMain->Bpause);
  ASSERT_TRUE(ServeUntil([&] { return FMain->CalcState() == CalcPaused; }));
  OpenAndClose(FMain->MICalcStatus, FCalcStatus,
               [&](QDialog*) { EXPECT_NE(FCalcStatus->Ltimesteps->text(), "0"); });

  // Back through the step files: each loads a model of its own.
  const int32_t counter = FMain->StepCounter();
  for (int back = 1; back <= 3; ++back) {
    Trigger(FMain->Bloaddataprev);
    EXPECT_EQ(FMain->StepCounter(), counter - back);
  }
  OpenAndClose(FMain->MIElectrodes, FElectrodes,
               [&](QDialog*) { EXPECT_EQ(GridCell(*FElectrodes->SGdata, 8, 1), "-5"); });

  // B, opened with "Открыть": the views of A go with A.
  calls.fileAnswers = {projectB};
  Trigger(FMain->MIOpen);
  ASSERT_EQ(FMain->ProjectFileName(), projectB);
  EXPECT_TRUE(FMain->Views().isEmpty());

  // Every dialog shows B's data.
  OpenAndClose(FMain->MIModelParams, FParam, [&](QDialog*) {
    EXPECT_EQ(FParam->GetHeap(), Model()->GetEngine());
    EXPECT_EQ(FParam->Emy->text(), "16");
  });
  OpenAndClose(FMain->MIElectrodes, FElectrodes, [&](QDialog*) {
    EXPECT_EQ(FElectrodes->Heap(), Model()->GetEngine());
    EXPECT_EQ(FElectrodes->Gis(), FMain->Gis());
    EXPECT_EQ(FElectrodes->SGdata->rowCount(), 3);
    EXPECT_EQ(GridCell(*FElectrodes->SGdata, 8, 1), "-7");
    EXPECT_EQ(GridCell(*FElectrodes->SGdata, 8, 2), "-9");
  });
  OpenAndClose(FMain->MIinhomogeneities, FInhomogeneities, [&](QDialog*) {
    EXPECT_EQ(FInhomogeneities->Heap(), Model()->GetEngine());
    EXPECT_EQ(FInhomogeneities->SGdata->rowCount(), 2);
    EXPECT_EQ(GridCell(*FInhomogeneities->SGdata, 6, 1), "3");
  });
  OpenAndClose(FMain->MICalcStatus, FCalcStatus, [&](QDialog*) {
    EXPECT_EQ(FCalcStatus->GetModel(), FMain->Model());
    EXPECT_EQ(FCalcStatus->Ltimesteps->text(), "0");
  });
  OpenAndClose(FMain->MIObjects, nullptr, [&](QDialog* browser) {
    ASSERT_NE(qobject_cast<TFOBrowser*>(browser), nullptr);
    EXPECT_EQ(qobject_cast<TFOBrowser*>(browser)->Gis(), FMain->Gis());
  });
  Trigger(FMain->MIextended);
  OpenAndClose(FMain->MIModelParamsStud, FParamStud, [&](QDialog*) {
    EXPECT_EQ(FParamStud->GetHeap(), Model()->GetEngine());
    EXPECT_NE(FParamStud->EgenU->text(), studentVoltageOfA);
  });
  Trigger(FMain->MIextended);

  // A 3D view of B, opened and closed again.
  Trigger(FMain->MINewCubuiqe);
  ASSERT_EQ(FMain->Views().size(), 1);
  FMain->MdiArea()->setActiveSubWindow(FMain->MdiArea()->subWindowList().first());
  Trigger(FMain->MICloseWin);
  EXPECT_TRUE(FMain->Views().isEmpty());

  // A again, from the recent list.
  QAction* recentA = nullptr;
  for (QAction* item : FMain->PMopen->actions())
    if (item->data().toString() == projectA)
      recentA = item;
  ASSERT_NE(recentA, nullptr);
  recentA->trigger();
  ProcessPostedEvents();
  ASSERT_EQ(QFileInfo(FMain->ProjectFileName()).fileName(), "a.vzt");
  OpenAndClose(FMain->MIElectrodes, FElectrodes,
               [&](QDialog*) { EXPECT_EQ(GridCell(*FElectrodes->SGdata, 8, 1), "-5"); });

  // "Новый проект": the parameters of the new model are asked first.
  const size_t before = calls.dialogs.size();
  Trigger(FMain->MINew);
  ASSERT_GT(calls.dialogs.size(), before);
  EXPECT_EQ(calls.dialogs[before], FParam);
  EXPECT_EQ(FMain->ProjectFileName(), QString::fromUtf8(TFMain::NewProjectName));
  OpenAndClose(FMain->MIElectrodes, FElectrodes,
               [&](QDialog*) { EXPECT_EQ(FElectrodes->SGdata->rowCount(), 2); });

  FMain->close();
  ProcessPostedEvents();
  ExpectNoErrorBox();
}

} // namespace

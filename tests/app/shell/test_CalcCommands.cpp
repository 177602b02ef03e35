// Calculation commands with the real breakdown model on a small lattice: the
// states 0 to 5 and the buttons they enable, start, pause, resume, stop and
// abort, the potential-only run, the refresh throttle, and the step files a
// run writes and the user browses.
#include "support/ProjectTestSupport.h"

#include "shell/MainMessages.h"
#include "base/ScriptedModalCalls.h"

#include <QAction>
#include <QFileInfo>
#include <QProcess>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace projecttest;

namespace {

class CalcCommandsTest : public ProjectWindowTest {
protected:
  void TearDown() override
  {
    if (main && main->Model() && main->CalcState() == CalcRunning)
      main->BAbortClick();
    ProjectWindowTest::TearDown();
  }

  TFBitModel* Model() const { return dynamic_cast<TFBitModel*>(main->Model()); }
  bool WaitForState(int32_t state) { return ServeUntil([&] { return main->CalcState() == state; }); }
  // A new project named inside a plain file, which stops at breakdown and
  // autosaves every so many new elements.
  void NewProjectWhoseStepFilesCannotBeWritten(int stageCount)
  {
    const QString blocker = dir.filePath("not-a-folder");
    WriteBytes(blocker, {1});
    main->MINewClick();
    main->UpdateCaption(blocker + "/model.vzt");
    Model()->SetStopMode(TFModel::StopOnEvent);
    Model()->SetSaveFlags(TFModel::SaveOnGrowth);
    Model()->SetSaveStageCount(stageCount);
  }
};

// The run item and the calculation buttons in one state.
struct TButtons {
  int32_t state;
  bool start, pause, stop, abort, potential;
  const char* runCaption;
};

const TButtons ButtonTable[] = {
  {CalcNotStarted, true, false, false, false, true, "Запуск"},
  {CalcRunning, false, true, true, true, false, "Приостановка"},
  {CalcPaused, true, false, true, false, false, "Продолжить"},
  {CalcStopped, true, false, false, false, true, "Запуск"},
};

void ExpectButtons(const TFMain& main, int32_t state)
{
  SCOPED_TRACE(state);
  ASSERT_EQ(main.CalcState(), state);
  if (state == CalcCreating || state == CalcNoProject) {
    for (QAction* button : {main.Bstart, main.Bpause, main.Bstop, main.Babort})
      EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    return;
  }
  const TButtons& b = ButtonTable[state];
  EXPECT_EQ(main.Bstart->isEnabled(), b.start);
  EXPECT_EQ(main.Bpause->isEnabled(), b.pause);
  EXPECT_EQ(main.Bstop->isEnabled(), b.stop);
  EXPECT_EQ(main.MIstop->isEnabled(), b.stop);
  EXPECT_EQ(main.Babort->isEnabled(), b.abort);
  EXPECT_EQ(main.MIabort->isEnabled(), b.abort);
  EXPECT_EQ(main.MIcalcpotential->isEnabled(), b.potential);
  EXPECT_EQ(main.MIrun->text(), QString::fromUtf8(b.runCaption));
}

TEST_F(CalcCommandsTest, StatesFollowTheRunOfTheRealModel)
{
  ExpectButtons(*main, CalcNoProject);
  main->MINewClick();
  ExpectButtons(*main, CalcNotStarted);
  main->SetCalcState(CalcCreating);
  main->UpdateMenuItems();
  ExpectButtons(*main, CalcCreating);
  main->SetCalcState(CalcNotStarted);
  main->UpdateMenuItems();

  Model()->SetStopMode(TFModel::StopNever);
  main->BStartClick();
  ExpectButtons(*main, CalcRunning);
  ASSERT_TRUE(ServeUntil([&] { return Model()->GetStepCount() >= 5; }));

  // Pause: the buttons wait for the model's answer; resuming keeps the step counter.
  main->SetStepCounter(3);
  main->BPauseClick();
  EXPECT_FALSE(main->Bstart->isEnabled());
  EXPECT_FALSE(main->Bpause->isEnabled());
  EXPECT_FALSE(main->Bstop->isEnabled());
  ASSERT_TRUE(WaitForState(CalcPaused));
  ExpectButtons(*main, CalcPaused);
  const int steps = Model()->GetStepCount();
  main->MIrun->trigger(); // "Продолжить"
  ExpectButtons(*main, CalcRunning);
  EXPECT_EQ(main->StepCounter(), 3);
  ASSERT_TRUE(ServeUntil([&] { return Model()->GetStepCount() > steps + 2; }));

  // Stop, then a fresh start: the counter starts again at 0, so does the run.
  main->BStopClick();
  ASSERT_TRUE(WaitForState(CalcStopped));
  ExpectButtons(*main, CalcStopped);
  const int stoppedAt = Model()->GetStepCount();
  main->SetStepCounter(5);
  main->BStartClick();
  EXPECT_EQ(main->StepCounter(), 0);
  EXPECT_LT(Model()->GetStepCount(), stoppedAt);
  ASSERT_TRUE(ServeUntil([&] { return Model()->GetStepCount() > 0; }));

  // Abort: stopped at once, with a fresh worker.
  const auto worker = Model()->WorkerId();
  main->BAbortClick();
  ExpectButtons(*main, CalcStopped);
  EXPECT_NE(Model()->WorkerId(), worker);
  EXPECT_NE(Model()->GetState(), TFModel::StateRunning);
  ProcessPostedEvents();
  EXPECT_EQ(main->CalcState(), CalcStopped);
}

TEST_F(CalcCommandsTest, PotentialOnlyRunGivesItsSettingsBackHoweverItEnds)
{
  main->MINewClick();
  Model()->SetStopMode(TFModel::StopOnEvent);
  Model()->SetStopTime(1e-3);
  main->SetCloseWhenStopped(1);
  auto expectRestored = [&] {
    EXPECT_FALSE(main->PotentialOnly());
    EXPECT_EQ(Model()->GetStopMode(), TFModel::StopOnEvent);
    EXPECT_EQ(Model()->GetStopTime(), 1e-3);
    EXPECT_EQ(main->CloseWhenStopped(), 1);
  };

  // To its end: paused at its first stop test, then stopped; the close flag
  // does not close the program after it.
  main->MIcalcpotentialClick();
  EXPECT_TRUE(main->PotentialOnly());
  EXPECT_EQ(Model()->GetStopMode(), TFModel::StopAtTime);
  EXPECT_EQ(Model()->GetStopTime(), 0.0);
  EXPECT_EQ(main->CloseWhenStopped(), 0);
  ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcStopped && !main->PotentialOnly(); }));
  ProcessPostedEvents();
  expectRestored();
  EXPECT_TRUE(main->isVisible());

  // Aborted.
  main->MIcalcpotentialClick();
  ASSERT_EQ(main->CalcState(), CalcRunning);
  main->BAbortClick();
  expectRestored();

  // Failed on the worker.
  ProcessPostedEvents();
  ASSERT_EQ(main->CalcState(), CalcStopped);
  main->MIcalcpotentialClick();
  main->OnCalcError(main->Model(), "");
  expectRestored();
  main->BAbortClick();

  // Only from states 0 and 3.
  Model()->SetStopMode(TFModel::StopNever);
  main->BStartClick();
  main->MIcalcpotentialClick();
  EXPECT_FALSE(main->PotentialOnly());
  main->BAbortClick();
}

TEST_F(CalcCommandsTest, RefreshesAreThrottledWhileTheModelRuns)
{
  uint32_t now = 50000;
  main->SetTickSource([&] { return now; });
  main->MINewClick();
  TFakeView* view = AddFakeView(*main, 9, "время", 9);
  int before = view->refreshes;
  main->RefreshIfDue();
  main->RefreshIfDue();
  EXPECT_EQ(view->refreshes, before + 2) << "outside a run every request redraws";

  Model()->SetStopMode(TFModel::StopNever);
  main->BStartClick();
  before = view->refreshes;
  now += 300;
  main->RefreshIfDue();
  EXPECT_EQ(view->refreshes, before);
  now += 250;
  main->PostMessage(WM_REFRESH_VIEWS);
  main->PostMessage(WM_REFRESH_VIEWS);
  ProcessPostedEvents();
  EXPECT_EQ(view->refreshes, before + 1) << "two requests within 500 ms redraw once";

  main->BPauseClick();
  ASSERT_TRUE(WaitForState(CalcPaused));
  before = view->refreshes;
  main->RefreshIfDue();
  main->RefreshIfDue();
  EXPECT_EQ(view->refreshes, before + 2) << "paused: both redraw";

  // A refresh queued before the project went finds nothing to draw.
  main->PostMessage(WM_REFRESH_VIEWS);
  main->CloseProject();
  ProcessPostedEvents();
  EXPECT_EQ(main->Model(), nullptr);
}

TEST_F(CalcCommandsTest, RunWritesNumberedStepFilesInAFolderWithDots)
{
  ASSERT_TRUE(QDir(dir.path()).mkpath("runs.v2"));
  const QString project = dir.filePath("runs.v2/model.vzt");
  main->MINewClick();
  // A name chosen without an extension gets one, and the step files follow it.
  calls.fileAnswers = {dir.filePath("runs.v2/model")};
  ASSERT_TRUE(main->MISaveAsClick());
  EXPECT_EQ(main->ProjectFileName(), project);
  EXPECT_TRUE(QFileInfo::exists(project));
  Model()->SetStopMode(TFModel::StopOnEvent);
  Model()->SetSaveFlags(TFModel::SaveOnGrowth);
  Model()->SetSaveStageCount(3);
  main->BStartClick();
  ASSERT_TRUE(WaitForState(CalcPaused));
  const int written = main->StepCounter();
  ASSERT_GT(written, 0);
  for (int k = 0; k < written; ++k)
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QString("runs.v2/model_%1.vzt").arg(k, 4, 10, QChar('0'))))) << k;
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QString("runs.v2/model_%1.vzt").arg(written, 4, 10, QChar('0')))));
  // Nothing lands beside the folder (no "runs_0003.v2", no "runs.hex").
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"runs.v2"}));
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_EQ(main->ProjectFileName(), project);
}

TEST_F(CalcCommandsTest, StepFilesAreBrowsedByNumber)
{
  ASSERT_TRUE(QDir(dir.path()).mkpath("runs.v2"));
  const QString project = dir.filePath("runs.v2/model.vzt");
  auto step = [&](int n) { return dir.filePath(QString("runs.v2/model_%1.vzt").arg(n, 4, 10, QChar('0'))); };
  main->MINewClick();
  main->UpdateCaption(project);
  for (int k = 0; k < 25; ++k)
    ASSERT_TRUE(main->SaveStep());
  ASSERT_TRUE(QFileInfo::exists(step(24)));

  struct TMove {
    QAction* action;
    int expected; // the step file loaded; -1: nothing loaded, the counter stays
  };
  main->LoadResultFile(step(12));
  EXPECT_EQ(main->StepCounter(), 13);
  EXPECT_EQ(main->ProjectFileName(), project);
  int at = 12;
  for (const TMove& move : {TMove{main->Bloaddatanext, 13}, TMove{main->Bloaddataprev10, 3},
                            TMove{main->Bloaddatanext10, 13}, TMove{main->Bloaddataprev, 12},
                            TMove{main->MILoadDataNext, 13}, TMove{main->MILoadDataPrev, 12}}) {
    SCOPED_TRACE(move.action->objectName().toStdString());
    ASSERT_TRUE(move.action->isEnabled());
    move.action->trigger();
    at = move.expected;
    EXPECT_EQ(main->StepCounter(), at + 1);
    EXPECT_EQ(main->ProjectFileName(), project);
    EXPECT_EQ(main->LastOpenedPath(), step(at));
  }
  // Beyond the last and before the first nothing happens.
  main->LoadResultFile(step(24));
  main->Bloaddatanext->trigger();
  EXPECT_EQ(main->StepCounter(), 25);
  main->Bloaddatanext10->trigger();
  EXPECT_EQ(main->StepCounter(), 25);
  main->LoadResultFile(step(0));
  main->Bloaddataprev->trigger();
  main->Bloaddataprev10->trigger();
  EXPECT_EQ(main->StepCounter(), 1);
  EXPECT_TRUE(calls.messages.empty());

  // Past 9999 the numbers just grow.
  main->SetStepCounter(12344);
  ASSERT_TRUE(main->SaveStep());
  ASSERT_TRUE(main->SaveStep());
  const QString big = dir.filePath("runs.v2/model_12345.vzt");
  ASSERT_TRUE(QFileInfo::exists(big));
  main->LoadResultFile(big);
  EXPECT_EQ(main->StepCounter(), 12346);
  main->Bloaddataprev->trigger();
  EXPECT_EQ(main->StepCounter(), 12345);
  EXPECT_EQ(main->LastOpenedPath(), dir.filePath("runs.v2/model_12344.vzt"));

  // A step file opened as a project takes the project's name.
  main->OpenProject(step(3));
  EXPECT_EQ(main->StepCounter(), 4);
  EXPECT_EQ(main->ProjectFileName(), project);
}

// Step files that cannot be written are reported once a run, and the run goes on.
TEST_F(CalcCommandsTest, StepFilesThatCannotBeWrittenAreReportedOnceARun)
{
  NewProjectWhoseStepFilesCannotBeWritten(1);
  for (int run = 1; run <= 2; ++run) {
    main->BStartClick();
    ASSERT_TRUE(WaitForState(CalcPaused));
    ProcessPostedEvents();
    EXPECT_GT(Model()->GetStageCount(), 2) << "several autosave points";
    EXPECT_EQ(calls.messages.size(), size_t(run)) << "one box in run " << run;
    main->BStopClick();
    ASSERT_TRUE(WaitForState(CalcStopped));
  }
  // The command of the menu always tries.
  main->SetCalcState(CalcStopped);
  main->UpdateMenuItems();
  main->MIAutoSave->trigger();
  EXPECT_EQ(calls.messages.size(), 3u);
}

// A close after the run that cannot write its last step file keeps the program
// open with the project marked modified, after saying why.
TEST_F(CalcCommandsTest, CloseAfterTheRunStaysOpenWhenTheLastStepFileCannotBeWritten)
{
  NewProjectWhoseStepFilesCannotBeWritten(100000);
  main->SetCloseWhenStopped(1);
  main->BStartClick();
  ASSERT_TRUE(WaitForState(CalcPaused));
  ProcessPostedEvents();
  EXPECT_TRUE(main->isVisible());
  EXPECT_TRUE(main->Modified());
  EXPECT_EQ(main->StepCounter(), 0);
  ASSERT_GE(calls.messages.size(), 2u) << "the autosave at the start and the one on closing";
  EXPECT_EQ(calls.messages.back().text.section('\n', 0, 0), QString::fromUtf8("Ошибка записи в файл."));
}

// The program itself: "-r" opens the project, runs it to its stop condition
// and, with the close option and autosave on, writes its last step file and exits.
TEST_F(CalcCommandsTest, CommandLineRunEndsTheProgramWithItsStepFile)
{
  const QString project = dir.filePath("batch.vzt");
  main->MINewClick();
  Model()->SetStopMode(TFModel::StopOnEvent);
  Model()->SetSaveFlags(TFModel::SaveOnGrowth);
  Model()->SetSaveStageCount(100000);
  main->SetCloseWhenStopped(1);
  main->UpdateCaption(project);
  ASSERT_TRUE(main->MISaveClick(TSaveSender::Button));
  // The batch run is another program: this one lets the project go, as a
  // project open here would keep the other from opening it.
  main->CloseProject();

  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
  program.setProcessEnvironment(environment);
  program.start(KESTOVAR_PROGRAM_PATH, {"-r", project});
  ASSERT_TRUE(program.waitForStarted(10000));
  const bool finished = program.waitForFinished(120000);
  if (!finished)
    program.kill();
  ASSERT_TRUE(finished) << program.readAllStandardError().toStdString();
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

  // Step 0 is the start of the run (an autosave point); step 1 its end, written on closing.
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("batch_0000.vzt")));
  const QString last = dir.filePath("batch_0001.vzt");
  ASSERT_TRUE(QFileInfo::exists(last));
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("batch_0002.vzt")));
  main->OpenProject(last);
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_EQ(main->CalcState(), CalcPaused);
  EXPECT_EQ(main->StepCounter(), 2);
  EXPECT_GT(main->Model()->GetStepCount(), 10);
  EXPECT_EQ(main->ProjectFileName(), project);
}

} // namespace

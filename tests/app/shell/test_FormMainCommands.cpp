// The main window's save question, dropped files, its own messages and step names.
#include "support/ShellTestSupport.h"

#include "shell/MainMessages.h"
#include "base/ScriptedModalCalls.h"

#include "data/qt/RegistrySettings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FormMainCommandsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(dir.isValid());
    file = MakeFile("a.vzt");
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&files);
    main->SetModelWindowMaker(&maker);
    main->resize(900, 600);
    main->show();
    ProcessPostedEvents();
  }

  QString MakeFile(const QString& name)
  {
    QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    return path;
  }

  QPoint OnNavigator() const { return main->TBnavigator->mapToGlobal(QPoint(5, 5)); }
  QPoint OnMdiArea() const { return main->centralWidget()->mapToGlobal(QPoint(50, 50)); }

  QTemporaryDir dir;
  QString file;
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TRecordingProjectFiles files;
  TTestModelMaker maker;
  std::unique_ptr<TFMain> main;
};

TEST_F(FormMainCommandsTest, NewProjectCountsItsGisChangesAsModified)
{
  main->MINewClick();
  // Removing the blank map changed the new GIS.
  EXPECT_TRUE(main->Gis()->IsModified());
  EXPECT_FALSE(main->Modified());
}

TEST_F(FormMainCommandsTest, UnmodifiedProjectIsNotQuestioned)
{
  main->MINewClick();
  main->Gis()->SetModified(false);
  EXPECT_TRUE(main->ConfirmSaveChanges());
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(FormMainCommandsTest, SaveQuestionNamesTheProject)
{
  main->MINewClick();
  main->SetModified(true);
  calls.messageAnswers = {QMessageBox::No};
  EXPECT_TRUE(main->ConfirmSaveChanges());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, QString::fromUtf8("Сохранить изменения в проекте \"Новый\"."));
  EXPECT_EQ(calls.messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_TRUE(files.written.isEmpty());
}

TEST_F(FormMainCommandsTest, CancelKeepsTheProject)
{
  main->MINewClick();
  main->SetModified(true);
  calls.messageAnswers = {QMessageBox::Cancel};
  EXPECT_FALSE(main->ConfirmSaveChanges());
}

TEST_F(FormMainCommandsTest, ModifiedModelOrGisAlsoAsks)
{
  main->MINewClick();
  main->Model()->SetModified(true);
  calls.messageAnswers = {QMessageBox::Cancel};
  EXPECT_FALSE(main->ConfirmSaveChanges());
  main->Model()->SetModified(false);
  main->Gis()->SetModified(true);
  calls.messageAnswers = {QMessageBox::Cancel};
  EXPECT_FALSE(main->ConfirmSaveChanges());
  EXPECT_EQ(calls.messages.size(), 2u);
}

TEST_F(FormMainCommandsTest, YesOnNewProjectWithCancelledSaveAsKeepsTheProject)
{
  main->MINewClick();
  main->SetModified(true);
  calls.messageAnswers = {QMessageBox::Yes};
  // The save dialog is cancelled: nothing was saved, so nothing may be closed.
  EXPECT_FALSE(main->ConfirmSaveChanges());
  EXPECT_EQ(calls.fileFolders.size(), 1u);
  EXPECT_TRUE(files.written.isEmpty());
  EXPECT_TRUE(main->Modified());
  // A new project asked through the file menu stays as it was.
  calls.messageAnswers = {QMessageBox::Yes};
  TFModel* model = main->Model();
  main->MINewClick();
  EXPECT_EQ(main->Model(), model);
}

TEST_F(FormMainCommandsTest, YesWithFailedWriteKeepsTheProject)
{
  main->MINewClick();
  main->UpdateCaption(file);
  main->SetModified(true);
  files.writeSucceeds = false;
  calls.messageAnswers = {QMessageBox::Yes};
  EXPECT_FALSE(main->ConfirmSaveChanges());
  EXPECT_EQ(files.written, QStringList({file}));
  EXPECT_TRUE(main->Modified());
}

TEST_F(FormMainCommandsTest, YesSavesUnderTheChosenNameWithoutTouchingTheRecentList)
{
  main->MINewClick();
  main->SetModified(true);
  QString chosen = dir.filePath("b.vzt");
  calls.messageAnswers = {QMessageBox::Yes};
  calls.fileAnswers = {chosen};
  EXPECT_TRUE(main->ConfirmSaveChanges());
  EXPECT_EQ(files.written, QStringList({chosen}));
  EXPECT_EQ(main->ProjectFileName(), chosen);
  EXPECT_FALSE(main->Modified());
  // Save As from the menu adds to the recent list; the question does not.
  EXPECT_TRUE(main->RecentProjects().contains(chosen));
}

TEST_F(FormMainCommandsTest, FailedSaveAsKeepsTheOldName)
{
  main->MINewClick();
  main->UpdateCaption(file);
  main->SetModified(true);
  files.writeSucceeds = false;
  calls.fileAnswers = {dir.filePath("locked.vzt")};
  main->MISaveAs->trigger();
  EXPECT_EQ(files.written, QStringList({dir.filePath("locked.vzt")}));
  EXPECT_EQ(main->ProjectFileName(), file);
  EXPECT_EQ(main->windowTitle(), "Kestovar - " + file);
  EXPECT_TRUE(main->Modified());
  EXPECT_FALSE(main->RecentProjects().contains(dir.filePath("locked.vzt")));
}

TEST_F(FormMainCommandsTest, SaveButtonLeavesTheRecentListAlone)
{
  main->MINewClick();
  main->UpdateCaption(file);
  QStringList before = main->RecentProjects();
  main->Bsave->trigger();
  EXPECT_EQ(files.written, QStringList({file}));
  EXPECT_EQ(main->RecentProjects(), before);
  main->MISave->trigger();
  EXPECT_EQ(main->RecentProjects().value(0), file);
}

struct TDropCase {
  const char* name;
  int files;        // number of dropped paths
  bool folder;      // the one path is a folder
  bool project;     // a project is open
  int32_t state;    // calculation state when a project is open
  bool onNavigator;
  int loads;        // opened as project
  int results;      // loaded as result data
};

class DropTest : public FormMainCommandsTest, public ::testing::WithParamInterface<TDropCase> {};

TEST_P(DropTest, RoutesDroppedFiles)
{
  const TDropCase& c = GetParam();
  if (c.project) {
    main->MINewClick();
    main->Gis()->SetModified(false);
    main->SetCalcState(c.state);
  }
  files.loaded.clear();
  QStringList paths;
  for (int i = 0; i < c.files; ++i)
    paths.append(c.folder ? dir.path() : MakeFile(QString("d%1.vzt").arg(i)));
  main->OnDropFiles(paths, c.onNavigator ? OnNavigator() : OnMdiArea());
  EXPECT_EQ(files.loaded.size(), c.loads);
  EXPECT_EQ(files.results.size(), c.results);
}

INSTANTIATE_TEST_SUITE_P(
  Cases, DropTest,
  ::testing::Values(TDropCase{"twoFilesIgnored", 2, false, true, CalcNotStarted, false, 0, 0},
                    TDropCase{"folderIgnored", 1, true, true, CalcNotStarted, false, 0, 0},
                    TDropCase{"oneOnWindowOpens", 1, false, true, CalcNotStarted, false, 1, 0},
                    TDropCase{"oneOnNavigatorLoadsResults", 1, false, true, CalcStopped, true, 0, 1},
                    TDropCase{"onNavigatorWithoutProjectOpens", 1, false, false, CalcNoProject, true, 1, 0},
                    TDropCase{"ignoredWhileRunning", 1, false, true, CalcRunning, true, 0, 0},
                    TDropCase{"ignoredWhileCreating", 1, false, true, CalcCreating, false, 0, 0},
                    TDropCase{"pausedOnWindowOpens", 1, false, true, CalcPaused, false, 1, 0}),
  [](const ::testing::TestParamInfo<TDropCase>& info) { return std::string(info.param.name); });

TEST_F(FormMainCommandsTest, OwnMessagesRunInTheOrderPosted)
{
  main->SetTickSource([] { return 0u; });
  main->MINewClick();
  main->SetToolMode(3);
  EXPECT_FALSE(main->Binsert->isChecked()); // applied only when the message is handled
  main->PostMessage(WM_REFRESH_VIEWS);
  main->SetToolMode(1);
  ProcessPostedEvents();
  EXPECT_TRUE(main->Binspect->isChecked());
  EXPECT_FALSE(main->Binsert->isChecked());
  EXPECT_EQ(main->ToolMode(), 1);
}

TEST_F(FormMainCommandsTest, RefreshIsThrottledOnlyWhileRunning)
{
  uint32_t now = 10000;
  main->SetTickSource([&] { return now; });
  main->MINewClick();
  main->SetStatusText(1, "x");
  main->RefreshIfDue();
  EXPECT_EQ(main->StatusText(1), QString::fromUtf8("расчет не запущен"));
  main->BStartClick();
  ASSERT_EQ(main->Model()->GetState(), TFModel::StateRunning);
  main->SetStatusText(1, "x");
  now += 400;
  main->RefreshIfDue();
  EXPECT_EQ(main->StatusText(1), "x");
  now += 200;
  main->RefreshIfDue();
  EXPECT_NE(main->StatusText(1), "x");
  main->BAbortClick();
}

TEST_F(FormMainCommandsTest, StepFileNames)
{
  main->UpdateCaption("work.1/model.vzt");
  EXPECT_EQ(main->StepFileName(12), "work.1/model_0012.vzt");
  EXPECT_EQ(main->StepFileName(12345), "work.1/model_12345.vzt");
  QString name = "data_7.vzt";
  main->ParseStepNumber(name);
  EXPECT_EQ(name, "data_7.vzt"); // only with a step counter
  main->SetStepCounter(13);
  main->ParseStepNumber(name);
  EXPECT_EQ(name, "data.vzt");
  name = "my_data.vzt";
  main->ParseStepNumber(name);
  EXPECT_EQ(name, "my_data.vzt");
}

TEST_F(FormMainCommandsTest, StepFilesOfANeverSavedProjectGoToTheLastProjectFolder)
{
  main->MINewClick();
  WriteLastProjectFolder(file);
  ASSERT_TRUE(main->SaveStep());
  const QString expected = QDir(dir.path()).filePath(QString::fromUtf8("Новый_0000.vzt"));
  EXPECT_EQ(QDir::cleanPath(files.written.value(0)), QDir::cleanPath(expected));
  // Browsing the steps finds the same files.
  EXPECT_EQ(main->StepFileName(0), files.written.value(0));
  EXPECT_EQ(main->ProjectFileName(), QString::fromUtf8("Новый"));
}

TEST_F(FormMainCommandsTest, StatusPanelsShowTheirWholeText)
{
  main->MINewClick();
  main->UpdateStatus();
  for (int panel = 1; panel <= 3; ++panel) {
    main->SetStatusText(panel, QString::fromUtf8("итерация 123456 из 999999, шаг 1.23456e-09"));
    const QLabel* label = main->findChild<QLabel*>(QString("StatusPanel%1").arg(panel));
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text())) << panel;
  }
}

TEST_F(FormMainCommandsTest, CaptionShowsTheLastStepNumber)
{
  main->SetStepCounter(6);
  main->UpdateCaption("model.vzt");
  EXPECT_EQ(main->windowTitle(), "Kestovar - model.vzt (5)");
  EXPECT_EQ(main->ProjectFileName(), "model.vzt");
}

TEST_F(FormMainCommandsTest, OpenedProjectJoinsTheRecentListOnce)
{
  main->OpenProject(file);
  main->OpenProject(file);
  EXPECT_EQ(files.loaded, QStringList({file, file}));
  EXPECT_EQ(main->RecentProjects().count(file), 1);
  EXPECT_EQ(main->RecentProjects().value(0), file);
  EXPECT_EQ(main->LastOpenedPath(), file);
  EXPECT_EQ(main->RefreshCountdown(), 1);
  EXPECT_EQ(main->windowTitle(), "Kestovar - " + file);
  ASSERT_FALSE(main->PMopen->actions().isEmpty());
  EXPECT_EQ(main->PMopen->actions().first()->text(), file);
}

TEST_F(FormMainCommandsTest, WithoutProjectFileLayerOpeningAndSavingSaySo)
{
  main->SetProjectFiles(nullptr);
  main->OpenProject(file);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_EQ(main->CalcState(), CalcNoProject);
  EXPECT_FALSE(main->RecentProjects().contains(file));
  main->MINewClick();
  main->UpdateCaption(file);
  main->SetModified(true);
  EXPECT_FALSE(main->MISaveClick(TSaveSender::MenuSave));
  EXPECT_TRUE(main->Modified());
  EXPECT_EQ(calls.messages.size(), 2u);
}

TEST_F(FormMainCommandsTest, WorkerErrorStopsTheRunWithItsText)
{
  main->MINewClick();
  main->BStartClick();
  main->OnCalcError(main->Model(), "");
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, QString::fromUtf8("Неустранимая ошибка. Расчет прерван."));
  EXPECT_EQ(main->CalcState(), CalcStopped);
  main->BAbortClick();
}

} // namespace

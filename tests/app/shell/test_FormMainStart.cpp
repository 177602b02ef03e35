// The main window at start: caption, menu sets, status panels, the command
// line and the project of a new or opened file.
#include "support/ShellTestSupport.h"

#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "shell/FormFlash.h"
#include "base/ScriptedModalCalls.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString MainCaption = QString::fromUtf8("Лабораторная: диэлектрический пробой");

class FormMainStartTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(dir.isValid());
    project = dir.filePath("x.vzt");
    QFile file(project);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("data");
  }

  std::unique_ptr<TFMain> MakeMain(const QStringList& arguments)
  {
    auto main = std::make_unique<TFMain>(arguments);
    main->SetProjectFiles(&files);
    main->SetModelWindowMaker(&maker);
    return main;
  }

  QTemporaryDir dir;
  QString project;
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TRecordingProjectFiles files;
  TTestModelMaker maker;
};

TEST_F(FormMainStartTest, StartsWithoutProjectInStudentMode)
{
  auto main = MakeMain({});
  EXPECT_EQ(main->CalcState(), CalcNoProject);
  EXPECT_FALSE(main->Extended());
  EXPECT_TRUE(main->MIModelParamsStud->isVisible());
  for (QAction* item : {main->MIModelParams, main->MIElectrodes, main->MIObjects, main->MIInfo, main->MIBMPExport})
    EXPECT_FALSE(item->isVisible()) << item->objectName().toStdString();
  EXPECT_FALSE(main->MISaveClones->isVisible());
  EXPECT_FALSE(main->MIextended->isChecked());
  EXPECT_EQ(main->StorageMode(), StoragePacked);
  EXPECT_EQ(main->DialogFilter(), QString::fromUtf8("Проекты (*.vzt);;Все файлы (*)"));
  // Without a project only the file menu's new and open items and the open button work.
  EXPECT_TRUE(main->MINew->isEnabled());
  EXPECT_TRUE(main->MIOpen->isEnabled());
  EXPECT_TRUE(main->Bopen->isEnabled());
  for (QAction* item : {main->MISave, main->MISaveAs, main->MIAutoSave, main->Bsave, main->Bcopy, main->Bstart,
                        main->Mmodel->menuAction(), main->MCalc->menuAction(), main->MWindows->menuAction(),
                        main->MOptions->menuAction(), main->Bloaddatanext})
    EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
}

TEST_F(FormMainStartTest, ExtendedModelSwapsTheMenuSets)
{
  auto main = MakeMain({});
  main->MIextended->trigger();
  EXPECT_TRUE(main->Extended());
  EXPECT_TRUE(main->MIextended->isChecked());
  EXPECT_FALSE(main->MIModelParamsStud->isVisible());
  for (QAction* item : {main->MIModelParams, main->MIElectrodes, main->MIObjects, main->MIInfo, main->MIBMPExport})
    EXPECT_TRUE(item->isVisible()) << item->objectName().toStdString();
  EXPECT_FALSE(main->MISaveClones->isVisible());
  EXPECT_FALSE(main->MIgis->isVisible());
  main->MIextended->trigger();
  EXPECT_FALSE(main->Extended());
  EXPECT_TRUE(main->MIModelParamsStud->isVisible());
  EXPECT_FALSE(main->MIModelParams->isVisible());
}

TEST_F(FormMainStartTest, MenusAndToolBarsCarryTheirCaptions)
{
  auto main = MakeMain({});
  QStringList menus;
  for (QAction* a : main->menuBar()->actions())
    menus.append(a->text());
  EXPECT_EQ(menus, QStringList({QString::fromUtf8("&Файл"), QString::fromUtf8("Модель"),
                                QString::fromUtf8("Расчет"), QString::fromUtf8("Инструменты"),
                                QString::fromUtf8("&Окна"), "&?"}));
  EXPECT_EQ(main->MISaveAs->text(), QString::fromUtf8("Сохранить  &как ..."));
  EXPECT_EQ(main->MIextended->text(), QString::fromUtf8("Расширенная модель"));
  EXPECT_EQ(main->Bstart->statusTip(), QString::fromUtf8("Запуск расчета"));
  EXPECT_TRUE(main->TBmain->isVisibleTo(main.get()));
  EXPECT_TRUE(main->TBmodel->isVisibleTo(main.get()));
  EXPECT_TRUE(main->TBnavigator->isVisibleTo(main.get()));
  EXPECT_FALSE(main->TBgis->isVisibleTo(main.get()));
  EXPECT_FALSE(main->TBstatus->isVisibleTo(main.get()));
}

TEST_F(FormMainStartTest, FourStatusPanelsKeepTheirWidthsAndHintsGoToTheFirst)
{
  auto main = MakeMain({});
  main->resize(1000, 700);
  main->show();
  ProcessPostedEvents();
  EXPECT_EQ(main->StatusPanelWidth(0), 1000 - 350);
  EXPECT_EQ(main->StatusPanelWidth(1), 120);
  EXPECT_EQ(main->StatusPanelWidth(2), 130);
  EXPECT_EQ(main->StatusPanelWidth(3), 100);
  EXPECT_EQ(main->StatusText(3), "00:00");
  main->SetStatusText(1, "one");
  QStatusTipEvent tip(QString::fromUtf8("Открыть проект"));
  QCoreApplication::sendEvent(main.get(), &tip);
  EXPECT_EQ(main->StatusText(0), QString::fromUtf8("Открыть проект"));
  EXPECT_EQ(main->StatusText(1), "one");
  main->resize(800, 600);
  ProcessPostedEvents();
  EXPECT_EQ(main->StatusPanelWidth(0), 800 - 350);
}

TEST_F(FormMainStartTest, CaptionIsTheLaboratoryAfterTheFirstStatusUpdate)
{
  auto main = MakeMain({});
  EXPECT_EQ(main->windowTitle(), "Kestovar");
  main->UpdateStatus();
  EXPECT_EQ(main->windowTitle(), MainCaption);
  EXPECT_EQ(main->StatusText(1), QString::fromUtf8("расчет не запущен"));
  EXPECT_TRUE(WaitFor([&] { return main->StatusText(3) != "00:00"; }, 2500));
}

TEST_F(FormMainStartTest, NewProjectHasItsGisAndModelWindow)
{
  auto main = MakeMain({});
  main->MINewClick();
  ASSERT_NE(main->Gis(), nullptr);
  ASSERT_NE(main->Model(), nullptr);
  EXPECT_EQ(main->Gis()->GetModel(), main->Model());
  EXPECT_EQ(main->Model()->GetGIS(), main->Gis());
  EXPECT_EQ(main->Model()->GetHost(), main.get());
  EXPECT_EQ(main->CalcState(), CalcNotStarted);
  EXPECT_EQ(main->ProjectFileName(), QString::fromUtf8("Новый"));
  EXPECT_EQ(main->windowTitle(), QString::fromUtf8("Kestovar - Новый"));
  EXPECT_FALSE(main->Modified());
  EXPECT_EQ(maker.created, 1);
  EXPECT_EQ(maker.setUps, 1);
  EXPECT_EQ(maker.finishes, 1);
  // The blank map gives way to the model's own layers.
  EXPECT_EQ(main->Gis()->CountObjectsOfType(ObjectTypeMap), 0);
  EXPECT_TRUE(main->Bstart->isEnabled());
  EXPECT_TRUE(main->MIcalcpotential->isEnabled());
  EXPECT_FALSE(main->MIAutoSave->isEnabled());
}

TEST_F(FormMainStartTest, NewProjectWithoutModelMakerHasNoModelWindowAndCannotStart)
{
  auto main = std::make_unique<TFMain>(QStringList());
  main->MINewClick();
  ASSERT_NE(main->Gis(), nullptr);
  EXPECT_EQ(main->Model(), nullptr);
  main->BStartClick();
  EXPECT_EQ(main->CalcState(), CalcNotStarted);
}

TEST_F(FormMainStartTest, NewProjectAfterStepFileShowsNoStepNumber)
{
  auto main = MakeMain({});
  main->MINewClick();
  main->SetStepCounter(6);
  main->UpdateCaption("model.vzt");
  EXPECT_EQ(main->windowTitle(), "Kestovar - model.vzt (5)");
  calls.messageAnswers = {QMessageBox::No};
  main->MINewClick();
  EXPECT_EQ(main->windowTitle(), QString::fromUtf8("Kestovar - Новый"));
}

struct TCommandCase {
  const char* name;
  bool run;
  bool exists;
  bool opened;
  bool started;
  bool closed;
};

class CommandLineTest : public FormMainStartTest, public ::testing::WithParamInterface<TCommandCase> {};

TEST_P(CommandLineTest, CarriesOutTheCommandLineAtFirstShow)
{
  const TCommandCase& c = GetParam();
  QString path = c.exists ? project : dir.filePath("missing.vzt");
  QStringList arguments = c.run ? QStringList{"-r", path} : QStringList{path};
  auto main = MakeMain(arguments);
  TFFlash flash(main.get());
  flash.FormCreate(main->StartProjectFound(), main->StartRun());
  // The splash is bypassed for a named project or a run, and shows the main window.
  EXPECT_EQ(flash.isVisible(), !(c.exists || c.run));
  if (flash.isVisible()) {
    flash.Finish();
  }
  // The first show does the first activation's work.
  ASSERT_TRUE(WaitFor([&] { return main->HasRecentList(); }));
  if (c.closed) {
    EXPECT_TRUE(WaitFor([&] { return !main->isVisible(); }));
  }
  ProcessPostedEvents();
  EXPECT_EQ(files.loaded.size(), c.opened ? 1 : 0);
  if (c.opened) {
    EXPECT_EQ(files.loaded.first(), project);
  }
  auto* model = dynamic_cast<TTestModel*>(main->Model());
  EXPECT_EQ(model && model->starts == 1, c.started);
  EXPECT_EQ(main->isVisible(), !c.closed);
  main->BAbortClick();
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTest,
                         ::testing::Values(TCommandCase{"open", false, true, true, false, false},
                                           TCommandCase{"openAndRun", true, true, true, true, false},
                                           TCommandCase{"missingIgnored", false, false, false, false, false},
                                           TCommandCase{"missingWithRunCloses", true, false, false, false, true}),
                         [](const ::testing::TestParamInfo<TCommandCase>& info) { return std::string(info.param.name); });

TEST_F(FormMainStartTest, RunFromTheCommandLineGoesThroughTheModel)
{
  auto main = MakeMain({"-r", project});
  main->show();
  ASSERT_TRUE(WaitFor([&] { return main->Model() && main->CalcState() != CalcNotStarted; }));
  EXPECT_EQ(main->CalcState(), CalcRunning);
  EXPECT_EQ(main->Model()->GetState(), TFModel::StateRunning);
  EXPECT_FALSE(main->Bstart->isEnabled());
  EXPECT_TRUE(main->Bpause->isEnabled());
  EXPECT_EQ(main->ToolMode(), 9);
  main->BAbortClick();
  EXPECT_EQ(main->CalcState(), CalcStopped);
}

TEST_F(FormMainStartTest, ClosingDuringARunAndAnsweringNoKeepsTheCalculation)
{
  auto main = MakeMain({"-r", project});
  main->show();
  ASSERT_TRUE(WaitFor([&] { return main->CalcState() == CalcRunning; }));
  calls.messageAnswers = {QMessageBox::No};
  EXPECT_FALSE(main->close());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Сообщение"));
  EXPECT_EQ(calls.messages[0].text,
            QString::fromUtf8("Программа находится в процессе рассчета.\nПрервать расчет и закрыть программу ?"));
  EXPECT_EQ(main->CalcState(), CalcRunning);
  EXPECT_EQ(main->Model()->GetState(), TFModel::StateRunning);
  EXPECT_TRUE(main->isVisible());
  main->BAbortClick();
}

TEST_F(FormMainStartTest, ClosingDuringARunAndAnsweringYesClosesWithoutSaving)
{
  auto main = MakeMain({"-r", project});
  main->show();
  ASSERT_TRUE(WaitFor([&] { return main->CalcState() == CalcRunning; }));
  main->SetModified(true);
  calls.messageAnswers = {QMessageBox::Yes};
  EXPECT_TRUE(main->close());
  EXPECT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(files.written.isEmpty());
  // The suspended run ends with the project.
  main->CloseProject();
  EXPECT_EQ(main->Model(), nullptr);
}

struct TAutoCloseCase {
  const char* name;
  int saveFlags;
  bool modelModified;
  bool stepWritten;
};

class AutoCloseTest : public FormMainStartTest, public ::testing::WithParamInterface<TAutoCloseCase> {};

TEST_P(AutoCloseTest, RunEndedByItsStopConditionClosesTheProgram)
{
  const TAutoCloseCase& c = GetParam();
  auto main = MakeMain({});
  main->show();
  main->MINewClick();
  main->UpdateCaption(dir.filePath("model.vzt"));
  main->SetModified(true);
  main->SetStepCounter(3);
  main->SetCloseWhenStopped(1);
  auto* model = static_cast<TTestModel*>(main->Model());
  model->SetSaveFlags(c.saveFlags);
  model->SetModified(c.modelModified);
  model->MarkStopConditionReached();
  main->SetCalcState(CalcRunning);
  main->OnCalcPaused(model);
  ASSERT_TRUE(WaitFor([&] { return !main->isVisible(); }));
  // No question, whatever changed.
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_EQ(files.written, c.stepWritten ? QStringList({dir.filePath("model_0003.vzt")}) : QStringList());
}

INSTANTIATE_TEST_SUITE_P(Cases, AutoCloseTest,
                         ::testing::Values(TAutoCloseCase{"noAutosave", 0, true, false},
                                           TAutoCloseCase{"autosaveUnchangedModel", TFModel::SaveOnTime, false, false},
                                           TAutoCloseCase{"autosaveChangedModel", TFModel::SaveOnGrowth, true, true}),
                         [](const ::testing::TestParamInfo<TAutoCloseCase>& info) { return std::string(info.param.name); });

TEST_F(FormMainStartTest, WithoutCloseSettingTheStopConditionOnlyPauses)
{
  auto main = MakeMain({});
  main->show();
  main->MINewClick();
  auto* model = static_cast<TTestModel*>(main->Model());
  model->MarkStopConditionReached();
  main->SetCalcState(CalcRunning);
  main->OnCalcPaused(model);
  ProcessPostedEvents();
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(main->CalcState(), CalcPaused);
  EXPECT_TRUE(main->MIAutoSave->isEnabled());
  EXPECT_TRUE(main->Bstart->isEnabled());
  EXPECT_FALSE(main->Bpause->isEnabled());
}

TEST_F(FormMainStartTest, PotentialOnlyRunEndsStoppedWithTheSettingsItHad)
{
  auto main = MakeMain({});
  main->MINewClick();
  main->Model()->SetStopMode(TFModel::StopNever);
  main->Model()->SetStopTime(7.5);
  main->SetCloseWhenStopped(1);
  main->MIcalcpotentialClick();
  ASSERT_TRUE(WaitFor([&] { return main->CalcState() == CalcStopped; }));
  EXPECT_EQ(main->Model()->GetStopMode(), TFModel::StopNever);
  EXPECT_EQ(main->Model()->GetStopTime(), 7.5);
  EXPECT_EQ(main->CloseWhenStopped(), 1);
  ProcessPostedEvents();
  EXPECT_TRUE(calls.messages.empty());
}

} // namespace

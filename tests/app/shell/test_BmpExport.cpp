// The BMP export: picture names, the step files it finds, and the command that
// loads every step file and has the view windows save their pictures.
#include "support/MenuPath.h"
#include "support/ProjectTestSupport.h"

#include "base/FormSimpleView.h"
#include "shell/BmpExport.h"
#include "shell/FormBMPExportProgress.h"

#include <korvane.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace projecttest;

struct TNameCase {
  int32_t id;
  int32_t index;
  const char* name;
};

class BmpExportNameTest : public ::testing::TestWithParam<TNameCase> {};

TEST_P(BmpExportNameTest, IdAndIndexPadded)
{
  EXPECT_EQ(BmpExportFileName("out", GetParam().id, GetParam().index), QString("out/") + GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpExportNameTest,
                         ::testing::Values(TNameCase{7, 12, "f007_0012.bmp"}, TNameCase{1234, 12345, "f1234_12345.bmp"},
                                           TNameCase{1, -1, "f001_00-1.bmp"}, TNameCase{0, 0, "f000_0000.bmp"}));

void Touch(const QString& path)
{
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(StepFilesOfAProject, NamedLikeStepsAndSortedByNumber)
{
  QTemporaryDir dir;
  for (const char* name : {"run.vzt", "run_0002.vzt", "run_0001.vzt", "run_10000.vzt", "run_9999.vzt", "run_0003.txt",
                           "run_x1.vzt", "Run_0004.vzt", "run_0007", "other_0001.vzt"})
    Touch(dir.filePath(name));
  ASSERT_TRUE(QDir(dir.path()).mkdir("run_0005.vzt"));
  const QString folder = dir.path() + "/";
  EXPECT_EQ(FindStepFiles(dir.filePath("run.vzt")), (QStringList{folder + "run_0001.vzt", folder + "run_0002.vzt",
                                                                 folder + "run_9999.vzt", folder + "run_10000.vzt"}));
  EXPECT_EQ(FindStepFiles(dir.filePath("run")), QStringList{folder + "run_0007"});
  EXPECT_TRUE(FindStepFiles(QString()).isEmpty());
}

// Picked files go in the order the calculation wrote them: each project's
// steps by number, then the project file, projects apart.
TEST(StepFilesPickedByHand, TakeTheOrderOfTheCalculation)
{
  const QStringList picked = {"d/b_0002.vzt", "d/a.vzt", "d/a_0010.vzt", "d/b.vzt", "d/a_0009.vzt", "d/a_10000.vzt",
                              "d.v1/a_0001.vzt"};
  EXPECT_EQ(InStepOrder(picked), (QStringList{"d.v1/a_0001.vzt", "d/a_0009.vzt", "d/a_0010.vzt", "d/a_10000.vzt",
                                              "d/a.vzt", "d/b_0002.vzt", "d/b.vzt"}));
}

// A view window that notes the names it is asked to save its picture under.
class TPictureView : public TFSimpleView {
public:
  TPictureView(TFMain* main, QStringList& log) : TFSimpleView(main, nullptr), log(log) {}
  void CopyToClipboard() override {}
  void SaveBitmap(const QString& fileName) override
  {
    log << QFileInfo(fileName).fileName();
    folders << QFileInfo(fileName).absolutePath();
    if (onSave)
      onSave();
  }
  QStringList& log;
  QStringList folders;
  std::function<void()> onSave;
};

class BmpExportTest : public ProjectWindowTest {
protected:
  void SetUp() override
  {
    ProjectWindowTest::SetUp();
    main->MINewClick();
    main->UpdateCaption(dir.filePath("run.vzt"));
    // The export is a command of the extended menu set.
    main->MIextended->trigger();
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    out = dir.filePath("out");
  }

  void AddSteps(int count)
  {
    for (int k = 0; k < count; ++k)
      ASSERT_TRUE(main->SaveStep());
  }

  TPictureView* AddPictureView()
  {
    auto* view = new TPictureView(main.get(), log);
    main->AddView(view);
    return view;
  }

  QString Name(const TPictureView* view, int index) const
  {
    return QFileInfo(BmpExportFileName(out, view->WindowId(), index)).fileName();
  }

  void Export(const std::optional<QString>& startIndex)
  {
    calls.fileAnswers.push_back(out);
    calls.inputAnswers.push_back(startIndex);
    ASSERT_TRUE(menupath::TriggerThroughMenus(*main, main->MIBMPProjectExport));
  }

  QString out;
  QStringList log;
};

TEST_F(BmpExportTest, EveryStepFileGivesOneSetOfPicturesFromTheLastWindowDown)
{
  AddSteps(3);
  TPictureView* low = AddPictureView();
  TPictureView* high = AddPictureView();
  TFBMPExportProgress* progress = main->BmpExportProgress();
  bool blocking = true;
  high->onSave = [&] { blocking = blocking && progress->isVisible() && QApplication::activeModalWidget() == progress; };
  Export(QString("0"));
  EXPECT_EQ(log, (QStringList{Name(high, 0), Name(low, 0), Name(high, 1), Name(low, 1), Name(high, 2), Name(low, 2)}));
  EXPECT_EQ(high->folders.front(), QFileInfo(out).absoluteFilePath());
  EXPECT_EQ(main->ImageIndex(), 3);
  EXPECT_TRUE(blocking);
  EXPECT_FALSE(progress->isVisible());
  // The project holds the data of the last step exported, under its own name.
  EXPECT_EQ(main->ProjectFileName(), dir.filePath("run.vzt"));
}

TEST_F(BmpExportTest, CancelEndsTheExportAfterTheCurrentFile)
{
  AddSteps(4);
  TPictureView* view = AddPictureView();
  view->onSave = [&] {
    if (log.size() == 2)
      main->BmpExportProgress()->Bcancel->click();
  };
  Export(QString("10"));
  EXPECT_EQ(log, (QStringList{Name(view, 10), Name(view, 11)}));
  EXPECT_EQ(main->ImageIndex(), 12);
}

TEST_F(BmpExportTest, StartIndexFolderAndCancelledQuestions)
{
  AddSteps(1);
  AddPictureView();
  main->SetImageIndex(5);
  // A cancelled index question keeps the index.
  Export(std::nullopt);
  EXPECT_EQ(main->ImageIndex(), 6);
  // Text that is no number starts at 0.
  Export(QString("abc"));
  EXPECT_EQ(main->ImageIndex(), 1);
  // The folder browser opens where the last export went; cancelling it ends the command.
  const size_t before = log.size();
  ASSERT_TRUE(menupath::TriggerThroughMenus(*main, main->MIBMPProjectExport));
  EXPECT_EQ(calls.fileFolders.back(), out);
  EXPECT_EQ(log.size(), before);
  ASSERT_TRUE(menupath::TriggerThroughMenus(*main, main->MIBMPProjectExport));
  EXPECT_EQ(calls.fileFolders.back(), QString());
}

TEST_F(BmpExportTest, WithoutStepFilesNothingIsWrittenAndTheIndexStays)
{
  AddPictureView();
  Export(QString("4"));
  EXPECT_TRUE(log.isEmpty());
  EXPECT_EQ(main->ImageIndex(), 4);
}

// Every step is loaded without one question, also when the project has
// changes; afterwards the project holds its own data and changes again.
TEST_F(BmpExportTest, NoQuestionBetweenTheStepsAndTheProjectAsItWas)
{
  AddSteps(3);
  AddPictureView();
  THeap* heap = static_cast<TFBitModel*>(main->Model())->GetEngine();
  const double savedGenC = heap->GenC;
  for (bool changed : {false, true}) {
    log.clear();
    calls.messages.clear();
    heap = static_cast<TFBitModel*>(main->Model())->GetEngine();
    heap->GenC = changed ? savedGenC * 3 : savedGenC;
    main->SetModified(changed);
    main->Gis()->SetModified(false);
    main->Model()->SetModified(changed);
    const QString lastOpened = main->LastOpenedPath();
    Export(QString("0"));
    EXPECT_EQ(log.size(), 3) << changed;
    EXPECT_TRUE(calls.messages.empty()) << calls.messages.front().text.toStdString();
    EXPECT_EQ(main->Modified(), changed);
    EXPECT_EQ(main->Model()->IsModified(), changed);
    EXPECT_FALSE(main->Gis()->IsModified());
    EXPECT_EQ(static_cast<TFBitModel*>(main->Model())->GetEngine()->GenC, changed ? savedGenC * 3 : savedGenC);
    EXPECT_EQ(main->ProjectFileName(), dir.filePath("run.vzt"));
    EXPECT_EQ(main->LastOpenedPath(), lastOpened);
  }
}

// A step file read as result data is what the file holds: the next load asks nothing.
TEST_F(BmpExportTest, LoadingAStepMarksNothing)
{
  // Steps of a paused run carry the lattice, which the load hands to the layers.
  main->Model()->SetStopMode(TFModel::StopOnEvent);
  main->BStartClick();
  ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused; }));
  AddSteps(2);
  main->SetModified(false);
  main->LoadResultFile(main->StepFileName(0));
  EXPECT_FALSE(main->Modified());
  EXPECT_FALSE(main->Gis()->IsModified());
  EXPECT_FALSE(main->Model()->IsModified());
  main->LoadResultFile(main->StepFileName(1));
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_EQ(main->LastOpenedPath(), main->StepFileName(1));
}

// A step file that cannot be read says so above the progress window, which
// keeps above the main window only, and the export goes on.
TEST_F(BmpExportTest, AFailedStepSaysSoInFrontAndTheExportGoesOn)
{
  AddSteps(2);
  TPictureView* view = AddPictureView();
  {
    QFile damaged(main->StepFileName(0));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not a project");
  }
  TFBMPExportProgress* progress = main->BmpExportProgress();
  Export(QString("0"));
  EXPECT_EQ(log, (QStringList{Name(view, 0), Name(view, 1)}));
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_FALSE(progress->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(progress->parentWidget(), main.get());
}

TEST_F(BmpExportTest, NeitherCommandDuringARun)
{
  for (QAction* item : {main->MIBMPProjectExport, main->MIBMPSelectExport}) {
    main->SetCalcState(CalcNotStarted);
    main->UpdateMenuItems();
    EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    main->SetCalcState(CalcRunning);
    main->UpdateMenuItems();
    EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
  }
  main->SetCalcState(CalcNotStarted);
  main->UpdateMenuItems();
}

// The student picks steps of the project (and the project file) in the
// project's folder; they are exported in step order, with no question between
// them, and the project stays as it was, changes and all.
TEST_F(BmpExportTest, ChosenFilesAreExportedInStepOrder)
{
  AddSteps(4);
  ASSERT_TRUE(main->WriteProject(dir.filePath("run.vzt")));
  TPictureView* view = AddPictureView();
  QStringList loaded;
  view->onSave = [&] { loaded << QFileInfo(main->LastOpenedPath()).fileName(); };
  THeap* heap = static_cast<TFBitModel*>(main->Model())->GetEngine();
  const double changedGenC = heap->GenC * 3;
  heap->GenC = changedGenC;
  main->SetModified(true);
  main->Model()->SetModified(true);
  const QString lastOpened = main->LastOpenedPath();
  calls.messages.clear();

  calls.fileListAnswers.push_back(
      {main->StepFileName(3), dir.filePath("run.vzt"), main->StepFileName(1)});
  calls.fileAnswers.push_back(out);
  calls.inputAnswers.push_back(QString("7"));
  ASSERT_TRUE(menupath::TriggerThroughMenus(*main, main->MIBMPSelectExport));

  EXPECT_EQ(calls.fileFolders.front(), QFileInfo(dir.filePath("run.vzt")).absolutePath());
  EXPECT_EQ(calls.fileListFilters.front(), main->DialogFilter());
  EXPECT_TRUE(main->DialogFilter().startsWith(QString::fromUtf8("Проекты (*.") + TFMain::ProjectExtension + ")"));
  EXPECT_EQ(loaded, (QStringList{"run_0001.vzt", "run_0003.vzt", "run.vzt"}));
  EXPECT_EQ(log, (QStringList{Name(view, 7), Name(view, 8), Name(view, 9)}));
  EXPECT_EQ(view->folders.front(), QFileInfo(out).absoluteFilePath());
  EXPECT_EQ(main->ImageIndex(), 10);
  EXPECT_TRUE(calls.messages.empty()) << calls.messages.front().text.toStdString();
  EXPECT_EQ(calls.inputs.size(), 1u);
  EXPECT_TRUE(main->Modified());
  EXPECT_TRUE(main->Model()->IsModified());
  EXPECT_EQ(static_cast<TFBitModel*>(main->Model())->GetEngine()->GenC, changedGenC);
  EXPECT_EQ(main->ProjectFileName(), dir.filePath("run.vzt"));
  EXPECT_EQ(main->LastOpenedPath(), lastOpened);
}

// Cancelling the file dialog ends the command before any other question.
TEST_F(BmpExportTest, ACancelledFileChoiceExportsNothing)
{
  AddSteps(2);
  AddPictureView();
  main->SetImageIndex(3);
  ASSERT_TRUE(menupath::TriggerThroughMenus(*main, main->MIBMPSelectExport));
  EXPECT_EQ(calls.fileFolders.size(), 1u);
  EXPECT_TRUE(calls.inputs.empty());
  EXPECT_TRUE(log.isEmpty());
  EXPECT_EQ(main->ImageIndex(), 3);
  EXPECT_FALSE(main->BmpExportProgress()->isVisible());
}

} // namespace

// The file menu's recent list and clone command, and the save question before
// result data replace the model's.
#include "support/ShellTestSupport.h"

#include "model/breakdown/ProjectBase.h"
#include "model/store/LatticeSideFile.h"
#include "shell/CloneFiles.h"
#include "shell/FormCloneProject.h"
#include "base/ScriptedModalCalls.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

namespace {

QByteArray ReadAll(const QString& path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& bytes)
{
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QString SideFileOf(const QString& project)
{
  return QString::fromStdString(LatticeSideFileName(ProjectFileBase(project.toStdString())));
}

// Writes a small file for every project write (and its side file when asked),
// so that the clone command has something to copy.
class TWritingProjectFiles : public TRecordingProjectFiles {
public:
  bool WriteProject(TFMain& main, const QString& path) override
  {
    TRecordingProjectFiles::WriteProject(main, path);
    WriteText(path, "project " + path.toUtf8());
    if (withSideFile)
      WriteText(SideFileOf(path), "lattice " + path.toUtf8());
    if (withFifoSideFile)
      mkfifo(SideFileOf(path).toLocal8Bit().constData(), 0600);
    return writeSucceeds;
  }
  bool withSideFile = false;
  bool withFifoSideFile = false;
};

class ProjectCommandsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(dir.isValid());
    FCloneProject = new TFCloneProject();
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&files);
    main->SetModelWindowMaker(&maker);
    ProcessPostedEvents();
  }
  void TearDown() override
  {
    main.reset();
    delete FCloneProject;
    FCloneProject = nullptr;
  }

  QString Path(const QString& name) const { return dir.filePath(name); }
  QString MakeProjectFile(const QString& name) const
  {
    WriteText(Path(name), "x");
    return Path(name);
  }
  // A saved, unmodified project named own.vzt.
  void OpenOwnProject()
  {
    main->MINewClick();
    main->UpdateCaption(Path("own.vzt"));
    main->Gis()->SetModified(false);
    main->SetModified(false);
  }
  void AnswerCloneDialog(int first, int last, int digits, bool script, bool shortNames, const QString& chosen)
  {
    FCloneProject->En1->setValue(first);
    FCloneProject->En2->setValue(last);
    FCloneProject->Enn->setValue(digits);
    FCloneProject->Erb->setChecked(script);
    FCloneProject->Eff->setChecked(shortNames);
    calls.dialogAnswers = {QDialog::Accepted};
    calls.fileAnswers = {chosen};
  }

  QTemporaryDir dir;
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TWritingProjectFiles files;
  TTestModelMaker maker;
  std::unique_ptr<TFMain> main;
};

TEST_F(ProjectCommandsTest, RecentListKeepsTenDistinctPathsNewestFirst)
{
  QStringList opened;
  for (int i = 0; i < 11; ++i) {
    opened.prepend(MakeProjectFile(QString("p%1.vzt").arg(i)));
    main->OpenProject(opened.first());
  }
  main->OpenProject(opened[4]);
  QStringList expected = opened.mid(0, 10);
  expected.move(4, 0);
  EXPECT_EQ(main->RecentProjects(), expected);
  // The drop-down menu shows the same list in the same order.
  QStringList inMenu;
  for (QAction* item : main->PMopen->actions())
    inMenu.append(item->data().toString());
  EXPECT_EQ(inMenu, expected);
}

TEST_F(ProjectCommandsTest, RecentItemOpensItsPathWhateverTheCaption)
{
  QDir(dir.path()).mkpath("R&D");
  const QString path = MakeProjectFile("R&D/a&b.vzt");
  main->OpenProject(path);
  files.loaded.clear();
  QAction* item = main->PMopen->actions().value(0);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), QString(path).replace("&", "&&"));
  item->trigger();
  EXPECT_EQ(files.loaded, QStringList({path}));
}

TEST_F(ProjectCommandsTest, RecentEntriesAreAbsoluteAndAMissingOneIsReported)
{
  const QString path = MakeProjectFile("rel.vzt");
  const QString before = QDir::currentPath();
  QDir::setCurrent(dir.path());
  main->OpenProject("rel.vzt");
  QDir::setCurrent(before);
  const QString canonical = QFileInfo(path).canonicalFilePath();
  EXPECT_EQ(main->RecentProjects(), QStringList({canonical}));
  EXPECT_EQ(main->ProjectFileName(), canonical);

  ASSERT_TRUE(QFile::remove(path));
  files.loaded.clear();
  main->PMopen->actions().value(0)->trigger();
  EXPECT_TRUE(files.loaded.isEmpty());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.contains(canonical));
}

TEST_F(ProjectCommandsTest, ClonesAreSavedCopiedAndNamedInTheScript)
{
  OpenOwnProject();
  files.withSideFile = true;
  AnswerCloneDialog(1, 3, 3, true, true, Path("set.vzt"));
  main->MISaveClones->trigger();

  // One full save, under the first clone's name; the others are its copies,
  // side file included.
  EXPECT_EQ(files.written, QStringList({Path("set001.vzt")}));
  for (const char* clone : {"set002.vzt", "set003.vzt"}) {
    EXPECT_EQ(ReadAll(Path(clone)), ReadAll(Path("set001.vzt"))) << clone;
    EXPECT_EQ(ReadAll(SideFileOf(Path(clone))), ReadAll(SideFileOf(Path("set001.vzt")))) << clone;
  }
  const QString program = ShellQuote(QCoreApplication::applicationFilePath());
  EXPECT_EQ(QString::fromUtf8(ReadAll(Path("run.sh"))),
            "#!/bin/sh\n" + program + " -r 'set001.vzt'\n" + program + " -r 'set002.vzt'\n" + program +
              " -r 'set003.vzt'\n");
  EXPECT_TRUE(QFile::permissions(Path("run.sh")) & QFile::ExeOwner);
  // The project keeps its own name and, not having been written, its state.
  EXPECT_EQ(main->ProjectFileName(), Path("own.vzt"));
  EXPECT_FALSE(main->Modified());
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(ProjectCommandsTest, ClonesWithFullPathsAndWithoutScript)
{
  OpenOwnProject();
  AnswerCloneDialog(9, 10, 1, false, false, Path("run.v1/set"));
  QDir(dir.path()).mkpath("run.v1");
  main->MISaveClones->trigger();
  EXPECT_EQ(files.written, QStringList({Path("run.v1/set9")}));
  EXPECT_TRUE(QFile::exists(Path("run.v1/set10")));
  EXPECT_FALSE(QFile::exists(Path("run.v1/run.sh")));

  AnswerCloneDialog(9, 9, 1, true, false, Path("run.v1/set"));
  main->MISaveClones->trigger();
  EXPECT_EQ(QString::fromUtf8(ReadAll(Path("run.v1/run.sh"))).section('\n', 1, 1),
            ShellQuote(QCoreApplication::applicationFilePath()) + " -r " + ShellQuote(Path("run.v1/set9")));
}

TEST_F(ProjectCommandsTest, ReversedRangeWritesNoProjectAndAnEmptyScript)
{
  OpenOwnProject();
  AnswerCloneDialog(5, 4, 3, true, true, Path("set.vzt"));
  main->MISaveClones->trigger();
  EXPECT_TRUE(files.written.isEmpty());
  EXPECT_EQ(ReadAll(Path("run.sh")), "#!/bin/sh\n");
}

TEST_F(ProjectCommandsTest, CancelledCloneDialogsChangeNothing)
{
  OpenOwnProject();
  main->MISaveClones->trigger(); // the clone dialog cancelled
  AnswerCloneDialog(1, 2, 3, true, true, QString()); // the save dialog cancelled
  main->MISaveClones->trigger();
  EXPECT_TRUE(files.written.isEmpty());
  EXPECT_FALSE(QFile::exists(Path("run.sh")));
  EXPECT_EQ(main->ProjectFileName(), Path("own.vzt"));
}

TEST_F(ProjectCommandsTest, CopyErrorIsReportedAndTheProjectStaysModified)
{
  OpenOwnProject();
  main->SetModified(true);
  // A folder where the second clone should go.
  QDir(dir.path()).mkpath("set002.vzt");
  AnswerCloneDialog(1, 3, 3, true, true, Path("set.vzt"));
  main->MISaveClones->trigger();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_TRUE(calls.messages[0].text.contains(Path("set002.vzt")));
  EXPECT_FALSE(QFile::exists(Path("set003.vzt")));
  EXPECT_FALSE(QFile::exists(Path("run.sh")));
  EXPECT_EQ(main->ProjectFileName(), Path("own.vzt"));
  EXPECT_TRUE(main->Modified());
}

// A FIFO where the side file should be would hold the copy in open() for good.
TEST_F(ProjectCommandsTest, ASideFileThatIsNoRegularFileIsRefusedAtOnce)
{
  OpenOwnProject();
  files.withFifoSideFile = true;
  AnswerCloneDialog(1, 2, 3, true, true, Path("set.vzt"));
  main->MISaveClones->trigger();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.contains(Path("set002.vzt"))) << calls.messages[0].text.toStdString();
  EXPECT_FALSE(QFile::exists(SideFileOf(Path("set002.vzt"))));
}

TEST_F(ProjectCommandsTest, ScriptPassesAwkwardNamesToTheProgramUnchanged)
{
  // A stand-in program that prints its arguments one per line.
  QDir(dir.path()).mkpath("my 'bin' $HOME");
  const QString program = Path("my 'bin' $HOME/args `x`.sh");
  WriteText(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done\n");
  QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
  const QStringList names = {"a b.vzt", "it's.vzt", "$(touch pwned).vzt", "`id`\"q\".vzt", "x;y&z.vzt"};
  const QString script = Path("run.sh");
  WriteText(script, CloneScript(program, names).toUtf8());

  QProcess shell;
  shell.setWorkingDirectory(dir.path());
  shell.start("/bin/sh", {script});
  ASSERT_TRUE(shell.waitForFinished(10000));
  QStringList expected;
  for (const QString& name : names)
    expected << "-r" << name;
  EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), expected);
  EXPECT_FALSE(QFile::exists(Path("pwned")));
}

TEST_F(ProjectCommandsTest, ResultDataAskTheSaveQuestionFirst)
{
  OpenOwnProject();
  const QString step = MakeProjectFile("own_0002.vzt");
  main->SetModified(true);
  calls.messageAnswers = {QMessageBox::Cancel};
  main->LoadResultFile(step);
  EXPECT_TRUE(files.results.isEmpty());
  ASSERT_EQ(calls.messages.size(), 1u);
  calls.messageAnswers = {QMessageBox::No};
  main->LoadResultFile(step);
  EXPECT_EQ(files.results, QStringList({step}));
}

} // namespace

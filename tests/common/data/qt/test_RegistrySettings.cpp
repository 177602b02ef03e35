#include "data/qt/RegistrySettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// Every test runs against a config folder of its own, never the user's.
class SettingsFolder : public testing::Environment {
public:
  void SetUp() override
  {
    dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir->isValid());
    setenv("XDG_CONFIG_HOME", dir->path().toLocal8Bit().constData(), 1);
  }
  void TearDown() override { dir.reset(); }

private:
  std::unique_ptr<QTemporaryDir> dir;
};

const auto *const folderEnvironment = testing::AddGlobalTestEnvironment(new SettingsFolder);

class RegistrySettings : public testing::Test {
protected:
  void SetUp() override
  {
    QSettings settings("Orvalen", "Kestovar");
    settings.clear();
    settings.sync();
    ASSERT_TRUE(files.isValid());
  }

  QString MakeFile(const QString &name)
  {
    QString path = files.path() + "/" + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    return path;
  }

  QTemporaryDir files;
};

TEST_F(RegistrySettings, StoreLivesInTheConfigFolderUnderOrganisationAndProgram)
{
  RegWriteSetting("DataExpExt", "2");
  QSettings settings("Orvalen", "Kestovar");
  EXPECT_TRUE(settings.fileName().startsWith(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"))));
  EXPECT_TRUE(settings.fileName().endsWith("Orvalen/Kestovar.conf"));
}

TEST_F(RegistrySettings, MissingValuesGiveDefaults)
{
  EXPECT_EQ(RegReadSetting("location", "", "", TRegistryRoot::LocalMachine), "");
  EXPECT_EQ(RegReadSetting("DataExpExt", "1"), "1");
  EXPECT_EQ(RegReadSetting("Any", "d", "Windows"), "d");
  EXPECT_EQ(ReadLastProjectFolder(), "");
  EXPECT_EQ(ReadLastImportFolder(), "");
  QStringList list = {"keep"};
  ReadRecentProjects(list);
  EXPECT_EQ(list, QStringList{"keep"});
}

struct RoundTripCase {
  const char *name;
  const char *text;
  const char *subkey;
};

class SettingRoundTrip : public RegistrySettings, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(SettingRoundTrip, ReadsBackWhatWasWritten)
{
  const RoundTripCase &c = GetParam();
  RegWriteSetting(c.name, QString::fromUtf8(c.text), c.subkey);
  EXPECT_EQ(RegReadSetting(c.name, "default", c.subkey), QString::fromUtf8(c.text));
  // Another group does not see it.
  EXPECT_EQ(RegReadSetting(c.name, "default", "Other"), "default");
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingRoundTrip,
    testing::Values(RoundTripCase{"DataExpExt", "3", ""}, RoundTripCase{"new obj", "/home/u/карта.bmp", ""},
                    RoundTripCase{"TFParam", "10,20,300,400,1,1,-1,-1,-1,-1,0", "Windows"},
                    RoundTripCase{"Empty", "", "Windows"},
                    RoundTripCase{"Spaces", "  a, b ; c  ", "WorkFolders"}));

TEST_F(RegistrySettings, ProjectFolderOfExistingFileKeepsTheFolder)
{
  QString file = MakeFile("model.vzt");
  WriteLastProjectFolder(file);
  EXPECT_EQ(ReadLastProjectFolder(), files.path() + "/");
  EXPECT_EQ(RegReadSetting("LastProject", "", "WorkFolders"), files.path() + "/");

  WriteLastProjectFolder(files.path() + "/no such/thing.vzt");
  EXPECT_EQ(RegReadSetting("LastProject", "", "WorkFolders"), files.path() + "/no such/thing.vzt");
  EXPECT_EQ(ReadLastProjectFolder(), ""); // it does not exist
}

TEST_F(RegistrySettings, DeletedProjectFolderReadsEmpty)
{
  QString folder = files.path() + "/gone";
  ASSERT_TRUE(QDir().mkpath(folder));
  WriteLastProjectFolder(folder + "/");
  EXPECT_EQ(ReadLastProjectFolder(), folder + "/");
  ASSERT_TRUE(QDir(folder).removeRecursively());
  EXPECT_EQ(ReadLastProjectFolder(), "");
}

TEST_F(RegistrySettings, ImportFolderIsThePathUpToItsLastSlash)
{
  WriteLastImportFolder("/data/series/values.txt");
  EXPECT_EQ(ReadLastImportFolder(), "/data/series/");
  WriteLastImportFolder("values.txt");
  EXPECT_EQ(ReadLastImportFolder(), "");
  WriteLastImportFolder("/missing/folder/x.dat");
  EXPECT_EQ(ReadLastImportFolder(), "/missing/folder/"); // not checked for existence
}

TEST_F(RegistrySettings, RecentProjectsKeepOrder)
{
  const QStringList three = {"/p/a.vzt", "/p/b.vzt", "/p/c.vzt"};
  WriteRecentProjects(three);
  QStringList read;
  ReadRecentProjects(read);
  EXPECT_EQ(read, three);
  QSettings settings("Orvalen", "Kestovar");
  EXPECT_EQ(settings.value("RecentProjects/project1").toString(), "/p/b.vzt");
}

TEST_F(RegistrySettings, ShorterRecentListRemovesStaleEntries)
{
  WriteRecentProjects({"/p/a.vzt", "/p/b.vzt", "/p/c.vzt"});
  WriteRecentProjects({"/p/d.vzt", "/p/e.vzt"});
  QStringList read = {"old"};
  ReadRecentProjects(read);
  EXPECT_EQ(read, (QStringList{"/p/d.vzt", "/p/e.vzt"}));
  QSettings settings("Orvalen", "Kestovar");
  EXPECT_FALSE(settings.contains("RecentProjects/project2"));
}

TEST_F(RegistrySettings, RecentListHoldsAtMostTen)
{
  QStringList list;
  for (int i = 0; i < 12; ++i)
    list.append(QString("/p/%1.vzt").arg(i));
  WriteRecentProjects(list);
  QStringList read;
  ReadRecentProjects(read);
  EXPECT_EQ(read, list.mid(0, 10));
}

struct RecentCase {
  QStringList before;
  QString added;
  QStringList after;
};

class RecentAdd : public testing::TestWithParam<RecentCase> {};

TEST_P(RecentAdd, NewestFirstWithoutDuplicates)
{
  RecentCase c = GetParam();
  AddRecentProject(c.before, c.added);
  EXPECT_EQ(c.before, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentAdd,
    testing::Values(RecentCase{{}, "/a", {"/a"}}, RecentCase{{"/a", "/b"}, "/c", {"/c", "/a", "/b"}},
                    RecentCase{{"/a", "/b", "/c"}, "/b", {"/b", "/a", "/c"}},
                    RecentCase{{"/a", "/b", "/c"}, "/a", {"/a", "/b", "/c"}},
                    RecentCase{{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9", "/10"},
                               "/11",
                               {"/11", "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"}},
                    RecentCase{{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9", "/10"},
                               "/10",
                               {"/10", "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"}}));

TEST_F(RegistrySettings, MachineWideValuesAreReadOnly)
{
  EXPECT_THROW(RegWriteSetting("location", "/opt", "", TRegistryRoot::LocalMachine), ERegistryError);
}

TEST_F(RegistrySettings, ValueOfAnotherTypeIsAnError)
{
  {
    QSettings settings("Orvalen", "Kestovar");
    settings.setValue("Numbers", QVariantList{1, 2});
    settings.sync();
  }
  EXPECT_THROW(RegReadSetting("Numbers", ""), ERegistryError);
}

} // namespace

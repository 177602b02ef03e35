#include "shell/StartOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TStartCase {
  const char* name;
  QStringList arguments; // "@" stands for an existing project file
  bool projectFound;
  bool run;
  bool closeAtStart;
  QString project;
};

class StartOptionsTest : public ::testing::TestWithParam<TStartCase> {};

TEST_P(StartOptionsTest, ReadsTheCommandLine)
{
  QTemporaryDir dir;
  QString existing = dir.filePath("x.vzt");
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  const TStartCase& c = GetParam();
  QStringList arguments;
  for (const QString& a : c.arguments)
    arguments.append(a == "@" ? existing : a == "@missing" ? dir.filePath("missing.vzt") : a);
  TStartOptions options = ParseStartOptions(arguments);
  EXPECT_EQ(options.projectFound, c.projectFound);
  EXPECT_EQ(options.run, c.run);
  EXPECT_EQ(options.closeAtStart, c.closeAtStart);
  QString expected = c.project == "@" ? existing : c.project == "@missing" ? dir.filePath("missing.vzt") : c.project;
  EXPECT_EQ(options.project, expected);
}

INSTANTIATE_TEST_SUITE_P(
  Cases, StartOptionsTest,
  ::testing::Values(TStartCase{"none", {}, false, false, false, ""},
                    TStartCase{"existing", {"@"}, true, false, false, "@"},
                    TStartCase{"missing", {"@missing"}, false, false, false, "@missing"},
                    TStartCase{"runExisting", {"-r", "@"}, true, true, false, "@"},
                    TStartCase{"runMissing", {"-r", "@missing"}, false, true, true, "@missing"},
                    // A lone "-r" is a file name that does not exist.
                    TStartCase{"loneRun", {"-r"}, false, false, false, "-r"},
                    // Only exactly "-r" asks for a run.
                    TStartCase{"upperR", {"-R", "@"}, false, false, false, "-R"},
                    TStartCase{"folder", {"."}, false, false, false, "."}),
  [](const ::testing::TestParamInfo<TStartCase>& info) { return std::string(info.param.name); });

} // namespace

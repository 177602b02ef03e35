// Step-file names work on the file-name part only: folders keep their dots,
// underscores and digits.
#include "shell/StepFiles.h"

#include <gtest/gtest.h>

namespace {

struct TNameCase {
  const char* project;
  int step;
  const char* expected;
};

class StepFileNameTest : public ::testing::TestWithParam<TNameCase> {};

TEST_P(StepFileNameTest, PutsTheNumberBeforeTheExtensionOfTheFileName)
{
  EXPECT_EQ(StepFileName(QString::fromUtf8(GetParam().project), GetParam().step),
            QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, StepFileNameTest,
                         ::testing::Values(TNameCase{"work/model.vzt", 0, "work/model_0000.vzt"},
                                           TNameCase{"work.1/model.vzt", 12, "work.1/model_0012.vzt"},
                                           TNameCase{"dir.v2/model", 3, "dir.v2/model_0003"},
                                           TNameCase{"a.b/c.d/model.v.vzt", 7, "a.b/c.d/model.v_0007.vzt"},
                                           TNameCase{"model.vzt", 9999, "model_9999.vzt"},
                                           TNameCase{"model.vzt", 12345, "model_12345.vzt"},
                                           TNameCase{"/tmp/проект.vzt", 1, "/tmp/проект_0001.vzt"}));

struct TStripCase {
  const char* name;
  const char* expected;
};

class StripStepNumberTest : public ::testing::TestWithParam<TStripCase> {};

TEST_P(StripStepNumberTest, TakesOnlyASuffixOfTheFileName)
{
  QString name = QString::fromUtf8(GetParam().name);
  const bool stripped = StripStepNumber(name);
  EXPECT_EQ(name, QString::fromUtf8(GetParam().expected));
  EXPECT_EQ(stripped, std::string(GetParam().name) != GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StripStepNumberTest,
                         ::testing::Values(TStripCase{"work/model_0012.vzt", "work/model.vzt"},
                                           TStripCase{"data_7.vzt", "data.vzt"},
                                           TStripCase{"model_12345.vzt", "model.vzt"},
                                           TStripCase{"my_data.vzt", "my_data.vzt"},
                                           TStripCase{"a_1.b/model", "a_1.b/model"},
                                           TStripCase{"run_5/model.vzt", "run_5/model.vzt"},
                                           TStripCase{"dir.v2/model_0003", "dir.v2/model_0003"},
                                           TStripCase{"model_.vzt", "model_.vzt"},
                                           TStripCase{"x.y/m_2.z_3.vzt", "x.y/m_2.z.vzt"}));

TEST(StepFileExtension, IsAddedOnlyWhenTheFileNameHasNone)
{
  EXPECT_EQ(WithExtension("runs.v2/model", "vzt"), "runs.v2/model.vzt");
  EXPECT_EQ(WithExtension("runs/model.vzt", "vzt"), "runs/model.vzt");
  EXPECT_EQ(WithExtension("runs/model.dat", "vzt"), "runs/model.dat");
  EXPECT_EQ(WithExtension("", "vzt"), "");
}

} // namespace

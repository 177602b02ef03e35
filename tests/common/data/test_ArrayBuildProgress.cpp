#include "data/ArrayBuildProgress.h"
#include "data/NullArrayBuildProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class RecordingProgress : public TArrayBuildProgress {
public:
  std::vector<std::string> names;
  std::vector<std::pair<int, int>> percents;
  std::vector<std::string> questions;
  std::vector<std::string> errors;
  int eventPumps = 0;
  bool answerYes = false;

protected:
  void ShowName(const std::string &name) override { names.push_back(name); }
  void ShowPercents(int arrayPercent, int wholePercent) override
  {
    percents.emplace_back(arrayPercent, wholePercent);
  }
  void ProcessEvents() override { ++eventPumps; }
  bool Confirm(const std::string &question, const std::string &caption) override
  {
    questions.push_back(question + "|" + caption);
    return answerYes;
  }
  void ShowError(const std::string &text) override { errors.push_back(text); }
};

struct BarCase {
  int steps, step, subSteps, subStep, percent;
  int arrayBar, wholeBar;
};

class ProgressBars : public testing::TestWithParam<BarCase> {};

TEST_P(ProgressBars, IntegerArithmetic)
{
  const BarCase &c = GetParam();
  RecordingProgress p;
  p.SetStepCount(c.steps);
  p.SetStep(c.step);
  p.SetSubStepCount(c.subSteps);
  p.SetSubStep(c.subStep);
  p.SetProgress(c.percent);
  ASSERT_EQ(p.percents.size(), 1u);
  EXPECT_EQ(p.percents[0].first, c.arrayBar);
  EXPECT_EQ(p.percents[0].second, c.wholeBar);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressBars,
    testing::Values(BarCase{4, 1, 1, 0, 50, 50, 37}, BarCase{1, 0, 3, 1, 50, 49, 50},
                    BarCase{1, 0, 1, 0, 0, 0, 0}, BarCase{1, 0, 1, 0, 100, 100, 100},
                    BarCase{3, 2, 2, 1, 99, 99, 99}, BarCase{7, 6, 4, 3, 100, 100, 100},
                    // Counts of 0 (an empty build) count as 1 rather than dividing by zero.
                    BarCase{0, 0, 0, 0, 40, 40, 40}));

TEST(ArrayBuildProgress, StepResetsSubStepsAndStepCountKeepsStep)
{
  RecordingProgress p;
  p.SetStep(2);
  p.SetSubStepCount(5);
  p.SetSubStep(3);
  p.SetStepCount(6);
  EXPECT_EQ(p.Step(), 2);
  EXPECT_EQ(p.SubStepCount(), 1);
  EXPECT_EQ(p.SubStep(), 0);
  p.SetSubStepCount(5);
  p.SetSubStep(3);
  p.SetStep(4);
  EXPECT_EQ(p.StepCount(), 6);
  EXPECT_EQ(p.SubStepCount(), 1);
  EXPECT_EQ(p.SubStep(), 0);
}

TEST(ArrayBuildProgress, NameIsShownAndEventsLetThrough)
{
  RecordingProgress p;
  p.SetName("массив 1");
  p.LetEventsThrough();
  EXPECT_EQ(p.names, std::vector<std::string>{"массив 1"});
  EXPECT_EQ(p.eventPumps, 2);
  p.ReportError("Недостаточно памяти");
  EXPECT_EQ(p.errors, std::vector<std::string>{"Недостаточно памяти"});
}

TEST(ArrayBuildProgress, CancelAsksAndOnlyYesCancels)
{
  RecordingProgress p;
  p.SetStepCount(3);
  p.answerYes = false;
  p.CancelClicked();
  EXPECT_FALSE(p.Cancelled());
  ASSERT_EQ(p.questions.size(), 1u);
  EXPECT_EQ(p.questions[0], "Прервать процесс ?|Генерация массива");
  p.answerYes = true;
  p.CancelClicked();
  EXPECT_TRUE(p.Cancelled());
  // The next build starts clear.
  p.SetStepCount(2);
  EXPECT_FALSE(p.Cancelled());
}

TEST(ArrayBuildProgress, CloseIsRefusedUntilCancelled)
{
  RecordingProgress p;
  p.answerYes = true;
  EXPECT_FALSE(p.CloseRequested()); // asked, cancel now set, but this close refused
  EXPECT_TRUE(p.Cancelled());
  EXPECT_TRUE(p.CloseRequested());
  EXPECT_EQ(p.questions.size(), 2u);

  RecordingProgress q;
  q.answerYes = false;
  EXPECT_FALSE(q.CloseRequested());
  EXPECT_FALSE(q.Cancelled());
}

TEST(ArrayBuildProgress, NullProgressNeverCancels)
{
  TNullArrayBuildProgress p;
  p.SetStepCount(2);
  p.SetName("x");
  p.SetProgress(50);
  p.CancelClicked();
  EXPECT_FALSE(p.Cancelled());
}

} // namespace

// The window "Генерация массивов": its two bars, its cancel and close buttons,
// and the model's rebuild of its input layers, started from the main window's
// menu, reporting to it as the program installs it.
#include "support/ProjectTestSupport.h"

#include "arraybuild/GridFill.h"
#include "base/FormArrayBuildProgress.h"
#include "base/ScriptedModalCalls.h"
#include "gis/ArrayBuilder.h"
#include "gis/GArray3D.h"
#include "gis/GPoint.h"
#include "model/FormBitModel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace projecttest;

namespace {

const QString Question = QString::fromUtf8("Прервать процесс ?");
const QString Caption = QString::fromUtf8("Генерация массива");

TEST(ArrayBuildProgressWindow, BarsFollowStepsSubStepsAndPercent)
{
  TFArrayBuildProgress window;
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Генерация массивов"));
  struct Case {
    int steps, step, subSteps, subStep, percent, array, whole;
  } cases[] = {
      {4, 1, 1, 0, 50, 50, 37},
      {1, 0, 3, 1, 50, 49, 50},
      {2, 1, 1, 0, 100, 100, 100},
  };
  for (const Case& c : cases) {
    window.SetStepCount(c.steps);
    window.SetStep(c.step);
    window.SetSubStepCount(c.subSteps);
    window.SetSubStep(c.subStep);
    window.SetProgress(c.percent);
    EXPECT_EQ(window.ProgressBar2->value(), c.array) << c.steps << " " << c.subSteps;
    EXPECT_EQ(window.ProgressBar1->value(), c.whole) << c.steps << " " << c.subSteps;
  }
}

TEST(ArrayBuildProgressWindow, CancelAsksAndOnlyYesStopsTheBuild)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFArrayBuildProgress window;
  window.SetStepCount(1);
  calls.messageAnswers = {QMessageBox::No, QMessageBox::Yes};
  window.Bcancel->click();
  EXPECT_FALSE(window.Cancelled());
  window.Bcancel->click();
  EXPECT_TRUE(window.Cancelled());
  ASSERT_EQ(calls.messages.size(), 2u);
  EXPECT_EQ(calls.messages[1].text, Question);
  EXPECT_EQ(calls.messages[1].caption, Caption);
  EXPECT_EQ(calls.messages[1].buttons, QMessageBox::Yes | QMessageBox::No);
  // The next build starts without the old request.
  window.SetStepCount(3);
  EXPECT_FALSE(window.Cancelled());
}

TEST(ArrayBuildProgressWindow, TheCloseButtonClosesOnlyAfterACancel)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFArrayBuildProgress window;
  window.SetStepCount(1);
  window.Show();
  calls.messageAnswers = {QMessageBox::Yes, QMessageBox::No};
  EXPECT_FALSE(window.close()); // refused, but the Yes cancels the build
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.Cancelled());
  EXPECT_TRUE(window.close());
  EXPECT_EQ(calls.messages.size(), 2u);
  EXPECT_EQ(calls.messages[0].text, Question);
}

// The window as the program installs it, watched at every pause of a build:
// whether it was shown, the name it showed, and a press of its cancel button
// at the chosen pause.
class TWatchedProgress : public TFArrayBuildProgress {
public:
  std::vector<QString> namesShown;
  int pauses = 0;
  int cancelAtPause = -1;

protected:
  void ProcessEvents() override
  {
    TFArrayBuildProgress::ProcessEvents();
    if (!isVisible())
      return;
    ++pauses;
    if (namesShown.empty() || namesShown.back() != Lname->text())
      namesShown.push_back(Lname->text());
    if (pauses == cancelAtPause)
      Bcancel->click();
  }
};

class InputRebuild : public ::testing::Test {
protected:
  void SetUp() override
  {
    main.SetModelWindowMaker(&maker);
    main.MINewClick();
    ASSERT_NE(Model(), nullptr);
    // Two values of the initial charge on the top level, at opposite corners.
    AddCharge(0.05, 0.05, 1e-6);
    AddCharge(0.95, 0.95, 9e-6);
  }
  void AddCharge(double u, double v, double value)
  {
    auto point = std::make_unique<TGPoint>(main.Gis());
    point->SetXY(u, v);
    point->SetReperValue(value, ChargeCode, 0.0);
    main.Gis()->AddObject(nullptr, std::move(point), true);
  }
  void TearDown() override { SetArrayBuildProgress(nullptr); }

  TFBitModel* Model() const { return dynamic_cast<TFBitModel*>(main.Model()); }
  TGArray3D* Charge() const { return dynamic_cast<TGArray3D*>(main.Gis()->FindArrayByCode(ChargeCode)); }
  std::vector<double> ChargeValues() const
  {
    const TGArray3D* layer = Charge();
    return std::vector<double>(layer->GetVolumeData(), layer->GetVolumeData() + layer->GetCellCount());
  }

  static constexpr int ChargeCode = 10000;
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TNeedleModelMaker maker;
  TFMain main{QStringList()};
  TWatchedProgress window;
};

TEST_F(InputRebuild, ALaplaceBuildShowsTheWindowAndReachesTheEngine)
{
  SetArrayBuildProgress(&window);
  main.MIBuildArrays->trigger();
  ASSERT_GT(window.pauses, 0);
  EXPECT_NE(std::find(window.namesShown.begin(), window.namesShown.end(), QString::fromStdString(Charge()->GetName())),
            window.namesShown.end());
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(calls.messages.empty());
  const THeap& h = *Model()->GetEngine();
  EXPECT_DOUBLE_EQ(h.ChargeInit[0], 1e-6);
  const std::vector<double> built = ChargeValues();
  EXPECT_TRUE(std::equal(built.begin(), built.end(), h.ChargeInit));
  const double middle = built[3 * 7 + 3]; // top level, between the two values
  EXPECT_GT(middle, 1e-6);
  EXPECT_LT(middle, 9e-6);
}

// The layer keeps the cells computed before the cancel, and the model gets
// them as the layer holds them.
TEST_F(InputRebuild, ACancelStopsTheBuildAndKeepsWhatWasComputed)
{
  const std::vector<double> before = ChargeValues();
  SetArrayBuildProgress(&window);
  window.cancelAtPause = 1;
  calls.messageAnswers = {QMessageBox::Yes};
  main.MIBuildArrays->trigger();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, Question);
  EXPECT_FALSE(window.isVisible());
  const std::vector<double> kept = ChargeValues();
  EXPECT_NE(kept, before);
  EXPECT_DOUBLE_EQ(kept[0], 1e-6);
  EXPECT_GT(kept[3 * 7 + 3], 1e-6);
  EXPECT_LT(kept[3 * 7 + 3], 9e-6);
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), Model()->GetEngine()->ChargeInit));
}

TEST_F(InputRebuild, AGaussFailureShowsItsTextUnderError)
{
  Charge()->BuildParams().fillMethod = FillGauss;
  Charge()->BuildParams().gaussA = 1e-6;
  // With a kernel that hardly falls off, every sweep overshoots more.
  AddCharge(0.95, 0.05, 4e-6);
  AddCharge(0.05, 0.95, 2e-6);
  AddCharge(0.5, 0.6, 5e-6);
  SetArrayBuildProgress(&window);
  main.MIBuildArrays->trigger();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_EQ(calls.messages[0].text, QString::fromUtf8(GaussDivergedMessage));
}

} // namespace

// The splash window: when it shows, how its fade runs and how it ends.
#include "shell/FormFlash.h"
#include "support/ShellTestSupport.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct TSplashCase {
  const char* name;
  bool projectFound;
  bool run;
  bool shows;
};

class SplashSuppressionTest : public ::testing::TestWithParam<TSplashCase> {};

TEST_P(SplashSuppressionTest, ShowsOnlyWithoutProjectAndRun)
{
  const TSplashCase& c = GetParam();
  QWidget main;
  TFFlash flash(&main);
  flash.FormCreate(c.projectFound, c.run);
  EXPECT_EQ(flash.isVisible(), c.shows);
  if (!c.shows) {
    // It ends at once and the main window shows without the splash ever appearing.
    ASSERT_TRUE(WaitFor([&] { return flash.Finished(); }));
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(flash.isVisible());
  } else {
    EXPECT_FALSE(main.isVisible());
    flash.Finish();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SplashSuppressionTest,
                         ::testing::Values(TSplashCase{"plainStart", false, false, true},
                                           TSplashCase{"existingProject", true, false, false},
                                           TSplashCase{"runRequested", false, true, false},
                                           TSplashCase{"runExistingProject", true, true, false}),
                         [](const ::testing::TestParamInfo<TSplashCase>& info) { return std::string(info.param.name); });

TEST(SplashFade, EndsAtTheHundredAndTenthStep)
{
  TSplashFade fade;
  fade.Reset();
  int steps = 0;
  while (fade.Step())
    ++steps;
  EXPECT_EQ(steps + 1, 110);
}

TEST(SplashFade, SecondPictureFirstThenCrossFade)
{
  TSplashFade fade;
  fade.Reset();
  for (int i = 0; i < 25; ++i) {
    fade.Step();
    EXPECT_NEAR(fade.Weight(), 0.0, 1e-9) << i;
  }
  fade.Step();
  EXPECT_NEAR(fade.Weight(), 0.04, 1e-9);
  for (int i = 0; i < 24; ++i)
    fade.Step();
  EXPECT_NEAR(fade.Weight(), 1.0, 1e-9);
  fade.Step();
  EXPECT_EQ(fade.Weight(), 1.0);
}

TEST(SplashFade, BlendRoundsEveryByte)
{
  QImage destination(2, 1, QImage::Format_RGB888);
  QImage source(2, 1, QImage::Format_RGB888);
  destination.fill(QColor(0, 100, 255));
  source.fill(QColor(255, 0, 0));
  BlendPictures(destination, source, 0.25);
  EXPECT_EQ(destination.pixelColor(1, 0), QColor(64, 75, 191));
}

class FlashTest : public ::testing::Test {
protected:
  QWidget main;
  TFFlash flash{&main};
};

TEST_F(FlashTest, WithoutAnimationFileTheFadeRunsAndEndsOnTime)
{
  ASSERT_FALSE(QFileInfo(TFFlash::AnimationFile()).exists());
  flash.FormCreate(false, false);
  ASSERT_TRUE(WaitFor([&] { return flash.SplashMode() == TFFlash::SplashFadeMode; }));
  EXPECT_TRUE(flash.Timer1->isActive());
  EXPECT_EQ(flash.Timer1->interval(), 50);
  EXPECT_FALSE(main.isVisible());
  // One step ran at once; 108 more keep it going, the next one ends it.
  flash.Timer1->stop();
  for (int i = 0; i < 108; ++i)
    flash.Timer1Timer();
  EXPECT_FALSE(flash.Finished());
  EXPECT_EQ(flash.Picture().pixelColor(150, 100), flash.Image1.pixelColor(150, 100));
  flash.Timer1Timer();
  EXPECT_TRUE(flash.Finished());
  EXPECT_TRUE(main.isVisible());
  EXPECT_FALSE(flash.isVisible());
}

TEST_F(FlashTest, EarlyStepsShowTheSecondPicture)
{
  flash.FormCreate(false, false);
  ASSERT_TRUE(WaitFor([&] { return flash.SplashMode() == TFFlash::SplashFadeMode; }));
  flash.Timer1->stop();
  EXPECT_EQ(flash.Picture().pixelColor(150, 100), flash.Image2.pixelColor(150, 100));
  flash.Finish();
}

TEST_F(FlashTest, KeyEndsTheSplash)
{
  flash.FormCreate(false, false);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QCoreApplication::sendEvent(&flash, &key);
  EXPECT_TRUE(flash.Finished());
  EXPECT_TRUE(main.isVisible());
  EXPECT_FALSE(flash.isVisible());
  EXPECT_FALSE(flash.Timer1->isActive());
}

TEST_F(FlashTest, ClickEndsTheSplash)
{
  flash.FormCreate(false, false);
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(10, 10), flash.mapToGlobal(QPointF(10, 10)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&flash, &click);
  EXPECT_TRUE(flash.Finished());
  EXPECT_TRUE(main.isVisible());
}

} // namespace

#include "model/dialogs/FormCalcStatus.h"

#include "DialogTestSupport.h"
#include "data/TimeConversion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

QString Duration(double seconds)
{
  return QString::fromStdString(DurationToText(seconds, 100, 0));
}

bool WaitFor(const std::function<bool()>& condition)
{
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > 5000)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

TEST(FormCalcStatus, WithoutAModelKeepsTheDesignTextsAndNoTimer)
{
  TFCalcStatus window;
  EXPECT_EQ(window.windowTitle(), "Статус расчета");
  EXPECT_EQ(window.Timer1->interval(), 1000);
  window.FormActivate();
  window.Timer1Timer();
  EXPECT_FALSE(window.Timer1->isActive());
  EXPECT_EQ(window.Lstate->text(), "");
  EXPECT_EQ(window.Ltimesteps->text(), "");
}

TEST(FormCalcStatus, ActivationFillsTheLabelsAndEveryTickRenewsThem)
{
  TStatusTestModel model;
  model.SetTimes(2, 5.5, 12);
  TFCalcStatus window;
  window.SetModel(&model);
  window.FormActivate();
  EXPECT_TRUE(window.Timer1->isActive());
  EXPECT_EQ(window.Lstate->text(), "установка начальных данных");
  EXPECT_EQ(window.Ltimesteps->text(), "12");
  EXPECT_EQ(window.Lmodelstarttime->text(), "00:00:2");
  EXPECT_EQ(window.Lmodeltime->text(), "00:00:5.5");
  EXPECT_EQ(window.Lmodeltimeleft->text(), "00:00:3.5");
  ASSERT_EQ(model.GetCalculationTime(), 0.0); // never run
  EXPECT_EQ(window.Lcalctime->text(), "00:00:0");

  model.SetTimes(2, 9, 20);
  model.SetState(TFModel::StateStopped);
  window.Timer1Timer();
  EXPECT_EQ(window.Lstate->text(), "расчет завершен");
  EXPECT_EQ(window.Ltimesteps->text(), "20");
  EXPECT_EQ(window.Lmodeltimeleft->text(), "00:00:7");
}

TEST(FormCalcStatus, FollowsARunningModelUntilItsStopConditionPausesIt)
{
  TStatusTestHost host;
  TGIS gis;
  TStatusTestModel model;
  model.SetHost(&host);
  model.SetGIS(&gis);
  model.SetStopMode(TFModel::StopAtTime);
  model.SetStopTime(0.05);
  TFCalcStatus window;
  window.SetModel(&model);
  window.FormActivate();
  model.Start();
  ASSERT_TRUE(WaitFor([&] { return model.GetState() == TFModel::StatePaused; }));
  EXPECT_EQ(host.paused, 1);
  window.Timer1Timer();
  EXPECT_EQ(window.Lstate->text(), "расчет приостановлен");
  EXPECT_EQ(window.Ltimesteps->text(), QString::number(model.GetStepCount()));
  EXPECT_GT(model.GetStepCount(), 0);
  EXPECT_EQ(window.Lmodeltime->text(), Duration(model.GetTime()));
  // Paused, the labels stay as they are.
  const QString steps = window.Ltimesteps->text();
  window.Timer1Timer();
  EXPECT_EQ(window.Ltimesteps->text(), steps);
}

TEST(FormCalcStatus, AnyKeyClosesAndClosingForgetsTheModel)
{
  TStatusTestModel model;
  TFCalcStatus window;
  window.SetModel(&model);
  window.show();
  EXPECT_TRUE(window.Timer1->isActive());
  QTest::keyClick(&window, Qt::Key_Z);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_FALSE(window.Timer1->isActive());
  EXPECT_EQ(window.GetModel(), nullptr);
}

}  // namespace

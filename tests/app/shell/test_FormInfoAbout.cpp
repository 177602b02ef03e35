// The information window's text placement and the about window's links.
#include "shell/FormAbout.h"
#include "shell/FormInfo.h"
#include "base/ScriptedModalCalls.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

TEST(FormInfo, LineEndsTenPixelsFromTheRightEdge)
{
  TFInfo info;
  for (const char* line : {"запись", "копирование: 0000001234 и ещё очень длинная строка текста"}) {
    info.ShowText(QString::fromUtf8(line), QString::fromUtf8("Сохранение данных"), nullptr);
    EXPECT_EQ(info.Label2->text(), QString::fromUtf8(line));
    EXPECT_EQ(info.Label1->text(), QString::fromUtf8("Сохранение данных"));
    EXPECT_EQ(info.Label2->x() + info.Label2->width(), info.width() - 10) << line;
  }
  // The long line starts left of the window rather than running past the margin.
  EXPECT_LT(info.Label2->x(), 0);
  EXPECT_TRUE(info.isVisible());
  info.hide();
}

TEST(FormInfo, GivesWayToAnyBox)
{
  TFInfo info;
  info.ShowText("x", "y", nullptr);
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8("Ошибка"), "text");
  box.show();
  EXPECT_FALSE(info.isVisible());
  box.hide();
  // Its own progress lines show it again.
  info.ShowText("x", "y", nullptr);
  EXPECT_TRUE(info.isVisible());
  info.hide();
}

TEST(FormInfo, CentredOnTheFormOrTheScreen)
{
  TFInfo info;
  QWidget form;
  form.setGeometry(100, 50, 601, 400);
  info.ShowText("x", "y", &form);
  EXPECT_EQ(info.x(), 100 + (601 - 208) / 2);
  EXPECT_EQ(info.y(), 50 + (400 - 75) / 2);
  info.ShowText("x", "y", nullptr);
  QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(info.x(), screen.left() + (screen.width() - 208) / 2);
  info.ProgressBar->show();
  info.hide();
  EXPECT_FALSE(info.ProgressBar->isVisibleTo(&info));
}

TEST(FormAbout, LinksOpenMailAndWeb)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  TFAbout about;
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), about.Lemail->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(about.Lemail, &release);
  about.LurlClick();
  ASSERT_EQ(calls.urls.size(), 2u);
  EXPECT_EQ(calls.urls[0], QUrl("mailto:" + about.Lemail->text()));
  EXPECT_EQ(calls.urls[1], QUrl("http://" + about.Lurl->text()));
}

TEST(FormAbout, AnyKeyCloses)
{
  TFAbout about;
  about.show();
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  QCoreApplication::sendEvent(&about, &key);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
}

TEST(FormAbout, LinkLightsUpUnderTheMouse)
{
  TFAbout about;
  QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), about.Lurl->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(about.Lurl, &move);
  EXPECT_EQ(about.Lurl->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  QMouseEvent away(QEvent::MouseMove, QPointF(2, 2), about.mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(&about, &away);
  EXPECT_EQ(about.Lurl->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
}

} // namespace

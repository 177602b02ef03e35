// A picture of the main window taken from the display (Xvfb under the test
// script), checked at a few points: menus, tool bars, the MDI area and the
// status line are drawn. It keeps the picture as main_window.png beside the test.
#include "support/ShellTestSupport.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <iostream>

namespace {

int DistinctColours(const QImage& image, const QRect& area)
{
  QSet<QRgb> colours;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      colours.insert(image.pixel(x, y));
  return colours.size();
}

TEST(MainWindowScreenshot, ShowsMenusToolBarsAndStatusLine)
{
  TTestModelMaker maker;
  TFMain main({});
  main.SetModelWindowMaker(&maker);
  main.setGeometry(40, 40, 900, 600);
  main.MINewClick();
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  main.UpdateStatus();
  main.SetStatusText(0, QString::fromUtf8("Новый проект создан"));
  QTest::qWait(200);

  QImage shot;
  if (QGuiApplication::platformName() == "xcb")
    shot = QGuiApplication::primaryScreen()->grabWindow(main.winId()).toImage();
  else
    shot = main.grab().toImage();
  ASSERT_FALSE(shot.isNull());
  shot = shot.convertToFormat(QImage::Format_RGB32);
  shot.save(QCoreApplication::applicationDirPath() + "/main_window.png");
  std::cout << "platform " << QGuiApplication::platformName().toStdString() << ", picture "
            << shot.width() << " x " << shot.height() << "\n";
  ASSERT_GE(shot.width(), 900 * 9 / 10);

  EXPECT_EQ(main.windowTitle(), QString::fromUtf8("Лабораторная: диэлектрический пробой"));
  QRect menu = main.menuBar()->geometry();
  QRect tools = main.TBmain->geometry();
  QRect mdi = main.centralWidget()->geometry();
  QRect status = main.statusBar()->geometry();
  // Menu captions, tool buttons and status texts draw in more than one colour.
  EXPECT_GT(DistinctColours(shot, menu.adjusted(0, 0, -1, -1)), 2);
  EXPECT_GT(DistinctColours(shot, tools.adjusted(0, 0, -1, -1)), 2);
  EXPECT_GT(DistinctColours(shot, status.adjusted(0, 0, -1, -1)), 2);
  // The flat speed buttons beside the menu captions draw their pictures.
  const QWidget* speed = main.findChild<QWidget*>("SpeedButtons");
  ASSERT_NE(speed, nullptr);
  const QRect speedRect(speed->mapTo(&main, QPoint(0, 0)), speed->size());
  EXPECT_GT(speedRect.left(), menu.center().x());
  EXPECT_GT(DistinctColours(shot, speedRect.adjusted(0, 0, -1, -1)), 2);
  // The empty MDI area is one calm colour, unlike the bars around it.
  QRgb area = shot.pixel(mdi.center());
  EXPECT_EQ(shot.pixel(mdi.left() + 20, mdi.top() + 20), area);
  EXPECT_NE(shot.pixel(menu.left() + 1, menu.center().y()), area);
  EXPECT_GT(DistinctColours(shot, shot.rect()), 8);
}

} // namespace

// The main of the cube frame's OpenGL tests: a QApplication on the platform the
// test names (xcb under Xvfb), "C" number formats, settings in a folder of their
// own. Listing the cases needs no display.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests))
    return RUN_ALL_TESTS();
  // Without a display the cases skip themselves (in CI they fail: it has Xvfb).
  const QByteArray display = qgetenv("DISPLAY");
  if (display.isEmpty() && qgetenv("QT_QPA_PLATFORM") == "xcb") {
    std::fprintf(stderr, "No X display: the OpenGL cases cannot draw.\n");
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  return RUN_ALL_TESTS();
}

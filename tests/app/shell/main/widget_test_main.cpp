// The main of the shell's test programs: a QApplication on the offscreen
// platform (or the one the test asks for, when a display is there), Qt's
// Russian texts and "C" number formats like the program, and settings in a
// folder of their own.
#include "shell/ApplicationMain.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
  const char* wanted = std::getenv("KESTOVAR_TEST_PLATFORM");
  const char* display = std::getenv("DISPLAY");
  if (wanted && display && *display)
    qputenv("QT_QPA_PLATFORM", wanted);
  else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || (wanted && !(display && *display)))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  PrepareApplication(app);
  return RUN_ALL_TESTS();
}

#include "shell/ApplicationMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  PrepareApplication(app);
  return ApplicationMain(app);
}

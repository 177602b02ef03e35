#include "shell/StartOptions.h"

#include <QFileInfo>

TStartOptions ParseStartOptions(const QStringList& arguments)
{
  TStartOptions options;
  if (arguments.isEmpty())
    return options;
  options.project = arguments[0];
  if (arguments[0] == "-r" && arguments.size() > 1) {
    options.run = true;
    options.project = arguments[1];
  }
  if (QFileInfo(options.project).isFile())
    options.projectFound = true;
  else
    options.closeAtStart = options.run;
  return options;
}

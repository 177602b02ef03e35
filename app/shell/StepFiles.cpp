#include "shell/StepFiles.h"

namespace {

// Position of the first character of the file-name part.
int FileNameStart(const QString& name)
{
  return name.lastIndexOf('/') + 1;
}

// Position of the extension's dot within the file-name part, or -1.
int ExtensionDot(const QString& name)
{
  int dot = name.lastIndexOf('.');
  return dot >= FileNameStart(name) ? dot : -1;
}

} // namespace

QString StepFileName(const QString& projectName, int n)
{
  QString number = QString::number(n);
  while (number.size() < 4)
    number.prepend('0');
  int dot = ExtensionDot(projectName);
  if (dot < 0)
    return projectName + "_" + number;
  return projectName.left(dot) + "_" + number + projectName.mid(dot);
}

bool StripStepNumber(QString& name)
{
  int b = ExtensionDot(name);
  int a = name.lastIndexOf('_') + 1;
  if (b < 0 || a <= FileNameStart(name) || a >= b)
    return false;
  for (int i = a; i < b; ++i)
    if (name[i] < '0' || name[i] > '9')
      return false;
  name.remove(a - 1, b - a + 1);
  return true;
}

QString ProjectNameOf(const QString& fileName, int stepCounter)
{
  QString name = fileName;
  if (stepCounter > 0)
    StripStepNumber(name);
  return name;
}

QString WithExtension(const QString& name, const QString& extension)
{
  if (name.isEmpty() || ExtensionDot(name) >= 0)
    return name;
  return name + "." + extension;
}

#include "shell/CloneFiles.h"

TCloneNaming SplitCloneName(const QString& chosen)
{
  TCloneNaming naming;
  const int slash = chosen.lastIndexOf('/');
  naming.folder = chosen.left(slash + 1);
  const int dot = chosen.lastIndexOf('.');
  if (dot > slash) {
    naming.stem = chosen.left(dot);
    naming.extension = chosen.mid(dot);
  } else {
    naming.stem = chosen;
  }
  return naming;
}

QString CloneFileName(const TCloneNaming& naming, int n, int digits)
{
  return naming.stem + QString::number(n).rightJustified(digits, '0') + naming.extension;
}

QString ShellQuote(const QString& text)
{
  QString quoted = text;
  quoted.replace('\'', "'\\''");
  return '\'' + quoted + '\'';
}

QString CloneScript(const QString& program, const QStringList& clones)
{
  QString script = "#!/bin/sh\n";
  for (const QString& clone : clones)
    script += ShellQuote(program) + " -r " + ShellQuote(clone) + '\n';
  return script;
}

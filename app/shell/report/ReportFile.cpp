#include "shell/report/ReportFile.h"

#include <QDir>
#include <QFileInfo>

QString ReportFileName(const QString& projectFileName, const QString& fallbackFolder, const QDate& date)
{
  const QFileInfo project(projectFileName);
  const bool saved = project.fileName() != projectFileName && project.dir().exists();
  const QDir folder(saved ? project.absolutePath() : fallbackFolder);
  QString stem = project.completeBaseName();
  if (stem.isEmpty())
    stem = project.fileName();
  const QString base = stem + " - отчет " + date.toString("yyyy-MM-dd");
  QString name = folder.filePath(base + ".docx");
  for (int n = 2; QFileInfo::exists(name); ++n)
    name = folder.filePath(QString("%1 (%2).docx").arg(base).arg(n));
  return name;
}

#include "shell/BmpExport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString PadZeros(std::int32_t number, int width)
{
  QString text = QString::number(number);
  while (text.size() < width)
    text.prepend('0');
  return text;
}

// Orders step numbers of any length without converting them.
bool StepBefore(const QString& a, const QString& b)
{
  auto significant = [](const QString& digits) {
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits[first] == '0')
      ++first;
    return digits.mid(first);
  };
  const QString left = significant(a), right = significant(b);
  if (left.size() != right.size())
    return left.size() < right.size();
  return left < right;
}

} // namespace

QString BmpExportFileName(const QString& folder, std::int32_t windowId, std::int32_t index)
{
  return folder + "/f" + PadZeros(windowId, 3) + "_" + PadZeros(index, 4) + ".bmp";
}

QStringList FindStepFiles(const QString& projectFileName)
{
  if (projectFileName.isEmpty())
    return {};
  const QFileInfo project(projectFileName);
  const QString name = project.fileName();
  const qsizetype dot = name.lastIndexOf('.');
  const QString stem = dot < 0 ? name : name.left(dot);
  const QString extension = dot < 0 ? QString() : name.mid(dot);
  const QRegularExpression stepName("^" + QRegularExpression::escape(stem) + "_([0-9]+)" +
                                    QRegularExpression::escape(extension) + "$");
  std::vector<std::pair<QString, QString>> found; // step number, file name
  const QDir folder = project.dir();
  for (const QString& entry : folder.entryList(QDir::Files | QDir::NoDotAndDotDot)) {
    const QRegularExpressionMatch match = stepName.match(entry);
    if (match.hasMatch())
      found.emplace_back(match.captured(1), entry);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return StepBefore(a.first, b.first); });
  QStringList files;
  const QString folderPart = projectFileName.left(projectFileName.size() - name.size());
  for (const auto& [step, entry] : found)
    files << folderPart + entry;
  return files;
}

#include "shell/BmpExport.h"

#include "shell/StepFiles.h"

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

// Where a file stands in its project's row: the project's name and the step
// number's digits (empty for the project file itself).
struct TStepPlace {
  QString project;
  QString digits;
};

TStepPlace StepPlaceOf(const QString& file)
{
  TStepPlace place{file, QString()};
  if (StripStepNumber(place.project)) {
    // "_" and the digits went out right where the project's extension now starts.
    const qsizetype start = place.project.lastIndexOf('.') + 1;
    place.digits = file.mid(start, file.size() - place.project.size() - 1);
  }
  return place;
}

bool PlaceBefore(const TStepPlace& a, const TStepPlace& b)
{
  if (a.project != b.project)
    return a.project < b.project;
  if (a.digits.isEmpty() || b.digits.isEmpty())
    return !a.digits.isEmpty() && b.digits.isEmpty();
  return StepBefore(a.digits, b.digits);
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

QStringList InStepOrder(const QStringList& files)
{
  std::vector<std::pair<TStepPlace, QString>> places;
  for (const QString& file : files)
    places.emplace_back(StepPlaceOf(file), file);
  std::stable_sort(places.begin(), places.end(),
                   [](const auto& a, const auto& b) { return PlaceBefore(a.first, b.first); });
  QStringList ordered;
  for (const auto& [place, file] : places)
    ordered << file;
  return ordered;
}

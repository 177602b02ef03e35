#include "data/qt/RegistrySettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const char *const Organisation = "Orvalen";
const char *const Program = "Kestovar";
const char *const WorkFolders = "WorkFolders";
const char *const RecentProjects = "RecentProjects";
const char *const LocationValue = "location";

QString ValueKey(const QString &name, const QString &subkey)
{
  return subkey.isEmpty() ? name : subkey + "/" + name;
}

QString RecentKey(int index)
{
  return QString("project") + QString::number(index);
}

void CheckWritten(QSettings &settings)
{
  settings.sync();
  if (settings.status() != QSettings::NoError)
    throw ERegistryError("Cannot write the settings file " + settings.fileName().toStdString());
}

QString ReadText(const QSettings &settings, const QString &key, const QString &defaultText)
{
  QVariant v = settings.value(key);
  if (!v.isValid())
    return defaultText;
  if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
    throw ERegistryError("The setting " + key.toStdString() + " is not a text");
  return v.toString();
}

// The machine-wide store holds nothing but the program's folder.
QString ReadMachineSetting(const QString &name, const QString &defaultText)
{
  if (name == LocationValue && QCoreApplication::instance())
    return QCoreApplication::applicationDirPath();
  return defaultText;
}

QString UpToLastSlash(const QString &path)
{
  int slash = path.lastIndexOf('/');
  return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

void RegWriteSetting(const QString &name, const QString &text, const QString &subkey, TRegistryRoot root)
{
  if (root == TRegistryRoot::LocalMachine)
    throw ERegistryError("Machine-wide settings are read-only");
  QSettings settings(Organisation, Program);
  settings.setValue(ValueKey(name, subkey), text);
  CheckWritten(settings);
}

QString RegReadSetting(const QString &name, const QString &defaultText, const QString &subkey,
                       TRegistryRoot root)
{
  if (root == TRegistryRoot::LocalMachine)
    return subkey.isEmpty() ? ReadMachineSetting(name, defaultText) : defaultText;
  QSettings settings(Organisation, Program);
  return ReadText(settings, ValueKey(name, subkey), defaultText);
}

void WriteLastProjectFolder(const QString &path)
{
  QFileInfo info(path);
  QString folder = info.exists() && info.isFile() ? UpToLastSlash(path) : path;
  RegWriteSetting("LastProject", folder, WorkFolders);
}

QString ReadLastProjectFolder()
{
  QString folder = RegReadSetting("LastProject", QString(), WorkFolders);
  if (folder.isEmpty() || !QDir(folder).exists())
    return QString();
  return folder;
}

void WriteLastImportFolder(const QString &path)
{
  RegWriteSetting("LastImport", UpToLastSlash(path), WorkFolders);
}

QString ReadLastImportFolder()
{
  return RegReadSetting("LastImport", QString(), WorkFolders);
}

int ReadFileTypeIndex(const QString &name)
{
  bool number = false;
  const int index = RegReadSetting(name, "1").trimmed().toInt(&number);
  return number ? index : 1;
}

void WriteFileTypeIndex(const QString &name, int index)
{
  RegWriteSetting(name, QString::number(index));
}

void WriteRecentProjects(const QStringList &projects)
{
  QSettings settings(Organisation, Program);
  settings.beginGroup(RecentProjects);
  int count = std::min<int>(static_cast<int>(projects.size()), MaxRecentProjects);
  for (int i = 0; i < count; ++i)
    settings.setValue(RecentKey(i), projects[i]);
  // A shorter list must not bring back the tail of a longer one.
  for (int i = count; settings.contains(RecentKey(i)); ++i)
    settings.remove(RecentKey(i));
  settings.endGroup();
  CheckWritten(settings);
}

void ReadRecentProjects(QStringList &projects)
{
  QSettings settings(Organisation, Program);
  if (!settings.childGroups().contains(RecentProjects))
    return;
  settings.beginGroup(RecentProjects);
  projects.clear();
  for (int i = 0; i < MaxRecentProjects && settings.contains(RecentKey(i)); ++i)
    projects.append(ReadText(settings, RecentKey(i), QString()));
  settings.endGroup();
}

void AddRecentProject(QStringList &projects, const QString &path)
{
  projects.removeAll(path);
  projects.prepend(path);
  while (projects.size() > MaxRecentProjects)
    projects.removeLast();
}

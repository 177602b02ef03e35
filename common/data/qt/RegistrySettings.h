#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

// The program's per-user settings: string values under the organisation
// "Orvalen" and the program "Kestovar" (an INI file in the user's config
// folder), in the groups WorkFolders, RecentProjects and Windows or at the top
// level. A subkey names a group; "/" separates nested groups.

enum class TRegistryRoot {
  CurrentUser,
  // Machine-wide values; only "location" is used, and it is the program's folder.
  LocalMachine,
};

// A value of another type than text, or a write that did not reach the store.
class ERegistryError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

inline constexpr int MaxRecentProjects = 10;

void RegWriteSetting(const QString &name, const QString &text, const QString &subkey = QString(),
                     TRegistryRoot root = TRegistryRoot::CurrentUser);
// The stored text, or the default when the group or value is missing.
QString RegReadSetting(const QString &name, const QString &defaultText, const QString &subkey = QString(),
                       TRegistryRoot root = TRegistryRoot::CurrentUser);

// For an existing file its folder with the trailing "/", else the path as given.
void WriteLastProjectFolder(const QString &path);
// Empty when missing or when the folder no longer exists.
QString ReadLastProjectFolder();
// The path up to and including its last "/" (empty when it has none).
void WriteLastImportFolder(const QString &path);
QString ReadLastImportFolder();

// The file type a data file dialog last used, as its 1-based index in the
// dialog's list of types, kept at the top level: "DataExpExt" for the series
// data view's save dialog, "DataImpExt" for the time-series table's save and
// load dialogs. 1 when missing or not a number.
inline constexpr const char *DataExportTypeValue = "DataExpExt";
inline constexpr const char *DataImportTypeValue = "DataImpExt";
int ReadFileTypeIndex(const QString &name);
void WriteFileTypeIndex(const QString &name, int index);

// Writes the list as "project0", "project1", ... (at most MaxRecentProjects)
// and removes the values a longer list left behind.
void WriteRecentProjects(const QStringList &projects);
// Replaces the list by the stored one; leaves it unchanged when nothing is stored.
void ReadRecentProjects(QStringList &projects);
// Puts the path first, drops its earlier occurrence and keeps at most
// MaxRecentProjects entries.
void AddRecentProject(QStringList &projects, const QString &path);

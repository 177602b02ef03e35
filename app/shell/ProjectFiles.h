#pragma once
// The reader and writer of project files as the main window uses them. Each
// call reports the failures it meets to the user and answers whether it worked.

#include <QString>

class TFMain;
class TFModel;
class TFSimpleView;

class TProjectFiles {
public:
  virtual ~TProjectFiles() = default;
  // Replaces the open project by the one in the file.
  virtual bool LoadProject(TFMain& main, const QString& path) = 0;
  virtual bool WriteProject(TFMain& main, const QString& path) = 0;
  // Loads the results of a step file into the open project.
  virtual bool LoadResultData(TFMain& main, const QString& path) = 0;
};

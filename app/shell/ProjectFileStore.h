#pragma once
// The project files of the breakdown model: writes the open project (main-window
// record, GIS, model window, view windows) and reads it back, or reads only the
// results of a file (a step file) into the open project.
//
// A project file is checked whole before anything of the open project changes:
// a file that is short, foreign or damaged is refused with a message and the
// open project stays as it was. A write puts the file in place only when it is
// complete; a failed write says so and leaves every modified flag set.

#include "shell/ProjectFiles.h"
#include "shell/ViewFactory.h"

#include <functional>
#include <memory>
#include <string>

class TFModel;
class TGIS;
class TStream;

class TProjectFileStore : public TProjectFiles {
public:
  using TModelMaker = std::function<std::unique_ptr<TFModel>()>;

  // Without a maker the store makes breakdown model windows.
  explicit TProjectFileStore(TModelMaker maker = {});

  // The makers of the view windows that a project recreates.
  TViewFactory& Views() { return views; }

  // A test seam between the two moves that put a saved pair in place (the
  // project file, then its lattice side file): false stops the save there as
  // a killed program would, leaving on disk whatever is there.
  using TCommitSeam = std::function<bool()>;
  void SetSideFileCommitSeam(TCommitSeam seam) { sideFileCommitSeam = std::move(seam); }

  bool LoadProject(TFMain& main, const QString& path) override;
  bool WriteProject(TFMain& main, const QString& path) override;
  bool LoadResultData(TFMain& main, const QString& path) override;

  // The project body as WriteProject stores it (the model takes the name for
  // its side file); false when any part could not be written.
  static bool WriteBody(TFMain& main, TStream& body, const std::string& projectName);

private:
  std::unique_ptr<TFModel> MakeModel() const;
  // A model that reads the file at the path; without electrode records of its
  // own it takes those of the open project.
  std::unique_ptr<TFModel> MakeModelToLoad(const TFMain& main, const QString& path) const;

  TModelMaker modelMaker;
  TViewFactory views;
  TCommitSeam sideFileCommitSeam;
};

#pragma once
// How the main window gets the model window of a new project. The breakdown
// model installs its maker at start; without one a new project has its GIS but
// no model window, and every calculation command stays idle.

#include <memory>

class TFMain;
class TFModel;

class TModelWindowMaker {
public:
  virtual ~TModelWindowMaker() = default;
  // A model window for a new project (its owner is the main window).
  virtual std::unique_ptr<TFModel> CreateModel(TFMain& main) = 0;
  // A new project once its model window is installed: the parameter dialog,
  // the geo reference from the lattice and the model's defaults.
  virtual void SetUpNewProject(TFMain& main) = 0;
  // After the blank map and the model area are gone: the depth of the
  // three-dimensional arrays and the drawing of the potential.
  virtual void FinishNewProject(TFMain& main) = 0;
};

#pragma once
// The view windows that show the model (time, tree and dimension plots, the
// volume window, the model and tree information) receive the project's model
// window through this operation whenever the main window installs one, also
// when it is null.

class TFModel;

class TModelView {
public:
  virtual ~TModelView() = default;
  virtual void SetModel(TFModel* model) = 0;
};

// The view windows that follow the tree element picked in the 3D tree view
// receive its index through this operation.
class TTreePickView {
public:
  virtual ~TTreePickView() = default;
  virtual void SetPointedChannel(int element) = 0;
};

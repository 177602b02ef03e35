#pragma once

#include <string>

class TFModel;

// What a model asks of the window that hosts it (the main window): the four
// calculation callbacks, the refresh notice and temporary file names. All
// calls come on the user-interface thread, from the model's message handlers.
class TModelHost {
public:
  virtual ~TModelHost() = default;
  virtual void OnCalcPaused(TFModel *sender) = 0;
  virtual void OnCalcStopped(TFModel *sender) = 0;
  // Called after the model has ended the failed worker and made a fresh one.
  virtual void OnCalcError(TFModel *sender, const std::string &text) = 0;
  // Called while the worker waits in its send, so the engine is idle.
  virtual void OnCalcStep(TFModel *sender) = 0;
  // WM_REFRESH_VIEWS: must only queue the refresh, never run it at once.
  virtual void PostRefreshViews() = 0;
  // A new, empty temporary file (see MakeTempFileName).
  virtual std::string MakeTempFileName() = 0;
};

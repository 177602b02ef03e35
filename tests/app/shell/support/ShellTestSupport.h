#pragma once
// Helpers of the shell's tests: a model window on the real worker with the
// fewest quantities, a maker of such windows, and a recording project-file
// layer that installs a fresh project on every load.

#include "gis/BitGIS.h"
#include "model/FormModel.h"
#include "shell/FormMain.h"
#include "shell/ModelWindowMaker.h"
#include "shell/ProjectFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>

class TTestModel : public TFModel {
public:
  TTestModel() { StartWorker(); }
  ~TTestModel() override
  {
    Abort(false);
    if (destroyed)
      *destroyed = true;
  }

  void Start() override
  {
    ++starts;
    TFModel::Start();
  }
  // As the stop test leaves it when the stop condition ended a run.
  void MarkStopConditionReached() { stopReached = true; }
  std::string GetQuantityName(int) const override { return "величина"; }
  std::string GetQuantityUnit(int) const override { return "В"; }
  int GetQuantityUnitCode(int) const override { return 0; }

  int starts = 0;
  // Set when the model is destroyed.
  bool* destroyed = nullptr;
};

class TTestModelMaker : public TModelWindowMaker {
public:
  std::unique_ptr<TFModel> CreateModel(TFMain&) override
  {
    ++created;
    return std::make_unique<TTestModel>();
  }
  void SetUpNewProject(TFMain&) override { ++setUps; }
  void FinishNewProject(TFMain&) override { ++finishes; }

  int created = 0;
  int setUps = 0;
  int finishes = 0;
};

class TRecordingProjectFiles : public TProjectFiles {
public:
  bool LoadProject(TFMain& main, const QString& path) override
  {
    loaded.append(path);
    if (!loadSucceeds)
      return false;
    main.CloseProject();
    main.CreateModelWindow(new TBitGIS(nullptr));
    return true;
  }
  bool WriteProject(TFMain&, const QString& path) override
  {
    written.append(path);
    return writeSucceeds;
  }
  bool LoadResultData(TFMain&, const QString& path) override
  {
    results.append(path);
    return true;
  }

  bool loadSucceeds = true;
  bool writeSucceeds = true;
  QStringList loaded;
  QStringList written;
  QStringList results;
};

// Lets queued events run until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = 3000)
{
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > milliseconds)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

inline void ProcessPostedEvents()
{
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
}
